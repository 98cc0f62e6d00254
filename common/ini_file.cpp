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

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    std::string temp = path + ".tmp." + std::to_string(::getpid());
    auto fail = [&](const char* what) {
        if (error) *error = path + ": " + what + " (" + std::strerror(errno) + ")";
        return false;
    };
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot create the file");
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int saved = errno ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = saved;
            return fail("cannot write the file");
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot write the file");
    }
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot replace the file");
    }
    return true;
}

}  // namespace plx
