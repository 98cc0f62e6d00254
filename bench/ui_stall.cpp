// How freely the program's event loop and main timer run while its news read and its mail meet
// stalled servers on 127.0.0.1. The real main window, wired as in the program, ticks once a
// second on a demo database; each case starts one read or one mail against one kind of stalled
// server and watches for a while (20 s by default, "--seconds N" to change). Per case, and as the
// last line the worst: the longest stall of the event loop and the longest gap between ticks.
// Targets: under 100 ms and under 1500 ms.
//
// The program folder (and the demo database) lie on a RAM disk where there is one: the tick
// rewrites the timetable file every second, and on a busy disk a rename alone can wait for the
// device longer than the network work measured here ("--disk" keeps them in the temporary folder).
//
// The stall is measured with a 5 ms probe timer, less the time the user-interface thread waited
// for a processor (the kernel's run-queue wait): what the program itself held the loop for. The
// wall-clock figure is given beside it. The name lookup that hangs is the test shim
// plx_slow_dns, which this program preloads into itself by starting itself again.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/module_wiring.h"
#include "common/clock.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "mail/mail_worker.h"
#include "news/news_step.h"
#include "tests/support/http_server.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/smtp_server.h"
#include "tests/support/stall_probe.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::SmtpServer;

namespace {

// Starts this program again with the slow-lookup shim preloaded, unless it already is.
void PreloadSlowLookup(char** argv) {
    const char* preloaded = std::getenv("LD_PRELOAD");
    if (preloaded && std::strstr(preloaded, PLXBENCH_SLOW_DNS)) return;
    setenv("LD_PRELOAD", PLXBENCH_SLOW_DNS, 1);
    execv("/proc/self/exe", argv);
    std::perror("cannot start again with the slow-lookup shim");
}

void RunEventsFor(qint64 ms, const std::function<bool()>& done = {}) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !(done && done())) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

enum class Work { None, Read, Mail };

struct Case {
    std::string name;
    Work work = Work::None;
    std::function<void()> start;  // sets up and arranges the work for the next tick
};

struct Result {
    std::string name;
    qint64 ownStall = 0, ownStallAt = 0, wallStall = 0, tickGap = 0;
    int ticks = 0;
    std::string outcome;
};

const char* kGoodFeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\">\n"
    "<channel><title>good</title><link>http://127.0.0.1/</link></channel>\n"
    "<item><title>item</title><link>http://127.0.0.1/1</link></item>\n"
    "</rdf:RDF>\n";

class Bench {
public:
    Bench() : http(served.path()) {
        plxtest::WriteFile(served.File("good.rdf"), kGoodFeed);
        std::string marlo = folder.File("marlo/");
        std::string command = std::string(PLXBENCH_MARLO_DEMO) + " '" + marlo + "' >/dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("marlo-demo failed");
        plxtest::WriteFile(folder.File("plx.INI"), "[DIR]\nMARLO=" + marlo +
                                                       "\n[SETTING]\nALARM_MODE=2\nNEWS_ALARM_MODE=2\n"
                                                       "CHK_F=1\nCHK_INTERVAL=60\nMAIL_ADRS1=a@example.net\n");
        plxtest::WriteFile(folder.File("PLX_RSS.DAT"), "");
        window = std::make_unique<Tf_main>(
            ProgramPaths{folder.path(), folder.File("plx.INI"), "/nonexistent/", folder.path()});
        WireModules(*window);
        if (!window->FormCreate()) throw std::runtime_error("start-up failed");
        window->newsStep->finished = [this](bool) {
            if (readOutcome.empty()) readOutcome = "page written after " + Seconds();
        };
        window->mailWorker->finished = [this](int result) {
            if (mailOutcome.empty())
                mailOutcome = (result == 0 ? "mail sent after " : "mail failed after ") + Seconds();
        };
        probe = std::make_unique<plxtest::StallProbe>(window->tm_main);
        RunEventsFor(2500);  // start-up's first ticks, the empty list's first read
    }

    Result Run(const Case& c, qint64 seconds) {
        window->newsStep->Abort();
        window->mailWorker->Abort();
        readOutcome.clear();
        mailOutcome.clear();
        Program().settings.SMTP_HOST.clear();
        Program().lastCheckTick = TickCount();
        plxtest::WriteFile(folder.File("PLX_RSS.DAT"), "");
        c.start();
        caseClock.start();
        probe->Restart();
        RunEventsFor(seconds * 1000);
        Result r{c.name,
                 probe->LongestOwnStallMs(),
                 probe->LongestOwnStallEndedMs(),
                 probe->LongestStallMs(),
                 probe->LongestTickGapMs(),
                 probe->Ticks(),
                 "-"};
        if (c.work != Work::None) {
            const std::string& outcome = c.work == Work::Read ? readOutcome : mailOutcome;
            r.outcome = outcome.empty() ? "still in flight" : outcome;
        }
        if (c.work == Work::Mail && boxes.boxes.PostedBox() && boxes.boxes.PostedBox()->isVisible())
            r.outcome += ", its box left open";
        return r;
    }

    // The next tick reads the feed list `address` alone.
    void ReadFeedNext(const std::string& address) {
        plxtest::WriteFile(folder.File("PLX_RSS.DAT"), address + "\r\n");
        window->tickCounter = -1;
    }
    // The next tick checks the racers and mails the report to `host`.
    void MailNext(const std::string& host) {
        Program().settings.SMTP_HOST = host;
        Program().lastCheckTick = TickCount() - 61 * 60000;
    }

    std::string Seconds() const {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f s", caseClock.elapsed() / 1000.0);
        return text;
    }

    plxtest::TempDir folder, served;
    plxtest::HttpServer http;
    plxtest::RecordingBoxes boxes;
    std::unique_ptr<Tf_main> window;
    std::unique_ptr<plxtest::StallProbe> probe;
    QElapsedTimer caseClock;
    std::string readOutcome, mailOutcome;
};

}  // namespace

int main(int argc, char** argv) {
    PreloadSlowLookup(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setenv("NO_PROXY", "127.0.0.1", 1);
    qint64 seconds = 20;
    bool onDisk = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--seconds" && i + 1 < argc) seconds = std::max(1, std::atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--disk") onDisk = true;
    }
    if (!onDisk && std::filesystem::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    SmtpServer silent(SmtpServer::Mode::Silent), afterData(SmtpServer::Mode::StallAfterData),
        rejecting(SmtpServer::Mode::RejectRecipient), dropping(SmtpServer::Mode::DropInData), store;
    Bench bench;
    const std::string lookupPort = std::to_string(bench.http.port());
    std::vector<Case> cases = {
        {"baseline: no network work", Work::None, [] {}},
        {"feed: server never answers", Work::Read, [&] { bench.ReadFeedNext(bench.http.Url("hang")); }},
        {"feed: a byte a second", Work::Read, [&] { bench.ReadFeedNext(bench.http.Url("trickle")); }},
        {"feed: name lookup hangs 20 s", Work::Read,
         [&] { bench.ReadFeedNext("http://feed.stall.test:" + lookupPort + "/good.rdf"); }},
        {"mail: server never answers", Work::Mail, [&] { bench.MailNext(silent.HostText()); }},
        {"mail: stalls after DATA", Work::Mail, [&] { bench.MailNext(afterData.HostText()); }},
        {"mail: 550 to RCPT", Work::Mail, [&] { bench.MailNext(rejecting.HostText()); }},
        {"mail: drops the line in DATA", Work::Mail, [&] { bench.MailNext(dropping.HostText()); }},
        {"mail: name lookup hangs 20 s", Work::Mail,
         [&] { bench.MailNext("smtp.stall.test:" + std::to_string(store.port())); }},
    };

    std::printf(
        "ui_stall: the program's tick against stalled servers on 127.0.0.1, %lld s per case, program folder %s\n",
        static_cast<long long>(seconds), bench.folder.path().c_str());
    std::printf(
        "stall: longest time the event loop did not run, less the thread's wait for a processor and the "
        "machine's own standstills (wall clock in brackets), and when it ended\n");
    std::printf("%-30s %22s %12s %6s  %s\n", "case", "stall ms (wall) at s", "tick gap ms", "ticks", "outcome");
    Result worst;
    for (const Case& c : cases) {
        Result r = bench.Run(c, seconds);
        std::printf("%-30s %8lld (%5lld) %5.1f %12lld %6d  %s\n", r.name.c_str(), static_cast<long long>(r.ownStall),
                    static_cast<long long>(r.wallStall), r.ownStallAt / 1000.0, static_cast<long long>(r.tickGap),
                    r.ticks, r.outcome.c_str());
        std::fflush(stdout);
        worst.ownStall = std::max(worst.ownStall, r.ownStall);
        worst.wallStall = std::max(worst.wallStall, r.wallStall);
        worst.tickGap = std::max(worst.tickGap, r.tickGap);
    }
    std::printf(
        "worst: longest event-loop stall %lld ms (wall %lld ms; target < 100 ms), longest gap between ticks "
        "%lld ms (target < 1500 ms)\n",
        static_cast<long long>(worst.ownStall), static_cast<long long>(worst.wallStall),
        static_cast<long long>(worst.tickGap));
    bench.window->newsStep->Abort();
    bench.window->mailWorker->Abort();
    dm.sc_main.Close();
    return worst.ownStall < 100 && worst.tickGap < 1500 ? 0 : 1;
}
