// Alarm moments as whole minutes on one running count, so that a pass can tell which alarms fell
// between two ticks, across midnight and across a clock that jumped.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "board/timetable.h"
#include "common/clock.h"
#include "common/settings.h"

namespace plx {

inline constexpr std::int64_t kMinutesPerDay = 24 * 60;

// Minutes since the start of 1970-01-01 (local time) of the minute `t` falls in.
std::int64_t MinuteOf(const LocalDateTime& t);

// True for a close time that names a real clock time: four digits from 0000 to 2359.
bool IsClockTime(std::string_view hhmm);

// The minute at which a race closes: its OPDT date and its CLOSETM. None when either is not a real
// date or clock time; such a race never gives an alarm.
std::optional<std::int64_t> CloseMinute(const RaceSlot& slot);
// The post-time alarm (close plus ALARM_MIN) and the close warning (close minus TIMER_MIN).
std::optional<std::int64_t> PostTimeMinute(const RaceSlot& slot, const Settings& settings);
std::optional<std::int64_t> CloseWarningMinute(const RaceSlot& slot, const Settings& settings);

}  // namespace plx
