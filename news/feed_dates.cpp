// Parsing W3C and RFC 822 dates and moving them onto Japan time with plain calendar arithmetic:
// nothing here asks the machine for its time zone.
#include "news/feed_dates.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace plx {
namespace {

constexpr int kJapanOffsetMinutes = 9 * 60;

// The fields of a date as written, with the offset of its zone from UTC in minutes.
struct WrittenDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int offsetMinutes = kJapanOffsetMinutes;
};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, std::int64_t* year, int* month, int* day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    *day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    *month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    *year = yearOfEra + era * 400 + (*month <= 2);
}

// The mark of a written date in Japan time; no date when a field is off the calendar or the
// year in Japan leaves four digits.
std::string JapanMark(const WrittenDate& d) {
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.year, d.month) || d.hour > 23 ||
        d.minute > 59 || d.second > 60)
        return kNoDate;
    // A leap second is the last second of its minute.
    const int second = d.second == 60 ? 59 : d.second;
    const std::int64_t minutes =
        (DaysFromCivil(d.year, d.month, d.day) * 24 + d.hour) * 60 + d.minute - d.offsetMinutes + kJapanOffsetMinutes;
    const std::int64_t days = (minutes >= 0 ? minutes : minutes - 1439) / 1440;
    const int minuteOfDay = static_cast<int>(minutes - days * 1440);
    std::int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(days, &year, &month, &day);
    if (year < 1 || year > 9999) return kNoDate;
    char mark[64];  // room for any int the compiler imagines; the fields fit in fourteen
    std::snprintf(mark, sizeof mark, "%04d%02d%02d%02d%02d%02d", static_cast<int>(year), month, day, minuteOfDay / 60,
                  minuteOfDay % 60, second);
    return mark;
}

// A reading position in a date text.
class DateReader {
public:
    explicit DateReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    // Takes exactly `count` digits as a number.
    bool Digits(std::size_t count, int* value) {
        int number = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (at_ + i >= text_.size() || text_[at_ + i] < '0' || text_[at_ + i] > '9') return false;
            number = number * 10 + (text_[at_ + i] - '0');
        }
        at_ += count;
        *value = number;
        return true;
    }
    // Takes a run of digits (at least one); gives how many there were.
    std::size_t DigitRun(int* value) {
        std::size_t start = at_;
        int number = 0;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9' && at_ - start < 9)
            number = number * 10 + (text_[at_++] - '0');
        *value = number;
        return at_ - start;
    }
    bool Literal(char c) { return Peek() == c && c != '\0' ? (++at_, true) : false; }
    // Takes a run of ASCII letters, upper-cased.
    std::string Word() {
        std::string word;
        while (!AtEnd() && ((Peek() >= 'A' && Peek() <= 'Z') || (Peek() >= 'a' && Peek() <= 'z')))
            word += static_cast<char>(text_[at_++] & ~0x20);
        return word;
    }
    // Skips blanks; true when there was at least one.
    bool Blanks() {
        std::size_t start = at_;
        while (Peek() == ' ' || Peek() == '\t') ++at_;
        return at_ > start;
    }
    std::size_t Position() const { return at_; }
    void Rewind(std::size_t position) { at_ = position; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// A numeric zone as minutes east of UTC: "+hhmm", or also "+hh:mm" where `colonAllowed`.
bool NumericZone(DateReader& in, bool colonAllowed, int* offsetMinutes) {
    int sign = in.Literal('+') ? 1 : in.Literal('-') ? -1 : 0;
    int hours = 0, minutes = 0;
    if (sign == 0 || !in.Digits(2, &hours)) return false;
    if (colonAllowed) in.Literal(':');
    if (!in.Digits(2, &minutes) || hours > 23 || minutes > 59) return false;
    *offsetMinutes = sign * (hours * 60 + minutes);
    return true;
}

// YYYY-MM-DD, then optionally a "T" (or a blank) and hh:mm, :ss with a fraction, and a zone.
std::optional<WrittenDate> W3cDate(std::string_view text) {
    DateReader in(text);
    WrittenDate d;
    if (!in.Digits(4, &d.year) || !in.Literal('-') || !in.Digits(2, &d.month) || !in.Literal('-') ||
        !in.Digits(2, &d.day))
        return std::nullopt;
    if (in.AtEnd()) return d;
    if (!in.Literal('T') && !in.Literal('t') && !in.Literal(' ')) return std::nullopt;
    if (!in.Digits(2, &d.hour) || !in.Literal(':') || !in.Digits(2, &d.minute)) return std::nullopt;
    if (in.Literal(':')) {
        if (!in.Digits(2, &d.second)) return std::nullopt;
        int fraction = 0;
        if (in.Literal('.') && in.DigitRun(&fraction) == 0) return std::nullopt;
        while (in.Peek() >= '0' && in.Peek() <= '9') in.Literal(in.Peek());  // digits past the ninth
    }
    if (in.Literal('Z') || in.Literal('z')) {
        d.offsetMinutes = 0;
    } else if (!in.AtEnd() && !NumericZone(in, true, &d.offsetMinutes)) {
        return std::nullopt;
    }
    return in.AtEnd() ? std::optional<WrittenDate>(d) : std::nullopt;
}

int MonthNumber(const std::string& name) {
    static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (name == kMonths[i]) return static_cast<int>(i) + 1;
    return 0;
}

// The named zones of RFC 822, and JST, which Japanese feeds write though the RFC does not name it.
bool NamedZone(const std::string& name, int* offsetMinutes) {
    struct Zone {
        const char* name;
        int hours;
    };
    static constexpr std::array<Zone, 12> kZones = {{{"UT", 0},
                                                     {"UTC", 0},
                                                     {"GMT", 0},
                                                     {"Z", 0},
                                                     {"EST", -5},
                                                     {"EDT", -4},
                                                     {"CST", -6},
                                                     {"CDT", -5},
                                                     {"MST", -7},
                                                     {"MDT", -6},
                                                     {"PST", -8},
                                                     {"PDT", -7}}};
    if (name == "JST") return *offsetMinutes = kJapanOffsetMinutes, true;
    for (const Zone& zone : kZones)
        if (name == zone.name) return *offsetMinutes = zone.hours * 60, true;
    return false;
}

// [Day ","] D[D] Mon YY[YY] hh:mm[:ss] [zone] [(comment)]
std::optional<WrittenDate> Rfc822Date(std::string_view text) {
    DateReader in(text);
    WrittenDate d;
    std::size_t start = in.Position();
    if (!in.Word().empty()) {
        if (!in.Literal(',')) return std::nullopt;
        in.Blanks();
    } else {
        in.Rewind(start);
    }
    std::size_t dayDigits = in.DigitRun(&d.day);
    if (dayDigits < 1 || dayDigits > 2 || !in.Blanks()) return std::nullopt;
    d.month = MonthNumber(in.Word());
    if (d.month == 0 || !in.Blanks()) return std::nullopt;
    std::size_t yearDigits = in.DigitRun(&d.year);
    if (yearDigits == 2)
        d.year += d.year < 50 ? 2000 : 1900;
    else if (yearDigits != 4)
        return std::nullopt;
    if (!in.Blanks() || !in.Digits(2, &d.hour) || !in.Literal(':') || !in.Digits(2, &d.minute)) return std::nullopt;
    if (in.Literal(':') && !in.Digits(2, &d.second)) return std::nullopt;
    in.Blanks();
    if (in.Peek() == '+' || in.Peek() == '-') {
        if (!NumericZone(in, false, &d.offsetMinutes)) return std::nullopt;
    } else if (!in.AtEnd() && in.Peek() != '(') {
        if (!NamedZone(in.Word(), &d.offsetMinutes)) return std::nullopt;
    }
    in.Blanks();
    if (in.Literal('(')) {
        while (!in.AtEnd() && in.Peek() != ')' && in.Peek() != '(') in.Literal(in.Peek());
        if (!in.Literal(')')) return std::nullopt;
        in.Blanks();
    }
    return in.AtEnd() ? std::optional<WrittenDate>(d) : std::nullopt;
}

bool IsMark(std::string_view text) {
    if (text.size() != 14) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string ItemDate(std::string_view dateText) {
    // Blanks and line breaks around the text are the document's layout, not part of the date.
    std::size_t begin = dateText.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return kNoDate;
    std::string_view text = dateText.substr(begin, dateText.find_last_not_of(" \t\r\n") - begin + 1);
    if (IsMark(text)) return std::string(text);
    std::optional<WrittenDate> written = W3cDate(text);
    if (!written) written = Rfc822Date(text);
    return written ? JapanMark(*written) : kNoDate;
}

}  // namespace plx
