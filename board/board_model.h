// What the race board shows and what its clicks do to the timetable, without widgets:
// the board's date, the texts and state of each cell, the alarm toggles and the close-time check.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "board/timetable.h"
#include "common/settings.h"

namespace plx {

using BoardVenues = std::array<int, 3>;

// The venue number of board column 1..3, or 0 when the settings hold a number outside 1..24
// (such a column shows nothing and is never used to index the table).
int ColumnVenue(const BoardVenues& venues, int column);

// OPDT (YYYYMMDD) of the first venue, in venue order, whose race 1 has a date; empty when none.
std::string BoardDateYmd(const Timetable& table);

struct BoardRow {
    std::string time;    // "HH:MM", empty without a close time
    std::string info;    // "!"
    std::string refund;  // "\", which the board draws as the yen mark
    bool selected = false;
};

// Row of race 1..12 at venue number `venue`; all empty for venue 0.
BoardRow BoardRowAt(const Timetable& table, int venue, int race);

// Arms or disarms the races of board column 1..3 (0: all three) and race 1..12 (0: all twelve).
// The first race of the group, in column-then-race order, decides: a selected first race
// deselects the group, otherwise the group is selected. A venue shown twice is set once. A race
// whose close time is not a real clock time is never armed.
void ToggleAlarms(Timetable& table, const BoardVenues& venues, const Settings& settings, int column, int race);

// True for a close-time entry the board accepts: four digits whose number is above 0.
// Hours above 23 or minutes above 59 are taken as typed.
bool IsAcceptedCloseTime(std::string_view entry);

}  // namespace plx
