// ReadNews against a real HTTP server: the exact page, failures per feed, marks and navigation,
// encodings, hostile and oversized feeds, and the two write failures.
#include "news/news_reader.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::WriteFile;

using NewsRead = plxtest::NewsTest;

namespace {

std::string Cp(const char* utf8) {
    return Utf8ToCp932(utf8);
}

std::string FailureBlock(const std::string& address) {
    return "  <tr>\n" + Cp("    <td>RSSの読み込みに失敗しました。[") + address + "]</td>\n  </tr>\n";
}

}  // namespace

TEST_F(NewsRead, TwoFeedsGiveExactlyTheExpectedPage) {
    WriteList({Serve("two_a.rdf"), Serve("two_b.rdf")});
    Marks("20060922000000");
    EXPECT_TRUE(Read());
    EXPECT_EQ(Page(), ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + "two_feeds_expected.html"));
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924153500");
    EXPECT_EQ(Program().newsBaseline, "20060922000000");
    ASSERT_EQ(viewer.navigations.size(), 1u);
    EXPECT_EQ(viewer.navigations[0], exe.File("PLX_NEWS.html"));
    EXPECT_TRUE(messages.shown.empty());
    // Nothing is left beside the page.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(exe.path()), {}), 2);
}

TEST_F(NewsRead, SecondReadWithoutNewerItemsReturnsFalseAndKeepsTheView) {
    WriteList({Serve("two_a.rdf")});
    Marks("20060922000000");
    EXPECT_TRUE(Read());
    std::string first = Page();
    EXPECT_FALSE(Read());
    EXPECT_EQ(viewer.navigations.size(), 1u);
    // The new articles of the run stay listed: they are newer than the start-up mark.
    EXPECT_EQ(Page(), first);
    EXPECT_NE(Page().find(Cp("★新着記事")), std::string::npos);

    // A newer item arrives: true again, the view is navigated again, the mark rises.
    std::string feed = ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + "two_a.rdf");
    feed.replace(feed.find("2006-09-24T15:35:00"), 19, "2006-09-25T08:00:00");
    ServeText("two_a.rdf", feed);
    EXPECT_TRUE(Read());
    EXPECT_EQ(viewer.navigations.size(), 2u);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060925080000");
}

TEST_F(NewsRead, OnlyItemsAboveTheStartupMarkCanRaiseTheNewsMark) {
    WriteList({Serve("two_a.rdf")});
    // The news mark is already beyond what the feed carries: nothing newer, but the first read shows the page.
    Program().newsBaseline = "20060922000000";
    Program().settings.NEWS_LAST_RLSDTTM = "20060930000000";
    EXPECT_FALSE(Read());
    EXPECT_EQ(viewer.navigations.size(), 1u);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060930000000");
    // Items at or below the start-up mark are neither new articles nor news, even when the
    // news mark is lower.
    Program().newsBaseline = "20060924153500";
    Program().settings.NEWS_LAST_RLSDTTM = "20060901000000";
    EXPECT_FALSE(Read());
    EXPECT_EQ(Page().find(Cp("★新着記事")), std::string::npos);
}

TEST_F(NewsRead, AnUndatedItemIsListedButIsNoNews) {
    WriteList({ServeText("undated.xml", "<rss><channel><title>r</title><item><title>v</title></item></channel></rss>"),
               ServeText("undated.rdf", "<r><c><title>c</title></c><i><title>u</title></i></r>")});
    Marks("000000000000");
    EXPECT_FALSE(Read());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "000000000000");
    EXPECT_NE(Page().find(" r<br>" + Cp("・") + "v<br>"), std::string::npos);
    EXPECT_NE(Page().find(" c<br>" + Cp("・") + "u<br><br>\n"), std::string::npos);
}

TEST_F(NewsRead, FailedFeedsGetTheirBlockAndTheOthersAreUnaffected) {
    std::string missing = Server().Url("status/404");
    std::string closed = plxtest::ClosedPortUrl("feed.rdf");
    std::string error = Server().Url("status/500");
    std::string malformed = Serve("malformed.rdf");
    std::string good = Serve("two_b.rdf");
    std::string redirected = Server().Url("redirect/two_b.rdf");
    WriteList({missing, closed, good, error, malformed, redirected, "ftp://127.0.0.1/x", "not an address"});
    Marks("99999999999999");
    Read();
    std::string page = Page();
    std::string goodBlock =
        Cp("  <tr>\n    <td bgcolor=\"#CCCCCC\">◆<a href=\"https://info.example.jp/\" "
           "target=\"_blank\">競艇情報</a>\n    </td>\n  </tr>\n"
           "  <tr>\n    <td>・<a href=\"https://info.example.jp/b/1\" target=\"_blank\">住之江 優勝戦</a><br>\n"
           "・<a href=\"http://info.example.jp/b/2\" target=\"_blank\">日付なし</a><br>\n"
           "<br>\n</td>\n  </tr>\n");
    EXPECT_EQ(page, plxtest::PageHead() + FailureBlock(missing) + FailureBlock(closed) + goodBlock +
                        FailureBlock(error) + FailureBlock(malformed) + goodBlock + FailureBlock("ftp://127.0.0.1/x") +
                        FailureBlock("not an address") + plxtest::kPageTail);
    EXPECT_TRUE(messages.shown.empty());  // failed feeds show no message box
}

TEST_F(NewsRead, FeedsInUtf8ShiftJisAndEucJpGiveTheSamePage) {
    std::string pages[3];
    const char* names[3] = {"enc_utf8.rdf", "enc_sjis.rdf", "enc_eucjp.rdf"};
    for (int i = 0; i < 3; ++i) {
        WriteList({Serve(names[i], "feed.rdf")});
        Marks("20060101000000");
        Read();
        pages[i] = Page();
    }
    EXPECT_NE(pages[0].find(Cp("2006/09/24 15:36 日本語チャンネル①<br>・")), std::string::npos);
    EXPECT_NE(pages[0].find(Cp("ｶﾀｶﾅ半角と記号「※」")), std::string::npos);
    EXPECT_EQ(pages[1], pages[0]);
    EXPECT_EQ(pages[2], pages[0]);
}

TEST_F(NewsRead, HostileFeedsNeitherExpandNorReadLocalFiles) {
    WriteFile(exe.File("secret.txt"), "SECRET-CONTENT");
    std::string xxe = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY s SYSTEM \"file://" + exe.File("secret.txt") +
                      "\">]>\n<r><c><title>t&s;</title><link>http://x/</link></c></r>";
    WriteList({Serve("billion_laughs.rdf"), ServeText("xxe.rdf", xxe)});
    Marks("99999999999999");
    Read();
    std::string page = Page();
    EXPECT_EQ(page.find("SECRET"), std::string::npos);
    EXPECT_EQ(page.find("lollol"), std::string::npos);
    EXPECT_LT(page.size(), 4096u);
}

TEST_F(NewsRead, OversizedFeedIsCutOffAndFails) {
    std::string big = Server().Url("big/50");
    std::string small = Server().Url("big/1");
    WriteList({big, small});
    Marks("99999999999999");
    auto started = std::chrono::steady_clock::now();
    Read();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    std::string page = Page();
    ASSERT_EQ(page.rfind(plxtest::PageHead() + FailureBlock(big), 0), 0u);
    EXPECT_NE(page.find(Cp("◆<a href=\"http://127.0.0.1/\" target=\"_blank\">big</a>")), std::string::npos);
}

TEST_F(NewsRead, PageThatCannotBeCreatedIsReportedAndTheMarksStillMove) {
    std::filesystem::create_directory(exe.File("PLX_NEWS.html"));  // a folder where the page should be
    WriteList({Serve("two_a.rdf")});
    Marks("20060922000000");
    EXPECT_TRUE(Read());
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"ニュースファイルの書き込みに失敗しました。[1]"});
    EXPECT_EQ(viewer.navigations.size(), 1u);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924153500");
}

TEST_F(NewsRead, ShortWriteIsReportedAndTheOldPageStaysWhole) {
    WriteList({Serve("two_a.rdf")});
    Marks("20060922000000");
    Read();
    const std::string before = Page();
    // A file-size limit below the page's size makes the write stop short.
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &saved);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &small);
    bool newer = Read();
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_FALSE(newer);
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"ニュースファイルの書き込みに失敗しました。[2]"});
    EXPECT_EQ(Page(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(exe.path()), {}), 2);  // no temporary file left
}
