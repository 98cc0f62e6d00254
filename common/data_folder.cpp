// The data folder: beside the program, or in the user's configuration folder.
#include "common/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/exe_path.h"
#include "common/files.h"

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

}  // namespace

std::string ConfigHomeFor(const std::string& configHome, const std::string& home) {
    std::string base = !configHome.empty() && configHome.front() == '/' ? configHome : home + "/.config";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base;
}

std::string ConfigHomeOfProcess() {
    return ConfigHomeFor(Env("XDG_CONFIG_HOME"), Env("HOME"));
}

std::string DataFolderFor(const std::string& exeFolder, const std::string& configHome, const std::string& home) {
    bool packaged = Exists(exeFolder + kPackageMarker);
    if (!packaged && ::access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
    return ConfigHomeFor(configHome, home) + "/pilonix/";
}

std::string DataFolderOfProcess() {
    std::string exeFolder = ExeFolderOfProcess();
    std::string folder = DataFolderFor(exeFolder, Env("XDG_CONFIG_HOME"), Env("HOME"));
    // The user's folder is made for the user alone; one that cannot be made shows at the first write.
    if (folder != exeFolder) MakeFolders(folder, 0700, nullptr);
    return folder;
}

}  // namespace plx
