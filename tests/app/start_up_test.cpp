// The start-up sequence on real demo databases: the settings it reads and writes, the
// pending-alarms question, failures that end the program, and the quit through the tick.
#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/module_wiring.h"
#include "board/timetable_file.h"
#include "common/clock.h"
#include "common/program_state.h"
#include "common/textutil.h"
#include "data/data_module.h"
#include "tests/app/app_fixture.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::AppFixture;

namespace {

// Section name -> its "KEY=value" lines, in file order.
std::map<std::string, std::vector<std::string>> ReadSections(const std::string& path) {
    std::map<std::string, std::vector<std::string>> sections;
    std::istringstream in(plxtest::ReadFile(path));
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            sections[section];
        } else {
            sections[section].push_back(line);
        }
    }
    return sections;
}

// Lets the real one-second timer run until the window has closed for good.
long long QuitThroughTheTick(Tf_main& window, QAction* quit) {
    QSignalSpy closed(&window, &Tf_main::closedForGood);
    quit->trigger();
    return plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 3000);
}

// An armed race for `date` at venue 24 race 12 with a close time no database row has.
void SaveArmedTimetable(const std::string& folder, const std::string& date) {
    Timetable table;
    RaceSlot& slot = table.Slot(24, 12);
    PutField(slot.OPDT, date);
    PutField(slot.RCOURSECD, "24");
    PutField(slot.RNO, "12");
    PutField(slot.CLOSETM, "0101");
    slot.AlarmFlag = '1';
    slot.CloseWarnFlag = '1';
    ASSERT_EQ(SaveTimetable(table, folder), 0);
}

int RacesIn(const Timetable& table) {
    int count = 0;
    for (int v = 1; v <= kVenues; ++v)
        for (int r = 1; r <= kRacesPerVenue; ++r) count += table.Slot(v, r).AlarmFlag == '0';
    return count;
}

}  // namespace

TEST(StartUp, WithoutSettingsFileQuitWritesExactlyTheProgramEndSections) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    auto window = f.MakeWindow(marlo);  // MARLO installed in the default place
    WireModules(*window);
    ASSERT_TRUE(window->FormCreate());
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(Program().runState, RunState::Running);
    EXPECT_TRUE(window->tm_main.isActive());
    EXPECT_GT(RacesIn(TheTimetable()), 100);  // today's demo races
    EXPECT_EQ(window->pc_main->currentWidget(), window->ts_race);
    window->show();
    window->move(37, 54);

    long long took = QuitThroughTheTick(*window, window->mi_pop_quit);
    EXPECT_LT(took, 1600);  // the next tick, about a second at most
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_FALSE(dm.sc_main.Connected());

    std::map<std::string, std::vector<std::string>> expected = {
        {"WINDOW", {"LEFT=37", "TOP=54"}},
        {"DIR", {"MARLO=" + marlo}},
        {"SETTING", {"NEWS_LAST_RLSDTTM=000000000000", "SET_RCOURSECD1=01", "SET_RCOURSECD2=02", "SET_RCOURSECD3=03"}},
    };
    EXPECT_EQ(ReadSections(f.settingsPath()), expected);
}

TEST(StartUp, PendingAlarmsQuestionOkReloadsToday) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n");
    SaveArmedTimetable(f.dir.path(), TodayYmd());
    f.messages.answers = {kMsgOk};
    auto window = f.StartWindow();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_TRUE(f.messages.shown[0].question);
    EXPECT_EQ(f.messages.Utf8Texts()[0],
              "アラームが設定されていますが、本日分を自動で読み込みますか？\n（※アラーム設定は初期化されます。）");
    EXPECT_NE(FieldText(TheTimetable().Slot(24, 12).CLOSETM), "0101");
    EXPECT_NE(TheTimetable().Slot(24, 12).AlarmFlag, '1');
    EXPECT_GT(RacesIn(TheTimetable()), 100);
}

TEST(StartUp, PendingAlarmsQuestionCancelKeepsTheSavedAlarms) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n");
    SaveArmedTimetable(f.dir.path(), "99991231");  // a later day counts as pending too
    f.messages.answers = {kMsgCancel};
    auto window = f.StartWindow();
    EXPECT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(FieldText(TheTimetable().Slot(24, 12).CLOSETM), "0101");
    EXPECT_EQ(TheTimetable().Slot(24, 12).AlarmFlag, '1');
    EXPECT_EQ(RacesIn(TheTimetable()), 0);
    EXPECT_EQ(Program().runState, RunState::Running);
}

TEST(StartUp, YesterdaysAlarmsAreReplacedWithoutAQuestion) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n");
    SaveArmedTimetable(f.dir.path(), "20000101");
    auto window = f.StartWindow();
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_GT(RacesIn(TheTimetable()), 100);
}

TEST(StartUp, FailedConnectionEndsWithTheDriversReasonAndWritesNothing) {
    AppFixture f;
    std::filesystem::create_directories(f.dir.File("empty-marlo"));
    f.WriteSettings("[DIR]\nMARLO=" + f.dir.File("empty-marlo/") + "\n");
    std::string before = plxtest::ReadFile(f.settingsPath());
    auto window = f.MakeWindow();
    WireModules(*window);
    EXPECT_FALSE(window->FormCreate());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_FALSE(f.messages.shown[0].text.empty());
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_FALSE(window->tm_main.isActive());
    EXPECT_EQ(plxtest::ReadFile(f.settingsPath()), before);
    EXPECT_FALSE(plxtest::FileExists(f.dir.File(kTimetableFileName)));
}

TEST(StartUp, DecliningToLocateMarloEndsWithoutWritingSettings) {
    AppFixture f;
    f.messages.answers = {kMsgCancel, kMsgCancel};
    auto window = f.MakeWindow();
    EXPECT_FALSE(window->FormCreate());
    EXPECT_EQ(f.messages.shown.size(), 2u);
    EXPECT_TRUE(f.browser.opened.empty());
    EXPECT_FALSE(plxtest::FileExists(f.settingsPath()));
}

TEST(StartUp, WindowTakesPositionAndSizeFromTheSettings) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n[WINDOW]\nLEFT=10\nTOP=20\nWIDTH=500\nHEIGHT=300\n");
    auto window = f.StartWindow();
    EXPECT_EQ(window->width(), 500);
    EXPECT_EQ(window->height(), 300);
    EXPECT_EQ(window->pos(), QPoint(10, 20));
    EXPECT_TRUE(window->windowTitle().startsWith("Pilonix Version "));
}

TEST(StartUp, RefusedProgramEndSaveIsReportedAndTheProgramStillEnds) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    // A folder where the settings file should be: reading gives the defaults, writing fails.
    std::filesystem::create_directories(f.settingsPath());
    auto window = f.MakeWindow(marlo);
    WireModules(*window);
    ASSERT_TRUE(window->FormCreate());
    QuitThroughTheTick(*window, window->mi_quit);
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_FALSE(dm.sc_main.Connected());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find("plx.INI"), std::string::npos);
}

TEST(StartUp, SessionEndWaitsForTheTickToSaveAndClose) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n");
    auto window = f.StartWindow();
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    window->SessionEndRequested();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_EQ(ReadSections(f.settingsPath())["WINDOW"].size(), 2u);
}

TEST(StartUp, MenuPagesUseTheMakerHostFromTheSettings) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n[SITE]\nMAKER_HOST=127.0.0.1:8080\n");
    auto window = f.StartWindow();
    window->mi_help->trigger();
    window->mi_home->trigger();
    window->mi_verup->trigger();
    ASSERT_EQ(f.browser.opened.size(), 3u);
    EXPECT_EQ(f.browser.opened[0].toString(), "http://127.0.0.1:8080/products/plx/help.htm");
    EXPECT_EQ(f.browser.opened[1].toString(), "http://127.0.0.1:8080/");
    EXPECT_EQ(f.browser.opened[2].toString(), "http://127.0.0.1:8080/products/plx/verup.htm");
}

TEST(StartUp, AMarloFolderWrittenWithoutItsSlashIsUsedWithOne) {
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    f.WriteSettings("[DIR]\nMARLO=" + marlo.substr(0, marlo.size() - 1) + "\n");
    auto window = f.StartWindow();
    EXPECT_EQ(Program().settings.MARLO, marlo);
    EXPECT_TRUE(dm.sc_main.Connected());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(StartUp, TheProgramEndLeavesASettingsFileItCouldNotReadAsItWas) {
    AppFixture f;
    const std::string text =
        "[DIR]\r\nMARLO=/opt/orvent/MARLO/\r\n[SITE]\r\nMAKER_HOST=www.example.com\r\n[SETTING]\r\n"
        "SMTP_HOST=mail.example\r\nMAIL_ADRS1=me@example.com\r\n";
    plxtest::MakeUnreadableFile(f.settingsPath(), text);
    auto window = f.MakeWindow();
    {
        plxtest::OtherUser other;
        Program().runState = RunState::Closing;  // as the tick does before it closes the window
        window->close();
    }
    EXPECT_EQ(Program().runState, RunState::Closing);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find(f.settingsPath()), std::string::npos);
    EXPECT_EQ(plxtest::ReadFile(f.settingsPath()), text);
}
