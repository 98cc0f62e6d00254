// The message-box back end of ShowMsg: buttons, default, Escape, caption and the cursor.
#include "common/shell/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "common/shell/cursor.h"
#include "common/sjis.h"
#include "tests/support/event_loop.h"
#include "tests/support/qt_app.h"

using namespace plx;

namespace {

struct SeenBox {
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool defaultIsCancel = false;
    bool overrideCursor = true;
};

// Shows `text` through the back end and, once the box is up, records it and presses `key`.
int ShowAndPress(const std::string& text, int key, SeenBox* seen) {
    plxtest::TestApp();
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen->caption = box->windowTitle();
        seen->icon = box->icon();
        seen->buttons = static_cast<int>(box->buttons().size());
        seen->defaultIsCancel = box->defaultButton() && box->defaultButton() == box->button(QMessageBox::Cancel);
        seen->overrideCursor = QApplication::overrideCursor() != nullptr;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
    MessageBoxBackend backend;
    SetMessageBackend(&backend);
    int answer = ShowMsg(text);
    SetMessageBackend(nullptr);
    return answer;
}

}  // namespace

TEST(MessageBox, QuestionHasOkAndCancelWithCancelAsDefault) {
    SeenBox seen;
    int answer = ShowAndPress(SJ("MARLOはインストールされていますか？"), Qt::Key_Escape, &seen);
    EXPECT_EQ(answer, kMsgCancel);
    EXPECT_EQ(seen.caption, "Pilonix");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, 2);
    EXPECT_TRUE(seen.defaultIsCancel);

    // Enter takes the default, which is Cancel, so a hasty Enter never answers yes.
    EXPECT_EQ(ShowAndPress("Continue?", Qt::Key_Return, &seen), kMsgCancel);
}

TEST(MessageBox, PlainTextHasOnlyOk) {
    SeenBox seen;
    EXPECT_EQ(ShowAndPress(SJ("ブラウザを表示できません。"), Qt::Key_Return, &seen), kMsgOk);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(ShowAndPress(SJ("ブラウザを表示できません。"), Qt::Key_Escape, &seen), kMsgOk);
}

TEST(MessageBox, PutsTheArrowBackBeforeShowing) {
    SeenBox seen;
    plxtest::TestApp();
    SetHourglassCursor();
    SetHourglassCursor();  // twice: the cursor is a setting, not a stack
    ShowAndPress("done", Qt::Key_Return, &seen);
    EXPECT_FALSE(seen.overrideCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

namespace {

// Runs the event loop for `ms` milliseconds.
void RunEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

TEST(MessageBox, APostedMessageOpensAfterTheCallerAndNeverWaits) {
    plxtest::TestApp();
    MessageBoxBackend backend;
    QElapsedTimer timer;
    timer.start();
    backend.Post(SJ("メール送信に失敗しました。[x]"), false);
    EXPECT_LT(timer.elapsed(), 100);
    EXPECT_EQ(backend.PostedBox(), nullptr) << "the box opens from the event loop, after the caller";
    EXPECT_TRUE(backend.Pending());
    ASSERT_TRUE(plxtest::RunEventsUntil([&] { return backend.PostedBox() != nullptr; }, 5000));
    QMessageBox* box = backend.PostedBox();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box->windowTitle(), "Pilonix");
    EXPECT_EQ(box->text(), QString::fromUtf8("メール送信に失敗しました。[x]"));
    // Timers go on running with the box open. Counted by firings, not by the clock, so that a
    // busy machine (the first box of a process takes a while to draw) cannot fail it.
    int fired = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { ++fired; });
    ticks.start(50);
    EXPECT_TRUE(plxtest::RunEventsUntil([&] { return fired >= 8; }, 10000)) << "timers run while the box stays open";
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(backend.PostedBox(), box);
}

TEST(MessageBox, PostedMessagesOneAtATimeInOrderAndEachCauseOnce) {
    plxtest::TestApp();
    MessageBoxBackend backend;
    backend.Post("TimeTable File Write Error!", false);
    RunEventsFor(50);
    backend.Post("TimeTable File Write Error!", false);  // still open: the same cause is not stacked
    backend.Post("second", false);
    backend.Post("second", false);
    RunEventsFor(50);
    ASSERT_NE(backend.PostedBox(), nullptr);
    EXPECT_EQ(backend.PostedBox()->text(), "TimeTable File Write Error!");
    backend.PostedBox()->button(QMessageBox::Ok)->click();
    RunEventsFor(50);
    ASSERT_NE(backend.PostedBox(), nullptr);
    EXPECT_EQ(backend.PostedBox()->text(), "second");
    backend.PostedBox()->button(QMessageBox::Ok)->click();
    RunEventsFor(50);
    EXPECT_EQ(backend.PostedBox(), nullptr);
    EXPECT_FALSE(backend.Pending());
    // Once closed, the same cause opens a box again.
    backend.Post("TimeTable File Write Error!", false);
    RunEventsFor(50);
    EXPECT_NE(backend.PostedBox(), nullptr);
}

TEST(MessageBox, APostedQuestionHasOkAndCancel) {
    plxtest::TestApp();
    MessageBoxBackend backend;
    backend.Post("http://x/?a", true);
    RunEventsFor(50);
    ASSERT_NE(backend.PostedBox(), nullptr);
    EXPECT_EQ(backend.PostedBox()->buttons().size(), 2);
    EXPECT_EQ(backend.PostedBox()->defaultButton(), backend.PostedBox()->button(QMessageBox::Cancel));
}
