// The metadata object: catalogue lists of one connection, its object-name option and the saved
// error text of its last failed request.
#pragma once

#include <string>

#include "driver/metadata_columns.h"
#include "driver/ref_counted.h"

namespace basalt {

class BasaltMetadata final : public RefCounted<SQLMetaData> {
public:
    // Holds a reference on the connection, which every request uses.
    explicit BasaltMetadata(SQLConnection* connection);

    ResultCode setOption(std::uint32_t option, std::intptr_t value) override;
    ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) override;
    ResultCode getObjectList(std::uint8_t kind, SQLCursor** cursor) override;
    ResultCode getTables(const char* pattern, std::uint32_t flags, SQLCursor** cursor) override;
    ResultCode getProcedures(const char* pattern, std::uint32_t flags, SQLCursor** cursor) override;
    ResultCode getColumns(const char* table, const char* pattern, std::uint32_t flags, SQLCursor** cursor) override;
    ResultCode getProcedureParams(const char* procedure, const char* pattern, SQLCursor** cursor) override;
    ResultCode getIndices(const char* table, std::uint32_t flags, SQLCursor** cursor) override;
    ResultCode getErrorText(char* buffer) override;
    ResultCode getErrorLength(std::int16_t* length) override;

private:
    ~BasaltMetadata() override;

    // Runs `sql` and hands out a metadata cursor over its rows; when the query fails, an empty one,
    // with the command's error text saved.
    ResultCode run(const std::string& sql, MetaList list, const char* argument, SQLCursor** cursor);
    ResultCode handOut(MetaList list, const char* argument, SQLCommand* command, SQLCursor* inner, SQLCursor** cursor);
    void saveError(SQLCommand* command);

    SQLConnection* connection_;
    std::string objectName_;
    bool hasObjectName_ = false;
    std::string savedError_;
    bool hasSavedError_ = false;
};

}  // namespace basalt
