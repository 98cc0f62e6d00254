// Fuzz target: any bytes as a fetched feed, through the parse, the item walk and the page writer.
// Every tag of the page must be one of the page's own; nothing from the feed may add markup.
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "news/feed_parse.h"
#include "news/news_page.h"

namespace {

constexpr const char* kStartupMark = "20060101000000";

// The link tag with its address left out: the only tag whose text comes from a feed.
std::string TagShape(const std::string& tag) {
    const std::string open = "<a href=\"", close = "\" target=\"_blank\">";
    if (tag.starts_with(open) && tag.ends_with(close) && tag.size() >= open.size() + close.size()) {
        std::string address = tag.substr(open.size(), tag.size() - open.size() - close.size());
        if (address.find_first_of("\"<>") == std::string::npos && plx::IsWebAddress(address)) return open + close;
    }
    return tag;
}

// The tags of `html`; false when a "<" or ">" stands outside a tag.
bool Tags(const std::string& html, std::vector<std::string>* tags) {
    std::size_t i = 0;
    for (;;) {
        std::size_t open = html.find_first_of("<>", i);
        if (open == std::string::npos) return true;
        if (html[open] == '>') return false;
        std::size_t close = html.find_first_of("<>", open + 1);
        if (close == std::string::npos || html[close] == '<') return false;
        tags->push_back(html.substr(open, close - open + 1));
        i = close + 1;
    }
}

// Every tag shape the page writer makes, from a page with each of its blocks.
const std::set<std::string>& TemplateTags() {
    static const std::set<std::string> shapes = [] {
        plx::Feed feed{"channel", "http://example.com/", {{"item", "https://example.com/1", "20991231235959"}}};
        plx::Feed unlinked{"channel", "ftp://example.com/", {{"item", "mailto:a@example.com", "20991231235959"}}};
        plx::NewsPage page = plx::BuildNewsPage(
            {{"http://example.com/rss", feed}, {"x", unlinked}, {"http://example.com/bad", std::nullopt}},
            kStartupMark);
        std::vector<std::string> tags;
        FUZZ_CHECK(Tags(page.html, &tags), "the template itself");
        std::set<std::string> out;
        for (const std::string& tag : tags) out.insert(TagShape(tag));
        return out;
    }();
    return shapes;
}

void CheckItems(const plx::Feed& feed) {
    for (const plx::FeedItem& item : feed.items) {
        FUZZ_CHECK(item.date.size() <= 14, plxfuzz::Escaped(item.date));
        if (item.date != plx::kNoDate)
            FUZZ_CHECK(item.date.find_first_of("-/:") == std::string::npos, plxfuzz::Escaped(item.date));
    }
}

void CheckLatest(const plx::NewsPage& page, const plx::Feed& feed) {
    std::string newest = plx::kNoDate;
    for (const plx::FeedItem& item : feed.items)
        if (kStartupMark < item.date && newest < item.date) newest = item.date;
    FUZZ_CHECK(page.latest == newest,
               "latest " + plxfuzz::Escaped(page.latest) + ", newest " + plxfuzz::Escaped(newest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string document(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::optional<plx::Feed> feed = plx::ParseFeed(document, &error);
    FUZZ_CHECK(feed || !error.empty(), "refused without a reason");
    if (feed) CheckItems(*feed);

    // The document's first line also stands in as an address that could not be read.
    const std::string address = document.substr(0, document.find('\n'));
    const plx::NewsPage page =
        plx::BuildNewsPage({{"http://example.com/rss", feed}, {address, std::nullopt}}, kStartupMark);
    std::vector<std::string> tags;
    FUZZ_CHECK(Tags(page.html, &tags), "a bare < or > in the page");
    for (const std::string& tag : tags)
        FUZZ_CHECK(TemplateTags().count(TagShape(tag)) == 1, "foreign tag " + plxfuzz::Escaped(tag));
    CheckLatest(page, feed ? *feed : plx::Feed{});
    return 0;
}
