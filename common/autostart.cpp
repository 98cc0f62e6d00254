// The XDG autostart entry: written whole, or removed.
#include "common/autostart.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "common/data_folder.h"
#include "common/files.h"

namespace plx {
namespace {

// The entry's place under the configuration folder.
constexpr const char* kEntryPath = "/autostart/pilonix.desktop";

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string AutostartFileFor(const std::string& configHome, const std::string& home) {
    return ConfigHomeFor(configHome, home) + kEntryPath;
}

std::string AutostartFile() {
    return ConfigHomeOfProcess() + kEntryPath;
}

std::string ExecArgument(const std::string& argument) {
    bool plain = !argument.empty();
    for (unsigned char c : argument) {
        if (std::isalnum(c) == 0 && std::strchr("/._-+,:@", c) == nullptr && c < 0x80) plain = false;
    }
    std::string quoted;
    if (plain) {
        quoted = argument;
    } else {
        quoted = "\"";
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
            quoted += c;
            if (c == '%') quoted += '%';  // a field code otherwise
        }
        quoted += '"';
    }
    // The string-value level: backslashes doubled; a line break could not survive the file.
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\r')
            value += "\\r";
        else
            value += c;
    }
    return value;
}

std::string AutostartEntry(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pilonix\n"
           "Name[ja]=Pilonix（パイロニクス）\n"
           "Comment=Race board and betting-close alarms beside the race database\n"
           "Comment[ja]=レース一覧と電投締切アラーム\n"
           "Exec=" +
           ExecArgument(program) +
           "\n"
           "Icon=pilonix\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool SetAutostart(const std::string& file, bool on, const std::string& program, std::string* error) {
    if (!on) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT) return true;
        *error = file + ": " + std::strerror(errno);
        return false;
    }
    if (!MakeFolders(FolderOf(file), 0755, error)) return false;
    return WriteFileAtomically(file, AutostartEntry(program), error);
}

}  // namespace plx
