// Tray icon helpers over QSystemTrayIcon.
#include "common/shell/tray_icon.h"

#include <QSystemTrayIcon>

#include "common/shell/qt_text.h"
#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {

bool TrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIconSet(QSystemTrayIcon& tray, const QIcon& image, const std::string& tip, TrayAction action) {
    tray.setIcon(image);
    // The notification area keeps at most 127 bytes of tip; longer tips are cut on a character.
    tray.setToolTip(QtText(ClipBytes(tip, 127)));
    if (action == TrayAction::Add) tray.show();
    return tray.isVisible() && TrayAvailable();
}

void TrayIconDelete(QSystemTrayIcon& tray) {
    tray.hide();
}

}  // namespace plx
