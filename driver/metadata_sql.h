// Texts of the catalogue queries behind the metadata lists.
#pragma once

#include <cstdint>
#include <string>

#include "driver/sqldriver.h"

namespace basalt {

// Table-type flags of getTables.
inline constexpr std::uint32_t kTableFlagTables = 1;
inline constexpr std::uint32_t kTableFlagViews = 2;
inline constexpr std::uint32_t kTableFlagSystem = 4;
// Procedure-type flags of getProcedures.
inline constexpr std::uint32_t kProcedureFlagSystem = 8;
// Column-type flag of getColumns: only columns with a default.
inline constexpr std::uint32_t kColumnFlagDefault = 8;
// Index-type flags of getIndices.
inline constexpr std::uint32_t kIndexFlagNonUnique = 1;
inline constexpr std::uint32_t kIndexFlagUnique = 2;
inline constexpr std::uint32_t kIndexFlagPrimaryTables = 4;

// Each writes the query text into *sql and returns 0, or returns 5 for a kind or a flag combination
// that has no list. Names and patterns may hold any text: quotes in them are doubled.
ResultCode ObjectListSql(std::uint8_t kind, std::string* sql);
ResultCode TablesSql(const char* pattern, std::uint32_t flags, std::string* sql);
ResultCode ProceduresSql(const char* pattern, std::uint32_t flags, std::string* sql);
ResultCode ColumnsSql(const char* table, const char* pattern, std::uint32_t flags, std::string* sql);
ResultCode ProcedureParamsSql(const char* procedure, std::string* sql);
ResultCode IndicesSql(const char* table, std::uint32_t flags, std::string* sql);

}  // namespace basalt
