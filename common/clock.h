// The one clock of the program: local date and time, and a millisecond tick count.
// Tests replace it with a ManualClock so that no test has to wait for a minute to pass.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace plx {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
    // Milliseconds from an arbitrary start; only differences mean anything.
    virtual std::int64_t TickCount() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalDateTime Now() const override;
    std::int64_t TickCount() const override;
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(LocalDateTime start = {}, std::int64_t tick = 1000000) : now_(start), tick_(tick) {}
    LocalDateTime Now() const override { return now_; }
    std::int64_t TickCount() const override { return tick_; }
    void Set(LocalDateTime t) { now_ = t; }
    void SetTime(int hour, int minute, int second = 0);
    // Moves both the tick count and the local time forward.
    void Advance(std::int64_t milliseconds);

private:
    LocalDateTime now_;
    std::int64_t tick_;
};

// The clock in use; null restores the system clock. The caller keeps ownership.
const Clock& CurrentClock();
void SetClock(const Clock* clock);

// The local date and time of a moment of the system clock.
LocalDateTime LocalTimeOf(std::time_t moment);

// `pattern` with YYYY, MM, DD, HH, NN and SS replaced by the fields of `t` (zero-padded, the year
// to four digits); every other character is copied. One formatter for every date text we write.
std::string FormatDateTime(const LocalDateTime& t, const char* pattern);

// "HHNN" of the current local time.
std::string ClockHhnn();
// Today's local date as YYYYMMDD.
std::string TodayYmd();
std::int64_t TickCount();

}  // namespace plx
