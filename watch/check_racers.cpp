// CheckRacers over the watch list and the racer queries.
#include "watch/check_racers.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/data_module.h"
#include "watch/racer_report.h"

namespace plx {
namespace {

bool Running() {
    return Program().runState == RunState::Running;
}

}  // namespace

bool DataModuleRacerData::Open(const std::string& sql) {
    return QueryOpen(dm.sq_chk, sql);
}
bool DataModuleRacerData::IsEmpty() {
    return dm.sq_chk.IsEmpty();
}
bool DataModuleRacerData::Eof() {
    return dm.sq_chk.Eof();
}
void DataModuleRacerData::Next() {
    dm.sq_chk.Next();
}
std::string DataModuleRacerData::Field(const std::string& name) {
    return dm.sq_chk.FieldAsText(name);
}

std::string DataModuleRacerData::Lookup(const std::string& table, const std::string& keyField, const std::string& key,
                                        const std::string& resultField) {
    return SelectValue(dm.sq_wk, table, keyField, key, resultField);
}

std::string RacerNameSql(const std::string& key) {
    return std::string("SELECT RIDERNM FROM RIDER") + " WHERE ENTNO=" + SqlLiteral(key);
}

std::string RacerEntriesSql(const std::string& key, const std::string& todayYmd) {
    return std::string("SELECT R.OPDT,R.RCOURSECD,R.RNO,R.TEINO,M.NITIME,M.RKINDCD FROM RACEDTL R,RACEMST M") +
           " WHERE R.ENTNO=" + SqlLiteral(key) + " AND R.OPDT>=" + SqlLiteral(todayYmd) + " AND M.OPDT=R.OPDT" +
           " AND M.RCOURSECD=R.RCOURSECD" + " AND M.RNO=R.RNO" + " ORDER BY R.OPDT,R.RCOURSECD,R.RNO";
}

int CheckRacersWith(RacerData& data, std::vector<std::string>& memo) {
    RacerReport report(memo);
    report.Heading();
    std::vector<std::string> watchList;  // a missing list reads as no lines, which the report words as "not set"
    ReadFileLines(Program().exeFolder + kWatchListFileName, &watchList);
    for (const std::string& line : watchList) {
        std::string key = line.substr(0, 5);
        std::string name = SJ("？");
        if (data.Open(RacerNameSql(key)) && !data.IsEmpty()) name = RemoveFullWidthBlanks(data.Field("RIDERNM"));
        report.BeginRacer(name, line);
        bool opened = data.Open(RacerEntriesSql(key, TodayYmd()));
        while (opened && !data.Eof() && Running()) {
            RacerEntryRow row{data.Field("OPDT"),  data.Field("RCOURSECD"), data.Field("RNO"),
                              data.Field("TEINO"), data.Field("NITIME"),    data.Field("RKINDCD")};
            // The kind lookup runs on the other query object, so the entry rows stay where they are.
            std::string kind = data.Lookup("RKIND", "RKINDCD", row.RKINDCD, "RKINDNM");
            report.AddEntry(row, kind);
            data.Next();
        }
        report.EndRacer();
        if (!Running()) break;
    }
    report.Finish();
    return report.entries();
}

int CheckRacers(std::vector<std::string>& memo) {
    DataModuleRacerData data;
    return CheckRacersWith(data, memo);
}

}  // namespace plx
