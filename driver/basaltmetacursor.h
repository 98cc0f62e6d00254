// A metadata cursor: the rows of one metadata list, read through the list's own columns from the
// cursor of its catalogue query.
#pragma once

#include <string>

#include "driver/metadata_columns.h"
#include "driver/ref_counted.h"

namespace basalt {

class BasaltMetadataCursor final : public RefCounted<SQLCursor> {
public:
    // Takes over one reference on `command` and on `cursor`; both are null for the data-type list and
    // for a request that failed. `argument` is the table or procedure name of the request.
    BasaltMetadataCursor(MetaList list, const char* argument, SQLCommand* command, SQLCursor* cursor);

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
    ~BasaltMetadataCursor() override;

    enum class Row { BeforeFirst, Current, AfterLast };

    ResultCode describedColumn(std::uint16_t column, const MetaColumn** desc) const;
    std::uint32_t lengthOf(const MetaColumn& column) const;
    // The current row's value of a column, or the code that says why there is none.
    ResultCode currentColumn(std::uint16_t column, const MetaColumn** desc) const;
    ResultCode textValue(const MetaColumn& column, std::string* text, bool* isNull);
    ResultCode numberValue(const MetaColumn& column, std::int32_t* number, bool* isNull);
    ResultCode dataTypeValue(const MetaColumn& column, std::int32_t* number, bool* isNull);

    // Values of the catalogue query's columns in the current row.
    ResultCode queryText(std::uint16_t column, std::string* text, bool* isNull);
    ResultCode queryNumber(std::uint16_t column, std::int32_t* number, bool* isNull);
    ResultCode queryIsNull(std::uint16_t column, bool* isNull);
    ResultCode queryDataType(const DataTypeEntry** entry);

    MetaList list_;
    MetaLayout layout_;
    std::string argument_;
    SQLCommand* command_;
    SQLCursor* cursor_;
    std::int32_t rowNumber_ = 0;
    Row row_ = Row::BeforeFirst;
};

}  // namespace basalt
