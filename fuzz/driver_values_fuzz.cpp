// Fuzz target: the driver's value formats. Day numbers and calendar dates convert both ways, a
// scaled integer's text packs into a decimal record and reads back as the same number, and no
// text is ever longer than its buffer (each buffer is on the heap at its exact size).
#include <memory>
#include <string>

#include "driver/value_formats.h"
#include "fuzz/decimal_text.h"
#include "fuzz/fuzz_support.h"

namespace {

using TextBuffer = std::unique_ptr<char[]>;
TextBuffer NewTextBuffer() {
    return std::make_unique<char[]>(basalt::kDecimalTextSize);
}

std::string Date(int year, int month, int day) {
    return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

void CheckDates(std::int32_t dayNumber, int year, int month, int day) {
    int y = 0, m = 0, d = 0;
    bool exists = basalt::CalendarDate(dayNumber, &y, &m, &d);
    FUZZ_CHECK(exists == (dayNumber >= 1), "day " + std::to_string(dayNumber));
    if (exists)
        FUZZ_CHECK(basalt::DayNumber(y, m, d) == dayNumber,
                   "day " + std::to_string(dayNumber) + " is " + Date(y, m, d));

    const std::int32_t number = basalt::DayNumber(year, month, day);
    if (number == 0) return;
    FUZZ_CHECK(basalt::CalendarDate(number, &y, &m, &d) && y == year && m == month && d == day,
               Date(year, month, day) + " is day " + std::to_string(number) + ", which is " + Date(y, m, d));
}

// `text` packed and read back; checks that nothing changed on the way.
void CheckPacked(const char* text) {
    BcdValue bcd;
    if (basalt::PackBcd(text, &bcd) != 0) return;
    TextBuffer back = NewTextBuffer();
    FUZZ_CHECK(basalt::UnpackBcd(bcd, back.get()), std::string("cannot unpack what ") + text + " packed into");
    // The packed form keeps no blanks and no "+".
    std::string_view plain(text);
    plain.remove_prefix(plain.find_first_not_of(' '));
    if (plain[0] == '+') plain.remove_prefix(1);
    plain.remove_suffix(plain.size() - plain.find_last_not_of(' ') - 1);
    FUZZ_CHECK(plxfuzz::CanonicalDecimal(back.get()) == plxfuzz::CanonicalDecimal(plain),
               std::string(text) + " reads back as " + back.get());
}

void CheckScaled(std::int64_t value, std::int16_t scale) {
    TextBuffer text = NewTextBuffer();
    if (!basalt::FormatScaled(value, scale, text.get())) return;
    // The digits are the value's, with the point moved by the scale.
    std::string digits;
    for (const char* p = text.get(); *p; ++p)
        if (*p != '-' && *p != '.') digits += *p;
    std::string magnitude = std::to_string(value);
    if (magnitude[0] == '-') magnitude.erase(0, 1);
    if (scale > 0 && value != 0) magnitude.append(static_cast<std::size_t>(scale), '0');
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));  // zero scaled up is all zeros
    FUZZ_CHECK(digits == magnitude,
               std::string(text.get()) + " for " + std::to_string(value) + " scale " + std::to_string(scale));
    FUZZ_CHECK((text[0] == '-') == (value < 0), text.get());
    CheckPacked(text.get());
}

void CheckRecord(const BcdValue& bcd) {
    TextBuffer text = NewTextBuffer();
    if (!basalt::UnpackBcd(bcd, text.get())) return;
    BcdValue again;
    FUZZ_CHECK(basalt::PackBcd(text.get(), &again) == 0, std::string("cannot pack ") + text.get());
    TextBuffer back = NewTextBuffer();
    FUZZ_CHECK(basalt::UnpackBcd(again, back.get()) && std::string(back.get()) == text.get(),
               std::string(text.get()) + " packs to another value");
}

void CheckDouble(double value, std::int16_t places) {
    TextBuffer text = NewTextBuffer();
    basalt::FormatDouble(value, places, text.get());
    FUZZ_CHECK(std::char_traits<char>::length(text.get()) < static_cast<std::size_t>(basalt::kDecimalTextSize),
               "double text too long");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plxfuzz::InputReader input(data, size);
    const auto dayNumber = input.Take<std::int32_t>();
    const auto year = input.Take<std::int32_t>();
    const auto month = input.Take<std::int8_t>();
    const auto day = input.Take<std::int8_t>();
    CheckDates(dayNumber, year, month, day);
    const auto value = input.Take<std::int64_t>();
    const auto scale = input.Take<std::int16_t>();
    CheckScaled(value, scale);
    const auto number = input.Take<double>();
    const auto places = input.Take<std::int16_t>();
    CheckDouble(number, places);
    CheckRecord(input.Take<BcdValue>());
    const std::string text(input.TakeText('\0', 200));
    CheckPacked(text.c_str());
    return 0;
}
