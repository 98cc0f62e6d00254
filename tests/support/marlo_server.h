// A demo MARLO folder behind a Firebird server of its own on 127.0.0.1, started with the demo
// tool's --serve and ended with its --stop.
#pragma once

#include <string>

namespace plxtest {

class MarloServer {
public:
    // Serves `folder` (built first, for `date` when given, when it holds no database yet).
    // Throws with the tool's output when the server does not come up.
    explicit MarloServer(const std::string& folder, const std::string& date = "");
    // Stops the server.
    ~MarloServer();
    MarloServer(const MarloServer&) = delete;
    MarloServer& operator=(const MarloServer&) = delete;

    // The MARLO_DB text that reaches the folder's database ("127.0.0.1/port:/folder/DB/MLDB.FDB").
    const std::string& database() const { return database_; }
    // Ends the server now; true when the tool reported it stopped.
    bool Stop();

private:
    std::string folder_;
    std::string database_;
    bool running_ = false;
};

// Runs the demo tool with `arguments` (already quoted); its standard output and error, and the
// exit status in `status`.
std::string RunMarloDemo(const std::string& arguments, int* status);

}  // namespace plxtest
