// Venue table.
#include "common/venue.h"

#include <gtest/gtest.h>

#include "common/sjis.h"

using namespace plx;

TEST(Venue, NamesByExactCode) {
    EXPECT_EQ(Cp932ToUtf8(VenueName("01")), "桐生");
    EXPECT_EQ(Cp932ToUtf8(VenueName("12")), "住之江");
    EXPECT_EQ(Cp932ToUtf8(VenueName("24")), "大村");
    for (const char* bad : {"1", "00", "25", "", " 1", "01 "}) EXPECT_EQ(VenueName(bad), "") << bad;
    EXPECT_EQ(Cp932ToUtf8(VenueNameOf(7)), "蒲郡");
    EXPECT_EQ(VenueNameOf(0), "");
    EXPECT_EQ(VenueNameOf(99), "");
    for (int i = 1; i <= 24; ++i) EXPECT_FALSE(VenueNameOf(i).empty()) << i;
}
