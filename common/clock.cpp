// System and manual clocks behind the one clock seam.
#include "common/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace plx {
namespace {

const SystemClock systemClock;
const Clock* currentClock = &systemClock;

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : days[m - 1];
}

}  // namespace

LocalDateTime LocalTimeOf(std::time_t moment) {
    std::tm tm{};
    localtime_r(&moment, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalDateTime SystemClock::Now() const {
    return LocalTimeOf(std::time(nullptr));
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

const Clock& CurrentClock() {
    return *currentClock;
}

void SetClock(const Clock* clock) {
    currentClock = clock ? clock : &systemClock;
}

std::string FormatDateTime(const LocalDateTime& t, const char* pattern) {
    struct Field {
        const char* token;
        int value;
        int width;
    };
    const Field fields[] = {{"YYYY", t.year, 4}, {"MM", t.month, 2},  {"DD", t.day, 2},
                            {"HH", t.hour, 2},   {"NN", t.minute, 2}, {"SS", t.second, 2}};
    std::string out;
    std::string_view rest(pattern);
    while (!rest.empty()) {
        bool replaced = false;
        for (const Field& field : fields) {
            std::string_view token(field.token);
            if (!rest.starts_with(token)) continue;
            char digits[16];
            int modulus = field.width == 4 ? 10000 : 100;
            std::snprintf(digits, sizeof digits, "%0*d", field.width, ((field.value % modulus) + modulus) % modulus);
            out += digits;
            rest.remove_prefix(token.size());
            replaced = true;
            break;
        }
        if (!replaced) {
            out += rest.front();
            rest.remove_prefix(1);
        }
    }
    return out;
}

std::string ClockHhnn() {
    return FormatDateTime(currentClock->Now(), "HHNN");
}

std::string TodayYmd() {
    return FormatDateTime(currentClock->Now(), "YYYYMMDD");
}

std::int64_t TickCount() {
    return currentClock->TickCount();
}

}  // namespace plx
