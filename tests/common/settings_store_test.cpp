// Settings file: defaults, the integer rule, the derived values and both saves.
#include "common/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/clock.h"
#include "common/files.h"
#include "common/ini_file.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::TempDir;
using plxtest::WriteFile;

TEST(SettingsStore, MissingFileGivesTheDefaults) {
    TempDir dir;
    Settings s = SettingsStore(dir.File("plx.INI")).Load("/opt/plx/");
    EXPECT_EQ(s.MARLO, "");
    EXPECT_EQ(s.WIDTH, 240);
    EXPECT_EQ(s.HEIGHT, 320);
    EXPECT_EQ(s.MSG_LOCATE, 5);
    EXPECT_EQ(s.ALARM_MODE, 1);
    EXPECT_EQ(s.ALARM_INFO_F, 1);
    EXPECT_EQ(s.NEWS_ALARM_MODE, 2);
    EXPECT_EQ(s.CHK_INTERVAL, 60);
    EXPECT_EQ(s.NEWS_LAST_RLSDTTM, "000000000000");
    EXPECT_EQ(s.ALARM_SND_FNM, "/opt/plx/Snd/mw4.wav");
    EXPECT_EQ(s.TIMER_SND_FNM, "/opt/plx/Snd/mw3.wav");
    EXPECT_EQ(s.NEWS_ALARM_SND_FNM, "");
    EXPECT_EQ(s.SET_RCOURSECD3, 3);
    EXPECT_FALSE(plxtest::FileExists(dir.File("plx.INI")));  // reading creates nothing
}

TEST(SettingsStore, IntegerRuleAndUntouchedKeys) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    WriteFile(path,
              "; hand-written\n[window]\nWIDTH=500\n[SETTING]\nset_rcoursecd1=012\nSET_RCOURSECD2=12\n"
              "ALARM_MIN=abc\nTIMER_MIN=-3\nCHK_INTERVAL=\nSET_RCOURSECD3=99\n[OTHER]\nX=1\n");
    SettingsStore store(path);
    Settings s = store.Load("/x/");
    EXPECT_EQ(s.WIDTH, 500);
    EXPECT_EQ(s.SET_RCOURSECD1, 12);
    EXPECT_EQ(s.SET_RCOURSECD2, 12);
    EXPECT_EQ(s.ALARM_MIN, 0);
    EXPECT_EQ(s.TIMER_MIN, -3);    // kept as read; users clamp
    EXPECT_EQ(s.CHK_INTERVAL, 0);  // present but empty: 0, not the default
    EXPECT_EQ(s.SET_RCOURSECD3, 99);

    std::string error;
    ASSERT_TRUE(store.SaveProgramEnd(10, 20, "/opt/orvent/MARLO/", "20061001120000", {12, 2, 99}, &error)) << error;
    std::string text = ReadFile(path);
    EXPECT_NE(text.find("; hand-written"), std::string::npos);
    EXPECT_NE(text.find("WIDTH=500"), std::string::npos);
    EXPECT_NE(text.find("[OTHER]"), std::string::npos);
    EXPECT_NE(text.find("set_rcoursecd1=12"), std::string::npos);  // existing key keeps its spelling
    EXPECT_NE(text.find("SET_RCOURSECD3=99"), std::string::npos);
    Settings again = store.Load("/x/");
    EXPECT_EQ(again.LEFT, 10);
    EXPECT_EQ(again.TOP, 20);
    EXPECT_EQ(again.WIDTH, 500);
    EXPECT_EQ(again.MARLO, "/opt/orvent/MARLO/");
    EXPECT_EQ(again.NEWS_LAST_RLSDTTM, "20061001120000");
}

TEST(SettingsStore, ProgramEndSaveOnAFreshFileWritesExactlyItsSections) {
    TempDir dir;
    SettingsStore store(dir.File("plx.INI"));
    Settings s = store.Load(dir.path());
    std::string error;
    ASSERT_TRUE(store.SaveProgramEnd(0, 0, s.MARLO, s.NEWS_LAST_RLSDTTM,
                                     {s.SET_RCOURSECD1, s.SET_RCOURSECD2, s.SET_RCOURSECD3}, &error));
    std::string text = ReadFile(dir.File("plx.INI"));
    EXPECT_EQ(text,
              "[WINDOW]\nLEFT=0\nTOP=0\n\n\n[DIR]\nMARLO=\n\n\n[SETTING]\nNEWS_LAST_RLSDTTM=000000000000\n"
              "SET_RCOURSECD1=01\nSET_RCOURSECD2=02\nSET_RCOURSECD3=03\n");
}

TEST(SettingsStore, DialogSaveWritesItsKeysInOrder) {
    TempDir dir;
    SettingsStore store(dir.File("plx.INI"));
    WriteFile(store.path(), "[SETTING]\nSMTP_HOST=mail.example\n");
    Settings s;
    s.ALARM_MIN = 15;
    s.ALARM_SND_FNM = "/a/b.wav";
    std::string error;
    ASSERT_TRUE(store.SaveDialog(s, &error));
    std::string text = ReadFile(store.path());
    const char* order[] = {"SMTP_HOST=mail.example",
                           "AUTO_START_F=0",
                           "MSG_LOCATE=5",
                           "ALARM_MIN=15",
                           "ALARM_MODE=1",
                           "ALARM_SND_F=0",
                           "ALARM_INFO_F=1",
                           "ALARM_RFD_F=1",
                           "TIMER_F=0",
                           "TIMER_MIN=5",
                           "TIMER_SND_F=0",
                           "NEWS_ALARM_MODE=2",
                           "NEWS_ALARM_SND_F=0",
                           "ODDS_MULTI_WINDOW_F=0",
                           "ALARM_SND_FNM=/a/b.wav",
                           "TIMER_SND_FNM=",
                           "NEWS_ALARM_SND_FNM=",
                           "CHK_F=0",
                           "CHK_INTERVAL=60"};
    size_t at = 0;
    for (const char* line : order) {
        size_t found = text.find(std::string(line) + "\n", at);
        ASSERT_NE(found, std::string::npos) << line << " after " << at << " in\n" << text;
        at = found;
    }
}

TEST(SettingsStore, JapaneseValueRoundTripsByteExact) {
    TempDir dir;
    SettingsStore store(dir.File("plx.INI"));
    const std::string folder = Utf8ToCp932("/home/利用者/ソフト表/MARLO/");  // "ソ" and "表" end in 0x5C
    std::string error;
    ASSERT_TRUE(store.SaveProgramEnd(1, 2, folder, "000000000000", {1, 2, 3}, &error));
    EXPECT_EQ(store.Load("/").MARLO, folder);
}

TEST(SettingsStore, RefusedWriteNamesTheFileAndKeepsTheOldOne) {
    TempDir dir;
    // A folder standing where the temporary file would go makes the write fail even for root.
    const std::string path = dir.File("plx.INI");
    WriteFile(path, "[SETTING]\nALARM_MIN=7\n");
    SettingsStore store(dir.File("missing-folder/plx.INI"));
    std::string error;
    EXPECT_FALSE(store.SaveProgramEnd(0, 0, "", "000000000000", {1, 2, 3}, &error));
    EXPECT_NE(error.find("missing-folder/plx.INI"), std::string::npos) << error;

    // The same through a full device: the rename never happens, the old file stays whole.
    std::string fullError;
    EXPECT_FALSE(WriteFileAtomically("/dev/full/plx.INI", "x", &fullError));
    EXPECT_NE(fullError.find("/dev/full/plx.INI"), std::string::npos);
    EXPECT_EQ(ReadFile(path), "[SETTING]\nALARM_MIN=7\n");
}

TEST(SettingsStore, PathBesideTheExecutable) {
    EXPECT_EQ(SettingsPathForExe("/opt/plx/plx"), "/opt/plx/plx.INI");
    EXPECT_EQ(SettingsPathForExe("/opt/plx/plx.exe"), "/opt/plx/plx.INI");
    EXPECT_EQ(SettingsPathForExe("/opt/a.b/plx"), "/opt/a.b/plx.INI");
}

TEST(ProgramState, DerivedValues) {
    ResetProgram();
    ManualClock clock({2006, 9, 24, 10, 0, 0}, 10000000);
    SetClock(&clock);
    Settings s;
    s.CHK_INTERVAL = 15;
    s.NEWS_LAST_RLSDTTM = "20060924093000";
    s.SET_RCOURSECD1 = 7;
    ApplyLoadedSettings(s);
    EXPECT_EQ(Program().lastCheckTick, 10000000 - 15 * 60000);
    EXPECT_EQ(Program().newsBaseline, "20060924093000");
    EXPECT_EQ(Program().slotVenue[0], 7);
    Program().settings.NEWS_LAST_RLSDTTM = "20060924100000";  // the stamp advances, the baseline does not
    EXPECT_EQ(Program().newsBaseline, "20060924093000");
    s.CHK_INTERVAL = 0;
    ApplyLoadedSettings(s);
    EXPECT_EQ(Program().lastCheckTick, 10000000);
    SetClock(nullptr);
    ResetProgram();
}

#include "common/sites.h"

TEST(SiteHosts, SettingsFileOverridesOnlyWhatItNames) {
    TempDir dir;
    WriteFile(dir.File("plx.INI"), "[SITE]\nNEWS_HOST=127.0.0.1:8080\nODDS_HOST=\n");
    SiteHosts defaults;
    LoadSiteHosts(IniFile(dir.File("plx.INI")));
    EXPECT_EQ(Sites().news, "127.0.0.1:8080");
    EXPECT_EQ(Sites().odds, defaults.odds);
    EXPECT_EQ(Sites().race, defaults.race);
    Sites() = SiteHosts{};
}
