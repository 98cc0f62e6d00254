// Loading the day's races into the timetable.
#include "board/race_schedule.h"

#include <charconv>
#include <climits>

#include "board/timetable_file.h"
#include "common/clock.h"
#include "common/program_state.h"
#include "common/textutil.h"
#include "data/data_module.h"

namespace plx {
namespace {

// The number a code or race-number column holds, or `otherwise` when it holds none. Blanks
// around it are allowed, since a CHAR column may carry them.
int NumberIn(const std::string& text, int otherwise) {
    const std::string trimmed = TrimBlanks(text);
    int value = 0;
    auto [end, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (trimmed.empty() || end != trimmed.data() + trimmed.size()) return otherwise;
    if (ec == std::errc::result_out_of_range) return INT_MAX;  // a number, just far out of any range
    return ec == std::errc() ? value : otherwise;
}

}  // namespace

bool PutScheduleRow(Timetable& table, const ScheduleRow& row) {
    const int venue = NumberIn(row.RCOURSECD, 0);
    const int race = NumberIn(row.RNO, 1);
    if (!Timetable::IsValidSlot(venue, race)) return false;
    RaceSlot& slot = table.Slot(venue, race);
    PutField(slot.OPDT, row.OPDT);
    PutField(slot.RCOURSECD, row.RCOURSECD);
    PutField(slot.NITIME, row.NITIME);
    PutField(slot.RNO, row.RNO);
    PutField(slot.RKINDCD, row.RKINDCD);
    PutField(slot.DIST, row.DIST);
    PutField(slot.CLOSETM, row.CLOSETM);
    slot.AlarmFlag = '0';
    slot.CloseWarnFlag = '0';
    return true;
}

int LoadDaySchedule(Timetable& table, SqlQuery& query, const std::string& date, const std::string& folder) {
    table.Clear();
    QueryOpen(query, "SELECT * FROM RACEMST WHERE OPDT=" + SqlLiteral(date) + " ORDER BY RCOURSECD,RNO");
    int placed = 0;
    while (!query.Eof()) {
        ScheduleRow row{query.FieldAsText("OPDT"),   query.FieldAsText("RCOURSECD"), query.FieldAsText("NITIME"),
                        query.FieldAsText("RNO"),    query.FieldAsText("RKINDCD"),   query.FieldAsText("DIST"),
                        query.FieldAsText("CLOSETM")};
        if (PutScheduleRow(table, row)) ++placed;
        query.Next();
    }
    if (placed == 0) return -1;
    return SaveTimetable(table, folder);
}

int LoadDaySchedule(const std::string& date) {
    return LoadDaySchedule(TheTimetable(), dm.sq_mst, date, Program().exeFolder);
}

bool HasPendingAlarms(const Timetable& table, const std::string& today) {
    for (int venue = 1; venue <= kVenues; ++venue) {
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            const RaceSlot& slot = table.Slot(venue, race);
            if (slot.AlarmFlag == '1' && BufToStr(slot.OPDT, sizeof slot.OPDT) >= today) return true;
        }
    }
    return false;
}

bool HasPendingAlarms() {
    return HasPendingAlarms(TheTimetable(), TodayYmd());
}

}  // namespace plx
