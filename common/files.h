// Whole-file reading and writing for every file the program keeps: a file is read in one go and
// written whole (a temporary file beside it, then renamed over it), so a reader never sees half.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plx {

// How a read went. A file that is absent is not the same as one that is there but cannot be read:
// the first may be created afresh, the second must never be overwritten from what little was read.
enum class FileRead { Ok, Missing, Unreadable };

// Opens `path` for reading only when it is a regular file. A FIFO, device or folder in its place is
// refused (errno EINVAL) without blocking. Returns the descriptor, or -1 with errno set.
int OpenRegularFile(const std::string& path);

// Reads the first `limit` bytes of a regular file at most (the whole file when it is shorter).
FileRead ReadFileBytes(const std::string& path, std::string* bytes, std::size_t limit = SIZE_MAX);

// The step of a whole-file write that failed.
enum class WriteStep { None, Create, Write, Replace };

// Makes each missing folder of the absolute `folder` (with or without a trailing "/"): mode 0755,
// the last one `lastMode`. False, with the folder and the reason in `error`, when one cannot be made.
bool MakeFolders(const std::string& folder, unsigned lastMode, std::string* error);

// Writes `bytes` to `path` whole: a temporary file beside it ("<path>.tmp"; a write killed half-way
// leaves at most that one file, which the next write reuses), flushed to disk when `sync` is set,
// then renamed over `path`. On failure the old file is untouched; returns false, with a message
// naming the file in `error` and the failing step in `failed` (either may be null).
// The new file keeps the permission bits (and, where allowed, the owner) of the file it replaces;
// a file made afresh gets `newFileMode`. When `path` is a symbolic link, the file it finally leads
// to is replaced (or made) and the link stays as it is.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         WriteStep* failed = nullptr, bool sync = true, unsigned newFileMode = 0644);

// Writes the lines whole, each ended by CR LF (no lines: an empty file), as WriteFileAtomically.
bool WriteFileLines(const std::string& path, const std::vector<std::string>& lines, std::string* error);

// Reads a whole text file split into lines (CR LF, LF or CR); `lines` is untouched unless Ok.
FileRead ReadFileLines(const std::string& path, std::vector<std::string>* lines);

}  // namespace plx
