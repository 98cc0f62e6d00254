// Connection and transaction bytes as the client library receives them, and error-text composition,
// checked against the client-library test double.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

namespace {

class FakeConnection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(DriverEntry()(FAKE_CLIENT, "", driver_.out()), kResultOk);
        ASSERT_EQ(driver_->createConnection(connection_.out()), kResultOk);
        fake_.reset();
    }
    SQLConnection* connection() { return connection_.get(); }
    ResultCode connect(const char* path = "/db/race.fdb") { return connection_->connect(path, "SYSDBA", "pw"); }
    ResultCode begin(std::uint32_t id, std::uint8_t isolation = 0) {
        TransactionDesc desc{id, 0, isolation};
        return connection_->beginTransaction(&desc);
    }
    ResultCode commit(std::uint32_t id) {
        TransactionDesc desc{id, 0, 0};
        return connection_->commit(&desc);
    }
    ResultCode rollback(std::uint32_t id) {
        TransactionDesc desc{id, 0, 0};
        return connection_->rollback(&desc);
    }

    FakeClient fake_;
    Ref<SQLDriver> driver_;
    Ref<SQLConnection> connection_;
};

std::string Dpb(std::initializer_list<std::pair<int, std::string>> items) {
    std::string bytes = "1";
    for (const auto& [item, text] : items) {
        bytes += "," + std::to_string(item) + "," + std::to_string(text.size());
        for (unsigned char c : text) bytes += "," + std::to_string(c);
    }
    return bytes;
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::vector<std::string> FakeTraced;
std::uint32_t TracedClientData = 0;
std::int32_t RecordFakeTrace(std::int32_t kind, TraceRecord* record) {
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(record->category, 256);
    FakeTraced.emplace_back(record->text, ::strnlen(record->text, sizeof record->text));
    TracedClientData = record->clientData;
    return 0;
}

}  // namespace

TEST_F(FakeConnection, DpbCarriesUserPasswordRoleAndCharSetAndThePathStaysBare) {
    ASSERT_EQ(connection()->setOption(kConnOptionRoleName, reinterpret_cast<std::intptr_t>("WATCHER")), kResultOk);
    ASSERT_EQ(connection()->setOption(kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>("SJIS_0208")),
              kResultOk);
    ASSERT_EQ(connect("/data/a,b/race.fdb"), kResultOk);
    EXPECT_EQ(fake_.calls("isc_attach_database"),
              "isc_attach_database path=/data/a,b/race.fdb dpb=" +
                  Dpb({{28, "SYSDBA"}, {29, "pw"}, {60, "WATCHER"}, {48, "SJIS_0208"}}) + "\n");
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, TextsOver31CharactersStayOutOfTheDpb) {
    std::string user(32, 'U');
    ASSERT_EQ(connection()->connect("/db/x.fdb", user.c_str(), ""), kResultOk);
    EXPECT_EQ(fake_.calls("isc_attach_database"), "isc_attach_database path=/db/x.fdb dpb=1\n");
    EXPECT_EQ(connection()->disconnect(), kResultOk);

    // A role or character set that long is refused outright and the previous one kept.
    std::string role(32, 'R');
    connection()->setOption(kConnOptionRoleName, reinterpret_cast<std::intptr_t>("OLD"));
    EXPECT_EQ(connection()->setOption(kConnOptionRoleName, reinterpret_cast<std::intptr_t>(role.c_str())),
              kResultClientError);
    EXPECT_EQ(connection()->setOption(kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>(role.c_str())),
              kResultClientError);
    char text[8] = {};
    std::int16_t length = 0;
    EXPECT_EQ(connection()->getOption(kConnOptionRoleName, text, sizeof text, &length), kResultOk);
    EXPECT_STREQ(text, "OLD");
    EXPECT_EQ(length, 3);
    char small[2] = {'x', 'x'};
    EXPECT_EQ(connection()->getOption(kConnOptionRoleName, small, sizeof small, &length), kResultOk);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small[1], 'x');
}

TEST_F(FakeConnection, OverlongPathFailsWithoutCallingTheClient) {
    std::string path = "/" + std::string(128, 'p');
    EXPECT_EQ(connect(path.c_str()), kResultAttachFailed);
    EXPECT_EQ(connect(""), kResultAttachFailed);
    EXPECT_EQ(fake_.log(), "");
    EXPECT_NE(ErrorText(connection()).find("128 characters"), std::string::npos);
    EXPECT_EQ(connection()->disconnect(), kResultNoHandle);
    std::string longest = "/" + std::string(127, 'p');
    EXPECT_EQ(connect(longest.c_str()), kResultOk);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, RefusedConnectsLeaveNoAttachment) {
    ASSERT_EQ(connection()->setOption(kConnOptionIsolation, 2), kResultOk);
    EXPECT_EQ(connect(), kResultBadIsolation);
    EXPECT_EQ(fake_.calls("isc_attach_database"), "");
    EXPECT_EQ(connection()->disconnect(), kResultNoHandle);

    connection()->setOption(kConnOptionIsolation, 0);
    ASSERT_EQ(connect(), kResultOk);
    EXPECT_EQ(connect(), kResultAlreadyConnected);
    EXPECT_EQ(connection()->setOption(kConnOptionIsolation, 2), kResultBadIsolation);
    std::int32_t isolation = -1;
    connection()->getOption(kConnOptionIsolation, &isolation, 4, nullptr);
    EXPECT_EQ(isolation, 0);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
    EXPECT_EQ(CountLines(fake_.calls("isc_attach_database")), 1);
    EXPECT_EQ(CountLines(fake_.calls("isc_detach_database")), 1);
}

TEST_F(FakeConnection, DetachErrorsKeepOrDropTheAttachment) {
    ASSERT_EQ(connect(), kResultOk);
    fake_.fail("isc_detach_database", {isc_arg_gds, 335544344, isc_arg_end});
    EXPECT_EQ(connection()->disconnect(), kResultClientError);
    EXPECT_EQ(ErrorText(connection()), "error 335544344\n");
    EXPECT_EQ(connection()->disconnect(), kResultOk);

    ASSERT_EQ(connect(), kResultOk);
    fake_.fail("isc_detach_database", {isc_arg_gds, isc_bad_db_handle, isc_arg_end});
    EXPECT_EQ(connection()->disconnect(), kResultBadDatabaseHandle);
    EXPECT_EQ(ErrorText(connection()), "error 335544324\n");
    EXPECT_EQ(connection()->disconnect(), kResultNoHandle);
    EXPECT_EQ(connect(), kResultOk);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, ExplicitTransactionsUseWaitingParametersByIsolation) {
    connection()->setOption(kConnOptionWaitOnLocks, 0);
    ASSERT_EQ(connect(), kResultOk);
    EXPECT_EQ(begin(1, 0), kResultOk);
    EXPECT_EQ(begin(2, 1), kResultOk);
    EXPECT_EQ(fake_.calls("isc_start_transaction"),
              "isc_start_transaction tpb=3,15,6,17\nisc_start_transaction tpb=3,6\n");
    EXPECT_EQ(begin(3, 2), kResultBadIsolation);
    EXPECT_EQ(begin(0, 0), kResultNoTransaction);
    EXPECT_EQ(commit(0), kResultNoTransaction);
    EXPECT_EQ(connection()->beginTransaction(nullptr), kResultMissingPointer);
    EXPECT_EQ(CountLines(fake_.calls("isc_start_transaction")), 2);
    EXPECT_EQ(commit(2), kResultOk);
    EXPECT_EQ(rollback(1), kResultOk);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, RetainingEndsAreFinishedBeforeDetach) {
    connection()->setOption(kConnOptionCommitRetain, 1);
    ASSERT_EQ(connect(), kResultOk);
    ASSERT_EQ(begin(5), kResultOk);
    fake_.reset();
    EXPECT_EQ(commit(5), kResultOk);
    EXPECT_EQ(commit(5), kResultNoTransaction);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
    // The retained server transaction must end, or the detach would find it open.
    EXPECT_EQ(fake_.log(), "isc_commit_retaining\nisc_commit_transaction\nisc_detach_database\n");
}

TEST_F(FakeConnection, RollbackRetainingFallsBackWhenTheClientLacksIt) {
    FakeClient noOptional(FAKE_CLIENT_NO_OPTIONAL);
    Ref<SQLDriver> driver;
    ASSERT_EQ(DriverEntry()(FAKE_CLIENT_NO_OPTIONAL, "", driver.out()), kResultOk);
    Ref<SQLConnection> connection;
    driver->createConnection(connection.out());
    connection->setOption(kConnOptionRollbackRetain, 1);
    ASSERT_EQ(connection->connect("/db/x.fdb", "u", "p"), kResultOk);
    TransactionDesc desc{9, 0, 0};
    ASSERT_EQ(connection->beginTransaction(&desc), kResultOk);
    EXPECT_EQ(connection->rollback(&desc), kResultOk);
    EXPECT_NE(noOptional.log().find("isc_rollback_transaction"), std::string::npos);
    EXPECT_EQ(connection->disconnect(), kResultOk);

    // With the entry present the rollback retains.
    connection_->setOption(kConnOptionRollbackRetain, 1);
    ASSERT_EQ(connect(), kResultOk);
    ASSERT_EQ(begin(9), kResultOk);
    EXPECT_EQ(rollback(9), kResultOk);
    EXPECT_EQ(fake_.calls("isc_rollback"), "isc_rollback_retaining\n");
    EXPECT_EQ(connection_->disconnect(), kResultOk);
}

TEST_F(FakeConnection, FailedBeginLeavesNoTransactionBehind) {
    ASSERT_EQ(connect(), kResultOk);
    fake_.fail("isc_start_transaction", {isc_arg_gds, 335544344, isc_arg_end});
    EXPECT_EQ(begin(4), kResultClientError);
    EXPECT_EQ(commit(4), kResultNoTransaction);
    EXPECT_EQ(begin(4), kResultOk);
    EXPECT_EQ(begin(4), kResultTransactionActive);
    EXPECT_EQ(commit(4), kResultOk);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, ErrorTextDropsSqlCodeLinesAndIsReadOnce) {
    ASSERT_EQ(connect(), kResultOk);
    fake_.fail("isc_detach_database",
               {isc_arg_gds, 335544569, isc_arg_gds, 335544436, isc_arg_number, -104, isc_arg_gds, 335544344,
                isc_arg_string, reinterpret_cast<ISC_STATUS>("file busy"), isc_arg_end});
    ASSERT_EQ(connection()->disconnect(), kResultClientError);
    std::int16_t length = 0;
    ASSERT_EQ(connection()->getErrorLength(&length), kResultOk);
    EXPECT_EQ(length, static_cast<std::int16_t>(std::strlen("error 335544344 file busy\n") + 1));
    char text[300];
    std::memset(text, 'z', sizeof text);
    ASSERT_EQ(connection()->getErrorText(text), kResultOk);
    EXPECT_STREQ(text, "error 335544344 file busy\n");
    EXPECT_EQ(text[length], 'z');
    ASSERT_EQ(connection()->getErrorText(text), kResultOk);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(connection()->getErrorText(nullptr), kResultOk);
    EXPECT_EQ(connection()->getErrorLength(nullptr), kResultMissingPointer);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, ErrorTextIsCutAt257Characters) {
    ASSERT_EQ(connect(), kResultOk);
    std::string longArgument(400, 'L');
    fake_.fail("isc_detach_database",
               {isc_arg_gds, 335544344, isc_arg_string, reinterpret_cast<ISC_STATUS>(longArgument.c_str()), isc_arg_gds,
                335544345, isc_arg_end});
    ASSERT_EQ(connection()->disconnect(), kResultClientError);
    std::string text = ErrorText(connection());
    EXPECT_EQ(text.size(), 257u);
    EXPECT_EQ(text.substr(0, 16), "error 335544344 ");
    EXPECT_EQ(text.back(), 'L');
    EXPECT_EQ(connection()->disconnect(), kResultOk);
}

TEST_F(FakeConnection, TraceReportsEveryClientCallWithTheClientData) {
    FakeTraced.clear();
    connection()->setOption(kConnOptionTraceCallback, reinterpret_cast<std::intptr_t>(&RecordFakeTrace));
    connection()->setOption(kConnOptionTraceClientData, 42);
    ASSERT_EQ(connect(), kResultOk);
    connection()->setOption(kConnOptionTraceClientData, 43);
    ASSERT_EQ(begin(1), kResultOk);
    ASSERT_EQ(commit(1), kResultOk);
    ASSERT_EQ(connection()->disconnect(), kResultOk);
    std::vector<std::string> expected = {"BASALT - isc_attach_database", "BASALT - isc_database_info",
                                         "BASALT - isc_start_transaction", "BASALT - isc_commit_transaction",
                                         "BASALT - isc_detach_database"};
    EXPECT_EQ(FakeTraced, expected);
    EXPECT_EQ(TracedClientData, 43u);
}

TEST_F(FakeConnection, ServerClassAndDialectOptions) {
    ASSERT_EQ(connect(), kResultOk);
    std::int32_t serverClass = 0;
    EXPECT_EQ(connection()->getOption(kConnOptionServerVersion, &serverClass, 4, nullptr), kResultOk);
    EXPECT_EQ(serverClass, 4);
    fake_.setOds(7);
    EXPECT_EQ(connection()->getOption(kConnOptionServerVersion, &serverClass, 4, nullptr), kResultOk);
    EXPECT_EQ(serverClass, 3);
    EXPECT_EQ(connection()->disconnect(), kResultOk);
    EXPECT_EQ(connection()->getOption(kConnOptionServerVersion, &serverClass, 4, nullptr), kResultNoHandle);

    char quote[2] = {'x', 'x'};
    std::int16_t length = -1;
    EXPECT_EQ(connection()->getOption(kConnOptionQuoteChar, quote, 2, &length), kResultOk);
    EXPECT_EQ(quote[0], '\0');
    EXPECT_EQ(length, 0);
    EXPECT_EQ(connection()->setOption(kConnOptionDialect, 3), kResultOk);
    EXPECT_EQ(connection()->getOption(kConnOptionQuoteChar, quote, 2, &length), kResultOk);
    EXPECT_EQ(quote[0], '"');
    EXPECT_EQ(quote[1], 'x');
    for (std::intptr_t bad : {0, 4, -1})
        EXPECT_EQ(connection()->setOption(kConnOptionDialect, bad), kResultInvalidValue);
    std::int32_t dialect = 0;
    connection()->getOption(kConnOptionDialect, &dialect, 4, nullptr);
    EXPECT_EQ(dialect, 3);
    for (std::uint32_t unsupported : {0u, 1u, 10u, 11u, 200u})
        EXPECT_EQ(connection()->setOption(unsupported, 1), kResultNotSupported) << unsupported;
    EXPECT_EQ(connection()->getOption(kConnOptionDialect, nullptr, 4, nullptr), kResultMissingPointer);
}

TEST_F(FakeConnection, DefaultTransactionParametersFollowTheOptions) {
    struct Case {
        std::intptr_t isolation, waitOnLocks;
        bool waitTurnedOnLive;
        const char* tpb;
    };
    for (Case c : {Case{0, 1, false, "3,15,6,17"}, Case{0, 0, false, "3,15,7,17"}, Case{1, 1, false, "3,6"},
                   Case{1, 0, false, "3,7"}, Case{0, 0, true, "3,15,6,17"}}) {
        Ref<SQLConnection> connection;
        driver_->createConnection(connection.out());
        connection->setOption(kConnOptionIsolation, c.isolation);
        connection->setOption(kConnOptionWaitOnLocks, c.waitOnLocks);
        ASSERT_EQ(connection->connect("/db/x.fdb", "u", "p"), kResultOk);
        if (c.waitTurnedOnLive) connection->setOption(kConnOptionWaitOnLocks, 1);
        fake_.reset();
        Ref<SQLCommand> command;
        ASSERT_EQ(connection->createCommand(command.out()), kResultOk);
        EXPECT_EQ(fake_.calls("isc_start_transaction"), "") << "started by the first statement, not before";
        ASSERT_EQ(command->prepare("UPDATE X SET A = 1", 0), kResultOk);
        ASSERT_EQ(command->prepare("UPDATE X SET A = 2", 0), kResultOk);
        EXPECT_EQ(fake_.calls("isc_start_transaction"), std::string("isc_start_transaction tpb=") + c.tpb + "\n");
        command.reset();
        EXPECT_EQ(connection->disconnect(), kResultOk);
    }
}

TEST_F(FakeConnection, StringParametersGoOutFixedOrWithALengthPrefix) {
    ASSERT_EQ(connect(), kResultOk);
    Ref<SQLCommand> command;
    ASSERT_EQ(connection()->createCommand(command.out()), kResultOk);
    ASSERT_EQ(command->prepare("UPDATE X SET A = ?, B = ?, C = ?", 3), kResultOk);
    EXPECT_EQ(command->setParameter(1, 0, kParamInput, kFieldString, kSubtypeFixed, 0, 0, 0, "ABC", 0), kResultOk);
    EXPECT_EQ(command->setParameter(2, 0, kParamInput, kFieldString, 0, 0, 0, 0, "ABC", 0), kResultOk);
    EXPECT_EQ(command->setParameter(3, 0, kParamInput, kFieldString, 0, 0, 0, 0, nullptr, 1), kResultOk);
    ASSERT_EQ(command->execute(nullptr), kResultOk);
    // type/length/null indicator/bytes
    EXPECT_EQ(fake_.calls("isc_dsql_execute"), "isc_dsql_execute 453/3/0/65,66,67 449/3/0/3,0,65,66,67 449/0/-1/0,0\n");
}

TEST_F(FakeConnection, CloseKeepsTheStatementAndReleaseDropsIt) {
    connection()->setOption(kConnOptionDialect, 3);
    ASSERT_EQ(connect(), kResultOk);
    Ref<SQLCommand> command;
    ASSERT_EQ(connection()->createCommand(command.out()), kResultOk);
    ASSERT_EQ(command->executeDirect("DELETE FROM X", nullptr), kResultOk);
    EXPECT_NE(fake_.calls("isc_dsql_prepare").find("dialect=3 sql=DELETE FROM X"), std::string::npos);
    fake_.reset();
    EXPECT_EQ(command->close(), kResultOk);
    EXPECT_EQ(fake_.log(), "isc_commit_retaining\nisc_dsql_free_statement option=1\n");
    fake_.reset();
    command.reset();
    EXPECT_EQ(connection()->disconnect(), kResultOk);
    EXPECT_EQ(fake_.log(), "isc_dsql_free_statement option=2\nisc_commit_transaction\nisc_detach_database\n");
}

TEST_F(FakeConnection, CommandsOfAnUnconnectedConnectionHaveNoStatement) {
    Ref<SQLCommand> command;
    EXPECT_EQ(connection()->createCommand(command.out()), kResultNoHandle);
    ASSERT_NE(command.get(), nullptr);
    EXPECT_EQ(command->prepare("SELECT 1 FROM RDB$DATABASE", 0), kResultNoHandle);
    EXPECT_EQ(command->execute(nullptr), kResultNoHandle);
    std::int16_t length = 0;
    EXPECT_EQ(command->getErrorLength(&length), kResultNoHandle);
    EXPECT_EQ(connection()->createCommand(nullptr), kResultMissingPointer);
    EXPECT_EQ(fake_.log(), "");
}
