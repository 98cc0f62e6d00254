// The one-second tick is never held up, against real stalled servers on 127.0.0.1: feed servers
// that never answer or send a byte a second, a name lookup that hangs for 20 seconds (this
// process has the slow-lookup shim preloaded), and SMTP servers that never answer, stall after
// DATA, answer 550 to RCPT (its box left open for the rest of the run, over 60 seconds) or drop
// the connection in the middle of DATA. All stalls are watched in one run, overlapping, so the
// suite stays short: the ticks keep coming, the event loop never stalls, every outcome is the
// specified one, and an alarm due during each stall fires in its minute. A settings dialog held
// open during a read is the second case.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/module_wiring.h"
#include "board/timetable.h"
#include "common/clock.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "mail/mail_worker.h"
#include "news/news_step.h"
#include "tests/app/app_fixture.h"
#include "tests/support/http_server.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/smtp_server.h"
#include "tests/support/stall_probe.h"

using namespace plx;
using plxtest::AppFixture;
using plxtest::SmtpServer;

namespace {

// A clock four times as fast as real time from 10:00:50 today: a simulated minute lasts 15 real
// seconds, so an alarm minute begins during every stall of the run. The tick count is real time.
class FastClock final : public Clock {
public:
    explicit FastClock(LocalDateTime start) : start_(start) { real_.start(); }
    LocalDateTime Now() const override {
        long long seconds = start_.hour * 3600LL + start_.minute * 60 + start_.second + real_.elapsed() * 4 / 1000;
        LocalDateTime t = start_;
        t.hour = static_cast<int>(seconds / 3600 % 24);
        t.minute = static_cast<int>(seconds / 60 % 60);
        t.second = static_cast<int>(seconds % 60);
        return t;
    }
    std::int64_t TickCount() const override { return 100000000 + real_.elapsed(); }

private:
    LocalDateTime start_;
    QElapsedTimer real_;
};

// Every notice with the clock text "HHNN" at the moment it was shown.
class TimedNotices final : public NoticeBackend {
public:
    TimedNotices() { SetNoticeBackend(this); }
    ~TimedNotices() override { SetNoticeBackend(nullptr); }
    void Show(const std::string& text, NoticeCategory) override { shown.push_back({Cp932ToUtf8(text), ClockHhnn()}); }
    std::vector<std::pair<std::string, std::string>> shown;  // text, clock
};

const char* kGoodFeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
    "<channel><title>good</title><link>http://127.0.0.1/</link></channel>\n"
    "<item><title>fresh</title><link>http://127.0.0.1/1</link><dc:date>2030-01-01T00:00:00+09:00</dc:date></item>\n"
    "</rdf:RDF>\n";

std::string FailureBlock(const std::string& address) {
    return "  <tr>\n" + Utf8ToCp932("    <td>RSSの読み込みに失敗しました。[") + address + "]</td>\n  </tr>\n";
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

struct Ended {
    qint64 atMs = 0;
    int result = 0;
};

// Puts the temporary folders made after it on a RAM disk where there is one. The tick rewrites the
// timetable file every second, and on a disk kept busy by the rest of the suite a rename can wait
// for the device for more than a tenth of a second: a stall of the disk, not of the network work
// these tests are about.
struct OnRamDisk {
    OnRamDisk() {
        if (std::filesystem::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
    }
};

// A demo MARLO, a program folder with its settings and lists, the servers, and the window started
// on them, watched by the probe from its first tick.
class StallRun {
public:
    explicit StallRun(const std::string& extraSettings = "") {
        std::string marlo = f.BuildMarlo();
        LocalDateTime today = SystemClock().Now();
        clock = std::make_unique<FastClock>(LocalDateTime{today.year, today.month, today.day, 10, 0, 50});
        SetClock(clock.get());
        plxtest::WriteFile(served.File("good.rdf"), kGoodFeed);
        f.WriteSettings("[DIR]\nMARLO=" + marlo +
                        "\n[SETTING]\nALARM_MODE=2\nALARM_MIN=5\nNEWS_ALARM_MODE=2\n"
                        "NEWS_LAST_RLSDTTM=20000101000000\n" +
                        extraSettings);
        window = f.MakeWindow();
        WireModules(*window);
        if (!window->FormCreate()) throw std::runtime_error("start-up failed");
        probe = std::make_unique<plxtest::StallProbe>(window->tm_main);
        run.start();
        boxes.RestartClock();
        window->newsStep->finished = [this](bool newer) { reads.push_back({run.elapsed(), newer ? 1 : 0}); };
        window->mailWorker->finished = [this](int result) { mails.push_back({run.elapsed(), result}); };
    }
    ~StallRun() { SetClock(&f.clock); }

    // Arms post-time alarms at venue 24 for the clock times "HHNN" given.
    void ArmPostTimes(const std::vector<std::string>& times) {
        for (size_t i = 0; i < times.size(); ++i) {
            RaceSlot& slot = TheTimetable().Slot(24, static_cast<int>(i) + 1);
            PutField(slot.OPDT, TodayYmd());
            PutField(slot.RCOURSECD, "24");
            PutField(slot.RNO, ZeroPadded(static_cast<int>(i) + 1));
            int minutes = std::stoi(times[i].substr(0, 2)) * 60 + std::stoi(times[i].substr(2, 2)) - 5;
            PutField(slot.CLOSETM, ZeroPadded(minutes / 60) + ZeroPadded(minutes % 60));
            slot.AlarmFlag = '1';
        }
    }
    static std::string ZeroPadded(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

    std::string Page() const { return plxtest::ReadFile(f.dir.File("PLX_NEWS.html")); }
    // The feed list; written before the first tick, which comes a second after start-up.
    void WriteFeeds(const std::vector<std::string>& addresses) {
        std::string list;
        for (const std::string& address : addresses) list += address + "\r\n";
        plxtest::WriteFile(f.dir.File("PLX_RSS.DAT"), list);
    }
    // A feed address whose host name takes 20 seconds to look up (the shim).
    std::string LookupStalled(const std::string& path) const {
        return "http://feed.stall.test:" + std::to_string(http.port()) + "/" + path;
    }

    OnRamDisk ramDisk;
    AppFixture f;
    plxtest::RecordingBoxes boxes;  // after the fixture's recorder: this one is in force
    TimedNotices notices;
    plxtest::TempDir served;
    plxtest::HttpServer http{served.path()};
    std::unique_ptr<FastClock> clock;
    std::unique_ptr<Tf_main> window;
    std::unique_ptr<plxtest::StallProbe> probe;
    QElapsedTimer run;
    std::vector<Ended> reads;
    std::vector<Ended> mails;
};

}  // namespace

TEST(Stall, NoStalledServerEverHoldsTheTickAndEveryOutcomeIsTheSpecifiedOne) {
    SmtpServer rejecting(SmtpServer::Mode::RejectRecipient);
    SmtpServer silent(SmtpServer::Mode::Silent);
    SmtpServer stallingAfterData(SmtpServer::Mode::StallAfterData);
    SmtpServer droppingInData(SmtpServer::Mode::DropInData);
    SmtpServer store;
    // The mails go one after the other, each sent by the racer check of the tick after the one
    // before has ended; the first goes with the first tick.
    const std::vector<std::string> smtpHosts = {rejecting.HostText(), silent.HostText(), stallingAfterData.HostText(),
                                                droppingInData.HostText(),
                                                "smtp.stall.test:" + std::to_string(store.port())};
    StallRun run("CHK_F=1\nCHK_INTERVAL=60\nMAIL_ADRS1=a@example.net\nSMTP_HOST=" + smtpHosts[0] + "\n");
    const std::string hang = run.http.Url("hang");
    const std::string trickle = run.http.Url("trickle");
    const std::string lookup = run.LookupStalled("good.rdf");
    const std::string good = run.http.Url("good.rdf");
    run.WriteFeeds({hang, trickle, lookup, good});
    run.ArmPostTimes({"1001", "1002", "1003", "1004"});

    size_t mailsStarted = 1;
    run.window->mailWorker->finished = [&](int result) {
        run.mails.push_back({run.run.elapsed(), result});
        if (mailsStarted < smtpHosts.size()) {
            Program().settings.SMTP_HOST = smtpHosts[mailsStarted++];
            Program().lastCheckTick = TickCount() - 61 * 60000;  // the next tick checks and mails again
        }
    };
    std::string firstPage;
    run.window->newsStep->finished = [&](bool newer) {
        run.reads.push_back({run.run.elapsed(), newer ? 1 : 0});
        if (run.reads.size() == 1) {
            firstPage = run.Page();
            run.WriteFeeds({good});  // the next read, a minute later, is a quick one
        }
    };

    // Until every mail has ended and the first box (the 550 one) has been open for a minute.
    plxtest::RunEventsUntil(
        [&] {
            return run.mails.size() == smtpHosts.size() && !run.boxes.shown.empty() &&
                   run.run.elapsed() >= std::max<qint64>(62000, run.boxes.shown.front().atMs + 60500);
        },
        80000);
    const qint64 observed = run.probe->ElapsedMs();
    const qint64 longestStall = run.probe->LongestOwnStallMs();
    const qint64 longestGap = run.probe->LongestTickGapMs();
    const int ticks = run.probe->Ticks();

    // The timer and the loop, over the whole run, every stall inside it.
    EXPECT_GE(observed, 62000);
    EXPECT_LT(longestGap, 1500) << "ticks " << ticks;
    EXPECT_LT(longestStall, 100) << "ending at " << run.probe->LongestOwnStallEndedMs() << " ms; on the wall "
                                 << run.probe->LongestStallMs() << " ms, ending at " << run.probe->LongestStallEndedMs()
                                 << " ms";
    std::printf("longest stall %lld ms (on the wall %lld ms), longest gap between ticks %lld ms, %d ticks\n",
                static_cast<long long>(longestStall), static_cast<long long>(run.probe->LongestStallMs()),
                static_cast<long long>(longestGap), ticks);
    EXPECT_GE(ticks, 55);
    for (const auto& m : run.boxes.shown) std::printf("%6lld ms  %s\n", static_cast<long long>(m.atMs), m.utf8.c_str());
    for (const auto& m : run.mails) std::printf("mail ended %6lld ms\n", static_cast<long long>(m.atMs));
    for (const auto& m : run.reads) std::printf("read ended %6lld ms\n", static_cast<long long>(m.atMs));

    // The news: the read ends at the 15-second limit, the page holds a failure block for each
    // stalled feed and the good feed after them, the mark rises, the notice comes once.
    ASSERT_GE(run.reads.size(), 2u);
    EXPECT_GE(run.reads[0].atMs, 14000);
    EXPECT_LT(run.reads[0].atMs, 18000);
    EXPECT_EQ(run.reads[0].result, 1);
    EXPECT_EQ(firstPage.rfind("<html>\n", 0), 0u);
    EXPECT_NE(firstPage.find(FailureBlock(hang) + FailureBlock(trickle) + FailureBlock(lookup)), std::string::npos)
        << firstPage;
    EXPECT_NE(firstPage.find(">good</a>"), std::string::npos);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20300101000000");
    int newsNotices = 0;
    for (const auto& [text, at] : run.notices.shown) newsNotices += text == "新しいニュースが発表されました！";
    EXPECT_EQ(newsNotices, 1);

    // The mails: each fails, within its limit, with its box text; the 550 box is still open.
    ASSERT_EQ(run.mails.size(), smtpHosts.size());
    std::vector<std::string> mailTexts;
    for (const auto& m : run.boxes.shown)
        if (StartsWith(m.utf8, "メール送信に失敗しました。[")) {
            EXPECT_TRUE(m.posted) << m.utf8;
            EXPECT_EQ(m.utf8.back(), ']');
            mailTexts.push_back(m.utf8);
        }
    ASSERT_EQ(mailTexts.size(), smtpHosts.size());
    EXPECT_NE(mailTexts[0].find("550"), std::string::npos) << mailTexts[0];
    qint64 started = 0;
    for (size_t i = 0; i < run.mails.size(); ++i) {
        EXPECT_EQ(run.mails[i].result, -1);
        qint64 took = run.mails[i].atMs - started;
        if (i == 1 || i == 2 || i == 4)
            EXPECT_LT(took, 17500) << "mail " << i << " overstayed its 15 s";  // silent, after DATA, lookup
        else
            EXPECT_LT(took, 3000) << "mail " << i;
        started = run.mails[i].atMs;
    }
    ASSERT_NE(run.boxes.boxes.PostedBox(), nullptr);
    EXPECT_TRUE(run.boxes.boxes.PostedBox()->isVisible());
    EXPECT_NE(run.boxes.boxes.PostedBox()->text().toStdString().find("550"), std::string::npos);
    EXPECT_GE(observed - run.boxes.shown.front().atMs, 60000) << "the 550 box stayed open for a minute of ticks";
    EXPECT_TRUE(store.Received().empty());

    // The alarms, each in its own minute, one during each stall.
    std::vector<std::pair<std::string, std::string>> alarms;
    for (const auto& notice : run.notices.shown)
        if (notice.first.find("レースの発走時刻です！") != std::string::npos) alarms.push_back(notice);
    EXPECT_EQ(alarms, (std::vector<std::pair<std::string, std::string>>{{"大村 01 レースの発走時刻です！", "1001"},
                                                                        {"大村 02 レースの発走時刻です！", "1002"},
                                                                        {"大村 03 レースの発走時刻です！", "1003"},
                                                                        {"大村 04 レースの発走時刻です！", "1004"}}));
}

TEST(Stall, ASettingsDialogHeldOpenDuringAReadStopsNeitherTheTicksNorThePage) {
    StallRun run;
    const std::string slow = run.http.Url("slow/3/good.rdf");  // answers after three seconds
    run.WriteFeeds({slow});
    ModuleWindows windows(*run.window);  // the dialogs, made as the program makes them
    qint64 opened = -1, closed = -1;
    int ticksWhileOpen = 0;
    QTimer::singleShot(1500, [&] {
        opened = run.run.elapsed();
        int ticksBefore = run.probe->Ticks();
        // Building and first showing the dialog is the user's own short wait; the open dialog is
        // what is judged.
        QTimer::singleShot(500, [&] { run.probe->ForgetStalls(); });
        QTimer::singleShot(20000, Qt::PreciseTimer, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        });
        run.window->mi_cfg->trigger();  // modal: returns once the dialog has been closed
        closed = run.run.elapsed();
        ticksWhileOpen = run.probe->Ticks() - ticksBefore;
    });
    plxtest::RunEventsUntil([&] { return closed >= 0; }, 30000);

    ASSERT_GE(opened, 0);
    EXPECT_GE(closed - opened, 19900);
    EXPECT_GE(ticksWhileOpen, 19) << "the main timer kept running while the dialog was open";
    EXPECT_LT(run.probe->LongestTickGapMs(), 1500);
    EXPECT_LT(run.probe->LongestOwnStallMs(), 100)
        << "on the wall " << run.probe->LongestStallMs() << " ms, ending at " << run.probe->LongestStallEndedMs()
        << " ms; dialog opened at " << opened;
    ASSERT_EQ(run.reads.size(), 1u);
    EXPECT_GT(run.reads[0].atMs, opened);
    EXPECT_LT(run.reads[0].atMs, closed) << "the page arrived while the dialog was open";
    EXPECT_LT(run.reads[0].atMs, 6000);
    EXPECT_EQ(run.reads[0].result, 1);
    std::string page = run.Page();
    EXPECT_NE(page.find(">good</a>"), std::string::npos) << page;
    EXPECT_EQ(page.find(Utf8ToCp932("RSSの読み込みに失敗しました。")), std::string::npos) << "a 3 s feed is no failure";
}
