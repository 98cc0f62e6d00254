// An INI file in CP932 that keeps every section, key and comment it does not touch,
// and is written whole (see common/files.h).
#pragma once

#include <memory>
#include <string>

#include "common/files.h"

namespace plx {

class IniFile {
public:
    // Reads `path`; a missing or unreadable file reads as empty.
    explicit IniFile(std::string path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::string& path() const { return path_; }
    // How reading went: Missing, Ok, or Unreadable for a file that is there but could not be read.
    FileRead readResult() const { return read_; }
    // True when the whole text was taken in: no NUL byte, and no line that the next write would
    // drop or change (a line that is no section, key or comment, a key given twice, a comment
    // after the last key).
    bool readWhole() const { return whole_; }

    // Section and key names are case-insensitive.
    std::string Get(const char* section, const char* key, const std::string& fallback) const;
    // A value is always one value: CR, LF and NUL are taken out of it.
    void Set(const char* section, const char* key, const std::string& value);
    // Takes the key out of the file; nothing happens when it is not there.
    void Remove(const char* section, const char* key);

    // Writes the whole file, with the line ends it had (LF for a new file); a new file is made
    // `newFileMode`. On failure returns false and puts a message naming the file into `error`;
    // the old file is then untouched. A file that could not be read, or not read whole, is never
    // written from what was read.
    bool Save(std::string* error, unsigned newFileMode = 0644) const;

private:
    struct Impl;
    std::string path_;
    std::unique_ptr<Impl> impl_;
    FileRead read_ = FileRead::Missing;
    bool whole_ = true;
    bool crlf_ = false;
};

}  // namespace plx
