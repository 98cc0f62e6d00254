// The Qt Multimedia wave device.
#include "common/shell/wave_device.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "common/message.h"
#include "common/shell/wave_file.h"
#include "common/sjis.h"

namespace plx {

QtWaveDevice::QtWaveDevice() = default;
QtWaveDevice::~QtWaveDevice() = default;

bool QtWaveDevice::Open(const std::string& path) {
    Close();
    if (!IsPlayableWave(path)) return false;
    path_ = path;
    return true;
}

bool QtWaveDevice::Play() {
    if (path_.empty()) return false;
    if (QMediaDevices::audioOutputs().isEmpty()) return false;
    effect_ = std::make_unique<QSoundEffect>();
    QSoundEffect* effect = effect_.get();
    // The effect loads on the event loop, never while the caller (the tick) waits: it starts once
    // loaded, and a file that fails to load then is reported then, without waiting for the box.
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Ready)
            effect->play();
        else if (effect->status() == QSoundEffect::Error)
            PostMsg(SJ("サウンドの再生に失敗しました。"));
    });
    effect->setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path_))));
    if (effect->status() == QSoundEffect::Ready && !effect->isPlaying()) effect->play();
    return effect->status() != QSoundEffect::Error;
}

void QtWaveDevice::Close() {
    if (effect_) effect_->stop();
    effect_.reset();
    path_.clear();
}

}  // namespace plx
