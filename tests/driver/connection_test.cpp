// Connections and explicit transactions against the real client library in embedded mode.
#include <gtest/gtest.h>

#include "tests/driver/driver_test_support.h"
#include "tests/support/firebird_db.h"

using namespace drivertest;

namespace {

ResultCode Begin(SQLConnection* connection, std::uint32_t id, std::uint8_t isolation = 0) {
    TransactionDesc desc{id, 0, isolation};
    return connection->beginTransaction(&desc);
}

ResultCode Commit(SQLConnection* connection, std::uint32_t id) {
    TransactionDesc desc{id, 0, 0};
    return connection->commit(&desc);
}

}  // namespace

TEST(RealConnection, ConnectsWithRoleAndCharacterSetAndReportsClassFour) {
    RealDatabase database("CREATE ROLE WATCHER;");
    Ref<SQLConnection> connection(database.connect(false));
    connection->setOption(kConnOptionRoleName, reinterpret_cast<std::intptr_t>("WATCHER"));
    connection->setOption(kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>("SJIS_0208"));
    ASSERT_EQ(connection->connect(database.path().c_str(), plxtest::kDbUser, plxtest::kDbPassword), kResultOk)
        << ErrorText(connection.get());
    // Nothing has failed yet: no error text, not a spelled-out "error 0".
    std::int16_t length = -1;
    ASSERT_EQ(connection->getErrorLength(&length), kResultOk);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(ErrorText(connection.get()), "");
    std::int32_t serverClass = 0;
    EXPECT_EQ(connection->getOption(kConnOptionServerVersion, &serverClass, 4, nullptr), kResultOk);
    EXPECT_EQ(serverClass, 4);
    EXPECT_EQ(connection->disconnect(), kResultOk);
    EXPECT_EQ(connection->disconnect(), kResultNoHandle);
    // A new attachment after a disconnect.
    EXPECT_EQ(connection->connect(database.path().c_str(), plxtest::kDbUser, plxtest::kDbPassword), kResultOk);
    EXPECT_EQ(connection->disconnect(), kResultOk);
}

TEST(RealConnection, MissingDatabaseGivesAttachFailureWithReadableText) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect(false));
    std::string missing = database.path() + ".missing";
    EXPECT_EQ(connection->connect(missing.c_str(), plxtest::kDbUser, plxtest::kDbPassword), kResultAttachFailed);
    std::string text = ErrorText(connection.get());
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(ErrorText(connection.get()), text) << "the status of the failed attach stays readable";
    EXPECT_EQ(connection->disconnect(), kResultNoHandle);
}

TEST(RealConnection, ExplicitTransactionsBeginOnceAndEndOnce) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect());
    EXPECT_EQ(Begin(connection.get(), 5), kResultOk);
    EXPECT_EQ(Begin(connection.get(), 5), kResultTransactionActive);
    EXPECT_EQ(Commit(connection.get(), 6), kResultNoTransaction);
    EXPECT_EQ(Begin(connection.get(), 7, 1), kResultOk);

    EXPECT_EQ(Commit(connection.get(), 7), kResultOk);
    EXPECT_EQ(Commit(connection.get(), 5), kResultOk);
    EXPECT_EQ(Commit(connection.get(), 5), kResultNoTransaction);
    EXPECT_EQ(connection->disconnect(), kResultOk);
}

// The engine refuses the detach while a transaction is open, and shuts the attachment down; the
// driver reports it, and a second disconnect completes.
TEST(RealConnection, DisconnectWithAnOpenTransactionIsReported) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect());
    ASSERT_EQ(Begin(connection.get(), 1), kResultOk);
    EXPECT_EQ(connection->disconnect(), kResultClientError);
    EXPECT_NE(ErrorText(connection.get()).find("open transaction"), std::string::npos);
    EXPECT_EQ(Commit(connection.get(), 1), kResultClientError);
    EXPECT_EQ(connection->disconnect(), kResultOk) << ErrorText(connection.get());
}

TEST(RealConnection, CommitRetainingEndsTheTransactionForTheCaller) {
    RealDatabase database;
    Ref<SQLConnection> connection(database.connect(false));
    connection->setOption(kConnOptionCommitRetain, 1);
    connection->setOption(kConnOptionRollbackRetain, 1);
    ASSERT_EQ(connection->connect(database.path().c_str(), plxtest::kDbUser, plxtest::kDbPassword), kResultOk);
    EXPECT_EQ(Begin(connection.get(), 1), kResultOk);
    EXPECT_EQ(Commit(connection.get(), 1), kResultOk);
    EXPECT_EQ(Begin(connection.get(), 1), kResultOk);
    TransactionDesc desc{1, 0, 0};
    EXPECT_EQ(connection->rollback(&desc), kResultOk);
    EXPECT_EQ(connection->disconnect(), kResultOk) << ErrorText(connection.get());
}
