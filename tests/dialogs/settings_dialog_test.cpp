// The settings dialog's controls, its range checks, what OK stores and writes, the menu's tab
// rule and the sound-file choosers.
#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "common/clock.h"
#include "dialogs/mail_tab.h"
#include "dialogs/path_edit.h"
#include "tests/dialogs/dialog_fixture.h"
#include "tests/support/unreadable.h"
#include "watch/racer_check_step.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::SettingsDialogFixture;
using plxtest::WriteFile;

namespace {

using SettingsDialog = SettingsDialogFixture;

// The SETTING lines of an INI text, in file order.
std::vector<std::string> SettingLines(const std::string& ini) {
    std::vector<std::string> lines;
    bool inSetting = false;
    size_t start = 0;
    while (start < ini.size()) {
        size_t end = ini.find('\n', start);
        if (end == std::string::npos) end = ini.size();
        std::string line = ini.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (!line.empty() && line[0] == '[')
            inSetting = line == "[SETTING]";
        else if (inSetting && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST_F(SettingsDialog, TabsCaptionsAndTheControlsThatStayHidden) {
    Open();
    ASSERT_EQ(dialog->pc_cfg->count(), 6);
    const char* captions[] = {"全般", "レース", "チェック", "ニュース", "オッズ", "メール"};
    QWidget* sheets[] = {dialog->ts_gen,  dialog->ts_race, dialog->ts_chk,
                         dialog->ts_news, dialog->ts_odds, dialog->ts_mail};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog->pc_cfg->tabText(i).toStdString(), captions[i]);
        EXPECT_EQ(dialog->pc_cfg->widget(i), sheets[i]);
    }
    EXPECT_EQ(dialog->windowTitle().toStdString(), "環境設定");
    EXPECT_EQ(dialog->gb_msg->title().toStdString(), "メッセージ表示設定");
    EXPECT_EQ(dialog->rb_msg_locate[4]->text().toStdString(), "中央");
    // Shown nowhere, yet loaded and stored like the others.
    EXPECT_TRUE(dialog->gb_auto_start->isHidden());
    EXPECT_TRUE(dialog->chk_alarm_info_f->isHidden());
    EXPECT_TRUE(dialog->chk_alarm_rfd_f->isHidden());
    EXPECT_TRUE(dialog->gb_odds->isHidden());
    EXPECT_FALSE(dialog->e_alarm_min->isHidden());
}

TEST_F(SettingsDialog, ShowingLoadsTheSettingsAndForgetsCancelledEdits) {
    Settings& s = Program().settings;
    s.AUTO_START_F = 1;
    s.MSG_LOCATE = 7;
    s.ALARM_MIN = 12;
    s.ALARM_MODE = 2;
    s.ALARM_INFO_F = 0;
    s.TIMER_F = 1;
    s.TIMER_MIN = 100;  // wider than the field's two characters: still shown whole
    s.CHK_F = 1;
    s.CHK_INTERVAL = 30;
    s.NEWS_ALARM_MODE = 7;  // no such mode: "do not show"
    s.NEWS_ALARM_SND_FNM = "/snd/news.wav";
    s.ODDS_MULTI_WINDOW_F = 1;
    Open();
    EXPECT_TRUE(dialog->chk_auto_start_f->isChecked());
    EXPECT_TRUE(dialog->rb_msg_locate[6]->isChecked());
    EXPECT_EQ(dialog->e_alarm_min->text(), "12");
    EXPECT_TRUE(dialog->rb_alarm_popmsg->isChecked());
    EXPECT_FALSE(dialog->chk_alarm_info_f->isChecked());
    EXPECT_TRUE(dialog->chk_alarm_rfd_f->isChecked());
    EXPECT_EQ(dialog->e_alarm_sndfnm->text().toStdString(), dir.path() + "Snd/mw4.wav");
    EXPECT_TRUE(dialog->chk_timer_f->isChecked());
    EXPECT_EQ(dialog->e_timer_min->text(), "100");
    EXPECT_EQ(dialog->e_chk_interval->text(), "30");
    EXPECT_TRUE(dialog->rb_news_alarm_no->isChecked());
    EXPECT_EQ(dialog->e_news_alarm_sndfnm->text(), "/snd/news.wav");
    EXPECT_TRUE(dialog->chk_odds_multi_window_f->isChecked());

    dialog->e_alarm_min->setText("33");
    dialog->chk_timer_f->setChecked(false);
    dialog->rb_msg_locate[0]->setChecked(true);
    dialog->e_entno->setText("123");
    dialog->bbtn_cancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Program().settings.ALARM_MIN, 12);

    // A position outside 1 to 9 leaves the buttons as they were; everything else is reloaded.
    Program().settings.MSG_LOCATE = 0;
    Open();
    EXPECT_EQ(dialog->e_alarm_min->text(), "12");
    EXPECT_TRUE(dialog->chk_timer_f->isChecked());
    EXPECT_TRUE(dialog->rb_msg_locate[0]->isChecked());
    EXPECT_TRUE(dialog->e_entno->text().isEmpty());
    EXPECT_FALSE(plxtest::FileExists(settingsPath()));
}

TEST_F(SettingsDialog, MinuteFieldsOutOfRangeBlockOkEvenWithTheirFeatureOff) {
    const std::string alarm = "アラーム時間は、1～60分の範囲で入力してください。";
    const std::string timer = "タイマー時間は、1～60分の範囲で入力してください。";
    const std::string check = "チェック間隔は、1～60分の範囲で入力してください。";
    struct Case {
        const char* alarmMin;
        const char* timerMin;
        const char* chkInterval;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"0", "5", "60", {alarm}},  {"5", "61", "60", {timer}},       {"5", "5", "", {check}},
        {"5", "ab", "60", {timer}}, {"-1", "5", "0", {alarm, check}}, {"61", "0", "99", {alarm, timer, check}},
    };
    Program().settings.TIMER_F = 0;
    Program().settings.CHK_F = 0;
    WriteFile(watchListPath(), "03159:X\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.alarmMin) + "/" + c.timerMin + "/" + c.chkInterval);
        messages.shown.clear();
        Open();
        dialog->e_alarm_min->setText(c.alarmMin);
        dialog->e_timer_min->setText(c.timerMin);
        dialog->e_chk_interval->setText(c.chkInterval);
        dialog->rb_alarm_no->setChecked(true);
        dialog->lb_rider->setCurrentRow(0);
        dialog->bbtn_rider_del->click();
        dialog->bbtn_ok->click();
        EXPECT_EQ(messages.Utf8Texts(), c.expected);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Program().settings.ALARM_MODE, 1);
        dialog->reject();
    }
    EXPECT_FALSE(plxtest::FileExists(settingsPath()));
    EXPECT_EQ(ReadFile(watchListPath()), "03159:X\r\n");
}

TEST_F(SettingsDialog, OkWritesItsKeysInTheirOrderAsDecimalText) {
    Open();
    dialog->chk_auto_start_f->setChecked(true);
    dialog->rb_msg_locate[8]->setChecked(true);
    dialog->e_alarm_min->setText("07");
    dialog->rb_alarm_no->setChecked(true);
    dialog->chk_alarm_snd_f->setChecked(true);
    dialog->chk_timer_f->setChecked(true);
    dialog->e_timer_min->setText("3");
    dialog->e_chk_interval->setText("15");
    dialog->chk_chk_f->setChecked(true);
    dialog->rb_news_alarm_msgbox->setChecked(true);
    dialog->e_news_alarm_sndfnm->setText("/snd/n.wav");
    dialog->bbtn_ok->click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    const std::string snd = dir.path() + "Snd/";
    EXPECT_EQ(SettingLines(ReadFile(settingsPath())),
              (std::vector<std::string>{
                  "AUTO_START_F=1", "MSG_LOCATE=9", "ALARM_MIN=7", "ALARM_MODE=0", "ALARM_SND_F=1", "ALARM_INFO_F=1",
                  "ALARM_RFD_F=1", "TIMER_F=1", "TIMER_MIN=3", "TIMER_SND_F=0", "NEWS_ALARM_MODE=1",
                  "NEWS_ALARM_SND_F=0", "ODDS_MULTI_WINDOW_F=0", "ALARM_SND_FNM=" + snd + "mw4.wav",
                  "TIMER_SND_FNM=" + snd + "mw3.wav", "NEWS_ALARM_SND_FNM=/snd/n.wav", "CHK_F=1", "CHK_INTERVAL=15",
                  "AUTOSTART_F=0"}));
    const Settings& s = Program().settings;
    EXPECT_EQ(s.MSG_LOCATE, 9);
    EXPECT_EQ(s.ALARM_MIN, 7);
    EXPECT_EQ(s.ALARM_MODE, 0);
    EXPECT_EQ(s.TIMER_MIN, 3);
    EXPECT_EQ(s.NEWS_ALARM_MODE, 1);
    EXPECT_EQ(s.NEWS_ALARM_SND_FNM, "/snd/n.wav");
    // What the program reads at its next start is what the dialog stored.
    Settings reread = SettingsStore(settingsPath()).Load(dir.path());
    EXPECT_EQ(reread.CHK_INTERVAL, 15);
    EXPECT_EQ(reread.AUTO_START_F, 1);
}

TEST_F(SettingsDialog, OkKeepsTheRestOfAnExistingSettingsFile) {
    WriteFile(settingsPath(),
              "; written by hand\r\n[DIR]\r\nMARLO=/opt/orvent/MARLO/\r\n[SITE]\r\nMAKER_HOST=maker.test\r\n"
              "[SETTING]\r\n; mail goes here\r\nSMTP_HOST=127.0.0.1:2525\r\nALARM_MIN=abc\r\nTIMER_MIN=9\r\n"
              "SET_RCOURSECD1=12\r\n");
    Program().settings = SettingsStore(settingsPath()).Load(dir.path());
    Open();
    EXPECT_EQ(dialog->e_alarm_min->text(), "0");  // not a number reads as 0
    dialog->e_alarm_min->setText("20");
    dialog->bbtn_ok->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.Utf8Texts()[0];

    std::string ini = ReadFile(settingsPath());
    for (const char* kept : {"; written by hand", "MARLO=/opt/orvent/MARLO/", "[SITE]", "MAKER_HOST=maker.test",
                             "; mail goes here", "SMTP_HOST=127.0.0.1:2525", "SET_RCOURSECD1=12"})
        EXPECT_NE(ini.find(kept), std::string::npos) << kept;
    std::vector<std::string> setting = SettingLines(ini);
    EXPECT_EQ(std::count(setting.begin(), setting.end(), "ALARM_MIN=20"), 1);
    EXPECT_EQ(std::count(setting.begin(), setting.end(), "TIMER_MIN=9"), 1);
    EXPECT_EQ(setting.size(), 19u + 3u);  // the comment, SMTP_HOST and SET_RCOURSECD1 besides the 19
}

TEST_F(SettingsDialog, ANewCheckIntervalActsAtTheNextTick) {
    ManualClock clock;
    SetClock(&clock);
    Program().settings.CHK_F = 1;
    Program().settings.CHK_INTERVAL = 60;
    Program().lastCheckTick = clock.TickCount() - 10 * 60000;
    EXPECT_FALSE(RacerCheckDue(Program().settings, Program().lastCheckTick, clock.TickCount()));
    Open();
    dialog->e_chk_interval->setText("5");
    dialog->bbtn_ok->click();
    EXPECT_TRUE(RacerCheckDue(Program().settings, Program().lastCheckTick, clock.TickCount()));
    SetClock(nullptr);
}

TEST_F(SettingsDialog, MenuOpensOnTheGeneralTabFirstAndOnTheLastTabAfterwards) {
    dialog->pc_cfg->setCurrentWidget(dialog->ts_news);
    std::vector<QWidget*> opened;
    auto closeSoon = [&](QWidget* switchTo) {
        QTimer::singleShot(0, dialog.get(), [&, switchTo] {
            opened.push_back(dialog->pc_cfg->currentWidget());
            dialog->pc_cfg->setCurrentWidget(switchTo);
            dialog->reject();
        });
    };
    closeSoon(dialog->ts_chk);
    EXPECT_EQ(dialog->ShowFromMenu(), QDialog::Rejected);
    closeSoon(dialog->ts_odds);
    dialog->ShowFromMenu();
    EXPECT_EQ(opened, (std::vector<QWidget*>{dialog->ts_gen, dialog->ts_chk}));
    EXPECT_EQ(dialog->tag, 1);
}

TEST_F(SettingsDialog, SoundChoosersFillTheirFieldOnlyWhenAFileIsChosen) {
    Open();
    const std::string chosen = dir.File("Snd/bell.wav");
    choosers.answers = {chosen, std::nullopt, "/snd/news.wav"};
    dialog->btn_alarm_sndfnm->click();
    dialog->btn_timer_sndfnm->click();
    dialog->btn_news_alarm_sndfnm->click();
    EXPECT_EQ(choosers.fileStarts, std::vector<std::string>(3, dir.path() + "Snd"));
    EXPECT_EQ(dialog->e_alarm_sndfnm->text().toStdString(), chosen);
    EXPECT_EQ(dialog->e_timer_sndfnm->text().toStdString(), dir.path() + "Snd/mw3.wav");
    EXPECT_EQ(Program().settings.ALARM_SND_FNM, dir.path() + "Snd/mw4.wav");  // nothing stored before OK
    dialog->bbtn_ok->click();
    EXPECT_EQ(Program().settings.ALARM_SND_FNM, chosen);
    EXPECT_EQ(Program().settings.NEWS_ALARM_SND_FNM, "/snd/news.wav");
}

TEST_F(SettingsDialog, APathTheBoxCannotShowSurvivesOkUnlessEdited) {
    const std::string latin1 = "/snd/caf\xE9.wav";  // not UTF-8
    Program().settings.TIMER_SND_FNM = latin1;
    Program().settings.NEWS_ALARM_SND_FNM = latin1;
    Open();
    dialog->e_news_alarm_sndfnm->setText("/snd/new.wav");
    dialog->bbtn_ok->click();
    EXPECT_EQ(Program().settings.TIMER_SND_FNM, latin1);
    EXPECT_EQ(Program().settings.NEWS_ALARM_SND_FNM, "/snd/new.wav");
    EXPECT_EQ(SettingsStore(settingsPath()).Load(dir.path()).TIMER_SND_FNM, latin1);
}

TEST_F(SettingsDialog, OkNeverRewritesASettingsFileThatCouldNotBeRead) {
    // The mail keys have no field here: a stub written in the file's place would lose them for good.
    const std::string text =
        "[DIR]\r\nMARLO=/opt/orvent/MARLO/\r\n[SITE]\r\nNEWS_HOST=127.0.0.1:8080\r\n[SETTING]\r\n"
        "SMTP_HOST=mail.example\r\nMAIL_ADRS1=me@example.com\r\nALARM_MIN=7\r\n";
    plxtest::MakeUnreadableFile(settingsPath(), text);
    {
        plxtest::OtherUser other;
        Open();
        dialog->e_alarm_min->setText("9");
        dialog->bbtn_ok->click();
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(settingsPath()), std::string::npos) << messages.Utf8Texts()[0];
    EXPECT_EQ(ReadFile(settingsPath()), text);
}
