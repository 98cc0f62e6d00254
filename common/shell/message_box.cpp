// QMessageBox back end of ShowMsg.
#include "common/shell/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "common/shell/app_title.h"
#include "common/shell/cursor.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {
namespace {

// The box's buttons; returns its OK button.
QPushButton* SetButtons(QMessageBox& box, bool question) {
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if (question) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
    } else {
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    return ok;
}

QMessageBox::Icon IconFor(bool question) {
    return question ? QMessageBox::Question : QMessageBox::Information;
}

}  // namespace

MessageBoxBackend::MessageBoxBackend() = default;

MessageBoxBackend::~MessageBoxBackend() {
    delete open_.data();
}

int MessageBoxBackend::Show(const std::string& text, bool question) {
    SetNormalCursor();
    QMessageBox box(IconFor(question), QString::fromUtf8(kApplicationTitle), QtText(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* ok = SetButtons(box, question);
    box.exec();
    return box.clickedButton() == ok ? kMsgOk : kMsgCancel;
}

void MessageBoxBackend::Post(const std::string& text, bool question) {
    bool seen = (open_ && openText_ == text) ||
                std::any_of(waiting_.begin(), waiting_.end(), [&](const Posted& p) { return p.text == text; });
    if (seen) return;
    waiting_.push_back({text, question});
    if (!open_) ScheduleNext();
}

bool MessageBoxBackend::Pending() const {
    return open_ || !waiting_.empty();
}

void MessageBoxBackend::ScheduleNext() {
    if (scheduled_ || waiting_.empty()) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        &context_, [this] { ShowNext(); }, Qt::QueuedConnection);
}

void MessageBoxBackend::ShowNext() {
    scheduled_ = false;
    if (open_ || waiting_.empty()) return;
    Posted next = std::move(waiting_.front());
    waiting_.pop_front();
    SetNormalCursor();
    // No parent: the box must not vanish with whichever window happened to be active.
    auto* box = new QMessageBox(IconFor(next.question), QString::fromUtf8(kApplicationTitle), QtText(next.text),
                                QMessageBox::NoButton, nullptr);
    SetButtons(*box, next.question);
    box->setWindowModality(Qt::ApplicationModal);
    open_ = box;
    openText_ = next.text;
    QObject::connect(box, &QDialog::finished, &context_, [this, box] {
        box->deleteLater();
        if (open_ == box) {
            open_ = nullptr;
            openText_.clear();
        }
        ScheduleNext();
    });
    box->show();
}

}  // namespace plx
