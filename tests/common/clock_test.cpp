// The clock seam.
#include "common/clock.h"

#include <gtest/gtest.h>

using namespace plx;

TEST(ManualClock, AdvancesAcrossMidnightAndMonthEnds) {
    ManualClock clock({2024, 2, 28, 23, 59, 30}, 5000);
    clock.Advance(30 * 1000);
    EXPECT_EQ(clock.Now().day, 29);  // leap year
    EXPECT_EQ(clock.Now().hour, 0);
    EXPECT_EQ(clock.TickCount(), 35000);
    clock.Set({2006, 12, 31, 23, 59, 59});
    clock.Advance(1000);
    EXPECT_EQ(clock.Now().year, 2007);
    EXPECT_EQ(clock.Now().month, 1);
    EXPECT_EQ(clock.Now().day, 1);
    // Sub-second steps add up to whole seconds.
    clock.Advance(400);
    clock.Advance(400);
    EXPECT_EQ(clock.Now().second, 0);
    clock.Advance(400);
    EXPECT_EQ(clock.Now().second, 1);
}

TEST(ClockSeam, InstalledClockIsUsedAndSystemRestored) {
    ManualClock clock({2006, 9, 24, 15, 3, 0}, 42);
    SetClock(&clock);
    EXPECT_EQ(ClockHhnn(), "1503");
    EXPECT_EQ(TickCount(), 42);
    SetClock(nullptr);
    auto a = TickCount();
    auto b = TickCount();
    EXPECT_GE(b, a);
}

TEST(FormatDateTime, EveryFieldZeroPaddedAndOtherCharactersCopied) {
    LocalDateTime t{2006, 9, 4, 7, 5, 3};
    EXPECT_EQ(FormatDateTime(t, "YYYY/MM/DD HH:NN:SS"), "2006/09/04 07:05:03");
    EXPECT_EQ(FormatDateTime(t, "YYYYMMDDHHNNSS"), "20060904070503");
    EXPECT_EQ(FormatDateTime(t, "<HHNN>"), "<0705>");
    EXPECT_EQ(FormatDateTime({12345, 12, 31, 23, 59, 59}, "YYYY.MM"), "2345.12");
}
