// Fuzz target: any bytes as the feed list and the watch list. The lines read hold no line break,
// saving them and reading again gives the same lines, and a watch-list key reaches the queries
// only as one quoted SQL literal.
#include <string>
#include <vector>

#include "common/files.h"
#include "common/program_state.h"
#include "common/textutil.h"
#include "fuzz/fuzz_support.h"
#include "news/feed_list.h"
#include "watch/check_racers.h"

namespace {

// The text of the SQL literal at the start of `sql` ("NULL" for empty text), or false when the
// literal does not end exactly where `sql` ends or `terminator` starts.
bool LiteralValue(std::string_view sql, std::string_view terminator, std::string* value) {
    auto endsRight = [&](std::string_view after) {
        return terminator.empty() ? after.empty() : after.starts_with(terminator);
    };
    value->clear();
    if (sql.starts_with("NULL")) return endsRight(sql.substr(4));
    if (sql.empty() || sql[0] != '\'') return false;
    std::size_t i = 1;
    for (;;) {
        if (i >= sql.size()) return false;
        if (sql[i] == '\'') {
            if (i + 1 < sql.size() && sql[i + 1] == '\'') {
                *value += '\'';
                i += 2;
                continue;
            }
            return endsRight(sql.substr(i + 1));
        }
        *value += sql[i++];
    }
}

// Answers no racer and no entry, and checks the key inside every query.
class NoRacers final : public plx::RacerData {
public:
    std::vector<std::string> keys;
    bool Open(const std::string& sql) override {
        const std::string mark = "ENTNO=";
        std::size_t at = sql.find(mark);
        FUZZ_CHECK(at != std::string::npos, plxfuzz::Escaped(sql));
        const bool entries = sql.find("FROM RACEDTL") != std::string::npos;
        std::string key;
        FUZZ_CHECK(LiteralValue(std::string_view(sql).substr(at + mark.size()), entries ? " AND R.OPDT>=" : "", &key),
                   "the key leaves its literal: " + plxfuzz::Escaped(sql));
        keys.push_back(key);
        return true;
    }
    bool IsEmpty() override { return true; }
    bool Eof() override { return true; }
    void Next() override {}
    std::string Field(const std::string&) override { return {}; }
    std::string Lookup(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

void CheckLines(const std::vector<std::string>& lines, std::string_view bytes) {
    for (const std::string& line : lines)
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, plxfuzz::Escaped(line));
    std::size_t breaks = 0;
    for (char c : bytes) breaks += c == '\n' || c == '\r';
    FUZZ_CHECK(lines.size() <= breaks + 1, "more lines than line ends");
}

void CheckFeedList(std::string_view bytes, plxfuzz::CountingMessages& messages) {
    const std::string path = plx::FeedListPath();
    plxfuzz::WriteWholeFile(path, bytes);
    const std::vector<std::string> addresses = plx::LoadFeedAddresses();
    CheckLines(addresses, bytes);
    // A list longer than the cap is read up to it, with one message; it is the only message allowed.
    if (messages.count > 0) {
        FUZZ_CHECK(messages.count == 1 && (addresses.size() == plx::kMaxFeedAddresses || bytes.size() > (1u << 20)),
                   "message: " + plxfuzz::Escaped(messages.last));
        messages.count = 0;
    }
    std::string error;
    FUZZ_CHECK(plx::WriteFileLines(path, addresses, &error), error);
    FUZZ_CHECK(plx::LoadFeedAddresses() == addresses, "the saved list reads back otherwise");
}

void CheckWatchList(std::string_view bytes) {
    plxfuzz::WriteWholeFile(plx::Program().exeFolder + plx::kWatchListFileName, bytes);
    std::vector<std::string> lines;
    FUZZ_CHECK(plx::ReadFileLines(plx::Program().exeFolder + plx::kWatchListFileName, &lines) == plx::FileRead::Ok,
               "cannot read the watch list");
    CheckLines(lines, bytes);
    NoRacers data;
    std::vector<std::string> memo;
    FUZZ_CHECK(plx::CheckRacersWith(data, memo) == 0, "entries found in no data");
    FUZZ_CHECK(data.keys.size() == 2 * lines.size(), "two queries per racer");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string key = lines[i].substr(0, 5);
        FUZZ_CHECK(data.keys[2 * i] == key && data.keys[2 * i + 1] == key, plxfuzz::Escaped(lines[i]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    plxfuzz::CountingMessages messages;
    plx::Program().exeFolder = plxfuzz::ScratchFolder();
    plx::Program().runState = plx::RunState::Running;
    CheckFeedList(bytes, messages);
    CheckWatchList(bytes);
    FUZZ_CHECK(messages.count == 0, "message: " + plxfuzz::Escaped(messages.last));
    return 0;
}
