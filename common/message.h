// ShowMsg: the one way to show a modal message or ask an OK/Cancel question.
// The back end is replaceable: the program installs a message-box one, tests a recorder.
#pragma once

#include <string>
#include <vector>

namespace plx {

enum MsgResult : int { kMsgOk = 1, kMsgCancel = 2 };

class MessageBackend {
public:
    virtual ~MessageBackend() = default;
    // `text` is CP932. Returns kMsgOk or kMsgCancel.
    virtual int Show(const std::string& text, bool question) = 0;
    // Shows `text` without waiting for an answer. By default the same as Show, for back ends that
    // answer at once (the recorder, the standard-error fallback); the message-box back end opens
    // the box and returns.
    virtual void Post(const std::string& text, bool question) { Show(text, question); }
    // True while a posted message still waits to be seen (its box open or queued).
    virtual bool Pending() const { return false; }
};

// Null restores the fallback, which prints to stderr and answers with the default button.
void SetMessageBackend(MessageBackend* backend);
MessageBackend* CurrentMessageBackend();

// True when the CP932 text holds "?" or the full-width "？" (whole characters only).
bool IsQuestionText(const std::string& text);

// Shows `text` (CP932); a question gets OK and Cancel with Cancel as the default. Returns 1 or 2.
// While messages are deferred it shows nothing yet and returns the default button at once.
int ShowMsg(const std::string& text);

// Shows `text` (CP932) without waiting for it to be seen: for messages raised by work that ends
// on its own (a sound that failed to load, say), where nobody waits for an answer. Kept like
// ShowMsg's while messages are deferred.
void PostMsg(const std::string& text);

// While one lives (the main timer's tick holds one), ShowMsg keeps its messages instead of
// showing them: each text once, in the order first raised, answered at once with the box's
// default button (OK; Cancel for a question, though no caller inside the tick asks one). When the
// outermost deferral ends, the kept messages are posted to the back end, which shows them without
// waiting, so a box left open never holds up the work that raised it.
class MessageDeferral {
public:
    MessageDeferral();
    ~MessageDeferral();
    MessageDeferral(const MessageDeferral&) = delete;
    MessageDeferral& operator=(const MessageDeferral&) = delete;
};

bool MessagesDeferred();

// True while the back end still has a posted message waiting to be seen.
bool MessagesPending();

}  // namespace plx
