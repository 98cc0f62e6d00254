// The feed list file: reading, writing and the default list.
#include "news/feed_list.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "common/files.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {

std::string FeedListPath() {
    return Program().exeFolder + "PLX_RSS.DAT";
}

std::string DefaultFeedAddress() {
    return "http://" + Sites().news + "/news/gtn200.rdf";
}

std::vector<std::string> LoadFeedAddresses() {
    const std::string path = FeedListPath();
    std::vector<std::string> lines;
    struct stat info {};
    bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists) {
        // A list that exists but cannot be read is never replaced by the default one.
        if (ReadFileLines(path, &lines) != FileRead::Ok)
            ShowMsg(SJ("RSSリストファイルの読み込みに失敗しました。[") + path + "]");
        return lines;
    }
    lines.push_back(DefaultFeedAddress());
    std::string error;
    if (!WriteFileLines(path, lines, &error)) ShowMsg(SJ("RSSリストファイルの書き込みに失敗しました。[") + error + "]");
    return lines;
}

}  // namespace plx
