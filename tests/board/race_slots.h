// Races put into timetable slots for the board tests.
#pragma once

#include <string>

#include "board/timetable.h"
#include "common/textutil.h"

namespace plxtest {

// Race `race` at venue `venue` on 2006/09/24, closing at `close` (HHMM), with its alarm and
// close-warning flags; the slot's other fields stay as they were.
inline plx::RaceSlot& PutRace(plx::Timetable& table, int venue, int race, const std::string& close, char alarm,
                              char closeWarn) {
    plx::RaceSlot& slot = table.Slot(venue, race);
    plx::PutField(slot.OPDT, "20060924");
    plx::PutField(slot.RCOURSECD, plx::ZeroPad(venue, 2));
    plx::PutField(slot.RNO, plx::ZeroPad(race, 2));
    plx::PutField(slot.CLOSETM, close);
    slot.AlarmFlag = alarm;
    slot.CloseWarnFlag = closeWarn;
    return slot;
}

}  // namespace plxtest
