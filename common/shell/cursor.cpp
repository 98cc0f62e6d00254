// The application's mouse cursor over Qt's override cursor.
#include "common/shell/cursor.h"

#include <QApplication>
#include <QCursor>

namespace plx {

void SetHourglassCursor() {
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void SetNormalCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace plx
