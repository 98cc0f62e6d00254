// Connections of one driver used on different threads at the same time, each by one thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/driver/driver_test_support.h"
#include "tests/support/firebird_db.h"

using namespace drivertest;

namespace {

// One thread's work: create, connect, query, disconnect and release, `cycles` times. Returns a
// description of the first failure, or an empty text.
std::string Cycles(SQLDriver* driver, const std::string& path, int cycles) {
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // Connections that are never attached also hold the driver's client table; many of them make
        // the two threads' changes to its count meet often.
        for (int spare = 0; spare < 200; ++spare) {
            Ref<SQLConnection> unused;
            if (driver->createConnection(unused.out()) != kResultOk) return "createConnection";
        }
        Ref<SQLConnection> connection;
        if (driver->createConnection(connection.out()) != kResultOk) return "createConnection";
        connection->setOption(kConnOptionDialect, 3);
        if (connection->connect(path.c_str(), plxtest::kDbUser, plxtest::kDbPassword) != kResultOk)
            return "connect: " + ErrorText(connection.get());
        {
            Ref<SQLCommand> command;
            Ref<SQLCursor> cursor;
            if (connection->createCommand(command.out()) != kResultOk) return "createCommand";
            if (command->prepare("SELECT CAST(COUNT(*) AS INTEGER) FROM R", 0) != kResultOk ||
                command->execute(cursor.out()) != kResultOk)
                return "query: " + ErrorText(command.get());
            std::int32_t count = 0, blank = -1;
            if (cursor->next() != kResultOk || cursor->getInt32(1, &count, &blank) != kResultOk || count != 3)
                return "row of cycle " + std::to_string(cycle);
        }
        if (connection->disconnect() != kResultOk) return "disconnect: " + ErrorText(connection.get());
    }
    return "";
}

}  // namespace

TEST(Threads, TwoConnectionsOfOneDriverRunSideBySide) {
    RealDatabase database(
        "CREATE TABLE R (ID INTEGER); INSERT INTO R VALUES (1); INSERT INTO R VALUES (2);"
        "INSERT INTO R VALUES (3);");
    // One connection stays attached throughout, so the engine is not loaded and unloaded each cycle.
    Ref<SQLConnection> keeper(database.connect());
    std::string first, second;
    std::thread a([&] { first = Cycles(database.driver(), database.path(), 200); });
    std::thread b([&] { second = Cycles(database.driver(), database.path(), 200); });
    a.join();
    b.join();
    EXPECT_EQ(first, "");
    EXPECT_EQ(second, "");
    EXPECT_EQ(keeper->disconnect(), kResultOk);
}
