// Field values as text.
#include "data/field_text.h"

#include <cstdio>

namespace plx {
namespace {

std::string Format(const char* format, int a, int b, int c) {
    char text[48];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Days from 1970-01-01 to a civil date (Howard Hinnant's algorithm, valid for every year >= 1).
void CivilFromDays(long long z, int* year, int* month, int* day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

constexpr long long kDayNumberOf1970 = 719163;  // 1970-01-01 counted with 0001-01-01 as day 1

}  // namespace

std::string BcdText(const BcdValue& value) {
    int digitCount = value.precision;
    if (digitCount > 64) digitCount = 64;  // 32 bytes of nibbles
    const int places = value.signScale & 0x3F;
    std::string digits;
    for (int i = 0; i < digitCount; ++i) {
        const std::uint8_t byte = value.digits[i / 2];
        const int nibble = (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
        digits += static_cast<char>('0' + (nibble > 9 ? 9 : nibble));
    }
    if (static_cast<int>(digits.size()) <= places) digits.insert(0, places + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - places);
    std::size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    std::string text = whole;
    if (places > 0) text += "." + digits.substr(digits.size() - places);
    const bool negative = (value.signScale & 0x80) != 0 && digits.find_first_not_of('0') != std::string::npos;
    return negative ? "-" + text : text;
}

std::string DayNumberText(std::int32_t dayNumber) {
    int year, month, day;
    CivilFromDays(static_cast<long long>(dayNumber) - kDayNumberOf1970, &year, &month, &day);
    return Format("%04d-%02d-%02d", year, month, day);
}

std::string TimeOfDayText(std::int32_t milliseconds) {
    const int seconds = milliseconds / 1000;
    return Format("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string TimestampText(const TimestampValue& value) {
    return Format("%04d-%02d-%02d", value.year, value.month, value.day) + " " +
           Format("%02d:%02d:%02d", value.hour, value.minute, value.second);
}

std::string DoubleText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace plx
