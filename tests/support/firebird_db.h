// Builds real Firebird database files for tests with isql-fb (embedded engine, no server).
#pragma once

#include <string>

namespace plxtest {

// Runs `script` (UTF-8 text) through `isql-fb -q -ch UTF8`, after a CREATE DATABASE for `path`
// with the given default character set. Throws with isql's output when it fails.
void CreateDatabase(const std::string& path, const std::string& script, const std::string& charset = "NONE");

// Runs `script` against an existing database; returns what isql-fb printed (stdout and stderr).
std::string RunIsql(const std::string& path, const std::string& script, bool throwOnError = true);

// Runs a shell command; returns what it printed on standard output and puts its exit status in `status`.
std::string RunCommand(const std::string& command, int* status);

constexpr const char* kDbUser = "SYSDBA";
constexpr const char* kDbPassword = "fjordlamp";

}  // namespace plxtest
