// Three days of the program left running: the main window on a demo MARLO folder, ticked once a
// second on a manual clock, every race of each day armed (close warning and post time) as soon
// as the day is loaded, the pop-up closed by a click now and then. Counts the alarms given
// against those armed, and the resident memory and open descriptors at the start and the end.
// The last line: fired/expected, memory growth, descriptor growth.
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "app/main_window.h"
#include "app/module_wiring.h"
#include "board/alarm_minutes.h"
#include "board/day_change.h"
#include "board/notice_window.h"
#include "board/timetable.h"
#include "common/clock.h"
#include "common/message.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "data/data_module.h"

using namespace plx;
namespace fs = std::filesystem;

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long OpenDescriptors() {
    long count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// Counts every notice per day and text, and hands it on to the real pop-up.
class CountingNotices final : public NoticeBackend {
public:
    explicit CountingNotices(Tf_msg& popUp) : popUp_(popUp) { SetNoticeBackend(this); }
    ~CountingNotices() override { SetNoticeBackend(nullptr); }
    void Show(const std::string& text, NoticeCategory category) override {
        ++fired;
        if (!seen.insert(FormatDateTime(CurrentClock().Now(), "YYYYMMDD ") + text).second) ++repeated;
        popUp_.Show(text, category);
    }
    long fired = 0, repeated = 0;
    std::set<std::string> seen;

private:
    Tf_msg& popUp_;
};

// Arms both alarms of every race of the table whose moments are still to come; returns how many
// of them fall before `endMinute`, when the run stops.
long ArmEveryRace(const Settings& settings, std::int64_t nowMinute, std::int64_t endMinute) {
    long armed = 0;
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            RaceSlot& slot = TheTimetable().Slot(venue, race);
            if (slot.AlarmFlag == ' ') continue;
            std::optional<std::int64_t> post = PostTimeMinute(slot, settings),
                                        warn = CloseWarningMinute(slot, settings);
            if (post && *post > nowMinute) slot.AlarmFlag = '1', armed += *post <= endMinute;
            if (warn && *warn > nowMinute) slot.CloseWarnFlag = '1', armed += *warn <= endMinute;
        }
    return armed;
}

std::string BuildMarlo(const std::string& folder, const LocalDateTime& day) {
    std::string command =
        std::string(PLX_MARLO_DEMO) + " '" + folder + "' --date " + FormatDateTime(day, "YYYYMMDD") + " >/dev/null";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "marlo-demo failed\n");
    return folder + "/";
}

// The offscreen platform says at every notice that it cannot raise a window; nothing else is dropped.
QtMessageHandler qtMessages = nullptr;
void QuietRaise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QStringLiteral("does not support raise()"))) return;
    if (qtMessages) qtMessages(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qtMessages = qInstallMessageHandler(QuietRaise);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    char folderTemplate[] = "/tmp/plx-soak-XXXXXX";
    if (!mkdtemp(folderTemplate)) return 1;
    const std::string folder = std::string(folderTemplate) + "/";
    const LocalDateTime first{2006, 9, 24, 8, 0, 0};
    const std::string marloA = BuildMarlo(folder + "marloA", first);                   // the 24th and 25th
    const std::string marloB = BuildMarlo(folder + "marloB", {2006, 9, 26, 8, 0, 0});  // the 26th and 27th
    {
        FILE* ini = std::fopen((folder + "plx.INI").c_str(), "w");
        std::fprintf(ini, "[DIR]\nMARLO=%s\n[SETTING]\nALARM_MODE=2\nTIMER_F=1\nTIMER_MIN=5\nALARM_MIN=5\n",
                     marloA.c_str());
        std::fclose(ini);
        std::fclose(std::fopen((folder + "PLX_RSS.DAT").c_str(), "w"));  // no feeds: no network
    }

    ManualClock clock(first);
    SetClock(&clock);
    Tf_main window({folder, folder + "plx.INI", "/nonexistent/", ""});
    WireModules(window);
    window.hooks().tick.news = nullptr;
    if (!window.FormCreate()) return 1;
    window.tm_main.stop();  // the bench ticks by hand
    Tf_msg popUp;
    CountingNotices notices(popUp);

    const std::int64_t end = MinuteOf({2006, 9, 27, 8, 0, 0});
    long expected = ArmEveryRace(Program().settings, MinuteOf(clock.Now()), end);
    std::string day = TableDay(TheTimetable());
    const long memoryStart = ResidentKiB(), descriptorsStart = OpenDescriptors();
    long memorySecondDay = 0;  // after the first change of day, once every path has run once
    long ticks = 0;
    while (MinuteOf(clock.Now()) < end) {
        clock.Advance(1000);
        window.tm_mainTimer();
        ++ticks;
        if (clock.Now().second == 0 && clock.Now().minute % 3 == 0) popUp.p_msgClick();
        if (ticks % 20 == 0) QCoreApplication::processEvents();
        // MARLO downloads the 26th during the 25th.
        if (clock.Now().day == 25 && clock.Now().hour == 12 && clock.Now().minute == 0 && clock.Now().second == 0) {
            dm.sc_main.Close();
            dm.sc_main.SetParam("Database", marloB + "DB/MLDB.FDB");
            std::string error;
            if (!dm.sc_main.Open(&error)) std::fprintf(stderr, "reopen failed: %s\n", Cp932ToUtf8(error).c_str());
        }
        std::string now = TableDay(TheTimetable());
        if (now != day) {
            const long memory = ResidentKiB();
            if (memorySecondDay == 0) memorySecondDay = memory;
            std::printf("%s: day %s loaded; %ld alarms given so far, resident %ld KiB, %ld descriptors\n",
                        FormatDateTime(clock.Now(), "YYYY/MM/DD HH:NN:SS").c_str(), now.c_str(), notices.fired, memory,
                        OpenDescriptors());
            std::fflush(stdout);
            day = now;
            expected += ArmEveryRace(Program().settings, MinuteOf(clock.Now()), end);
        }
    }
    for (int i = 0; i < 50; ++i) {
        popUp.p_msgClick();
        QCoreApplication::processEvents();
    }
    const long memoryEnd = ResidentKiB(), descriptorsEnd = OpenDescriptors();
    std::printf("ticks %ld, notices repeated %ld, still waiting %zu\n", ticks, notices.repeated, popUp.WaitingCount());
    std::printf("memory %ld KiB -> %ld KiB, descriptors %ld -> %ld\n", memoryStart, memoryEnd, descriptorsStart,
                descriptorsEnd);
    std::printf("memory growth from the first day change to the end: %ld KiB\n", memoryEnd - memorySecondDay);
    std::printf("fired/expected %ld/%ld, memory growth %ld KiB, descriptor growth %ld\n", notices.fired, expected,
                memoryEnd - memoryStart, descriptorsEnd - descriptorsStart);
    dm.sc_main.Close();
    SetClock(nullptr);
    fs::remove_all(folderTemplate);
    const bool good = notices.fired == expected && notices.repeated == 0 && memoryEnd - memoryStart < 1024 &&
                      descriptorsEnd <= descriptorsStart;
    return good ? 0 : 1;
}
