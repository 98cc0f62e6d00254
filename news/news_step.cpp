// The news step of the main timer.
#include "news/news_step.h"

#include "common/clock.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "news/feed_list.h"

namespace plx {

void AnnounceNews(bool newer, SoundPlayer& player) {
    if (!newer) return;
    const Settings& settings = Program().settings;
    if (settings.NEWS_ALARM_MODE <= 0) return;
    if (settings.NEWS_ALARM_SND_F == 1) PlayWave(player, settings.NEWS_ALARM_SND_FNM);
    ShowNotice(SJ("新しいニュースが発表されました！"), NoticeCategory::NewsNotice);
}

NewsStep::NewsStep(NewsPageViewer& viewer, SoundPlayer& player) : viewer_(viewer), player_(player) {}

bool NewsStep::Start() {
    if (worker_.Busy()) return false;
    // The list is read here, on the user-interface thread, where its messages may be shown; the
    // worker gets nothing but copies.
    std::function<FeedsRead(std::stop_token)> read = [addresses = LoadFeedAddresses(),
                                                      startupMark = Program().newsBaseline, limits = limits,
                                                      memory = memory_, now = TickCount()](std::stop_token stop) {
        return ReadFeeds(addresses, startupMark, limits, memory, now, stop);
    };
    return worker_.Start(read, std::function<void(FeedsRead)>([this](FeedsRead done) { Publish(std::move(done)); }));
}

void NewsStep::Publish(FeedsRead done) {
    memory_ = std::move(done.memory);
    bool newer = PublishNews(done.page, viewer_);
    AnnounceNews(newer, player_);
    if (finished) finished(newer);
}

}  // namespace plx
