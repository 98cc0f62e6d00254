// Finding the folder of the race-database server product (MARLO) when the settings name none.
#pragma once

#include <string>

namespace plx {

inline constexpr char kDefaultMarloFolder[] = "/opt/orvent/MARLO/";

// Looks in `defaultFolder` first, then asks the user. True when the MARLO folder is known;
// Program().settings.MARLO then holds it with a trailing "/", otherwise it is empty.
bool LocateDatabase(const std::string& defaultFolder = kDefaultMarloFolder);

}  // namespace plx
