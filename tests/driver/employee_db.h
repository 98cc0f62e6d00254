// The engine's EMPLOYEE sample database for the metadata tests: a private copy per test, what
// isql-fb answers about it, and a metadata list read whole.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/driver/driver_test_support.h"

namespace drivertest {

class EmployeeDatabase {
public:
    // A fresh copy of the sample database; `extraScript` runs on it through isql-fb first.
    explicit EmployeeDatabase(const std::string& extraScript = "");
    const std::string& path() const { return path_; }

    // A connection in `dialect` through the driver on the real client library. isql-fb cannot open
    // the file while one of these is attached, so ask it first.
    SQLConnection* connect(int dialect = 3);

    // What isql-fb prints for `script`, line by line without trailing blanks, empty lines left out.
    std::vector<std::string> isqlLines(const std::string& script) const;
    // The values of a one-column SELECT, trimmed.
    std::vector<std::string> isqlColumn(const std::string& select) const;

private:
    plxtest::TempDir dir_;
    std::string path_;
    Ref<SQLDriver> driver_;
};

// One row of a metadata list: every column's value as text by column name; NULL reads as "(null)",
// integers in decimal.
using MetaRow = std::map<std::string, std::string>;

struct MetaList {
    std::vector<MetaRow> rows;
    ResultCode end = kResultOk;  // what next returned after the last row
};
MetaList ReadList(SQLCursor* cursor);
// One column of every row.
std::vector<std::string> ColumnOf(const MetaList& list, const std::string& column);

// Whitespace-separated words of a text.
std::vector<std::string> Words(const std::string& text);

}  // namespace drivertest
