// The message-box back end of ShowMsg: buttons, default, Escape, caption and the cursor.
#include "common/shell/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "common/shell/cursor.h"
#include "common/sjis.h"
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
