// Starting with the desktop session: the user's XDG autostart entry for the program.
#pragma once

#include <string>

namespace plx {

// "<config home>/autostart/pilonix.desktop". `configHome` is $XDG_CONFIG_HOME (used only when
// absolute), `home` is $HOME.
std::string AutostartFileFor(const std::string& configHome, const std::string& home);

// The same for this process's environment.
std::string AutostartFile();

// One argument of a desktop entry's Exec line: quoted when it holds anything but plain
// characters, with the characters the quoting reserves escaped and "%" doubled, then escaped again as a string
// value of the entry (the two levels the entry format asks for).
std::string ExecArgument(const std::string& argument);

// The entry that starts `program` at login.
std::string AutostartEntry(const std::string& program);

// Writes the entry for `program` at `file` whole (its folder made when missing) when `on`,
// otherwise removes it; a missing file is already off. False with `error` set when it could not.
bool SetAutostart(const std::string& file, bool on, const std::string& program, std::string* error);

}  // namespace plx
