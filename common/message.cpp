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
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == '?') return true;
        if (CharLength(text, i) == 2 && text.compare(i, 2, "\x81\x48") == 0) return true;
    }
    return false;
}

int ShowMsg(const std::string& text) {
    int answer = current->Show(text, IsQuestionText(text));
    return answer == kMsgOk ? kMsgOk : kMsgCancel;
}

}  // namespace plx
