// The change of day of the timetable.
#include "board/day_change.h"

#include "board/alarm_minutes.h"
#include "common/program_state.h"

namespace plx {

std::string TableDay(const Timetable& table) {
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            const RaceSlot& slot = table.Slot(venue, race);
            if (!IsBlankField(slot.OPDT, sizeof slot.OPDT)) return std::string(slot.OPDT, sizeof slot.OPDT);
        }
    return {};
}

bool AlarmDueSoon(const Timetable& table, const Settings& settings, std::int64_t afterMinute, std::int64_t nowMinute) {
    if (!AlarmPassEnabled(settings)) return false;
    auto dueSoon = [&](std::optional<std::int64_t> minute) {
        return minute && *minute > afterMinute && *minute <= nowMinute + kDayChangeHoldMinutes;
    };
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            const RaceSlot& slot = table.Slot(venue, race);
            if (slot.AlarmFlag == '1' && dueSoon(PostTimeMinute(slot, settings))) return true;
            if (slot.CloseWarnFlag == '1' && settings.TIMER_F == 1 && dueSoon(CloseWarningMinute(slot, settings)))
                return true;
        }
    return false;
}

bool DayChangeStep(DayWatch& watch, const Timetable& table, const Settings& settings, std::int64_t afterMinute,
                   const LocalDateTime& now, const DayChangeActions& actions) {
    const std::string today = FormatDateTime(now, "YYYYMMDD");
    const std::int64_t nowMinute = MinuteOf(now);
    const std::string held = TableDay(table);
    // The first step follows the start-up, which has just loaded (or kept) a table; a clock set
    // back must not put the next try far off.
    if (watch.loadedDay.empty() || watch.nextTryMinute - nowMinute > kEmptyDayRetryMinutes) {
        if (watch.loadedDay.empty()) watch.loadedDay = held.empty() ? today : held;
        watch.nextTryMinute = nowMinute + kEmptyDayRetryMinutes;
    }
    if (!held.empty()) {
        // Dates are digit texts: a later day compares greater.
        if (today <= held || AlarmDueSoon(table, settings, afterMinute, nowMinute)) return false;
    } else if (today <= watch.loadedDay && nowMinute < watch.nextTryMinute) {
        return false;
    }
    watch.loadedDay = today;
    watch.nextTryMinute = nowMinute + kEmptyDayRetryMinutes;
    if (actions.loadDay) actions.loadDay(today);
    if (actions.redraw) actions.redraw();
    return true;
}

bool RunDayChangeStep(DayWatch& watch, const AlarmPassState& alarms, const DayChangeActions& actions) {
    ProgramState& program = Program();
    if (program.runState != RunState::Running) return false;
    const LocalDateTime now = CurrentClock().Now();
    return DayChangeStep(watch, TheTimetable(), program.settings, alarms.NextAfter(MinuteOf(now)), now, actions);
}

}  // namespace plx
