// A message back end that records every ShowMsg and answers from a queue (OK when empty), and
// records the messages posted without waiting (those of a tick) as posted.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/message.h"

namespace plxtest {

struct RecordedMessage {
    std::string text;  // CP932, as shown
    bool question = false;
    bool posted = false;  // shown without waiting (after a tick), not asked
};

class RecordingMessages final : public plx::MessageBackend {
public:
    RecordingMessages() { plx::SetMessageBackend(this); }
    ~RecordingMessages() override { plx::SetMessageBackend(nullptr); }

    int Show(const std::string& text, bool question) override {
        shown.push_back({text, question});
        if (answers.empty()) return plx::kMsgOk;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Post(const std::string& text, bool question) override { shown.push_back({text, question, true}); }

    // Texts converted to UTF-8, for readable assertions.
    std::vector<std::string> Utf8Texts() const;

    std::vector<RecordedMessage> shown;
    std::deque<int> answers;
};

}  // namespace plxtest
