// The news tab's browser under the offscreen platform: the CP932 page shown, navigations
// counted, links opened in the browser, events flowing while feeds load, and the tick's news step.
#include "news/news_view.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "common/sjis.h"
#include "news/news_step.h"
#include "news_fixture.h"
#include "tests/support/recording_browser.h"
#include "tests/support/recording_notices.h"
#include "tests/support/recording_sound.h"

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
    plxtest::RecordingBrowser browser;
    WriteList({Serve("two_b.rdf")});
    Marks("20060101000000");
    EXPECT_TRUE(ReadNewsInto(view));
    EXPECT_EQ(view.Tag(), 1);
    EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8("住之江 優勝戦")));
    QUrl source = view.source();
    emit view.anchorClicked(QUrl("https://info.example.jp/b/1?q=%E7%AB%B6"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl("https://info.example.jp/b/1?q=%E7%AB%B6"));
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

class NewsStep : public plxtest::NewsTest {
protected:
    NewsStep() : player(std::make_unique<plxtest::RecordingWaveDevice>(sounds)) {}
    void SetUp() override {
        plxtest::NewsTest::SetUp();
        WriteFile(exe.File("news.wav"), "RIFF");
        Program().settings.NEWS_ALARM_SND_FNM = exe.File("news.wav");
        WriteList({Serve("two_b.rdf")});
        Marks("20060101000000");
    }

    plxtest::SoundLog sounds;
    SoundPlayer player;
    plxtest::RecordingNotices notices;
    NewsView view;
};

TEST_F(NewsStep, NewerNewsPlaysTheSoundAndShowsTheNoticeOnce) {
    Program().settings.NEWS_ALARM_MODE = 2;
    Program().settings.NEWS_ALARM_SND_F = 1;
    RunNewsStep(view, player);
    EXPECT_EQ(sounds.played, std::vector<std::string>{exe.File("news.wav")});
    ASSERT_EQ(notices.Utf8Texts(), std::vector<std::string>{"新しいニュースが発表されました！"});
    EXPECT_EQ(notices.shown[0].category, NoticeCategory::NewsNotice);
    RunNewsStep(view, player);  // nothing newer the second time
    EXPECT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(sounds.played.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NewsStep, SoundOnlyWhenChosenAndNothingWhenNewsAlarmsAreOff) {
    Program().settings.NEWS_ALARM_MODE = 1;
    Program().settings.NEWS_ALARM_SND_F = 0;
    RunNewsStep(view, player);
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(notices.shown.size(), 1u);

    Marks("20060101000000");
    Program().settings.NEWS_ALARM_MODE = 0;
    Program().settings.NEWS_ALARM_SND_F = 1;
    RunNewsStep(view, player);
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924120000");  // the read itself still happened
}

TEST_F(NewsStep, AFirstStartWhoseFeedsAllFailSaysNothingAndKeepsTheMark) {
    Marks("000000000000");
    Program().settings.NEWS_ALARM_MODE = 2;
    WriteList({plxtest::ClosedPortUrl("feed.rdf"), Server().Url("status/404")});
    RunNewsStep(view, player);
    RunNewsStep(view, player);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "000000000000");

    // Once a feed can be read, its news is announced once.
    WriteList({Serve("two_b.rdf")});
    RunNewsStep(view, player);
    RunNewsStep(view, player);
    EXPECT_EQ(notices.Utf8Texts(), std::vector<std::string>{"新しいニュースが発表されました！"});
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20060924120000");
    EXPECT_TRUE(messages.shown.empty());
}
