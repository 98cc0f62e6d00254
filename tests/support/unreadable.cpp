// Unreadable files for tests, through the file-system user id.
#include "tests/support/unreadable.h"

#include <signal.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"

namespace plxtest {
namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

OtherUser::OtherUser() {
    // Only root can change it; anyone else already cannot read a file of mode 0000.
    if (::geteuid() != 0) return;
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
}

OtherUser::~OtherUser() {
    if (::geteuid() != 0) return;
    ::setfsuid(0);
    ::setfsgid(0);
}

void MakeUnreadableFile(const std::string& path, const std::string& bytes) {
    WriteFile(path, bytes);
    ::chmod(path.c_str(), 0);
    std::string folder = std::filesystem::path(path).parent_path().string();
    ::chmod(folder.c_str(), 0777);
}

int ExitStatusWithin(const std::function<int()>& body, int limitMs) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    if (child < 0) return -1;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ModeBits(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

}  // namespace plxtest
