// Day numbers and packed decimals, the value formats the driver hands to its callers.
#include "driver/value_formats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <tuple>

using namespace basalt;

namespace {

std::string Text(const BcdValue& bcd) {
    char text[kDecimalTextSize];
    return UnpackBcd(bcd, text) ? std::string(text) : "<bad>";
}

std::string Scaled(std::int64_t value, int scale) {
    char text[kDecimalTextSize];
    return FormatScaled(value, scale, text) ? std::string(text) : "<too wide>";
}

}  // namespace

TEST(DayNumber, CountsFromTheFirstOfJanuaryOfYearOne) {
    EXPECT_EQ(DayNumber(1, 1, 1), 1);
    EXPECT_EQ(DayNumber(2006, 4, 1), 732402);
    EXPECT_EQ(DayNumber(2000, 2, 29), 730179);
    for (auto [y, m, d] : {std::tuple{1900, 2, 29}, {2006, 13, 1}, {2006, 4, 31}, {0, 1, 1}, {2006, 0, 1}})
        EXPECT_EQ(DayNumber(y, m, d), 0) << y << "-" << m << "-" << d;
    // Every day of the calendar the engine can hold maps back to itself.
    std::int32_t expected = 1;
    for (int y = 1; y <= 9999; y += y < 2100 ? 1 : 97)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; DayNumber(y, m, d) != 0; ++d) {
                std::int32_t day = DayNumber(y, m, d);
                if (y < 2100) {
                    EXPECT_EQ(day, expected++);
                }
                int y2 = 0, m2 = 0, d2 = 0;
                ASSERT_TRUE(CalendarDate(day, &y2, &m2, &d2));
                ASSERT_EQ(std::tie(y2, m2, d2), std::tie(y, m, d)) << day;
            }
    int y = 0, m = 0, d = 0;
    EXPECT_FALSE(CalendarDate(0, &y, &m, &d));
    EXPECT_FALSE(CalendarDate(-5, &y, &m, &d));
}

TEST(DayNumber, EndsWhereThirtyTwoBitsEnd) {
    // The last day a day number can hold, both ways; a year beyond it has no day number.
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(CalendarDate(INT32_MAX, &y, &m, &d));
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(5879611, 7, 11));
    EXPECT_EQ(DayNumber(5879611, 7, 11), INT32_MAX);
    EXPECT_EQ(DayNumber(5879611, 7, 12), 0);
    EXPECT_EQ(DayNumber(100665320, 1, 1), 0);
    EXPECT_EQ(DayNumber(INT32_MAX, 12, 31), 0);
}

TEST(ScaledText, PlacesThePointAndKeepsTheSign) {
    EXPECT_EQ(Scaled(12345, -2), "123.45");
    EXPECT_EQ(Scaled(-5, -2), "-0.05");
    EXPECT_EQ(Scaled(0, -4), "0.0000");
    EXPECT_EQ(Scaled(-9000000000, 0), "-9000000000");
    EXPECT_EQ(Scaled(12, 3), "12000");
    EXPECT_EQ(Scaled(std::numeric_limits<std::int64_t>::min(), -4), "-922337203685477.5808");
    EXPECT_EQ(Scaled(1, 70), "<too wide>");
    char text[kDecimalTextSize];
    FormatDouble(123.45, 2, text);
    EXPECT_STREQ(text, "123.45");
    FormatDouble(0.1 + 0.2, 0, text);
    EXPECT_STREQ(text, "0.3");
}

TEST(PackedDecimal, PacksDigitsSignAndPlaces) {
    BcdValue bcd;
    ASSERT_EQ(PackBcd("  -123.45 ", &bcd), kResultOk);
    EXPECT_EQ(bcd.precision, 5);
    EXPECT_EQ(bcd.signScale, 0x82);
    EXPECT_EQ(bcd.digits[0], 0x12);
    EXPECT_EQ(bcd.digits[1], 0x34);
    EXPECT_EQ(bcd.digits[2], 0x50);
    for (int i = 3; i < 32; ++i) EXPECT_EQ(bcd.digits[i], 0);
    EXPECT_EQ(Text(bcd), "-123.45");
    ASSERT_EQ(PackBcd("0.05", &bcd), kResultOk);
    EXPECT_EQ(Text(bcd), "0.05");
    ASSERT_EQ(PackBcd("+7", &bcd), kResultOk);
    EXPECT_EQ(Text(bcd), "7");
    std::string widest(64, '9');
    ASSERT_EQ(PackBcd(widest.c_str(), &bcd), kResultOk);
    EXPECT_EQ(Text(bcd), widest);

    std::string tooWide(65, '1');
    for (const char* bad : {"1e5", "1.5E-3", "1.2.3", "", "-", "12a", tooWide.c_str()}) {
        std::memset(&bcd, 0x55, sizeof bcd);
        EXPECT_EQ(PackBcd(bad, &bcd), kResultTypeMismatch) << bad;
        EXPECT_EQ(bcd.precision, 0) << bad;
        EXPECT_EQ(bcd.digits[31], 0) << bad;
    }
    BcdValue malformed{};
    malformed.precision = 2;
    malformed.digits[0] = 0x1A;
    EXPECT_EQ(Text(malformed), "<bad>");
    malformed.precision = 65;
    EXPECT_EQ(Text(malformed), "<bad>");
}
