// The feed list file: reading, writing and the default list.
#include "news/feed_list.h"

#include <sys/stat.h>

#include "common/files.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {
namespace {

// A hundred addresses fit in far less; the cap keeps a runaway file from being read whole
// every minute.
constexpr std::size_t kFeedListByteLimit = 1 << 20;

// The list's first lines: at most kMaxFeedAddresses, from its first kFeedListByteLimit bytes (a
// line cut by that limit is dropped). `longer` tells whether the file held more.
std::vector<std::string> FirstAddresses(std::string bytes, bool* longer) {
    *longer = bytes.size() > kFeedListByteLimit;
    if (*longer) {
        bytes.resize(kFeedListByteLimit);
        std::size_t lastEnd = bytes.find_last_of("\r\n");
        bytes.erase(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    std::vector<std::string> lines = SplitLines(bytes);
    if (lines.size() > kMaxFeedAddresses) {
        lines.resize(kMaxFeedAddresses);
        *longer = true;
    }
    return lines;
}

}  // namespace

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
        std::string bytes;
        // A list that exists but cannot be read is never replaced by the default one.
        if (ReadFileBytes(path, &bytes, kFeedListByteLimit + 1) != FileRead::Ok) {
            ShowMsg(SJ("RSSリストファイルの読み込みに失敗しました。[") + path + "]");
            return lines;
        }
        bool longer = false;
        lines = FirstAddresses(std::move(bytes), &longer);
        if (longer)
            ShowMsg(SJ("RSSリストファイルのアドレスは") + std::to_string(kMaxFeedAddresses) +
                    SJ("件までです。それより後の行は読み込みません。[") + path + "]");
        return lines;
    }
    lines.push_back(DefaultFeedAddress());
    std::string error;
    if (!WriteFileLines(path, lines, &error)) ShowMsg(SJ("RSSリストファイルの書き込みに失敗しました。[") + error + "]");
    return lines;
}

}  // namespace plx
