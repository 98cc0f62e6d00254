// Program processes for the whole-program tests.
#include "tests/e2e/program_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace plxtest {
namespace fs = std::filesystem;

ProgramFolder::ProgramFolder(const std::string& runtimeFolder, const std::string& exeName)
    : runtimeFolder_(runtimeFolder), exeName_(exeName) {
    fs::copy_file(PLXTEST_PROGRAM, exePath());
    fs::copy_file(PLXTEST_DRIVER, dir_.File("libbasaltdrv.so"));
    fs::copy(std::string(PLXTEST_BUILD_DIR) + "/Snd", dir_.File("Snd"), fs::copy_options::recursive);
    // An empty feed list: the news step then builds its page without touching the network.
    WriteFile(dir_.File("PLX_RSS.DAT"), "");
}

pid_t ProgramFolder::Start(const std::vector<std::string>& extraEnvironment) const {
    return StartProgram(exePath(), runtimeFolder_, File("output.txt"), extraEnvironment);
}

pid_t StartProgram(const std::string& exe, const std::string& runtimeFolder, const std::string& output,
                   const std::vector<std::string>& extraEnv) {
    std::vector<std::string> replaced = {"QT_QPA_PLATFORM=", "XDG_RUNTIME_DIR="};
    for (const auto& entry : extraEnv) replaced.push_back(entry.substr(0, entry.find('=')) + "=");
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        bool drop = false;
        for (const auto& key : replaced) drop = drop || entry.rfind(key, 0) == 0;
        if (!drop) env.push_back(entry);
    }
    for (const auto& entry : extraEnv)
        if (entry.find('=') != std::string::npos) env.push_back(entry);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    bool runtimeGiven = false;
    for (const auto& entry : extraEnv) runtimeGiven = runtimeGiven || entry.rfind("XDG_RUNTIME_DIR", 0) == 0;
    if (!runtimeGiven) env.push_back("XDG_RUNTIME_DIR=" + runtimeFolder);
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::string program = exe;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, "/");  // the program must not depend on its start folder
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + exe);
    return pid;
}

int WaitForExit(pid_t pid, int limitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFSIGNALED(status)) std::fprintf(stderr, "the program ended on signal %d\n", WTERMSIG(status));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool StillRunning(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

bool WaitForFile(const std::string& path, int limitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace plxtest
