// OpenBrowser: opens a web address or a local file with the desktop's default handler.
// The back end is replaceable so that tests record instead of starting a browser.
#pragma once

#include <QUrl>
#include <string>

namespace plx {

class BrowserBackend {
public:
    virtual ~BrowserBackend() = default;
    // True when the desktop accepted the address.
    virtual bool Open(const QUrl& url) = 0;
};

// Null restores the desktop back end (QDesktopServices).
void SetBrowserBackend(BrowserBackend* backend);

// The address for a target text (CP932): anything with a scheme ("http://...", "file:...") is
// taken as an address, anything else as a local file path (filesystem bytes).
QUrl UrlForTarget(const std::string& target);

// Opens `target`; when the desktop refuses, shows "ブラウザを表示できません。".
void OpenBrowser(const std::string& target);

}  // namespace plx
