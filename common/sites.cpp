// Web hosts with their overrides from the settings file.
#include "common/sites.h"

#include "common/ini_file.h"

namespace plx {

SiteHosts& Sites() {
    static SiteHosts hosts;
    return hosts;
}

std::string MakerPage(const std::string& path) {
    return "http://" + Sites().maker + path;
}

void LoadSiteHosts(const IniFile& settings) {
    SiteHosts& hosts = Sites();
    auto take = [&](const char* key, std::string& host) {
        std::string value = settings.Get("SITE", key, "");
        if (!value.empty()) host = value;
    };
    take("MAKER_HOST", hosts.maker);
    take("RACE_HOST", hosts.race);
    take("ODDS_HOST", hosts.odds);
    take("NEWS_HOST", hosts.news);
}

}  // namespace plx
