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

TestCertificates::TestCertificates() {
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2";
    WriteFile(dir_.File("server.ext"),
              "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n");
    const std::string in = "cd '" + dir_.path() + "' && ";
    const std::string commands[] = {
        "openssl req -x509" + key + " -keyout ca.key -out ca.pem -subj '/CN=Test authority'",
        "openssl req" + key + " -keyout server.key -out server.csr -subj /CN=127.0.0.1",
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -out server.pem "
        "-extfile server.ext",
        "openssl req -x509" + key +
            " -keyout stranger.key -out stranger.pem -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1",
    };
    for (const std::string& command : commands)
        if (std::system((in + command + " >openssl.log 2>&1").c_str()) != 0)
            throw std::runtime_error("openssl failed: " + command + "\n" + ReadFile(dir_.File("openssl.log")));
}

}  // namespace plxtest
