// A notice back end that records every ShowNotice with its category.
#pragma once

#include <string>
#include <vector>

#include "common/notice.h"
#include "common/sjis.h"

namespace plxtest {

struct RecordedNotice {
    std::string text;  // CP932, as shown
    plx::NoticeCategory category;
};

class RecordingNotices final : public plx::NoticeBackend {
public:
    RecordingNotices() { plx::SetNoticeBackend(this); }
    ~RecordingNotices() override { plx::SetNoticeBackend(nullptr); }
    RecordingNotices(const RecordingNotices&) = delete;
    RecordingNotices& operator=(const RecordingNotices&) = delete;

    void Show(const std::string& text, plx::NoticeCategory category) override { shown.push_back({text, category}); }

    // Texts converted to UTF-8, for readable assertions.
    std::vector<std::string> Utf8Texts() const {
        std::vector<std::string> texts;
        for (const auto& n : shown) texts.push_back(plx::Cp932ToUtf8(n.text));
        return texts;
    }

    std::vector<RecordedNotice> shown;
};

}  // namespace plxtest
