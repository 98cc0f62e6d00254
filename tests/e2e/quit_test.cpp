// Quitting while a news read or a mail is in flight, with the program as its own process: SIGTERM
// ends it within a second (transfers aborted, no waiting for the stalled server), with its files
// whole: the settings written, the timetable at its full size, the old news page untouched, and
// no temporary file left behind.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/e2e/program_process.h"
#include "tests/support/http_server.h"
#include "tests/support/smtp_server.h"

using namespace plxtest;
namespace fs = std::filesystem;

namespace {

// Starts the program with `settings` after [DIR], lets its first tick start its background work,
// sends SIGTERM and gives the milliseconds until it had ended (exit status in `status`).
long long QuitWhileInFlight(ProgramFolder& program, const std::string& marlo, const std::string& settings,
                            int* status) {
    WriteFile(program.settingsPath(), "[DIR]\nMARLO=" + marlo + "\n[SETTING]\n" + settings);
    pid_t pid = program.Start();
    if (!WaitForFile(program.File("PLX_POSTTM.DAT"), 20000)) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // the first tick has started the work
    if (!StillRunning(pid)) return -2;
    auto sent = std::chrono::steady_clock::now();
    ::kill(pid, SIGTERM);
    *status = WaitForExit(pid, 10000);
    long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent).count();
    std::printf("ended %lld ms after SIGTERM\n", ms);
    return ms;
}

void ExpectWholeFiles(const ProgramFolder& program) {
    std::string settings = ReadFile(program.settingsPath());
    EXPECT_TRUE(Holds(settings, "[WINDOW]")) << settings;
    EXPECT_TRUE(Holds(settings, "NEWS_LAST_RLSDTTM=")) << settings;
    EXPECT_TRUE(Holds(settings, "SET_RCOURSECD3=")) << settings;
    EXPECT_EQ(fs::file_size(program.File("PLX_POSTTM.DAT")), 37152u);
    for (const auto& entry : fs::directory_iterator(program.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

}  // namespace

TEST(Quit, DuringANewsReadInFlightEndsWithinASecondWithWholeFiles) {
    TempDir runtime, data, served;
    HttpServer http(served.path());
    ProgramFolder program(runtime.path());
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(program.File("PLX_RSS.DAT"), http.Url("hang") + "\r\n");
    WriteFile(program.File("PLX_NEWS.html"), "<html>the page of an earlier read</html>\n");
    int status = -1;
    long long ms = QuitWhileInFlight(program, marlo, "NEWS_LAST_RLSDTTM=20000101000000\n", &status);
    ASSERT_GE(ms, 0) << program.Output();
    EXPECT_LT(ms, 1000) << program.Output();
    EXPECT_EQ(status, 0) << program.Output();
    ExpectWholeFiles(program);
    EXPECT_EQ(ReadFile(program.File("PLX_NEWS.html")), "<html>the page of an earlier read</html>\n");
    EXPECT_TRUE(Holds(ReadFile(program.settingsPath()), "NEWS_LAST_RLSDTTM=20000101000000"));
}

TEST(Quit, DuringAMailInFlightEndsWithinASecondWithWholeFiles) {
    TempDir runtime, data;
    SmtpServer silent(SmtpServer::Mode::Silent);
    ProgramFolder program(runtime.path());
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    int status = -1;
    long long ms = QuitWhileInFlight(
        program, marlo, "CHK_F=1\nCHK_INTERVAL=60\nSMTP_HOST=" + silent.HostText() + "\nMAIL_ADRS1=a@example.net\n",
        &status);
    ASSERT_GE(ms, 0) << program.Output();
    EXPECT_LT(ms, 1000) << program.Output();
    EXPECT_EQ(status, 0) << program.Output();
    ExpectWholeFiles(program);
    EXPECT_FALSE(Holds(program.Output(), "メール送信に失敗しました")) << "an aborted mail tells nothing";
}
