// Texts of the catalogue queries behind the metadata lists.
#include "driver/metadata_sql.h"

#include <cstring>

namespace basalt {
namespace {

constexpr const char* kTablesBase =
    "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$RELATION_NAME, A.RDB$VIEW_SOURCE, A.RDB$SYSTEM_FLAG FROM RDB$RELATIONS A";
constexpr const char* kTablesOrder = " ORDER BY A.RDB$RELATION_NAME";

constexpr const char* kProceduresBase =
    "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$PROCEDURE_NAME, 0, A.RDB$PROCEDURE_INPUTS, A.RDB$PROCEDURE_OUTPUTS, "
    "A.RDB$SYSTEM_FLAG FROM RDB$PROCEDURES A";
constexpr const char* kProceduresOrder = " ORDER BY A.RDB$PROCEDURE_NAME";

// A column's NOT NULL and default may be its own or its domain's.
constexpr const char* kColumnsBase =
    "SELECT 0, '', '', A.RDB$RELATION_NAME, A.RDB$FIELD_NAME, A.RDB$FIELD_POSITION, 0, B.RDB$FIELD_TYPE, '', "
    "B.RDB$FIELD_SUB_TYPE, B.RDB$FIELD_LENGTH, 0, B.RDB$FIELD_SCALE, COALESCE(A.RDB$NULL_FLAG, B.RDB$NULL_FLAG), "
    "COALESCE(A.RDB$DEFAULT_VALUE, B.RDB$DEFAULT_VALUE) "
    "FROM RDB$RELATION_FIELDS A, RDB$FIELDS B WHERE (A.RDB$FIELD_SOURCE = B.RDB$FIELD_NAME)";
constexpr const char* kColumnsOrder = " ORDER BY A.RDB$FIELD_NAME";

constexpr const char* kProcedureParamsBase =
    "SELECT 0, '', '', '', A.RDB$PARAMETER_NAME, A.RDB$PARAMETER_NUMBER, A.RDB$PARAMETER_TYPE, B.RDB$FIELD_TYPE, "
    "B.RDB$FIELD_SUB_TYPE, B.RDB$FIELD_SUB_TYPE, B.RDB$FIELD_LENGTH, 0, B.RDB$FIELD_SCALE, B.RDB$NULL_FLAG, "
    "A.RDB$SYSTEM_FLAG FROM RDB$PROCEDURE_PARAMETERS A, RDB$FIELDS B WHERE (A.RDB$FIELD_SOURCE = B.RDB$FIELD_NAME)";

// The segments are joined to their index explicitly: the engine does not let the ON clause of the
// outer join see a table of a comma-separated FROM list.
constexpr const char* kIndicesBase =
    "SELECT 0, '', '', A.RDB$RELATION_NAME, A.RDB$INDEX_NAME, B.RDB$FIELD_NAME, B.RDB$FIELD_POSITION, '', 0, "
    "A.RDB$INDEX_TYPE, '', A.RDB$UNIQUE_FLAG, C.RDB$CONSTRAINT_NAME, C.RDB$CONSTRAINT_TYPE "
    "FROM RDB$INDICES A JOIN RDB$INDEX_SEGMENTS B ON A.RDB$INDEX_NAME = B.RDB$INDEX_NAME "
    "FULL OUTER JOIN RDB$RELATION_CONSTRAINTS C ON A.RDB$RELATION_NAME = C.RDB$RELATION_NAME "
    "AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
    "WHERE (A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL) AND (A.RDB$INDEX_NAME = B.RDB$INDEX_NAME)";
constexpr const char* kIndicesOrder = " ORDER BY RDB$INDEX_NAME";

constexpr const char* kNotSystem = "(A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL)";
constexpr const char* kSystem = "(A.RDB$SYSTEM_FLAG = 1)";

// A text inside a quoted SQL literal: a quote in it must not end the literal.
std::string Quoted(const char* text) {
    std::string quoted;
    for (const char* c = text ? text : ""; *c; ++c) {
        quoted += *c;
        if (*c == '\'') quoted += '\'';
    }
    return quoted;
}

// "column LIKE 'pattern%'": a pattern without a wildcard matches the names it starts, since
// the catalogue's names are blank-padded and would never equal it.
std::string LikeCondition(const char* column, const char* pattern) {
    std::string condition = " ";
    condition += column;
    condition += " LIKE '";
    condition += Quoted(pattern);
    if (!std::strchr(pattern, '%')) condition += '%';
    condition += "' ";
    return condition;
}

bool HasText(const char* text) {
    return text && *text;
}

// A query text growing by conditions: the first joined with " WHERE " (unless the base text has
// its own), the others with " AND ".
class QueryText {
public:
    QueryText(const char* base, bool baseHasWhere) : text_(base), conditions_(baseHasWhere ? 1 : 0) {}
    void add(const std::string& condition) {
        text_ += conditions_++ == 0 ? " WHERE " : " AND ";
        text_ += condition;
    }
    ResultCode finish(const char* order, std::string* sql) {
        if (order) text_ += order;
        *sql = std::move(text_);
        return kResultOk;
    }

private:
    std::string text_;
    int conditions_;
};

}  // namespace

ResultCode ObjectListSql(std::uint8_t kind, std::string* sql) {
    switch (kind) {
        case kObjectListTables:
            *sql =
                "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$RELATION_NAME FROM RDB$RELATIONS A WHERE "
                "(A.RDB$VIEW_SOURCE IS NULL) AND ((A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL)) "
                "ORDER BY A.RDB$RELATION_NAME";
            return kResultOk;
        case kObjectListViews:
            *sql =
                "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$RELATION_NAME FROM RDB$RELATIONS A WHERE "
                "(A.RDB$VIEW_SOURCE IS NOT NULL) AND ((A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL)) "
                "ORDER BY A.RDB$RELATION_NAME";
            return kResultOk;
        case kObjectListProcedures:
            *sql =
                "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$PROCEDURE_NAME FROM RDB$PROCEDURES A ORDER BY "
                "A.RDB$PROCEDURE_NAME";
            return kResultOk;
        case kObjectListUsers:
            *sql = "SELECT DISTINCT 0, '', '', A.RDB$USER FROM RDB$USER_PRIVILEGES A ORDER BY A.RDB$USER";
            return kResultOk;
        case kObjectListRoles:
            *sql = "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$ROLE_NAME FROM RDB$ROLES A ORDER BY A.RDB$ROLE_NAME";
            return kResultOk;
        default:
            return kResultNotSupported;
    }
}

ResultCode TablesSql(const char* pattern, std::uint32_t flags, std::string* sql) {
    if (flags & (16 | 32)) return kResultNotSupported;
    if (flags == 0) flags = kTableFlagTables;
    bool tables = flags & kTableFlagTables;
    bool views = flags & kTableFlagViews;
    bool system = flags & kTableFlagSystem;

    QueryText text(kTablesBase, false);
    const char* kind = nullptr;
    if (views && !tables) kind = "(A.RDB$VIEW_SOURCE IS NOT NULL)";
    if (tables && !views) kind = "(A.RDB$VIEW_SOURCE IS NULL)";
    if (!system) {
        if (kind) text.add(kind);
        text.add(kNotSystem);
    } else if (!tables && !views) {
        text.add(kSystem);
    } else if (views && kind) {
        // Views or system tables: grouped, so that a name pattern limits both.
        text.add(std::string("(") + kind + " OR " + kSystem + ")");
    } else if (kind) {
        // Tables of both kinds; with views as well there is nothing left to exclude.
        text.add(kind);
    }
    if (HasText(pattern)) text.add(LikeCondition("A.RDB$RELATION_NAME", pattern));
    return text.finish(kTablesOrder, sql);
}

ResultCode ProceduresSql(const char* pattern, std::uint32_t flags, std::string* sql) {
    if (flags > 15) return kResultNotSupported;
    if (flags == 0) flags = 1;
    QueryText text(kProceduresBase, false);
    if (!(flags & kProcedureFlagSystem))
        text.add(kNotSystem);
    else if (!(flags & 3))
        text.add(kSystem);
    if (HasText(pattern)) text.add(LikeCondition("A.RDB$PROCEDURE_NAME", pattern));
    return text.finish(kProceduresOrder, sql);
}

ResultCode ColumnsSql(const char* table, const char* pattern, std::uint32_t flags, std::string* sql) {
    if ((flags & 7) || flags > kColumnFlagDefault) return kResultNotSupported;
    QueryText text(kColumnsBase, true);
    if (flags & kColumnFlagDefault) text.add("COALESCE(A.RDB$DEFAULT_VALUE, B.RDB$DEFAULT_VALUE) IS NOT NULL");
    text.add("(A.RDB$RELATION_NAME = '" + Quoted(table) + "')");
    if (HasText(pattern)) text.add(LikeCondition("A.RDB$FIELD_NAME", pattern));
    return text.finish(kColumnsOrder, sql);
}

ResultCode ProcedureParamsSql(const char* procedure, std::string* sql) {
    QueryText text(kProcedureParamsBase, true);
    text.add("(A.RDB$PROCEDURE_NAME = '" + Quoted(procedure) + "')");
    return text.finish(nullptr, sql);
}

ResultCode IndicesSql(const char* table, std::uint32_t flags, std::string* sql) {
    if (flags > 7) return kResultNotSupported;
    QueryText text(kIndicesBase, true);
    text.add("(A.RDB$RELATION_NAME = UPPER('" + Quoted(table) + "'))");
    if (flags & kIndexFlagPrimaryTables) text.add("(A.RDB$RELATION_NAME = C.RDB$RELATION_NAME)");
    if (flags & kIndexFlagUnique)
        text.add("(A.RDB$UNIQUE_FLAG = 1 AND A.RDB$UNIQUE_FLAG IS NOT NULL)");
    else if (flags & kIndexFlagNonUnique)
        text.add("(A.RDB$UNIQUE_FLAG = 0 OR A.RDB$UNIQUE_FLAG IS NULL)");
    return text.finish(kIndicesOrder, sql);
}

}  // namespace basalt
