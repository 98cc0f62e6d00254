// The timetable in memory.
#include "board/timetable.h"

#include <cstring>

#include "common/sjis.h"

namespace plx {

void RaceSlot::Clear() { std::memset(this, ' ', sizeof *this); }

bool RaceSlot::IsEmpty() const { return AlarmFlag == ' ' && RNO[0] == ' ' && OPDT[0] == ' '; }

void PutField(char* field, std::size_t width, std::string_view text) {
    std::memset(field, ' ', width);
    std::size_t n = text.size() < width ? text.size() : width;
    if (n < text.size()) {
        // Clipped: do not keep a lead byte whose second byte was cut off.
        std::size_t i = 0;
        while (i < n) i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
        if (i > n) n = i - 2;
    }
    std::memcpy(field, text.data(), n);
}

void Timetable::Clear() { std::memset(static_cast<void*>(slots_.data()), ' ', kBytes); }

Timetable& TheTimetable() {
    static Timetable table;
    return table;
}

}  // namespace plx
