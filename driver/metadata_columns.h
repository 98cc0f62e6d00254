// The result columns of each metadata list, where their values come from, and the data-type table.
#pragma once

#include <cstdint>

#include "driver/sqldriver.h"

namespace basalt {

// DataTypes is the object list of kind 1, the others the catalogue queries.
enum class MetaList : std::uint8_t { Objects, DataTypes, Tables, Procedures, Columns, ProcedureParams, Indices };

enum class MetaSource : std::uint8_t {
    RowNumber,       // 1 for the first row
    NullText,        // the constant text "<NULL>"
    Argument,        // the table or procedure name given to the request
    Query,           // a column of the catalogue query, strings without trailing blanks
    DataTypeList,    // the kind-1 list: the row's entry of the data-type table
    TableType,       // 1 table or 2 view, plus 4 for a system table
    ProcType,        // 1, or 9 for a system procedure
    IndexType,       // 1, or 2 unique, plus 4 for a primary key
    SortOrder,       // "A" or "D"
    PrimaryKeyName,  // the index name of a primary key, else NULL
    ColumnType,      // 8 when the column has a default, else 0
    Nullable,        // 1 unless the null flag is 1
    ParamType,       // 1 input, 2 output
    DataType,        // entries of the data-type table, looked up by the field type
    DataSubType,
    DataTypeName,
    DataLength,
    DataPrecision,
    DataScale,
};

inline constexpr std::uint32_t kLengthOfQueryColumn = 0;
inline constexpr std::uint32_t kLengthOfArgument = 0xFFFFFFFF;
// The length a query column reports when it has none (or when there is no query).
inline constexpr std::uint32_t kDefaultNameLength = 31;

struct MetaColumn {
    const char* name;
    std::uint16_t fieldType;
    std::uint32_t length;  // or one of the two markers above
    MetaSource source;
    std::uint16_t queryColumn;  // the catalogue query's column the value comes from, 0 for none
};

struct MetaLayout {
    const MetaColumn* columns;
    std::uint16_t count;
};
MetaLayout LayoutOf(MetaList list);

// One row of the data-type table.
struct DataTypeEntry {
    std::int16_t fieldType;  // RDB$FIELD_TYPE
    std::uint16_t dataType;  // the driver's FieldType
    std::uint16_t subType;
    const char* name;
    std::uint32_t length;  // 0: the field's own length
};
inline constexpr int kDataTypeCount = 15;
const DataTypeEntry& DataTypeAt(int index);
// The first entry for a catalogue field type, or null when the table has none.
const DataTypeEntry* FindDataType(std::int32_t fieldType);

}  // namespace basalt
