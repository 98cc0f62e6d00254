// Addresses of a race's web pages: pre-race information and result on the race-information
// site, odds in two forms on the odds site.
#pragma once

#include <string>

#include "board/timetable.h"

namespace plx {

enum class RacePage { Info, Result, OddsHtml, OddsJava };

// The page of race slot `slot` at venue number `venue`, or empty text when the slot holds no
// race (its race number is blank) or the venue is not one of the 24.
std::string RacePageAddress(RacePage page, int venue, const RaceSlot& slot);

// The page of the race in board column 1..3 and grid row 0..11 of the program's timetable;
// empty text where there is nothing to open.
std::string RacePageAddressAt(RacePage page, int column, int row);

}  // namespace plx
