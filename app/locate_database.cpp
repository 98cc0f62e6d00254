// Finding the MARLO folder: the default place, else the user's answer and choice.
#include "app/locate_database.h"

#include <filesystem>
#include <optional>

#include "common/message.h"
#include "common/program_state.h"
#include "common/shell/browser.h"
#include "common/shell/file_dialogs.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "data/marlo_ini.h"

namespace plx {
namespace {

bool DatabaseExists(const std::string& marloFolder) {
    std::error_code ec;
    auto status = std::filesystem::status(MarloDatabasePath(marloFolder), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace

bool LocateDatabase(const std::string& defaultFolder) {
    std::string& marlo = Program().settings.MARLO;
    if (DatabaseExists(defaultFolder)) {
        marlo = defaultFolder;
        return true;
    }
    if (ShowMsg(SJ("このソフトウェアをお使いいただくためには、Marlobase(MARLO)が必要です。\n"
                   "MARLOはインストールされていますか？")) == kMsgOk) {
        std::optional<std::string> chosen = ChooseFolder(marlo);
        if (chosen && !chosen->empty()) {
            marlo = *chosen;
            if (marlo.back() != '/') marlo += '/';
            if (DatabaseExists(marlo)) return true;
            ShowMsg(SJ("ご指定のフォルダにはMARLOが見つかりません。"));
        } else {
            ShowMsg(
                SJ("誠に申し訳ございませんが、MARLOのインストール先フォルダをご指定いただくまで、"
                   "このソフトはお使いいただけません。"));
        }
    } else if (ShowMsg(SJ("MARLOについて、紹介Webページをご覧になりますか？\n"
                          "（このソフトはここで終了されますので、MARLOをインストールし、"
                          "パソコン再起動後に再度起動してください。）")) == kMsgOk) {
        OpenBrowser(MakerPage("/products/marlo/"));
    }
    marlo.clear();
    return false;
}

}  // namespace plx
