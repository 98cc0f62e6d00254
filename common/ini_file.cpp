// INI file over SimpleIni, written atomically.
#include "common/ini_file.h"

// Bytes pass through untouched: the file is CP932 and nothing here converts it.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <sys/stat.h>

#include "common/files.h"

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

}  // namespace plx
