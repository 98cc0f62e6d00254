// Feeds served by a real HTTP server whose item dates are not dates: nothing of them reaches the
// settings file as more than one value, or the page as markup, and real news is still news after.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

#include "common/settings_store.h"
#include "common/textutil.h"
#include "news_fixture.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::WriteFile;

namespace {

std::string RdfFeed(const std::string& channelTitle, const std::vector<std::string>& dates) {
    std::string items;
    int n = 0;
    for (const std::string& date : dates) {
        ++n;
        items += "<item><title>item " + std::to_string(n) + "</title><link>http://n.example/" + std::to_string(n) +
                 "</link><dc:date>" + date + "</dc:date></item>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\""
           " xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<channel><title>" +
           channelTitle + "</title><link>http://n.example/</link></channel>\n" + items + "</rdf:RDF>\n";
}

// Section and key names of an INI text, in file order.
std::vector<std::string> SectionsAndKeys(const std::string& ini) {
    std::vector<std::string> names;
    for (const std::string& line : SplitLines(ini)) {
        if (line.empty()) continue;
        size_t equals = line.find('=');
        names.push_back(line[0] == '[' ? line : line.substr(0, equals));
    }
    return names;
}

// The names of every tag in an HTML text.
std::set<std::string> TagNames(const std::string& html) {
    std::set<std::string> names;
    for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        size_t start = html.find_first_not_of(" /", at + 1);
        size_t end = start;
        while (end < html.size() && std::isalnum(static_cast<unsigned char>(html[end]))) ++end;
        if (end > start) names.insert(html.substr(start, end - start));
    }
    return names;
}

class HostileDates : public plxtest::NewsTest {
protected:
    void SetUp() override {
        plxtest::NewsTest::SetUp();
        WriteFile(settingsPath(),
                  "[DIR]\nMARLO=/m/\n[SETTING]\nALARM_MODE=1\nNEWS_LAST_RLSDTTM=20260101000000\n"
                  "SET_RCOURSECD1=01\n[WINDOW]\nWIDTH=500\n");
        LoadSettings();
    }
    std::string settingsPath() const { return exe.File("plx.INI"); }
    void LoadSettings() { ApplyLoadedSettings(SettingsStore(settingsPath()).Load(exe.path())); }
    // The program-end save, with what the run left in memory.
    void SaveAtEnd() {
        std::string error;
        ASSERT_TRUE(SettingsStore(settingsPath())
                        .SaveProgramEnd(0, 0, "/m/", Program().settings.NEWS_LAST_RLSDTTM, Program().slotVenue, &error))
            << error;
    }
};

}  // namespace

TEST_F(HostileDates, NeverReachTheSettingsFileOrThePageAndRealNewsIsStillNew) {
    SaveAtEnd();
    const std::vector<std::string> keys = SectionsAndKeys(ReadFile(settingsPath()));

    WriteList({ServeText("hostile.rdf", RdfFeed("onload=alert(1)", {"z&#10;ALARM_MODE=0", "9&#10;[Q]&#10;",
                                                                    "&lt;svg a=1 b", "20991231235959&#10;X=1"}))});
    // Two runs, each ended by the program-end save, as when the fault was seen.
    for (int run = 0; run < 2; ++run) {
        EXPECT_FALSE(Read());
        SaveAtEnd();
        LoadSettings();
    }
    EXPECT_EQ(SectionsAndKeys(ReadFile(settingsPath())), keys) << ReadFile(settingsPath());
    EXPECT_EQ(Program().settings.ALARM_MODE, 1);
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20260101000000");
    EXPECT_EQ(TagNames(Page()),
              (std::set<std::string>{"html", "head", "title", "meta", "link", "body", "table", "tr", "td", "a", "br"}))
        << Page();
    EXPECT_EQ(Page().find("onload=alert(1)<br>"), std::string::npos);

    // The next real item is news.
    ServeText("hostile.rdf", RdfFeed("onload=alert(1)", {"2026-12-09T10:00:00+09:00", "z&#10;ALARM_MODE=0"}));
    EXPECT_TRUE(Read());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20261209100000");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(HostileDates, AMarkSpoiledByAnEarlierVersionIsResetAndRealNewsIsNewAgain) {
    WriteFile(settingsPath(), "[SETTING]\nALARM_MODE=1\nNEWS_LAST_RLSDTTM=zALARM_MODE=0\n");
    LoadSettings();
    EXPECT_EQ(Program().newsBaseline, "000000000000");
    WriteList({ServeText("real.rdf", RdfFeed("News", {"2026-12-09T10:00:00+09:00"}))});
    EXPECT_TRUE(Read());
    EXPECT_EQ(Program().settings.NEWS_LAST_RLSDTTM, "20261209100000");
}
