// Keeping the timetable on the calendar's day: after midnight, once the old day's last alarms
// are given, today's races replace it; a day without races yet is asked for again every ten
// minutes until they appear.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "board/alarm_engine.h"
#include "board/timetable.h"
#include "common/clock.h"
#include "common/settings.h"

namespace plx {

// An old day's alarm due within this many minutes holds the change of day back.
inline constexpr std::int64_t kDayChangeHoldMinutes = 60;
// How often a day without races asks the database again.
inline constexpr std::int64_t kEmptyDayRetryMinutes = 10;

// What the program remembers between ticks about the day its table holds.
struct DayWatch {
    std::string loadedDay;  // YYYYMMDD last asked for; empty before the first step
    std::int64_t nextTryMinute = 0;
};

struct DayChangeActions {
    std::function<int(const std::string& date)> loadDay;  // replaces the table; 0 when races were found
    std::function<void()> redraw;
};

// The day the table holds: the date of its first race in venue-major order, empty without races.
std::string TableDay(const Timetable& table);

// True when an armed alarm of the table falls in (afterMinute, nowMinute + kDayChangeHoldMinutes].
// With the alarm pass switched off nothing is due.
bool AlarmDueSoon(const Timetable& table, const Settings& settings, std::int64_t afterMinute, std::int64_t nowMinute);

// One step at the local time `now`: loads today's races when the table holds an earlier day and
// nothing of it is due soon, or when the table is empty and its day has changed or the retry is
// due. `afterMinute` is where the last alarm pass stopped. Returns true when it loaded.
bool DayChangeStep(DayWatch& watch, const Timetable& table, const Settings& settings, std::int64_t afterMinute,
                   const LocalDateTime& now, const DayChangeActions& actions);

// The tick's step over the program's timetable and settings at the current clock time, when the
// program is running; `alarms` tells where the alarm pass stopped.
bool RunDayChangeStep(DayWatch& watch, const AlarmPassState& alarms, const DayChangeActions& actions);

}  // namespace plx
