// The device under the sound player: opens a WAV file, plays it without waiting, closes it.
// The program uses the Qt Multimedia device; tests put in a recorder.
#pragma once

#include <memory>
#include <string>

class QSoundEffect;

namespace plx {

class WaveDevice {
public:
    virtual ~WaveDevice() = default;
    // Prepares `path` (filesystem bytes); false when the file cannot be played at all.
    virtual bool Open(const std::string& path) = 0;
    // Starts the opened sound and returns while it plays; false when playing fails.
    virtual bool Play() = 0;
    // Ends a sound still playing and forgets the file; harmless when nothing is open.
    virtual void Close() = 0;
};

// QSoundEffect underneath. Whether the file can be played is decided from its header before
// anything starts, so a missing or damaged file is always "cannot open", never a late error.
class QtWaveDevice final : public WaveDevice {
public:
    QtWaveDevice();
    ~QtWaveDevice() override;
    bool Open(const std::string& path) override;
    bool Play() override;
    void Close() override;

private:
    std::unique_ptr<QSoundEffect> effect_;
    std::string path_;
};

}  // namespace plx
