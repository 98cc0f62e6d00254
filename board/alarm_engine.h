// The alarm pass of the main timer: close warnings and post-time alarms over the whole
// timetable, with their notices and sounds, and the clock-text arithmetic they rest on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "board/timetable.h"
#include "common/settings.h"

namespace plx {

// "HHMM" plus or minus a number of minutes, as "HHMM" on the 24-hour clock. For 0 to 60
// minutes a single carry is made, exactly as the settings dialog's range needs; any other
// count (a hand-edited settings file) is taken modulo a day.
std::string HhmmAddMinutes(std::string_view time, int minutes);
std::string HhmmSubMinutes(std::string_view time, int minutes);

// What the pass does to the world besides the table and the notices.
struct AlarmOutputs {
    std::function<void(const std::string& wavePath)> playWave;  // empty: no sound
    std::function<int()> save;                                  // the timetable save; 0 on success
};

// True when the settings ask for the pass at all.
bool AlarmPassEnabled(const Settings& settings);

// An alarm found this many minutes after its minute is let go without a notice or a sound.
inline constexpr std::int64_t kAlarmLateLimitMinutes = 10;

// One pass over all 288 slots: every armed alarm whose minute lies in (afterMinute, nowMinute]
// (minutes of MinuteOf) is given once, in the order of the minutes, a close warning before the
// post time of the same race and minute; then the arrival notices and the save (whether or not
// anything changed). Slots are read afresh before each alarm, since a sound may let user
// actions run.
void AlarmPass(Timetable& table, const Settings& settings, std::int64_t afterMinute, std::int64_t nowMinute,
               const AlarmOutputs& outputs);

// Where the last pass stopped. Before the first pass nothing lies behind: an alarm whose minute
// passed while the program was not running is not given late.
struct AlarmPassState {
    std::optional<std::int64_t> lastPassMinute;
    // The first minute the next pass looks at is the one after this.
    std::int64_t NextAfter(std::int64_t nowMinute) const;
};

// The tick's alarm step: runs the pass over the program's timetable and settings from the last
// pass to the current minute when the program is running and the settings enable it. Returns
// true when a pass ran.
bool RunAlarmStep(AlarmPassState& state, const AlarmOutputs& outputs);

// The message texts of the notices, in CP932.
std::string PostTimeText(const RaceSlot& slot);
std::string CloseWarningText(const RaceSlot& slot, int timerMinutes);
std::string InfoArrivedText(const RaceSlot& slot);
std::string RefundArrivedText(const RaceSlot& slot);

}  // namespace plx
