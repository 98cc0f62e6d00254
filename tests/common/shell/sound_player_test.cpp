// PlayWave and StopWave: the state marker within one tick, switching sounds, and both failures.
#include "common/shell/sound_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMediaDevices>
#include <chrono>

#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"
#include "tests/support/recording_sound.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::RecordingWaveDevice;
using plxtest::SoundLog;
using plxtest::TempDir;

namespace {

struct Fixture {
    Fixture() {
        plxtest::TestApp();
        auto device = std::make_unique<RecordingWaveDevice>(log);
        recorder = device.get();
        player.SetDevice(std::move(device));
        plxtest::WriteFile(first, "x");
        plxtest::WriteFile(second, "x");
    }
    TempDir dir;
    std::string first = dir.File("mw4.wav");
    std::string second = dir.File("mw3.wav");
    SoundLog log;
    RecordingWaveDevice* recorder = nullptr;
    SoundPlayer player;
    plxtest::RecordingMessages messages;
};

}  // namespace

TEST(PlayWave, SameFileTwiceInOneTickPlaysOnce) {
    Fixture f;
    PlayWave(f.player, f.first);
    PlayWave(f.player, f.first);
    EXPECT_EQ(f.log.played, std::vector<std::string>{f.first});
    EXPECT_EQ(f.player.marker, kSoundPlaying);

    // The next tick marks the player idle, so the same sound may start again.
    f.player.marker = kSoundIdle;
    PlayWave(f.player, f.first);
    EXPECT_EQ(f.log.played.size(), 2u);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(PlayWave, DifferentFileStopsTheFirstAndStartsAfterThePauseWithoutWaiting) {
    Fixture f;
    PlayWave(f.player, f.first);
    int closesBefore = f.log.closes;
    auto start = std::chrono::steady_clock::now();
    PlayWave(f.player, f.second);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50)) << "the caller never waits";
    EXPECT_GT(f.log.closes, closesBefore);
    EXPECT_EQ(f.log.played, std::vector<std::string>{f.first});
    EXPECT_EQ(f.player.marker, kSoundPlaying);
    PlayWave(f.player, f.second);  // already on its way: not started twice
    while (f.log.played.size() < 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(f.log.played, (std::vector<std::string>{f.first, f.second}));
    EXPECT_EQ(f.player.fileName, f.second);
}

TEST(PlayWave, ASoundWaitingToStartIsReplacedByANewerOneAndStoppedByStopWave) {
    Fixture f;
    PlayWave(f.player, f.first);
    PlayWave(f.player, f.second);  // waits out the pause
    f.player.marker = kSoundIdle;  // a new tick
    PlayWave(f.player, f.first);   // starts at once and cancels the waiting one
    EXPECT_EQ(f.log.played, (std::vector<std::string>{f.first, f.first}));
    PlayWave(f.player, f.second);
    StopWave(f.player);
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(f.log.played.size(), 2u);
    EXPECT_EQ(f.player.marker, kSoundIdle);
}

TEST(PlayWave, ADelayedStartThatFailsIsPostedNotAsked) {
    Fixture f;
    PlayWave(f.player, f.first);
    PlayWave(f.player, f.dir.File("gone.wav"));
    auto start = std::chrono::steady_clock::now();
    while (f.messages.shown.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(f.messages.Utf8Texts(), std::vector<std::string>{"サウンドを再生できません！"});
    EXPECT_EQ(f.player.marker, kSoundIdle);
}

TEST(PlayWave, MissingFileCannotBePlayedAndLeavesThePlayerIdle) {
    Fixture f;
    PlayWave(f.player, f.dir.File("nothing.wav"));
    EXPECT_EQ(f.messages.Utf8Texts(), std::vector<std::string>{"サウンドを再生できません！"});
    EXPECT_TRUE(f.log.played.empty());
    EXPECT_EQ(f.player.marker, kSoundIdle);
    // A good file afterwards plays normally.
    PlayWave(f.player, f.first);
    EXPECT_EQ(f.log.played.size(), 1u);
    EXPECT_EQ(f.messages.shown.size(), 1u);
}

TEST(PlayWave, FailureWhilePlayingIsTheOtherMessage) {
    Fixture f;
    f.recorder->playFails = true;
    PlayWave(f.player, f.first);
    EXPECT_EQ(f.messages.Utf8Texts(), std::vector<std::string>{"サウンドの再生に失敗しました。"});
    EXPECT_EQ(f.player.marker, kSoundIdle);
}

TEST(PlayWave, OtherMarkerValuesDoNothingAndStopWaveIdles) {
    Fixture f;
    f.player.marker = 0;
    PlayWave(f.player, f.first);
    EXPECT_TRUE(f.log.opened.empty());
    f.player.marker = kSoundPlaying;
    StopWave(f.player);
    EXPECT_EQ(f.player.marker, kSoundIdle);
    EXPECT_EQ(f.log.closes, 1);
}

TEST(PlayWave, QtDeviceDecidesCannotOpenBeforePlaying) {
    plxtest::TestApp();
    TempDir dir;
    plxtest::RecordingMessages messages;
    SoundPlayer player;  // the real Qt Multimedia device
    PlayWave(player, dir.File("missing.wav"));
    plxtest::WriteFile(dir.File("text.wav"), "not a sound");
    PlayWave(player, dir.File("text.wav"));
    EXPECT_EQ(messages.Utf8Texts(),
              (std::vector<std::string>{"サウンドを再生できません！", "サウンドを再生できません！"}));
    EXPECT_EQ(player.marker, kSoundIdle);
}
