// The day's races of all 24 venues: 24 x 12 fixed-width 129-byte records, venue-major,
// whose memory image is the timetable file.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace plx {

constexpr int kVenues = 24;
constexpr int kRacesPerVenue = 12;
constexpr int kSlotCount = kVenues * kRacesPerVenue;

// One race: every field is blank-padded CP932 text without a terminator; a slot without a
// race is all blanks.
struct RaceSlot {
    char OPDT[8];       // YYYYMMDD
    char RCOURSECD[4];  // "01".."24" then two blanks
    char NITIME[2];
    char RNO[2];  // "01".."12"
    char reserved1[67];
    char RKINDCD[4];
    char DIST[6];
    char CLOSETM[4];  // HHMM
    char AlarmFlag;   // '1' armed, '0' not armed or given, ' ' no race
    char CloseWarnFlag;
    char InfoArrivedFlag;
    char InfoNoticeFlag;
    char RefundArrivedFlag;
    char RefundNoticeFlag;
    char reserved2[26];

    void Clear();
    bool IsEmpty() const;  // no race in this slot
};

static_assert(sizeof(RaceSlot) == 129, "a race record is 129 bytes");
static_assert(offsetof(RaceSlot, RKINDCD) == 83);
static_assert(offsetof(RaceSlot, CLOSETM) == 93);
static_assert(offsetof(RaceSlot, AlarmFlag) == 97);
static_assert(offsetof(RaceSlot, RefundNoticeFlag) == 102);

// True when the fixed-width field holds blanks only (no value).
bool IsBlankField(const char* field, std::size_t width);

// Copies `text` to the start of a fixed field, leaving the rest blank; longer text is clipped
// at the field's width (never into the neighbouring field) and never ends in half a character.
void PutField(char* field, std::size_t width, std::string_view text);
template <std::size_t N>
void PutField(char (&field)[N], std::string_view text) {
    PutField(field, N, text);
}
// A field's text (as stored, blanks included).
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, N);
}

class Timetable {
public:
    static constexpr std::size_t kBytes = sizeof(RaceSlot) * kSlotCount;

    Timetable() { Clear(); }
    void Clear();

    // Venue 1..24, race 1..12. Callers must check the range first (see IsValidSlot).
    RaceSlot& Slot(int venue, int race) { return slots_[static_cast<std::size_t>((venue - 1) * kRacesPerVenue + race - 1)]; }
    const RaceSlot& Slot(int venue, int race) const {
        return slots_[static_cast<std::size_t>((venue - 1) * kRacesPerVenue + race - 1)];
    }
    static bool IsValidSlot(int venue, int race) {
        return venue >= 1 && venue <= kVenues && race >= 1 && race <= kRacesPerVenue;
    }

    char* bytes() { return reinterpret_cast<char*>(slots_.data()); }
    const char* bytes() const { return reinterpret_cast<const char*>(slots_.data()); }

private:
    std::array<RaceSlot, kSlotCount> slots_;
};

static_assert(Timetable::kBytes == 37152, "the timetable file is 37152 bytes");

// The program's one timetable.
Timetable& TheTimetable();

}  // namespace plx
