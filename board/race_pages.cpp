// Race web-page addresses.
#include "board/race_pages.h"

#include "common/program_state.h"
#include "common/sites.h"
#include "common/textutil.h"

namespace plx {

std::string RacePageAddress(RacePage page, int venue, const RaceSlot& slot) {
    std::string rno = BufToStr(slot.RNO, sizeof slot.RNO);
    if (venue < 1 || venue > kVenues || TrimBlanks(rno).empty()) return {};
    std::string day = BufToStr(slot.OPDT, sizeof slot.OPDT);
    std::string jyo = ZeroPad(venue, 2);
    switch (page) {
        case RacePage::Info:
            return "http://" + Sites().race + "/race/chokuzen.php?day=" + day + "&jyo=" + jyo + "&race=" + rno;
        case RacePage::Result:
            return "http://" + Sites().race + "/race/kekka.php?day=" + day + "&jyo=" + jyo + "&race=" + rno;
        case RacePage::OddsHtml:
            return "http://" + Sites().odds + "/od/O/" + jyo + "/ON" + rno + ".html";
        case RacePage::OddsJava:
            return "http://" + Sites().odds + "/od/O/java/OJ" + jyo + rno + ".html";
    }
    return {};
}

std::string RacePageAddressAt(RacePage page, int column, int row) {
    if (column < 1 || column > 3 || row < 0 || row >= kRacesPerVenue) return {};
    int venue = Program().slotVenue[static_cast<std::size_t>(column - 1)];
    if (!Timetable::IsValidSlot(venue, row + 1)) return {};
    return RacePageAddress(page, venue, TheTimetable().Slot(venue, row + 1));
}

}  // namespace plx
