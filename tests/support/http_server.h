// A real HTTP (or HTTPS) server on 127.0.0.1 for tests, serving the files of a folder with ETags
// and 304 answers, plus special paths: "status/N" answers with status N, "hang" never answers,
// "big/N" streams an N-megabyte feed, "redirect/P" sends the client on to "P". Every request is
// logged with its conditional headers. See http_server.py for the details.
#pragma once

#include <string>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

// A certificate chain and its key, for a server that speaks HTTPS.
struct TlsIdentity {
    std::string certificateFile;
    std::string keyFile;
};

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

// Certificates made with openssl for the time of a test: a certificate authority, a server
// identity for 127.0.0.1 that it signed, and a self-signed one for 127.0.0.1 that nobody trusts.
class TestCertificates {
public:
    // Throws when openssl fails.
    TestCertificates();

    std::string AuthorityFile() const { return dir_.File("ca.pem"); }
    TlsIdentity Trusted() const { return {dir_.File("server.pem"), dir_.File("server.key")}; }
    TlsIdentity Stranger() const { return {dir_.File("stranger.pem"), dir_.File("stranger.key")}; }

private:
    TempDir dir_;
};

}  // namespace plxtest
