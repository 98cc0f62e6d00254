// An INI file in CP932 that keeps every section, key and comment it does not touch,
// and is written whole: a temporary file beside it, then renamed over it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// The step of a whole-file write that failed.
enum class WriteStep { None, Create, Write, Replace };

// Writes `bytes` to `path` whole: a temporary file beside it ("<path>.tmp"; a write killed half-way
// leaves at most that one file, which the next write reuses), flushed to disk when `sync` is set,
// then renamed over `path`. On failure the old file is untouched; returns false, with a message
// naming the file in `error` and the failing step in `failed` (either may be null).
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         WriteStep* failed = nullptr, bool sync = true);

// Writes the lines whole, each ended by CR LF (no lines: an empty file), as WriteFileAtomically.
bool WriteFileLines(const std::string& path, const std::vector<std::string>& lines, std::string* error);

// Reads a whole text file split into lines (CR LF, LF or CR). False, with `lines` untouched, when the
// file is missing, is not a regular file, or cannot be read.
bool ReadFileLines(const std::string& path, std::vector<std::string>* lines);

}  // namespace plx
