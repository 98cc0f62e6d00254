// Path text box.
#include "dialogs/path_edit.h"

#include <QFile>

namespace plx {

void PathEdit::SetPath(const std::string& path) {
    loadedPath_ = path;
    loadedText_ = QFile::decodeName(QByteArray::fromStdString(path));
    setText(loadedText_);
}

std::string PathEdit::Path() const {
    if (text() == loadedText_) return loadedPath_;
    return QFile::encodeName(text()).toStdString();
}

}  // namespace plx
