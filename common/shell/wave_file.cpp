// WAV header check: walks the RIFF chunks without reading the samples.
#include "common/shell/wave_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace plx {
namespace {

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool FormatIsPlayable(const unsigned char* fmt, std::uint32_t size) {
    if (size < 16) return false;
    std::uint16_t format = Le16(fmt), channels = Le16(fmt + 2), bits = Le16(fmt + 14);
    std::uint32_t rate = Le32(fmt + 4);
    bool knownFormat = format == 1 || format == 3 || format == 0xFFFE;
    return knownFormat && channels >= 1 && channels <= 2 && bits >= 8 && bits <= 32 && bits % 8 == 0 && rate >= 1000 &&
           rate <= 192000;
}

}  // namespace

bool IsPlayableWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), sizeof riff)) return false;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

    bool formatOk = false;
    // A bounded walk: a damaged file with endless tiny chunks cannot keep us here.
    for (int chunk = 0; chunk < 64; ++chunk) {
        unsigned char header[8];
        if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
        std::uint32_t size = Le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < sizeof fmt || !in.read(reinterpret_cast<char*>(fmt), sizeof fmt)) return false;
            formatOk = FormatIsPlayable(fmt, size);
            if (!formatOk) return false;
            in.seekg(static_cast<std::streamoff>(size - sizeof fmt) + (size & 1), std::ios::cur);
        } else if (std::memcmp(header, "data", 4) == 0) {
            return formatOk && size > 0;
        } else {
            in.seekg(static_cast<std::streamoff>(size) + (size & 1), std::ios::cur);
        }
        if (!in) return false;
    }
    return false;
}

}  // namespace plx
