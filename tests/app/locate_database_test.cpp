// Finding the MARLO folder: the default place, the questions, the folder dialog, the product page.
#include "app/locate_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/program_state.h"
#include "common/sites.h"
#include "tests/app/app_fixture.h"

using namespace plx;
using plxtest::AppFixture;

namespace {

const char* kInstalled =
    "このソフトウェアをお使いいただくためには、Marlobase(MARLO)が必要です。\nMARLOはインストールされていますか？";
const char* kIntroPage =
    "MARLOについて、紹介Webページをご覧になりますか？\n（このソフトはここで終了されますので、MARLOをインストールし、"
    "パソコン再起動後に再度起動してください。）";

// A folder that looks like an installed MARLO: only the database file's presence counts here.
std::string FakeMarlo(AppFixture& f, const std::string& name) {
    std::string folder = f.dir.File(name);
    std::filesystem::create_directories(folder + "/DB");
    plxtest::WriteFile(folder + "/DB/MLDB.FDB", "x");
    return folder;
}

}  // namespace

TEST(LocateDatabase, DefaultFolderIsTakenWithoutAQuestion) {
    AppFixture f;
    std::string folder = FakeMarlo(f, "orvent/MARLO") + "/";
    EXPECT_TRUE(LocateDatabase(folder));
    EXPECT_EQ(Program().settings.MARLO, folder);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_TRUE(f.dialogs.folderStarts.empty());
}

TEST(LocateDatabase, ChosenFolderGetsItsTrailingSlash) {
    AppFixture f;
    std::string chosen = FakeMarlo(f, "D/MARLO");  // no trailing "/"
    f.dialogs.answers.push_back(chosen);
    EXPECT_TRUE(LocateDatabase(f.dir.File("absent/")));
    EXPECT_EQ(Program().settings.MARLO, chosen + "/");
    EXPECT_EQ(f.messages.Utf8Texts(), std::vector<std::string>{kInstalled});
    EXPECT_EQ(f.dialogs.folderStarts, std::vector<std::string>{""});  // starts at the (empty) MARLO folder
}

TEST(LocateDatabase, EveryWayOfNotFindingItEndsEmpty) {
    struct Case {
        const char* name;
        std::vector<int> answers;
        bool chooseFolderWithoutDatabase;
        std::vector<std::string> texts;
        size_t pagesOpened;
    } cases[] = {
        {"folder without the database", {kMsgOk}, true, {kInstalled, "ご指定のフォルダにはMARLOが見つかりません。"}, 0},
        {"folder dialog cancelled",
         {kMsgOk},
         false,
         {kInstalled,
          "誠に申し訳ございませんが、MARLOのインストール先フォルダをご指定いただくまで、このソフトはお使いいただけませ"
          "ん。"},
         0},
        {"not installed, page wanted", {kMsgCancel, kMsgOk}, false, {kInstalled, kIntroPage}, 1},
        {"not installed, page not wanted", {kMsgCancel, kMsgCancel}, false, {kInstalled, kIntroPage}, 0},
    };
    for (const auto& c : cases) {
        AppFixture f;
        Sites().maker = "maker.test";
        f.messages.answers.assign(c.answers.begin(), c.answers.end());
        if (c.chooseFolderWithoutDatabase) f.dialogs.answers.push_back(f.dir.File("empty"));
        EXPECT_FALSE(LocateDatabase(f.dir.File("absent/"))) << c.name;
        EXPECT_EQ(Program().settings.MARLO, "") << c.name;
        EXPECT_EQ(f.messages.Utf8Texts(), c.texts) << c.name;
        ASSERT_EQ(f.browser.opened.size(), c.pagesOpened) << c.name;
        if (c.pagesOpened) {
            EXPECT_EQ(f.browser.opened[0].toString(), "http://maker.test/products/marlo/");
        }
    }
}
