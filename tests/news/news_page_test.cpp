// The page builder: blocks, order of new articles, escaping and links, release marks.
#include "news/news_page.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "common/textutil.h"
#include "news_fixture.h"

using namespace plx;

using plxtest::kPageTail;
using plxtest::PageHead;

namespace {

FeedItem Item(const char* title, const char* link, const char* date) {
    return {Utf8ToCp932(title), link, date};
}

}  // namespace

TEST(NewsPage, FailedFeedQuotesItsAddressEscaped) {
    NewsPage page = BuildNewsPage({{"http://a.example/x?a=1&b=\"2\"", std::nullopt}, {"", std::nullopt}}, "0");
    EXPECT_EQ(page.html,
              PageHead() +
                  Utf8ToCp932(
                      "  <tr>\n    <td>RSSの読み込みに失敗しました。[http://a.example/x?a=1&amp;b=&quot;2&quot;]</td>\n"
                      "  </tr>\n"
                      "  <tr>\n    <td>RSSの読み込みに失敗しました。[]</td>\n  </tr>\n") +
                  kPageTail);
}

TEST(NewsPage, FeedWithoutItemsHasChannelLineAndEmptyCell) {
    Feed feed{Utf8ToCp932("チャンネル"), "http://c.example/", {}};
    NewsPage page = BuildNewsPage({{"http://c.example/rss", feed}}, "0");
    EXPECT_EQ(page.html, PageHead() +
                             Utf8ToCp932("  <tr>\n    <td bgcolor=\"#CCCCCC\">◆<a href=\"http://c.example/\" "
                                         "target=\"_blank\">チャンネル</a>\n    </td>\n  </tr>\n"
                                         "  <tr>\n    <td><br>\n</td>\n  </tr>\n") +
                             kPageTail);
}

TEST(NewsPage, NewArticlesNewestFirstAcrossFeedsAndOnlyAboveTheStartupMark) {
    Feed a{"A", "http://a/", {Item("a1", "http://a/1", "20060924100000"), Item("a2", "http://a/2", "20060920000000")}};
    Feed b{"B", "http://b/", {Item("b1", "http://b/1", "20060924103400"), Item("b2", "http://b/2", "20060924103500")}};
    NewsPage page = BuildNewsPage({{"a", a}, {"b", b}}, "20060921000000");
    const std::string block = Utf8ToCp932(
        "  <tr>\n    <td bgcolor=\"#CCCCCC\">★新着記事</td>  </tr>\n  <tr>\n    <td>"
        "2006/09/24 10:35 B<br>・<a href=\"http://b/2\" target=\"_blank\">b2</a><br>"
        "2006/09/24 10:34 B<br>・<a href=\"http://b/1\" target=\"_blank\">b1</a><br>"
        "2006/09/24 10:00 A<br>・<a href=\"http://a/1\" target=\"_blank\">a1</a><br>"
        "<br>\n    </td>  </tr>\n");
    ASSERT_EQ(page.html.substr(0, PageHead().size() + block.size()), PageHead() + block);
    EXPECT_EQ(page.latest, "20060924103500");
    EXPECT_EQ(BuildNewsPage({{"a", a}}, "20060924100000").latest, "00000000000000");
}

TEST(NewsPage, MarkupFromTheFeedIsEscapedAndOnlyWebAddressesBecomeLinks) {
    Feed feed{"<b>T&amp;</b>",
              "javascript:alert(1)",
              {Item("x < y & \"z\"", " HTTPS://ok.example/?q=<1>", "1"), Item("plain", "file:///etc/passwd", "2"),
               Item("empty link", "", "3")}};
    NewsPage page = BuildNewsPage({{"u", feed}}, "0");
    EXPECT_NE(page.html.find("<td bgcolor=\"#CCCCCC\">" + Utf8ToCp932("◆") + "&lt;b&gt;T&amp;amp;&lt;/b&gt;\n"),
              std::string::npos);
    EXPECT_NE(
        page.html.find(
            Utf8ToCp932("・") +
            "<a href=\" HTTPS://ok.example/?q=&lt;1&gt;\" target=\"_blank\">x &lt; y &amp; &quot;z&quot;</a><br>\n"),
        std::string::npos);
    EXPECT_NE(page.html.find(Utf8ToCp932("・") + "plain<br>\n" + Utf8ToCp932("・") + "empty link<br>\n<br>\n"),
              std::string::npos);
    // The new-article entries follow the same rules.
    EXPECT_NE(page.html.find(Utf8ToCp932("・") + "plain<br>" + YmdhnSlash("1") + " &lt;b&gt;"), std::string::npos);
    EXPECT_EQ(page.html.find("javascript"), std::string::npos);
    EXPECT_EQ(page.html.find("file:"), std::string::npos);
}

TEST(NewsPage, ADateFromTheFeedCannotAddMarkup) {
    // A date text that is no date counts as none: nothing of it reaches the page, escaped or not.
    Feed feed{"c", "http://c.example/", {{"t", "http://c.example/1", ItemDate("9<script>x")}}};
    NewsPage page = BuildNewsPage({{"u", feed}}, "0");
    EXPECT_EQ(page.html.find("<script"), std::string::npos);
    EXPECT_EQ(page.html.find("sc"), std::string::npos);
    // A stored item whose mark holds markup (from an older page) is still shown as text only.
    Feed stored{"c", "http://c.example/", {{"t", "http://c.example/1", "9<b>x"}}};
    EXPECT_NE(BuildNewsPage({{"u", stored}}, "0").html.find("&lt;b&gt;"), std::string::npos);
}

TEST(NewsPage, WebAddressAndEscapeHelpers) {
    struct Case {
        const char* address;
        bool web;
    } cases[] = {{"http://a", true},     {"https://a", true},         {"HtTp://a", true},  {"\n  http://a", true},
                 {"http:/a", false},     {"ftp://a", false},          {"", false},         {"   ", false},
                 {"javascript:", false}, {"data:text/html,x", false}, {"httpx://a", false}};
    for (const Case& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
    // Double-byte characters pass through untouched, including ones whose second byte is ASCII.
    std::string kana = Utf8ToCp932("ソ表<");
    EXPECT_EQ(HtmlEscape(kana), Utf8ToCp932("ソ表") + "&lt;");
}

TEST(NewsPage, ItemDateNormalisation) {
    struct Case {
        const char* text;
        const char* date;
    } cases[] = {{"2006-09-24T15:35:00+09:00", "20060924153500"},
                 {"2006-09-24T15:35:00.123Z", "20060925003500"},
                 // The shorter forms of a W3C date count from the start of their minute or day.
                 {"2006-09-24T15:35+09:00", "20060924153500"},
                 {"2006-09-24T15:35Z", "20060925003500"},
                 {"2006-09-24", "20060924000000"},
                 // Anything else is no date at all: it can neither be new nor raise the mark.
                 {"2006/09/24 15:35", kNoDate},
                 {"", kNoDate},
                 {"z\nALARM_MODE=0", kNoDate},
                 {"9\n[Q]\n", kNoDate},
                 {"<svg a=1 b", kNoDate},
                 {"20060924153500\nX=1", kNoDate},
                 {"2006-09-24T15:35:00+09:00\n[Q]", kNoDate},
                 {"\n  2006-09-24T15:35:00-05:00\n", "20060925053500"},
                 {"20060924153500", "20060924153500"},
                 {"2006092415353", kNoDate},
                 {"200609241535", kNoDate}};
    for (const Case& c : cases) EXPECT_EQ(ItemDate(c.text), c.date) << c.text;
    EXPECT_EQ(ItemDate("2006092415353" + Utf8ToCp932("年")), kNoDate);
    EXPECT_EQ(YmdhnSlash(ItemDate("2006-09-24T15:35+09:00")), "2006/09/24 15:35");
}
