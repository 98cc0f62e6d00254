// The result columns of each metadata list, where their values come from, and the data-type table.
#include "driver/metadata_columns.h"

namespace basalt {
namespace {

using S = MetaSource;
constexpr std::uint32_t kQuery = kLengthOfQueryColumn;
constexpr std::uint32_t kArgument = kLengthOfArgument;
// The constant "<NULL>" with its terminator.
constexpr std::uint32_t kNullText = 7;
// Long enough for every name of the data-type table.
constexpr std::uint32_t kTypeName = 30;

constexpr MetaColumn kObjects[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},
    {"SCHEMA", kFieldString, kNullText, S::NullText, 0},
    {"CATEGORY", kFieldString, kNullText, S::NullText, 0},
    {"OBJECT_NAME", kFieldString, kQuery, S::Query, 4},
};

// The kind-1 list: the data-type table's names, with no query behind them.
constexpr MetaColumn kDataTypeNames[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},
    {"SCHEMA", kFieldString, kNullText, S::NullText, 0},
    {"CATEGORY", kFieldString, kNullText, S::NullText, 0},
    {"OBJECT_NAME", kFieldString, kDefaultNameLength, S::DataTypeList, 0},
};

constexpr MetaColumn kTables[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},         {"CATALOG_NAME", kFieldString, kNullText, S::NullText, 0},
    {"SCHEMA_NAME", kFieldString, kQuery, S::Query, 3}, {"TABLE_NAME", kFieldString, kQuery, S::Query, 4},
    {"TABLE_TYPE", kFieldInt32, 4, S::TableType, 0},
};

constexpr MetaColumn kProcedures[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},         {"CATALOG_NAME", kFieldString, kNullText, S::NullText, 0},
    {"SCHEMA_NAME", kFieldString, kQuery, S::Query, 3}, {"PROC_NAME", kFieldString, kQuery, S::Query, 4},
    {"PROC_TYPE", kFieldInt32, 4, S::ProcType, 0},      {"IN_PARAMS", kFieldInt32, 4, S::Query, 6},
    {"OUT_PARAMS", kFieldInt32, 4, S::Query, 7},
};

constexpr MetaColumn kColumns[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},
    {"CATALOG_NAME", kFieldString, kNullText, S::NullText, 0},
    {"SCHEMA_NAME", kFieldString, kNullText, S::NullText, 0},
    {"TABLE_NAME", kFieldString, kArgument, S::Argument, 0},
    {"COLUMN_NAME", kFieldString, kQuery, S::Query, 5},
    {"COLUMN_POSITION", kFieldInt16, 2, S::Query, 6},
    {"COLUMN_TYPE", kFieldInt16, 2, S::ColumnType, 0},
    {"COLUMN_DATATYPE", kFieldInt16, 2, S::DataType, 0},
    {"COLUMN_TYPENAME", kFieldString, kTypeName, S::DataTypeName, 0},
    {"COLUMN_SUBTYPE", kFieldInt16, 2, S::DataSubType, 0},
    {"COLUMN_LENGTH", kFieldInt32, 4, S::DataLength, 0},
    {"COLUMN_PRECISION", kFieldInt16, 2, S::DataPrecision, 0},
    {"COLUMN_SCALE", kFieldInt16, 2, S::DataScale, 0},
    {"COLUMN_NULLABLE", kFieldInt16, 2, S::Nullable, 0},
};

// PARAM_TYPENAME reports the same length as COLUMN_TYPENAME: a caller sizes its buffer by it.
constexpr MetaColumn kProcedureParams[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},
    {"CATALOG_NAME", kFieldString, kNullText, S::NullText, 0},
    {"SCHEMA_NAME", kFieldString, kNullText, S::NullText, 0},
    {"PROCEDURE_NAME", kFieldString, kArgument, S::Argument, 0},
    {"PARAM_NAME", kFieldString, kQuery, S::Query, 5},
    {"PARAM_POSITION", kFieldInt16, 2, S::Query, 6},
    {"PARAM_TYPE", kFieldInt16, 2, S::ParamType, 0},
    {"PARAM_DATATYPE", kFieldInt16, 2, S::DataType, 0},
    {"PARAM_SUBTYPE", kFieldInt16, 2, S::DataSubType, 0},
    {"PARAM_TYPENAME", kFieldString, kTypeName, S::DataTypeName, 0},
    {"PARAM_LENGTH", kFieldInt32, 4, S::DataLength, 0},
    {"PARAM_PRECISION", kFieldInt16, 2, S::DataPrecision, 0},
    {"PARAM_SCALE", kFieldInt16, 2, S::DataScale, 0},
    {"PARAM_NULLABLE", kFieldInt16, 2, S::Nullable, 0},
};

constexpr MetaColumn kIndices[] = {
    {"RECNO", kFieldInt32, 4, S::RowNumber, 0},
    {"CATALOG_NAME", kFieldString, kNullText, S::NullText, 0},
    {"SCHEMA_NAME", kFieldString, kNullText, S::NullText, 0},
    {"TABLE_NAME", kFieldString, kArgument, S::Argument, 0},
    {"INDEX_NAME", kFieldString, kQuery, S::Query, 5},
    {"COLUMN_NAME", kFieldString, kQuery, S::Query, 6},
    {"COLUMN_POSITION", kFieldInt16, 2, S::Query, 7},
    {"PKEY_NAME", kFieldString, kQuery, S::PrimaryKeyName, 5},
    {"INDEX_TYPE", kFieldInt32, 4, S::IndexType, 0},
    {"SORT_ORDER", kFieldString, 2, S::SortOrder, 0},
    {"FILTER", kFieldString, kNullText, S::NullText, 0},
};

constexpr DataTypeEntry kDataTypes[kDataTypeCount] = {
    {9, kFieldBytes, 0, "ARRAY", 0},
    {261, kFieldBlob, kSubtypeBinary, "BLOB(,2)", 18},
    {14, kFieldString, kSubtypeFixed, "CHAR", 0},
    {35, kFieldTimestamp, 0, "DATE", 16},
    {11, kFieldBcd, 0, "DECIMAL", 34},
    {27, kFieldFloat, 0, "DOUBLE PRECISION", 8},
    {10, kFieldFloat, 0, "FLOAT", 8},
    {8, kFieldInt32, 0, "INTEGER", 4},
    {40, kFieldString, 0, "CHAR", 0},
    {7, kFieldInt16, 0, "SMALLINT", 2},
    {261, kFieldBlob, kSubtypeMemo, "BLOB(,1)", 18},
    {37, kFieldString, 0, "VARCHAR", 0},
    {16, kFieldBcd, 0, "NUMERIC", 34},
    {13, kFieldTime, 0, "TIME", 4},
    {12, kFieldDate, 0, "DATE", 4},
};

template <std::size_t N>
constexpr MetaLayout Layout(const MetaColumn (&columns)[N]) {
    return {columns, static_cast<std::uint16_t>(N)};
}

}  // namespace

MetaLayout LayoutOf(MetaList list) {
    switch (list) {
        case MetaList::Tables:
            return Layout(kTables);
        case MetaList::Procedures:
            return Layout(kProcedures);
        case MetaList::Columns:
            return Layout(kColumns);
        case MetaList::ProcedureParams:
            return Layout(kProcedureParams);
        case MetaList::Indices:
            return Layout(kIndices);
        case MetaList::DataTypes:
            return Layout(kDataTypeNames);
        case MetaList::Objects:
            break;
    }
    return Layout(kObjects);
}

const DataTypeEntry& DataTypeAt(int index) {
    return kDataTypes[index];
}

const DataTypeEntry* FindDataType(std::int32_t fieldType) {
    for (const DataTypeEntry& entry : kDataTypes)
        if (entry.fieldType == fieldType) return &entry;
    return nullptr;
}

}  // namespace basalt
