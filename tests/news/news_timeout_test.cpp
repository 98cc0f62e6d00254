// A server that never answers: the read ends at the time-out, the other feeds are read, and the
// window's events keep flowing meanwhile. The full-length case runs on its own.
#include <gtest/gtest.h>

#include <chrono>

#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;
using Clock = std::chrono::steady_clock;

class NewsTimeout : public plxtest::NewsTest {
protected:
    // Reads a list of a silent server and a good feed; gives the seconds taken.
    double ReadWithSilentServer(const FetchLimits& limits) {
        hang = Server().Url("hang");
        WriteList({hang, Serve("two_b.rdf")});
        Marks("99999999999999");
        NewsReadOptions options;
        options.limits = limits;
        Clock::time_point last = Clock::now();
        options.pumpEvents = [&] {
            Clock::time_point now = Clock::now();
            longestGap = std::max(longestGap, now - last);
            last = now;
            ++pumps;
        };
        Clock::time_point started = Clock::now();
        ReadNews(viewer, options);
        return std::chrono::duration<double>(Clock::now() - started).count();
    }
    void ExpectFailureThenGoodFeed() {
        std::string page = Page();
        std::string failure =
            "  <tr>\n" + Utf8ToCp932("    <td>RSSの読み込みに失敗しました。[") + hang + "]</td>\n  </tr>\n";
        EXPECT_EQ(page.rfind(plxtest::PageHead() + failure, 0), 0u);
        EXPECT_NE(page.find(Utf8ToCp932("競艇情報")), std::string::npos);
    }

    std::string hang;
    int pumps = 0;
    Clock::duration longestGap{};
};

TEST_F(NewsTimeout, SilentServerFailsAtTheTotalTimeOutWhileEventsFlow) {
    FetchLimits limits;
    limits.totalTimeoutMs = 1500;
    double seconds = ReadWithSilentServer(limits);
    EXPECT_GE(seconds, 1.4);
    EXPECT_LT(seconds, 5.0);
    EXPECT_GE(pumps, 15);
    EXPECT_LT(longestGap, std::chrono::milliseconds(500));
    ExpectFailureThenGoodFeed();
}

TEST_F(NewsTimeout, DefaultLimitsEndASilentFeedAfterFifteenSeconds) {
    double seconds = ReadWithSilentServer(FetchLimits{});
    EXPECT_GE(seconds, 14.9);
    EXPECT_LT(seconds, 20.0);
    EXPECT_LT(longestGap, std::chrono::milliseconds(500));
    ExpectFailureThenGoodFeed();
}
