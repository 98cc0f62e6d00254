// WAV header check: walks the RIFF chunks without reading the samples.
#include "common/shell/wave_file.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/files.h"

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
    // Only a regular file: a FIFO or device named as the sound would block the player for good.
    int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> in(::fdopen(fd, "rb"), &std::fclose);
    if (!in) {
        ::close(fd);
        return false;
    }
    auto read = [&](unsigned char* to, size_t size) { return std::fread(to, 1, size, in.get()) == size; };
    auto skip = [&](long size) { return std::fseek(in.get(), size, SEEK_CUR) == 0; };
    unsigned char riff[12];
    if (!read(riff, sizeof riff)) return false;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

    bool formatOk = false;
    // A bounded walk: a damaged file with endless tiny chunks cannot keep us here.
    for (int chunk = 0; chunk < 64; ++chunk) {
        unsigned char header[8];
        if (!read(header, sizeof header)) return false;
        std::uint32_t size = Le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < sizeof fmt || !read(fmt, sizeof fmt)) return false;
            formatOk = FormatIsPlayable(fmt, size);
            if (!formatOk || !skip(static_cast<long>(size) - static_cast<long>(sizeof fmt) + (size & 1))) return false;
        } else if (std::memcmp(header, "data", 4) == 0) {
            return formatOk && size > 0;
        } else if (!skip(static_cast<long>(size) + (size & 1))) {
            return false;
        }
    }
    return false;
}

}  // namespace plx
