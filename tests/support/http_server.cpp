// The HTTP test server: a small script on the system's Python, started and stopped per test, and
// the certificates for its HTTPS mode.
#include "tests/support/http_server.h"

#include <cstdlib>
#include <stdexcept>

#include "common/textutil.h"

namespace plxtest {

HttpServer::HttpServer(const std::string& folder, const TlsIdentity* tls) : tls_(tls != nullptr) {
    std::vector<std::string> args = {"--log", dir_.File("requests.log")};
    if (tls) args.insert(args.end(), {"--tls", tls->certificateFile, tls->keyFile});
    args.push_back(folder);
    process_.Start(tls ? "HTTPS" : "HTTP", PLXTEST_HTTP_SCRIPT, args, dir_.File("port"));
}

std::string HttpServer::Url(const std::string& path) const {
    return (tls_ ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port()) + "/" + path;
}

std::vector<LoggedRequest> HttpServer::Requests() const {
    std::vector<LoggedRequest> requests;
    if (!FileExists(dir_.File("requests.log"))) return requests;
    for (const std::string& line : plx::SplitLines(ReadFile(dir_.File("requests.log")))) {
        if (line.empty()) continue;
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        fields.resize(4);
        requests.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return requests;
}

std::string ClosedPortUrl(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/" + path;
}

}  // namespace plxtest
