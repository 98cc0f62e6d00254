// The news tab's browser under the offscreen platform: the CP932 page shown, navigations
// counted, links opened in the browser, and the tick's news step, whose read runs in the
// background while the window's events flow.
#include "news/news_view.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "common/sjis.h"
#include "news/news_step.h"
#include "news_fixture.h"
#include "tests/support/event_loop.h"
#include "tests/support/recording_browser.h"
#include "tests/support/recording_notices.h"
#include "tests/support/recording_sound.h"

using namespace plx;
using plxtest::RunEventsUntil;

using NewsViewTest = plxtest::NewsTest;
using plxtest::WriteFile;

namespace {}  // namespace

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
    plxtest::RecordingBrowser browser;
    WriteList({Serve("two_b.rdf")});
    Marks("20060101000000");
    EXPECT_TRUE(ReadNews(view));
    EXPECT_EQ(view.Tag(), 1);
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("住之江 優勝戦")));
    QUrl source = view.source();
    emit view.anchorClicked(QUrl("https://info.example.jp/b/1?q=%E7%AB%B6"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl("https://info.example.jp/b/1?q=%E7%AB%B6"));
    EXPECT_EQ(view.source(), source);
    EXPECT_FALSE(ReadNews(view));  // nothing newer: the view is not navigated again
    EXPECT_EQ(view.Tag(), 1);
}

class NewsStepTest : public plxtest::NewsTest {
protected:
    NewsStepTest() : player(std::make_unique<plxtest::RecordingWaveDevice>(sounds)), step(view, player) {
        step.finished = [this](bool newer) { results.push_back(newer); };
    }
    void SetUp() override {
        plxtest::NewsTest::SetUp();
        WriteFile(exe.File("news.wav"), "RIFF");
        Program().settings.NEWS_ALARM_SND_FNM = exe.File("news.wav");
        WriteList({Serve("two_b.rdf")});
        Marks("20060101000000");
    }
    // Starts a read and waits for it to be published; false when it did not start.
    bool StartAndWait() {
        std::size_t before = results.size();
        if (!step.Start()) return false;
        return RunEventsUntil([&] { return results.size() > before; }, 20000);
    }

    plxtest::SoundLog sounds;
    SoundPlayer player;
    plxtest::RecordingNotices notices;
    NewsView view;
    NewsStep step;
    std::vector<bool> results;
};

TEST_F(NewsStepTest, NewerNewsPlaysTheSoundAndShowsTheNoticeOnce) {
    Program().settings.NEWS_ALARM_MODE = 2;
    Program().settings.NEWS_ALARM_SND_F = 1;
    ASSERT_TRUE(StartAndWait());
    EXPECT_EQ(results, std::vector<bool>{true});
    EXPECT_EQ(sounds.played, std::vector<std::string>{exe.File("news.wav")});
    ASSERT_EQ(notices.Utf8Texts(), std::vector<std::string>{"新しいニュースが発表されました！"});
    EXPECT_EQ(notices.shown[0].category, NoticeCategory::NewsNotice);
    EXPECT_EQ(view.Tag(), 1);
    ASSERT_TRUE(StartAndWait());  // nothing newer the second time
    EXPECT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(sounds.played.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NewsStepTest, TheStepRemembersTheFeedsFromOneReadToTheNext) {
    ASSERT_TRUE(StartAndWait());
    const std::string first = Page();
    ASSERT_TRUE(StartAndWait());
    EXPECT_EQ(Page(), first);
    std::vector<plxtest::LoggedRequest> requests = Server().Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].ifNoneMatch.empty());
    EXPECT_EQ(requests[1].status, "304");
}

TEST_F(NewsStepTest, SoundOnlyWhenChosenAndNothingWhenNewsAlarmsAreOff) {
    Program().settings.NEWS_ALARM_MODE = 1;
    Program().settings.NEWS_ALARM_SND_F = 0;
    ASSERT_TRUE(StartAndWait());
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(notices.shown.size(), 1u);

    Marks("20060101000000");
    Program().settings.NEWS_ALARM_MODE = 0;
    Program().settings.NEWS_ALARM_SND_F = 1;
    ASSERT_TRUE(StartAndWait());
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924120000");  // the read itself still happened
}

TEST_F(NewsStepTest, AFirstStartWhoseFeedsAllFailSaysNothingAndKeepsTheMark) {
    Marks("000000000000");
    Program().settings.NEWS_ALARM_MODE = 2;
    WriteList({plxtest::ClosedPortUrl("feed.rdf"), Server().Url("status/404")});
    ASSERT_TRUE(StartAndWait());
    ASSERT_TRUE(StartAndWait());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "000000000000");

    // Once a feed can be read, its news is announced once.
    WriteList({Serve("two_b.rdf")});
    ASSERT_TRUE(StartAndWait());
    ASSERT_TRUE(StartAndWait());
    EXPECT_EQ(notices.Utf8Texts(), std::vector<std::string>{"新しいニュースが発表されました！"});
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924120000");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NewsStepTest, StartReturnsAtOnceAndADueReadIsSkippedWhileOneIsInFlight) {
    WriteList({Server().Url("hang"), Serve("two_b.rdf")});
    step.limits.totalTimeoutMs = 1500;
    int fired = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start(100);
    QElapsedTimer started;
    started.start();
    ASSERT_TRUE(step.Start());
    EXPECT_LT(started.elapsed(), 200) << "the tick only starts the read";
    EXPECT_TRUE(step.Busy());
    EXPECT_FALSE(step.Start()) << "a read due while one runs is skipped";
    EXPECT_FALSE(plxtest::FileExists(exe.File("PLX_NEWS.html")));
    ASSERT_TRUE(RunEventsUntil([&] { return !results.empty(); }, 10000));
    EXPECT_GE(started.elapsed(), 1400);
    EXPECT_GE(fired, 10) << "the window's timers ran while the feed hung";
    EXPECT_EQ(results.size(), 1u);
    EXPECT_FALSE(step.Busy());
    EXPECT_EQ(view.Tag(), 1);
    EXPECT_NE(Page().find(Utf8ToCp932("RSSの読み込みに失敗しました。[") + Server().Url("hang") + "]"),
              std::string::npos);
    EXPECT_NE(Page().find(Utf8ToCp932("住之江 優勝戦")), std::string::npos);
    // The step is free again.
    ASSERT_TRUE(step.Start());
    step.Abort();
}

TEST_F(NewsStepTest, AbortEndsAReadInFlightAtOnceAndPublishesNothing) {
    WriteList({Server().Url("hang")});
    WriteFile(exe.File("PLX_NEWS.html"), "the old page");
    ASSERT_TRUE(step.Start());
    RunEventsUntil([] { return false; }, 300);
    QElapsedTimer aborting;
    aborting.start();
    step.Abort();
    EXPECT_LT(aborting.elapsed(), 200);
    EXPECT_FALSE(step.Busy());
    RunEventsUntil([] { return false; }, 200);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(view.Tag(), 0);
    EXPECT_EQ(plxtest::ReadFile(exe.File("PLX_NEWS.html")), "the old page");
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060101000000");
}
