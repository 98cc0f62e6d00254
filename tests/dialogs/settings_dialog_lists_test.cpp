// The settings dialog's two lists: watched racers looked up in a real racer database, and the
// news feed memo; what OK and Cancel do to their files, and a file that cannot be written.
#include <QPlainTextEdit>
#include <QRadioButton>
#include <filesystem>

#include "tests/dialogs/dialog_fixture.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::SettingsDialogFixture;
using plxtest::WriteFile;

namespace {

const char* const kRacers =
    "INSERT INTO RIDER VALUES ('03159', '今村　　豊');\n"
    "INSERT INTO RIDER VALUES ('04320', '峰　　竜太');\n"
    "INSERT INTO RIDER VALUES ('02000', 'ａ@二');\n";  // ａ ends in the byte of a blank's first half

class SettingsDialogLists : public SettingsDialogFixture {
protected:
    std::string Cp932(const char* utf8) { return Utf8ToCp932(utf8); }
};

}  // namespace

TEST_F(SettingsDialogLists, RegisteringRacersByNumber) {
    ConnectRacers(kRacers);
    WriteFile(watchListPath(), Cp932("05000:後\r\n01000:先\r\n"));
    Open();
    EXPECT_EQ(ShownRiders(), (std::vector<std::string>{"01000:先", "05000:後"}));  // the list sorts the file

    AddRacer("3159");
    AddRacer("4320");
    AddRacer("3159");  // the same racer twice gives two lines
    AddRacer("2000");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ShownRiders(), (std::vector<std::string>{"01000:先", "02000:ａ@二", "03159:今村豊", "03159:今村豊",
                                                       "04320:峰竜太", "05000:後"}));
    EXPECT_TRUE(dialog->e_entno->text().isEmpty());

    // An unknown number asks first: Cancel adds nothing, OK adds it with an empty name.
    messages.answers = {kMsgCancel, kMsgOk};
    AddRacer("9999");
    AddRacer("9999");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(messages.shown[0].question);
    EXPECT_EQ(messages.Utf8Texts()[0], "入力された選手は見つかりません。\n登録してもよろしいですか？");
    EXPECT_EQ(ShownRiders().back(), "09999:");

    dialog->bbtn_ok->click();
    EXPECT_EQ(
        ReadFile(watchListPath()),
        Cp932("01000:先\r\n02000:ａ@二\r\n03159:今村豊\r\n03159:今村豊\r\n04320:峰竜太\r\n05000:後\r\n09999:\r\n"));
}

TEST_F(SettingsDialogLists, NumbersThatAreNoRacerNumberAskForOne) {
    ConnectRacers(kRacers);
    Open();
    for (const char* typed : {"", "0", "-5", "abc", "31x9", "３１５９", "99999999999"}) {
        SCOPED_TRACE(typed);
        messages.shown.clear();
        AddRacer(typed);
        EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"選手の登録番号を入力してください。"});
    }
    EXPECT_EQ(dialog->lb_rider->count(), 0);
    EXPECT_EQ(dialog->e_entno->text(), "99999999999");  // left for the user to correct
}

TEST_F(SettingsDialogLists, AFailedLookupIsReportedThenAskedAboutAsNotFound) {
    Open();  // no database connected
    messages.answers = {kMsgOk, kMsgOk};
    AddRacer("3159");
    std::vector<std::string> texts = messages.Utf8Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("問い合わせオープンでエラーが発生しました。\nSELECT * FROM RIDER WHERE ENTNO='03159'", 0),
              0u)
        << texts[0];
    EXPECT_TRUE(messages.shown[1].question);
    EXPECT_EQ(ShownRiders(), std::vector<std::string>{"03159:"});
}

TEST_F(SettingsDialogLists, DeletingNeedsASelectedLineAndCancelKeepsTheFile) {
    const std::string original = Cp932("03159:今村豊\r\n04320:峰竜太\r\n");
    WriteFile(watchListPath(), original);
    ConnectRacers(kRacers);
    Open();
    dialog->bbtn_rider_del->click();
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"削除したい行を選択してください。"});

    dialog->lb_rider->setCurrentRow(0);
    dialog->bbtn_rider_del->click();
    EXPECT_EQ(ShownRiders(), std::vector<std::string>{"04320:峰竜太"});
    dialog->bbtn_rider_del->click();  // the deleted line's neighbour is not taken as chosen
    EXPECT_EQ(messages.shown.size(), 2u);
    AddRacer("2000");
    EXPECT_EQ(dialog->RiderLines().size(), 2u);

    dialog->bbtn_cancel->click();
    EXPECT_EQ(ReadFile(watchListPath()), original);
    Open();
    EXPECT_EQ(ShownRiders(), (std::vector<std::string>{"03159:今村豊", "04320:峰竜太"}));
}

TEST_F(SettingsDialogLists, FeedMemoWritesItsLinesAndAnEmptyMemoAnEmptyList) {
    // A byte the memo cannot show goes back unchanged while the memo is not edited.
    const std::string original = "http://a.test/1.rdf\r\n\r\nhttp://b.test/2.rdf?q=\x81\r\n";
    WriteFile(feedListPath(), original);
    Open();
    EXPECT_EQ(dialog->m_rss->toPlainText(), "http://a.test/1.rdf\n\nhttp://b.test/2.rdf?q=\uFFFD");
    dialog->bbtn_ok->click();
    EXPECT_EQ(ReadFile(feedListPath()), original);

    Open();
    dialog->m_rss->setPlainText("http://c.test/3.rdf\nhttp://d.test/4.rdf\n");
    dialog->bbtn_ok->click();
    EXPECT_EQ(ReadFile(feedListPath()), "http://c.test/3.rdf\r\nhttp://d.test/4.rdf\r\n");

    Open();
    dialog->m_rss->clear();
    dialog->bbtn_ok->click();
    ASSERT_TRUE(plxtest::FileExists(feedListPath()));
    EXPECT_EQ(ReadFile(feedListPath()), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsDialogLists, NoListFilesShowEmptyListsAndOkCreatesThem) {
    Open();
    EXPECT_EQ(dialog->lb_rider->count(), 0);
    EXPECT_TRUE(dialog->m_rss->toPlainText().isEmpty());
    dialog->bbtn_ok->click();
    EXPECT_EQ(ReadFile(watchListPath()), "");
    EXPECT_EQ(ReadFile(feedListPath()), "");
}

TEST_F(SettingsDialogLists, AListFileThatCannotBeWrittenStopsOkAndKeepsTheDialogOpen) {
    // A folder where the new watch list is first written: the write is refused even for root.
    std::filesystem::create_directory(watchListPath() + ".tmp");
    Open();
    dialog->e_alarm_min->setText("9");
    dialog->rb_news_alarm_no->setChecked(true);
    dialog->bbtn_ok->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(watchListPath()), std::string::npos) << messages.shown[0].text;
    EXPECT_TRUE(dialog->isVisible());
    // Stored up to the failing step, nothing after it, and no settings file.
    EXPECT_EQ(Program().settings.ALARM_MIN, 9);
    EXPECT_EQ(Program().settings.NEWS_ALARM_MODE, 2);
    EXPECT_FALSE(plxtest::FileExists(feedListPath()));
    EXPECT_FALSE(plxtest::FileExists(settingsPath()));

    std::filesystem::remove(watchListPath() + ".tmp");
    dialog->bbtn_ok->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Program().settings.NEWS_ALARM_MODE, 0);
    EXPECT_TRUE(plxtest::FileExists(settingsPath()));
}

TEST_F(SettingsDialogLists, ListsThatCannotBeReadAreShownReadOnlyAndOkLeavesTheirFilesAlone) {
    const std::string riders = Cp932("03159:今村豊\r\n04320:峰竜太\r\n");
    const std::string feeds = "http://a.test/1.rdf\r\nhttp://b.test/2.rdf\r\n";
    plxtest::MakeUnreadableFile(watchListPath(), riders);
    plxtest::MakeUnreadableFile(feedListPath(), feeds);
    {
        plxtest::OtherUser other;
        Open();
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.Utf8Texts()[0], "選手リストファイルの読み込みに失敗しました。[" + watchListPath() +
                                               "]\nこの一覧は変更・保存できません。");
        EXPECT_EQ(messages.Utf8Texts()[1], "RSSリストファイルの読み込みに失敗しました。[" + feedListPath() +
                                               "]\nこの一覧は変更・保存できません。");
        EXPECT_FALSE(dialog->lb_rider->isEnabled());
        EXPECT_FALSE(dialog->e_entno->isEnabled());
        EXPECT_FALSE(dialog->bbtn_rider_ins->isEnabled());
        EXPECT_FALSE(dialog->bbtn_rider_del->isEnabled());
        EXPECT_TRUE(dialog->m_rss->isReadOnly());
        dialog->e_alarm_min->setText("9");
        dialog->bbtn_ok->click();
    }
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(ReadFile(watchListPath()), riders);
    EXPECT_EQ(ReadFile(feedListPath()), feeds);
    EXPECT_EQ(Program().settings.ALARM_MIN, 9);
    EXPECT_NE(ReadFile(settingsPath()).find("ALARM_MIN=9"), std::string::npos);

    // Once the files can be read again, the lists are shown and can be edited.
    Open();
    EXPECT_EQ(ShownRiders(), (std::vector<std::string>{"03159:今村豊", "04320:峰竜太"}));
    EXPECT_TRUE(dialog->lb_rider->isEnabled());
    EXPECT_TRUE(dialog->bbtn_rider_ins->isEnabled());
    EXPECT_FALSE(dialog->m_rss->isReadOnly());
    EXPECT_EQ(messages.shown.size(), 2u);
}
