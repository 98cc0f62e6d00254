// Where the program keeps its data files (the settings file, the timetable, the lists, the news page).
#pragma once

#include <string>

namespace plx {

// The file that only the installed package puts beside the program.
inline constexpr const char* kPackageMarker = "pilonix-package";

// The user's configuration folder, without a trailing "/": `configHome` ($XDG_CONFIG_HOME) when
// it is absolute, else "<home>/.config" (`home` is $HOME).
std::string ConfigHomeFor(const std::string& configHome, const std::string& home);

// The same from this process's environment.
std::string ConfigHomeOfProcess();

// The data folder, with a trailing "/": the user's own "<config home>/pilonix/" when the program
// runs from the package's folder (the marker file lies beside it) or from a folder the user cannot
// write; otherwise the program's own folder, as a copied or self-installed program always had.
// `configHome` is $XDG_CONFIG_HOME (used only when absolute), `home` is $HOME.
std::string DataFolderFor(const std::string& exeFolder, const std::string& configHome, const std::string& home);

// The data folder of this process, from its executable's folder and its environment. A user folder
// is created (mode 0700) when it does not exist yet.
std::string DataFolderOfProcess();

}  // namespace plx
