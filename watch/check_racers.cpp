// CheckRacers over the watch list and the racer queries.
#include "watch/check_racers.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/message.h"
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

std::string Text(RacerData& data, const char* field) {
    return TrimTrailingBlanks(data.Field(field));
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
    const std::string listPath = Program().exeFolder + kWatchListFileName;
    std::vector<std::string> watchList;  // a missing list reads as no lines, which the report words as "not set"
    if (ReadFileLines(listPath, &watchList) == FileRead::Unreadable) {
        const std::string message = SJ("選手リストファイルの読み込みに失敗しました。[") + listPath + "]";
        report.ListUnreadable(message);
        ShowMsg(message);
    }
    for (const std::string& line : watchList) {
        std::string key = line.substr(0, 5);
        std::string name = SJ("？");
        bool checked = data.Open(RacerNameSql(key));
        if (checked && !data.IsEmpty()) name = RemoveFullWidthBlanks(TrimTrailingBlanks(data.Field("RIDERNM")));
        report.BeginRacer(name, line);
        bool opened = data.Open(RacerEntriesSql(key, TodayYmd()));
        checked = checked && opened;
        while (opened && !data.Eof() && Running()) {
            // A CHAR value comes with blanks to its width (twice its length in a double-byte
            // character set); the report, the day key and the kind lookup want the text itself.
            RacerEntryRow row{Text(data, "OPDT"),  Text(data, "RCOURSECD"), Text(data, "RNO"),
                              Text(data, "TEINO"), Text(data, "NITIME"),    Text(data, "RKINDCD")};
            // The kind lookup runs on the other query object, so the entry rows stay where they are.
            std::string kind = TrimTrailingBlanks(data.Lookup("RKIND", "RKINDCD", row.RKINDCD, "RKINDNM"));
            report.AddEntry(row, kind);
            data.Next();
        }
        if (!checked) report.RacerFailed(line);
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
