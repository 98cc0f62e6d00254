// Racer-check report lines.
#include "watch/racer_report.h"

#include <cstdio>

#include "common/clock.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {

namespace {

// Positions 2-5 of a watch-list line: the registration number without its leading zero.
std::string DisplayedNumber(const std::string& watchLine) {
    return watchLine.size() > 1 ? watchLine.substr(1, 4) : std::string();
}

}  // namespace

std::string RacerLine(const std::string& name, const std::string& watchLine) {
    return SJ("－") + FixWidth(name, 14) + DisplayedNumber(watchLine) + SJ("－");
}

std::string FailedCheckLine(const std::string& watchLine) {
    return SJ("登録番号") + DisplayedNumber(watchLine) + SJ("のチェックに失敗しました。");
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

void RacerReport::RacerFailed(const std::string& watchLine) {
    memo_.push_back(FailedCheckLine(watchLine));
    ++failures_;
}

void RacerReport::ListUnreadable(const std::string& message) {
    memo_.push_back(message);
    memo_.push_back("");
    listUnreadable_ = true;
}

void RacerReport::EndRacer() {
    memo_.push_back("");
    ++racers_;
}

void RacerReport::Finish() {
    if (entries_ > 0 || listUnreadable_) return;
    if (racers_ > 0) {
        memo_.push_back(TimeStampLine());
        if (failures_ == 0) memo_.push_back(SJ("チェックしましたが、出走予定がないようです。"));
    } else {
        memo_.push_back(SJ("設定されていません。"));
    }
    memo_.push_back("");
}

}  // namespace plx
