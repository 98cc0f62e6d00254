// Alarm moments on the running minute count.
#include "board/alarm_minutes.h"

#include <chrono>

namespace plx {
namespace {

std::optional<int> Digits(std::string_view text) {
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    return value;
}

std::optional<std::int64_t> DayNumber(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (month < 1 || day < 1 || !date.ok()) return std::nullopt;
    return sys_days{date}.time_since_epoch().count();
}

}  // namespace

std::int64_t MinuteOf(const LocalDateTime& t) {
    std::int64_t day = DayNumber(t.year, t.month, t.day).value_or(0);
    return day * kMinutesPerDay + t.hour * 60 + t.minute;
}

bool IsClockTime(std::string_view hhmm) {
    if (hhmm.size() != 4) return false;
    std::optional<int> hour = Digits(hhmm.substr(0, 2)), minute = Digits(hhmm.substr(2, 2));
    return hour && minute && *hour <= 23 && *minute <= 59;
}

std::optional<std::int64_t> CloseMinute(const RaceSlot& slot) {
    const std::string_view date(slot.OPDT, sizeof slot.OPDT), close(slot.CLOSETM, sizeof slot.CLOSETM);
    if (!IsClockTime(close)) return std::nullopt;
    std::optional<int> year = Digits(date.substr(0, 4)), month = Digits(date.substr(4, 2)),
                       day = Digits(date.substr(6, 2));
    if (!year || !month || !day) return std::nullopt;
    std::optional<std::int64_t> dayNumber = DayNumber(*year, *month, *day);
    if (!dayNumber) return std::nullopt;
    return *dayNumber * kMinutesPerDay + *Digits(close.substr(0, 2)) * 60 + *Digits(close.substr(2, 2));
}

std::optional<std::int64_t> PostTimeMinute(const RaceSlot& slot, const Settings& settings) {
    std::optional<std::int64_t> close = CloseMinute(slot);
    if (!close) return std::nullopt;
    return *close + settings.ALARM_MIN;
}

std::optional<std::int64_t> CloseWarningMinute(const RaceSlot& slot, const Settings& settings) {
    std::optional<std::int64_t> close = CloseMinute(slot);
    if (!close) return std::nullopt;
    return *close - settings.TIMER_MIN;
}

}  // namespace plx
