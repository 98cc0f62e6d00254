// isql-fb runner for test databases.
#include "tests/support/firebird_db.h"

#include <sys/wait.h>

#include <cstdio>
#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace plxtest {

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed: " + command);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    int rc = ::pclose(pipe);
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

namespace {

std::string RunScript(const std::string& databaseArgument, const std::string& script, bool throwOnError) {
    TempDir dir;
    std::string scriptPath = dir.File("script.sql");
    WriteFile(scriptPath, "SET BAIL ON;\n" + script + "\n");
    std::string command = "isql-fb -q -ch UTF8 -user " + std::string(kDbUser) + " -password " + kDbPassword + " " +
                          databaseArgument + " -i '" + scriptPath + "' 2>&1";
    int status = 0;
    std::string output = RunCommand(command, &status);
    if (throwOnError && (status != 0 || output.find("Statement failed") != std::string::npos))
        throw std::runtime_error("isql-fb failed:\n" + output);
    return output;
}

}  // namespace

void CreateDatabase(const std::string& path, const std::string& script, const std::string& charset) {
    std::string create = "CREATE DATABASE '" + path + "' USER '" + kDbUser + "' PASSWORD '" + kDbPassword +
                         "' PAGE_SIZE 8192 DEFAULT CHARACTER SET " + charset + ";\n";
    RunScript("", create + script + "\nCOMMIT;\n", true);
}

std::string RunIsql(const std::string& path, const std::string& script, bool throwOnError) {
    return RunScript("'" + path + "'", script, throwOnError);
}

}  // namespace plxtest
