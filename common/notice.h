// ShowNotice: the one way race, news and racer-watch notices reach the user (the pop-up
// window). The back end is replaceable: the program installs the pop-up window, tests a recorder.
#pragma once

#include <string>

namespace plx {

// Which mode setting governs a notice: ALARM_MODE for race alarms and close warnings,
// NEWS_ALARM_MODE for news and racer-watch notices.
enum class NoticeCategory : int { RaceNotice = 1, NewsNotice = 2 };

class NoticeBackend {
public:
    virtual ~NoticeBackend() = default;
    // `text` is one notice in CP932.
    virtual void Show(const std::string& text, NoticeCategory category) = 0;
};

// Null restores the fallback, which prints the notice to stderr.
void SetNoticeBackend(NoticeBackend* backend);
NoticeBackend* CurrentNoticeBackend();

// Shows one notice (CP932) in the category that decides whether it stays or closes by itself.
void ShowNotice(const std::string& text, NoticeCategory category);

}  // namespace plx
