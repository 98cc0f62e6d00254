// Feed documents: the RSS 1.0 walk, other shapes, encodings, and hostile documents.
#include "news/feed_parse.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/sjis.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::ReadFile;

namespace {

std::string ParseFixture(const std::string& name) {
    return ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + name);
}

std::string Rdf(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
           "xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">" +
           body + "</rdf:RDF>";
}

}  // namespace

TEST(FeedParse, ChannelIsTheFirstChildAndItemsTheRest) {
    std::string error;
    auto feed = ParseFeed(ParseFixture("two_a.rdf"), &error);
    ASSERT_TRUE(feed) << error;
    EXPECT_EQ(feed->channelTitle, Utf8ToCp932("ボートレースニュース"));
    EXPECT_EQ(feed->channelLink, "http://news.example.jp/");
    ASSERT_EQ(feed->items.size(), 3u);
    EXPECT_EQ(feed->items[1].title, Utf8ToCp932("A&B <速報>"));  // entities of the feed decoded
    EXPECT_EQ(feed->items[1].link, "http://news.example.jp/a/2.html?x=1&y=2");
    EXPECT_EQ(feed->items[0].date, "20060924153500");
    EXPECT_EQ(feed->items[2].date, "20060920090000");
}

TEST(FeedParse, ChildLookupRules) {
    // Whatever element comes first is the channel; missing children read as empty text; the
    // first Dublin Core date counts, whatever its prefix.
    auto feed = ParseFeed(Rdf("<!-- note --><image><title>img</title></image>"
                              "<item><dc:date>2001-01-01</dc:date><dc:date>2002-02-02</dc:date></item>"
                              "<item xmlns:x=\"http://purl.org/dc/elements/1.1/\"><x:date>2003-01-01</x:date>"
                              "<title>t<![CDATA[<c>]]></title></item>"),
                          nullptr);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->channelTitle, "img");
    EXPECT_EQ(feed->channelLink, "");
    ASSERT_EQ(feed->items.size(), 2u);
    EXPECT_EQ(feed->items[0].date, "20010101000000");
    EXPECT_EQ(feed->items[0].title, "");
    EXPECT_EQ(feed->items[1].date, "20030101000000");
    EXPECT_EQ(feed->items[1].title, "t<c>");
}

TEST(FeedParse, DocumentsThatAreNotFeedsFail) {
    for (const std::string& document :
         {ParseFixture("malformed.rdf"), std::string(), std::string("not xml at all"), Rdf(""),
          std::string("<?xml version=\"1.0\"?><root>text only</root>"),
          std::string("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a><b>\x82</b></a>")}) {
        std::string error;
        EXPECT_FALSE(ParseFeed(document, &error)) << document;
        EXPECT_FALSE(error.empty());
    }
}

TEST(FeedParse, EveryJapaneseEncodingGivesTheSameCp932Text) {
    auto utf8 = ParseFeed(ParseFixture("enc_utf8.rdf"), nullptr);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->channelTitle, Utf8ToCp932("日本語チャンネル①"));
    EXPECT_EQ(utf8->items[0].title, Utf8ToCp932("第１レース～第１２レース　ボートレース平和島"));
    for (const char* name : {"enc_sjis.rdf", "enc_eucjp.rdf"}) {
        std::string error;
        auto other = ParseFeed(ParseFixture(name), &error);
        ASSERT_TRUE(other) << name << ": " << error;
        EXPECT_EQ(other->channelTitle, utf8->channelTitle) << name;
        ASSERT_EQ(other->items.size(), utf8->items.size()) << name;
        for (size_t i = 0; i < utf8->items.size(); ++i) EXPECT_EQ(other->items[i].title, utf8->items[i].title) << name;
    }
    auto jis = ParseFeed(ParseFixture("enc_iso2022jp.rdf"), nullptr);
    ASSERT_TRUE(jis);
    EXPECT_EQ(jis->channelTitle, Utf8ToCp932("日本語チャンネル"));
    EXPECT_EQ(jis->items.at(0).title, Utf8ToCp932("ボートレース平和島"));
}

TEST(FeedParse, CharactersOutsideCp932BecomeTheDefaultCharacter) {
    auto feed = ParseFeed(ParseFixture("unmappable.rdf"), nullptr);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->channelTitle, Utf8ToCp932("魚?と?野家"));
}

TEST(FeedParse, EntitiesAreNeverExpanded) {
    // A reference loop the size of the classic attack is refused outright, and quickly.
    auto started = std::chrono::steady_clock::now();
    std::string error;
    EXPECT_FALSE(ParseFeed(ParseFixture("billion_laughs.rdf"), &error));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    // A smaller one the parser accepts still reads without the references: its text is never expanded.
    auto feed = ParseFeed(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE r [ <!ENTITY a \"lol\"> <!ENTITY b \"&a;&a;\"> ]>\n"
        "<r><channel><title>x&b;y</title></channel><i><title>&b;</title></i></r>",
        &error);
    ASSERT_TRUE(feed) << error;
    EXPECT_EQ(feed->channelTitle, "xy");
    EXPECT_EQ(feed->items.at(0).title, "");
}

TEST(FeedParse, ExternalEntitiesAndDtdsAreNotLoaded) {
    plxtest::TempDir dir;
    plxtest::WriteFile(dir.File("secret.txt"), "SECRET-CONTENT");
    plxtest::WriteFile(dir.File("evil.dtd"), "<!ENTITY leak \"DTD-CONTENT\">");
    std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n  <!ENTITY secret SYSTEM \"file://" +
                           dir.File("secret.txt") + "\">\n  <!ENTITY % dtd SYSTEM \"file://" + dir.File("evil.dtd") +
                           "\">\n  %dtd;\n]>\n<r><channel><title>a&secret;b</title></channel>"
                           "<item><title>&secret;</title></item></r>";
    std::string error;
    auto feed = ParseFeed(document, &error);
    ASSERT_TRUE(feed) << error;
    EXPECT_EQ(feed->channelTitle, "ab");
    EXPECT_EQ(feed->items.at(0).title, "");
    std::string external = "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"file://" + dir.File("evil.dtd") +
                           "\">\n<r><channel><title>x&leak;</title></channel></r>";
    feed = ParseFeed(external, &error);
    ASSERT_TRUE(feed) << error;
    EXPECT_EQ(feed->channelTitle, "x");
}
