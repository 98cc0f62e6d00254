// Polite polling against real HTTP and HTTPS servers on 127.0.0.1: conditional requests whose 304
// keeps the page whole, the quiet times a server asks for (on the clock seam, never slept), and
// certificates checked against the trusted store.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "common/clock.h"
#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;
using plxtest::LoggedRequest;
using plxtest::ReadFile;
using plxtest::WriteFile;

namespace {

class NewsPolling : public plxtest::NewsTest {
protected:
    void SetUp() override {
        plxtest::NewsTest::SetUp();
        SetClock(&clock);
    }
    void TearDown() override {
        SetClock(nullptr);
        plxtest::NewsTest::TearDown();
    }
    // A read that remembers the feeds for the next one, as the tick's news step does.
    bool ReadAgain(const FetchLimits& limits = {}) {
        NewsReadOptions options;
        options.limits = limits;
        return ReadNews(viewer, options, &memory);
    }
    std::vector<LoggedRequest> Requests() { return Server().Requests(); }
    std::string ServedFile(const std::string& name) { return served.File(name); }

    ManualClock clock;
    FeedMemories memory;
};

std::string WithNewestItem(const std::string& feed, const std::string& title) {
    std::string changed = feed;
    changed.replace(changed.find("Star City</title>"), 9, title);
    changed.replace(changed.find("Tue, 03 Jun 2003"), 16, "Wed, 04 Jun 2003");
    return changed;
}

}  // namespace

TEST_F(NewsPolling, UnchangedFeedsAnswer304AndThePageStaysByteForByte) {
    const std::string feed = ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + "rss20_three.xml");
    WriteList({ServeText("feed.xml", feed)});
    Marks("20030601000000");
    EXPECT_TRUE(ReadAgain());
    const std::string first = Page();
    EXPECT_FALSE(ReadAgain());
    EXPECT_EQ(Page(), first);

    // New items after a 304: the whole document again, and its new validator the time after.
    ServeText("feed.xml", WithNewestItem(feed, "Moon Base"));
    EXPECT_TRUE(ReadAgain());
    EXPECT_NE(Page().find(Utf8ToCp932("<td>2003/06/04 18:39 Liftoff News<br>・<a href=\"http://liftoff.msfc.nasa.gov/"
                                      "news/2003/news-starcity.asp\" target=\"_blank\">Moon Base</a><br>")),
              std::string::npos);
    const std::string third = Page();
    EXPECT_FALSE(ReadAgain());
    EXPECT_EQ(Page(), third);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20030604183921");

    std::vector<LoggedRequest> requests = Requests();
    for (const LoggedRequest& r : requests)
        std::cout << "  GET " << r.path << "  If-None-Match: " << r.ifNoneMatch
                  << "  If-Modified-Since: " << r.ifModifiedSince << "  -> " << r.status << "\n";
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].ifNoneMatch, "");
    EXPECT_EQ(requests[0].status, "200");
    EXPECT_NE(requests[1].ifNoneMatch, "");
    EXPECT_NE(requests[1].ifModifiedSince, "");
    EXPECT_EQ(requests[1].status, "304");
    EXPECT_EQ(requests[2].ifNoneMatch, requests[1].ifNoneMatch);
    EXPECT_EQ(requests[2].status, "200");
    EXPECT_NE(requests[3].ifNoneMatch, requests[2].ifNoneMatch);
    EXPECT_EQ(requests[3].status, "304");
}

TEST_F(NewsPolling, LastModifiedAloneIsSentBackToo) {
    WriteList({Serve("atom_two.xml")});
    WriteFile(ServedFile("atom_two.xml.headers"), "ETag: -\n");
    Marks("20050101000000");
    EXPECT_TRUE(ReadAgain());
    const std::string first = Page();
    EXPECT_FALSE(ReadAgain());
    EXPECT_EQ(Page(), first);
    // A later version of the file is fetched whole.
    std::string feed = ReadFile(ServedFile("atom_two.xml"));
    feed.replace(feed.find("Atom draft-07 snapshot"), 22, "Atom 1.0 is published");
    WriteFile(ServedFile("atom_two.xml"), feed);
    std::filesystem::last_write_time(ServedFile("atom_two.xml"),
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_FALSE(ReadAgain());
    EXPECT_NE(Page().find("Atom 1.0 is published"), std::string::npos);

    std::vector<LoggedRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].ifNoneMatch, "");
    EXPECT_NE(requests[1].ifModifiedSince, "");
    EXPECT_EQ(requests[1].status, "304");
    EXPECT_EQ(requests[2].status, "200");
}

TEST_F(NewsPolling, QuietTimesOfTheServerAreHonouredUpToAnHour) {
    WriteList({Serve("two_a.rdf"), Serve("two_b.rdf"), Serve("rss20.xml")});
    WriteFile(ServedFile("two_a.rdf.headers"), "Cache-Control: public, max-age=600\n");
    WriteFile(ServedFile("two_b.rdf.headers"), "Cache-Control: max-age=86400\n");
    WriteFile(ServedFile("rss20.xml.headers"), "Status: 503\nRetry-After: 120\n");
    Marks("20060922000000");
    auto askedFor = [&](const std::string& path) {
        int count = 0;
        for (const LoggedRequest& r : Requests()) count += r.path == "/" + path;
        return count;
    };
    EXPECT_TRUE(ReadAgain());
    const std::string first = Page();
    const std::string unavailable =
        Utf8ToCp932("    <td>RSSの読み込みに失敗しました。[") + Server().Url("rss20.xml") + "]</td>\n";
    EXPECT_NE(first.find(unavailable), std::string::npos);

    clock.Advance(119 * 1000);
    EXPECT_FALSE(ReadAgain());
    EXPECT_EQ(Page(), first);  // nothing asked, nothing lost
    EXPECT_EQ(Requests().size(), 3u);

    clock.Advance(2 * 1000);  // 121 s: the unavailable feed is asked again
    ReadAgain();
    EXPECT_EQ(askedFor("rss20.xml"), 2);
    EXPECT_EQ(askedFor("two_a.rdf"), 1);

    clock.Advance(480 * 1000);  // 601 s
    ReadAgain();
    EXPECT_EQ(askedFor("two_a.rdf"), 2);
    EXPECT_EQ(askedFor("two_b.rdf"), 1);
    EXPECT_EQ(Page(), first);

    clock.Advance(2998 * 1000);  // 3599 s: a day's max-age counts as an hour
    ReadAgain();
    EXPECT_EQ(askedFor("two_b.rdf"), 1);
    clock.Advance(2 * 1000);
    ReadAgain();
    EXPECT_EQ(askedFor("two_b.rdf"), 2);
    EXPECT_EQ(Page(), first);
}

TEST_F(NewsPolling, HttpsFeedsAreReadOnlyWithACertificateThatVerifies) {
    plxtest::TestCertificates certificates;
    const plxtest::TlsIdentity trusted = certificates.Trusted(), stranger = certificates.Stranger();
    plxtest::HttpServer secure(served.path(), &trusted);
    plxtest::HttpServer unknown(served.path(), &stranger);
    Serve("two_b.rdf");
    const std::string good = secure.Url("two_b.rdf"), bad = unknown.Url("two_b.rdf");
    WriteList({good, bad});
    Marks("99999999999999");
    FetchLimits limits;
    limits.caFile = certificates.AuthorityFile();
    Read(limits);
    const std::string page = Page();
    EXPECT_NE(page.find(Utf8ToCp932("◆<a href=\"https://info.example.jp/\" target=\"_blank\">競艇情報</a>")),
              std::string::npos);
    EXPECT_NE(page.find(Utf8ToCp932("    <td>RSSの読み込みに失敗しました。[") + bad +
                        "][SSL certificate problem: self-signed certificate]</td>\n"),
              std::string::npos)
        << page;

    // Without the test's authority the system's store decides, and it knows neither server.
    Read();
    for (const std::string& address : {good, bad}) {
        size_t failure =
            Page().find(Utf8ToCp932("RSSの読み込みに失敗しました。[") + address + "][SSL certificate problem");
        EXPECT_NE(failure, std::string::npos) << Page();
    }
    EXPECT_EQ(Page().find(Utf8ToCp932("競艇情報")), std::string::npos);
}
