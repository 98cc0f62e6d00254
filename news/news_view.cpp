// The news tab's browser.
#include "news/news_view.h"

#include <QFile>

#include "common/shell/browser.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {

NewsView::NewsView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("cwb_news");
    // Links never navigate inside the tab: the page stays the news page.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        OpenBrowser(url.toEncoded().toStdString());  // percent-encoded: plain ASCII whatever the page held
    });
}

void NewsView::Navigate(const std::string& pagePath) {
    setSource(QUrl::fromLocalFile(QString::fromStdString(pagePath)), QTextDocument::HtmlResource);
    reload();
    ++tag_;
}

QVariant NewsView::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::HtmlResource || !name.isLocalFile()) return QTextBrowser::loadResource(type, name);
    QFile file(name.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    return QtText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace plx
