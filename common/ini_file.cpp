// INI file over SimpleIni, written atomically.
#include "common/ini_file.h"

// Bytes pass through untouched: the file is CP932 and nothing here converts it.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/textutil.h"

namespace plx {

struct IniFile::Impl {
    // Case-insensitive, one value per key, bytes passed through untouched (CP932).
    CSimpleIniA ini{false, false, false};
};

IniFile::IniFile(std::string path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    impl_->ini.SetSpaces(false);  // KEY=value, as the profile functions write it
    // Only a regular file is read: the reader sizes its buffer from the file's length, which a
    // folder standing in the file's place reports as the largest offset there is.
    struct stat info;
    if (::stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode)) impl_->ini.LoadFile(path_.c_str());
}

IniFile::~IniFile() = default;

std::string IniFile::Get(const char* section, const char* key, const std::string& fallback) const {
    const char* value = impl_->ini.GetValue(section, key, nullptr);
    return value ? std::string(value) : fallback;
}

void IniFile::Set(const char* section, const char* key, const std::string& value) {
    impl_->ini.SetValue(section, key, value.c_str());
}

bool IniFile::Save(std::string* error) const {
    std::string bytes;
    if (impl_->ini.Save(bytes) < 0) {
        if (error) *error = path_ + ": cannot format the settings";
        return false;
    }
    return WriteFileAtomically(path_, bytes, error);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error, WriteStep* failed,
                         bool sync) {
    const std::string temp = path + ".tmp";
    auto fail = [&](WriteStep step, const char* what, int code) {
        if (failed) *failed = step;
        if (error) *error = path + ": " + what + " (" + std::strerror(code) + ")";
        return false;
    };
    if (failed) *failed = WriteStep::None;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return fail(WriteStep::Create, "cannot create the file", errno);
    int code = 0;
    size_t done = 0;
    while (done < bytes.size() && code == 0) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) code = (n < 0 && errno) ? errno : ENOSPC;
        else done += static_cast<size_t>(n);
    }
    if (code == 0 && sync && ::fsync(fd) != 0 && errno != EINVAL) code = errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code != 0) {
        ::unlink(temp.c_str());
        return fail(WriteStep::Write, "cannot write the file", code);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        code = errno;
        ::unlink(temp.c_str());
        return fail(WriteStep::Replace, "cannot replace the file", code);
    }
    return true;
}

bool WriteFileLines(const std::string& path, const std::vector<std::string>& lines, std::string* error) {
    return WriteFileAtomically(path, JoinLines(lines), error);
}

bool ReadFileLines(const std::string& path, std::vector<std::string>* lines) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    *lines = SplitLines(text.str());
    return true;
}

}  // namespace plx
