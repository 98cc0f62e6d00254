// Every wait of a read honours its limit: a server that never answers, one that sends a byte a
// second, a name lookup that hangs (this test process has the slow-lookup shim preloaded), and a
// stop request, which ends a read at once. Each feed that fails gets its block; the others are
// read. The full-length cases run on their own.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/sjis.h"
#include "news/news_reader.h"
#include "news_fixture.h"

using namespace plx;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

class NewsTimeout : public plxtest::NewsTest {
protected:
    // Reads a list of `stalled` and a good feed; gives the seconds taken.
    double ReadWith(const std::string& stalled, const FetchLimits& limits) {
        address = stalled;
        WriteList({stalled, Serve("two_b.rdf")});
        Marks("99999999999999");
        NewsReadOptions options;
        options.limits = limits;
        Clock::time_point started = Clock::now();
        ReadNews(viewer, options);
        return SecondsSince(started);
    }
    void ExpectFailureThenGoodFeed() {
        std::string page = Page();
        std::string failure =
            "  <tr>\n" + Utf8ToCp932("    <td>RSSの読み込みに失敗しました。[") + address + "]</td>\n  </tr>\n";
        EXPECT_EQ(page.rfind(plxtest::PageHead() + failure, 0), 0u) << page;
        EXPECT_NE(page.find(Utf8ToCp932("競艇情報")), std::string::npos);
    }
    // A feed address whose host name takes 20 seconds to look up.
    std::string StalledLookup() { return "http://feed.stall.test:" + std::to_string(Server().port()) + "/two_b.rdf"; }

    std::string address;
};

TEST_F(NewsTimeout, SilentServerFailsAtTheTotalTimeOut) {
    FetchLimits limits;
    limits.totalTimeoutMs = 1500;
    double seconds = ReadWith(Server().Url("hang"), limits);
    EXPECT_GE(seconds, 1.4);
    EXPECT_LT(seconds, 5.0);
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, AByteASecondFailsAtTheTotalTimeOut) {
    FetchLimits limits;
    limits.totalTimeoutMs = 2500;
    double seconds = ReadWith(Server().Url("trickle"), limits);
    EXPECT_GE(seconds, 2.4);
    EXPECT_LT(seconds, 6.0);
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, AHangingNameLookupFailsAtTheConnectTimeOut) {
    FetchLimits limits;
    limits.connectTimeoutMs = 1000;
    limits.totalTimeoutMs = 3000;
    double seconds = ReadWith(StalledLookup(), limits);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 2.5) << "the read must not wait for the resolver";
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, DefaultLimitsEndASilentFeedAfterFifteenSeconds) {
    double seconds = ReadWith(Server().Url("hang"), FetchLimits{});
    EXPECT_GE(seconds, 14.9);
    EXPECT_LT(seconds, 17.0);
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, DefaultLimitsEndAHangingLookupAfterFiveSeconds) {
    double seconds = ReadWith(StalledLookup(), FetchLimits{});
    EXPECT_GE(seconds, 4.9);
    EXPECT_LT(seconds, 7.0);
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, AStopRequestEndsTheFetchesAtOnce) {
    std::vector<std::string> addresses = {Server().Url("hang"), Server().Url("trickle"), StalledLookup()};
    NewsPage page;
    std::jthread reader([&](std::stop_token stop) { page = ReadFeeds(addresses, "99999999999999", {}, stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Clock::time_point asked = Clock::now();
    reader.request_stop();
    reader.join();
    EXPECT_LT(SecondsSince(asked), 0.2);
    for (const std::string& a : addresses) EXPECT_NE(page.html.find("[" + a + "]"), std::string::npos) << a;
    EXPECT_FALSE(plxtest::FileExists(exe.File("PLX_NEWS.html"))) << "the worker half writes nothing";
}
