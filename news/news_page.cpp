// Building the news page piece by piece.
#include "news/news_page.h"

#include <algorithm>

#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {
namespace {

// A title with its address as a link, or as plain text when the address is not a web address,
// so nothing from a feed can put script or markup into the page.
std::string LinkedTitle(const std::string& link, const std::string& title) {
    if (!IsWebAddress(link)) return HtmlEscape(title);
    return "<a href=\"" + HtmlEscape(link) + "\" target=\"_blank\">" + HtmlEscape(title) + "</a>";
}

std::string Head() {
    return "<html>\n"
           "<head>\n"
           "<title>Pilonix</title>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
           "<link rel=\"stylesheet\" href=\"plx.css\">\n"
           "</head>\n"
           "<body bgcolor=\"#FFFFFF\" MARGINWIDTH=\"0\" MARGINHEIGHT=\"0\" LEFTMARGIN=\"0\" TOPMARGIN=\"0\">\n"
           "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n"
           "  <tr>\n" +
           SJ("    <td>【News】</td>") + "\n  </tr>\n";
}

std::string NewArticleEntry(const FeedItem& item, const std::string& channelTitle) {
    // The date is the feed's own text with a few marks taken out, so it is escaped like the rest.
    return HtmlEscape(YmdhnSlash(item.date)) + " " + HtmlEscape(channelTitle) + "<br>" + SJ("・") +
           LinkedTitle(item.link, item.title) + "<br>";
}

std::string NewArticleBlock(std::vector<std::string> entries) {
    std::sort(entries.begin(), entries.end());
    std::string block = "  <tr>\n" + SJ("    <td bgcolor=\"#CCCCCC\">★新着記事</td>") + "  </tr>\n  <tr>\n    <td>";
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) block += *entry;
    block += "<br>\n    </td>  </tr>\n";
    return block;
}

std::string FeedBlock(const Feed& feed) {
    std::string block = "  <tr>\n    <td bgcolor=\"#CCCCCC\">" + SJ("◆") +
                        LinkedTitle(feed.channelLink, feed.channelTitle) + "\n    </td>\n  </tr>\n  <tr>\n    <td>";
    for (const FeedItem& item : feed.items) block += SJ("・") + LinkedTitle(item.link, item.title) + "<br>\n";
    block += "<br>\n</td>\n  </tr>\n";
    return block;
}

std::string FailureBlock(const FeedOutcome& outcome) {
    std::string reason = outcome.failureReason.empty() ? "" : "[" + HtmlEscape(outcome.failureReason) + "]";
    return "  <tr>\n" + SJ("    <td>RSSの読み込みに失敗しました。[") + HtmlEscape(outcome.address) + "]" + reason +
           "</td>\n  </tr>\n";
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    // CP932 second bytes start at 0x40, so these four bytes are always whole characters.
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool IsWebAddress(const std::string& address) {
    size_t start = address.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return false;
    std::string head = AsciiLower(address.substr(start, 8));
    return head.starts_with("http://") || head.starts_with("https://");
}

bool NewerNewsArrived(const NewsPage& page, const std::string& newsMark) {
    // The latest of a read stays at "no date" unless an item with a real date was read, so a read
    // whose feeds all failed (or carried no dated item) is never news, whatever the mark holds.
    return page.latest != kNoDate && newsMark < page.latest;
}

NewsPage BuildNewsPage(const std::vector<FeedOutcome>& outcomes, const std::string& startupMark) {
    NewsPage page;
    page.latest = kNoDate;
    std::vector<std::string> entries;
    std::string feeds;
    for (const FeedOutcome& outcome : outcomes) {
        if (!outcome.feed) {
            feeds += FailureBlock(outcome);
            continue;
        }
        feeds += FeedBlock(*outcome.feed);
        for (const FeedItem& item : outcome.feed->items) {
            if (!(startupMark < item.date)) continue;
            entries.push_back(NewArticleEntry(item, outcome.feed->channelTitle));
            if (page.latest < item.date) page.latest = item.date;
        }
    }
    page.html = Head();
    if (!entries.empty()) page.html += NewArticleBlock(std::move(entries));
    page.html += feeds;
    page.html += "</table>\n</body>\n</html>\n";
    return page;
}

}  // namespace plx
