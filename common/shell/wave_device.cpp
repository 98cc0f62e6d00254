// The Qt Multimedia wave device.
#include "common/shell/wave_device.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "common/shell/wave_file.h"

namespace plx {
namespace {

// A short WAV loads in a few milliseconds; this only bounds a stuck back end.
constexpr int kLoadLimitMs = 1000;

}  // namespace

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
    effect_->setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path_))));
    QElapsedTimer waited;
    waited.start();
    while (effect_->status() == QSoundEffect::Loading || effect_->status() == QSoundEffect::Null) {
        if (waited.elapsed() > kLoadLimitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (effect_->status() != QSoundEffect::Ready) return false;
    effect_->play();
    return true;
}

void QtWaveDevice::Close() {
    if (effect_) effect_->stop();
    effect_.reset();
    path_.clear();
}

}  // namespace plx
