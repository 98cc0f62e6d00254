// Where the running executable lies, from /proc/self/exe.
#include "common/exe_path.h"

#include <unistd.h>

#include <climits>

namespace plx {

std::string ExePath() {
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    return std::string(path, static_cast<size_t>(n));
}

std::string ExeFolderOfProcess() {
    std::string path = ExePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace plx
