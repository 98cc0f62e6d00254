// ShowMsg and its replaceable back end.
#include "common/message.h"

#include <cstdio>

#include "common/sjis.h"

namespace plx {
namespace {

class StderrBackend final : public MessageBackend {
public:
    int Show(const std::string& text, bool question) override {
        std::fprintf(stderr, "Pilonix: %s\n", Cp932ToUtf8(text).c_str());
        return question ? kMsgCancel : kMsgOk;
    }
};

StderrBackend fallback;
MessageBackend* current = &fallback;

}  // namespace

void SetMessageBackend(MessageBackend* backend) { current = backend ? backend : &fallback; }

MessageBackend* CurrentMessageBackend() { return current; }

bool IsQuestionText(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '?') return true;
        if (IsLeadByte(c) && i + 1 < text.size()) {
            if (c == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x48) return true;
            ++i;
        }
    }
    return false;
}

int ShowMsg(const std::string& text) {
    int answer = current->Show(text, IsQuestionText(text));
    return answer == kMsgOk ? kMsgOk : kMsgCancel;
}

}  // namespace plx
