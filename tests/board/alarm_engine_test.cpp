// The alarm pass driven by a manual clock, and the clock-text arithmetic.
#include "board/alarm_engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "common/clock.h"
#include "common/program_state.h"
#include "tests/board/race_slots.h"
#include "tests/support/recording_notices.h"

using namespace plx;

namespace {

void ArmRace(int venue, int race, const char* closeTime, char closeWarn = '1') {
    RaceSlot& slot = plxtest::PutRace(TheTimetable(), venue, race, closeTime, '1', closeWarn);
    slot.InfoNoticeFlag = '0';
    slot.RefundNoticeFlag = '0';
}

// Runs the tick's alarm step once a second on a manual clock, recording sounds and saves.
class AlarmPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        Program().runState = RunState::Running;
        Program().settings.ALARM_SND_FNM = "/snd/post.wav";
        Program().settings.TIMER_SND_FNM = "/snd/warn.wav";
        TheTimetable().Clear();
        SetClock(&clock);
        outputs.playWave = [this](const std::string& path) { waves.push_back(path); };
        outputs.save = [this] {
            ++saves;
            return 0;
        };
    }
    void TearDown() override {
        SetClock(nullptr);
        TheTimetable().Clear();
        ResetProgram();
    }
    Settings& settings() { return Program().settings; }
    // Ticks once a second from hh:mm:ss for `seconds` ticks.
    void TickFrom(int hour, int minute, int second, int seconds) {
        clock.SetTime(hour, minute, second);
        for (int i = 0; i < seconds; ++i) {
            RunAlarmStep(state, outputs);
            clock.Advance(1000);
        }
    }

    ManualClock clock{{2006, 9, 24, 0, 0, 0}};
    AlarmPassState state;
    plxtest::RecordingNotices notices;
    AlarmOutputs outputs;
    std::vector<std::string> waves;
    int saves = 0;
};

const std::string kPostTime01_05 =
    "\x8b\xcb\x90\xb6\x20\x30\x35\x20\x83\x8c\x81\x5b\x83\x58\x82\xcc\x94\xad\x91\x96\x8e\x9e\x8d\x8f\x82\xc5\x82\xb7"
    "\x81\x49";
const std::string kCloseWarn01_05_5 =
    "\x8b\xcb\x90\xb6\x20\x30\x35\x20\x82\x71\x82\xcc\x93\x64\x93\x8a\x92\xf7\x90\xd8\x20\x35\x20\x95\xaa\x91\x4f\x82"
    "\xc5\x82\xb7\x81\x49";
const std::string kInfo07_03 =
    "\x8a\x97\x8c\x53\x20\x30\x33\x20\x83\x8c\x81\x5b\x83\x58\x82\xcc\x92\xbc\x91\x4f\x8f\xee\x95\xf1\x82\xaa\x93\xfc"
    "\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42";
const std::string kRefund07_03 =
    "\x8a\x97\x8c\x53\x20\x30\x33\x20\x83\x8c\x81\x5b\x83\x58\x82\xcc\x95\xa5\x96\xdf\x8b\xe0\x82\xaa\x93\xfc\x82\xe8"
    "\x82\xdc\x82\xb5\x82\xbd\x81\x42";

}  // namespace

TEST(HhmmArithmetic, ExamplesAndCarries) {
    EXPECT_EQ(HhmmAddMinutes("1458", 5), "1503");
    EXPECT_EQ(HhmmAddMinutes("2358", 5), "0003");
    EXPECT_EQ(HhmmSubMinutes("1502", 5), "1457");
    EXPECT_EQ(HhmmSubMinutes("0003", 5), "2358");
    EXPECT_EQ(HhmmAddMinutes("2330", 60), "0030");
    EXPECT_EQ(HhmmSubMinutes("0000", 60), "2300");
    EXPECT_EQ(HhmmAddMinutes("1200", 0), "1200");
    // A blank close time reads as midnight; it never fires because its flags are blank.
    EXPECT_EQ(HhmmAddMinutes("    ", 5), "0005");
}

TEST(HhmmArithmetic, EveryClockTimeAndCountUpToAnHourIsExact) {
    for (int t = 0; t < 24 * 60; ++t) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d%02d", t / 60, t % 60);
        for (int m = 0; m <= 60; ++m) {
            int later = (t + m) % 1440, earlier = (t - m + 1440) % 1440;
            char a[8], s[8];
            std::snprintf(a, sizeof a, "%02d%02d", later / 60, later % 60);
            std::snprintf(s, sizeof s, "%02d%02d", earlier / 60, earlier % 60);
            ASSERT_EQ(HhmmAddMinutes(text, m), a) << text << " + " << m;
            ASSERT_EQ(HhmmSubMinutes(text, m), s) << text << " - " << m;
        }
    }
}

TEST(HhmmArithmetic, CountsOutsideTheDialogRangeStillGiveAClockTime) {
    EXPECT_EQ(HhmmAddMinutes("1458", 90), "1628");
    EXPECT_EQ(HhmmAddMinutes("2330", 24 * 60 + 45), "0015");
    EXPECT_EQ(HhmmAddMinutes("0010", -15), "2355");
    EXPECT_EQ(HhmmSubMinutes("0010", -15), "0025");
    EXPECT_EQ(HhmmSubMinutes("0100", 61), "2359");
    for (int m : {INT_MIN, INT_MIN + 1, -100000, INT_MAX}) {
        std::string a = HhmmAddMinutes("1234", m), s = HhmmSubMinutes("1234", m);
        ASSERT_EQ(a.size(), 4u);
        ASSERT_EQ(s.size(), 4u);
        EXPECT_LE(a.substr(0, 2), "23");
        EXPECT_LE(a.substr(2), "59");
        EXPECT_LE(s.substr(0, 2), "23");
        EXPECT_LE(s.substr(2), "59");
    }
}

TEST_F(AlarmPassTest, PostTimeFiresOnceInItsMinuteAndSavesEveryPass) {
    ArmRace(1, 5, "1458", '0');
    settings().ALARM_MODE = 2;
    TickFrom(15, 2, 58, 2 + 60 + 3);  // 15:02:58 to 15:04:02
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, kPostTime01_05);
    EXPECT_EQ(notices.shown[0].category, NoticeCategory::RaceNotice);
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '0');
    EXPECT_TRUE(waves.empty());  // ALARM_SND_F is off
    EXPECT_EQ(saves, 65);
}

TEST_F(AlarmPassTest, CloseWarningThenPostTimeWithTheirSounds) {
    ArmRace(1, 5, "1458");
    settings().ALARM_MODE = 1;
    settings().TIMER_F = 1;
    settings().TIMER_MIN = 5;
    settings().ALARM_SND_F = 1;
    settings().TIMER_SND_F = 1;
    TickFrom(14, 52, 59, 3);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, kCloseWarn01_05_5);
    EXPECT_EQ(TheTimetable().Slot(1, 5).CloseWarnFlag, '0');
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '1');
    EXPECT_EQ(waves, std::vector<std::string>{"/snd/warn.wav"});
    TickFrom(15, 3, 0, 2);
    ASSERT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(notices.shown[1].text, kPostTime01_05);
    EXPECT_EQ(waves, (std::vector<std::string>{"/snd/warn.wav", "/snd/post.wav"}));
}

TEST_F(AlarmPassTest, ModeZeroWithCloseWarningSoundsSilentlyAndDeselectsAtPostTime) {
    ArmRace(1, 5, "1458");
    settings().ALARM_MODE = 0;
    settings().ALARM_SND_F = 1;
    settings().TIMER_F = 1;
    settings().TIMER_SND_F = 1;
    TickFrom(14, 53, 0, 1);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(waves, std::vector<std::string>{"/snd/warn.wav"});
    EXPECT_EQ(TheTimetable().Slot(1, 5).CloseWarnFlag, '0');
    TickFrom(15, 3, 0, 1);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(waves.size(), 1u);  // the lapsed race makes no sound either
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '0');
}

TEST_F(AlarmPassTest, NothingRunsWhenBothAlarmsAreOffOrTheProgramIsNotRunning) {
    ArmRace(1, 5, "1458");
    settings().ALARM_MODE = 0;
    settings().TIMER_F = 0;
    TickFrom(14, 53, 0, 1);
    TickFrom(15, 3, 0, 1);
    settings().ALARM_MODE = 1;
    Program().runState = RunState::QuitRequested;
    TickFrom(15, 3, 0, 1);
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '1');
    EXPECT_EQ(TheTimetable().Slot(1, 5).CloseWarnFlag, '1');
}

TEST_F(AlarmPassTest, VenueOffTheBoardStillFires) {
    Program().slotVenue = {1, 2, 3};
    ArmRace(7, 12, "2040", '0');
    settings().ALARM_MIN = 5;
    TickFrom(20, 45, 0, 1);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(TheTimetable().Slot(7, 12).AlarmFlag, '0');
}

TEST_F(AlarmPassTest, ZeroMinutesGiveTheWarningFirstThenThePostTimeInTheSameMinute) {
    ArmRace(1, 5, "1458");
    settings().ALARM_MIN = 0;
    settings().TIMER_F = 1;
    settings().TIMER_MIN = 0;
    TickFrom(14, 58, 0, 1);
    ASSERT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(notices.shown[0].text.substr(0, 10), kCloseWarn01_05_5.substr(0, 10));
    EXPECT_EQ(notices.shown[1].text, kPostTime01_05);
    TickFrom(14, 58, 1, 59);
    EXPECT_EQ(notices.shown.size(), 2u);
}

// Ticks that come late: the machine slept, a box or a slow query held the timer.
TEST_F(AlarmPassTest, AlarmsSkippedByALateTickFireOnceInOrderOrLapseWhenFarTooLate) {
    settings().ALARM_MODE = 1;
    settings().ALARM_SND_F = 1;
    settings().TIMER_F = 1;
    settings().TIMER_SND_F = 1;
    auto arm = [] {
        ArmRace(1, 5, "1026", '0');  // post time 10:31
        ArmRace(2, 1, "1030");       // close warning 10:25, post time 10:35
    };
    arm();
    TickFrom(10, 20, 0, 1);
    TickFrom(10, 33, 0, 1);  // 13 minutes without a tick
    ASSERT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(Cp932ToUtf8(notices.shown[0].text), "戸田 01 Ｒの電投締切 5 分前です！");  // 10:25 before 10:31
    EXPECT_EQ(notices.shown[1].text, kPostTime01_05);
    EXPECT_EQ(waves, (std::vector<std::string>{"/snd/warn.wav", "/snd/post.wav"}));
    TickFrom(10, 33, 1, 60);
    EXPECT_EQ(notices.shown.size(), 2u);

    // Set back five minutes after they fired: nothing fires twice; the one still to come does.
    TickFrom(10, 28, 0, 8 * 60);
    ASSERT_EQ(notices.shown.size(), 3u);
    EXPECT_EQ(Cp932ToUtf8(notices.shown[2].text), "戸田 01 レースの発走時刻です！");

    // Thirty minutes without a tick: both alarms are let go without a word or a sound.
    notices.shown.clear();
    waves.clear();
    TheTimetable().Clear();
    state = {};
    arm();
    TickFrom(10, 20, 0, 1);
    TickFrom(10, 50, 0, 1);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_TRUE(waves.empty());
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '0');
    EXPECT_EQ(TheTimetable().Slot(2, 1).CloseWarnFlag, '0');
    EXPECT_EQ(TheTimetable().Slot(2, 1).AlarmFlag, '0');

    // Ten minutes late is still in time.
    notices.shown.clear();
    ArmRace(3, 1, "1100", '0');
    TickFrom(11, 15, 0, 1);
    EXPECT_EQ(notices.shown.size(), 1u);
}

TEST_F(AlarmPassTest, AlarmsOfMinutesBeforeTheFirstPassOrOfAnotherDayNeverFire) {
    settings().ALARM_MODE = 1;
    ArmRace(1, 5, "1026", '0');  // post time 10:31 on 2006/09/24
    TickFrom(10, 40, 0, 1);      // the program starts after it
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(TheTimetable().Slot(1, 5).AlarmFlag, '1');
    clock.Set({2006, 9, 25, 10, 20, 0});  // the next day, the table still the old one
    for (int i = 0; i < 20 * 60; ++i) {
        RunAlarmStep(state, outputs);
        clock.Advance(1000);
    }
    EXPECT_TRUE(notices.shown.empty());
}

TEST_F(AlarmPassTest, ACloseTimeThatIsNoClockTimeNeverFires) {
    settings().ALARM_MODE = 1;
    settings().TIMER_F = 1;
    settings().ALARM_MIN = 5;
    ArmRace(1, 1, "9999");
    ArmRace(1, 2, "ab:c");
    ArmRace(1, 3, "2460");
    ArmRace(1, 4, "  00");
    clock.Set({2006, 9, 24, 0, 0, 0});
    for (int minute = 0; minute < 24 * 60 + 10; ++minute) {
        RunAlarmStep(state, outputs);
        clock.Advance(60000);
    }
    EXPECT_TRUE(notices.shown.empty());
    ArmRace(1, 5, "0000");  // a real midnight close still fires
    PutField(TheTimetable().Slot(1, 5).OPDT, "20060925");
    clock.Set({2006, 9, 25, 0, 5, 0});
    RunAlarmStep(state, outputs);
    EXPECT_EQ(notices.shown.size(), 1u);
}

TEST_F(AlarmPassTest, ArrivalNoticesFollowTheirOwnSwitchesWithoutSound) {
    ArmRace(7, 3, "1100", '0');
    RaceSlot& slot = TheTimetable().Slot(7, 3);
    slot.InfoArrivedFlag = '1';
    slot.InfoNoticeFlag = '1';
    slot.RefundArrivedFlag = '1';
    slot.RefundNoticeFlag = '1';
    settings().ALARM_MODE = 1;
    settings().ALARM_SND_F = 1;
    settings().ALARM_INFO_F = 1;
    settings().ALARM_RFD_F = 0;
    TickFrom(9, 0, 0, 2);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, kInfo07_03);
    EXPECT_EQ(slot.InfoNoticeFlag, '0');
    EXPECT_EQ(slot.RefundNoticeFlag, '1');
    settings().ALARM_RFD_F = 1;
    TickFrom(9, 1, 0, 2);
    ASSERT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(notices.shown[1].text, kRefund07_03);
    EXPECT_TRUE(waves.empty());
    EXPECT_EQ(slot.AlarmFlag, '1');  // the race alarm itself is untouched
}

TEST_F(AlarmPassTest, UnknownVenueCodeGivesAMessageStartingWithABlank) {
    ArmRace(1, 5, "1458", '0');
    PutField(TheTimetable().Slot(1, 5).RCOURSECD, "99");
    TickFrom(15, 3, 0, 1);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text.substr(0, 4), " 05 ");
}
