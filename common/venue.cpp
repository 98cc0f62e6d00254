// Venue table.
#include "common/venue.h"

#include <array>

#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {
namespace {

const char* const kVenueNamesUtf8[kVenueCount] = {
    "桐生", "戸田", "江戸川", "平和島", "多摩川", "浜名湖", "蒲郡", "常滑", "津",   "三国", "琵琶湖", "住之江",
    "尼崎", "鳴門", "丸亀",   "児島",   "宮島",   "徳山",   "下関", "若松", "芦屋", "福岡", "唐津",   "大村",
};

}  // namespace

std::string VenueName(const std::string& venueCode) {
    static const auto names = [] {
        std::array<std::string, kVenueCount> converted;
        for (int i = 0; i < kVenueCount; ++i) converted[i] = Utf8ToCp932(kVenueNamesUtf8[i]);
        return converted;
    }();
    for (int i = 0; i < kVenueCount; ++i)
        if (venueCode == ZeroPad(i + 1, 2)) return names[i];
    return {};
}

std::string VenueNameOf(int venueNumber) {
    if (venueNumber < 1 || venueNumber > kVenueCount) return {};
    return VenueName(ZeroPad(venueNumber, 2));
}

}  // namespace plx
