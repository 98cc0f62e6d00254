// Metadata requests: names with quotes, failed and unsupported requests, options, the list cursor's
// column descriptions and getters, and who holds what.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/driver/employee_db.h"

using namespace drivertest;

namespace {

class MetadataTest : public ::testing::Test {
protected:
    explicit MetadataTest(const std::string& script = "") : database_(script) {
        *connection_.out() = database_.connect();
        EXPECT_EQ(connection_->createMetaData(metadata_.out()), kResultOk);
    }

    // Runs a request and reads its whole list.
    static MetaList Read(const std::function<ResultCode(SQLCursor**)>& request) {
        Ref<SQLCursor> cursor;
        EXPECT_EQ(request(cursor.out()), kResultOk);
        return cursor.get() ? ReadList(cursor.get()) : MetaList{};
    }
    MetaList Tables(const char* pattern, std::uint32_t flags) {
        return Read([&](SQLCursor** c) { return metadata_->getTables(pattern, flags, c); });
    }
    MetaList Columns(const char* table) {
        return Read([&](SQLCursor** c) { return metadata_->getColumns(table, "", 0, c); });
    }
    MetaList Indices(const char* table) {
        return Read([&](SQLCursor** c) { return metadata_->getIndices(table, 0, c); });
    }
    std::string SavedError() {
        std::int16_t length = -1;
        EXPECT_EQ(metadata_->getErrorLength(&length), kResultOk);
        if (length == 0) return "";
        std::string text(static_cast<std::size_t>(length), '\x7f');
        EXPECT_EQ(metadata_->getErrorText(text.data()), kResultOk);
        EXPECT_EQ(text.back(), '\0') << "the length counts the terminator";
        return text.substr(0, text.size() - 1);
    }

    EmployeeDatabase database_;
    Ref<SQLConnection> connection_;
    Ref<SQLMetaData> metadata_;
};

class QuotedNames : public MetadataTest {
protected:
    QuotedNames() : MetadataTest(R"(CREATE TABLE "IT'S" (WHO VARCHAR(10) NOT NULL PRIMARY KEY, N INTEGER);)") {}
};

}  // namespace

TEST_F(QuotedNames, QuotesInNamesAndPatternsStayInsideTheirLiterals) {
    EXPECT_EQ(ColumnOf(Tables("IT'S", 1), "TABLE_NAME"), std::vector<std::string>{"IT'S"});
    MetaList columns = Columns("IT'S");
    EXPECT_EQ(ColumnOf(columns, "COLUMN_NAME"), (std::vector<std::string>{"N", "WHO"}));
    EXPECT_EQ(ColumnOf(columns, "TABLE_NAME"), (std::vector<std::string>{"IT'S", "IT'S"}));
    MetaList indices = Indices("it's");
    ASSERT_EQ(indices.rows.size(), 1u);
    EXPECT_EQ(indices.rows[0].at("COLUMN_NAME"), "WHO");
    EXPECT_EQ(indices.rows[0].at("INDEX_TYPE"), "6");

    // A pattern that would widen the query if its quote ended the literal finds nothing instead.
    MetaList widened = Tables("%' OR 'A' = 'A", 1);
    EXPECT_TRUE(widened.rows.empty()) << widened.rows.size() << " tables";
    EXPECT_EQ(widened.end, kResultEndOfData);
    MetaList params = Read([&](SQLCursor** c) { return metadata_->getProcedureParams("O'NEIL", nullptr, c); });
    EXPECT_TRUE(params.rows.empty());
    EXPECT_EQ(params.end, kResultEndOfData);
    EXPECT_EQ(SavedError(), "") << "every request ran";
}

TEST_F(MetadataTest, FailedRequestGivesAnEmptyListAndKeepsTheErrorText) {
    EXPECT_EQ(SavedError(), "") << "nothing has failed yet";
    // Too long a literal for the engine: the query does not prepare.
    std::string huge(70000, 'X');
    SQLCursor* cursor = nullptr;
    ASSERT_EQ(metadata_->getColumns(huge.c_str(), "", 0, &cursor), kResultOk);
    Ref<SQLCursor> owned(cursor);
    ASSERT_NE(cursor, nullptr);
    std::uint16_t count = 0;
    EXPECT_EQ(cursor->getColumnCount(&count), kResultOk);
    EXPECT_EQ(count, 14);
    EXPECT_EQ(cursor->next(), kResultEndOfList);
    EXPECT_EQ(cursor->next(), kResultEndOfList);
    std::string text = SavedError();
    EXPECT_EQ(text.rfind("String literal with 70000 bytes exceeds", 0), 0u) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(SavedError(), text) << "the text stays until the next failure";

    // Long, but short enough to prepare: the engine refuses the index key when the rows are fetched.
    // That error is the fetch's, and the list's cursor has its text ready.
    std::string longName(40000, 'X');
    ASSERT_EQ(metadata_->getColumns(longName.c_str(), "", 0, owned.out()), kResultOk);
    EXPECT_EQ(owned->next(), kResultClientError);
    char fetchError[300] = {};
    EXPECT_EQ(owned->getErrorText(fetchError), kResultOk);
    EXPECT_NE(std::string(fetchError).find("key size exceeds"), std::string::npos) << fetchError;
    // A failed fetch is not the end of the list: the client is asked again and answers for itself.
    EXPECT_EQ(owned->next(), kResultClientError);
    EXPECT_EQ(owned->getErrorText(fetchError), kResultOk);
    EXPECT_NE(std::string(fetchError), "");
    EXPECT_EQ(std::string(fetchError).find("key size exceeds"), std::string::npos) << "the second failure's own text";

    // Once the connection is detached every request fails the same way.
    ASSERT_EQ(connection_->disconnect(), kResultOk);
    MetaList tables = Tables("", 1);
    EXPECT_TRUE(tables.rows.empty());
    EXPECT_EQ(tables.end, kResultEndOfList);
}

TEST_F(MetadataTest, UnsupportedKindsAndFlagsGiveNoCursor) {
    struct Case {
        const char* what;
        std::function<ResultCode(SQLCursor**)> request;
    };
    SQLMetaData* m = metadata_.get();
    const Case cases[] = {
        {"tables 16", [m](SQLCursor** c) { return m->getTables("", 16, c); }},
        {"tables 33", [m](SQLCursor** c) { return m->getTables("", 33, c); }},
        {"procedures 16", [m](SQLCursor** c) { return m->getProcedures("", 16, c); }},
        {"columns 1", [m](SQLCursor** c) { return m->getColumns("EMPLOYEE", "", 1, c); }},
        {"columns 4", [m](SQLCursor** c) { return m->getColumns("EMPLOYEE", "", 4, c); }},
        {"columns 9", [m](SQLCursor** c) { return m->getColumns("EMPLOYEE", "", 9, c); }},
        {"columns 16", [m](SQLCursor** c) { return m->getColumns("EMPLOYEE", "", 16, c); }},
        {"indices 8", [m](SQLCursor** c) { return m->getIndices("EMPLOYEE", 8, c); }},
        {"object kind 4", [m](SQLCursor** c) { return m->getObjectList(4, c); }},
    };
    for (const Case& c : cases) {
        SQLCursor* cursor = reinterpret_cast<SQLCursor*>(&m);
        EXPECT_EQ(c.request(&cursor), kResultNotSupported) << c.what;
        EXPECT_EQ(cursor, nullptr) << c.what;
    }
    EXPECT_EQ(m->getTables("", 1, nullptr), kResultMissingPointer);
    EXPECT_EQ(m->getObjectList(kObjectListTypes, nullptr), kResultMissingPointer);
    EXPECT_EQ(SavedError(), "") << "refused requests run nothing";
}

TEST_F(MetadataTest, OptionsAnswerForThemselvesOrForTheConnection) {
    char name[] = "employee_x";
    EXPECT_EQ(metadata_->setOption(1, reinterpret_cast<std::intptr_t>(name)), kResultOk);
    EXPECT_STREQ(name, "employee_x") << "the caller's text is only read";
    // A constant text would crash a driver that wrote into it.
    EXPECT_EQ(metadata_->setOption(1, reinterpret_cast<std::intptr_t>("phone_list")), kResultOk);
    char text[32];
    std::memset(text, 0x7f, sizeof text);
    std::int16_t length = -1;
    EXPECT_EQ(metadata_->getOption(1, text, sizeof text, &length), kResultOk);
    EXPECT_STREQ(text, "PHONE_LIST");
    EXPECT_EQ(length, 11);
    std::memset(text, 0x7f, sizeof text);
    EXPECT_EQ(metadata_->getOption(1, text, 5, &length), kResultInvalidValue) << "does not fit";
    EXPECT_EQ(text[0], 0x7f);
    EXPECT_EQ(metadata_->setOption(2, 0), kResultNotSupported);

    auto number = [this](std::uint32_t option, ResultCode expected = kResultOk) {
        std::int32_t value = -1;
        std::int16_t length = -1;
        EXPECT_EQ(metadata_->getOption(option, &value, 4, &length), expected) << "option " << option;
        return value;
    };
    EXPECT_EQ(number(7), 0x8000);
    EXPECT_EQ(number(9), 0x10000);
    number(6, kResultNotSupported);
    EXPECT_EQ(number(16), -1) << "accepted, nothing written";
    // Asked of the connection: host name (not supported), server class, isolation, quote character.
    number(2, kResultNotSupported);
    EXPECT_EQ(number(3), 4);
    EXPECT_EQ(connection_->setOption(kConnOptionIsolation, 1), kResultOk);
    EXPECT_EQ(number(4), 1);
    char quote[4] = {};
    EXPECT_EQ(metadata_->getOption(11, quote, 1, &length), kResultOk);
    EXPECT_EQ(quote[0], '"');
}

TEST_F(MetadataTest, ListCursorsDescribeTheirOwnColumns) {
    // Name columns report the length the catalogue's own name columns have.
    Query names(connection_.get(), "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS");
    std::uint32_t nameLength = 0;
    names.cursor->getColumnLength(1, &nameLength);
    names.cursor.reset();
    names.command.reset();

    Ref<SQLCursor> tables;
    ASSERT_EQ(metadata_->getTables("", 1, tables.out()), kResultOk);
    std::uint16_t count = 0;
    ASSERT_EQ(tables->getColumnCount(&count), kResultOk);
    ASSERT_EQ(count, 5);
    std::uint32_t length = 0;
    EXPECT_EQ(tables->getColumnLength(4, &length), kResultOk);
    EXPECT_EQ(length, nameLength) << "TABLE_NAME";
    for (std::uint16_t column = 1; column <= count; ++column) {
        SCOPED_TRACE(column);
        std::uint16_t type = 0, subType = 9;
        std::int16_t precision = 0, scale = 9;
        std::int32_t flags[4] = {9, 9, 9, 9};
        tables->getColumnType(column, &type, &subType);
        tables->getColumnLength(column, &length);
        tables->getColumnPrecision(column, &precision);
        EXPECT_EQ(precision, type == kFieldString ? length - 1 : length) << "a text's length counts its terminator";
        EXPECT_EQ(tables->getColumnScale(column, &scale), kResultOk);
        EXPECT_EQ(scale, 0);
        tables->isNullable(column, &flags[0]);
        tables->isAutoIncrement(column, &flags[1]);
        tables->isReadOnly(column, &flags[2]);
        tables->isSearchable(column, &flags[3]);
        EXPECT_EQ(std::vector<int>(flags, flags + 4), std::vector<int>({0, 0, 1, 1}));
    }
    EXPECT_EQ(tables->getColumnLength(0, &length), kResultOutOfRange);
    EXPECT_EQ(tables->getColumnLength(6, &length), kResultOutOfRange);

    std::function<ResultCode(SQLCursor**)> lists[] = {
        [this](SQLCursor** c) { return metadata_->getObjectList(kObjectListTypes, c); },
        [this](SQLCursor** c) { return metadata_->getProcedures("", 1, c); },
        [this](SQLCursor** c) { return metadata_->getColumns("EMPLOYEE", "", 0, c); },
        [this](SQLCursor** c) { return metadata_->getProcedureParams("GET_EMP_PROJ", "", c); },
        [this](SQLCursor** c) { return metadata_->getIndices("EMPLOYEE", 0, c); },
    };
    const std::uint16_t counts[] = {4, 7, 14, 14, 11};
    for (int i = 0; i < 5; ++i) {
        Ref<SQLCursor> cursor;
        ASSERT_EQ(lists[i](cursor.out()), kResultOk);
        EXPECT_EQ(cursor->getColumnCount(&count), kResultOk);
        EXPECT_EQ(count, counts[i]) << i;
    }
}

TEST_F(MetadataTest, GettersReadOnlyTheirOwnKindOfColumnAndStayInTheBuffer) {
    SQLCursor* raw = nullptr;
    ASSERT_EQ(metadata_->getColumns("EMPLOYEE", "", 0, &raw), kResultOk);
    Ref<SQLCursor> cursor(raw);
    char text[64];
    std::int32_t blank = -1, number = -1;
    std::int16_t small = -1;
    EXPECT_EQ(cursor->getString(4, text, &blank), kResultNoHandle) << "no row yet";
    ASSERT_EQ(cursor->next(), kResultOk);

    // TABLE_NAME is the request's argument: its length counts the terminator and no more is written.
    std::uint32_t length = 0;
    ASSERT_EQ(cursor->getColumnLength(4, &length), kResultOk);
    EXPECT_EQ(length, std::strlen("EMPLOYEE") + 1);
    std::memset(text, 0x7f, sizeof text);
    EXPECT_EQ(cursor->getString(4, text, &blank), kResultOk);
    EXPECT_STREQ(text, "EMPLOYEE");
    EXPECT_EQ(text[length], 0x7f);
    ASSERT_EQ(cursor->getColumnLength(9, &length), kResultOk);
    EXPECT_EQ(length, 30u) << "COLUMN_TYPENAME";

    EXPECT_EQ(cursor->getInt16(6, &small, &blank), kResultOk) << "COLUMN_POSITION";
    EXPECT_EQ(blank, 0);
    EXPECT_EQ(cursor->getInt32(6, &number, &blank), kResultOk);
    EXPECT_EQ(number, small);
    EXPECT_EQ(cursor->getString(1, text, &blank), kResultTypeMismatch) << "RECNO is a number";
    EXPECT_EQ(cursor->getInt32(5, &number, &blank), kResultTypeMismatch) << "COLUMN_NAME is a text";
    EXPECT_EQ(cursor->getInt32(15, &number, &blank), kResultOutOfRange);
    double real;
    EXPECT_EQ(cursor->getDouble(6, &real, &blank), kResultNotSupported);

    while (cursor->next() == kResultOk) {
    }
    EXPECT_EQ(cursor->next(), kResultEndOfData);
    EXPECT_EQ(cursor->getString(5, text, &blank), kResultEndOfData) << "no row after the end";
}

TEST_F(MetadataTest, ListsKeepWorkingAfterTheCallerReleasesTheConnection) {
    connection_.reset();
    SQLCursor* raw = nullptr;
    ASSERT_EQ(metadata_->getTables("", 2, &raw), kResultOk);
    Ref<SQLCursor> views(raw);
    metadata_.reset();
    ASSERT_EQ(views->next(), kResultOk);
    char name[128] = {};
    std::int32_t blank = -1;
    EXPECT_EQ(views->getString(4, name, &blank), kResultOk);
    EXPECT_STREQ(name, "PHONE_LIST");
    EXPECT_EQ(views->next(), kResultEndOfData);
}
