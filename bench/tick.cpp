// Cost of the alarm step of one main-timer tick: the pass over a full timetable with every race
// armed, and the save of the timetable file that ends it. Prints medians in microseconds, each
// against a baseline measured in the same run (the same bytes written to a new file);
// the last line is the median per tick.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "board/alarm_engine.h"
#include "board/alarm_minutes.h"
#include "board/timetable_file.h"
#include "common/message.h"
#include "common/notice.h"
#include "common/program_state.h"

using namespace plx;

namespace {

double MedianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

void ArmWholeDay(Timetable& table) {
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            RaceSlot& slot = table.Slot(venue, race);
            int minutes = 10 * 60 + 30 + (race - 1) * 50 + venue;
            char text[16];
            std::snprintf(text, sizeof text, "%02d", venue);
            PutField(slot.RCOURSECD, text);
            std::snprintf(text, sizeof text, "%02d", race);
            PutField(slot.RNO, text);
            PutField(slot.OPDT, "20060924");
            std::snprintf(text, sizeof text, "%02d%02d", minutes / 60, minutes % 60);
            PutField(slot.CLOSETM, text);
            slot.AlarmFlag = slot.CloseWarnFlag = slot.InfoNoticeFlag = slot.RefundNoticeFlag = '1';
        }
}

}  // namespace

int main() {
    char folderTemplate[] = "/tmp/plx-bench-tick-XXXXXX";
    if (!mkdtemp(folderTemplate)) return 1;
    std::string folder = std::string(folderTemplate) + "/";

    Timetable table;
    ArmWholeDay(table);
    Settings settings;
    settings.ALARM_MODE = 2;
    settings.TIMER_F = 1;
    settings.ALARM_SND_F = settings.TIMER_SND_F = 1;
    settings.ALARM_INFO_F = settings.ALARM_RFD_F = 1;
    int sounds = 0, failedSaves = 0;
    AlarmOutputs outputs;
    outputs.playWave = [&](const std::string&) { ++sounds; };
    outputs.save = [&] {
        int result = SaveTimetable(table, folder);
        if (result != 0) ++failedSaves;
        return result;
    };
    // 03:00 is no race's time: every slot stays armed and is compared on every tick.
    const std::int64_t now = MinuteOf({2006, 9, 24, 3, 0, 0});
    const int runs = 2000;

    // Baseline: the same bytes written once to a new file that is then removed. (Truncating
    // and rewriting one file would make some file systems flush it at close, a noisy baseline.)
    std::string plainPath = folder + "plain.dat";
    double baseline = MedianMicroseconds(runs, [&] {
        int fd = ::open(plainPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            ssize_t written = ::write(fd, table.bytes(), Timetable::kBytes);
            (void)written;
            ::close(fd);
        }
        ::unlink(plainPath.c_str());
    });
    AlarmOutputs passOnly{outputs.playWave, nullptr};
    double pass = MedianMicroseconds(runs, [&] { AlarmPass(table, settings, now - 1, now, passOnly); });
    double save = MedianMicroseconds(runs, [&] { outputs.save(); });
    double tick = MedianMicroseconds(runs, [&] { AlarmPass(table, settings, now - 1, now, outputs); });

    std::printf("baseline: %zu bytes to a new file:  %.1f us\n", Timetable::kBytes, baseline);
    std::printf("alarm pass over 288 armed slots:  %.1f us (%.2fx baseline)\n", pass, pass / baseline);
    std::printf("timetable save (temp + rename):   %.1f us (%.2fx baseline)\n", save, save / baseline);
    std::printf("sounds %d, failed saves %d (both must be 0)\n", sounds, failedSaves);
    std::printf("median us per tick (pass + save): %.1f (%.2fx baseline)\n", tick, tick / baseline);

    std::remove((folder + kTimetableFileName).c_str());
    ::rmdir(folderTemplate);
    return sounds == 0 && failedSaves == 0 ? 0 : 1;
}
