// The watch list as the settings dialog edits it: the racer lookup that makes a new line, the
// list's order, and the list file written whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plx {

// The five-digit key for the registration number typed in, or nothing when the text is not a
// whole number above 0 (empty text, "0", "-5", letters, a number too large for an integer).
std::optional<std::string> RacerKeyOf(const std::string& typed);

// The line to add for `key`: key + ":" + the racer's name from RIDER (looked up on the data
// module's sq_cfg). An unknown racer, or a lookup that failed, asks whether to add the number
// anyway; the line then has an empty name, and nothing comes back when the answer is Cancel.
std::optional<std::string> LookUpRacerLine(const std::string& key);

// Puts `line` into the sorted `lines` after any equal ones, and returns its position. Lines
// compare by their bytes, which puts the five-digit keys in number order.
std::size_t InsertSorted(std::vector<std::string>& lines, std::string line);

// Sorts lines read from the file the same way.
void SortLines(std::vector<std::string>& lines);

}  // namespace plx
