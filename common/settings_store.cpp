// Settings file load and saves.
#include "common/settings_store.h"

#include <algorithm>
#include <climits>

#include "common/ini_file.h"
#include "common/textutil.h"

namespace plx {
namespace {

int ToInt(const std::string& text) {
    long long value = TextToInt(text);
    return (value < INT_MIN || value > INT_MAX) ? 0 : static_cast<int>(value);
}

// The settings file holds mail addresses: a new one is for its owner's eyes only.
constexpr unsigned kSettingsFileMode = 0600;

// A folder always ends in "/", even when typed by hand without it.
std::string AsFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The news mark is a date-time of 12 or 14 digits; anything else (left by an earlier version that
// took a feed's date text as it came) would keep every real item from ever being new.
std::string AsNewsMark(const std::string& mark, const std::string& fallback) {
    bool digits = std::all_of(mark.begin(), mark.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && (mark.size() == 12 || mark.size() == 14) ? mark : fallback;
}

}  // namespace

std::string SettingsPathForExe(const std::string& exePath) {
    size_t slash = exePath.rfind('/');
    size_t dot = exePath.rfind('.');
    std::string base =
        (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ? exePath.substr(0, dot) : exePath;
    return base + ".INI";
}

Settings SettingsStore::Load(const std::string& exeFolder) const {
    return ReadSettings(IniFile(path_), exeFolder);
}

Settings ReadSettings(const IniFile& ini, const std::string& exeFolder) {
    Settings s;
    auto text = [&](const char* section, const char* key, const std::string& fallback) {
        return ini.Get(section, key, fallback);
    };
    auto number = [&](const char* section, const char* key, const char* fallback) {
        return ToInt(ini.Get(section, key, fallback));
    };
    s.MARLO = AsFolder(text("DIR", "MARLO", ""));
    s.LEFT = number("WINDOW", "LEFT", "0");
    s.TOP = number("WINDOW", "TOP", "0");
    s.WIDTH = number("WINDOW", "WIDTH", "240");
    s.HEIGHT = number("WINDOW", "HEIGHT", "320");
    s.AUTO_START_F = number("SETTING", "AUTO_START_F", "0");
    s.AUTOSTART_F = number("SETTING", "AUTOSTART_F", "0");
    s.MSG_LOCATE = number("SETTING", "MSG_LOCATE", "5");
    s.ALARM_MIN = number("SETTING", "ALARM_MIN", "5");
    s.ALARM_MODE = number("SETTING", "ALARM_MODE", "1");
    s.ALARM_SND_F = number("SETTING", "ALARM_SND_F", "0");
    s.ALARM_INFO_F = number("SETTING", "ALARM_INFO_F", "1");
    s.ALARM_RFD_F = number("SETTING", "ALARM_RFD_F", "1");
    s.TIMER_F = number("SETTING", "TIMER_F", "0");
    s.TIMER_MIN = number("SETTING", "TIMER_MIN", "5");
    s.TIMER_SND_F = number("SETTING", "TIMER_SND_F", "0");
    s.NEWS_ALARM_MODE = number("SETTING", "NEWS_ALARM_MODE", "2");
    s.NEWS_ALARM_SND_F = number("SETTING", "NEWS_ALARM_SND_F", "0");
    s.ODDS_MULTI_WINDOW_F = number("SETTING", "ODDS_MULTI_WINDOW_F", "0");
    s.ALARM_SND_FNM = text("SETTING", "ALARM_SND_FNM", exeFolder + "Snd/mw4.wav");
    s.TIMER_SND_FNM = text("SETTING", "TIMER_SND_FNM", exeFolder + "Snd/mw3.wav");
    s.NEWS_ALARM_SND_FNM = text("SETTING", "NEWS_ALARM_SND_FNM", "");
    s.CHK_F = number("SETTING", "CHK_F", "0");
    s.CHK_INTERVAL = number("SETTING", "CHK_INTERVAL", "60");
    s.NEWS_LAST_RLSDTTM = AsNewsMark(text("SETTING", "NEWS_LAST_RLSDTTM", "000000000000"), "000000000000");
    s.SMTP_HOST = text("SETTING", "SMTP_HOST", "");
    s.SMTP_USER = text("SETTING", "SMTP_USER", "");
    s.MAIL_ADRS1 = text("SETTING", "MAIL_ADRS1", "");
    s.MAIL_ADRS2 = text("SETTING", "MAIL_ADRS2", "");
    s.SMTP_PORT = number("SETTING", "SMTP_PORT", "0");
    s.SMTP_SECURITY = number("SETTING", "SMTP_SECURITY", "0");
    s.SMTP_LOGIN = number("SETTING", "SMTP_LOGIN", "0");
    s.SMTP_PSWD = text("SETTING", "SMTP_PSWD", "");
    s.MAIL_FROM = text("SETTING", "MAIL_FROM", "pilonix@localhost");
    s.AUTO_QUIT_F = number("SETTING", "AUTO_QUIT_F", "0");
    s.SET_RCOURSECD1 = number("SETTING", "SET_RCOURSECD1", "1");
    s.SET_RCOURSECD2 = number("SETTING", "SET_RCOURSECD2", "2");
    s.SET_RCOURSECD3 = number("SETTING", "SET_RCOURSECD3", "3");
    return s;
}

bool SettingsStore::SaveProgramEnd(int left, int top, const std::string& marloFolder, const std::string& newsStamp,
                                   const std::array<int, 3>& slotVenue, std::string* error) const {
    IniFile ini(path_);
    ini.Set("WINDOW", "LEFT", std::to_string(left));
    ini.Set("WINDOW", "TOP", std::to_string(top));
    ini.Set("DIR", "MARLO", marloFolder);
    ini.Set("SETTING", "NEWS_LAST_RLSDTTM", newsStamp);
    ini.Set("SETTING", "SET_RCOURSECD1", ZeroPad(slotVenue[0], 2));
    ini.Set("SETTING", "SET_RCOURSECD2", ZeroPad(slotVenue[1], 2));
    ini.Set("SETTING", "SET_RCOURSECD3", ZeroPad(slotVenue[2], 2));
    return ini.Save(error, kSettingsFileMode);
}

bool SettingsStore::SaveDialog(const Settings& v, std::string* error) const {
    IniFile ini(path_);
    auto put = [&](const char* key, int value) { ini.Set("SETTING", key, std::to_string(value)); };
    put("AUTO_START_F", v.AUTO_START_F);
    put("MSG_LOCATE", v.MSG_LOCATE);
    put("ALARM_MIN", v.ALARM_MIN);
    put("ALARM_MODE", v.ALARM_MODE);
    put("ALARM_SND_F", v.ALARM_SND_F);
    put("ALARM_INFO_F", v.ALARM_INFO_F);
    put("ALARM_RFD_F", v.ALARM_RFD_F);
    put("TIMER_F", v.TIMER_F);
    put("TIMER_MIN", v.TIMER_MIN);
    put("TIMER_SND_F", v.TIMER_SND_F);
    put("NEWS_ALARM_MODE", v.NEWS_ALARM_MODE);
    put("NEWS_ALARM_SND_F", v.NEWS_ALARM_SND_F);
    put("ODDS_MULTI_WINDOW_F", v.ODDS_MULTI_WINDOW_F);
    ini.Set("SETTING", "ALARM_SND_FNM", v.ALARM_SND_FNM);
    ini.Set("SETTING", "TIMER_SND_FNM", v.TIMER_SND_FNM);
    ini.Set("SETTING", "NEWS_ALARM_SND_FNM", v.NEWS_ALARM_SND_FNM);
    put("CHK_F", v.CHK_F);
    put("CHK_INTERVAL", v.CHK_INTERVAL);
    put("AUTOSTART_F", v.AUTOSTART_F);
    return ini.Save(error, kSettingsFileMode);
}

}  // namespace plx
