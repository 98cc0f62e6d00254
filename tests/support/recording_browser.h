// A browser back end that records the addresses it is asked to open.
#pragma once

#include <QUrl>
#include <vector>

#include "common/shell/browser.h"

namespace plxtest {

class RecordingBrowser final : public plx::BrowserBackend {
public:
    RecordingBrowser() { plx::SetBrowserBackend(this); }
    ~RecordingBrowser() override { plx::SetBrowserBackend(nullptr); }

    bool Open(const QUrl& url) override {
        opened.push_back(url);
        return accept;
    }

    std::vector<QUrl> opened;
    bool accept = true;  // false: the desktop refuses
};

}  // namespace plxtest
