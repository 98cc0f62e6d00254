// The feed list PLX_RSS.DAT: one feed address per line, CP932, lines ended by CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plx {

// "PLX_RSS.DAT" in the program folder.
std::string FeedListPath();

// The address used when there is no feed list yet.
std::string DefaultFeedAddress();

// The most addresses one read fetches; the lines after them are ignored.
inline constexpr std::size_t kMaxFeedAddresses = 100;

// The addresses to read: the list's first kMaxFeedAddresses lines (a longer list is reported with
// ShowMsg, once per read), or, when the file is missing, the default address, which is then saved
// as the new list. A list that cannot be saved is reported with ShowMsg and the default address
// is still read.
std::vector<std::string> LoadFeedAddresses();

}  // namespace plx
