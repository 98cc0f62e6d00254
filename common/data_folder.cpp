// The data folder: beside the program, or in the user's configuration folder.
#include "common/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/exe_path.h"

namespace plx {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Creates each missing folder of `path` (which ends in "/"); the last one only for the user.
void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        bool last = slash + 1 == path.size();
        ::mkdir(folder.c_str(), last ? 0700 : 0755);
    }
}

}  // namespace

std::string DataFolderFor(const std::string& exeFolder, const std::string& configHome, const std::string& home) {
    bool packaged = Exists(exeFolder + kPackageMarker);
    if (!packaged && ::access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
    std::string base = !configHome.empty() && configHome.front() == '/' ? configHome : home + "/.config";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/pilonix/";
}

std::string DataFolderOfProcess() {
    std::string exeFolder = ExeFolderOfProcess();
    std::string folder = DataFolderFor(exeFolder, Env("XDG_CONFIG_HOME"), Env("HOME"));
    if (folder != exeFolder) MakeFolders(folder);
    return folder;
}

}  // namespace plx
