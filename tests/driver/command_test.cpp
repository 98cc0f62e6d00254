// Commands against a real database: row counts, wide results, parameters of every type, stored
// procedures, blobs, Shift_JIS text, transactions and misuse.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/sjis.h"
#include "tests/driver/driver_test_support.h"

using namespace drivertest;

namespace {

const char* kSchema = R"(
CREATE TABLE R (ID INTEGER, NAME VARCHAR(10));
INSERT INTO R VALUES (1, 'a');
INSERT INTO R VALUES (2, 'b');
INSERT INTO R VALUES (3, 'c');
INSERT INTO R VALUES (4, 'd');
CREATE TABLE P (SI SMALLINT, I INTEGER, N92 NUMERIC(9,2), N184 NUMERIC(18,4), F FLOAT, DP DOUBLE PRECISION,
  C3 CHAR(3), VC10 VARCHAR(10), DT DATE, TM TIME, TS TIMESTAMP, BT BLOB SUB_TYPE TEXT, BB BLOB SUB_TYPE BINARY);
CREATE TABLE J (NAME VARCHAR(20) CHARACTER SET SJIS_0208);
INSERT INTO J VALUES ('アラーム締切');
SET TERM ^ ;
CREATE PROCEDURE ADDER (A INTEGER, B INTEGER) RETURNS (S INTEGER) AS BEGIN S = A + B; END^
SET TERM ; ^
)";

class RealCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database_ = new RealDatabase(kSchema); }
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

    static RealDatabase* database_;
    Ref<SQLConnection> connection_;
    Ref<SQLCommand> command_;
    Ref<SQLCursor> cursor_;
};
RealDatabase* RealCommand::database_ = nullptr;

template <class T>
ResultCode SetInput(SQLCommand* command, std::uint16_t number, std::uint16_t fieldType, const T& value,
                    std::uint16_t subType = 0, std::uint32_t length = sizeof(T), std::int32_t scale = 0) {
    return command->setParameter(number, 0, kParamInput, fieldType, subType, 0, scale, length, &value, 0);
}

BcdValue Bcd(const char* digits, int places, bool negative) {
    BcdValue bcd{};
    int n = static_cast<int>(std::strlen(digits));
    for (int i = 0; i < n; ++i)
        bcd.digits[i / 2] |= static_cast<std::uint8_t>((digits[i] - '0') << (i % 2 == 0 ? 4 : 0));
    bcd.precision = static_cast<std::uint8_t>(n);
    bcd.signScale = static_cast<std::uint8_t>(places | (negative ? 0x80 : 0));
    return bcd;
}

}  // namespace

TEST_F(RealCommand, RowCountsFollowTheStatementType) {
    ASSERT_EQ(command()->prepare("UPDATE R SET NAME = NAME WHERE ID <= 3", 0), kResultOk);
    EXPECT_EQ(command()->execute(cursor_.out()), kResultOk);
    EXPECT_EQ(cursor_.get(), nullptr);
    std::int32_t rows = -1;
    EXPECT_EQ(command()->getRowsAffected(&rows), kResultOk);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(command()->close(), kResultOk);

    ASSERT_EQ(command()->prepare("SELECT ID FROM R", 0), kResultOk);
    EXPECT_EQ(command()->execute(cursor_.out()), kResultOk);
    EXPECT_NE(cursor_.get(), nullptr);
    EXPECT_EQ(command()->getRowsAffected(&rows), kResultOk);
    EXPECT_EQ(rows, 0);
    cursor_.reset();

    // An older server class only knows that something ran.
    ASSERT_EQ(connection_->setOption(kConnOptionServerVersion, 3), kResultOk);
    ASSERT_EQ(command()->executeDirect("DELETE FROM R WHERE ID > 100", cursor_.out()), kResultOk);
    EXPECT_EQ(command()->getRowsAffected(&rows), kResultOk);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(command()->execute(nullptr), kResultOk);
}

TEST_F(RealCommand, FortyColumnsArePreparedTwiceAndAllComeBack) {
    std::string sql = "SELECT ";
    for (int i = 1; i <= 40; ++i)
        sql +=
            std::string(i > 1 ? ", " : "") + "CAST(ID + " + std::to_string(i) + " AS INTEGER) AS C" + std::to_string(i);
    sql += " FROM R WHERE ID = 1";
    std::vector<std::string> traced;
    {
        TraceRecorder trace(connection_.get());
        ASSERT_EQ(command()->prepare(sql.c_str(), 0), kResultOk);
        traced = trace.takeAll();
    }
    EXPECT_EQ(std::count(traced.begin(), traced.end(), "BASALT - isc_dsql_prepare"), 2);
    ASSERT_EQ(command()->execute(cursor_.out()), kResultOk);
    std::uint16_t count = 0;
    cursor_->getColumnCount(&count);
    EXPECT_EQ(count, 40);
    ASSERT_EQ(cursor_->next(), kResultOk);
    std::int32_t value = 0, blank = -1;
    EXPECT_EQ(cursor_->getInt32(40, &value, &blank), kResultOk);
    EXPECT_EQ(value, 41);
    char name[32];
    cursor_->getColumnName(40, name);
    EXPECT_STREQ(name, "C40");
}

TEST_F(RealCommand, ParametersOfEveryTypeRoundTrip) {
    ASSERT_EQ(command()->prepare("INSERT INTO P VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", 13), kResultOk);
    std::string memo(70000, 'm');  // more than one segment
    std::vector<std::uint8_t> binary = {0, 1, 2, 0xFF, 0};
    TimestampValue stamp{2006, 4, 1, 10, 30, 5, 0};
    EXPECT_EQ(SetInput<std::int16_t>(command(), 1, kFieldInt16, -7), kResultOk);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 2, kFieldInt32, 123456), kResultOk);
    EXPECT_EQ(SetInput(command(), 3, kFieldBcd, Bcd("12345", 2, true), 0, sizeof(BcdValue), 2), kResultOk);
    EXPECT_EQ(SetInput(command(), 4, kFieldBcd, Bcd("00012345", 4, false), 0, sizeof(BcdValue), 4), kResultOk);
    EXPECT_EQ(SetInput<float>(command(), 5, kFieldFloat, 1.25f), kResultOk);
    EXPECT_EQ(SetInput<double>(command(), 6, kFieldFloat, -2.5), kResultOk);
    EXPECT_EQ(command()->setParameter(7, 0, kParamInput, kFieldString, kSubtypeFixed, 0, 0, 0, "ABC", 0), kResultOk);
    EXPECT_EQ(command()->setParameter(8, 0, kParamInput, kFieldString, 0, 0, 0, 0, "varying", 0), kResultOk);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 9, kFieldDate, 732402), kResultOk);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 10, kFieldTime, 47107000), kResultOk);
    EXPECT_EQ(SetInput(command(), 11, kFieldTimestamp, stamp), kResultOk);
    EXPECT_EQ(command()->setParameter(12, 0, kParamInput, kFieldBlob, kSubtypeMemo, 0, 0,
                                      static_cast<std::uint32_t>(memo.size()), memo.data(), 0),
              kResultOk);
    EXPECT_EQ(command()->setParameter(13, 0, kParamInput, kFieldBlob, kSubtypeBinary, 0, 0,
                                      static_cast<std::uint32_t>(binary.size()), binary.data(), 0),
              kResultOk);
    ASSERT_EQ(command()->execute(cursor_.out()), kResultOk) << ErrorText(command());
    std::int32_t rows = 0;
    command()->getRowsAffected(&rows);
    EXPECT_EQ(rows, 1);
    // getParameter gives back what was stored.
    std::int32_t isNull = -1;
    char text[8];
    EXPECT_EQ(command()->getParameter(8, 0, text, sizeof text, &isNull), kResultOk);
    EXPECT_STREQ(text, "varying");
    EXPECT_EQ(command()->getParameter(8, 0, text, 4, &isNull), kResultOk);
    EXPECT_STREQ(text, "var");
    std::int32_t day = 0;
    EXPECT_EQ(command()->getParameter(9, 0, &day, 4, &isNull), kResultOk);
    EXPECT_EQ(day, 732402);
    EXPECT_EQ(command()->getParameter(9, 0, nullptr, 4, &isNull), kResultInvalidValue);
    TimestampValue storedStamp{};
    EXPECT_EQ(command()->getParameter(11, 0, &storedStamp, sizeof storedStamp, &isNull), kResultOk);
    EXPECT_EQ(std::memcmp(&storedStamp, &stamp, sizeof stamp), 0);
    EXPECT_EQ(command()->close(), kResultOk);

    // The same statement again, all NULL.
    for (std::uint16_t n = 1; n <= 13; ++n)
        EXPECT_EQ(command()->setParameter(n, 0, kParamInput, n == 7 || n == 8 ? kFieldString : kFieldInt32, 0, 0, 0, 4,
                                          nullptr, 1),
                  kResultOk);
    ASSERT_EQ(command()->execute(nullptr), kResultOk) << ErrorText(command());
    EXPECT_EQ(command()->getParameter(2, 0, &day, 4, &isNull), kResultOk);
    EXPECT_EQ(isNull, 1);
    command()->close();

    Query q(connection_.get(),
            "SELECT SI, I, N92, N184, F, DP, C3, VC10, DT, TM, TS, BT, BB FROM P ORDER BY I NULLS LAST");
    ASSERT_TRUE(q.next());
    std::int32_t blank = -1;
    std::int16_t small = 0;
    std::int32_t integer = 0;
    BcdValue bcd{};
    double number = 0;
    EXPECT_EQ(q.cursor->getInt16(1, &small, &blank), kResultOk);
    EXPECT_EQ(small, -7);
    q.cursor->getInt32(2, &integer, &blank);
    EXPECT_EQ(integer, 123456);
    q.cursor->getBcd(3, &bcd, &blank);
    EXPECT_EQ(bcd.precision, 5);
    EXPECT_EQ(bcd.signScale, 0x82);
    q.cursor->getBcd(4, &bcd, &blank);
    EXPECT_EQ(bcd.precision, 5);  // 1.2345
    EXPECT_EQ(bcd.signScale, 4);
    EXPECT_EQ(bcd.digits[0], 0x12);
    q.cursor->getDouble(5, &number, &blank);
    EXPECT_EQ(number, 1.25);
    q.cursor->getDouble(6, &number, &blank);
    EXPECT_EQ(number, -2.5);
    EXPECT_EQ(q.text(7), "ABC");
    EXPECT_EQ(q.text(8), "varying");
    q.cursor->getDate(9, &day, &blank);
    EXPECT_EQ(day, 732402);
    std::int32_t ms = 0;
    q.cursor->getTime(10, &ms, &blank);
    EXPECT_EQ(ms, 47107000);
    TimestampValue readStamp{};
    q.cursor->getTimestamp(11, &readStamp, &blank);
    EXPECT_EQ(std::memcmp(&readStamp, &stamp, sizeof stamp), 0);
    std::uint32_t size = 0;
    EXPECT_EQ(q.cursor->getBlobSize(12, &size, &blank), kResultOk);
    EXPECT_EQ(size, memo.size());
    std::vector<std::uint8_t> bytes(16, 0xEE);
    EXPECT_EQ(q.cursor->getBlob(13, bytes.data(), &blank, static_cast<std::uint32_t>(bytes.size())), kResultOk);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 5), binary);
    EXPECT_EQ(bytes[5], 0xEE);
    ASSERT_TRUE(q.next());
    for (std::uint16_t c = 1; c <= 13; ++c) {
        std::uint32_t length = 0;
        q.cursor->getColumnLength(c, &length);
        std::vector<char> buffer(length + 40);
        std::uint16_t type = 0, subType = 0;
        q.cursor->getColumnType(c, &type, &subType);
        blank = 0;
        ResultCode r = type == kFieldString ? q.cursor->getString(c, buffer.data(), &blank)
                       : type == kFieldBlob ? q.cursor->getBlobSize(c, &size, &blank)
                                            : kResultOk;
        if (type == kFieldString || type == kFieldBlob) {
            EXPECT_EQ(r, kResultOk);
            EXPECT_EQ(blank, 1) << c;
        }
    }
}

TEST_F(RealCommand, MissingOrStrayParametersAreRefused) {
    ASSERT_EQ(command()->prepare("SELECT ID FROM R WHERE ID = ? OR ID = ?", 2), kResultOk);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 1, kFieldInt32, 1), kResultOk);
    EXPECT_EQ(command()->execute(cursor_.out()), kResultParameterNotSet);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 3, kFieldInt32, 1), kResultOutOfRange);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 0, kFieldInt32, 1), kResultOutOfRange);
    EXPECT_EQ(command()->setParameter(2, 0, 3, kFieldInt32, 0, 0, 0, 4, "abcd", 0), kResultInvalidValue);
    EXPECT_EQ(SetInput<std::int64_t>(command(), 2, kFieldFloat, 1, 0, 6), kResultInvalidValue);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 2, 99, 1), kResultInvalidValue);
    EXPECT_EQ(SetInput<std::int32_t>(command(), 2, kFieldInt32, 3), kResultOk);
    ASSERT_EQ(command()->execute(cursor_.out()), kResultOk);
    int rows = 0;
    while (cursor_->next() == kResultOk) ++rows;
    EXPECT_EQ(rows, 2);
}

TEST_F(RealCommand, StoredProcedureModeBuildsTheCallAndReturnsOutputs) {
    ASSERT_EQ(command()->setOption(kCommOptionStoredProc, 1), kResultOk);
    ASSERT_EQ(command()->prepare("ADDER", 3), kResultOk);
    SetInput<std::int32_t>(command(), 1, kFieldInt32, 40);
    SetInput<std::int32_t>(command(), 2, kFieldInt32, 2);
    std::int32_t unused = 0;
    ASSERT_EQ(command()->setParameter(3, 0, kParamOutput, kFieldInt32, 0, 0, 0, 4, &unused, 0), kResultOk);
    std::vector<std::string> traced;
    {
        TraceRecorder trace(connection_.get());
        ASSERT_EQ(command()->execute(cursor_.out()), kResultOk) << ErrorText(command());
        traced = trace.takeAll();
    }
    EXPECT_EQ(cursor_.get(), nullptr);
    EXPECT_NE(std::find(traced.begin(), traced.end(), "EXECUTE PROCEDURE ADDER ?, ?"), traced.end());
    std::int32_t sum = 0, isNull = -1;
    EXPECT_EQ(command()->getParameter(3, 0, &sum, 4, &isNull), kResultOk);
    EXPECT_EQ(sum, 42);
    EXPECT_EQ(isNull, 0);
    EXPECT_EQ(command()->prepare("A_NAME_THAT_IS_LONGER_THAN_31_CHARS", 0), kResultClientError);

    // Outside that mode a procedure call with outputs runs too, its outputs going nowhere.
    Ref<SQLCommand> plain;
    connection_->createCommand(plain.out());
    EXPECT_EQ(plain->executeDirect("EXECUTE PROCEDURE ADDER 1, 2", cursor_.out()), kResultOk) << ErrorText(plain.get());
}

TEST_F(RealCommand, BlobsAreReadWholeInPartsEmptyAndNull) {
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
    ASSERT_EQ(command()->prepare("INSERT INTO P (I, BB) VALUES (?, ?)", 2), kResultOk);
    for (int row = 1; row <= 3; ++row) {
        SetInput<std::int32_t>(command(), 1, kFieldInt32, row);
        const char* data = row == 1 ? big.data() : "";
        std::uint32_t length = row == 1 ? static_cast<std::uint32_t>(big.size()) : 0;
        ASSERT_EQ(command()->setParameter(2, 0, kParamInput, kFieldBlob, kSubtypeBinary, 0, 0, length, data, row == 3),
                  kResultOk);
        ASSERT_EQ(command()->execute(nullptr), kResultOk) << ErrorText(command());
        command()->close();
    }
    Query q(connection_.get(), "SELECT BB FROM P ORDER BY I NULLS LAST");
    ASSERT_TRUE(q.next());
    std::uint32_t size = 0;
    std::int32_t blank = -1;
    EXPECT_EQ(q.cursor->getBlobSize(1, &size, &blank), kResultOk);
    EXPECT_EQ(size, big.size());
    std::string whole(big.size() + 1, 'x');
    EXPECT_EQ(q.cursor->getBlob(1, whole.data(), &blank, static_cast<std::uint32_t>(whole.size())), kResultOk);
    EXPECT_EQ(whole.substr(0, big.size()), big);
    EXPECT_EQ(whole.back(), 'x');
    char part[12];
    std::memset(part, 'x', sizeof part);
    EXPECT_EQ(q.cursor->getBlob(1, part, &blank, 10), kResultOk);
    EXPECT_EQ(std::string(part, 10), big.substr(0, 10));
    EXPECT_EQ(part[10], 'x');
    EXPECT_EQ(q.cursor->getBlob(1, nullptr, &blank, 10), kResultOk);

    ASSERT_TRUE(q.next());  // empty
    EXPECT_EQ(q.cursor->getBlobSize(1, &size, &blank), kResultOk);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(blank, 0);
    EXPECT_EQ(q.cursor->getBlob(1, part, &blank, 10), kResultOk);
    ASSERT_TRUE(q.next());  // NULL
    EXPECT_EQ(q.cursor->getBlobSize(1, &size, &blank), kResultOk);
    EXPECT_EQ(blank, 1);
    EXPECT_EQ(q.cursor->getBlob(1, part, &blank, 10), kResultOk);
    EXPECT_EQ(blank, 1);
}

TEST_F(RealCommand, ShiftJisTextComesBackByteExact) {
    const std::string expected = plx::Utf8ToCp932("アラーム締切");
    ASSERT_EQ(expected.size(), 12u);
    {
        Query q(connection_.get(), "SELECT NAME FROM J");
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.text(1), expected);
    }
    Ref<SQLConnection> sjis(database_->connect(false));
    sjis->setOption(kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>("SJIS_0208"));
    ASSERT_EQ(sjis->connect(database_->path().c_str(), "SYSDBA", "fjordlamp"), kResultOk);
    {
        Query q(sjis.get(), "SELECT NAME FROM J");
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.text(1), expected);
    }
    EXPECT_EQ(sjis->disconnect(), kResultOk);
}

TEST_F(RealCommand, MisspelledStatementGivesAReadableError) {
    EXPECT_EQ(command()->prepare("SELEKT * FROM R", 0), kResultClientError);
    std::string text = ErrorText(command());
    EXPECT_NE(text.find("SELEKT"), std::string::npos) << text;
    EXPECT_EQ(text.find("Dynamic SQL"), std::string::npos) << text;
    EXPECT_EQ(text.find("SQL error code"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(command()->prepare(nullptr, 0), kResultClientError);
    EXPECT_EQ(command()->execute(cursor_.out()), kResultClientError) << "nothing was prepared";
    // The command stays usable.
    EXPECT_EQ(command()->prepare("SELECT ID FROM R", 0), kResultOk);
    std::int32_t value = 0;
    EXPECT_EQ(command()->getOption(2, &value, 4, nullptr), kResultOk);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(command()->setOption(11, 1), kResultNotSupported);
    EXPECT_EQ(command()->setOption(kCommOptionDialect, 4), kResultInvalidValue);
    EXPECT_EQ(command()->setOption(kCommOptionTransaction, 1), kResultNoTransaction);
}

TEST_F(RealCommand, CloseCommitsAndExplicitTransactionsTakeOver) {
    Ref<SQLConnection> observer(database_->connect());
    auto count = [&]() {
        Query q(observer.get(), "SELECT CAST(COUNT(*) AS INTEGER) FROM R");
        q.next();
        std::int32_t n = -1, blank = 0;
        q.cursor->getInt32(1, &n, &blank);
        return n;
    };
    int before = count();
    ASSERT_EQ(command()->executeDirect("INSERT INTO R VALUES (10, 'x')", cursor_.out()), kResultOk);
    EXPECT_EQ(count(), before) << "not committed yet";
    EXPECT_EQ(command()->close(), kResultOk);
    EXPECT_EQ(count(), before + 1) << "close commits";
    ASSERT_EQ(command()->executeDirect("INSERT INTO R VALUES (11, 'y')", cursor_.out()), kResultOk)
        << "the default transaction stays open after close";
    command()->close();

    TransactionDesc desc{1, 0, 0};
    ASSERT_EQ(connection_->beginTransaction(&desc), kResultOk);
    ASSERT_EQ(command()->executeDirect("INSERT INTO R VALUES (12, 'z')", cursor_.out()), kResultOk);
    command()->close();
    EXPECT_EQ(connection_->rollback(&desc), kResultOk);
    EXPECT_EQ(count(), before + 2) << "the rolled-back row is gone";
    ASSERT_EQ(command()->executeDirect("DELETE FROM R WHERE ID >= 10", cursor_.out()), kResultOk);
    command()->close();
    EXPECT_EQ(count(), before);
    EXPECT_EQ(observer->disconnect(), kResultOk);
}

TEST_F(RealCommand, CommandsOutliveTheirConnection) {
    Ref<SQLCommand> other;
    ASSERT_EQ(connection_->createCommand(other.out()), kResultOk);
    Query q(connection_.get(), "SELECT ID FROM R");
    ASSERT_TRUE(q.next());
    ASSERT_EQ(connection_->disconnect(), kResultOk);
    // The program closes the connection before its queries go; nothing may touch freed memory.
    EXPECT_EQ(q.cursor->next(), kResultClientError);
    EXPECT_NE(ErrorText(q.cursor.get()), "") << "the cursor gives its command's error text";
    q.cursor.reset();
    q.command.reset();
    other.reset();
    ASSERT_EQ(connection_->connect(database_->path().c_str(), "SYSDBA", "fjordlamp"), kResultOk);
}
