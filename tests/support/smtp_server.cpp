// SMTP test servers: a small aiosmtpd script run by the system's Python.
#include "tests/support/smtp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace plxtest {
namespace {

// Debian's own interpreter, where python3-aiosmtpd is installed (a python3 earlier on PATH
// may be another one without it).
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kLifetimeSeconds = "300";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

SmtpServer::SmtpServer(Mode mode) {
    std::string portFile = dir_.File("port");
    std::string folder = dir_.path() + "mail";
    std::filesystem::create_directory(folder);
    std::vector<std::string> args = {kPython,  PLXTEST_SMTP_SCRIPT, mode == Mode::Store ? "store" : "silent", folder,
                                     portFile, kLifetimeSeconds};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kPython, nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start the SMTP test server");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FileExists(portFile)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the SMTP test server ended before it listened");
        }
        if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("the SMTP test server did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = std::stoi(ReadFile(portFile));
}

SmtpServer::~SmtpServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

std::vector<ReceivedMail> SmtpServer::Received() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path() + "mail"))
        if (entry.path().extension() == ".eml") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    std::vector<ReceivedMail> mails;
    for (const auto& name : names) {
        std::string base = dir_.path() + "mail/" + name;
        mails.push_back({ReadFile(base + ".from"), Lines(ReadFile(base + ".rcpt")), ReadFile(base + ".eml")});
    }
    return mails;
}

int UnusedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot find a free port");
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace plxtest
