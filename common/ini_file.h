// An INI file in CP932 that keeps every section, key and comment it does not touch,
// and is written whole (see common/files.h).
#pragma once

#include <memory>
#include <string>

namespace plx {

class IniFile {
public:
    // Reads `path`; a missing or unreadable file reads as empty.
    explicit IniFile(std::string path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::string& path() const { return path_; }
    // Section and key names are case-insensitive.
    std::string Get(const char* section, const char* key, const std::string& fallback) const;
    void Set(const char* section, const char* key, const std::string& value);

    // Writes the whole file. On failure returns false and puts a message naming the file
    // into `error`; the old file is then untouched.
    bool Save(std::string* error) const;

private:
    struct Impl;
    std::string path_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace plx
