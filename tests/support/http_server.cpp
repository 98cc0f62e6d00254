// The HTTP test server: a small script on the system's Python, started and stopped per test.
#include "tests/support/http_server.h"

namespace plxtest {

HttpServer::HttpServer(const std::string& folder) {
    process_.Start("HTTP", PLXTEST_HTTP_SCRIPT, {folder}, dir_.File("port"));
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + "/" + path;
}

std::string ClosedPortUrl(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/" + path;
}

}  // namespace plxtest
