// The pop-up notice window.
#include "board/notice_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "common/program_state.h"
#include "common/shell/qt_text.h"
#include "common/shell/ui_font.h"
#include "common/sjis.h"

namespace plx {

QPoint NoticePosition(int code, const QRect& screen, const QRect& workArea, QSize window, QPoint current) {
    const int left = screen.left(), top = screen.top();
    const int centreX = left + screen.width() / 2 - window.width() / 2;
    const int rightX = left + screen.width() - window.width();
    const int middleY = top + screen.height() / 2 - window.height() / 2;
    const int bottomY = workArea.top() + workArea.height() - window.height();
    switch (code) {
        case 1:
            return {left, top};
        case 2:
            return {centreX, top};
        case 3:
            return {rightX, top};
        case 4:
            return {left, middleY};
        case 5:
            return {centreX, middleY};
        case 6:
            return {rightX, middleY};
        case 7:
            return {left, bottomY};
        case 8:
            return {centreX, bottomY};
        case 9:
            return {rightX, bottomY};
        default:
            return current;
    }
}

Tf_msg::Tf_msg(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QString::fromUtf8("メッセージ"));
    // Closing the pop-up while the main window sits in the tray must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    resize(kWidth, kHeight);
    move(192, 107);

    p_msg_ = new QFrame(this);
    p_msg_->setAutoFillBackground(true);
    QPalette palette = p_msg_->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    p_msg_->setPalette(palette);

    l_msg_ = new QLabel(p_msg_);
    l_msg_->setFont(UiFont());
    l_msg_->setAlignment(Qt::AlignCenter);
    l_msg_->setWordWrap(true);
    l_msg_->setPalette(palette);

    topLine_ = new QFrame(this);
    topLine_->setAutoFillBackground(true);
    QPalette blue = topLine_->palette();
    blue.setColor(QPalette::Window, Qt::blue);
    topLine_->setPalette(blue);

    p_msg_->installEventFilter(this);
    l_msg_->installEventFilter(this);
    connect(&tm_msg_, &QTimer::timeout, this, &Tf_msg::tm_msgTimer);
    SetStore({});
}

void Tf_msg::SetStore(std::string text) {
    store_ = std::move(text);
    l_msg_->setText(QtText(store_));
    // Long notices wrap; the window grows so that both of them stay readable.
    int height = kHeight;
    if (!store_.empty()) height = std::max(kHeight, l_msg_->heightForWidth(kWidth - 4) + 4);
    setFixedSize(kWidth, height);
    p_msg_->setGeometry(0, 0, kWidth, height);
    l_msg_->setGeometry(0, 0, kWidth, height);
    topLine_->setGeometry(0, 0, kWidth, 1);
    topLine_->raise();
}

void Tf_msg::Place() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    move(NoticePosition(Program().settings.MSG_LOCATE, screen->geometry(), screen->availableGeometry(), size(), pos()));
}

void Tf_msg::Show(const std::string& text, NoticeCategory category) {
    // The same race and kind (the same text) is never lined up twice.
    if (IsShownOrWaiting(text)) return;
    // Two lines are full: the notice waits rather than pushing an unread one out.
    if (store_.find('\n') != std::string::npos || !waiting_.empty()) {
        waiting_.push_back({text, category});
        return;
    }
    Present({text, category});
}

bool Tf_msg::IsShownOrWaiting(const std::string& text) const {
    const std::size_t feed = store_.find('\n');
    if (store_.substr(0, feed) == text) return true;
    if (feed != std::string::npos && store_.substr(feed + 1) == text) return true;
    for (const Notice& notice : waiting_)
        if (notice.text == text) return true;
    return false;
}

void Tf_msg::Present(const Notice& notice) {
    if (store_.empty()) {
        SetStore(notice.text);
    } else {
        std::string older = store_.substr(0, store_.find('\n'));
        SetStore(notice.text + "\n" + older);
    }
    // Placed after the merge, since a wrapped notice may have made the window taller.
    Place();
    const Settings& s = Program().settings;
    int mode = notice.category == NoticeCategory::RaceNotice ? s.ALARM_MODE : s.NEWS_ALARM_MODE;
    if (mode == 2) {
        tm_msg_.stop();
        tm_msg_.setInterval(static_cast<int>(std::min<std::size_t>(notice.text.size(), 10000000)) * 200);
        tm_msg_.start();
    }
    show();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void Tf_msg::ShowWaiting() {
    if (isVisible() || !store_.empty()) return;
    for (int shown = 0; shown < 2 && !waiting_.empty(); ++shown) {
        Notice next = std::move(waiting_.front());
        waiting_.pop_front();
        Present(next);
    }
}

void Tf_msg::tm_msgTimer() {
    tm_msg_.stop();
    close();
}

void Tf_msg::p_msgClick() {
    tm_msg_.stop();
    close();
}

void Tf_msg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        p_msgClick();
    else
        QWidget::keyPressEvent(event);
}

void Tf_msg::closeEvent(QCloseEvent* event) {
    tm_msg_.stop();
    SetStore({});
    QWidget::closeEvent(event);
    // The waiting notices follow once the window is really hidden, whichever way it was closed.
    if (!waiting_.empty()) QMetaObject::invokeMethod(this, &Tf_msg::ShowWaiting, Qt::QueuedConnection);
}

bool Tf_msg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        p_msgClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace plx
