// Race board texts and toggles.
#include "board/board_model.h"

#include "board/alarm_minutes.h"
#include "common/textutil.h"

namespace plx {

int ColumnVenue(const BoardVenues& venues, int column) {
    if (column < 1 || column > 3) return 0;
    int venue = venues[static_cast<std::size_t>(column - 1)];
    return venue >= 1 && venue <= kVenues ? venue : 0;
}

std::string BoardDateYmd(const Timetable& table) {
    for (int venue = 1; venue <= kVenues; ++venue) {
        const RaceSlot& slot = table.Slot(venue, 1);
        if (!IsBlankField(slot.OPDT, sizeof slot.OPDT)) return std::string(slot.OPDT, sizeof slot.OPDT);
    }
    return {};
}

BoardRow BoardRowAt(const Timetable& table, int venue, int race) {
    BoardRow row;
    if (!Timetable::IsValidSlot(venue, race)) return row;
    const RaceSlot& slot = table.Slot(venue, race);
    if (!IsBlankField(slot.CLOSETM, sizeof slot.CLOSETM)) {
        row.time = std::string(slot.CLOSETM, 2) + ":" + std::string(slot.CLOSETM + 2, 2);
        row.info = "!";
        row.refund = "\\";
    }
    row.selected = slot.AlarmFlag == '1';
    return row;
}

void ToggleAlarms(Timetable& table, const BoardVenues& venues, const Settings& settings, int column, int race) {
    char value = 0;  // undecided
    for (int c = 1; c <= 3; ++c) {
        int venue = ColumnVenue(venues, c);
        if (venue == 0 || (column != 0 && column != c)) continue;
        for (int r = 1; r <= kRacesPerVenue; ++r) {
            if (race != 0 && race != r) continue;
            RaceSlot& slot = table.Slot(venue, r);
            if (slot.AlarmFlag == ' ') continue;
            // A close time that is no clock time could never give its alarm, so it is not armed;
            // one armed by an older file can still be disarmed.
            if (slot.AlarmFlag != '1' && !IsClockTime(std::string_view(slot.CLOSETM, sizeof slot.CLOSETM))) continue;
            if (value == 0) value = slot.AlarmFlag == '0' ? '1' : '0';
            slot.AlarmFlag = value;
            slot.CloseWarnFlag = value;
            if (settings.ALARM_INFO_F == 1) slot.InfoNoticeFlag = value;
            if (settings.ALARM_RFD_F == 1) slot.RefundNoticeFlag = value;
        }
    }
}

bool IsAcceptedCloseTime(std::string_view entry) {
    if (entry.size() != 4) return false;
    for (char ch : entry)
        if (ch < '0' || ch > '9') return false;
    return TextToInt(entry) > 0;
}

}  // namespace plx
