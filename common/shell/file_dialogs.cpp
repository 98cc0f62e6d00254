// Folder and open-file choosers over QFileDialog.
#include "common/shell/file_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

#include "common/shell/qt_text.h"
#include "common/sjis.h"

namespace plx {
namespace {

QString FromBytes(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string ToBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

class QtDialogs final : public DialogBackend {
public:
    std::optional<std::string> ChooseFolder(const std::string& startFolder) override {
        QString chosen =
            QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString(), FromBytes(startFolder));
        if (chosen.isEmpty()) return std::nullopt;
        return ToBytes(chosen);
    }
    std::optional<std::string> ChooseOpenFile(const std::string& caption, const std::string& startPath,
                                              const std::string& filter) override {
        QString chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), QtText(caption),
                                                      FromBytes(startPath), QtText(filter));
        if (chosen.isEmpty()) return std::nullopt;
        return ToBytes(chosen);
    }
};

QtDialogs qtDialogs;
DialogBackend* dialogBackend = &qtDialogs;

}  // namespace

void SetDialogBackend(DialogBackend* backend) {
    dialogBackend = backend ? backend : &qtDialogs;
}

std::optional<std::string> ChooseFolder(const std::string& startFolder) {
    return dialogBackend->ChooseFolder(startFolder);
}

std::optional<std::string> ChooseOpenFile(const std::string& caption, const std::string& startPath,
                                          const std::string& filter) {
    return dialogBackend->ChooseOpenFile(caption, startPath, filter);
}

}  // namespace plx
