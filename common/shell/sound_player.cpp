// PlayWave and StopWave with the player's state marker.
#include "common/shell/sound_player.h"

#include "common/message.h"
#include "common/shell/wait_ticks.h"
#include "common/sjis.h"

namespace plx {

SoundPlayer::SoundPlayer(std::unique_ptr<WaveDevice> device) {
    SetDevice(std::move(device));
}

void SoundPlayer::SetDevice(std::unique_ptr<WaveDevice> device) {
    device_ = device ? std::move(device) : std::make_unique<QtWaveDevice>();
}

void PlayWave(SoundPlayer& player, const std::string& path) {
    bool start = true;
    if (player.marker == kSoundPlaying) {
        if (path == player.fileName) {
            start = false;
        } else {
            StopWave(player);
            WaitTicks(100);
        }
    }
    if (player.marker != kSoundIdle || !start) return;

    player.fileName = path;
    if (!player.device().Open(path)) {
        ShowMsg(SJ("サウンドを再生できません！"));
        return;
    }
    if (!player.device().Play()) {
        // The device stays closed after a failed start, so the next call opens afresh.
        player.device().Close();
        ShowMsg(SJ("サウンドの再生に失敗しました。"));
        return;
    }
    player.marker = kSoundPlaying;
}

void StopWave(SoundPlayer& player) {
    player.marker = kSoundIdle;
    player.device().Close();
}

}  // namespace plx
