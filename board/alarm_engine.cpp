// The alarm pass and the clock-text arithmetic.
#include "board/alarm_engine.h"

#include "common/clock.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {
namespace {

constexpr long long kMinutesPerDay = 24 * 60;

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

enum class Outcome { None, PostTime, Lapsed, CloseWarning };

void PassOverSlot(RaceSlot& slot, const Settings& s, const std::string& clock, const AlarmOutputs& out) {
    Outcome outcome = Outcome::None;
    std::string close(slot.CLOSETM, sizeof slot.CLOSETM);
    if (slot.AlarmFlag == '1' && HhmmAddMinutes(close, s.ALARM_MIN) == clock)
        outcome = s.ALARM_MODE >= 1 ? Outcome::PostTime : Outcome::Lapsed;
    if (slot.CloseWarnFlag == '1' && s.TIMER_F == 1 && HhmmSubMinutes(close, s.TIMER_MIN) == clock)
        outcome = Outcome::CloseWarning;

    if (outcome == Outcome::PostTime || outcome == Outcome::CloseWarning) {
        std::string text;
        if (outcome == Outcome::PostTime) {
            text = PostTimeText(slot);
            slot.AlarmFlag = '0';
        } else {
            text = CloseWarningText(slot, s.TIMER_MIN);
            slot.CloseWarnFlag = '0';
        }
        if (out.playWave) {
            if (outcome == Outcome::PostTime && s.ALARM_SND_F == 1) out.playWave(s.ALARM_SND_FNM);
            if (outcome == Outcome::CloseWarning && s.TIMER_SND_F == 1) out.playWave(s.TIMER_SND_FNM);
        }
        if (outcome == Outcome::PostTime || s.ALARM_MODE > 0) ShowNotice(text, NoticeCategory::RaceNotice);
    } else if (outcome == Outcome::Lapsed) {
        slot.AlarmFlag = '0';
    }

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

void AlarmPass(Timetable& table, const Settings& settings, const std::string& clockHhnn, const AlarmOutputs& outputs) {
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race)
            PassOverSlot(table.Slot(venue, race), settings, clockHhnn, outputs);
    if (outputs.save) outputs.save();
}

bool RunAlarmStep(const AlarmOutputs& outputs) {
    ProgramState& program = Program();
    if (program.runState != RunState::Running || !AlarmPassEnabled(program.settings)) return false;
    AlarmPass(TheTimetable(), program.settings, ClockHhnn(), outputs);
    return true;
}

}  // namespace plx
