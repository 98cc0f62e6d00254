// The day's schedule loaded from real race databases through the real driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "board/race_schedule.h"
#include "board/timetable_file.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/data_module.h"
#include "data/marlo_ini.h"
#include "tests/support/firebird_db.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::RecordingMessages;
using plxtest::TempDir;

namespace {

const char* const kRacemst = R"(
CREATE TABLE RACEMST (OPDT CHAR(8) NOT NULL, RCOURSECD CHAR(2) NOT NULL, RNO CHAR(2) NOT NULL, NITIME SMALLINT,
  RKINDCD CHAR(2), DIST SMALLINT, CLOSETM CHAR(4), KAISAINM VARCHAR(40) CHARACTER SET SJIS_0208, UPDDTTM TIMESTAMP,
  PRIMARY KEY (OPDT, RCOURSECD, RNO));
)";

// Races of one day at the given venues; `races` per venue, close times 10:30 plus 30 minutes a race.
std::string Races(const std::string& date, const std::string& venue, int races) {
    std::string sql;
    for (int race = 1; race <= races; ++race) {
        const int minutes = 10 * 60 + 30 + (race - 1) * 30;
        char row[256];
        std::snprintf(row, sizeof row,
                      "INSERT INTO RACEMST VALUES ('%s', '%s', '%02d', 3, '02', 1800, '%02d%02d', "
                      "'第４９回スポーツニッポン杯', '2006-09-30 18:05:00');\n",
                      date.c_str(), venue.c_str(), race, minutes / 60, minutes % 60);
        sql += row;
    }
    return sql;
}

class ScheduleDb : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        Program().exeFolder = dir.path();
    }
    void TearDown() override {
        dm.sc_main.Close();
        TheTimetable().Clear();
        ResetProgram();
    }
    void Open(const std::string& path) {
        dm.sc_main.SetParam("Database", path);
        dm.sc_main.SetParam("User_Name", plxtest::kDbUser);
        dm.sc_main.SetParam("Password", plxtest::kDbPassword);
        std::string error;
        ASSERT_TRUE(dm.sc_main.Open(&error)) << Cp932ToUtf8(error);
    }
    std::string Bytes() const { return std::string(TheTimetable().bytes(), Timetable::kBytes); }

    TempDir dir;
    RecordingMessages messages;
};

}  // namespace

TEST_F(ScheduleDb, DayWithThreeVenuesFillsOnlyTheirSlotsAndSavesTheFile) {
    const std::string path = dir.File("race.fdb");
    plxtest::CreateDatabase(path, std::string(kRacemst) + Races("20061001", "02", 12) + Races("20061001", "05", 10) +
                                      Races("20061001", "12", 12) + Races("20061002", "01", 12));
    Open(path);
    std::memset(TheTimetable().bytes(), 'x', Timetable::kBytes);
    ASSERT_EQ(LoadDaySchedule("20061001"), 0);
    EXPECT_TRUE(messages.shown.empty());

    for (int venue = 1; venue <= kVenues; ++venue) {
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            const RaceSlot& slot = TheTimetable().Slot(venue, race);
            const bool held = venue == 2 || venue == 12 || (venue == 5 && race <= 10);
            ASSERT_EQ(!slot.IsEmpty(), held) << "venue " << venue << " race " << race;
            if (!held) {
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(&slot), sizeof slot), std::string(129, ' '));
                continue;
            }
            EXPECT_EQ(FieldText(slot.OPDT), "20061001");
            EXPECT_EQ(TextToInt(FieldText(slot.RCOURSECD).substr(0, 2)), venue);
            EXPECT_EQ(FieldText(slot.RCOURSECD).substr(2), "  ");
            EXPECT_EQ(TextToInt(FieldText(slot.RNO)), race);
            EXPECT_EQ(FieldText(slot.NITIME), "3 ");
            EXPECT_EQ(FieldText(slot.RKINDCD), "02  ");
            EXPECT_EQ(FieldText(slot.DIST), "1800  ");
            EXPECT_EQ(slot.AlarmFlag, '0');
            EXPECT_EQ(slot.CloseWarnFlag, '0');
        }
    }
    EXPECT_EQ(FieldText(TheTimetable().Slot(5, 10).CLOSETM), "1500");
    EXPECT_EQ(TheTimetable().Slot(5, 11).AlarmFlag, ' ');
    EXPECT_TRUE(ReadFile(dir.File(kTimetableFileName)) == Bytes());
    EXPECT_FALSE(HasPendingAlarms(TheTimetable(), "20061001"));
}

TEST_F(ScheduleDb, DayWithoutRacesOrWithoutTheTableLeavesTheTableBlankAndUnsaved) {
    const std::string path = dir.File("race.fdb");
    plxtest::CreateDatabase(path, std::string(kRacemst) + Races("20061002", "01", 12));
    Open(path);
    std::memset(TheTimetable().bytes(), 'x', Timetable::kBytes);
    EXPECT_EQ(LoadDaySchedule("20061001"), -1);
    EXPECT_TRUE(Bytes() == std::string(Timetable::kBytes, ' '));
    EXPECT_FALSE(plxtest::FileExists(dir.File(kTimetableFileName)));
    EXPECT_TRUE(messages.shown.empty());

    dm.sc_main.Close();
    const std::string other = dir.File("empty.fdb");
    plxtest::CreateDatabase(other, "CREATE TABLE X (A INTEGER);");
    Open(other);
    EXPECT_EQ(LoadDaySchedule("20061001"), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("SELECT * FROM RACEMST WHERE OPDT='20061001' ORDER BY RCOURSECD,RNO"),
              std::string::npos);
}

// The demo folder serves the schedule, the racer watch's queries and the settings dialog's lookup.
TEST_F(ScheduleDb, DemoFolderServesTheProgramsQueries) {
    TempDir marlo;
    const std::string command =
        std::string(PLX_SOURCE_DIR) + "/tools/marlo-demo '" + marlo.path() + "' --date 20061001 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(std::system(command.c_str()), 0);  // asked again, it rebuilds the folder
    std::string error;
    ASSERT_TRUE(OpenRaceDatabase(dm.sc_main, marlo.path(), &error)) << Cp932ToUtf8(error);
    ASSERT_EQ(LoadDaySchedule("20061001"), 0);

    std::set<int> venues;
    int tenRaceVenues = 0;
    std::string earliest = "9999", latest = "0000";
    for (int venue = 1; venue <= kVenues; ++venue) {
        int races = 0;
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            const RaceSlot& slot = TheTimetable().Slot(venue, race);
            if (slot.IsEmpty()) continue;
            ++races;
            earliest = std::min(earliest, FieldText(slot.CLOSETM));
            latest = std::max(latest, FieldText(slot.CLOSETM));
        }
        if (races > 0) venues.insert(venue);
        if (races == 10) ++tenRaceVenues;
        EXPECT_TRUE(races == 0 || races == 10 || races == 12) << "venue " << venue;
    }
    EXPECT_GE(venues.size(), 12u);
    EXPECT_LE(venues.size(), 16u);
    EXPECT_EQ(tenRaceVenues, 1);
    EXPECT_EQ(earliest, "1030");
    EXPECT_EQ(latest, "2045");

    ASSERT_TRUE(QueryOpen(dm.sq_cfg, "SELECT * FROM RIDER WHERE ENTNO='03159'"));
    EXPECT_FALSE(dm.sq_cfg.IsEmpty());
    EXPECT_FALSE(dm.sq_cfg.FieldAsText("RIDERNM").empty());
    // A racer who starts on the day: his entries and their race kinds.
    const std::string entno = SelectValue(dm.sq_wk, "RACEDTL", "OPDT", "20061001", "ENTNO");
    ASSERT_EQ(entno.size(), 5u);
    ASSERT_TRUE(QueryOpen(dm.sq_chk,
                          "SELECT R.OPDT,R.RCOURSECD,R.RNO,R.TEINO,M.NITIME,M.RKINDCD FROM RACEDTL R,RACEMST M"
                          " WHERE R.ENTNO=" +
                              SqlLiteral(entno) +
                              " AND R.OPDT>='20061001' AND M.OPDT=R.OPDT"
                              " AND M.RCOURSECD=R.RCOURSECD AND M.RNO=R.RNO ORDER BY R.OPDT,R.RCOURSECD,R.RNO"));
    int entries = 0;
    for (; !dm.sq_chk.Eof(); dm.sq_chk.Next()) {
        ++entries;
        EXPECT_GE(TextToInt(dm.sq_chk.FieldAsText("TEINO")), 1);
        EXPECT_FALSE(SelectValue(dm.sq_wk, "RKIND", "RKINDCD", dm.sq_chk.FieldAsText("RKINDCD"), "RKINDNM").empty());
    }
    EXPECT_GT(entries, 0);
    EXPECT_EQ(SelectValue(dm.sq_wk, "RKIND", "RKINDCD", "07", "RKINDNM"), SJ("優勝戦"));
    EXPECT_TRUE(messages.shown.empty());
}
