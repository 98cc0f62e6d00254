// Files that exist but cannot be read, and a bounded run for code that might block on them.
//
// Made so even for root: tests run as root, which reads any
// file whatever its mode bits. While an OtherUser guard lives, file access from this thread is
// checked as for the unprivileged user "nobody" (the file-system user id, which also drops root's
// file capabilities), so a file of mode 0000 really is unreadable, and the folder it lies in is
// opened to everyone so that a program that wrongly rewrites it is not stopped by the folder.
#pragma once

#include <functional>
#include <string>

namespace plxtest {

class OtherUser {
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;
};

// Writes `bytes` to `path` and takes every permission away; opens the folder of `path` to all.
void MakeUnreadableFile(const std::string& path, const std::string& bytes);

// The file's bytes, read with root's rights (call outside an OtherUser guard).
// Runs `body` in a child process and gives its exit status, or -1 when it had not ended after
// `limitMs` (it is then killed): a read that blocks fails the test instead of hanging it.
int ExitStatusWithin(const std::function<int()>& body, int limitMs);

// The permission bits of a file, or -1 when it cannot be looked at.
int ModeBits(const std::string& path);

}  // namespace plxtest
