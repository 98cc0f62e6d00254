// Command options against a real database: cursor names, the chosen transaction, native handle.
#include <gtest/gtest.h>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

namespace {

ResultCode Transaction(SQLConnection* connection, ResultCode (SQLConnection::*operation)(TransactionDesc*),
                       std::uint32_t id) {
    TransactionDesc desc{id, 0, 0};
    return (connection->*operation)(&desc);
}

std::string Names(SQLConnection* connection) {
    Query q(connection, "SELECT NAME FROM R ORDER BY ID");
    std::string names;
    while (q.next()) names += q.text(1);
    return names;
}

}  // namespace

TEST(CommandOptions, NamedCursorTakesAPositionedUpdate) {
    RealDatabase database(
        "CREATE TABLE R (ID INTEGER, NAME VARCHAR(10));"
        "INSERT INTO R VALUES (1, 'a'); INSERT INTO R VALUES (2, 'b');");
    Ref<SQLConnection> connection(database.connect());
    Ref<SQLCommand> reader;
    connection->createCommand(reader.out());
    ASSERT_EQ(reader->prepare("SELECT ID FROM R ORDER BY ID FOR UPDATE", 0), kResultOk);
    ASSERT_EQ(reader->setOption(kCommOptionCursorName, reinterpret_cast<std::intptr_t>("WALKER")), kResultOk)
        << ErrorText(reader.get());
    Ref<SQLCursor> cursor;
    ASSERT_EQ(reader->execute(cursor.out()), kResultOk);
    ASSERT_EQ(cursor->next(), kResultOk);
    ASSERT_EQ(cursor->next(), kResultOk);
    std::int32_t rows = 0;
    EXPECT_EQ(Execute(connection.get(), "UPDATE R SET NAME = 'z' WHERE CURRENT OF WALKER", &rows), kResultOk);
    EXPECT_EQ(rows, 1);
    cursor.reset();
    EXPECT_EQ(Names(connection.get()), "az");

    std::uint32_t handle = 0;
    std::int16_t length = 0;
    EXPECT_EQ(reader->getOption(kCommOptionNativeHandle, &handle, 4, &length), kResultOk);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(reader->setOption(kCommOptionCursorName, 0), kResultMissingPointer);
    reader.reset();
    EXPECT_EQ(connection->disconnect(), kResultOk);
}

TEST(CommandOptions, ChosenTransactionCarriesTheStatements) {
    RealDatabase database("CREATE TABLE R (ID INTEGER, NAME VARCHAR(10));");
    Ref<SQLConnection> connection(database.connect());
    ASSERT_EQ(Transaction(connection.get(), &SQLConnection::beginTransaction, 7), kResultOk);
    ASSERT_EQ(Transaction(connection.get(), &SQLConnection::beginTransaction, 8), kResultOk);
    Ref<SQLCommand> inSeven, inEight;
    connection->createCommand(inSeven.out());
    connection->createCommand(inEight.out());
    EXPECT_EQ(inSeven->setOption(kCommOptionTransaction, 0), kResultNoTransaction);
    EXPECT_EQ(inSeven->setOption(kCommOptionTransaction, 9), kResultNoTransaction);
    ASSERT_EQ(inSeven->setOption(kCommOptionTransaction, 7), kResultOk);
    std::int32_t chosen = 0;
    EXPECT_EQ(inSeven->getOption(kCommOptionTransaction, &chosen, 4, nullptr), kResultOk);
    EXPECT_EQ(chosen, 7);
    ASSERT_EQ(inSeven->executeDirect("INSERT INTO R VALUES (1, 'seven')", nullptr), kResultOk);
    ASSERT_EQ(inEight->executeDirect("INSERT INTO R VALUES (2, 'eight')", nullptr), kResultOk);  // the current one
    inSeven->close();
    inEight->close();
    EXPECT_EQ(Transaction(connection.get(), &SQLConnection::rollback, 7), kResultOk);
    EXPECT_EQ(Transaction(connection.get(), &SQLConnection::commit, 8), kResultOk);
    // With no explicit transaction left, statements use the default one again.
    EXPECT_EQ(Names(connection.get()), "eight");
    inSeven.reset();
    inEight.reset();
    EXPECT_EQ(connection->disconnect(), kResultOk);
}

TEST(CommandOptions, MoreThan407ColumnsAreRefused) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect());
    Ref<SQLCommand> command;
    connection->createCommand(command.out());
    auto select = [](int columns) {
        std::string sql = "SELECT 1 AS C1";
        for (int i = 2; i <= columns; ++i) sql += ", 1 AS C" + std::to_string(i);
        return sql + " FROM RDB$DATABASE";
    };
    EXPECT_EQ(command->prepare(select(408).c_str(), 0), kResultClientNoMemory);
    ASSERT_EQ(command->prepare(select(407).c_str(), 0), kResultOk) << ErrorText(command.get());
    Ref<SQLCursor> cursor;
    ASSERT_EQ(command->execute(cursor.out()), kResultOk);
    std::uint16_t count = 0;
    cursor->getColumnCount(&count);
    EXPECT_EQ(count, 407);
    cursor.reset();
    command.reset();
    EXPECT_EQ(connection->disconnect(), kResultOk);
}

TEST(CommandOptions, OptionValuesAndRefusals) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect());
    Ref<SQLCommand> command;
    connection->createCommand(command.out());
    std::int32_t value = -1;
    EXPECT_EQ(command->getOption(kCommOptionDialect, &value, 4, nullptr), kResultOk);
    EXPECT_EQ(value, 3) << "taken from the connection";
    EXPECT_EQ(command->setOption(kCommOptionParamCount, 2), kResultOk);
    EXPECT_EQ(command->getOption(kCommOptionParamCount, &value, 4, nullptr), kResultOk);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(command->setOption(kCommOptionBlobSize, 99), kResultOk);
    EXPECT_EQ(command->getOption(kCommOptionBlobSize, &value, 4, nullptr), kResultNotSupported);
    EXPECT_EQ(command->setOption(10, 1), kResultOk);
    EXPECT_EQ(command->setOption(2, 1), kResultNotSupported);
    EXPECT_EQ(command->getOption(3, &value, 4, nullptr), kResultOk);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(command->getOption(kCommOptionDialect, nullptr, 4, nullptr), kResultMissingPointer);
    Ref<SQLCursor> cursor;
    EXPECT_EQ(command->nextResult(cursor.out()), kResultNotSupported);
    command.reset();
    EXPECT_EQ(connection->disconnect(), kResultOk);
}
