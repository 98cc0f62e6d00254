// Starting and stopping the test server scripts; finding a free port.
#include "tests/support/server_process.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace plxtest {
namespace {

// Debian's own interpreter, where python3-aiosmtpd is installed (a python3 earlier on PATH
// may be another one without it).
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kLifetimeSeconds = "300";

}  // namespace

void ServerProcess::Start(const std::string& what, const std::string& script, std::vector<std::string> args,
                          const std::string& portFile) {
    args.insert(args.begin(), {kPython, script});
    args.push_back(portFile);
    args.push_back(kLifetimeSeconds);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kPython, nullptr, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start the " + what + " test server");
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FileExists(portFile)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the " + what + " test server ended before it listened");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            throw std::runtime_error("the " + what + " test server did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = std::stoi(ReadFile(portFile));
}

ServerProcess::~ServerProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

int UnusedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("cannot find a free port");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    if (!bound) throw std::runtime_error("cannot find a free port");
    return ntohs(address.sin_port);
}

}  // namespace plxtest
