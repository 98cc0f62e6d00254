// Value formats handed to and taken from the caller: day numbers, milliseconds and packed decimals.
#pragma once

#include <cstdint>

#include "driver/sqldriver.h"

namespace basalt {

// Days since 31 December of year 0 in the proleptic Gregorian calendar (0001-01-01 is 1);
// 0 for a date that does not exist or lies too far ahead for 32 bits (past year 5879611).
std::int32_t DayNumber(int year, int month, int day);
// 9999-12-31, the last day a date value can hold.
inline constexpr std::int32_t kLastDayNumber = 3'652'059;
// The calendar date of a day number of 1 or more; false for anything below 1.
bool CalendarDate(std::int32_t dayNumber, int* year, int* month, int* day);

// Longest decimal text any value here can produce: sign, 64 digits, point, terminator.
inline constexpr int kDecimalTextSize = 80;

// `value` scaled by 10^scale as decimal text without exponent; a positive scale multiplies.
// Returns false when the text would not fit kDecimalTextSize.
bool FormatScaled(std::int64_t value, int scale, char* text);
// A double as decimal text: with `places` digits after the point when places > 0, else at most
// 15 significant digits.
void FormatDouble(double value, int places, char* text);

// Packs "[blanks][sign]digits[.digits][blanks]" into `bcd`. 6 (record zeroed) for an exponent,
// a malformed text or more digits than the record holds.
ResultCode PackBcd(const char* text, BcdValue* bcd);
// The text of a packed decimal; false when the record is malformed.
bool UnpackBcd(const BcdValue& bcd, char* text /* kDecimalTextSize */);

}  // namespace basalt
