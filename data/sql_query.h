// A forward-only text query on the connection: a driver command and its cursor, read row by row
// with every field available as text by its name (see data/field_text.h for the forms).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SQLCommand;
class SQLCursor;

namespace plx {

class SqlConnection;

class SqlQuery {
public:
    SqlQuery(SqlConnection& connection, std::string name);
    ~SqlQuery();
    SqlQuery(const SqlQuery&) = delete;
    SqlQuery& operator=(const SqlQuery&) = delete;

    const std::string& name() const { return name_; }

    // The SQL text run by Open. Changing it closes the query.
    void SetSql(std::string sql);
    const std::string& Sql() const { return sql_; }

    // Runs the SQL text and moves to its first row. Returns true when open; on failure the query
    // stays closed and `error` holds the driver's error text (CP932).
    bool Open(std::string* error);
    // Releases the cursor and the command; nothing when already closed.
    void Close();
    bool Active() const { return cursor_ != nullptr; }

    // End of data: past the last row, or closed.
    bool Eof() const { return !Active() || eof_; }
    // Moves to the next row. A fetch error ends the data and is shown to the user.
    void Next();
    // True when closed or when the result has no rows.
    bool IsEmpty() const { return !Active() || rowCount_ == 0; }

    // The current row's field of that name (case-insensitive) as text; empty text for NULL,
    // at the end of data, when closed or when there is no such field.
    std::string FieldAsText(const std::string& fieldName) const;
    bool HasField(const std::string& fieldName) const { return FieldIndex(fieldName) >= 0; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const std::string& FieldName(int index) const { return fields_.at(static_cast<std::size_t>(index)).name; }

private:
    struct Field {
        std::string name;
        std::uint16_t type = 0;
        std::uint16_t subType = 0;
        std::uint32_t length = 0;
    };
    int FieldIndex(const std::string& fieldName) const;
    bool Fetch(std::string* error);
    bool DescribeFields(std::string* error);
    std::string Fail(const std::string& fallback) const;

    SqlConnection& connection_;
    std::string name_;
    std::string sql_;
    SQLCommand* command_ = nullptr;
    SQLCursor* cursor_ = nullptr;
    std::vector<Field> fields_;
    bool eof_ = true;
    long long rowCount_ = 0;
};

}  // namespace plx
