// The change of day of the timetable on a manual clock, with a recording loader.
#include "board/day_change.h"

#include <gtest/gtest.h>

#include "board/alarm_minutes.h"
#include "tests/board/race_slots.h"

using namespace plx;

namespace {

class DayChangeTest : public ::testing::Test {
protected:
    DayChangeTest() {
        actions.loadDay = [this](const std::string& date) {
            loads.push_back(date);
            table.Clear();
            if (date < firstDayWithRaces) return -1;
            plxtest::PutRace(table, 1, 1, "1030", '0', '0');
            PutField(table.Slot(1, 1).OPDT, date);
            return 0;
        };
        actions.redraw = [this] { ++redraws; };
        settings.ALARM_MODE = 1;
        settings.ALARM_MIN = 5;
    }
    // One step a minute from `from` up to and including `to`, each after the alarm pass's minute.
    void StepEachMinute(LocalDateTime from, const LocalDateTime& to) {
        ManualClock clock(from);
        while (MinuteOf(clock.Now()) <= MinuteOf(to)) {
            std::int64_t now = MinuteOf(clock.Now());
            DayChangeStep(watch, table, settings, now, clock.Now(), actions);
            clock.Advance(60000);
        }
    }
    Timetable table;
    Settings settings;
    DayWatch watch;
    DayChangeActions actions;
    std::string firstDayWithRaces = "00000000";
    std::vector<std::string> loads;
    int redraws = 0;
};

}  // namespace

TEST_F(DayChangeTest, TheNewDayWaitsForTheOldDaysLastAlarmWithinTheHour) {
    plxtest::PutRace(table, 2, 12, "2359", '1', '0');  // post time 00:04 of the 25th
    plxtest::PutRace(table, 1, 1, "1026", '1', '0');   // 10:31 of the 24th, long past
    StepEachMinute({2006, 9, 24, 23, 50, 0}, {2006, 9, 25, 0, 3, 0});
    EXPECT_TRUE(loads.empty());
    table.Slot(2, 12).AlarmFlag = '0';  // given at 00:04
    StepEachMinute({2006, 9, 25, 0, 4, 0}, {2006, 9, 25, 0, 20, 0});
    EXPECT_EQ(loads, std::vector<std::string>{"20060925"});
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(TableDay(table), "20060925");

    // With the alarms switched off nothing holds the day back.
    loads.clear();
    plxtest::PutRace(table, 2, 12, "2359", '1', '1');
    PutField(table.Slot(2, 12).OPDT, "20060925");  // due at 00:04 of the 26th
    settings.ALARM_MODE = 0;
    StepEachMinute({2006, 9, 26, 0, 1, 0}, {2006, 9, 26, 0, 1, 0});
    EXPECT_EQ(loads, std::vector<std::string>{"20060926"});
}

TEST_F(DayChangeTest, AnEmptyDayAsksAgainEveryTenMinutesUntilRacesAppear) {
    firstDayWithRaces = "99999999";
    StepEachMinute({2006, 9, 24, 8, 55, 0}, {2006, 9, 24, 9, 30, 0});
    EXPECT_EQ(loads.size(), 3u);  // 09:05, 09:15, 09:25
    firstDayWithRaces = "20060924";
    StepEachMinute({2006, 9, 24, 9, 31, 0}, {2006, 9, 24, 10, 30, 0});
    EXPECT_EQ(loads.size(), 4u);  // 09:35, then never again that day
    EXPECT_EQ(TableDay(table), "20060924");
}

TEST_F(DayChangeTest, ASetBackClockOrTheSameDayLoadsNothing) {
    plxtest::PutRace(table, 1, 1, "1030", '0', '0');
    PutField(table.Slot(1, 1).OPDT, "20060925");
    StepEachMinute({2006, 9, 24, 23, 0, 0}, {2006, 9, 25, 23, 59, 0});
    EXPECT_TRUE(loads.empty());
}
