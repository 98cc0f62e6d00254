// Client layer of a cursor: column descriptions, the row buffer layout, binding and fetching.
#include "driver/cursor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "driver/sqldriver.h"

namespace basalt {
namespace {

char* CopyName(const char* name, short length) {
    auto size = std::min(static_cast<std::size_t>(std::max<short>(length, 0)), kMaxColumnName);
    char* copy = static_cast<char*>(std::malloc(size + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, name, size);
    copy[size] = '\0';
    return copy;
}

// The name of a client SQL type the driver does not map, for the error text.
const char* UnmappedTypeName(int sqlType, char* buffer, std::size_t size) {
    switch (sqlType & ~1) {
        case SQL_BOOLEAN:
            return "BOOLEAN";
        case SQL_NULL:
            return "NULL";
        case SQL_D_FLOAT:
            return "D_FLOAT";
        case SQL_QUAD:
            return "QUAD";
        default:
            std::snprintf(buffer, size, "SQL type %d", sqlType & ~1);
            return buffer;
    }
}

ResultCode UnmappedColumn(ClientConnection& client, const XSQLVAR& variable, int number) {
    char typeBuffer[32];
    const char* type = UnmappedTypeName(variable.sqltype, typeBuffer, sizeof typeBuffer);
    bool hasAlias = variable.aliasname_length > 0;
    const char* name = hasAlias ? variable.aliasname : variable.sqlname;
    int nameLength = std::clamp<int>(hasAlias ? variable.aliasname_length : variable.sqlname_length, 0,
                                     static_cast<int>(kMaxColumnName));
    return DriverError(client, "column %d (%.*s) is of type %s, which the driver cannot read", number, nameLength, name,
                       type);
}

// The describe table: field type, subtype, precision, scale, length and data length by internal type.
// False for a client type the driver does not map.
bool DescribeOne(const XSQLVAR& variable, ColumnDesc& column) {
    auto internal = TranslateType(variable.sqltype);
    if (internal == kTypeNone) return false;
    std::int32_t sqlLength = variable.sqllen;
    column.internalType = internal;
    column.clientScale = internal == kTypeBlob ? variable.sqlsubtype : variable.sqlscale;
    column.flags = (variable.sqltype & 1) ? kNullableFlag : 0;
    column.subType = 0;
    column.scale = column.clientScale;
    column.precision = static_cast<std::int16_t>(sqlLength);
    column.dataLength = static_cast<std::uint32_t>(sqlLength);
    column.length = column.dataLength;
    column.sqlLength = sqlLength;
    switch (internal) {
        case kTypeShort:
            column.fieldType = kFieldInt16;
            column.precision = 2;
            column.length = column.dataLength = 2;
            break;
        case kTypeLong:
            column.fieldType = kFieldInt32;
            column.precision = 4;
            column.length = column.dataLength = 4;
            break;
        case kTypeFloat:
        case kTypeDouble:
            column.fieldType = kFieldFloat;
            column.scale = 0;
            column.length = 8;
            break;
        case kTypeText:
            column.fieldType = kFieldString;
            column.subType = kSubtypeFixed;
            column.length = column.dataLength = static_cast<std::uint32_t>(sqlLength) + 1;
            break;
        case kTypeVarying:
            column.fieldType = kFieldString;
            column.length = static_cast<std::uint32_t>(sqlLength) + 1;
            column.dataLength = static_cast<std::uint32_t>(sqlLength) + 2;
            break;
        case kTypeTimestamp:
            column.fieldType = kFieldTimestamp;
            column.scale = 0;
            column.length = 16;
            break;
        case kTypeBlob:
            column.fieldType = kFieldBlob;
            column.subType = variable.sqlsubtype == 1 ? kSubtypeMemo : kSubtypeBinary;
            column.precision = 1;
            column.scale = 0;
            column.length = column.dataLength = kBlobSlotSize;
            column.sqlLength = kBlobSlotSize;
            break;
        case kTypeDate:
            column.fieldType = kFieldDate;
            column.scale = 0;
            column.length = 4;
            break;
        case kTypeTime:
            column.fieldType = kFieldTime;
            column.scale = 0;
            column.length = 4;
            break;
        case kTypeInt64:
            column.fieldType = kFieldBcd;
            column.precision = 15;
            column.length = sizeof(BcdValue);
            break;
        case kTypeArray:
            column.fieldType = kFieldBytes;
            break;
        default:
            return false;
    }
    // NUMERIC and DECIMAL held in an integer or a double.
    if ((internal == kTypeShort || internal == kTypeLong || internal == kTypeDouble) && column.clientScale < 0) {
        column.fieldType = kFieldBcd;
        column.subType = 0;
        column.length = sizeof(BcdValue);
        column.precision = internal == kTypeShort ? 5 : internal == kTypeLong ? 9 : 15;
    }
    return true;
}

}  // namespace

ResultCode DescribeColumns(ClientStatement& statement, ColumnDesc* columns, int count, std::uint32_t* rowSize) {
    XSQLDA* output = statement.output.area;
    if (!output || count > output->sqld) return kResultNoHandle;
    std::uint32_t offset = 0;
    for (int i = 0; i < count; ++i) {
        const XSQLVAR& variable = output->sqlvar[i];
        ColumnDesc& column = columns[i];
        column.index = static_cast<std::uint16_t>(i);
        if (!DescribeOne(variable, column)) return UnmappedColumn(*statement.client, variable, i + 1);
        bool hasAlias = variable.aliasname_length > 0;
        column.name = hasAlias ? CopyName(variable.aliasname, variable.aliasname_length)
                               : CopyName(variable.sqlname, variable.sqlname_length);
        column.table = CopyName(variable.relname, variable.relname_length);
        if (!column.name || !column.table) return kResultNotCreated;
        column.valueOffset = offset;
        column.indicatorOffset = offset + column.dataLength;
        offset = column.indicatorOffset + sizeof(std::int32_t);
    }
    *rowSize = offset;
    return kResultOk;
}

void FreeColumnNames(ColumnDesc* columns, int count) {
    for (int i = 0; i < count; ++i) {
        std::free(columns[i].name);
        std::free(columns[i].table);
        columns[i].name = columns[i].table = nullptr;
    }
}

ResultCode BindColumns(ClientStatement& statement, const ColumnDesc* columns, int count, char* row) {
    XSQLDA* output = statement.output.area;
    for (int i = 0; i < count; ++i) {
        const ColumnDesc& column = columns[i];
        XSQLVAR& variable = output->sqlvar[i];
        variable.sqltype = TranslateTypePhy(column.internalType);
        if (variable.sqltype == 0) return DriverError(*statement.client, "column %d has no client type to bind", i + 1);
        variable.sqldata = row + column.valueOffset;
        variable.sqllen = static_cast<ISC_SHORT>(column.dataLength);
        if (column.internalType == kTypeText) variable.sqllen = static_cast<ISC_SHORT>(column.dataLength - 1);
        if (column.internalType == kTypeVarying) variable.sqllen = static_cast<ISC_SHORT>(column.dataLength - 2);
        if (column.internalType == kTypeBlob) {
            if (column.dataLength < kBlobSlotSize)
                return DriverError(*statement.client, "blob column %d has too short a slot", i + 1);
            variable.sqldata += kBlobIdOffset;
            variable.sqllen = sizeof(ISC_QUAD);
        }
        variable.sqlind = &statement.output.indicators[i];
    }
    return kResultOk;
}

ResultCode FetchRow(ClientStatement& statement, const ColumnDesc* columns, int count, char* row) {
    ClientConnection& client = *statement.client;
    Trace(client, "BASALT - isc_dsql_fetch");
    ISC_STATUS result =
        client.entries->dsql_fetch(client.status, &statement.handle, statement.dialect, statement.output.area);
    if (result == 100) return count > 0 ? kResultEndOfData : kResultOk;
    if (Check(client, result) != kResultOk) return kResultClientError;
    const short* indicators = statement.output.indicators;
    for (int i = 0; i < count; ++i) {
        const ColumnDesc& column = columns[i];
        std::int32_t indicator = indicators[i] == -1 ? -1 : column.sqlLength;
        if (column.internalType == kTypeBlob) {
            static constexpr ISC_QUAD kNoBlob = {};
            if (std::memcmp(row + column.valueOffset + kBlobIdOffset, &kNoBlob, sizeof kNoBlob) == 0) indicator = -1;
        }
        std::memcpy(row + column.indicatorOffset, &indicator, sizeof indicator);
    }
    return kResultOk;
}

TimestampValue DecodeTimestamp(const ClientEntryTable& entries, const char* stored) {
    std::tm fields{};
    if (entries.decode_timestamp) {
        ISC_TIMESTAMP stamp;
        std::memcpy(&stamp, stored, sizeof stamp);
        entries.decode_timestamp(&stamp, &fields);
    } else {
        ISC_QUAD stamp;
        std::memcpy(&stamp, stored, sizeof stamp);
        entries.decode_date(&stamp, &fields);
    }
    return TimestampValue{static_cast<std::int16_t>(fields.tm_year + 1900),
                          static_cast<std::uint16_t>(fields.tm_mon + 1),
                          static_cast<std::uint16_t>(fields.tm_mday),
                          static_cast<std::uint16_t>(fields.tm_hour),
                          static_cast<std::uint16_t>(fields.tm_min),
                          static_cast<std::uint16_t>(fields.tm_sec),
                          0};
}

}  // namespace basalt
