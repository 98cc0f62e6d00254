// The news step of the main timer: the read runs in the background, and what follows it (the page,
// the view, the news mark, the sound and the notice) happens back on the user-interface thread.
#pragma once

#include <functional>

#include "common/shell/background_worker.h"
#include "common/shell/sound_player.h"
#include "news/news_reader.h"

namespace plx {

// When newer news arrived and NEWS_ALARM_MODE is above 0: plays NEWS_ALARM_SND_FNM (when
// NEWS_ALARM_SND_F is 1) and shows "新しいニュースが発表されました！" as a news notice.
void AnnounceNews(bool newer, SoundPlayer& player);

class NewsStep {
public:
    NewsStep(NewsPageViewer& viewer, SoundPlayer& player);

    // The tick's news step. Takes the feed list (PLX_RSS.DAT, created when missing) and starts
    // fetching and parsing it on a worker thread, with a copy of what the earlier reads of the run
    // remember of the feeds (their validators, items and quiet times), then returns. When the read is done, its page is
    // published and announced (PublishNews, AnnounceNews) as a queued event. A read that falls due
    // while the previous one is still in flight is skipped, not queued: false is returned then.
    bool Start();

    // True while a read is in flight (started and not yet published).
    bool Busy() const { return worker_.Busy(); }

    // Stops a read in flight at once: its transfers are aborted and nothing of it is published.
    void Abort() { worker_.Abort(); }

    FetchLimits limits;
    // Told after each read has been published and announced, with the result of PublishNews.
    std::function<void(bool newer)> finished;

private:
    void Publish(FeedsRead done);

    NewsPageViewer& viewer_;
    SoundPlayer& player_;
    FeedMemories memory_;      // what the reads of the run remember of each feed; the worker gets a copy
    BackgroundWorker worker_;  // last: stopped before the rest goes
};

}  // namespace plx
