// The 24 boat-race venues, by their two-digit venue code "01" to "24".
#pragma once

#include <string>

namespace plx {

constexpr int kVenueCount = 24;

// Name of the venue in CP932, or empty text for any other code (no trimming, no padding).
std::string VenueName(const std::string& venueCode);

// Name for a venue number 1 to 24, or empty text outside that range.
std::string VenueNameOf(int venueNumber);

}  // namespace plx
