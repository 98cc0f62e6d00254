// The message-box back end of ShowMsg: QMessageBox captioned with the application title, modal
// for ShowMsg, and without waiting for messages posted after the main timer's tick.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <deque>
#include <string>

#include "common/message.h"

namespace plx {

// A question (the text holds "?" or "？") gets OK and Cancel with Cancel as the default and as
// the Escape answer; anything else gets a single OK. The waiting cursor is put back to the arrow
// first, so it never stays over the box.
class MessageBoxBackend final : public MessageBackend {
public:
    MessageBoxBackend();
    ~MessageBoxBackend() override;
    MessageBoxBackend(const MessageBoxBackend&) = delete;
    MessageBoxBackend& operator=(const MessageBoxBackend&) = delete;

    // A modal box; returns when the user has answered.
    int Show(const std::string& text, bool question) override;
    // Opens the box from the event loop, after the caller has returned, and never waits for it:
    // the box is application-modal but the program's timers keep running. One box at a time, in
    // the order posted; a text already open or waiting is not posted twice.
    void Post(const std::string& text, bool question) override;
    bool Pending() const override;

    // The open box of a posted message, or null.
    QMessageBox* PostedBox() const { return open_; }

private:
    struct Posted {
        std::string text;
        bool question = false;
    };
    void ScheduleNext();
    void ShowNext();

    QObject context_;
    std::deque<Posted> waiting_;
    QPointer<QMessageBox> open_;
    std::string openText_;
    bool scheduled_ = false;
};

}  // namespace plx
