// The program left running overnight and on a day whose races come late, on real demo databases
// with the clock moved by hand, one tick after another.
#include "board/day_change.h"

#include <gtest/gtest.h>

#include "board/race_board.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/venue.h"
#include "data/data_module.h"
#include "tests/app/app_fixture.h"
#include "tests/support/firebird_db.h"

using namespace plx;
using plxtest::AppFixture;

namespace {

// Records each notice with the clock time it came at.
class TimedNotices final : public NoticeBackend {
public:
    TimedNotices() { SetNoticeBackend(this); }
    ~TimedNotices() override { SetNoticeBackend(nullptr); }
    void Show(const std::string& text, NoticeCategory) override {
        shown.push_back(FormatDateTime(CurrentClock().Now(), "DD HH:NN ") + Cp932ToUtf8(text));
    }
    std::vector<std::string> shown;
};

// A started window on a demo MARLO folder built for `marloDate`, its clock then set to `start`.
std::unique_ptr<Tf_main> StartOn(AppFixture& f, LocalDateTime marloDate, LocalDateTime start) {
    f.clock.Set(marloDate);
    f.WriteSettings("[DIR]\nMARLO=" + f.BuildMarlo() + "\n[SETTING]\nALARM_MODE=1\nALARM_MIN=5\n");
    f.clock.Set(start);
    auto window = f.StartWindow();
    window->hooks().tick.news = nullptr;  // no feeds to read here
    return window;
}

void TickUntil(AppFixture& f, Tf_main& window, LocalDateTime until, int stepMs) {
    const std::string end = FormatDateTime(until, "YYYYMMDDHHNNSS");
    while (FormatDateTime(f.clock.Now(), "YYYYMMDDHHNNSS") < end) {
        f.clock.Advance(stepMs);
        window.tm_mainTimer();
    }
}

}  // namespace

TEST(DayChange, OvernightTheLastAlarmFiresThenTheNewDayIsLoaded) {
    AppFixture f;
    TimedNotices notices;
    auto window = StartOn(f, {2006, 9, 24, 12, 0, 0}, {2006, 9, 24, 23, 57, 0});
    ASSERT_EQ(TableDay(TheTimetable()), "20060924");
    std::vector<RaceSlot*> races;  // the day's races, venue by venue
    for (int venue = 1; venue <= kVenues; ++venue)
        for (int race = 1; race <= kRacesPerVenue; ++race)
            if (TheTimetable().Slot(venue, race).AlarmFlag != ' ') races.push_back(&TheTimetable().Slot(venue, race));
    ASSERT_GE(races.size(), 2u);
    RaceSlot& late = *races[0];
    PutField(late.CLOSETM, "2359");
    late.AlarmFlag = '1';
    RaceSlot& morning = *races[1];  // armed for 10:31 of the old day
    PutField(morning.CLOSETM, "1026");
    morning.AlarmFlag = '1';
    morning.CloseWarnFlag = '1';
    const std::string lateRace =
        Cp932ToUtf8(VenueName(std::string(late.RCOURSECD, 2))) + " " + std::string(late.RNO, 2);

    TickUntil(f, *window, {2006, 9, 25, 0, 3, 50}, 10000);
    EXPECT_EQ(TableDay(TheTimetable()), "20060924");
    TickUntil(f, *window, {2006, 9, 25, 0, 20, 0}, 10000);
    EXPECT_EQ(notices.shown, std::vector<std::string>{"25 00:04 " + lateRace + " レースの発走時刻です！"});
    EXPECT_EQ(TableDay(TheTimetable()), "20060925");
    EXPECT_EQ(window->raceBoard->l_yyyymmdd->text(), "2006/09/25");

    TickUntil(f, *window, {2006, 9, 25, 10, 40, 0}, 60000);
    EXPECT_EQ(notices.shown.size(), 1u);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(DayChange, ADayWhoseRacesComeLateIsLoadedWithinTenMinutes) {
    AppFixture f;
    auto window = StartOn(f, {2006, 9, 22, 12, 0, 0}, {2006, 9, 24, 8, 55, 0});  // holds the 22nd and 23rd
    ASSERT_EQ(TableDay(TheTimetable()), "");
    TickUntil(f, *window, {2006, 9, 24, 9, 0, 0}, 30000);
    EXPECT_TRUE(window->raceBoard->l_msg->isVisibleTo(window->raceBoard));

    // MARLO puts the day's races in at 09:00.
    dm.sc_main.Close();
    plxtest::RunIsql(f.dir.File("marlo/DB/MLDB.FDB"),
                     "UPDATE RACEMST SET OPDT='20060924' WHERE OPDT='20060923';\nCOMMIT;\n");
    std::string error;
    ASSERT_TRUE(dm.sc_main.Open(&error)) << Cp932ToUtf8(error);

    TickUntil(f, *window, {2006, 9, 24, 9, 10, 0}, 30000);
    EXPECT_EQ(TableDay(TheTimetable()), "20060924");
    EXPECT_EQ(window->raceBoard->l_yyyymmdd->text(), "2006/09/24");
    EXPECT_FALSE(window->raceBoard->l_msg->isVisibleTo(window->raceBoard));
    EXPECT_TRUE(f.messages.shown.empty());  // an empty day is asked about quietly
}
