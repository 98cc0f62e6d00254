// INI file over SimpleIni, written atomically.
#include "common/ini_file.h"

// Bytes pass through untouched: the file is CP932 and nothing here converts it.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <vector>

#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {
namespace {

std::string Trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// A line as the reader takes it in, to compare what was read with what a write would give back:
// names without case, blanks around names and values dropped.
std::string Normalised(const std::string& line) {
    std::string text = Trimmed(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') return text;
    if (text[0] == '[' && text.back() == ']') return "[" + AsciiLower(Trimmed(text.substr(1, text.size() - 2))) + "]";
    size_t equals = text.find('=');
    if (equals == std::string::npos) return text;
    return AsciiLower(Trimmed(text.substr(0, equals))) + "=" + Trimmed(text.substr(equals + 1));
}

// True when every line of `original` comes back in `rewritten`.
bool KeepsEveryLine(const std::string& original, const std::string& rewritten) {
    std::vector<std::string> kept;
    for (const std::string& line : SplitLines(rewritten)) kept.push_back(Normalised(line));
    std::sort(kept.begin(), kept.end());
    std::vector<std::string> read;
    for (const std::string& line : SplitLines(original))
        if (!Trimmed(line).empty()) read.push_back(Normalised(line));
    std::sort(read.begin(), read.end());
    return std::includes(kept.begin(), kept.end(), read.begin(), read.end());
}

std::string WithoutLineBreaks(const std::string& value) {
    std::string out;
    for (char c : value)
        if (c != '\r' && c != '\n' && c != '\0') out += c;
    return out;
}

}  // namespace

struct IniFile::Impl {
    // Case-insensitive, one value per key, bytes passed through untouched (CP932).
    CSimpleIniA ini{false, false, false};
};

IniFile::IniFile(std::string path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    impl_->ini.SetSpaces(false);  // KEY=value, as the profile functions write it
    std::string bytes;
    read_ = ReadFileBytes(path_, &bytes);
    if (read_ != FileRead::Ok) return;
    // The reader stops at a NUL byte; what follows it is never taken in.
    impl_->ini.LoadData(bytes.data(), bytes.size());
    size_t firstBreak = bytes.find_first_of("\r\n");
    crlf_ = firstBreak != std::string::npos && bytes.compare(firstBreak, 2, "\r\n") == 0;
    std::string rewritten;
    whole_ =
        bytes.find('\0') == std::string::npos && impl_->ini.Save(rewritten) >= 0 && KeepsEveryLine(bytes, rewritten);
}

IniFile::~IniFile() = default;

std::string IniFile::Get(const char* section, const char* key, const std::string& fallback) const {
    const char* value = impl_->ini.GetValue(section, key, nullptr);
    return value ? std::string(value) : fallback;
}

void IniFile::Set(const char* section, const char* key, const std::string& value) {
    impl_->ini.SetValue(section, key, WithoutLineBreaks(value).c_str());
}

void IniFile::Remove(const char* section, const char* key) {
    impl_->ini.Delete(section, key);
}

bool IniFile::Save(std::string* error, unsigned newFileMode) const {
    if (read_ == FileRead::Unreadable || !whole_) {
        if (error)
            *error = (read_ == FileRead::Unreadable
                          ? SJ("設定ファイルを読み込めなかったため、書き込みませんでした。[")
                          : SJ("設定ファイルに読み取れない内容があるため、書き込みませんでした。[")) +
                     path_ + "]";
        return false;
    }
    std::string bytes;
    if (impl_->ini.Save(bytes) < 0) {
        if (error) *error = path_ + ": cannot format the settings";
        return false;
    }
    if (crlf_) {
        std::string withCr;
        withCr.reserve(bytes.size() + bytes.size() / 8);
        for (char c : bytes) {
            if (c == '\n') withCr += '\r';
            withCr += c;
        }
        bytes = std::move(withCr);
    }
    return WriteFileAtomically(path_, bytes, error, nullptr, true, newFileMode);
}

}  // namespace plx
