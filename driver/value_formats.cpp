// Value formats handed to and taken from the caller.
#include "driver/value_formats.h"

#include <cstdio>
#include <cstring>

namespace basalt {
namespace {

constexpr int kMaxDigits = 2 * static_cast<int>(sizeof(BcdValue::digits));

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// In 64 bits: the years of the largest day numbers are near 5.9 million, whose day counts only
// just fit 32 bits, and a year from the caller or the client may be any int.
std::int64_t DaysBeforeYear(std::int64_t year) {
    std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

std::int32_t DayNumber(int year, int month, int day) {
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
    std::int32_t dayOfYear = day;
    for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
    std::int64_t number = DaysBeforeYear(year) + dayOfYear;
    return number <= INT32_MAX ? static_cast<std::int32_t>(number) : 0;
}

bool CalendarDate(std::int32_t dayNumber, int* year, int* month, int* day) {
    if (dayNumber < 1) return false;
    int y = static_cast<int>(dayNumber / 366) + 1;  // never past the right year
    while (DaysBeforeYear(y + 1) < dayNumber) ++y;
    auto rest = static_cast<std::int32_t>(dayNumber - DaysBeforeYear(y));
    int m = 1;
    while (rest > DaysInMonth(y, m)) rest -= DaysInMonth(y, m++);
    *year = y;
    *month = m;
    *day = static_cast<int>(rest);
    return true;
}

bool FormatScaled(std::int64_t value, int scale, char* text) {
    bool negative = value < 0;
    // Digits of the magnitude, computed without negating the most negative value.
    char digits[kDecimalTextSize];
    int count = 0;
    do {
        int digit = static_cast<int>(value % 10);
        digits[count++] = static_cast<char>('0' + (digit < 0 ? -digit : digit));
        value /= 10;
    } while (value != 0);
    if (scale > 0) {
        if (count + scale > kMaxDigits) return false;
        std::memmove(digits + scale, digits, static_cast<std::size_t>(count));
        std::memset(digits, '0', static_cast<std::size_t>(scale));
        count += scale;
        scale = 0;
    }
    int places = -scale;
    if (places > kMaxDigits) return false;
    while (count <= places) digits[count++] = '0';  // at least one digit before the point
    char* out = text;
    if (negative) *out++ = '-';
    for (int i = count - 1; i >= 0; --i) {
        *out++ = digits[i];
        if (i == places && places > 0) *out++ = '.';
    }
    *out = '\0';
    return true;
}

void FormatDouble(double value, int places, char* text) {
    if (places > 0 && places <= kMaxDigits) {
        int written = std::snprintf(text, kDecimalTextSize, "%.*f", places, value);
        if (written > 0 && written < kDecimalTextSize) return;
    }
    std::snprintf(text, kDecimalTextSize, "%.15g", value);
}

ResultCode PackBcd(const char* text, BcdValue* bcd) {
    std::memset(bcd, 0, sizeof *bcd);
    const char* p = text;
    while (*p == ' ') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    int digits = 0, places = 0;
    bool point = false;
    for (; *p; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (digits == kMaxDigits) break;
            int nibble = *p - '0';
            bcd->digits[digits / 2] |= static_cast<std::uint8_t>(digits % 2 == 0 ? nibble << 4 : nibble);
            ++digits;
            if (point) ++places;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (*p == ' ') ++p;
    if (*p != '\0' || digits == 0 || places > 63) {
        std::memset(bcd, 0, sizeof *bcd);
        return kResultTypeMismatch;
    }
    bcd->precision = static_cast<std::uint8_t>(digits);
    bcd->signScale = static_cast<std::uint8_t>(places | (negative ? 0x80 : 0));
    return kResultOk;
}

bool UnpackBcd(const BcdValue& bcd, char* text) {
    int digits = bcd.precision;
    int places = bcd.signScale & 0x3F;
    if (digits < 1 || digits > kMaxDigits || places > digits) return false;
    char* out = text;
    if (bcd.signScale & 0x80) *out++ = '-';
    for (int i = 0; i < digits; ++i) {
        if (i == digits - places) {
            if (i == 0) *out++ = '0';
            *out++ = '.';
        }
        int nibble = i % 2 == 0 ? bcd.digits[i / 2] >> 4 : bcd.digits[i / 2] & 0x0F;
        if (nibble > 9) return false;
        *out++ = static_cast<char>('0' + nibble);
    }
    *out = '\0';
    return true;
}

}  // namespace basalt
