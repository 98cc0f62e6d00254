// Item dates of every feed format on one clock: W3C and RFC 822 dates as Japan time, whatever the
// machine's time zone, and everything else as no date.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>

#include "news/feed_parse.h"

using namespace plx;

namespace {

struct DateCase {
    const char* text;
    const char* mark;
};

const DateCase kDates[] = {
    // What an RDF feed carries today keeps its mark exactly.
    {"2006-09-24T15:35:00+09:00", "20060924153500"},
    {"2006-09-24T15:35+09:00", "20060924153500"},
    {"2006-09-24T15:35:00.123+09:00", "20060924153500"},
    {"  2006-09-24T15:35:00+09:00\n", "20060924153500"},
    {"20060924153500", "20060924153500"},
    // Other zones are brought to Japan time, across days, months and years.
    {"2006-09-24T06:35:00+00:00", "20060924153500"},
    {"2006-09-24T06:35:00Z", "20060924153500"},
    {"2006-09-24T06:35Z", "20060924153500"},
    {"2006-12-31T20:00:00-05:00", "20070101100000"},
    {"2008-02-28T20:00:00Z", "20080229050000"},
    {"2007-02-28T20:00:00Z", "20070301050000"},
    {"2006-09-24T15:35:00+0530", "20060924190500"},
    // Without a zone, or without a time, it is Japan time.
    {"2006-09-24T15:35:00", "20060924153500"},
    {"2006-09-24", "20060924000000"},
    // RFC 822 with named and numeric zones, with or without the day name and the seconds.
    {"Sun, 24 Sep 2006 06:35:00 GMT", "20060924153500"},
    {"Sun, 24 Sep 2006 15:35:00 +0900", "20060924153500"},
    {"24 Sep 2006 15:35 +0900", "20060924153500"},
    {"Sat, 23 Sep 2006 21:35:00 EDT", "20060924103500"},
    {"Sat, 23 Sep 2006 21:35:00 -0400", "20060924103500"},
    {"Sun, 24 Sep 2006 06:35:00 UT", "20060924153500"},
    {"sun, 24 sep 2006 06:35:00 gmt", "20060924153500"},
    {"Sun, 24 Sep 06 06:35:00 GMT", "20060924153500"},
    {"Sun, 4 Sep 2006 15:35:00 JST", "20060904153500"},
    {"Sun, 24 Sep 2006 15:35:00", "20060924153500"},
    {"Mon, 01 Jan 2007 00:30:00 +0000 (UTC)", "20070101093000"},
    // Not dates.
    {"", kNoDate},
    {"yesterday", kNoDate},
    {"2006", kNoDate},
    {"2006-09-24T15:35:00+09:00 and more", kNoDate},
    {"2006-09-24T15:35:00+0", kNoDate},
    {"2006-02-30T00:00:00Z", kNoDate},
    {"2006-13-01", kNoDate},
    {"2006-09-24T24:00:00Z", kNoDate},
    {"2006-09-24T15:60:00Z", kNoDate},
    {"9999-12-31T10:00:00Z", "99991231190000"},
    {"9999-12-31T23:00:00Z", kNoDate},  // past the four-digit year in Japan
    {"Sun, 24 Foo 2006 06:35:00 GMT", kNoDate},
    {"Sun, 24 Sep 2006 06:35:00 XYZ", kNoDate},
    {"Sun, 24 Sep 2006", kNoDate},
    {"z\nALARM_MODE=0", kNoDate},
    {"20991231235959\nX=1", kNoDate},
    {"２００６-09-24", kNoDate},
};

class ZoneOfTheMachine {
public:
    explicit ZoneOfTheMachine(const char* zone) {
        if (const char* old = getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneOfTheMachine() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

}  // namespace

TEST(FeedDates, EveryFormOnJapanTimeAndTheRestAsNoDate) {
    for (const char* zone : {"Asia/Tokyo", "America/New_York", "UTC"}) {
        ZoneOfTheMachine machine(zone);
        for (const DateCase& c : kDates) EXPECT_EQ(ItemDate(c.text), c.mark) << c.text << " (" << zone << ")";
    }
}
