// Placing schedule rows into the timetable, and the pending-alarm test.
#include "board/race_schedule.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/clock.h"
#include "common/sjis.h"

using namespace plx;

namespace {

ScheduleRow Row(const std::string& venue, const std::string& race) {
    return {"20061001", venue, "3", race, "02", "1800", "1534"};
}

std::string Bytes(const Timetable& table) {
    return std::string(table.bytes(), Timetable::kBytes);
}

}  // namespace

TEST(ScheduleRow, FillsItsSlotWithPaddedFieldsAndClearedFlags) {
    Timetable table;
    ASSERT_TRUE(PutScheduleRow(table, Row("02", "05")));
    const RaceSlot& slot = table.Slot(2, 5);
    EXPECT_EQ(FieldText(slot.OPDT), "20061001");
    EXPECT_EQ(FieldText(slot.RCOURSECD), "02  ");
    EXPECT_EQ(FieldText(slot.NITIME), "3 ");
    EXPECT_EQ(FieldText(slot.RNO), "05");
    EXPECT_EQ(FieldText(slot.RKINDCD), "02  ");
    EXPECT_EQ(FieldText(slot.DIST), "1800  ");
    EXPECT_EQ(FieldText(slot.CLOSETM), "1534");
    EXPECT_EQ(slot.AlarmFlag, '0');
    EXPECT_EQ(slot.CloseWarnFlag, '0');
    EXPECT_EQ(std::string(&slot.InfoArrivedFlag, 4), "    ");
    EXPECT_EQ(FieldText(slot.reserved1), std::string(67, ' '));
    EXPECT_EQ(FieldText(slot.reserved2), std::string(26, ' '));
    // Only that slot changed.
    Timetable expected;
    std::memcpy(&expected.Slot(2, 5), &slot, sizeof slot);
    EXPECT_TRUE(Bytes(table) == Bytes(expected));
}

TEST(ScheduleRow, RowsNamingNoSlotAreSkipped) {
    Timetable table;
    for (const char* venue : {"00", "25", "99", "ab", "", "-1", "2x"})
        EXPECT_FALSE(PutScheduleRow(table, Row(venue, "01")));
    for (const char* race : {"00", "13", "-3", "99999999999"}) EXPECT_FALSE(PutScheduleRow(table, Row("01", race)));
    EXPECT_TRUE(Bytes(table) == std::string(Timetable::kBytes, ' '));

    // Blanks around a number are allowed; a race number that is not a number counts as race 1.
    EXPECT_TRUE(PutScheduleRow(table, Row("24", "12")));
    EXPECT_FALSE(table.Slot(24, 12).IsEmpty());
    EXPECT_TRUE(PutScheduleRow(table, Row("7 ", "R")));
    EXPECT_EQ(FieldText(table.Slot(7, 1).RNO), "R ");
}

TEST(ScheduleRow, LongTextsAreClippedInsideTheirFields) {
    Timetable table;
    ScheduleRow row = Row("03", "04");
    row.DIST = "12345678";
    row.RKINDCD = "A" + SJ("優勝");  // 5 bytes: the second character would be split at 4
    row.NITIME = "123";
    row.CLOSETM = "153456";
    ASSERT_TRUE(PutScheduleRow(table, row));
    const RaceSlot& slot = table.Slot(3, 4);
    EXPECT_EQ(FieldText(slot.DIST), "123456");
    EXPECT_EQ(FieldText(slot.RKINDCD), "A" + SJ("優") + " ");
    EXPECT_EQ(FieldText(slot.NITIME), "12");
    EXPECT_EQ(FieldText(slot.RNO), "04");
    EXPECT_EQ(FieldText(slot.CLOSETM), "1534");
    EXPECT_EQ(slot.AlarmFlag, '0');
    EXPECT_TRUE(table.Slot(3, 5).IsEmpty());
}

TEST(PendingAlarms, OnlyArmedSlotsOfTodayOrLaterCount) {
    Timetable table;
    auto arm = [&](int venue, int race, const char* date, char flag) {
        PutScheduleRow(table, {date, venue < 10 ? "0" + std::to_string(venue) : std::to_string(venue), "1",
                               race < 10 ? "0" + std::to_string(race) : std::to_string(race), "01", "1800", "1200"});
        table.Slot(venue, race).AlarmFlag = flag;
    };
    const std::string today = "20061001";
    EXPECT_FALSE(HasPendingAlarms(table, today));
    arm(1, 1, "20060930", '1');  // yesterday, armed
    arm(5, 3, "20061001", '0');  // today, not armed
    arm(6, 4, "20061002", '0');  // tomorrow, not armed
    EXPECT_FALSE(HasPendingAlarms(table, today));
    arm(24, 12, "20061001", '1');
    EXPECT_TRUE(HasPendingAlarms(table, today));
    table.Slot(24, 12).AlarmFlag = '0';
    arm(12, 7, "20061002", '1');
    EXPECT_TRUE(HasPendingAlarms(table, today));
    EXPECT_FALSE(HasPendingAlarms(table, "20061003"));

    // The program's own table against the clock's date.
    ManualClock clock({2006, 10, 2, 9, 0, 0});
    SetClock(&clock);
    std::memcpy(TheTimetable().bytes(), table.bytes(), Timetable::kBytes);
    EXPECT_TRUE(HasPendingAlarms());
    clock.Set({2006, 10, 3, 0, 0, 0});
    EXPECT_FALSE(HasPendingAlarms());
    SetClock(nullptr);
    TheTimetable().Clear();
}
