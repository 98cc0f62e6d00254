// The timetable in memory.
#include "board/timetable.h"

#include <cstring>

#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {

void RaceSlot::Clear() { std::memset(this, ' ', sizeof *this); }

bool RaceSlot::IsEmpty() const { return AlarmFlag == ' ' && RNO[0] == ' ' && OPDT[0] == ' '; }

bool IsBlankField(const char* field, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        if (field[i] != ' ') return false;
    return true;
}

void PutField(char* field, std::size_t width, std::string_view text) {
    std::memset(field, ' ', width);
    std::string_view kept = ClipBytes(text, width);
    std::memcpy(field, kept.data(), kept.size());
}

void Timetable::Clear() { std::memset(static_cast<void*>(slots_.data()), ' ', kBytes); }

Timetable& TheTimetable() {
    static Timetable table;
    return table;
}

}  // namespace plx
