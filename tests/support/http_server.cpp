// The HTTP test server: a small script on the system's Python, started and stopped per test.
#include "tests/support/http_server.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace plxtest {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kLifetimeSeconds = "300";

}  // namespace

HttpServer::HttpServer(const std::string& folder) {
    std::string portFile = dir_.File("port");
    std::vector<std::string> args = {kPython, PLXTEST_HTTP_SCRIPT, folder, portFile, kLifetimeSeconds};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kPython, nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start the HTTP test server");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FileExists(portFile)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the HTTP test server ended before it listened");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            throw std::runtime_error("the HTTP test server did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = std::stoi(ReadFile(portFile));
}

HttpServer::~HttpServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::string ClosedPortUrl(const std::string& path) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("cannot find a free port");
    }
    close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/" + path;
}

}  // namespace plxtest
