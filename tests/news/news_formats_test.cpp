// Reads of RSS 2.0, Atom and RSS 1.0 feeds from a real HTTP server: one exact page from the three
// formats and a failure, and a feed that changes its format between two reads.
#include <gtest/gtest.h>

#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;
using plxtest::ReadFile;

using NewsFormats = plxtest::NewsTest;

TEST_F(NewsFormats, ThreeFormatsAndAFailureGiveExactlyTheExpectedPage) {
    WriteList({Serve("rss20_three.xml"), Serve("atom_two.xml"), Server().Url("status/404"), Serve("two_a.rdf")});
    Marks("20030601000000");
    EXPECT_TRUE(Read());
    std::string expected = ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + "three_formats_expected.html");
    expected.replace(expected.find("@PORT@"), 6, std::to_string(Server().port()));
    EXPECT_EQ(Page(), expected);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924153500");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NewsFormats, AFeedThatTurnsFromRss20IntoAtomIsReadAsAtom) {
    const std::string address = Serve("rss20_three.xml", "feed.xml");
    WriteList({address});
    Marks("20040101000000");
    FeedMemories memory;
    NewsReadOptions options;
    EXPECT_FALSE(ReadNews(viewer, options, &memory));  // nothing after the start-up mark
    EXPECT_NE(Page().find(">Liftoff News</a>"), std::string::npos);

    Serve("atom_two.xml", "feed.xml");
    EXPECT_TRUE(ReadNews(viewer, options, &memory));
    const std::string page = Page();
    EXPECT_EQ(page.find("Liftoff"), std::string::npos);
    EXPECT_NE(page.find(Utf8ToCp932("◆<a href=\"http://example.org/\" target=\"_blank\">dive into mark</a>")),
              std::string::npos);
    EXPECT_NE(page.find(Utf8ToCp932("<td>2005/07/31 21:29 dive into mark<br>・")), std::string::npos);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20050731212929");
    // The second read asked with the first document's validator and got the new one whole.
    std::vector<plxtest::LoggedRequest> requests = Server().Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].ifNoneMatch.empty());
    EXPECT_EQ(requests[1].status, "200");
}
