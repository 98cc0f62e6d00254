// ShowMsg, its replaceable back end, and the deferral of the tick's messages.
#include "common/message.h"

#include <algorithm>
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

// The messages kept while deferred, and how many deferrals are open.
struct Deferred {
    int depth = 0;
    std::vector<std::string> texts;
};
Deferred deferred;

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

namespace {

void Keep(const std::string& text) {
    // One box per cause: 288 alarms with a broken sound device say so once.
    if (std::find(deferred.texts.begin(), deferred.texts.end(), text) == deferred.texts.end())
        deferred.texts.push_back(text);
}

}  // namespace

int ShowMsg(const std::string& text) {
    bool question = IsQuestionText(text);
    if (deferred.depth > 0) {
        Keep(text);
        return question ? kMsgCancel : kMsgOk;
    }
    int answer = current->Show(text, question);
    return answer == kMsgOk ? kMsgOk : kMsgCancel;
}

void PostMsg(const std::string& text) {
    if (deferred.depth > 0)
        Keep(text);
    else
        current->Post(text, IsQuestionText(text));
}

MessageDeferral::MessageDeferral() { ++deferred.depth; }

MessageDeferral::~MessageDeferral() {
    if (--deferred.depth > 0) return;
    std::vector<std::string> texts;
    texts.swap(deferred.texts);
    for (const std::string& text : texts) current->Post(text, IsQuestionText(text));
}

bool MessagesDeferred() { return deferred.depth > 0; }

bool MessagesPending() { return current->Pending(); }

}  // namespace plx
