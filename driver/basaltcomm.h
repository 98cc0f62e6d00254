// A command: one client statement, its parameters, and the columns and row buffer its cursor reads.
#pragma once

#include "driver/cursor.h"
#include "driver/ref_counted.h"
#include "driver/statemnt.h"

namespace basalt {

class BasaltConnection;
class BasaltCursor;

class BasaltCommand final : public RefCounted<SQLCommand> {
public:
    // Allocates the statement; the command exists (and is handed out) even when that fails.
    BasaltCommand(BasaltConnection& connection, ResultCode* result);

    ResultCode setOption(std::uint32_t option, std::intptr_t value) override;
    ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) override;
    ResultCode setParameter(std::uint16_t number, std::uint16_t child, std::uint16_t direction, std::uint16_t fieldType,
                            std::uint16_t subType, std::int32_t precision, std::int32_t scale, std::uint32_t length,
                            const void* value, std::int32_t isNull) override;
    ResultCode getParameter(std::uint16_t number, std::uint16_t child, void* value, std::int32_t length,
                            std::int32_t* isNull) override;
    ResultCode prepare(const char* sql, std::uint16_t paramCount) override;
    ResultCode execute(SQLCursor** cursor) override;
    ResultCode executeDirect(const char* sql, SQLCursor** cursor) override;
    ResultCode nextResult(SQLCursor** cursor) override;
    ResultCode getRowsAffected(std::int32_t* rows) override;
    ResultCode close() override;
    ResultCode getErrorText(char* buffer) override;
    ResultCode getErrorLength(std::int16_t* length) override;

    // For the cursor: what it reads. Valid until close.
    ClientStatement* statement() const { return statement_; }
    std::uint16_t columnCount() const { return columnCount_; }
    const ColumnDesc* columns() const { return columns_; }
    const char* rowBuffer() const { return rowBuffer_; }
    ResultCode fetch();
    void cursorGone(BasaltCursor* cursor);

private:
    ~BasaltCommand() override;

    ResultCode allocateParams(std::uint16_t count);
    void freeParams();
    void unbindParams();
    void freeColumns();
    ResultCode prepareProcedureCall();
    ResultCode bindParameter(std::uint16_t number);
    ResultCode openResult(SQLCursor** cursor);
    ResultCode describeResult(int count);

    ClientStatement* statement_ = nullptr;
    std::int32_t rowsAffected_ = 0;
    std::uint16_t columnCount_ = 0;
    ColumnDesc* columns_ = nullptr;
    std::uint32_t rowBufferSize_ = 0;
    char* rowBuffer_ = nullptr;
    std::uint16_t paramCount_ = 0;
    ParamDesc* params_ = nullptr;
    bool storedProcedure_ = false;
    bool procedurePrepared_ = false;
    char procedureName_[kMaxNameLength + 1] = {};
    char errorText_[kMaxErrorLength + 1] = {};
    std::int16_t errorLength_ = 0;
    std::int32_t dialect_ = 1;
    std::uint32_t transactionId_ = 0;
    std::int32_t blobSize_ = 0;
    BasaltCursor* cursor_ = nullptr;  // the open cursor, told when the command goes
};

}  // namespace basalt
