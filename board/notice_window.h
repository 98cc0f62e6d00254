// Tf_msg: the small borderless pop-up that stays on top and shows two notices at a time; further
// notices wait in order and follow when the window closes. The program installs its one instance
// as the ShowNotice back end.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <string>

#include "common/notice.h"

namespace plx {

// Top-left corner for position code 1..9 (`MSG_LOCATE`) on a screen and its work area;
// any other code keeps `current`. Halvings drop the remainder, each value on its own.
QPoint NoticePosition(int code, const QRect& screen, const QRect& workArea, QSize window, QPoint current);

class Tf_msg : public QWidget, public NoticeBackend {
    Q_OBJECT
public:
    static constexpr int kWidth = 232;
    static constexpr int kHeight = 33;

    explicit Tf_msg(QWidget* parent = nullptr);

    // ShowNotice's back end.
    void Show(const std::string& text, NoticeCategory category) override;

    // The notice store as CP932: newest notice, then a line feed and the one before.
    const std::string& NoticeText() const { return store_; }
    // Notices waiting for the window to close, oldest first.
    std::size_t WaitingCount() const { return waiting_.size(); }
    QTimer& tm_msg() { return tm_msg_; }
    QLabel& l_msg() { return *l_msg_; }

public slots:
    void tm_msgTimer();
    void p_msgClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Notice {
        std::string text;
        NoticeCategory category;
    };
    void Present(const Notice& notice);
    void ShowWaiting();
    bool IsShownOrWaiting(const std::string& text) const;
    void Place();
    void SetStore(std::string text);

    std::string store_;
    std::deque<Notice> waiting_;
    QFrame* p_msg_;
    QLabel* l_msg_;
    QFrame* topLine_;
    QTimer tm_msg_;
};

}  // namespace plx
