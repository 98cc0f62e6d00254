// Whether a file is a WAV file the sound player can play, judged from its header alone.
#pragma once

#include <string>

namespace plx {

// True for a readable RIFF/WAVE file with a PCM or float "fmt " chunk (1 or 2 channels,
// 8 to 32 bits) and a non-empty "data" chunk. `path` is filesystem bytes.
bool IsPlayableWave(const std::string& path);

}  // namespace plx
