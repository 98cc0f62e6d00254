// The news tab's browser under the offscreen platform: the CP932 page shown, navigations
// counted, links handed to the opener, events flowing while feeds load.
#include "news/news_view.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "common/sjis.h"
#include "news_fixture.h"

using namespace plx;

using NewsViewTest = plxtest::NewsTest;
using plxtest::WriteFile;

TEST_F(NewsViewTest, ShowsTheCp932PageAndCountsNavigations) {
    NewsView view;
    EXPECT_EQ(view.Tag(), 0);
    EXPECT_EQ(view.objectName(), "cwb_news");
    WriteFile(exe.File("PLX_NEWS.html"), plxtest::PageHead() + Utf8ToCp932("一つ目") + plxtest::kPageTail);
    view.Navigate(exe.File("PLX_NEWS.html"));
    EXPECT_EQ(view.Tag(), 1);
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("【News】")));
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("一つ目")));
    // The same file rewritten is shown afresh by the next navigation.
    WriteFile(exe.File("PLX_NEWS.html"), plxtest::PageHead() + Utf8ToCp932("二つ目") + plxtest::kPageTail);
    view.Navigate(exe.File("PLX_NEWS.html"));
    EXPECT_EQ(view.Tag(), 2);
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("二つ目")));
    EXPECT_FALSE(view.toPlainText().contains(QString::fromUtf8("一つ目")));
}

TEST_F(NewsViewTest, LinksGoToTheOpenerAndTheTabKeepsThePage) {
    NewsView view;
    std::vector<QUrl> opened;
    view.SetLinkOpener([&](const QUrl& url) { opened.push_back(url); });
    WriteList({Serve("two_b.rdf")});
    Marks("20060101000000");
    EXPECT_TRUE(ReadNewsInto(view));
    EXPECT_EQ(view.Tag(), 1);
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("住之江 優勝戦")));
    QUrl source = view.source();
    emit view.anchorClicked(QUrl("https://info.example.jp/b/1"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), "https://info.example.jp/b/1");
    EXPECT_EQ(view.source(), source);
    EXPECT_FALSE(ReadNewsInto(view));  // nothing newer: the view is not navigated again
    EXPECT_EQ(view.Tag(), 1);
}

TEST_F(NewsViewTest, WindowTimersFireWhileAFeedHangs) {
    NewsView view;
    WriteList({Server().Url("hang")});
    Marks("99999999999999");
    int fired = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start(100);
    FetchLimits limits;
    limits.totalTimeoutMs = 1200;
    ReadNewsInto(view, limits);
    EXPECT_GE(fired, 5);
    EXPECT_EQ(view.Tag(), 1);
}
