// A real HTTP server on 127.0.0.1 for tests, serving the files of a folder, plus special paths:
// "status/N" answers with status N, "hang" never answers, "big/N" streams an N-megabyte feed,
// "redirect/P" sends the client on to "P".
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace plxtest {

class HttpServer {
public:
    // Starts the server on a free port and waits until it listens; throws when it does not come up.
    explicit HttpServer(const std::string& folder);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:port/" + path.
    std::string Url(const std::string& path) const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// An http address on a port of 127.0.0.1 where nothing listens.
std::string ClosedPortUrl(const std::string& path);

}  // namespace plxtest
