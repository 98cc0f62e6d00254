// Metadata lists of the EMPLOYEE sample database, checked against what isql-fb shows of the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/driver/employee_db.h"

using namespace drivertest;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> values) {
    std::sort(values.begin(), values.end());
    return values;
}

// Names listed by a SHOW command that prints them in columns.
std::vector<std::string> ShownNames(const EmployeeDatabase& database, const std::string& show) {
    std::vector<std::string> names;
    for (const std::string& line : database.isqlLines(show + ";"))
        for (const std::string& word : Words(line)) names.push_back(word);
    return Sorted(names);
}

// isql output of several commands, each introduced by a marker line "@@ <key>".
std::map<std::string, std::vector<std::string>> Sections(const EmployeeDatabase& database,
                                                         const std::vector<std::string>& keys,
                                                         const std::string& command) {
    std::string script = "SET HEADING OFF;\n";
    for (const std::string& key : keys)
        script += "SELECT '@@ " + key + "' FROM RDB$DATABASE;\n" + command + " " + key + ";\n";
    std::map<std::string, std::vector<std::string>> sections;
    std::vector<std::string>* current = nullptr;
    for (const std::string& line : database.isqlLines(script)) {
        if (line.rfind("@@ ", 0) == 0)
            current = &sections[line.substr(3)];
        else if (current)
            current->push_back(line);
    }
    return sections;
}

MetaList Request(SQLMetaData* metadata, ResultCode (SQLMetaData::*request)(const char*, std::uint32_t, SQLCursor**),
                 const char* name, std::uint32_t flags) {
    Ref<SQLCursor> cursor;
    EXPECT_EQ((metadata->*request)(name, flags, cursor.out()), kResultOk);
    return cursor.get() ? ReadList(cursor.get()) : MetaList{};
}

MetaList Tables(SQLMetaData* metadata, std::uint32_t flags, const char* pattern = "") {
    return Request(metadata, &SQLMetaData::getTables, pattern, flags);
}

MetaList ObjectList(SQLMetaData* metadata, std::uint8_t kind) {
    Ref<SQLCursor> cursor;
    EXPECT_EQ(metadata->getObjectList(kind, cursor.out()), kResultOk) << int(kind);
    return cursor.get() ? ReadList(cursor.get()) : MetaList{};
}

// The list's type name and length of a type as isql-fb prints it; the length counts a terminator
// in the column list only. Exact numerics are stored in 16, 32 or 64 bits by their precision.
struct ExpectedType {
    std::string name;
    int length;
};
ExpectedType TypeOf(const std::string& shown, bool columnList) {
    int extra = columnList ? 1 : 0;
    auto number = [&](std::size_t at) { return std::stoi(shown.substr(at)); };
    if (shown.rfind("VARCHAR(", 0) == 0) return {"VARCHAR", number(8) + extra};
    if (shown.rfind("CHAR(", 0) == 0) return {"CHAR", number(5) + extra};
    if (shown.rfind("NUMERIC(", 0) == 0 || shown.rfind("DECIMAL(", 0) == 0) {
        int precision = number(8);
        if (precision <= 4 && shown[0] == 'N') return {"SMALLINT", 2};
        return precision <= 9 ? ExpectedType{"INTEGER", 4} : ExpectedType{"NUMERIC", 34};
    }
    if (shown.rfind("BLOB", 0) == 0) return {"BLOB(,2)", 18};
    if (shown == "TIMESTAMP") return {"DATE", 16};
    if (shown == "DATE") return {"DATE", 4};
    if (shown == "TIME") return {"TIME", 4};
    if (shown == "SMALLINT") return {"SMALLINT", 2};
    if (shown == "INTEGER") return {"INTEGER", 4};
    if (shown == "DOUBLE PRECISION" || shown == "FLOAT") return {shown, 8};
    return {"unknown type " + shown, 0};
}

constexpr const char* kTablesFlagOneText =
    "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$RELATION_NAME, A.RDB$VIEW_SOURCE, A.RDB$SYSTEM_FLAG FROM RDB$RELATIONS A "
    "WHERE (A.RDB$VIEW_SOURCE IS NULL) AND (A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL) "
    "ORDER BY A.RDB$RELATION_NAME";
constexpr const char* kProceduresText =
    "SELECT 0, '', A.RDB$OWNER_NAME, A.RDB$PROCEDURE_NAME, 0, A.RDB$PROCEDURE_INPUTS, A.RDB$PROCEDURE_OUTPUTS, "
    "A.RDB$SYSTEM_FLAG FROM RDB$PROCEDURES A WHERE (A.RDB$SYSTEM_FLAG <> 1 OR A.RDB$SYSTEM_FLAG IS NULL) AND "
    " A.RDB$PROCEDURE_NAME LIKE '";

}  // namespace

TEST(EmployeeMetadata, TablesViewsAndSystemTablesMatchWhatIsqlShows) {
    EmployeeDatabase database;
    std::vector<std::string> tables = ShownNames(database, "SHOW TABLES");
    std::vector<std::string> views = ShownNames(database, "SHOW VIEWS");
    std::vector<std::string> system = ShownNames(database, "SHOW SYSTEM TABLES");
    std::map<std::string, std::string> owners;
    for (const std::string& line : database.isqlColumn("SELECT TRIM(RDB$RELATION_NAME) || ' ' || "
                                                       "TRIM(RDB$OWNER_NAME) FROM RDB$RELATIONS"))
        owners[Words(line)[0]] = Words(line)[1];
    ASSERT_EQ(views, std::vector<std::string>{"PHONE_LIST"});
    ASSERT_GE(tables.size(), 10u);

    for (int dialect : {3, 1}) {
        SCOPED_TRACE("dialect " + std::to_string(dialect));
        Ref<SQLConnection> connection(database.connect(dialect));
        Ref<SQLMetaData> metadata;
        ASSERT_EQ(connection->createMetaData(metadata.out()), kResultOk);

        TraceRecorder trace(connection.get());
        MetaList list = Tables(metadata.get(), 1);
        EXPECT_EQ(trace.takeStatements(), std::vector<std::string>{kTablesFlagOneText});
        EXPECT_EQ(list.end, kResultEndOfData);
        EXPECT_EQ(ColumnOf(list, "TABLE_NAME"), tables) << "in the order of their names";
        for (std::size_t i = 0; i < list.rows.size(); ++i) {
            const MetaRow& row = list.rows[i];
            EXPECT_EQ(row.at("RECNO"), std::to_string(i + 1));
            EXPECT_EQ(row.at("CATALOG_NAME"), "<NULL>");
            EXPECT_EQ(row.at("SCHEMA_NAME"), owners[row.at("TABLE_NAME")]);
            EXPECT_EQ(row.at("TABLE_TYPE"), "1");
        }
        EXPECT_EQ(ColumnOf(Tables(metadata.get(), 0), "TABLE_NAME"), tables) << "no flags means tables";

        list = Tables(metadata.get(), 2);
        EXPECT_EQ(ColumnOf(list, "TABLE_NAME"), views);
        EXPECT_EQ(ColumnOf(list, "TABLE_TYPE"), std::vector<std::string>(views.size(), "2"));

        list = Tables(metadata.get(), 4);
        EXPECT_EQ(Sorted(ColumnOf(list, "TABLE_NAME")), system);
        EXPECT_EQ(ColumnOf(list, "TABLE_TYPE"), std::vector<std::string>(system.size(), "5"));

        list = Tables(metadata.get(), 1 | 2);
        EXPECT_EQ(list.rows.size(), tables.size() + views.size());
        list = Tables(metadata.get(), 1 | 2 | 4);
        EXPECT_EQ(list.rows.size(), tables.size() + views.size() + system.size());
        // A pattern limits views and system tables alike.
        list = Tables(metadata.get(), 2 | 4, "%PHONE%");
        EXPECT_EQ(ColumnOf(list, "TABLE_NAME"), views);
        list = Tables(metadata.get(), 2 | 4, "RDB$RELATION%");
        for (const std::string& name : ColumnOf(list, "TABLE_NAME")) EXPECT_EQ(name.rfind("RDB$RELATION", 0), 0u);
        EXPECT_FALSE(list.rows.empty());
        // A name without a wildcard finds the table of that name (and those it begins).
        EXPECT_EQ(ColumnOf(Tables(metadata.get(), 1, "EMPLOYEE"), "TABLE_NAME"),
                  (std::vector<std::string>{"EMPLOYEE", "EMPLOYEE_PROJECT"}));
    }
}

TEST(EmployeeMetadata, ObjectListsMatchIsql) {
    EmployeeDatabase database;
    std::vector<std::string> tables = ShownNames(database, "SHOW TABLES");
    std::vector<std::string> views = ShownNames(database, "SHOW VIEWS");
    std::vector<std::string> users =
        database.isqlColumn("SELECT DISTINCT TRIM(RDB$USER) FROM RDB$USER_PRIVILEGES ORDER BY 1");
    std::vector<std::string> roles = database.isqlColumn("SELECT TRIM(RDB$ROLE_NAME) FROM RDB$ROLES ORDER BY 1");
    std::vector<std::string> procedures = database.isqlColumn("SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES");

    Ref<SQLConnection> connection(database.connect());
    Ref<SQLMetaData> metadata;
    ASSERT_EQ(connection->createMetaData(metadata.out()), kResultOk);
    EXPECT_EQ(ColumnOf(ObjectList(metadata.get(), kObjectListTables), "OBJECT_NAME"), tables);
    EXPECT_EQ(ColumnOf(ObjectList(metadata.get(), kObjectListViews), "OBJECT_NAME"), views);
    EXPECT_EQ(ColumnOf(ObjectList(metadata.get(), kObjectListProcedures), "OBJECT_NAME"), Sorted(procedures));
    EXPECT_EQ(ColumnOf(ObjectList(metadata.get(), kObjectListUsers), "OBJECT_NAME"), users);
    MetaList list = ObjectList(metadata.get(), kObjectListRoles);
    EXPECT_EQ(ColumnOf(list, "OBJECT_NAME"), roles);
    EXPECT_EQ(ColumnOf(list, "SCHEMA"), std::vector<std::string>(roles.size(), "<NULL>"));
    EXPECT_EQ(ColumnOf(list, "CATEGORY"), std::vector<std::string>(roles.size(), "<NULL>"));

    list = ObjectList(metadata.get(), kObjectListTypes);
    EXPECT_EQ(
        ColumnOf(list, "OBJECT_NAME"),
        (std::vector<std::string>{"ARRAY", "BLOB(,2)", "CHAR", "DATE", "DECIMAL", "DOUBLE PRECISION", "FLOAT",
                                  "INTEGER", "CHAR", "SMALLINT", "BLOB(,1)", "VARCHAR", "NUMERIC", "TIME", "DATE"}));
    EXPECT_EQ(list.rows.back().at("RECNO"), "15");
    EXPECT_EQ(list.end, kResultEndOfList);

    for (std::uint8_t kind : {0, 4, 8, 255}) {
        SQLCursor* cursor = nullptr;
        EXPECT_EQ(metadata->getObjectList(kind, &cursor), kResultNotSupported) << int(kind);
        EXPECT_EQ(cursor, nullptr);
    }
}

TEST(EmployeeMetadata, ProceduresAndTheirParametersMatchShowProcedure) {
    EmployeeDatabase database;
    std::vector<std::string> names;
    bool listing = false;
    for (const std::string& line : database.isqlLines("SHOW PROCEDURES;")) {
        if (listing && line[0] != ' ') names.push_back(Words(line)[0]);
        listing = listing || line.rfind("====", 0) == 0;
    }
    ASSERT_GE(names.size(), 10u);
    // Per procedure: parameter name -> "INPUT <type>" or "OUTPUT <type>".
    std::map<std::string, std::map<std::string, std::string>> shown;
    for (auto& [name, lines] : Sections(database, names, "SHOW PROCEDURE")) {
        bool parameters = false;
        for (const std::string& line : lines) {
            if (parameters) {
                std::vector<std::string> words = Words(line);
                shown[name][words.at(0)] = line.substr(line.find(words.at(1)));
            }
            parameters = parameters || line == "Parameters:";
        }
    }

    Ref<SQLConnection> connection(database.connect());
    Ref<SQLMetaData> metadata;
    ASSERT_EQ(connection->createMetaData(metadata.out()), kResultOk);
    MetaList list = Request(metadata.get(), &SQLMetaData::getProcedures, "", 1);
    EXPECT_EQ(ColumnOf(list, "PROC_NAME"), names);
    for (const MetaRow& row : list.rows) {
        const auto& parameters = shown[row.at("PROC_NAME")];
        auto inputs = std::count_if(parameters.begin(), parameters.end(),
                                    [](const auto& p) { return p.second.rfind("INPUT ", 0) == 0; });
        EXPECT_EQ(row.at("IN_PARAMS"), std::to_string(inputs)) << row.at("PROC_NAME");
        EXPECT_EQ(row.at("OUT_PARAMS"), std::to_string(parameters.size() - inputs)) << row.at("PROC_NAME");
        EXPECT_EQ(row.at("PROC_TYPE"), "1");
    }

    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Ref<SQLCursor> cursor;
        ASSERT_EQ(metadata->getProcedureParams(name.c_str(), "", cursor.out()), kResultOk);
        MetaList params = ReadList(cursor.get());
        std::map<std::string, std::string> expected = shown[name];
        ASSERT_EQ(params.rows.size(), expected.size());
        for (const MetaRow& row : params.rows) {
            const std::string& description = expected[row.at("PARAM_NAME")];
            bool input = description.rfind("INPUT ", 0) == 0;
            EXPECT_EQ(row.at("PARAM_TYPE"), input ? "1" : "2") << row.at("PARAM_NAME");
            ExpectedType type = TypeOf(description.substr(input ? 6 : 7), false);
            EXPECT_EQ(row.at("PARAM_TYPENAME"), type.name) << row.at("PARAM_NAME");
            EXPECT_EQ(row.at("PARAM_LENGTH"), std::to_string(type.length)) << row.at("PARAM_NAME");
            EXPECT_EQ(row.at("PROCEDURE_NAME"), name);
        }
    }

    // A pattern without a wildcard matches the names it begins, one with a wildcard is used as given.
    TraceRecorder trace(connection.get());
    list = Request(metadata.get(), &SQLMetaData::getProcedures, "DEPT", 1);
    EXPECT_EQ(trace.takeStatements(),
              std::vector<std::string>{std::string(kProceduresText) + "DEPT%'  ORDER BY A.RDB$PROCEDURE_NAME"});
    std::vector<std::string> expected;
    std::copy_if(names.begin(), names.end(), std::back_inserter(expected),
                 [](const std::string& n) { return n.rfind("DEPT", 0) == 0; });
    EXPECT_EQ(ColumnOf(list, "PROC_NAME"), expected);

    list = Request(metadata.get(), &SQLMetaData::getProcedures, "%EMP%", 1);
    EXPECT_EQ(trace.takeStatements(),
              std::vector<std::string>{std::string(kProceduresText) + "%EMP%'  ORDER BY A.RDB$PROCEDURE_NAME"});
    expected.clear();
    std::copy_if(names.begin(), names.end(), std::back_inserter(expected),
                 [](const std::string& n) { return n.find("EMP") != std::string::npos; });
    EXPECT_EQ(ColumnOf(list, "PROC_NAME"), expected);
}

TEST(EmployeeMetadata, ColumnsOfEveryTableMatchShowTable) {
    EmployeeDatabase database;
    std::vector<std::string> tables = ShownNames(database, "SHOW TABLES");
    auto sections = Sections(database, tables, "SHOW TABLE");

    Ref<SQLConnection> connection(database.connect());
    Ref<SQLMetaData> metadata;
    ASSERT_EQ(connection->createMetaData(metadata.out()), kResultOk);
    int checkedTypes = 0, defaults = 0, domainNotNull = 0;
    for (const std::string& table : tables) {
        SCOPED_TRACE(table);
        Ref<SQLCursor> cursor;
        ASSERT_EQ(metadata->getColumns(table.c_str(), "", 0, cursor.out()), kResultOk);
        MetaList list = ReadList(cursor.get());
        std::map<std::string, MetaRow> byName;
        for (const MetaRow& row : list.rows) byName[row.at("COLUMN_NAME")] = row;
        std::vector<std::string> names;
        for (const std::string& line : sections[table]) {
            if (line[0] == ' ' || line[0] == '\t') continue;
            if (line.rfind("CONSTRAINT ", 0) == 0 || line.rfind("Triggers on", 0) == 0) break;
            std::string name = Words(line)[0];
            std::string rest = line.substr(name.size());
            rest.erase(0, rest.find_first_not_of(' '));
            bool domain = rest[0] == '(';
            if (domain) rest.erase(0, rest.find(") ") + 2);
            names.push_back(name);
            const MetaRow& row = byName[name];
            EXPECT_EQ(row.at("TABLE_NAME"), table);
            EXPECT_EQ(row.at("COLUMN_POSITION"), std::to_string(names.size() - 1)) << name;
            if (rest.rfind("Computed by", 0) == 0 || rest.rfind("ARRAY", 0) == 0) continue;
            std::size_t nullable = rest.find(" Nullable"), notNull = rest.find(" Not Null");
            ExpectedType type = TypeOf(rest.substr(0, std::min(nullable, notNull)), true);
            EXPECT_EQ(row.at("COLUMN_TYPENAME"), type.name) << name;
            EXPECT_EQ(row.at("COLUMN_LENGTH"), std::to_string(type.length)) << name;
            EXPECT_EQ(row.at("COLUMN_NULLABLE"), notNull == std::string::npos ? "1" : "0") << name;
            bool hasDefault = rest.find(" DEFAULT ") != std::string::npos;
            EXPECT_EQ(row.at("COLUMN_TYPE"), hasDefault ? "8" : "0") << name;
            ++checkedTypes;
            defaults += hasDefault;
            domainNotNull += domain && notNull != std::string::npos;
        }
        EXPECT_EQ(ColumnOf(list, "COLUMN_NAME"), Sorted(names));
    }
    EXPECT_GT(checkedTypes, 50);
    EXPECT_GT(defaults, 5);
    EXPECT_GT(domainNotNull, 5);

    // Only the columns that have a default, by flag 8.
    Ref<SQLCursor> cursor;
    ASSERT_EQ(metadata->getColumns("EMPLOYEE", "", 8, cursor.out()), kResultOk);
    EXPECT_EQ(ColumnOf(ReadList(cursor.get()), "COLUMN_NAME"), (std::vector<std::string>{"HIRE_DATE", "SALARY"}));
    ASSERT_EQ(metadata->getColumns("EMPLOYEE", "JOB", 0, cursor.out()), kResultOk);
    EXPECT_EQ(ColumnOf(ReadList(cursor.get()), "COLUMN_NAME"),
              (std::vector<std::string>{"JOB_CODE", "JOB_COUNTRY", "JOB_GRADE"}));
}

TEST(EmployeeMetadata, IndicesMatchShowIndex) {
    EmployeeDatabase database;
    // "NAME [UNIQUE] [DESCENDING] INDEX ON TABLE(COLUMN, ...)"
    struct ShownIndex {
        std::string table, flags, columns;
    };
    std::map<std::string, ShownIndex> shown;
    std::set<std::string> tables;
    for (const std::string& line : database.isqlLines("SHOW INDEX;")) {
        std::size_t on = line.find("INDEX ON ");
        if (on == std::string::npos) continue;
        std::string name = Words(line)[0];
        std::string target = line.substr(on + 9);
        std::string table = target.substr(0, target.find('('));
        std::string columns = target.substr(table.size() + 1, target.find(')') - table.size() - 1);
        columns.erase(std::remove(columns.begin(), columns.end(), ' '), columns.end());
        shown[name] = {table, line.substr(name.size(), on - name.size()), columns};
        tables.insert(table);
    }
    ASSERT_TRUE(shown.count("MAXSALX") && shown.count("PRODTYPEX")) << "a descending and a unique index";

    Ref<SQLConnection> connection(database.connect());
    Ref<SQLMetaData> metadata;
    ASSERT_EQ(connection->createMetaData(metadata.out()), kResultOk);
    std::size_t listed = 0;
    for (const std::string& table : tables) {
        SCOPED_TRACE(table);
        MetaList list = Request(metadata.get(), &SQLMetaData::getIndices, table.c_str(), 0);
        EXPECT_EQ(list.end, kResultEndOfData);
        std::map<std::string, std::map<int, std::string>> segments;
        for (const MetaRow& row : list.rows) {
            const std::string& name = row.at("INDEX_NAME");
            ASSERT_TRUE(shown.count(name)) << name;
            const ShownIndex& index = shown[name];
            EXPECT_EQ(row.at("TABLE_NAME"), table);
            bool unique = index.flags.find("UNIQUE") != std::string::npos;
            bool primary = name.find("PRIMARY") != std::string::npos;
            EXPECT_EQ(row.at("INDEX_TYPE"), std::to_string((unique ? 2 : 1) + (primary ? 4 : 0))) << name;
            EXPECT_EQ(row.at("PKEY_NAME"), primary ? name : "(null)") << name;
            EXPECT_EQ(row.at("SORT_ORDER"), index.flags.find("DESCENDING") != std::string::npos ? "D" : "A") << name;
            EXPECT_EQ(row.at("FILTER"), "<NULL>");
            segments[name][std::stoi(row.at("COLUMN_POSITION"))] = row.at("COLUMN_NAME");
        }
        for (auto& [name, columns] : segments) {
            std::string joined;
            for (auto& [position, column] : columns) joined += (joined.empty() ? "" : ",") + column;
            EXPECT_EQ(joined, shown[name].columns) << name;
            EXPECT_EQ(shown[name].table, table) << name;
        }
        listed += segments.size();

        // Unique ones only by flag 2, the others by flag 1.
        for (std::uint32_t flags : {1u, 2u}) {
            for (const std::string& name :
                 ColumnOf(Request(metadata.get(), &SQLMetaData::getIndices, table.c_str(), flags), "INDEX_NAME"))
                EXPECT_EQ(shown[name].flags.find("UNIQUE") != std::string::npos, flags == 2) << name;
        }
    }
    EXPECT_EQ(listed, shown.size()) << "every index of every table";
    // The table name is compared in upper case.
    EXPECT_EQ(Request(metadata.get(), &SQLMetaData::getIndices, "employee", 0).rows.size(),
              Request(metadata.get(), &SQLMetaData::getIndices, "EMPLOYEE", 0).rows.size());
}
