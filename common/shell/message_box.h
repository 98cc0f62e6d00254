// The message-box back end of ShowMsg: a modal QMessageBox captioned with the application title.
#pragma once

#include "common/message.h"

namespace plx {

// A question (the text holds "?" or "？") gets OK and Cancel with Cancel as the default and as
// the Escape answer; anything else gets a single OK. The waiting cursor is put back to the arrow
// first, so it never stays over the box.
class MessageBoxBackend final : public MessageBackend {
public:
    int Show(const std::string& text, bool question) override;
};

}  // namespace plx
