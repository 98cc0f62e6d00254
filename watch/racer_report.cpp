// Racer-check report lines.
#include "watch/racer_report.h"

#include <cstdio>

#include "common/clock.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {

std::string RacerLine(const std::string& name, const std::string& watchLine) {
    std::string number = watchLine.size() > 1 ? watchLine.substr(1, 4) : std::string();
    return SJ("－") + FixWidth(name, 14) + number + SJ("－");
}

std::string DayLine(const RacerEntryRow& row) {
    return YmdSlash(row.OPDT) + " " + VenueName(row.RCOURSECD) + " " + row.NITIME + SJ("日目 ");
}

std::string EntryLine(const RacerEntryRow& row, const std::string& kindName) {
    std::string line = row.RNO + "R ";
    if (TextToInt(row.TEINO) > 0) line += row.TEINO + SJ("番 ");
    return line + kindName + " ";
}

std::string TimeStampLine() {
    return FormatDateTime(CurrentClock().Now(), "YYYY/MM/DD HH:NN:SS");
}

void RacerReport::Heading() {
    memo_.push_back(SJ("【選手チェック】"));
}

void RacerReport::BeginRacer(const std::string& name, const std::string& watchLine) {
    dayKey_.clear();
    memo_.push_back(RacerLine(name, watchLine));
}

void RacerReport::AddEntry(const RacerEntryRow& row, const std::string& kindName) {
    std::string key = row.OPDT + row.RCOURSECD;
    if (key != dayKey_) {
        memo_.push_back(DayLine(row));
        dayKey_ = key;
    }
    memo_.push_back(EntryLine(row, kindName));
    ++entries_;
}

void RacerReport::EndRacer() {
    memo_.push_back("");
    ++racers_;
}

void RacerReport::Finish() {
    if (entries_ > 0) return;
    if (racers_ > 0) {
        memo_.push_back(TimeStampLine());
        memo_.push_back(SJ("チェックしましたが、出走予定がないようです。"));
    } else {
        memo_.push_back(SJ("設定されていません。"));
    }
    memo_.push_back("");
}

}  // namespace plx
