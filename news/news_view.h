// The news tab's browser: shows PLX_NEWS.html and opens its links with OpenBrowser.
#pragma once

#include <QTextBrowser>
#include <string>

#include "news/news_reader.h"

namespace plx {

class NewsView : public QTextBrowser, public NewsPageViewer {
    Q_OBJECT
public:
    explicit NewsView(QWidget* parent = nullptr);

    int Tag() const override { return tag_; }
    void Navigate(const std::string& pagePath) override;

protected:
    // The page is CP932 whatever Qt's own codecs support.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    int tag_ = 0;
};

}  // namespace plx
