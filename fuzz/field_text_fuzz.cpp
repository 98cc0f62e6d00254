// Fuzz target: the data module's field texts for any value the driver can hand over. Packed
// decimals must read as the driver's own text of them, dates and times as the calendar days and
// seconds they stand for.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/field_text.h"
#include "driver/value_formats.h"
#include "fuzz/decimal_text.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::int32_t kLastDay = 3652059;  // 9999-12-31 with 0001-01-01 as day 1

void CheckBcd(const BcdValue& value) {
    const std::string text = plx::BcdText(value);
    const std::optional<std::string> canonical = plxfuzz::CanonicalDecimal(text);
    FUZZ_CHECK(canonical && *canonical == text, "not a plain decimal: " + text);
    const int places = value.signScale & 0x3F;
    const std::size_t point = text.find('.');
    FUZZ_CHECK(places == 0 ? point == std::string::npos : text.size() - point - 1 == static_cast<std::size_t>(places),
               text + " for " + std::to_string(places) + " places");
    char driverText[basalt::kDecimalTextSize];
    if (basalt::UnpackBcd(value, driverText))
        FUZZ_CHECK(plxfuzz::CanonicalDecimal(driverText) == canonical,
                   "data module " + text + ", driver " + driverText);
}

void CheckDay(std::int32_t day) {
    const std::string text = plx::DayNumberText(day);
    if (day < 1 || day > kLastDay) return;
    int year = 0, month = 0, dayOfMonth = 0;
    FUZZ_CHECK(text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d", &year, &month, &dayOfMonth) == 3, text);
    FUZZ_CHECK(basalt::DayNumber(year, month, dayOfMonth) == day, text + " for day " + std::to_string(day));
}

void CheckTime(std::int32_t milliseconds) {
    const std::string text = plx::TimeOfDayText(milliseconds);
    if (milliseconds < 0 || milliseconds >= 86'400'000) return;
    int hour = 0, minute = 0, second = 0;
    FUZZ_CHECK(text.size() == 8 && std::sscanf(text.c_str(), "%2d:%2d:%2d", &hour, &minute, &second) == 3, text);
    FUZZ_CHECK(minute < 60 && second < 60 && (hour * 60 + minute) * 60 + second == milliseconds / 1000,
               text + " for " + std::to_string(milliseconds));
}

void CheckTimestamp(const TimestampValue& value) {
    const std::string text = plx::TimestampText(value);
    bool valid = basalt::DayNumber(value.year, value.month, value.day) != 0 && value.year <= 9999 && value.hour < 24 &&
                 value.minute < 60 && value.second < 60;
    if (!valid) return;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", value.year, value.month, value.day,
                  value.hour, value.minute, value.second);
    FUZZ_CHECK(text == expected, text + " for " + expected);
}

void CheckDouble(double value) {
    const std::string text = plx::DoubleText(value);
    FUZZ_CHECK(!text.empty() && text.size() < 40, text);
    if (!std::isfinite(value)) return;
    // Read back wider: 15 digits of the largest doubles round up past the double range.
    const long double back = std::strtold(text.c_str(), nullptr);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(static_cast<long double>(value)) * 1e-14L, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plxfuzz::InputReader input(data, size);
    CheckBcd(input.Take<BcdValue>());
    CheckDay(input.Take<std::int32_t>());
    CheckTime(input.Take<std::int32_t>());
    CheckTimestamp(input.Take<TimestampValue>());
    CheckDouble(input.Take<double>());
    return 0;
}
