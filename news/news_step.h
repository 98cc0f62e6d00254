// The news step of the main timer: read the news and announce newer news.
#pragma once

#include "common/shell/sound_player.h"
#include "news/news_view.h"

namespace plx {

// ReadNews into the news tab; when newer news arrived and NEWS_ALARM_MODE is above 0, plays
// NEWS_ALARM_SND_FNM (when NEWS_ALARM_SND_F is 1) and shows "新しいニュースが発表されました！"
// as a news notice. The caller decides when (the first tick, then once a minute).
void RunNewsStep(NewsView& view, SoundPlayer& player, const FetchLimits& limits = {});

}  // namespace plx
