// Race web-page addresses.
#include "board/race_pages.h"

#include <gtest/gtest.h>

#include "common/program_state.h"
#include "common/sites.h"

using namespace plx;

namespace {

class RacePagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        TheTimetable().Clear();
        savedSites = Sites();
        Sites().race = "race.test";
        Sites().odds = "odds.test";
    }
    void TearDown() override {
        Sites() = savedSites;
        TheTimetable().Clear();
        ResetProgram();
    }
    static void AddRace(int venue, const char* rno) {
        RaceSlot& slot = TheTimetable().Slot(venue, std::atoi(rno));
        PutField(slot.OPDT, "20060924");
        PutField(slot.RNO, rno);
        PutField(slot.CLOSETM, "1030");
        slot.AlarmFlag = '0';
    }
    SiteHosts savedSites;
};

}  // namespace

TEST_F(RacePagesTest, TheFourPagesOfARace) {
    AddRace(5, "07");
    const RaceSlot& slot = TheTimetable().Slot(5, 7);
    EXPECT_EQ(RacePageAddress(RacePage::Info, 5, slot),
              "http://race.test/race/chokuzen.php?day=20060924&jyo=05&race=07");
    EXPECT_EQ(RacePageAddress(RacePage::Result, 5, slot),
              "http://race.test/race/kekka.php?day=20060924&jyo=05&race=07");
    EXPECT_EQ(RacePageAddress(RacePage::OddsHtml, 5, slot), "http://odds.test/od/O/05/ON07.html");
    EXPECT_EQ(RacePageAddress(RacePage::OddsJava, 5, slot), "http://odds.test/od/O/java/OJ0507.html");
}

TEST_F(RacePagesTest, BoardColumnAndRowPickTheRace) {
    AddRace(14, "12");
    AddRace(14, "03");
    Program().slotVenue = {1, 14, 3};
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 2, 11), "http://odds.test/od/O/14/ON12.html");
    EXPECT_EQ(RacePageAddressAt(RacePage::Info, 2, 2),
              "http://race.test/race/chokuzen.php?day=20060924&jyo=14&race=03");
    // Rows without a race, columns on other venues, and positions off the board open nothing.
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 2, 10), "");
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 1, 11), "");
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 2, 12), "");
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 4, 0), "");
    Program().slotVenue = {1, 99, 3};
    EXPECT_EQ(RacePageAddressAt(RacePage::OddsHtml, 2, 11), "");
}

TEST_F(RacePagesTest, FullWidthBlankRaceNumberCountsAsEmpty) {
    RaceSlot& slot = TheTimetable().Slot(2, 1);
    PutField(slot.RNO, "\x81\x40");  // one full-width blank
    EXPECT_EQ(RacePageAddress(RacePage::Result, 2, slot), "");
}
