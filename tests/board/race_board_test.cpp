// The race board and odds tab widgets driven through their controls, with the real timetable
// file in a temporary program folder and recording message and browser back ends.
#include "board/race_board.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <deque>

#include "board/odds_board.h"
#include "common/program_state.h"
#include "common/shell/browser.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "tests/board/race_slots.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

using namespace plx;

namespace {

class RecordingBrowser final : public BrowserBackend {
public:
    RecordingBrowser() { SetBrowserBackend(this); }
    ~RecordingBrowser() override { SetBrowserBackend(nullptr); }
    bool Open(const QUrl& url) override {
        opened.push_back(url.toString().toStdString());
        return true;
    }
    std::vector<std::string> opened;
};

void AddVenue(int venue, int races, char alarm = '0') {
    for (int r = 1; r <= races; ++r) {
        std::string close = std::to_string(1000 + r * 30 / 60 * 100 + r * 30 % 60);
        plxtest::PutRace(TheTimetable(), venue, r, close, alarm, alarm);
    }
}

void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QPointF p(at);
    QMouseEvent press(QEvent::MouseButtonPress, p, widget->mapToGlobal(p), button, button, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, widget->mapToGlobal(p), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

void ClickRow(BoardGrid* grid, int row, Qt::MouseButton button = Qt::LeftButton) {
    Click(grid, grid->CellRect(row).center(), button);
}

class RaceBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        plxtest::TestApp();
        ResetProgram();
        Program().exeFolder = folder.path();
        Program().runState = RunState::Running;
        TheTimetable().Clear();
        board = std::make_unique<RaceBoard>();
        odds = std::make_unique<OddsBoard>(*board);
        board->SetTextQuestion(
            [this](const std::string& caption, const std::string& prompt) -> std::optional<std::string> {
                asked.push_back(Cp932ToUtf8(caption) + "|" + Cp932ToUtf8(prompt));
                if (answers.empty()) return std::nullopt;
                std::optional<std::string> answer = answers.front();
                answers.pop_front();
                return answer;
            });
    }
    void TearDown() override {
        odds.reset();
        board.reset();
        TheTimetable().Clear();
        ResetProgram();
    }
    std::string SavedFile() const { return plxtest::ReadFile(folder.File("PLX_POSTTM.DAT")); }
    QString TimeText(int column, int row) const { return board->sg_time[column - 1]->CellAt(row).content; }

    plxtest::TempDir folder;
    plxtest::RecordingMessages messages;
    RecordingBrowser browser;
    std::unique_ptr<RaceBoard> board;
    std::unique_ptr<OddsBoard> odds;
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;
};

}  // namespace

TEST_F(RaceBoardTest, DrawsTheDayOrTheNoDataText) {
    board->DrawBoard();
    EXPECT_TRUE(board->l_msg->isVisibleTo(board.get()));
    EXPECT_FALSE(board->l_basyo[0]->isVisibleTo(board.get()));
    EXPECT_EQ(board->l_yyyymmdd->text(), "");
    EXPECT_EQ(TimeText(1, 0), "");

    AddVenue(1, 12);
    AddVenue(2, 10);
    TheTimetable().Slot(1, 1).AlarmFlag = '1';
    board->DrawBoard();
    EXPECT_FALSE(board->l_msg->isVisibleTo(board.get()));
    EXPECT_TRUE(board->l_basyo[0]->isVisibleTo(board.get()));
    EXPECT_EQ(board->l_yyyymmdd->text(), "2006/09/24");
    EXPECT_EQ(board->l_basyo[0]->text(), QString::fromUtf8("桐生"));
    EXPECT_EQ(board->l_basyo[2]->text(), QString::fromUtf8("江戸川"));
    EXPECT_EQ(TimeText(1, 0), "10:30");
    EXPECT_EQ(board->sg_time[0]->CellAt(0).background, QColor(255, 255, 128));
    EXPECT_EQ(board->sg_time[0]->CellAt(0).text, QColor(Qt::black));
    EXPECT_EQ(board->sg_time[0]->CellAt(1).background, QColor(Qt::white));
    EXPECT_EQ(board->sg_time[0]->CellAt(1).text, QColor(192, 192, 192));
    EXPECT_TRUE(board->sg_time[0]->CellAt(1).bold);
    EXPECT_EQ(board->sg_info[1]->CellAt(9).content, "!");
    EXPECT_EQ(board->sg_rfd[1]->CellAt(9).content, QString::fromUtf8("¥"));
    EXPECT_EQ(board->sg_rfd[1]->CellAt(10).content, "");  // a ten-race venue
    EXPECT_EQ(TimeText(3, 0), "");                        // venue 3 has no races today
}

TEST_F(RaceBoardTest, VenueLabelTogglesItsColumnAndSaves) {
    AddVenue(4, 10);
    for (int r = 1; r <= 10; ++r)
        if (r != 3) TheTimetable().Slot(4, r).AlarmFlag = '1';
    Program().slotVenue = {1, 4, 3};
    board->DrawBoard();
    Click(board->l_basyo[1], {5, 5});
    for (int r = 1; r <= 10; ++r) EXPECT_EQ(TheTimetable().Slot(4, r).AlarmFlag, '0') << r;
    std::string file = SavedFile();
    ASSERT_EQ(file.size(), Timetable::kBytes);
    EXPECT_EQ(file[(3 * 12 + 0) * 129 + 97], '0');
    EXPECT_EQ(board->sg_time[1]->CellAt(0).background, QColor(Qt::white));
    Click(board->l_basyo[1], {5, 5});
    for (int r = 1; r <= 10; ++r) EXPECT_EQ(TheTimetable().Slot(4, r).AlarmFlag, '1') << r;
    EXPECT_EQ(SavedFile()[(3 * 12 + 2) * 129 + 97], '1');
    EXPECT_EQ(board->sg_time[1]->CellAt(2).background, QColor(255, 255, 128));
}

TEST_F(RaceBoardTest, RaceLabelAndCellClicksToggleOnlyRealRaces) {
    AddVenue(1, 10);
    AddVenue(2, 10);
    AddVenue(3, 12);
    board->DrawBoard();
    Click(board->l_r[11], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(3, 12).AlarmFlag, '1');
    EXPECT_EQ(TheTimetable().Slot(1, 12).AlarmFlag, ' ');
    EXPECT_EQ(TheTimetable().Slot(3, 11).AlarmFlag, '0');
    ClickRow(board->sg_time[0], 4);
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '1');
    ClickRow(board->sg_time[0], 4);  // the selected cell again
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '0');
    // Moving to a cell with the keyboard selects it too.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(board->sg_time[0], &down);
    EXPECT_EQ(TheTimetable().Slot(1, 6).AlarmFlag, '1');
    // The odds tab's labels reach the same toggles.
    Click(odds->l_odds_r[4], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '1');
    EXPECT_EQ(TheTimetable().Slot(2, 5).AlarmFlag, '1');
    Click(odds->l_odds_rcourse[2], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(3, 1).AlarmFlag, '1');
}

TEST_F(RaceBoardTest, WholeDayWithoutDataSavesTheUnchangedTable) {
    Click(board->l_yyyymmdd, {5, 5});
    EXPECT_EQ(SavedFile(), std::string(Timetable::kBytes, ' '));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RaceBoardTest, CloseTimeEntries) {
    AddVenue(1, 12);
    TheTimetable().Slot(1, 1).AlarmFlag = '1';
    board->DrawBoard();
    answers = {std::string("0930")};
    ClickRow(board->sg_time[0], 0, Qt::RightButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "電投締切時刻変更|時刻を4桁で入力してください");
    EXPECT_EQ(TimeText(1, 0), "09:30");
    EXPECT_EQ(SavedFile().substr(93, 4), "0930");
    EXPECT_EQ(TheTimetable().Slot(1, 1).AlarmFlag, '1');  // an armed alarm moves with its time

    for (const char* wrong : {"930", "09:30", "abcd", "0000"}) {
        answers = {std::string(wrong)};
        board->EditCloseTime(1, 1);
    }
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>(4, "時刻の入力に誤りがあります。"));
    EXPECT_EQ(TimeText(1, 0), "09:30");

    answers = {std::string("2561")};
    board->EditCloseTime(1, 1);
    EXPECT_EQ(TimeText(1, 0), "25:61");
    answers = {std::nullopt};
    board->EditCloseTime(1, 1);
    // A right click below the last row names no race: no question is asked.
    Click(board->sg_time[0], {5, board->sg_time[0]->height() - 1}, Qt::RightButton);
    EXPECT_EQ(asked.size(), 7u);
    EXPECT_EQ(TimeText(1, 0), "25:61");
    EXPECT_EQ(messages.shown.size(), 4u);

    // A time typed for a slot without a race shows with its links but cannot be selected.
    answers = {std::string("1111")};
    board->EditCloseTime(2, 1);
    EXPECT_EQ(TimeText(2, 0), "11:11");
    EXPECT_EQ(board->sg_info[1]->CellAt(0).content, "!");
    ClickRow(board->sg_time[1], 0);
    EXPECT_EQ(TheTimetable().Slot(2, 1).AlarmFlag, ' ');
}

TEST_F(RaceBoardTest, VenueMenuChoosesTheColumnVenue) {
    AddVenue(1, 12, '1');
    AddVenue(24, 12);
    board->DrawBoard();
    ASSERT_EQ(board->pm_basyo->actions().size(), 24);
    EXPECT_EQ(board->pm_basyo->actions()[0]->text(), QString::fromUtf8("桐生"));
    EXPECT_EQ(board->pm_basyo->actions()[23]->text(), QString::fromUtf8("大村"));
    Click(board->l_basyo[0], {5, 5}, Qt::RightButton);
    EXPECT_EQ(board->pm_basyo->property("tag").toInt(), 1);
    board->pm_basyo->actions()[23]->trigger();
    board->pm_basyo->hide();
    EXPECT_EQ(Program().slotVenue[0], 24);
    EXPECT_EQ(board->l_basyo[0]->text(), QString::fromUtf8("大村"));
    EXPECT_EQ(board->sg_time[0]->CellAt(0).background, QColor(Qt::white));
    EXPECT_EQ(TheTimetable().Slot(1, 1).AlarmFlag, '1');  // alarms of the venue shown before stay armed
}

TEST_F(RaceBoardTest, VenueNumbersOutsideTheTableShowAnEmptyColumn) {
    AddVenue(1, 12);
    Program().slotVenue = {1, 0, 25};
    board->DrawBoard();
    EXPECT_EQ(board->l_basyo[1]->text(), "");
    EXPECT_EQ(TimeText(3, 0), "");
    ClickRow(board->sg_time[2], 0);
    ClickRow(board->sg_info[2], 0);
    answers = {std::string("0930")};
    board->EditCloseTime(3, 1);
    odds->FillOddsTab();
    EXPECT_EQ(odds->sg_html[2]->CellAt(0).content, "");
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_EQ(TheTimetable().Slot(1, 1).AlarmFlag, '0');
}

TEST_F(RaceBoardTest, LinkCellsOpenTheRacePages) {
    Sites().race = "race.test";
    Sites().odds = "odds.test";
    AddVenue(5, 10);
    AddVenue(14, 12);
    Program().slotVenue = {5, 14, 3};
    board->DrawBoard();
    ClickRow(board->sg_info[0], 6);
    ClickRow(board->sg_rfd[0], 6);
    ClickRow(board->sg_rfd[0], 11);  // a ten-race venue: nothing
    odds->FillOddsTab();
    ClickRow(odds->sg_html[1], 11);
    ClickRow(odds->sg_java[0], 6);
    EXPECT_EQ(browser.opened, (std::vector<std::string>{
                                  "http://race.test/race/chokuzen.php?day=20060924&jyo=05&race=07",
                                  "http://race.test/race/kekka.php?day=20060924&jyo=05&race=07",
                                  "http://odds.test/od/O/14/ON12.html",
                                  "http://odds.test/od/O/java/OJ0507.html",
                              }));
    Sites() = SiteHosts();
}

TEST_F(RaceBoardTest, OddsTabDateAndLinkCells) {
    odds->FillOddsTab();
    EXPECT_EQ(odds->l_odds_opdt->text(), "");
    EXPECT_EQ(odds->sg_html[0]->CellAt(0).background, QColor(Qt::black));
    EXPECT_EQ(odds->sg_html[0]->CellAt(0).content, "");

    AddVenue(7, 12);
    PutField(TheTimetable().Slot(7, 1).OPDT, "20060925");
    AddVenue(2, 10);
    TheTimetable().Slot(2, 1).Clear();  // venue 2 has no race 1, so it does not date the board
    Program().slotVenue = {7, 2, 3};
    odds->FillOddsTab();
    EXPECT_FALSE(board->drawing);
    EXPECT_EQ(odds->l_odds_opdt->text(), "2006/09/25");
    EXPECT_EQ(odds->l_odds_rcourse[0]->text(), QString::fromUtf8("蒲郡"));
    EXPECT_EQ(odds->sg_html[0]->CellAt(11).content, "HTML");
    EXPECT_EQ(odds->sg_java[0]->CellAt(11).content, "Java");
    EXPECT_EQ(odds->sg_java[0]->CellAt(11).text, QColor(255, 255, 128));
    EXPECT_FALSE(odds->sg_java[0]->CellAt(11).bold);
    EXPECT_EQ(odds->sg_html[1]->CellAt(0).content, "");
    EXPECT_EQ(odds->sg_html[1]->CellAt(1).content, "HTML");
    EXPECT_EQ(odds->sg_html[1]->CellAt(10).content, "");
    EXPECT_EQ(odds->sg_html[2]->CellAt(0).background, QColor(Qt::black));
}

// A double click as the platform delivers it: press, release, double click, release.
void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

TEST_F(RaceBoardTest, ADoubleClickIsOneClick) {
    Sites().race = "race.test";
    AddVenue(1, 12);
    AddVenue(2, 12);
    AddVenue(3, 12);
    board->DrawBoard();
    DoubleClick(board->l_r[2], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(1, 3).AlarmFlag, '1');
    EXPECT_EQ(TheTimetable().Slot(3, 3).AlarmFlag, '1');
    DoubleClick(board->l_basyo[1], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(2, 1).AlarmFlag, '1');
    DoubleClick(board->l_yyyymmdd, {5, 5});  // race 1 of venue 1 is not armed: all are armed
    EXPECT_EQ(TheTimetable().Slot(1, 1).AlarmFlag, '1');
    DoubleClick(board->sg_time[0], board->sg_time[0]->CellRect(6).center());
    EXPECT_EQ(TheTimetable().Slot(1, 7).AlarmFlag, '0');
    DoubleClick(board->sg_info[1], board->sg_info[1]->CellRect(4).center());
    DoubleClick(odds->l_odds_r[0], {5, 5});
    EXPECT_EQ(TheTimetable().Slot(1, 1).AlarmFlag, '0');
    EXPECT_EQ(browser.opened,
              std::vector<std::string>{"http://race.test/race/chokuzen.php?day=20060924&jyo=02&race=05"});
    Sites() = SiteHosts();
}
