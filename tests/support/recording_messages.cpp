// Recording message back end.
#include "tests/support/recording_messages.h"

#include "common/sjis.h"

namespace plxtest {

std::vector<std::string> RecordingMessages::Utf8Texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown) out.push_back(plx::Cp932ToUtf8(m.text));
    return out;
}

}  // namespace plxtest
