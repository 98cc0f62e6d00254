// The alarm pass and the clock-text arithmetic.
#include "board/alarm_engine.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "board/alarm_minutes.h"
#include "common/clock.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {
namespace {

// Two characters of a time text as a number; anything but two digits reads as 0.
int ReadPair(std::string_view time, std::size_t at) {
    if (time.size() < at + 2) return 0;
    char a = time[at], b = time[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
    return (a - '0') * 10 + (b - '0');
}

std::string FormatHhmm(long long h, long long n) {
    return ZeroPad(h, 2) + ZeroPad(n, 2);
}

// Any minute count: the clock time that many minutes after h:n, wrapped into one day.
std::string ShiftModuloDay(int h, int n, long long minutes) {
    long long total = ((h * 60LL + n + minutes) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
    return FormatHhmm(total / 60, total % 60);
}

std::string SlotPrefix(const RaceSlot& slot) {
    return VenueName(std::string(slot.RCOURSECD, 2)) + " " + std::string(slot.RNO, 2);
}

enum class Kind { CloseWarning, PostTime };

struct DueAlarm {
    std::int64_t minute;
    int slot;  // index in venue-major order
    Kind kind;
    bool operator<(const DueAlarm& other) const {
        return std::tie(minute, slot, kind) < std::tie(other.minute, other.slot, other.kind);
    }
};

RaceSlot& SlotAt(Timetable& table, int index) {
    return table.Slot(index / kRacesPerVenue + 1, index % kRacesPerVenue + 1);
}

// The minute of an armed alarm of `kind`, or none when it is not armed or names no real moment.
std::optional<std::int64_t> ArmedMinute(const RaceSlot& slot, const Settings& s, Kind kind) {
    if (kind == Kind::PostTime) return slot.AlarmFlag == '1' ? PostTimeMinute(slot, s) : std::nullopt;
    return slot.CloseWarnFlag == '1' && s.TIMER_F == 1 ? CloseWarningMinute(slot, s) : std::nullopt;
}

std::vector<DueAlarm> DueAlarms(Timetable& table, const Settings& s, std::int64_t after, std::int64_t now) {
    std::vector<DueAlarm> due;
    for (int index = 0; index < kSlotCount; ++index) {
        for (Kind kind : {Kind::CloseWarning, Kind::PostTime}) {
            std::optional<std::int64_t> minute = ArmedMinute(SlotAt(table, index), s, kind);
            if (minute && *minute > after && *minute <= now) due.push_back({*minute, index, kind});
        }
    }
    std::sort(due.begin(), due.end());
    return due;
}

void GiveAlarm(RaceSlot& slot, const Settings& s, Kind kind, bool late, const AlarmOutputs& out) {
    if (kind == Kind::PostTime) {
        slot.AlarmFlag = '0';
        // With ALARM_MODE 0 a selected race is deselected at its post time without any notice.
        if (late || s.ALARM_MODE < 1) return;
        if (out.playWave && s.ALARM_SND_F == 1) out.playWave(s.ALARM_SND_FNM);
        ShowNotice(PostTimeText(slot), NoticeCategory::RaceNotice);
        return;
    }
    slot.CloseWarnFlag = '0';
    if (late) return;
    if (out.playWave && s.TIMER_SND_F == 1) out.playWave(s.TIMER_SND_FNM);
    if (s.ALARM_MODE > 0) ShowNotice(CloseWarningText(slot, s.TIMER_MIN), NoticeCategory::RaceNotice);
}

void ArrivalNotices(RaceSlot& slot, const Settings& s) {
    if (s.ALARM_INFO_F == 1 && slot.InfoArrivedFlag == '1' && slot.InfoNoticeFlag == '1') {
        slot.InfoNoticeFlag = '0';
        ShowNotice(InfoArrivedText(slot), NoticeCategory::RaceNotice);
    }
    if (s.ALARM_RFD_F == 1 && slot.RefundArrivedFlag == '1' && slot.RefundNoticeFlag == '1') {
        slot.RefundNoticeFlag = '0';
        ShowNotice(RefundArrivedText(slot), NoticeCategory::RaceNotice);
    }
}

}  // namespace

std::string HhmmAddMinutes(std::string_view time, int minutes) {
    int h = ReadPair(time, 0), n = ReadPair(time, 2);
    if (minutes < 0 || minutes > 60) return ShiftModuloDay(h, n, minutes);
    if (n + minutes >= 60) {
        if (++h > 23) h = 0;
        n -= 60;
    }
    return FormatHhmm(h, n + minutes);
}

std::string HhmmSubMinutes(std::string_view time, int minutes) {
    int h = ReadPair(time, 0), n = ReadPair(time, 2);
    if (minutes < 0 || minutes > 60) return ShiftModuloDay(h, n, -static_cast<long long>(minutes));
    if (n - minutes < 0) {
        if (--h < 0) h = 23;
        n += 60;
    }
    return FormatHhmm(h, n - minutes);
}

std::string PostTimeText(const RaceSlot& slot) {
    return SlotPrefix(slot) + SJ(" レースの発走時刻です！");
}

std::string CloseWarningText(const RaceSlot& slot, int timerMinutes) {
    return SlotPrefix(slot) + SJ(" Ｒの電投締切 ") + std::to_string(timerMinutes) + SJ(" 分前です！");
}

std::string InfoArrivedText(const RaceSlot& slot) {
    return SlotPrefix(slot) + SJ(" レースの直前情報が入りました。");
}

std::string RefundArrivedText(const RaceSlot& slot) {
    return SlotPrefix(slot) + SJ(" レースの払戻金が入りました。");
}

bool AlarmPassEnabled(const Settings& settings) {
    return settings.ALARM_MODE > 0 || settings.TIMER_F == 1;
}

void AlarmPass(Timetable& table, const Settings& settings, std::int64_t afterMinute, std::int64_t nowMinute,
               const AlarmOutputs& outputs) {
    for (const DueAlarm& alarm : DueAlarms(table, settings, afterMinute, nowMinute)) {
        RaceSlot& slot = SlotAt(table, alarm.slot);
        // A sound of an earlier alarm may have let a click disarm or re-time this one.
        if (ArmedMinute(slot, settings, alarm.kind) != alarm.minute) continue;
        GiveAlarm(slot, settings, alarm.kind, nowMinute - alarm.minute > kAlarmLateLimitMinutes, outputs);
    }
    for (int index = 0; index < kSlotCount; ++index) ArrivalNotices(SlotAt(table, index), settings);
    if (outputs.save) outputs.save();
}

std::int64_t AlarmPassState::NextAfter(std::int64_t nowMinute) const {
    // A clock set back starts afresh from now; the alarms already given have their flags cleared.
    if (!lastPassMinute || *lastPassMinute > nowMinute) return nowMinute - 1;
    return *lastPassMinute;
}

bool RunAlarmStep(AlarmPassState& state, const AlarmOutputs& outputs) {
    ProgramState& program = Program();
    if (program.runState != RunState::Running || !AlarmPassEnabled(program.settings)) return false;
    const std::int64_t now = MinuteOf(CurrentClock().Now());
    const std::int64_t after = state.NextAfter(now);
    state.lastPassMinute = now;
    AlarmPass(TheTimetable(), program.settings, after, now, outputs);
    return true;
}

}  // namespace plx
