// The web hosts the program opens or reads: the maker's site, the race-information site,
// the odds site and the news site. Defaults here; the [SITE] section of the settings file
// (keys MAKER_HOST, RACE_HOST, ODDS_HOST, NEWS_HOST) overrides them.
#pragma once

#include <string>

namespace plx {

struct SiteHosts {
    std::string maker = "www.orvent.example";
    std::string race = "race.orvent.example";
    std::string odds = "odds.orvent.example";
    std::string news = "news.orvent.example";
};

// The hosts in use.
SiteHosts& Sites();

// The address of a page on the maker's site; `path` starts with "/".
std::string MakerPage(const std::string& path);

class IniFile;

// Takes the [SITE] overrides of a read settings file; keys that are absent or empty keep the default.
void LoadSiteHosts(const IniFile& settings);

}  // namespace plx
