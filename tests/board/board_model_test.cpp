// Board texts, alarm toggles and the close-time entry check.
#include "board/board_model.h"

#include <gtest/gtest.h>

#include "tests/board/race_slots.h"

using namespace plx;

namespace {

void AddRace(Timetable& table, int venue, int race, const char* close, char alarm = '0') {
    plxtest::PutRace(table, venue, race, close, alarm, alarm);
}

void AddVenue(Timetable& table, int venue, int races) {
    for (int r = 1; r <= races; ++r) AddRace(table, venue, r, "1030");
}

std::string Alarms(const Timetable& table, int venue) {
    std::string flags;
    for (int r = 1; r <= kRacesPerVenue; ++r) flags += table.Slot(venue, r).AlarmFlag;
    return flags;
}

}  // namespace

TEST(BoardModel, DateComesFromTheFirstVenueWithRaceOne) {
    Timetable table;
    EXPECT_EQ(BoardDateYmd(table), "");
    AddRace(table, 7, 1, "1030");
    PutField(table.Slot(7, 1).OPDT, "20060925");
    AddRace(table, 12, 1, "1030");
    AddRace(table, 3, 2, "1030");  // race 2 alone does not date the board
    EXPECT_EQ(BoardDateYmd(table), "20060925");
}

TEST(BoardModel, RowsAndVenuesOutsideTheTable) {
    Timetable table;
    AddRace(table, 5, 1, "0930", '1');
    BoardRow row = BoardRowAt(table, 5, 1);
    EXPECT_EQ(row.time, "09:30");
    EXPECT_EQ(row.info, "!");
    EXPECT_EQ(row.refund, "\\");
    EXPECT_TRUE(row.selected);
    EXPECT_EQ(BoardRowAt(table, 5, 2).time, "");
    BoardVenues venues{0, 25, -3};
    EXPECT_EQ(ColumnVenue(venues, 1), 0);
    EXPECT_EQ(ColumnVenue(venues, 2), 0);
    EXPECT_EQ(ColumnVenue(venues, 3), 0);
    EXPECT_EQ(BoardRowAt(table, 0, 1).time, "");
    // Toggling columns with such venues touches nothing and does not crash.
    Settings settings;
    ToggleAlarms(table, venues, settings, 0, 0);
    EXPECT_EQ(table.Slot(5, 1).AlarmFlag, '1');
}

TEST(BoardModel, ColumnToggleFollowsItsFirstRace) {
    Timetable table;
    AddVenue(table, 4, 10);
    for (int r = 1; r <= 10; ++r)
        if (r != 3) table.Slot(4, r).AlarmFlag = '1';
    Settings settings;
    BoardVenues venues{1, 4, 2};
    ToggleAlarms(table, venues, settings, 2, 0);
    EXPECT_EQ(Alarms(table, 4), "0000000000  ");
    EXPECT_EQ(table.Slot(4, 3).CloseWarnFlag, '0');
    ToggleAlarms(table, venues, settings, 2, 0);
    EXPECT_EQ(Alarms(table, 4), "1111111111  ");
    EXPECT_EQ(table.Slot(4, 10).CloseWarnFlag, '1');
}

TEST(BoardModel, RaceNumberToggleSkipsVenuesWithoutThatRace) {
    Timetable table;
    AddVenue(table, 1, 10);
    AddVenue(table, 2, 10);
    AddVenue(table, 3, 12);
    Settings settings;
    ToggleAlarms(table, {1, 2, 3}, settings, 0, 12);
    EXPECT_EQ(table.Slot(3, 12).AlarmFlag, '1');
    EXPECT_EQ(table.Slot(1, 12).AlarmFlag, ' ');
    EXPECT_EQ(table.Slot(2, 12).AlarmFlag, ' ');
    EXPECT_EQ(Alarms(table, 3), "000000000001");
}

TEST(BoardModel, WholeDayWithTheSameVenueTwiceIsDecidedByTheFirstColumn) {
    Timetable table;
    AddVenue(table, 24, 12);
    AddVenue(table, 5, 12);
    table.Slot(24, 1).AlarmFlag = '1';  // selected, so the whole day is deselected
    table.Slot(5, 1).AlarmFlag = '0';
    Settings settings;
    ToggleAlarms(table, {24, 5, 24}, settings, 0, 0);
    EXPECT_EQ(Alarms(table, 24), "000000000000");
    EXPECT_EQ(Alarms(table, 5), "000000000000");
    ToggleAlarms(table, {24, 5, 24}, settings, 0, 0);
    EXPECT_EQ(Alarms(table, 24), "111111111111");
    EXPECT_EQ(Alarms(table, 5), "111111111111");
}

TEST(BoardModel, WholeDayWithoutDataChangesNothing) {
    Timetable table, before;
    Settings settings;
    ToggleAlarms(table, {1, 2, 3}, settings, 0, 0);
    EXPECT_EQ(std::string(table.bytes(), Timetable::kBytes), std::string(before.bytes(), Timetable::kBytes));
}

TEST(BoardModel, NoticeFlagsFollowTheirSwitches) {
    Timetable table;
    AddRace(table, 1, 1, "1030");
    Settings settings;
    settings.ALARM_INFO_F = 1;
    settings.ALARM_RFD_F = 0;
    ToggleAlarms(table, {1, 2, 3}, settings, 1, 1);
    EXPECT_EQ(table.Slot(1, 1).InfoNoticeFlag, '1');
    EXPECT_EQ(table.Slot(1, 1).RefundNoticeFlag, ' ');
    settings.ALARM_RFD_F = 1;
    ToggleAlarms(table, {1, 2, 3}, settings, 1, 1);
    EXPECT_EQ(table.Slot(1, 1).InfoNoticeFlag, '0');
    EXPECT_EQ(table.Slot(1, 1).RefundNoticeFlag, '0');
}

TEST(BoardModel, CloseTimeEntries) {
    EXPECT_TRUE(IsAcceptedCloseTime("0930"));
    EXPECT_TRUE(IsAcceptedCloseTime("2561"));
    EXPECT_TRUE(IsAcceptedCloseTime("0001"));
    for (const char* wrong : {"930", "09:30", "abcd", "0000", "", "09300", "+930", "-930", " 930", "93 0"})
        EXPECT_FALSE(IsAcceptedCloseTime(wrong)) << wrong;
}

TEST(BoardModel, RacesWhoseCloseTimeIsNoClockTimeAreNotArmedButShowAsTheyAre) {
    Timetable table;
    AddRace(table, 1, 1, "9999");
    AddRace(table, 1, 2, "ab:c");
    AddRace(table, 1, 3, "2460");
    AddRace(table, 1, 4, "2359");
    AddRace(table, 1, 5, "2460", '1');  // armed by an older file: can still be disarmed
    Settings settings;
    ToggleAlarms(table, {1, 2, 3}, settings, 1, 0);  // race 4 is the first that can be armed
    EXPECT_EQ(Alarms(table, 1), "00011       ");
    ToggleAlarms(table, {1, 2, 3}, settings, 1, 3);
    EXPECT_EQ(table.Slot(1, 3).AlarmFlag, '0');
    EXPECT_EQ(table.Slot(1, 3).CloseWarnFlag, '0');
    ToggleAlarms(table, {1, 2, 3}, settings, 0, 0);
    EXPECT_EQ(Alarms(table, 1), "00000       ");
    ToggleAlarms(table, {1, 2, 3}, settings, 0, 0);
    EXPECT_EQ(Alarms(table, 1), "00010       ");
    EXPECT_EQ(BoardRowAt(table, 1, 1).time, "99:99");
    EXPECT_EQ(BoardRowAt(table, 1, 2).time, "ab::c");
}
