// Field values as text: packed decimals, day numbers, times, timestamps, doubles.
#include "data/field_text.h"

#include <gtest/gtest.h>

using namespace plx;

namespace {

BcdValue Bcd(const std::string& digits, int places, bool negative = false) {
    BcdValue value{};
    value.precision = static_cast<std::uint8_t>(digits.size());
    value.signScale = static_cast<std::uint8_t>(places | (negative ? 0x80 : 0));
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int nibble = digits[i] - '0';
        value.digits[i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? nibble << 4 : nibble);
    }
    return value;
}

}  // namespace

TEST(FieldText, PackedDecimalsKeepTheirScale) {
    EXPECT_EQ(BcdText(Bcd("12345", 2)), "123.45");
    EXPECT_EQ(BcdText(Bcd("12345", 2, true)), "-123.45");
    EXPECT_EQ(BcdText(Bcd("653", 2)), "6.53");
    EXPECT_EQ(BcdText(Bcd("005", 2)), "0.05");
    EXPECT_EQ(BcdText(Bcd("5", 2, true)), "-0.05");  // fewer digits than places
    EXPECT_EQ(BcdText(Bcd("1200", 2)), "12.00");
    EXPECT_EQ(BcdText(Bcd("000", 2, true)), "0.00");  // no negative zero
    EXPECT_EQ(BcdText(Bcd("0042", 0)), "42");
    EXPECT_EQ(BcdText(Bcd("", 0)), "0");
    EXPECT_EQ(BcdText(Bcd("123456789012345678", 4)), "12345678901234.5678");
    BcdValue wild{};
    wild.precision = 255;  // more digits than the record holds: read no further than its end
    wild.signScale = 0x3F;
    EXPECT_EQ(BcdText(wild), "0." + std::string(63, '0'));
}

TEST(FieldText, DatesTimesAndTimestamps) {
    EXPECT_EQ(DayNumberText(1), "0001-01-01");
    EXPECT_EQ(DayNumberText(732402), "2006-04-01");
    EXPECT_EQ(DayNumberText(719163), "1970-01-01");
    EXPECT_EQ(DayNumberText(730179), "2000-02-29");
    EXPECT_EQ(DayNumberText(3652059), "9999-12-31");
    EXPECT_EQ(TimeOfDayText(0), "00:00:00");
    EXPECT_EQ(TimeOfDayText(47107000), "13:05:07");
    EXPECT_EQ(TimeOfDayText(86399999), "23:59:59");
    EXPECT_EQ(TimestampText({2006, 4, 1, 10, 30, 0, 0}), "2006-04-01 10:30:00");
    EXPECT_EQ(DoubleText(0.5), "0.5");
    EXPECT_EQ(DoubleText(1800), "1800");
    EXPECT_EQ(DoubleText(-6.53), "-6.53");
    EXPECT_EQ(DoubleText(0.1 + 0.2), "0.3");
}
