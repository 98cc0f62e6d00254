// Memory safety and failure reporting against a real database: replaced parameter sets, long
// procedure outputs, blobs in procedure calls, results replaced after a commit, unbounded dates,
// fetch errors and driver-made failures that must carry their own text.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

namespace {

const char* kSafetySchema = R"(
CREATE TABLE R (ID INTEGER);
INSERT INTO R VALUES (1);
INSERT INTO R VALUES (2);
INSERT INTO R VALUES (3);
CREATE TABLE U (ID INTEGER, X VARCHAR(40));
CREATE TABLE D (DT DATE);
SET TERM ^ ;
CREATE PROCEDURE ECHO (X VARCHAR(40)) RETURNS (Y VARCHAR(40)) AS BEGIN Y = X; END^
CREATE PROCEDURE LONGOUT RETURNS (Y VARCHAR(32765)) AS BEGIN
  Y = 'z';
  WHILE (CHAR_LENGTH(Y) * 2 <= 32765) DO Y = Y || Y;
  Y = Y || SUBSTRING(Y FROM 1 FOR 32765 - CHAR_LENGTH(Y));
END^
CREATE PROCEDURE BLOBLEN (B BLOB SUB_TYPE BINARY) RETURNS (N INTEGER) AS BEGIN N = OCTET_LENGTH(B); END^
SET TERM ; ^
)";

class Safety : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database_ = new RealDatabase(kSafetySchema); }
    static void TearDownTestSuite() {
        delete database_;
        database_ = nullptr;
    }
    void SetUp() override {
        *connection_.out() = database_->connect();
        ASSERT_EQ(connection_->createCommand(command_.out()), kResultOk);
    }
    void TearDown() override {
        cursor_.reset();
        command_.reset();
        EXPECT_EQ(connection_->disconnect(), kResultOk) << ErrorText(connection_.get());
    }
    SQLCommand* command() { return command_.get(); }
    ResultCode setInt(std::uint16_t number, std::int32_t value) {
        return command()->setParameter(number, 0, kParamInput, kFieldInt32, 0, 0, 0, 4, &value, 0);
    }
    ResultCode setText(std::uint16_t number, const char* text, std::uint16_t direction = kParamInput,
                       std::uint32_t length = 0) {
        return command()->setParameter(number, 0, direction, kFieldString, 0, 0, 0, length, text, 0);
    }

    static RealDatabase* database_;
    Ref<SQLConnection> connection_;
    Ref<SQLCommand> command_;
    Ref<SQLCursor> cursor_;
};
RealDatabase* Safety::database_ = nullptr;

std::size_t HeapInUse() {
    struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

TEST_F(Safety, AFewerParameterCountLeavesNoVariablePointingAtFreedValues) {
    ASSERT_EQ(command()->prepare("INSERT INTO U (ID, X) VALUES (?, ?)", 2), kResultOk);
    ASSERT_EQ(setInt(1, 1), kResultOk);
    ASSERT_EQ(setText(2, "a value whose copy is freed by option 4"), kResultOk);
    ASSERT_EQ(command()->setOption(kCommOptionParamCount, 1), kResultOk);
    ASSERT_EQ(setInt(1, 2), kResultOk);
    // The statement still reads two values; the second one is gone.
    EXPECT_EQ(command()->execute(cursor_.out()), kResultClientError);
    EXPECT_EQ(ErrorText(command()), "parameter 2 of the statement has no value\n");
    command()->close();
    Query rows(connection_.get(), "SELECT CAST(COUNT(*) AS INTEGER) FROM U");
    ASSERT_TRUE(rows.next());
    std::int32_t count = -1, blank = -1;
    rows.cursor->getInt32(1, &count, &blank);
    EXPECT_EQ(count, 0);

    // A procedure call is rebuilt for its new parameters; its output lands in the driver's own buffer.
    Ref<SQLCommand> call;
    ASSERT_EQ(connection_->createCommand(call.out()), kResultOk);
    ASSERT_EQ(call->setOption(kCommOptionStoredProc, 1), kResultOk);
    ASSERT_EQ(call->prepare("ECHO", 2), kResultOk);
    char output[41] = {};
    std::int32_t isNull = -1;
    ASSERT_EQ(call->setParameter(1, 0, kParamInput, kFieldString, 0, 0, 0, 0, "first", 0), kResultOk);
    ASSERT_EQ(call->setParameter(2, 0, kParamOutput, kFieldString, 0, 0, 0, 40, output, 0), kResultOk);
    ASSERT_EQ(call->execute(nullptr), kResultOk) << ErrorText(call.get());
    ASSERT_EQ(call->getParameter(2, 0, output, sizeof output, &isNull), kResultOk);
    EXPECT_STREQ(output, "first");
    ASSERT_EQ(call->setOption(kCommOptionParamCount, 1), kResultOk);
    ASSERT_EQ(call->setParameter(1, 0, kParamInput, kFieldString, 0, 0, 0, 0, "second", 0), kResultOk);
    EXPECT_EQ(call->execute(nullptr), kResultOk) << ErrorText(call.get());
}

TEST_F(Safety, ProcedureOutputTextsLongerThanTheClientCarriesAreRefused) {
    ASSERT_EQ(command()->setOption(kCommOptionStoredProc, 1), kResultOk);
    ASSERT_EQ(command()->prepare("LONGOUT", 1), kResultOk);
    std::string buffer(40000, '\0');
    EXPECT_EQ(setText(1, buffer.data(), kParamOutput, 32766), kResultInvalidValue);
    EXPECT_EQ(setText(1, buffer.data(), kParamOutput, 32768), kResultInvalidValue);
    EXPECT_EQ(setText(1, buffer.data(), kParamOutput, 40000), kResultInvalidValue);
    ASSERT_EQ(setText(1, buffer.data(), kParamOutput, 32765), kResultOk);
    ASSERT_EQ(command()->execute(nullptr), kResultOk) << ErrorText(command());
    std::int32_t isNull = -1;
    ASSERT_EQ(command()->getParameter(1, 0, buffer.data(), static_cast<std::int32_t>(buffer.size()), &isNull),
              kResultOk);
    EXPECT_EQ(isNull, 0);
    EXPECT_EQ(std::string(buffer.c_str()), std::string(32765, 'z'));
}

TEST_F(Safety, BlobsReachAProcedureOnTheFirstCall) {
    ASSERT_EQ(command()->setOption(kCommOptionStoredProc, 1), kResultOk);
    ASSERT_EQ(command()->prepare("BLOBLEN", 2), kResultOk);
    for (std::uint32_t size : {100u, 70000u}) {
        std::vector<char> bytes(size, '\x5A');
        std::int32_t length = -1, isNull = -1;
        ASSERT_EQ(command()->setParameter(1, 0, kParamInput, kFieldBlob, kSubtypeBinary, 0, 0, size, bytes.data(), 0),
                  kResultOk);
        ASSERT_EQ(command()->setParameter(2, 0, kParamOutput, kFieldInt32, 0, 0, 0, 4, &length, 0), kResultOk);
        ASSERT_EQ(command()->execute(nullptr), kResultOk) << ErrorText(command());
        ASSERT_EQ(command()->getParameter(2, 0, &length, 4, &isNull), kResultOk);
        EXPECT_EQ(length, static_cast<std::int32_t>(size));
    }
}

TEST_F(Safety, AResultClosedByACommitIsFreedWhenTheCommandRunsAgain) {
    ASSERT_EQ(command()->prepare("SELECT CAST('wide' AS CHAR(30000)) FROM RDB$DATABASE", 0), kResultOk);
    // The caller keeps every cursor it was given until the end.
    std::vector<SQLCursor*> cursors;
    auto runInOwnTransaction = [&](std::uint32_t id) {
        TransactionDesc transaction{id, 0, 0};
        ASSERT_EQ(connection_->beginTransaction(&transaction), kResultOk);
        SQLCursor* cursor = nullptr;
        ASSERT_EQ(command()->execute(&cursor), kResultOk) << ErrorText(command());
        cursors.push_back(cursor);
        ASSERT_EQ(cursor->next(), kResultOk);
        // The commit closes the client's cursor, so the command can run again without a close.
        ASSERT_EQ(connection_->commit(&transaction), kResultOk);
    };
    for (std::uint32_t id = 1; id <= 5; ++id) runInOwnTransaction(id);
    std::size_t before = HeapInUse();
    for (std::uint32_t id = 6; id <= 45; ++id) runInOwnTransaction(id);
    // Forty lost row buffers would be 1.2 MB; the engine's own noise is far below that.
    EXPECT_LT(HeapInUse(), before + 300 * 1024);
    std::string value(30001, '\0');
    std::int32_t blank = -1;
    EXPECT_EQ(cursors.back()->getString(1, value.data(), &blank), kResultOk);
    EXPECT_EQ(std::string(value.c_str(), 4), "wide");
    EXPECT_EQ(cursors.front()->getString(1, value.data(), &blank), kResultNoHandle) << "an older result is gone";
    for (SQLCursor* cursor : cursors) cursor->Release();
}

TEST_F(Safety, DateParametersOutsideTheCalendarAreRefusedAtOnce) {
    ASSERT_EQ(command()->prepare("INSERT INTO D VALUES (?)", 1), kResultOk);
    auto setDay = [&](std::int32_t day) {
        return command()->setParameter(1, 0, kParamInput, kFieldDate, 0, 0, 0, 4, &day, 0);
    };
    auto started = std::chrono::steady_clock::now();
    for (std::int32_t day : {INT32_MAX, 3652060, 0, -1, INT32_MIN}) EXPECT_EQ(setDay(day), kResultInvalidValue) << day;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    for (std::int32_t day : {1, 3652059}) {
        ASSERT_EQ(setDay(day), kResultOk);
        ASSERT_EQ(command()->execute(nullptr), kResultOk) << ErrorText(command());
    }
    command()->close();
    Query dates(connection_.get(), "SELECT DT, EXTRACT(YEAR FROM DT) FROM D ORDER BY DT");
    std::vector<std::pair<std::int32_t, std::int16_t>> read;
    while (dates.next()) {
        std::int32_t day = 0, blank = -1;
        std::int16_t year = 0;
        dates.cursor->getDate(1, &day, &blank);
        dates.cursor->getInt16(2, &year, &blank);
        read.emplace_back(day, year);
    }
    EXPECT_EQ(read, (std::vector<std::pair<std::int32_t, std::int16_t>>{{1, 1}, {3652059, 9999}}));
}

TEST_F(Safety, AFetchErrorIsNotTheEndOfTheRows) {
    ASSERT_EQ(command()->prepare("SELECT 10 / (ID - 2) FROM R ORDER BY ID", 0), kResultOk);
    ASSERT_EQ(command()->execute(cursor_.out()), kResultOk);
    EXPECT_EQ(cursor_->next(), kResultOk);
    EXPECT_EQ(cursor_->next(), kResultClientError);
    EXPECT_NE(ErrorText(cursor_.get()).find("divide by zero"), std::string::npos);
    BcdValue value{};
    std::int32_t blank = -1;
    EXPECT_EQ(cursor_->getBcd(1, &value, &blank), kResultNoHandle) << "no current row after a failed fetch";
    TraceRecorder trace(connection_.get());
    ResultCode again = cursor_->next();
    std::vector<std::string> traced = trace.takeAll();
    EXPECT_NE(std::find(traced.begin(), traced.end(), "BASALT - isc_dsql_fetch"), traced.end());
    EXPECT_NE(again, kResultEndOfData);
    if (again == kResultClientError) {
        EXPECT_NE(ErrorText(cursor_.get()), "");
    }
}

TEST_F(Safety, DriverMadeFailuresCarryTheirOwnText) {
    // A column type the driver does not map: no cursor, and a text naming the column and its type.
    ASSERT_EQ(command()->prepare("SELECT ID, ID > 1 AS FLAG FROM R", 0), kResultOk);
    EXPECT_EQ(command()->execute(cursor_.out()), kResultClientError);
    EXPECT_EQ(cursor_.get(), nullptr);
    EXPECT_EQ(ErrorText(command()), "column 2 (FLAG) is of type BOOLEAN, which the driver cannot read\n");
    // The command stays usable.
    ASSERT_EQ(command()->prepare("SELECT ID FROM R", 0), kResultOk);
    ASSERT_EQ(command()->execute(cursor_.out()), kResultOk) << ErrorText(command());
    EXPECT_EQ(cursor_->next(), kResultOk);
    cursor_.reset();

    // A role name too long, after an unrelated failure: the text is the role name's.
    EXPECT_EQ(command()->prepare("SELEC ID FROM R", 0), kResultClientError);
    std::string longRole(32, 'R');
    EXPECT_EQ(connection_->setOption(kConnOptionRoleName, reinterpret_cast<std::intptr_t>(longRole.c_str())),
              kResultClientError);
    EXPECT_EQ(ErrorText(connection_.get()), "role name longer than 31 characters\n");

    // Also before any attachment exists.
    Ref<SQLConnection> fresh(database_->connect(false));
    EXPECT_EQ(fresh->setOption(kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>(longRole.c_str())),
              kResultClientError);
    EXPECT_EQ(ErrorText(fresh.get()), "server character set name longer than 31 characters\n");
}
