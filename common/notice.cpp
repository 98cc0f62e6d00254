// ShowNotice and its replaceable back end.
#include "common/notice.h"

#include <cstdio>

#include "common/sjis.h"

namespace plx {
namespace {

class StderrNotices final : public NoticeBackend {
public:
    void Show(const std::string& text, NoticeCategory) override {
        std::fprintf(stderr, "Pilonix notice: %s\n", Cp932ToUtf8(text).c_str());
    }
};

StderrNotices stderrNotices;
NoticeBackend* noticeBackend = &stderrNotices;

}  // namespace

void SetNoticeBackend(NoticeBackend* backend) {
    noticeBackend = backend ? backend : &stderrNotices;
}

NoticeBackend* CurrentNoticeBackend() {
    return noticeBackend;
}

void ShowNotice(const std::string& text, NoticeCategory category) {
    noticeBackend->Show(text, category);
}

}  // namespace plx
