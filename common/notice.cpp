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

StderrNotices fallback;
NoticeBackend* current = &fallback;

}  // namespace

void SetNoticeBackend(NoticeBackend* backend) { current = backend ? backend : &fallback; }

NoticeBackend* CurrentNoticeBackend() { return current; }

void ShowNotice(const std::string& text, NoticeCategory category) { current->Show(text, category); }

}  // namespace plx
