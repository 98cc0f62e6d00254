// Decimal texts in one spelling, to compare the driver's and the data module's renderings of the
// same value: no blanks or "+", no leading zeros before the point, "-" only for a non-zero value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plxfuzz {

// Empty when `text` is not "[-]digits[.digits]" (digits on at least one side of the point).
inline std::optional<std::string> CanonicalDecimal(std::string_view text) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    for (std::string_view part : {whole, fraction})
        if (part.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    std::string out = whole.empty() ? "0" : std::string(whole);
    if (!fraction.empty()) out += "." + std::string(fraction);
    if (negative && out.find_first_not_of("0.") != std::string::npos) out.insert(0, "-");
    return out;
}

}  // namespace plxfuzz
