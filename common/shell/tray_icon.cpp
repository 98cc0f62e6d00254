// Tray icon helpers over QSystemTrayIcon.
#include "common/shell/tray_icon.h"

#include <QSystemTrayIcon>

#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {

bool TrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIconSet(QSystemTrayIcon& tray, const QIcon& image, const std::string& tip, TrayAction action) {
    tray.setIcon(image);
    // The notification area keeps at most 127 bytes of tip; longer tips are cut on a character.
    std::string cut = tip.size() > 127 ? tip.substr(0, 127) : tip;
    if (cut.size() < tip.size() && !cut.empty()) {
        size_t i = 0;
        while (i < cut.size()) i += (IsLeadByte(static_cast<unsigned char>(cut[i])) ? 2 : 1);
        if (i > cut.size()) cut.pop_back();
    }
    tray.setToolTip(QtText(cut));
    if (action == TrayAction::Add) tray.show();
    return tray.isVisible() && TrayAvailable();
}

void TrayIconDelete(QSystemTrayIcon& tray) {
    tray.hide();
}

}  // namespace plx
