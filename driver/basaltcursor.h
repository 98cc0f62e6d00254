// A cursor: the rows of one executed statement, read column by column from its command's row buffer.
#pragma once

#include "driver/cursor.h"
#include "driver/ref_counted.h"

namespace basalt {

class BasaltCommand;

class BasaltCursor final : public RefCounted<SQLCursor> {
public:
    // Holds no reference on the command; the command tells the cursor when it goes.
    explicit BasaltCursor(BasaltCommand* command) : command_(command) {}
    void commandGone() { command_ = nullptr; }

    ResultCode setOption(std::uint32_t option, std::intptr_t value) override;
    ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) override;
    ResultCode getErrorText(char* buffer) override;
    ResultCode getErrorLength(std::int16_t* length) override;
    ResultCode getColumnCount(std::uint16_t* count) override;
    ResultCode getColumnNameLength(std::uint16_t column, std::uint16_t* length) override;
    ResultCode getColumnName(std::uint16_t column, char* name) override;
    ResultCode getColumnType(std::uint16_t column, std::uint16_t* type, std::uint16_t* subType) override;
    ResultCode getColumnLength(std::uint16_t column, std::uint32_t* length) override;
    ResultCode getColumnPrecision(std::uint16_t column, std::int16_t* precision) override;
    ResultCode getColumnScale(std::uint16_t column, std::int16_t* scale) override;
    ResultCode isNullable(std::uint16_t column, std::int32_t* flag) override;
    ResultCode isAutoIncrement(std::uint16_t column, std::int32_t* flag) override;
    ResultCode isReadOnly(std::uint16_t column, std::int32_t* flag) override;
    ResultCode isSearchable(std::uint16_t column, std::int32_t* flag) override;
    ResultCode isBlobSizeExact(std::uint16_t column, std::int32_t* flag) override;
    ResultCode next() override;
    ResultCode getString(std::uint16_t column, char* value, std::int32_t* isBlank) override;
    ResultCode getInt16(std::uint16_t column, std::int16_t* value, std::int32_t* isBlank) override;
    ResultCode getInt32(std::uint16_t column, std::int32_t* value, std::int32_t* isBlank) override;
    ResultCode getDouble(std::uint16_t column, double* value, std::int32_t* isBlank) override;
    ResultCode getBcd(std::uint16_t column, BcdValue* value, std::int32_t* isBlank) override;
    ResultCode getTimestamp(std::uint16_t column, TimestampValue* value, std::int32_t* isBlank) override;
    ResultCode getTime(std::uint16_t column, std::int32_t* milliseconds, std::int32_t* isBlank) override;
    ResultCode getDate(std::uint16_t column, std::int32_t* dayNumber, std::int32_t* isBlank) override;
    ResultCode getBytes(std::uint16_t column, std::uint8_t* value, std::int32_t* isBlank) override;
    ResultCode getBlobSize(std::uint16_t column, std::uint32_t* size, std::int32_t* isBlank) override;
    ResultCode getBlob(std::uint16_t column, void* value, std::int32_t* isBlank, std::uint32_t length) override;

private:
    ~BasaltCursor() override;

    enum class Row { BeforeFirst, Current, AfterLast };

    // The described column, or the code that says why there is none.
    ResultCode describedColumn(std::uint16_t column, const ColumnDesc** desc) const;
    // The current row's value slot of a column of `fieldType`; null slot when the value is NULL
    // (isBlank is written either way).
    ResultCode valueSlot(std::uint16_t column, std::uint16_t fieldType, const void* value, std::int32_t* isBlank,
                         const ColumnDesc** desc, const char** slot) const;
    ResultCode blobId(std::uint16_t column, std::int32_t* isBlank, ISC_QUAD* id, bool* isNull) const;

    BasaltCommand* command_;
    Row row_ = Row::BeforeFirst;
};

}  // namespace basalt
