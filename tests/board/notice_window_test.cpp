// The pop-up notice window: merging, modes and their timer, placement, closing.
#include "board/notice_window.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "common/program_state.h"
#include "common/sjis.h"
#include "tests/support/qt_app.h"

using namespace plx;

namespace {

class NoticeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        plxtest::TestApp();
        ResetProgram();
        window = std::make_unique<Tf_msg>();
    }
    void TearDown() override {
        SetNoticeBackend(nullptr);
        window.reset();
        ResetProgram();
    }
    Settings& settings() { return Program().settings; }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &press);
    }
    std::unique_ptr<Tf_msg> window;
};

}  // namespace

TEST_F(NoticeWindowTest, NoticesBeyondTwoWaitAndFollowInOrderTwoAtATime) {
    SetNoticeBackend(window.get());
    ShowNotice("A", NoticeCategory::RaceNotice);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->NoticeText(), "A");
    ShowNotice("B", NoticeCategory::RaceNotice);
    ShowNotice("C", NoticeCategory::NewsNotice);
    ShowNotice("D", NoticeCategory::RaceNotice);
    ShowNotice("E", NoticeCategory::RaceNotice);
    EXPECT_EQ(window->NoticeText(), "B\nA");
    EXPECT_EQ(window->l_msg().text(), QStringLiteral("B\nA"));
    EXPECT_EQ(window->WaitingCount(), 3u);

    window->p_msgClick();  // a click
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->NoticeText(), "D\nC");
    Key(Qt::Key_Return);  // Enter
    QCoreApplication::processEvents();
    EXPECT_EQ(window->NoticeText(), "E");
    window->tm_msgTimer();  // its own timer
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->NoticeText(), "");
    EXPECT_EQ(window->WaitingCount(), 0u);
}

TEST_F(NoticeWindowTest, TheSameNoticeIsNotLinedUpTwice) {
    settings().ALARM_MODE = 2;
    auto notice = [](char name) { return std::string(24, '*') + name; };  // 25 bytes: a 5 s timer
    for (char name : std::string("AABABCCAD")) window->Show(notice(name), NoticeCategory::RaceNotice);
    EXPECT_EQ(window->NoticeText(), notice('B') + "\n" + notice('A'));
    EXPECT_EQ(window->WaitingCount(), 2u);  // C and D
    window->tm_msgTimer();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->NoticeText(), notice('D') + "\n" + notice('C'));
    // The waiting ones are timed as they come up.
    EXPECT_TRUE(window->tm_msg().isActive());
    EXPECT_EQ(window->tm_msg().interval(), 5000);
    window->tm_msgTimer();
    QCoreApplication::processEvents();
    window->Show(notice('A'), NoticeCategory::RaceNotice);  // once seen and closed, it may come again
    EXPECT_EQ(window->NoticeText(), notice('A'));
}

TEST_F(NoticeWindowTest, SelfClosingNoticeKeepsItsTimerThroughAStayingOne) {
    settings().ALARM_MODE = 1;
    settings().NEWS_ALARM_MODE = 2;
    window->Show(SJ("新しいニュースが発表されました！"), NoticeCategory::NewsNotice);
    EXPECT_TRUE(window->tm_msg().isActive());
    EXPECT_EQ(window->tm_msg().interval(), 6400);
    window->Show("race", NoticeCategory::RaceNotice);
    EXPECT_TRUE(window->tm_msg().isActive());
    EXPECT_EQ(window->tm_msg().interval(), 6400);
    EXPECT_EQ(window->NoticeText(), "race\n" + SJ("新しいニュースが発表されました！"));
    window->tm_msgTimer();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->tm_msg().isActive());
    EXPECT_EQ(window->NoticeText(), "");
}

TEST_F(NoticeWindowTest, StayingNoticeThenSelfClosingOneTimesTheNewest) {
    settings().ALARM_MODE = 1;
    settings().NEWS_ALARM_MODE = 2;
    window->Show("stay", NoticeCategory::RaceNotice);
    EXPECT_FALSE(window->tm_msg().isActive());
    window->Show(SJ("チェック選手の出走予定があります！"), NoticeCategory::NewsNotice);
    EXPECT_TRUE(window->tm_msg().isActive());
    EXPECT_EQ(window->tm_msg().interval(), 6800);
    // Another mode leaves the timer alone, as a staying notice does.
    window->p_msgClick();
    window->Show(SJ("チェック選手の出走予定があります！"), NoticeCategory::NewsNotice);
    settings().ALARM_MODE = 0;
    window->Show("other", NoticeCategory::RaceNotice);
    EXPECT_EQ(window->NoticeText(), "other\n" + SJ("チェック選手の出走予定があります！"));
    EXPECT_EQ(window->tm_msg().interval(), 6800);
}

TEST(NoticePosition, NinePlacesOnAScreenWithATaskBar) {
    const QRect screen(0, 0, 1024, 768), work(0, 0, 1024, 738);
    const QSize w(232, 33);
    const QPoint last(192, 107);
    EXPECT_EQ(NoticePosition(1, screen, work, w, last), QPoint(0, 0));
    EXPECT_EQ(NoticePosition(2, screen, work, w, last), QPoint(512 - 116, 0));
    EXPECT_EQ(NoticePosition(3, screen, work, w, last), QPoint(1024 - 232, 0));
    EXPECT_EQ(NoticePosition(4, screen, work, w, last), QPoint(0, 384 - 16));
    EXPECT_EQ(NoticePosition(5, screen, work, w, last), QPoint(396, 368));
    EXPECT_EQ(NoticePosition(6, screen, work, w, last), QPoint(792, 368));
    EXPECT_EQ(NoticePosition(7, screen, work, w, last), QPoint(0, 738 - 33));
    EXPECT_EQ(NoticePosition(8, screen, work, w, last), QPoint(396, 705));
    EXPECT_EQ(NoticePosition(9, screen, work, w, last), QPoint(1024 - 232, 738 - 33));
    EXPECT_EQ(NoticePosition(0, screen, work, w, last), last);
    EXPECT_EQ(NoticePosition(10, screen, work, w, last), last);
    // Odd sizes: each half drops its remainder on its own.
    EXPECT_EQ(NoticePosition(5, QRect(0, 0, 1025, 769), QRect(0, 0, 1025, 769), QSize(233, 35), last),
              QPoint(512 - 116, 384 - 17));
}

TEST_F(NoticeWindowTest, PlacedOnThePrimaryScreenOrLeftWhereItWas) {
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    settings().MSG_LOCATE = 3;
    window->Show("x", NoticeCategory::RaceNotice);
    EXPECT_EQ(window->pos(), QPoint(screen.left() + screen.width() - Tf_msg::kWidth, screen.top()));
    window->move(40, 50);
    settings().MSG_LOCATE = 0;
    window->Show("y", NoticeCategory::RaceNotice);
    EXPECT_EQ(window->pos(), QPoint(40, 50));
}

TEST_F(NoticeWindowTest, EnterOrAClickClosesAndOtherKeysDoNot) {
    window->Show("x", NoticeCategory::RaceNotice);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), window.get());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    Key(Qt::Key_A);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Space);
    EXPECT_TRUE(window->isVisible());
    Key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    window->Show("x", NoticeCategory::RaceNotice);
    Key(Qt::Key_Enter);
    EXPECT_FALSE(window->isVisible());
    window->Show("x", NoticeCategory::RaceNotice);
    QPointF inside(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, inside, window->l_msg().mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, window->l_msg().mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window->l_msg(), &press);
    QApplication::sendEvent(&window->l_msg(), &release);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(NoticeWindowTest, ClosingThePopUpAloneDoesNotEndTheProgram) {
    // With the main window in the tray the pop-up is the only window; closing it must not
    // count as closing the last window of a running event loop.
    window->Show("x", NoticeCategory::RaceNotice);
    QTimer::singleShot(0, window.get(), [this] { window->p_msgClick(); });
    QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 7);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(NoticeWindowTest, LongNoticesStayReadableOnTwoLines) {
    std::string longText = SJ("桐生 05 Ｒの電投締切 5 分前です！桐生 05 Ｒの電投締切 5 分前です！");
    window->Show(longText, NoticeCategory::RaceNotice);
    window->Show(longText + "!", NoticeCategory::RaceNotice);
    EXPECT_EQ(window->width(), Tf_msg::kWidth);
    EXPECT_GE(window->height(), window->l_msg().heightForWidth(Tf_msg::kWidth - 4));
}
