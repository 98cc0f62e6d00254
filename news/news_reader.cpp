// The news read: feed list, fetch, parse, page, marks and the page view.
#include "news/news_reader.h"

#include <cstdint>

#include "common/clock.h"
#include "common/files.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "news/feed_list.h"
#include "news/feed_parse.h"

namespace plx {

std::string NewsPagePath() {
    return Program().exeFolder + "PLX_NEWS.html";
}

PageWrite WritePageFile(const std::string& path, const std::string& bytes) {
    WriteStep failed = WriteStep::None;
    if (WriteFileAtomically(path, bytes, nullptr, &failed)) return PageWrite::Written;
    return failed == WriteStep::Write ? PageWrite::ShortWrite : PageWrite::CannotOpen;
}

namespace {

// A reason for the page: one line of printable ASCII, as curl's are.
std::string PageReason(const std::string& error) {
    std::string reason = error.substr(0, 300);
    for (char& c : reason)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
    return reason;
}

FeedOutcome Remembered(const std::string& address, const FeedMemory& memory) {
    if (memory.lastFailed) return {address, std::nullopt, memory.failureReason};
    return {address, memory.feed, ""};
}

// What one fetch gives the page, and what is remembered of it.
FeedOutcome Outcome(const std::string& address, FetchResult& fetched, FeedMemory& memory, std::int64_t nowMs) {
    memory.quietUntilMs = nowMs + static_cast<std::int64_t>(fetched.quietSeconds) * 1000;
    memory.lastFailed = true;
    memory.failureReason.clear();
    if (!fetched.ok) {
        // The copy held and its validators stay for the next read: the server may still have it.
        if (fetched.secureConnectionFailed) memory.failureReason = PageReason(fetched.error);
        return Remembered(address, memory);
    }
    if (fetched.notModified) {
        if (!memory.feed) return Remembered(address, memory);
    } else {
        memory.feed = ParseFeed(fetched.body, nullptr);
        if (!memory.feed) {
            fetched.etag.clear();
            fetched.lastModified.clear();
        }
    }
    memory.etag = fetched.etag;
    memory.lastModified = fetched.lastModified;
    memory.lastFailed = !memory.feed;
    return Remembered(address, memory);
}

}  // namespace

FeedsRead ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark,
                    const FetchLimits& limits, FeedMemories memory, std::int64_t nowMs, const std::stop_token& stop) {
    FeedsRead read;
    // Which addresses go to the network, and what each asks with.
    std::vector<FetchRequest> requests;
    std::vector<size_t> fetchedAt(addresses.size(), SIZE_MAX);
    for (size_t i = 0; i < addresses.size(); ++i) {
        auto known = memory.find(addresses[i]);
        if (known != memory.end() && nowMs < known->second.quietUntilMs) continue;
        FetchRequest request{addresses[i], "", ""};
        if (known != memory.end() && known->second.feed) {
            request.etag = known->second.etag;
            request.lastModified = known->second.lastModified;
        }
        fetchedAt[i] = requests.size();
        requests.push_back(std::move(request));
    }
    std::vector<FetchResult> fetched = FetchFeeds(requests, limits, stop);

    std::vector<FeedOutcome> outcomes;
    outcomes.reserve(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
        const std::string& address = addresses[i];
        FeedMemory& remembered = read.memory[address];
        if (auto known = memory.find(address); known != memory.end()) remembered = known->second;
        if (fetchedAt[i] == SIZE_MAX) {
            outcomes.push_back(Remembered(address, remembered));
        } else if (stop.stop_requested()) {
            outcomes.push_back(FeedOutcome{address, std::nullopt, ""});
        } else {
            FetchResult& result = fetched[fetchedAt[i]];
            outcomes.push_back(Outcome(address, result, remembered, nowMs));
            result.body.clear();
        }
    }
    read.page = BuildNewsPage(outcomes, startupMark);
    return read;
}

NewsPage ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark, const FetchLimits& limits,
                   const std::stop_token& stop) {
    return ReadFeeds(addresses, startupMark, limits, {}, 0, stop).page;
}

bool PublishNews(const NewsPage& page, NewsPageViewer& viewer) {
    const std::string pagePath = NewsPagePath();
    switch (WritePageFile(pagePath, page.html)) {
        case PageWrite::Written:
            break;
        case PageWrite::CannotOpen:
            ShowMsg(SJ("ニュースファイルの書き込みに失敗しました。[1]"));
            break;
        case PageWrite::ShortWrite:
            ShowMsg(SJ("ニュースファイルの書き込みに失敗しました。[2]"));
            break;
    }

    std::string& newsMark = Program().settings.NEWS_LAST_RLSDTTM;
    bool newer = NewerNewsArrived(page, newsMark);
    if (newer || viewer.Tag() == 0) viewer.Navigate(pagePath);
    if (newer) newsMark = page.latest;
    return newer;
}

bool ReadNews(NewsPageViewer& viewer, const NewsReadOptions& options, FeedMemories* memory) {
    std::vector<std::string> addresses = LoadFeedAddresses();
    FeedsRead read =
        ReadFeeds(addresses, Program().newsBaseline, options.limits, memory ? *memory : FeedMemories{}, TickCount());
    if (memory) *memory = std::move(read.memory);
    return PublishNews(read.page, viewer);
}

}  // namespace plx
