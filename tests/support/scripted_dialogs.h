// A file-dialog back end that answers from a script instead of asking anyone.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/shell/file_dialogs.h"

namespace plxtest {

class ScriptedDialogs final : public plx::DialogBackend {
public:
    ScriptedDialogs() { plx::SetDialogBackend(this); }
    ~ScriptedDialogs() override { plx::SetDialogBackend(nullptr); }

    // Answers in order; nothing (cancel) once they run out.
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> folderStarts;  // the start folder of each folder dialog
    std::vector<std::string> fileStarts;    // the start path of each open-file dialog

    std::optional<std::string> ChooseFolder(const std::string& startFolder) override {
        folderStarts.push_back(startFolder);
        return Next();
    }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string& startPath,
                                              const std::string&) override {
        fileStarts.push_back(startPath);
        return Next();
    }

private:
    std::optional<std::string> Next() {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace plxtest
