// Folder and open-file choosers. The back end is replaceable so that tests answer them.
// Paths here are filesystem bytes (UTF-8 on this platform), not display texts.
#pragma once

#include <optional>
#include <string>

namespace plx {

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& startFolder) = 0;
    // The chosen file, or nothing when the user cancelled. `caption` and `filter` are CP932;
    // the filter is in Qt's form, for example "WAV (*.wav)".
    virtual std::optional<std::string> ChooseOpenFile(const std::string& caption, const std::string& startPath,
                                                      const std::string& filter) = 0;
};

// Null restores the QFileDialog back end.
void SetDialogBackend(DialogBackend* backend);

std::optional<std::string> ChooseFolder(const std::string& startFolder);
std::optional<std::string> ChooseOpenFile(const std::string& caption, const std::string& startPath,
                                          const std::string& filter);

}  // namespace plx
