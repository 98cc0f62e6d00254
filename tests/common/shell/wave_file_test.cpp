// Which files the sound player can play, judged from the header before anything starts.
#include "common/shell/wave_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::TempDir;
using plxtest::WriteFile;

namespace {

std::string Le32(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
            static_cast<char>(v >> 24 & 0xFF)};
}
std::string Le16(std::uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string Fmt(std::uint16_t format, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    return "fmt " + Le32(16) + Le16(format) + Le16(channels) + Le32(rate) + Le32(rate * channels * bits / 8) +
           Le16(static_cast<std::uint16_t>(channels * bits / 8)) + Le16(bits);
}
std::string Data(std::uint32_t bytes) {
    return "data" + Le32(bytes) + std::string(bytes, '\0');
}
std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

}  // namespace

TEST(WaveFile, HeadersThatPlayAndHeadersThatDoNot) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        bool playable;
    } cases[] = {
        {"pcm16 mono", Riff(Fmt(1, 1, 22050, 16) + Data(100)), true},
        {"pcm8 stereo", Riff(Fmt(1, 2, 8000, 8) + Data(10)), true},
        {"float", Riff(Fmt(3, 1, 44100, 32) + Data(8)), true},
        {"list chunk first, odd size padded",
         Riff("LIST" + Le32(3) + "abc" + std::string(1, '\0') + Fmt(1, 1, 22050, 16) + Data(4)), true},
        {"adpcm", Riff(Fmt(2, 1, 22050, 16) + Data(100)), false},
        {"three channels", Riff(Fmt(1, 3, 22050, 16) + Data(100)), false},
        {"12 bits", Riff(Fmt(1, 1, 22050, 12) + Data(100)), false},
        {"no data chunk", Riff(Fmt(1, 1, 22050, 16)), false},
        {"empty data", Riff(Fmt(1, 1, 22050, 16) + Data(0)), false},
        {"data before fmt", Riff(Data(4) + Fmt(1, 1, 22050, 16)), false},
        {"truncated fmt", Riff(Fmt(1, 1, 22050, 16).substr(0, 14)), false},
        {"not RIFF", "RIFX" + Riff(Fmt(1, 1, 22050, 16) + Data(4)).substr(4), false},
        {"text file", "just some text, not a sound\n", false},
        {"empty file", "", false},
    };
    for (const auto& c : cases) {
        std::string path = dir.File("case.wav");
        WriteFile(path, c.bytes);
        EXPECT_EQ(IsPlayableWave(path), c.playable) << c.name;
    }
    EXPECT_FALSE(IsPlayableWave(dir.File("missing.wav")));
    EXPECT_FALSE(IsPlayableWave(dir.path()));  // a folder
}

TEST(WaveFile, TheProjectsOwnChimesPlay) {
    TempDir dir;
    std::string command = std::string("python3 '") + PLXTEST_CHIMES + "' '" + dir.path() + "Snd'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(IsPlayableWave(dir.File("Snd/mw4.wav")));
    EXPECT_TRUE(IsPlayableWave(dir.File("Snd/mw3.wav")));
}

TEST(WaveFile, AFifoOrAFolderNamedAsTheSoundIsRefusedAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo.wav").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.wav").c_str(), 0700), 0);
    // In a child process, so that a check that blocks fails the test instead of hanging it.
    int status = plxtest::ExitStatusWithin(
        [&] { return !IsPlayableWave(dir.File("fifo.wav")) && !IsPlayableWave(dir.File("folder.wav")) ? 0 : 1; }, 3000);
    EXPECT_EQ(status, 0);
}
