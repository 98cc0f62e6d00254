// A text box holding a file path as the file system spells it (bytes, UTF-8 on this platform).
#pragma once

#include <QLineEdit>
#include <string>

namespace plx {

// A path the box cannot show exactly (bytes that are not UTF-8) comes back unchanged as long as
// nobody edits it, so opening the dialog and pressing OK never rewrites a working path.
class PathEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    void SetPath(const std::string& path);
    std::string Path() const;

private:
    std::string loadedPath_;
    QString loadedText_;
};

}  // namespace plx
