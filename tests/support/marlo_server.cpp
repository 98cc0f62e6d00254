// Starting and stopping the demo tool's Firebird server for tests.
#include "tests/support/marlo_server.h"

#include <stdexcept>

#include "tests/support/firebird_db.h"

namespace plxtest {

std::string RunMarloDemo(const std::string& arguments, int* status) {
    return RunCommand(std::string(PLXTEST_MARLO_DEMO_TOOL) + " " + arguments + " 2>&1", status);
}

MarloServer::MarloServer(const std::string& folder, const std::string& date) : folder_(folder) {
    int status = 0;
    std::string output = RunMarloDemo("'" + folder + "' --serve" + (date.empty() ? "" : " --date " + date), &status);
    const std::string key = "MARLO_DB=";
    std::size_t at = output.find(key);
    if (status != 0 || at == std::string::npos) throw std::runtime_error("marlo-demo --serve failed:\n" + output);
    std::size_t end = output.find('\n', at);
    database_ = output.substr(at + key.size(), end == std::string::npos ? std::string::npos : end - at - key.size());
    running_ = true;
}

MarloServer::~MarloServer() {
    Stop();
}

bool MarloServer::Stop() {
    if (!running_) return false;
    running_ = false;
    int status = 0;
    std::string output = RunMarloDemo("'" + folder_ + "' --stop", &status);
    return status == 0 && output.find("stopped") != std::string::npos;
}

}  // namespace plxtest
