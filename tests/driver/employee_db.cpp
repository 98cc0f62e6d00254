// The engine's EMPLOYEE sample database for the metadata tests.
#include "tests/driver/employee_db.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "tests/support/firebird_db.h"

namespace drivertest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSampleScript = "/usr/share/doc/firebird3.0-examples/examples/employee.sql.gz";
constexpr const char* kCreateLine = "create database 'employee.fdb';";

// Builds the sample into `path` with the package's own script, its database name pointed at `path`.
void BuildSample(const std::string& path) {
    int status = 0;
    std::string script = plxtest::RunCommand(std::string("zcat ") + kSampleScript, &status);
    std::size_t create = script.find(kCreateLine);
    if (status != 0 || create == std::string::npos)
        throw std::runtime_error(std::string("unexpected sample script ") + kSampleScript);
    script.replace(create, std::strlen(kCreateLine), "create database '" + path + "';");
    std::string scriptPath = path + ".sql";
    plxtest::WriteFile(scriptPath, script);
    std::string output = plxtest::RunCommand("isql-fb -q -i '" + scriptPath + "' 2>&1", &status);
    fs::remove(scriptPath);
    if (status != 0 || output.find("Statement failed") != std::string::npos)
        throw std::runtime_error("building the sample database failed:\n" + output);
}

// The sample is built once per build folder (it takes seconds) and each test copies it. Built aside
// and renamed into place, so tests running at once never see half a file.
std::string CachedSample() {
    fs::path folder = EMPLOYEE_CACHE_DIR;
    fs::path cached = folder / "employee.fdb";
    std::error_code ec;
    if (fs::exists(cached, ec) && fs::last_write_time(cached, ec) >= fs::last_write_time(kSampleScript, ec))
        return cached.string();
    fs::create_directories(folder);
    fs::path building = folder / ("building-" + std::to_string(::getpid()) + ".fdb");
    fs::remove(building, ec);
    BuildSample(building.string());
    fs::rename(building, cached);
    return cached.string();
}

}  // namespace

EmployeeDatabase::EmployeeDatabase(const std::string& extraScript) : path_(dir_.File("employee.fdb")) {
    fs::copy_file(CachedSample(), path_);
    if (!extraScript.empty()) plxtest::RunIsql(path_, extraScript + "\nCOMMIT;\n");
    ResultCode result = DriverEntry()(kRealClient, "", driver_.out());
    if (result != kResultOk) throw std::runtime_error("driver entry failed: " + std::to_string(result));
}

SQLConnection* EmployeeDatabase::connect(int dialect) {
    return Connect(driver_.get(), path_, true, dialect);
}

std::vector<std::string> EmployeeDatabase::isqlLines(const std::string& script) const {
    std::istringstream output(plxtest::RunIsql(path_, script));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(output, line)) {
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> EmployeeDatabase::isqlColumn(const std::string& select) const {
    std::vector<std::string> values;
    for (const std::string& line : isqlLines("SET HEADING OFF;\n" + select + ";\n"))
        values.push_back(line.substr(line.find_first_not_of(' ')));
    return values;
}

MetaList ReadList(SQLCursor* cursor) {
    MetaList list;
    std::uint16_t count = 0;
    EXPECT_EQ(cursor->getColumnCount(&count), kResultOk);
    std::vector<std::string> names;
    std::vector<std::uint16_t> types;
    for (std::uint16_t column = 1; column <= count; ++column) {
        char name[64] = {};
        std::uint16_t type = 0, subType = 0;
        EXPECT_EQ(cursor->getColumnName(column, name), kResultOk);
        EXPECT_EQ(cursor->getColumnType(column, &type, &subType), kResultOk);
        names.emplace_back(name);
        types.push_back(type);
    }
    while ((list.end = cursor->next()) == kResultOk) {
        MetaRow row;
        for (std::uint16_t column = 1; column <= count; ++column) {
            std::int32_t blank = -1;
            std::string value;
            if (types[column - 1] == kFieldString) {
                std::uint32_t length = 0;
                cursor->getColumnLength(column, &length);
                std::string buffer(length, '\x7f');
                EXPECT_EQ(cursor->getString(column, buffer.data(), &blank), kResultOk) << names[column - 1];
                value = buffer.c_str();
            } else {
                std::int32_t number = 0;
                EXPECT_EQ(cursor->getInt32(column, &number, &blank), kResultOk) << names[column - 1];
                value = std::to_string(number);
            }
            row[names[column - 1]] = blank == 1 ? "(null)" : value;
        }
        list.rows.push_back(row);
    }
    return list;
}

std::vector<std::string> ColumnOf(const MetaList& list, const std::string& column) {
    std::vector<std::string> values;
    for (const MetaRow& row : list.rows) values.push_back(row.at(column));
    return values;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

}  // namespace drivertest
