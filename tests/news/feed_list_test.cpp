// The feed list file: line splitting, the default list and files that cannot be read or made.
#include "news/feed_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/files.h"
#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::WriteFile;

TEST(FeedList, WriteAndReadBack) {
    plxtest::TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileLines(dir.File("list"), {"http://a/", "", Utf8ToCp932("http://例/")}, &error)) << error;
    EXPECT_EQ(ReadFile(dir.File("list")), "http://a/\r\n\r\n" + Utf8ToCp932("http://例/") + "\r\n");
    std::vector<std::string> lines;
    ASSERT_EQ(ReadFileLines(dir.File("list"), &lines), FileRead::Ok);
    EXPECT_EQ(lines, (std::vector<std::string>{"http://a/", "", Utf8ToCp932("http://例/")}));
    EXPECT_EQ(ReadFileLines(dir.File("missing"), &lines), FileRead::Missing);
}

using FeedListRead = plxtest::NewsTest;

TEST_F(FeedListRead, MissingListIsCreatedWithTheDefaultAddressWhichIsRead) {
    std::filesystem::create_directory(served.File("news"));
    Serve("two_b.rdf", "news/gtn200.rdf");
    Sites().news = "127.0.0.1:" + std::to_string(Server().port());
    Marks("99999999999999");
    EXPECT_FALSE(Read());
    EXPECT_EQ(ReadFile(exe.File("PLX_RSS.DAT")),
              "http://127.0.0.1:" + std::to_string(Server().port()) + "/news/gtn200.rdf\r\n");
    EXPECT_NE(Page().find(Utf8ToCp932("競艇情報")), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(DefaultFeedAddress(), "http://" + Sites().news + "/news/gtn200.rdf");
}

TEST_F(FeedListRead, EmptyListGivesHeadAndTailAndNoNews) {
    WriteFile(exe.File("PLX_RSS.DAT"), "");
    Marks("000000000000");
    // Nothing was read, so nothing is news: the twelve zeros of a fresh settings file stay.
    EXPECT_FALSE(Read());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "000000000000");
    EXPECT_EQ(Page(), plxtest::PageHead() + plxtest::kPageTail);
    EXPECT_FALSE(Read());
    EXPECT_EQ(viewer.navigations.size(), 1u);  // the first read only
    EXPECT_EQ(ReadFile(exe.File("PLX_RSS.DAT")), "");
}

TEST_F(FeedListRead, EveryLineIsAnAddressEmptyOnesIncluded) {
    WriteList({"", Serve("rss20.xml")});
    Marks("99999999999999");
    Read();
    EXPECT_NE(Page().find(Utf8ToCp932("RSSの読み込みに失敗しました。[]")), std::string::npos);
    EXPECT_NE(Page().find(Utf8ToCp932("RSS 2.0 のチャンネル")), std::string::npos);
}

TEST_F(FeedListRead, ListThatCannotBeReadIsReportedAndKept) {
    std::filesystem::create_directory(exe.File("PLX_RSS.DAT"));
    Marks("99999999999999");
    Read();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Utf8Texts()[0], "RSSリストファイルの読み込みに失敗しました。[" + exe.File("PLX_RSS.DAT") + "]");
    EXPECT_TRUE(std::filesystem::is_directory(exe.File("PLX_RSS.DAT")));
    EXPECT_EQ(Page(), plxtest::PageHead() + plxtest::kPageTail);
}

TEST_F(FeedListRead, ListThatCannotBeCreatedIsReportedAndTheReadGoesOn) {
    Program().exeFolder = exe.File("no-such-folder/");
    Sites().news = "127.0.0.1:" + std::to_string(Server().port());
    Marks("000000000000");
    EXPECT_FALSE(Read());  // the default feed is not served here: nothing was read, so no news
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.Utf8Texts()[0].rfind("RSSリストファイルの書き込みに失敗しました。[", 0), 0u);
    EXPECT_EQ(messages.Utf8Texts()[1], "ニュースファイルの書き込みに失敗しました。[1]");
    EXPECT_EQ(viewer.navigations.size(), 1u);
}

TEST_F(FeedListRead, OnlyTheFirstHundredAddressesAreReadAndALongerListIsToldOnce) {
    std::vector<std::string> lines;
    // Addresses that fail at once (a protocol the reader refuses), so only the list is measured.
    for (int i = 1; i <= 100000; ++i) lines.push_back("ftp://127.0.0.1/feed" + std::to_string(i));
    WriteList(lines);
    Marks("99999999999999");
    auto started = std::chrono::steady_clock::now();
    Read();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    std::string page = Page();
    EXPECT_NE(page.find("/feed1]"), std::string::npos);
    EXPECT_NE(page.find("/feed100]"), std::string::npos);
    EXPECT_EQ(page.find("/feed101]"), std::string::npos);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Utf8Texts()[0], "RSSリストファイルのアドレスは100件までです。それより後の行は読み込みません。[" +
                                           exe.File("PLX_RSS.DAT") + "]");

    // Exactly a hundred: no message.
    lines.resize(100);
    WriteList(lines);
    Read();
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(FeedListRead, AHugeListIsReadOnlyAsFarAsItsFirstHundredLines) {
    // Two lines, the second of them longer than anything the reader takes in.
    WriteFile(exe.File("PLX_RSS.DAT"), "ftp://first\r\n" + std::string(3 << 20, 'x') + "\r\nftp://third\r\n");
    Marks("99999999999999");
    Read();
    std::string page = Page();
    EXPECT_NE(page.find("[ftp://first]"), std::string::npos);
    EXPECT_EQ(page.find("xxxx"), std::string::npos);
    EXPECT_EQ(page.find("[ftp://third]"), std::string::npos);
    EXPECT_EQ(messages.shown.size(), 1u);
}
