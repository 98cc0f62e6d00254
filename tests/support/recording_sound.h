// A wave device that records what the sound player asks of it instead of playing.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/shell/wave_device.h"

namespace plxtest {

struct SoundLog {
    std::vector<std::string> opened;  // every Open, also the refused ones
    std::vector<std::string> played;  // every Play that was accepted
    int closes = 0;
};

class RecordingWaveDevice final : public plx::WaveDevice {
public:
    // `log` outlives the device (the player owns the device).
    explicit RecordingWaveDevice(SoundLog& log) : log_(log) {}

    // Which files open; by default the ones that exist.
    std::function<bool(const std::string&)> canOpen = [](const std::string& path) {
        return std::filesystem::exists(path);
    };
    bool playFails = false;

    bool Open(const std::string& path) override {
        log_.opened.push_back(path);
        if (!canOpen(path)) return false;
        path_ = path;
        return true;
    }
    bool Play() override {
        if (playFails || path_.empty()) return false;
        log_.played.push_back(path_);
        return true;
    }
    void Close() override {
        ++log_.closes;
        path_.clear();
    }

private:
    SoundLog& log_;
    std::string path_;
};

}  // namespace plxtest
