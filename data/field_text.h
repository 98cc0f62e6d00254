// How a database value of each field type reads as text, for the query objects' "field as text".
//
//   string      the bytes as the driver returns them (CHAR keeps its trailing blanks)
//   integers    decimal, with a leading "-" when negative
//   numeric     decimal with exactly its scale's digits after the point: "123.45", "-0.05", "7"
//   floating    up to 15 significant digits, shortest form ("%.15g"): "0.5", "1800", "1e+20"
//   date        YYYY-MM-DD
//   time        HH:MM:SS
//   timestamp   YYYY-MM-DD HH:MM:SS
//   blob        its bytes
//   NULL        empty text
#pragma once

#include <cstdint>
#include <string>

#include "driver/sqldriver.h"

namespace plx {

std::string BcdText(const BcdValue& value);

// Day number with 0001-01-01 as day 1 (proleptic Gregorian).
std::string DayNumberText(std::int32_t dayNumber);
// Milliseconds since midnight.
std::string TimeOfDayText(std::int32_t milliseconds);
std::string TimestampText(const TimestampValue& value);
std::string DoubleText(double value);

}  // namespace plx
