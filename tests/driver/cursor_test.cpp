// Column descriptions and values of every column type, read through a cursor from a real database.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

namespace {

const char* kTypesSchema = R"(
CREATE TABLE T (ID INTEGER, SI SMALLINT, I INTEGER, BI BIGINT, N41 NUMERIC(4,1), N92 NUMERIC(9,2),
  N184 NUMERIC(18,4), D182 DECIMAL(18,2), F FLOAT, DP DOUBLE PRECISION, C4 CHAR(4), VC10 VARCHAR(10),
  DT DATE, TM TIME, TS TIMESTAMP, BT BLOB SUB_TYPE TEXT, BB BLOB SUB_TYPE BINARY, AR INTEGER[3]);
INSERT INTO T VALUES (1, 32767, 123456, 9000000000, 123.4, 123.45, 12345.6789, 1234567.89, 1.5, 2.25,
  'AB', 'ABC', '2006-04-01', '13:05:07', '2006-04-01 10:30:00', 'memo', x'00FF', NULL);
INSERT INTO T VALUES (2, -12, -123456, -9000000000, -0.5, -0.05, -1.0001, -0.01, -1.5, -2.25,
  '', '', '0001-01-01', '00:00:00', '0001-01-01 23:59:59', '', x'', NULL);
INSERT INTO T VALUES (3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'ABCD', 'ABCDEFGHIJ', '9999-12-31', '23:59:59',
  '9999-12-31 00:00:01', NULL, NULL, NULL);
INSERT INTO T (ID) VALUES (4);
)";

std::string Digits(const BcdValue& bcd) {
    std::string digits;
    for (int i = 0; i < bcd.precision; ++i) {
        int nibble = i % 2 == 0 ? bcd.digits[i / 2] >> 4 : bcd.digits[i / 2] & 0x0F;
        digits += static_cast<char>('0' + nibble);
    }
    return digits;
}

// Sign, digits and places of a packed decimal as text, e.g. "-0005/4".
std::string BcdText(const BcdValue& bcd) {
    return std::string((bcd.signScale & 0x80) ? "-" : "") + Digits(bcd) + "/" + std::to_string(bcd.signScale & 0x3F);
}

class TypesCursor : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database_ = new RealDatabase(kTypesSchema); }
    static void TearDownTestSuite() {
        delete database_;
        database_ = nullptr;
    }
    void SetUp() override { *connection_.out() = database_->connect(); }
    void TearDown() override { EXPECT_EQ(connection_->disconnect(), kResultOk); }

    static RealDatabase* database_;
    Ref<SQLConnection> connection_;
};
RealDatabase* TypesCursor::database_ = nullptr;

}  // namespace

TEST_F(TypesCursor, DescribesEveryColumnType) {
    Query q(connection_.get(),
            "SELECT SI, I, BI, N41, N92, N184, D182, F, DP, C4, VC10, DT, TM, TS, BT, BB, AR FROM T");
    struct Expected {
        const char* name;
        std::uint16_t type, subType;
        std::int16_t precision, scale;
        std::uint32_t length;
    };
    const Expected expected[] = {
        {"SI", kFieldInt16, 0, 2, 0, 2},
        {"I", kFieldInt32, 0, 4, 0, 4},
        {"BI", kFieldBcd, 0, 15, 0, 34},
        {"N41", kFieldBcd, 0, 5, -1, 34},
        {"N92", kFieldBcd, 0, 9, -2, 34},
        {"N184", kFieldBcd, 0, 15, -4, 34},
        {"D182", kFieldBcd, 0, 15, -2, 34},
        {"F", kFieldFloat, 0, 4, 0, 8},
        {"DP", kFieldFloat, 0, 8, 0, 8},
        {"C4", kFieldString, kSubtypeFixed, 4, 0, 5},
        {"VC10", kFieldString, 0, 10, 0, 11},
        {"DT", kFieldDate, 0, 4, 0, 4},
        {"TM", kFieldTime, 0, 4, 0, 4},
        {"TS", kFieldTimestamp, 0, 8, 0, 16},
        {"BT", kFieldBlob, kSubtypeMemo, 1, 0, 20},
        {"BB", kFieldBlob, kSubtypeBinary, 1, 0, 20},
        {"AR", kFieldBytes, 0, 8, 0, 8},
    };
    std::uint16_t count = 0;
    ASSERT_EQ(q.cursor->getColumnCount(&count), kResultOk);
    ASSERT_EQ(count, std::size(expected));
    for (std::uint16_t c = 1; c <= count; ++c) {
        const Expected& e = expected[c - 1];
        std::uint16_t type = 0, subType = 0, nameLength = 0;
        std::int16_t precision = 0, scale = 0;
        std::uint32_t length = 0;
        char name[32] = {};
        EXPECT_EQ(q.cursor->getColumnType(c, &type, &subType), kResultOk);
        q.cursor->getColumnPrecision(c, &precision);
        q.cursor->getColumnScale(c, &scale);
        q.cursor->getColumnLength(c, &length);
        q.cursor->getColumnNameLength(c, &nameLength);
        q.cursor->getColumnName(c, name);
        EXPECT_STREQ(name, e.name);
        EXPECT_EQ(nameLength, std::strlen(e.name) + 1) << e.name;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(subType, e.subType) << e.name;
        EXPECT_EQ(precision, e.precision) << e.name;
        EXPECT_EQ(scale, e.scale) << e.name;
        EXPECT_EQ(length, e.length) << e.name;
        std::int32_t searchable = -1, nullable = -1;
        q.cursor->isSearchable(c, &searchable);
        q.cursor->isNullable(c, &nullable);
        EXPECT_EQ(searchable, e.type == kFieldBlob ? 0 : 1) << e.name;
        EXPECT_EQ(nullable, 1) << e.name;
    }
    std::int32_t flag = -1;
    EXPECT_EQ(q.cursor->isSearchable(0, &flag), kResultOutOfRange);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(q.cursor->isBlobSizeExact(99, &flag), kResultOk);
    EXPECT_EQ(q.cursor->getColumnType(18, &count, &count), kResultOutOfRange);
}

TEST_F(TypesCursor, ReadsNumbersWithTheirScale) {
    Query q(connection_.get(), "SELECT SI, I, BI, N41, N92, N184, D182, F, DP FROM T ORDER BY ID");
    const char* bcdRows[][5] = {
        {"9000000000/0", "1234/1", "12345/2", "123456789/4", "123456789/2"},
        {"-9000000000/0", "-05/1", "-005/2", "-10001/4", "-001/2"},
        {"0/0", "00/1", "000/2", "00000/4", "000/2"},
    };
    const std::int16_t smallints[] = {32767, -12, 0};
    const std::int32_t integers[] = {123456, -123456, 0};
    const double floats[][2] = {{1.5, 2.25}, {-1.5, -2.25}, {0, 0}};
    for (int row = 0; row < 3; ++row) {
        ASSERT_TRUE(q.next());
        std::int32_t blank = -1;
        std::int16_t small = 0;
        std::int32_t integer = 0;
        EXPECT_EQ(q.cursor->getInt16(1, &small, &blank), kResultOk);
        EXPECT_EQ(small, smallints[row]);
        EXPECT_EQ(blank, 0);
        EXPECT_EQ(q.cursor->getInt32(2, &integer, &blank), kResultOk);
        EXPECT_EQ(integer, integers[row]);
        for (std::uint16_t c = 3; c <= 7; ++c) {
            BcdValue bcd;
            std::memset(&bcd, 0xAA, sizeof bcd);
            EXPECT_EQ(q.cursor->getBcd(c, &bcd, &blank), kResultOk);
            EXPECT_EQ(BcdText(bcd), bcdRows[row][c - 3]) << "row " << row << " column " << c;
            for (int i = (bcd.precision + 1) / 2; i < 32; ++i) EXPECT_EQ(bcd.digits[i], 0) << c;
        }
        double value = 0;
        EXPECT_EQ(q.cursor->getDouble(8, &value, &blank), kResultOk);
        EXPECT_EQ(value, floats[row][0]);
        EXPECT_EQ(q.cursor->getDouble(9, &value, &blank), kResultOk);
        EXPECT_EQ(value, floats[row][1]);
    }
    // The all-NULL row: every getter says blank and leaves the value alone.
    ASSERT_TRUE(q.next());
    std::int32_t blank = -1;
    std::int32_t integer = 77;
    EXPECT_EQ(q.cursor->getInt32(2, &integer, &blank), kResultOk);
    EXPECT_EQ(blank, 1);
    EXPECT_EQ(integer, 77);
    BcdValue bcd{};
    bcd.precision = 99;
    EXPECT_EQ(q.cursor->getBcd(5, &bcd, &blank), kResultOk);
    EXPECT_EQ(blank, 1);
    EXPECT_EQ(bcd.precision, 99);
    EXPECT_FALSE(q.next());
    EXPECT_EQ(q.cursor->next(), kResultEndOfData);
    EXPECT_EQ(q.cursor->next(), kResultEndOfData);
}

TEST_F(TypesCursor, ReadsTextDatesAndTimes) {
    Query q(connection_.get(), "SELECT C4, VC10, DT, TM, TS FROM T ORDER BY ID");
    struct Row {
        const char* c4;
        const char* vc10;
        std::int32_t day;
        std::int32_t ms;
        TimestampValue stamp;
    };
    const Row rows[] = {
        {"AB  ", "ABC", 732402, 47107000, {2006, 4, 1, 10, 30, 0, 0}},
        {"    ", "", 1, 0, {1, 1, 1, 23, 59, 59, 0}},
        {"ABCD", "ABCDEFGHIJ", 3652059, 86399000, {9999, 12, 31, 0, 0, 1, 0}},
    };
    for (const Row& expected : rows) {
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.text(1), expected.c4);
        EXPECT_EQ(q.text(2), expected.vc10);
        std::int32_t blank = -1, day = 0, ms = -1;
        EXPECT_EQ(q.cursor->getDate(3, &day, &blank), kResultOk);
        EXPECT_EQ(day, expected.day);
        EXPECT_EQ(q.cursor->getTime(4, &ms, &blank), kResultOk);
        EXPECT_EQ(ms, expected.ms);
        TimestampValue stamp;
        std::memset(&stamp, 0xAA, sizeof stamp);
        EXPECT_EQ(q.cursor->getTimestamp(5, &stamp, &blank), kResultOk);
        EXPECT_EQ(std::memcmp(&stamp, &expected.stamp, sizeof stamp), 0)
            << stamp.year << "-" << stamp.month << "-" << stamp.day << " " << stamp.hour << ":" << stamp.minute << ":"
            << stamp.second << " f" << stamp.fractions;
    }
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text(1), "<NULL>");
    EXPECT_EQ(q.text(2), "<NULL>");
}

TEST_F(TypesCursor, GettersRefuseTheWrongTypeAndMissingRows) {
    Query q(connection_.get(), "SELECT VC10, I, AR FROM T ORDER BY ID");
    std::int32_t value = 0, blank = 0;
    char text[16];
    EXPECT_EQ(q.cursor->getString(1, text, &blank), kResultNoHandle) << "before the first next";
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.cursor->getInt32(1, &value, &blank), kResultTypeMismatch);
    EXPECT_EQ(q.cursor->getInt32(0, &value, &blank), kResultOutOfRange);
    EXPECT_EQ(q.cursor->getInt32(4, &value, &blank), kResultOutOfRange);
    EXPECT_EQ(q.cursor->getInt32(2, nullptr, &blank), kResultMissingPointer);
    EXPECT_EQ(q.cursor->getInt32(2, &value, nullptr), kResultMissingPointer);
    std::uint32_t size = 0;
    EXPECT_EQ(q.cursor->getBlobSize(1, &size, &blank), kResultNotBlob);
    std::uint8_t bytes[8];
    EXPECT_EQ(q.cursor->getBytes(1, bytes, &blank), kResultNotSupported);
    blank = 0;
    EXPECT_EQ(q.cursor->getBytes(3, bytes, &blank), kResultOk);
    EXPECT_EQ(blank, 1);
    while (q.next()) {
    }
    EXPECT_EQ(q.cursor->getInt32(2, &value, &blank), kResultEndOfData) << "after the end";

    // A closed command has no row buffer left to read.
    Query closed(connection_.get(), "SELECT I FROM T");
    ASSERT_TRUE(closed.next());
    EXPECT_EQ(closed.command->close(), kResultOk);
    EXPECT_EQ(closed.cursor->getInt32(1, &value, &blank), kResultNoHandle);
    EXPECT_EQ(closed.cursor->next(), kResultNoHandle);
    std::uint16_t count = 9;
    EXPECT_EQ(closed.cursor->getColumnCount(&count), kResultNoHandle);
    EXPECT_EQ(count, 9);
    // Releasing that cursor later leaves the command's next statement alone.
    ASSERT_EQ(closed.command->prepare("SELECT I FROM T WHERE ID = ?", 1), kResultOk);
    std::int32_t id = 1;
    ASSERT_EQ(closed.command->setParameter(1, 0, kParamInput, kFieldInt32, 0, 0, 0, 4, &id, 0), kResultOk);
    closed.cursor.reset();
    Ref<SQLCursor> again;
    ASSERT_EQ(closed.command->execute(again.out()), kResultOk);
    ASSERT_EQ(again->next(), kResultOk);
    EXPECT_EQ(again->getInt32(1, &value, &blank), kResultOk);
    EXPECT_EQ(value, 123456);
}
