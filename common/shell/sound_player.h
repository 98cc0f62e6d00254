// The sound player of the main window and the two functions that drive it, PlayWave and StopWave.
#pragma once

#include <QTimer>
#include <memory>
#include <string>

#include "common/shell/wave_device.h"

namespace plx {

// The player's state marker: kSoundPlaying while a sound started by PlayWave may still be
// playing (or is about to start), kSoundIdle otherwise. The main timer marks the player idle at
// the start of every tick, so the marker only keeps the same sound from restarting within one
// tick.
constexpr int kSoundPlaying = 1;
constexpr int kSoundIdle = 4;

// The pause between stopping one sound and starting another.
constexpr int kSoundSwitchMs = 100;

class SoundPlayer {
public:
    // Null gives the Qt Multimedia device.
    explicit SoundPlayer(std::unique_ptr<WaveDevice> device = nullptr);

    int marker = kSoundIdle;
    std::string fileName;  // the file last handed to the device (filesystem bytes)

    WaveDevice& device() { return *device_; }
    void SetDevice(std::unique_ptr<WaveDevice> device);

    // The sound waiting out the pause before it starts, if any.
    QTimer& pendingStart() { return pendingStart_; }

private:
    std::unique_ptr<WaveDevice> device_;
    QTimer pendingStart_;
};

// Plays `path` without waiting for its end. The same file is not restarted while the marker says
// it is playing; a different file stops the first and starts kSoundSwitchMs later, from the event
// loop, so the caller never waits. Every failure ends in a message: "サウンドを再生できません！"
// when the file cannot be opened (the marker goes idle), "サウンドの再生に失敗しました。" when
// playing fails.
void PlayWave(SoundPlayer& player, const std::string& path);

// Ends a sound still playing (or waiting to start) and marks the player idle.
void StopWave(SoundPlayer& player);

}  // namespace plx
