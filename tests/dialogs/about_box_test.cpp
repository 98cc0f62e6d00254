// The about box: its texts on every showing and the two links.
#include "dialogs/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QRegularExpression>
#include <QtTest/QTest>

#include "common/clock.h"
#include "common/sites.h"
#include "common/textutil.h"
#include "tests/dialogs/dialog_fixture.h"
#include "tests/support/recording_browser.h"

using namespace plx;

namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        plxtest::TestApp();
        SetClock(&clock);
        Sites() = SiteHosts{};
    }
    void TearDown() override {
        SetClock(nullptr);
        Sites() = SiteHosts{};
    }
    ManualClock clock{{2031, 4, 1, 9, 0, 0}};
    plxtest::RecordingMessages messages;
    plxtest::RecordingBrowser browser;
};

}  // namespace

TEST_F(AboutBox, TitleVersionAndANoticeEndingInTheCurrentYear) {
    Tf_verinfo box;
    box.show();
    EXPECT_EQ(box.windowTitle().toStdString(), "バージョン情報");
    EXPECT_EQ(box.st_title->text(), "Pilonix 2006");
    EXPECT_EQ(box.st_ver->text().toStdString(), "Version " + ExeDate() + " ");
    EXPECT_TRUE(QRegularExpression("^Version \\d{4}\\.\\d{2}\\.\\d{2} $").match(box.st_ver->text()).hasMatch());
    EXPECT_TRUE(box.st_copyright->text().endsWith("2006-2031 orvent")) << box.st_copyright->text().toStdString();
    std::vector<std::string> fixed;
    for (QLabel* label : box.findChildren<QLabel*>()) fixed.push_back(label->text().toStdString());
    EXPECT_NE(std::find(fixed.begin(), fixed.end(), "PLX"), fixed.end());
    EXPECT_NE(std::find(fixed.begin(), fixed.end(), "orvent WebSite"), fixed.end());

    // The year is read again at every showing.
    box.hide();
    clock.Set({2032, 1, 1, 0, 0, 0});
    box.show();
    EXPECT_TRUE(box.st_copyright->text().endsWith("2006-2032 orvent"));
}

TEST_F(AboutBox, LinksOpenTheAddressesTheyShow) {
    Sites().maker = "maker.test";
    Tf_verinfo box;
    box.show();
    EXPECT_EQ(box.st_url_orvent->text(), "http://maker.test/");
    EXPECT_EQ(box.st_url_products->text(), "http://maker.test/products/plx/");
    QTest::mouseClick(box.st_url_products, Qt::LeftButton);
    QTest::mouseClick(box.st_url_orvent, Qt::LeftButton);
    QTest::mouseClick(box.st_url_orvent, Qt::RightButton);
    ASSERT_EQ(browser.opened.size(), 2u);
    EXPECT_EQ(browser.opened[0].toString(), "http://maker.test/products/plx/");
    EXPECT_EQ(browser.opened[1].toString(), "http://maker.test/");
    EXPECT_TRUE(messages.shown.empty());

    browser.accept = false;
    QTest::mouseClick(box.st_url_orvent, Qt::LeftButton);
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"ブラウザを表示できません。"});
}
