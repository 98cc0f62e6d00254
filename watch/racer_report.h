// The racer-check report: its lines built from plain rows, in CP932.
#pragma once

#include <string>
#include <vector>

namespace plx {

// One entry of a watched racer, as the entry query delivers it, trailing blanks taken off.
struct RacerEntryRow {
    std::string OPDT;
    std::string RCOURSECD;
    std::string RNO;
    std::string TEINO;
    std::string NITIME;
    std::string RKINDCD;
};

// "－" + the name filled or cut to 14 bytes + positions 2-5 of the watch-list line + "－".
std::string RacerLine(const std::string& name, const std::string& watchLine);
// "登録番号NNNNのチェックに失敗しました。" with positions 2-5 of the watch-list line.
std::string FailedCheckLine(const std::string& watchLine);
// "YYYY/MM/DD venue N日目 ".
std::string DayLine(const RacerEntryRow& row);
// "RNO" + "R " + ("TEINO番 " for a boat number above 0) + kind name + " ".
std::string EntryLine(const RacerEntryRow& row, const std::string& kindName);
// The current local time as "YYYY/MM/DD HH:NN:SS" (from the clock seam).
std::string TimeStampLine();

// Appends the report to the memo lines as the check goes, and counts racers and entries.
class RacerReport {
public:
    explicit RacerReport(std::vector<std::string>& memo) : memo_(memo) {}

    void Heading();
    // The racer line. Each racer's entries start with their own day line.
    void BeginRacer(const std::string& name, const std::string& watchLine);
    // A day line when the day or the venue differs from the entry before, then the entry line.
    void AddEntry(const RacerEntryRow& row, const std::string& kindName);
    // A line of its own saying that the racer's check failed (a query could not be run), so that
    // the report never words a failure as "no starts".
    void RacerFailed(const std::string& watchLine);
    void EndRacer();
    // The watch list is there but could not be read: `message` (naming the file) takes the place
    // of the racers, and Finish adds nothing more.
    void ListUnreadable(const std::string& message);
    // The closing lines: the "nothing found" block (without its "no starts" line when a check
    // failed), the "nothing set up" block, or nothing.
    void Finish();

    int entries() const { return entries_; }
    int racers() const { return racers_; }

private:
    std::vector<std::string>& memo_;
    std::string dayKey_;
    int entries_ = 0;
    int racers_ = 0;
    int failures_ = 0;
    bool listUnreadable_ = false;
};

}  // namespace plx
