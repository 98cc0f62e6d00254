// Shared set-up for the news tests: a program folder, a served folder with its HTTP server,
// recorded messages and a viewer that records navigations.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/program_state.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "news/news_reader.h"
#include "tests/support/http_server.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

class RecordingViewer final : public plx::NewsPageViewer {
public:
    int Tag() const override { return static_cast<int>(navigations.size()); }
    void Navigate(const std::string& pagePath) override { navigations.push_back(pagePath); }
    std::vector<std::string> navigations;
};

class NewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        plx::ResetProgram();
        plx::Program().exeFolder = exe.path();
        plx::Program().runState = plx::RunState::Running;
        savedSites = plx::Sites();
    }
    void TearDown() override {
        plx::Sites() = savedSites;
        plx::ResetProgram();
    }

    HttpServer& Server() {
        if (!server) server = std::make_unique<HttpServer>(served.path());
        return *server;
    }
    // Copies a fixture into the served folder and gives its address.
    std::string Serve(const std::string& fixture, const std::string& as = "") {
        std::string name = as.empty() ? fixture : as;
        WriteFile(served.File(name), ReadFile(std::string(PLXTEST_NEWS_FIXTURES) + fixture));
        return Server().Url(name);
    }
    std::string ServeText(const std::string& name, const std::string& bytes) {
        WriteFile(served.File(name), bytes);
        return Server().Url(name);
    }
    void WriteList(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        WriteFile(exe.File("PLX_RSS.DAT"), text);
    }
    // The start-up mark and the news mark, as start-up leaves them.
    void Marks(const std::string& mark) {
        plx::Program().newsBaseline = mark;
        plx::Program().settings.NEWS_LAST_RLSDTTM = mark;
    }
    bool Read(const plx::FetchLimits& limits = {}) {
        plx::NewsReadOptions options;
        options.limits = limits;
        return plx::ReadNews(viewer, options);
    }
    std::string Page() const { return ReadFile(exe.File("PLX_NEWS.html")); }

    TempDir exe;
    TempDir served;
    std::unique_ptr<HttpServer> server;
    RecordingMessages messages;
    RecordingViewer viewer;
    plx::SiteHosts savedSites;
};

// The page's fixed head and tail, CP932.
inline std::string PageHead() {
    return plx::Utf8ToCp932(
        "<html>\n"
        "<head>\n"
        "<title>Pilonix</title>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
        "<link rel=\"stylesheet\" href=\"plx.css\">\n"
        "</head>\n"
        "<body bgcolor=\"#FFFFFF\" MARGINWIDTH=\"0\" MARGINHEIGHT=\"0\" LEFTMARGIN=\"0\" TOPMARGIN=\"0\">\n"
        "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n"
        "  <tr>\n"
        "    <td>【News】</td>\n"
        "  </tr>\n");
}
inline const std::string kPageTail = "</table>\n</body>\n</html>\n";

}  // namespace plxtest
