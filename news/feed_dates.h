// Item dates as release marks: YYYYMMDDHHNNSS on Japan's clock, so that every feed compares with
// every other and with the mark kept in the settings.
#pragma once

#include <string>
#include <string_view>

namespace plx {

// The mark of an item that has no date.
inline constexpr const char* kNoDate = "00000000000000";

// The release mark of an item from its date text, expressed in Japan time (UTC+9) whatever the
// machine's own zone:
// - a W3C (ISO 8601) date, date and minute, or date-time with seconds and fractions, with a zone
//   of Z, +hh:mm or +hhmm, or none;
// - an RFC 822 date (day name optional, two- or four-digit year, seconds optional) with a numeric
//   zone, UT, GMT, Z, the North American names or JST, or none;
// - the fourteen digits of a mark themselves.
// A missing time or seconds count as 00, a missing zone as Japan time. Any other text, and any
// date that is not on the calendar, is no date (kNoDate): the mark goes into the settings file
// and the page, and only digits may.
std::string ItemDate(std::string_view dateText);

}  // namespace plx
