// The news step of the main timer.
#include "news/news_step.h"

#include "common/notice.h"
#include "common/program_state.h"
#include "common/shell/sound_player.h"
#include "common/sjis.h"

namespace plx {

void RunNewsStep(NewsView& view, SoundPlayer& player, const FetchLimits& limits) {
    if (!ReadNewsInto(view, limits)) return;
    const Settings& settings = Program().settings;
    if (settings.NEWS_ALARM_MODE <= 0) return;
    if (settings.NEWS_ALARM_SND_F == 1) PlayWave(player, settings.NEWS_ALARM_SND_FNM);
    ShowNotice(SJ("新しいニュースが発表されました！"), NoticeCategory::NewsNotice);
}

}  // namespace plx
