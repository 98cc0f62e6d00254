// System and manual clocks behind the one clock seam.
#include "common/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace plx {
namespace {

const SystemClock systemClock;
const Clock* currentClock = &systemClock;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : days[m - 1];
}

}  // namespace

LocalDateTime SystemClock::Now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t SystemClock::TickCount() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ManualClock::SetTime(int hour, int minute, int second) {
    now_.hour = hour;
    now_.minute = minute;
    now_.second = second;
}

void ManualClock::Advance(std::int64_t milliseconds) {
    tick_ += milliseconds;
    std::int64_t seconds = (tick_ / 1000) - ((tick_ - milliseconds) / 1000);
    while (seconds-- > 0) {
        if (++now_.second < 60) continue;
        now_.second = 0;
        if (++now_.minute < 60) continue;
        now_.minute = 0;
        if (++now_.hour < 24) continue;
        now_.hour = 0;
        if (++now_.day <= DaysInMonth(now_.year, now_.month)) continue;
        now_.day = 1;
        if (++now_.month <= 12) continue;
        now_.month = 1;
        ++now_.year;
    }
}

const Clock& CurrentClock() { return *currentClock; }

void SetClock(const Clock* clock) { currentClock = clock ? clock : &systemClock; }

std::string ClockHhnn() {
    LocalDateTime t = currentClock->Now();
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d", t.hour % 100, t.minute % 100);
    return text;
}

std::int64_t TickCount() { return currentClock->TickCount(); }

}  // namespace plx
