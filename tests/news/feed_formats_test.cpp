// The three feed shapes: RSS 1.0 (items beside the channel), RSS 2.0 (items inside it) and Atom,
// each read by namespace, not by the prefixes a document happens to use.
#include <gtest/gtest.h>

#include "common/sjis.h"
#include "news/feed_parse.h"
#include "tests/support/temp_dir.h"

using namespace plx;

namespace {

std::string Fixture(const std::string& name) {
    return plxtest::ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + name);
}

Feed Parse(const std::string& document) {
    std::string error;
    std::optional<Feed> feed = ParseFeed(document, &error);
    EXPECT_TRUE(feed) << error << "\n" << document;
    return feed.value_or(Feed{});
}

std::string Atom(const std::string& body) {
    return "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>t</title>" + body + "</feed>";
}

}  // namespace

TEST(FeedFormats, Rss20ItemsInsideTheChannel) {
    Feed feed = Parse(Fixture("rss20_three.xml"));
    EXPECT_EQ(feed.channelTitle, "Liftoff News");
    EXPECT_EQ(feed.channelLink, "http://liftoff.msfc.nasa.gov/");  // not the atom:link beside it
    ASSERT_EQ(feed.items.size(), 3u);
    EXPECT_EQ(feed.items[0].title, "Star City");
    EXPECT_EQ(feed.items[0].link, "http://liftoff.msfc.nasa.gov/news/2003/news-starcity.asp");
    EXPECT_EQ(feed.items[0].date, "20030603183921");
    EXPECT_EQ(feed.items[1].date, "20030527173732");
    EXPECT_EQ(feed.items[2].title, "Astronauts' Dirty Laundry");
    EXPECT_EQ(feed.items[2].date, "20030520175602");  // dc:date where there is no pubDate

    // The Japanese fixture of the RDF tests, in its RSS 2.0 form.
    Feed japanese = Parse(Fixture("rss20.xml"));
    ASSERT_EQ(japanese.items.size(), 1u);
    EXPECT_EQ(japanese.items[0].title, Utf8ToCp932("見えない記事"));
    EXPECT_EQ(japanese.items[0].date, "20060924153500");
}

TEST(FeedFormats, Rss20DatesAndElementsOfOtherNamespaces) {
    Feed feed = Parse(
        "<rss version=\"2.0\" xmlns:d=\"http://purl.org/dc/elements/1.1/\" xmlns:x=\"urn:x\"><channel>"
        "<x:title>not this</x:title><title>c</title>"
        "<item><x:link>http://wrong/</x:link><link>http://right/</link>"
        "<pubDate>Sun, 24 Sep 2006 06:35:00 GMT</pubDate><d:date>2001-01-01T00:00:00+09:00</d:date></item>"
        "<item><pubDate>not a date</pubDate><d:date>2001-01-01T00:00:00+09:00</d:date></item>"
        "<item><pubDate>not a date</pubDate></item>"
        "<x:item><title>foreign</title></x:item>"
        "</channel></rss>");
    EXPECT_EQ(feed.channelTitle, "c");
    ASSERT_EQ(feed.items.size(), 3u);
    EXPECT_EQ(feed.items[0].link, "http://right/");
    EXPECT_EQ(feed.items[0].date, "20060924153500");
    EXPECT_EQ(feed.items[1].date, "20010101000000");
    EXPECT_EQ(feed.items[2].date, kNoDate);

    std::string error;
    EXPECT_FALSE(ParseFeed("<rss version=\"2.0\"><title>no channel</title></rss>", &error));
    EXPECT_FALSE(error.empty());
}

TEST(FeedFormats, AtomEntriesWithTheirAlternateLinks) {
    Feed feed = Parse(Fixture("atom_two.xml"));
    EXPECT_EQ(feed.channelTitle, "dive into mark");
    EXPECT_EQ(feed.channelLink, "http://example.org/");  // the alternate, not the self link before it
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(feed.items[0].title, "Atom draft-07 snapshot");
    EXPECT_EQ(feed.items[0].link, "http://example.org/2005/04/02/atom");    // not the enclosure
    EXPECT_EQ(feed.items[0].date, "20050731212929");                        // updated, not published
    EXPECT_EQ(feed.items[1].link, "http://example.org/2003/12/13/atom03");  // a link without rel
    EXPECT_EQ(feed.items[1].date, "20031214033002");                        // published, as there is no updated
}

TEST(FeedFormats, AtomTextAndLinksAreReadAsText) {
    Feed feed = Parse(
        "<!DOCTYPE feed [<!ENTITY e \"http://entity/\">]>" +
        Atom("<link rel=\"http://www.iana.org/assignments/relation/alternate\" href=\"http://c/\"/>"
             "<entry><title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">A <b>bold</b> move</div></title>"
             "<link rel=\"related\" href=\"http://no/\"/><link href=\"&e;x\"/>"
             "<updated>broken</updated><published>2003-12-13T18:30:02+01:00</published></entry>"
             "<entry><title type=\"html\">&lt;script&gt;x&lt;/script&gt;</title>"
             "<link rel=\"alternate\" href=\"javascript:alert(1)\"/></entry>"
             "<e:entry xmlns:e=\"urn:other\"><title>foreign</title></e:entry>"));
    EXPECT_EQ(feed.channelLink, "http://c/");
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(feed.items[0].title, "A bold move");
    EXPECT_EQ(feed.items[0].link, "x");  // the entity reference is dropped, never expanded
    EXPECT_EQ(feed.items[0].date, "20031214023002");
    // Markup in a title stays text (the page escapes it); the address is kept for the page to refuse.
    EXPECT_EQ(feed.items[1].title, "<script>x</script>");
    EXPECT_EQ(feed.items[1].link, "javascript:alert(1)");
    EXPECT_EQ(feed.items[1].date, kNoDate);
}

TEST(FeedFormats, Rss10ElementsAreFoundByNamespace) {
    // Prefixed RSS 1.0 elements and a Dublin Core date under another prefix are read; a "dc:date"
    // whose prefix belongs to another namespace is not a date.
    Feed feed = Parse(
        "<r:RDF xmlns:r=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:rss=\"http://purl.org/rss/1.0/\" "
        "xmlns:meta=\"http://purl.org/dc/elements/1.1/\">"
        "<rss:channel><rss:title>c</rss:title><rss:link>http://c/</rss:link></rss:channel>"
        "<rss:item><rss:title>one</rss:title><meta:date>2006-09-24T06:35:00Z</meta:date></rss:item>"
        "<rss:item xmlns:dc=\"urn:not-dublin-core\"><dc:date>2006-09-24T06:35:00Z</dc:date></rss:item>"
        "</r:RDF>");
    EXPECT_EQ(feed.channelTitle, "c");
    EXPECT_EQ(feed.channelLink, "http://c/");
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(feed.items[0].title, "one");
    EXPECT_EQ(feed.items[0].date, "20060924153500");
    EXPECT_EQ(feed.items[1].date, kNoDate);
}
