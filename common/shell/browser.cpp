// OpenBrowser over QDesktopServices.
#include "common/shell/browser.h"

#include <QDesktopServices>
#include <QFile>

#include "common/message.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {
namespace {

class DesktopBrowser final : public BrowserBackend {
public:
    bool Open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopBrowser desktop;
BrowserBackend* current = &desktop;

bool HasScheme(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;  // "C:" style or no scheme at all
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

}  // namespace

void SetBrowserBackend(BrowserBackend* backend) {
    current = backend ? backend : &desktop;
}

QUrl UrlForTarget(const std::string& target) {
    if (target.empty()) return {};
    if (HasScheme(target)) return QUrl(QtText(target), QUrl::StrictMode);
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(target)));
}

void OpenBrowser(const std::string& target) {
    QUrl url = UrlForTarget(target);
    if (!url.isValid() || url.isEmpty() || !current->Open(url)) ShowMsg(SJ("ブラウザを表示できません。"));
}

}  // namespace plx
