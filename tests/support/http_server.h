// A real HTTP server on 127.0.0.1 for tests, serving the files of a folder, plus special paths:
// "status/N" answers with status N, "hang" never answers, "big/N" streams an N-megabyte feed,
// "redirect/P" sends the client on to "P".
#pragma once

#include <string>

#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

class HttpServer {
public:
    // Starts the server on a free port and waits until it listens; throws when it does not come up.
    explicit HttpServer(const std::string& folder);

    int port() const { return process_.port(); }
    // "http://127.0.0.1:port/" + path.
    std::string Url(const std::string& path) const;

private:
    TempDir dir_;
    ServerProcess process_;
};

// An http address on a port of 127.0.0.1 where nothing listens.
std::string ClosedPortUrl(const std::string& path);

}  // namespace plxtest
