// The day's race schedule: filling the timetable from RACEMST, and whether a saved timetable
// still holds alarms worth keeping.
#pragma once

#include <string>

#include "board/timetable.h"

namespace plx {

class SqlQuery;

// The columns of one RACEMST row that a slot carries, as the database returns them.
struct ScheduleRow {
    std::string OPDT, RCOURSECD, NITIME, RNO, RKINDCD, DIST, CLOSETM;
};

// Puts one row into its slot with both alarm flags "0". A row whose venue code is not a number
// from 1 to 24, or whose race number is outside 1 to 12, is skipped (false, table untouched): it
// names no slot. A race number that is not a number counts as race 1. Texts longer than their
// fields are clipped at the field's width, never splitting a double-byte character.
bool PutScheduleRow(Timetable& table, const ScheduleRow& row);

// Blanks `table`, fills it with the rows of RACEMST for `date` (YYYYMMDD) read through `query`
// and saves it into `folder`. Returns 0 when at least one race was placed and the save worked,
// -1 when none was (the table stays blank and is not saved) or the save failed.
int LoadDaySchedule(Timetable& table, SqlQuery& query, const std::string& date, const std::string& folder);

// The program's timetable, from the data module's sq_mst, saved in the program folder.
int LoadDaySchedule(const std::string& date);

// True when some slot is armed ("1") for `today` (YYYYMMDD) or a later day.
bool HasPendingAlarms(const Timetable& table, const std::string& today);
bool HasPendingAlarms();

}  // namespace plx
