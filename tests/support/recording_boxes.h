// The program's real message-box back end with a record of every message, and when it came: the
// boxes open and stay open (nobody answers them under the offscreen platform), as a user away
// from the screen would leave them.
#pragma once

#include <QElapsedTimer>
#include <string>
#include <vector>

#include "common/shell/message_box.h"
#include "common/sjis.h"

namespace plxtest {

struct TimedMessage {
    std::string utf8;
    bool posted = false;  // after a tick, without waiting; false: asked modally
    qint64 atMs = 0;      // since the recorder was made or its clock restarted
};

class RecordingBoxes final : public plx::MessageBackend {
public:
    RecordingBoxes() {
        clock_.start();
        plx::SetMessageBackend(this);
    }
    ~RecordingBoxes() override { plx::SetMessageBackend(nullptr); }
    RecordingBoxes(const RecordingBoxes&) = delete;
    RecordingBoxes& operator=(const RecordingBoxes&) = delete;

    int Show(const std::string& text, bool question) override {
        shown.push_back({plx::Cp932ToUtf8(text), false, clock_.elapsed()});
        return boxes.Show(text, question);
    }
    void Post(const std::string& text, bool question) override {
        shown.push_back({plx::Cp932ToUtf8(text), true, clock_.elapsed()});
        boxes.Post(text, question);
    }
    bool Pending() const override { return boxes.Pending(); }
    // The times of later messages count from now.
    void RestartClock() { clock_.start(); }

    plx::MessageBoxBackend boxes;
    std::vector<TimedMessage> shown;

private:
    QElapsedTimer clock_;
};

}  // namespace plxtest
