// A test server script run by the system's Python, and a free port of 127.0.0.1.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace plxtest {

class ServerProcess {
public:
    ServerProcess() = default;
    // Stops the script (SIGTERM) and waits for it.
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Runs `script` with `args`, then `portFile` and a lifetime, and waits until the script has
    // written the port it listens on into `portFile`. Throws, naming `what`, when the script
    // cannot start, ends first, or does not come up within 20 seconds (it is then killed).
    void Start(const std::string& what, const std::string& script, std::vector<std::string> args,
               const std::string& portFile);

    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// A port of 127.0.0.1 on which nothing listens (taken free from the system a moment ago).
int UnusedPort();

}  // namespace plxtest
