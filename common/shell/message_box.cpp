// QMessageBox back end of ShowMsg.
#include "common/shell/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "common/shell/app_title.h"
#include "common/shell/cursor.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {

int MessageBoxBackend::Show(const std::string& text, bool question) {
    SetNormalCursor();
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                    QtText(text), QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if (question) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
    } else {
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    box.exec();
    return box.clickedButton() == ok ? kMsgOk : kMsgCancel;
}

}  // namespace plx
