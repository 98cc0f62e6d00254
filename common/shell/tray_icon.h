// The notification-area (tray) icon: put in once at start-up, taken out at the end.
#pragma once

#include <string>

class QIcon;
class QSystemTrayIcon;

namespace plx {

enum class TrayAction { Add = 0, Modify = 1 };

// True when the desktop has a notification area. Where it has none, the main window minimises
// instead of hiding, so that it can always be brought back.
bool TrayAvailable();

// Sets the icon's image and tip (CP932) and shows it. A desktop that refuses the icon is not
// reported; the result only says whether the icon is now visible.
bool TrayIconSet(QSystemTrayIcon& tray, const QIcon& image, const std::string& tip, TrayAction action);

// Takes the icon out of the notification area.
void TrayIconDelete(QSystemTrayIcon& tray);

}  // namespace plx
