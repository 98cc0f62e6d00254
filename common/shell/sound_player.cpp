// PlayWave and StopWave with the player's state marker.
#include "common/shell/sound_player.h"

#include "common/message.h"
#include "common/sjis.h"

namespace plx {
namespace {

// Opens and plays `path` now; `report` tells the user about a failure.
void StartNow(SoundPlayer& player, const std::string& path, void (*report)(const std::string&)) {
    player.pendingStart().stop();
    player.fileName = path;
    if (!player.device().Open(path)) {
        player.marker = kSoundIdle;
        report(SJ("サウンドを再生できません！"));
        return;
    }
    if (!player.device().Play()) {
        // The device stays closed after a failed start, so the next call opens afresh.
        player.device().Close();
        player.marker = kSoundIdle;
        report(SJ("サウンドの再生に失敗しました。"));
        return;
    }
    player.marker = kSoundPlaying;
}

void ShowNow(const std::string& text) {
    ShowMsg(text);
}

}  // namespace

SoundPlayer::SoundPlayer(std::unique_ptr<WaveDevice> device) {
    SetDevice(std::move(device));
    pendingStart_.setSingleShot(true);
    pendingStart_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5 % early
    pendingStart_.setInterval(kSoundSwitchMs);
    // Nobody waits for this start any more: its failure is posted, not asked. It happens even
    // when a tick has marked the player idle meanwhile, as the sound belongs to the tick before.
    QObject::connect(&pendingStart_, &QTimer::timeout, [this] { StartNow(*this, fileName, PostMsg); });
}

void SoundPlayer::SetDevice(std::unique_ptr<WaveDevice> device) {
    device_ = device ? std::move(device) : std::make_unique<QtWaveDevice>();
}

void PlayWave(SoundPlayer& player, const std::string& path) {
    if (player.marker == kSoundPlaying) {
        if (path == player.fileName) return;
        StopWave(player);
        // The pause between two sounds is waited out by the event loop, not by the caller.
        player.fileName = path;
        player.marker = kSoundPlaying;
        player.pendingStart().start();
        return;
    }
    if (player.marker != kSoundIdle) return;
    StartNow(player, path, ShowNow);
}

void StopWave(SoundPlayer& player) {
    player.pendingStart().stop();
    player.marker = kSoundIdle;
    player.device().Close();
}

}  // namespace plx
