// Where the running executable lies.
#pragma once

#include <string>

namespace plx {

// Full path of the running executable.
std::string ExePath();

// Its folder with a trailing "/".
std::string ExeFolderOfProcess();

}  // namespace plx
