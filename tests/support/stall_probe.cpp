// The stall probe: a precise timer of a few milliseconds, the main timer's own signal, the
// kernel's scheduling statistics of the thread, and a watcher thread.
#include "tests/support/stall_probe.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace plxtest {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr milliseconds kWatchSleep{2};
constexpr milliseconds kWatchLoss{10};  // a smaller overrun is ordinary timer noise

// A /proc file of one thread of this process, read whole.
std::string ReadProc(int thread, const char* name) {
    std::string path = "/proc/self/task/" + std::to_string(thread) + "/" + name;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char text[512] = {};
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

// The second field of schedstat: nanoseconds spent waiting on a run queue (0 where not kept).
long long RunQueueWaitNs(int thread) {
    long long running = 0, waiting = 0;
    if (std::sscanf(ReadProc(thread, "schedstat").c_str(), "%lld %lld", &running, &waiting) != 2) return 0;
    return waiting;
}

qint64 Ms(nanoseconds span) {
    return std::chrono::duration_cast<milliseconds>(span).count();
}

}  // namespace

StallProbe::StallProbe(QTimer& mainTimer) : thread_(static_cast<int>(::gettid())) {
    probe_.setTimerType(Qt::PreciseTimer);
    probe_.setInterval(kProbeMs);
    QObject::connect(&probe_, &QTimer::timeout, &context_, [this] { Probe(); });
    QObject::connect(&mainTimer, &QTimer::timeout, &context_, [this] { Tick(); });
    Restart();
    probe_.start();
    watcher_ = std::jthread([this](std::stop_token stop) { Watch(stop); });
}

StallProbe::~StallProbe() = default;

void StallProbe::Restart() {
    start_ = std::chrono::steady_clock::now();
    lastProbe_ = start_;
    lastWaitNs_ = RunQueueWaitNs(thread_);
    lastTick_ = 0;
    longestStall_ = longestStallEnded_ = longestSmallStall_ = longestGap_ = 0;
    gaps_.clear();
    ticks_ = 0;
}

void StallProbe::ForgetStalls() {
    longestStall_ = longestStallEnded_ = longestSmallStall_ = 0;
    gaps_.clear();
}

qint64 StallProbe::ElapsedMs() const {
    return Ms(std::chrono::steady_clock::now() - start_);
}

qint64 StallProbe::LongestTickGapMs() const {
    return std::max(longestGap_, ElapsedMs() - lastTick_);
}

void StallProbe::Probe() {
    Instant now = std::chrono::steady_clock::now();
    long long waitNs = RunQueueWaitNs(thread_);
    nanoseconds stall = now - lastProbe_;
    if (Ms(stall) > longestStall_) {
        longestStall_ = Ms(stall);
        longestStallEnded_ = Ms(now - start_);
    }
    if (stall > milliseconds(kProbeMs * 4))
        gaps_.push_back({lastProbe_, now, nanoseconds(waitNs - lastWaitNs_)});
    else
        longestSmallStall_ = std::max(longestSmallStall_, Ms(stall));
    lastProbe_ = now;
    lastWaitNs_ = waitNs;
}

qint64 StallProbe::LongestOwnStallMs() {
    WorkOutOwnStall();
    return longestOwnStall_;
}

qint64 StallProbe::LongestOwnStallEndedMs() {
    WorkOutOwnStall();
    return longestOwnStallEnded_;
}

void StallProbe::WorkOutOwnStall() {
    longestOwnStall_ = longestSmallStall_;
    longestOwnStallEnded_ = 0;
    for (const Gap& gap : gaps_) {
        qint64 own = Ms((gap.to - gap.from) - gap.queueWait - NotOwnWithin(gap.from, gap.to));
        if (own > longestOwnStall_) {
            longestOwnStall_ = own;
            longestOwnStallEnded_ = Ms(gap.to - start_);
        }
    }
}

void StallProbe::Tick() {
    qint64 now = ElapsedMs();
    longestGap_ = std::max(longestGap_, now - lastTick_);
    lastTick_ = now;
    ++ticks_;
}

// True while the user-interface thread sits in the event loop's own short wait: a poll whose
// time-out is at most the probe's interval (/proc/self/task/TID/syscall: number, then arguments).
bool StallProbe::LoopWaiting() const {
    long number = -1;
    unsigned long long fds = 0, count = 0, timeout = 0;
    if (std::sscanf(ReadProc(thread_, "syscall").c_str(), "%ld %llx %llx %llx", &number, &fds, &count, &timeout) != 4)
        return false;
    constexpr long kPoll = 7;
    auto ms = static_cast<long long>(static_cast<int>(timeout));
    return number == kPoll && ms >= 0 && ms <= kProbeMs;
}

// Sleeps a little, over and over. An overrun that the watcher did not spend waiting for a
// processor is time the machine stood still; a step that began and ended with the user-interface
// thread in the loop's own short wait is time the system owed the loop its wake-up.
void StallProbe::Watch(std::stop_token stop) {
    int self = static_cast<int>(::gettid());
    Instant last = std::chrono::steady_clock::now();
    long long lastWait = RunQueueWaitNs(self);
    bool lastWaiting = LoopWaiting();
    while (!stop.stop_requested()) {
        std::this_thread::sleep_for(kWatchSleep);
        Instant now = std::chrono::steady_clock::now();
        long long wait = RunQueueWaitNs(self);
        bool waiting = LoopWaiting();
        nanoseconds lost = (now - last) - kWatchSleep - nanoseconds(wait - lastWait);
        if (lastWaiting && waiting) lost = now - last;
        if (lost > kWatchLoss || (lastWaiting && waiting)) {
            std::lock_guard<std::mutex> lock(notOwnMutex_);
            notOwn_.push_back({last, now, lost});
            while (notOwn_.size() > 200000) notOwn_.pop_front();
        }
        last = now;
        lastWait = wait;
        lastWaiting = waiting;
    }
}

nanoseconds StallProbe::NotOwnWithin(Instant from, Instant to) {
    std::lock_guard<std::mutex> lock(notOwnMutex_);
    nanoseconds total{0};
    for (const NotOwn& stretch : notOwn_) {
        Instant a = std::max(from, stretch.from), b = std::min(to, stretch.to);
        if (a < b) total += std::min<nanoseconds>(b - a, stretch.lost);
    }
    return std::min(total, to - from);
}

}  // namespace plxtest
