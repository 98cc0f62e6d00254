// The program as its own process: the one-shot run, the single instance, the end on SIGTERM,
// a start-up that cannot find the database, and the installed folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/e2e/program_process.h"

using namespace plxtest;
namespace fs = std::filesystem;

TEST(Program, AutoQuitDoesOneTickAndExitsZero) {
    TempDir runtime, data;
    ProgramFolder program(runtime.path());
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(program.settingsPath(), "[DIR]\nMARLO=" + marlo + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForExit(program.Start(), 20000), 0) << program.Output();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(10));
    std::string settings = ReadFile(program.settingsPath());
    EXPECT_TRUE(Holds(settings, "LEFT=0")) << settings;
    EXPECT_TRUE(Holds(settings, "SET_RCOURSECD1=01")) << settings;
    EXPECT_TRUE(Holds(settings, "AUTO_QUIT_F=1")) << settings;
    EXPECT_EQ(fs::file_size(program.File("PLX_POSTTM.DAT")), 37152u);
    EXPECT_TRUE(fs::exists(program.File("PLX_NEWS.html")));  // the news step of the one tick ran
}

TEST(Program, SecondCopyExits255AndTheFirstEndsOnSigtermSavingItsSettings) {
    TempDir runtime, data;
    ProgramFolder first(runtime.path());
    ProgramFolder second(runtime.path(), "pilonix-second");  // another folder, another name
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(first.settingsPath(), "[DIR]\nMARLO=" + marlo + "\n");

    pid_t running = first.Start();
    ASSERT_TRUE(WaitForFile(first.File("PLX_POSTTM.DAT"), 20000)) << first.Output();
    EXPECT_EQ(WaitForExit(second.Start(), 20000), 255);
    EXPECT_TRUE(Holds(second.Output(), "Pilonixは既に起動されています。")) << second.Output();
    EXPECT_FALSE(fs::exists(second.settingsPath()));
    EXPECT_TRUE(StillRunning(running));

    ::kill(running, SIGTERM);
    EXPECT_EQ(WaitForExit(running, 10000), 0) << first.Output();
    std::string settings = ReadFile(first.settingsPath());
    EXPECT_TRUE(Holds(settings, "[WINDOW]")) << settings;
    EXPECT_TRUE(Holds(settings, "TOP=0")) << settings;
    EXPECT_TRUE(Holds(settings, "NEWS_LAST_RLSDTTM=")) << settings;
    EXPECT_TRUE(Holds(settings, "SET_RCOURSECD3=03")) << settings;
}

TEST(Program, WithoutMarloItAsksEndsWithStatusOneAndWritesNothing) {
    TempDir runtime;
    ProgramFolder program(runtime.path());
    // No settings file, nothing in the default folder: both questions take their default, Cancel.
    int status = WaitForExit(program.Start(), 20000);
    if (fs::exists("/opt/orvent/MARLO/DB/MLDB.FDB")) GTEST_SKIP() << "a MARLO is installed on this machine";
    EXPECT_EQ(status, 1) << program.Output();
    EXPECT_TRUE(Holds(program.Output(), "MARLOはインストールされていますか？")) << program.Output();
    EXPECT_TRUE(Holds(program.Output(), "紹介Webページをご覧になりますか？")) << program.Output();
    EXPECT_FALSE(fs::exists(program.settingsPath()));
}

TEST(Program, InstalledFolderRunsOnItsOwn) {
    TempDir runtime, data, prefix;
    std::string command =
        std::string("cmake --install '") + PLXTEST_BUILD_DIR + "' --prefix '" + prefix.path() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* file : {"plx", "libbasaltdrv.so", "Snd/mw4.wav", "Snd/mw3.wav", "plx.css"})
        EXPECT_TRUE(fs::exists(prefix.File(file))) << file;

    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(prefix.File("plx.INI"), "[DIR]\nMARLO=" + marlo + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    WriteFile(prefix.File("PLX_RSS.DAT"), "");
    pid_t pid = StartProgram(prefix.File("plx"), runtime.path(), data.File("output.txt"));
    EXPECT_EQ(WaitForExit(pid, 20000), 0) << ReadFile(data.File("output.txt"));
    EXPECT_EQ(fs::file_size(prefix.File("PLX_POSTTM.DAT")), 37152u);  // ExeFolder is the install
    EXPECT_TRUE(Holds(ReadFile(prefix.File("plx.INI")), "LEFT=0"));
}

TEST(Program, AnEscapedErrorIsShownAndEndsWithStatusOneWithoutATornFile) {
    TempDir runtime, data;
    ProgramFolder program(runtime.path());
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    const std::string settings = "[DIR]\nMARLO=" + marlo + "\n";
    WriteFile(program.settingsPath(), settings);
    // The text converter goes away a while after start-up, in the middle of the ticks.
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::vector<std::string> environment{
        std::string("LD_PRELOAD=") + PLXTEST_ICONV_FAIL, "PLXTEST_ICONV_FAIL_AFTER_MS=4000",
        std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0"};
    EXPECT_EQ(WaitForExit(program.Start(environment), 20000), 1) << program.Output();
    EXPECT_TRUE(Holds(program.Output(), "Pilonix: iconv_open failed")) << program.Output();
    EXPECT_EQ(ReadFile(program.settingsPath()), settings);  // the end did not write half a file
    if (fs::exists(program.File("PLX_POSTTM.DAT"))) {
        EXPECT_EQ(fs::file_size(program.File("PLX_POSTTM.DAT")), 37152u);
    }
    for (const auto& entry : fs::directory_iterator(program.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(Program, WithoutARuntimeFolderItStartsQuietlyWithItsOwnPrivateOne) {
    TempDir runtime, data;
    ProgramFolder program(runtime.path());
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(program.settingsPath(), "[DIR]\nMARLO=" + marlo + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    EXPECT_EQ(WaitForExit(program.Start({"XDG_RUNTIME_DIR"}), 20000), 0) << program.Output();
    EXPECT_FALSE(Holds(program.Output(), "XDG_RUNTIME_DIR")) << program.Output();
    struct stat info {};
    ASSERT_EQ(::stat(("/tmp/plx-" + std::to_string(::getuid())).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}
