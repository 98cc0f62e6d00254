// ShowMsg: the one way to show a modal message or ask an OK/Cancel question.
// The back end is replaceable: the program installs a message-box one, tests a recorder.
#pragma once

#include <string>

namespace plx {

enum MsgResult : int { kMsgOk = 1, kMsgCancel = 2 };

class MessageBackend {
public:
    virtual ~MessageBackend() = default;
    // `text` is CP932. Returns kMsgOk or kMsgCancel.
    virtual int Show(const std::string& text, bool question) = 0;
};

// Null restores the fallback, which prints to stderr and answers with the default button.
void SetMessageBackend(MessageBackend* backend);
MessageBackend* CurrentMessageBackend();

// True when the CP932 text holds "?" or the full-width "？" (whole characters only).
bool IsQuestionText(const std::string& text);

// Shows `text` (CP932); a question gets OK and Cancel with Cancel as the default. Returns 1 or 2.
int ShowMsg(const std::string& text);

}  // namespace plx
