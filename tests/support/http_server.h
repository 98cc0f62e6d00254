// A real HTTP (or HTTPS) server on 127.0.0.1 for tests, serving the files of a folder with ETags
// and 304 answers, plus special paths: "status/N" answers with status N, "hang" never answers,
// "big/N" streams an N-megabyte feed, "redirect/P" sends the client on to "P". Every request is
// logged with its conditional headers. See http_server.py for the details.
#pragma once

#include <string>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_certificates.h"

namespace plxtest {

// A certificate chain and its key, for a server that speaks HTTPS.
// One request as the server saw it.
struct LoggedRequest {
    std::string path;
    std::string ifNoneMatch;      // empty when not sent
    std::string ifModifiedSince;  // empty when not sent
    std::string status;           // of the answer
};

class HttpServer {
public:
    // Starts the server on a free port and waits until it listens; throws when it does not come up.
    // With an identity it speaks HTTPS.
    explicit HttpServer(const std::string& folder, const TlsIdentity* tls = nullptr);

    int port() const { return process_.port(); }
    // "http://127.0.0.1:port/" + path ("https://" for an HTTPS server).
    std::string Url(const std::string& path) const;
    // The requests answered so far, in the order of their answers.
    std::vector<LoggedRequest> Requests() const;

private:
    TempDir dir_;
    ServerProcess process_;
    bool tls_ = false;
};

// An http address on a port of 127.0.0.1 where nothing listens.
std::string ClosedPortUrl(const std::string& path);

}  // namespace plxtest
