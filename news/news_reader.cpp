// The news read: feed list, fetch, parse, page, marks and the page view.
#include "news/news_reader.h"

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

NewsPage ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark, const FetchLimits& limits,
                   const std::stop_token& stop) {
    std::vector<FetchResult> fetched = FetchFeeds(addresses, limits, stop);
    std::vector<FeedOutcome> outcomes;
    outcomes.reserve(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
        FeedOutcome outcome{addresses[i], std::nullopt};
        if (fetched[i].ok && !stop.stop_requested()) outcome.feed = ParseFeed(fetched[i].body, nullptr);
        fetched[i].body.clear();
        outcomes.push_back(std::move(outcome));
    }
    return BuildNewsPage(outcomes, startupMark);
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

bool ReadNews(NewsPageViewer& viewer, const NewsReadOptions& options) {
    std::vector<std::string> addresses = LoadFeedAddresses();
    return PublishNews(ReadFeeds(addresses, Program().newsBaseline, options.limits), viewer);
}

}  // namespace plx
