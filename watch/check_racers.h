// CheckRacers: the watched racers' coming starts, looked up in the race database.
#pragma once

#include <string>
#include <vector>

namespace plx {

// What the check reads: the racer query (sq_chk) row by row, and single-value lookups (sq_wk).
class RacerData {
public:
    virtual ~RacerData() = default;
    // Runs `sql` on the racer query; false when it failed (it then reads as empty).
    virtual bool Open(const std::string& sql) = 0;
    virtual bool IsEmpty() = 0;
    virtual bool Eof() = 0;
    virtual void Next() = 0;
    virtual std::string Field(const std::string& name) = 0;
    // The `resultField` of the row of `table` whose `keyField` equals `key`; empty when none.
    virtual std::string Lookup(const std::string& table, const std::string& keyField, const std::string& key,
                               const std::string& resultField) = 0;
};

// The data module's query objects sq_chk and sq_wk, through QueryOpen and SelectValue.
class DataModuleRacerData final : public RacerData {
public:
    bool Open(const std::string& sql) override;
    bool IsEmpty() override;
    bool Eof() override;
    void Next() override;
    std::string Field(const std::string& name) override;
    std::string Lookup(const std::string& table, const std::string& keyField, const std::string& key,
                       const std::string& resultField) override;
};

// The file name of the watch list in the program folder.
inline constexpr const char* kWatchListFileName = "PLX_CHKRIDER.DAT";

// The two query texts of one watched racer; `key` is positions 1-5 of its watch-list line.
std::string RacerNameSql(const std::string& key);
std::string RacerEntriesSql(const std::string& key, const std::string& todayYmd);

// Appends the report to `memo` (the caller empties it first) and returns the number of entries
// found. Stops early, with the count so far, once the program is no longer running.
int CheckRacersWith(RacerData& data, std::vector<std::string>& memo);

// The check on the data module, with the watch list of the program folder.
int CheckRacers(std::vector<std::string>& memo);

}  // namespace plx
