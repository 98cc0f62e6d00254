// OpenBrowser: which address a target becomes, and the message when the desktop refuses.
#include "common/shell/browser.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_browser.h"
#include "tests/support/recording_messages.h"

using namespace plx;

TEST(Browser, TargetsBecomeAddresses) {
    EXPECT_EQ(UrlForTarget("http://race.example/race/?jcd=01&rno=05").toString(),
              "http://race.example/race/?jcd=01&rno=05");
    EXPECT_EQ(UrlForTarget("https://www.example/products/plx/").scheme(), "https");
    EXPECT_EQ(UrlForTarget("/opt/plx/PLX_NEWS.html"), QUrl::fromLocalFile("/opt/plx/PLX_NEWS.html"));
    // Not a scheme: a relative file path that happens to hold a colon later on.
    EXPECT_TRUE(UrlForTarget("news/a:b.html").isLocalFile());
    EXPECT_TRUE(UrlForTarget("").isEmpty());
}

TEST(Browser, RefusalIsReportedOnceAndSuccessIsSilent) {
    plxtest::TestApp();
    plxtest::RecordingMessages messages;
    plxtest::RecordingBrowser browser;

    OpenBrowser("http://www.example/");
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());

    browser.accept = false;
    OpenBrowser("http://www.example/products/marlo/");
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"ブラウザを表示できません。"});

    // Nothing to open is a failure too, and the desktop is not bothered with it.
    browser.accept = true;
    OpenBrowser("");
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(browser.opened.size(), 2u);
}
