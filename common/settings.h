// The program's settings values, one field per INI key, with the defaults of a missing file.
#pragma once

#include <string>

namespace plx {

struct Settings {
    // [DIR]
    std::string MARLO;  // MARLO installation folder with a trailing "/", empty until found
    // [WINDOW]
    int LEFT = 0;
    int TOP = 0;
    int WIDTH = 240;
    int HEIGHT = 320;
    // [SETTING]
    int AUTO_START_F = 0;
    int AUTOSTART_F = 0;  // start with the desktop session (the user's autostart entry)
    int MSG_LOCATE = 5;
    int ALARM_MIN = 5;
    int ALARM_MODE = 1;
    int ALARM_SND_F = 0;
    int ALARM_INFO_F = 1;
    int ALARM_RFD_F = 1;
    int TIMER_F = 0;
    int TIMER_MIN = 5;
    int TIMER_SND_F = 0;
    int NEWS_ALARM_MODE = 2;
    int NEWS_ALARM_SND_F = 0;
    int ODDS_MULTI_WINDOW_F = 0;
    std::string ALARM_SND_FNM;  // default: ExeFolder + "Snd/mw4.wav"
    std::string TIMER_SND_FNM;  // default: ExeFolder + "Snd/mw3.wav"
    std::string NEWS_ALARM_SND_FNM;
    int CHK_F = 0;
    int CHK_INTERVAL = 60;
    std::string NEWS_LAST_RLSDTTM = "000000000000";
    std::string SMTP_HOST;
    std::string SMTP_USER;
    std::string MAIL_ADRS1;
    std::string MAIL_ADRS2;
    int SMTP_PORT = 0;      // 0: the port written in SMTP_HOST, else the usual one
    int SMTP_SECURITY = 0;  // 0 plain, 1 STARTTLS required, 2 TLS from the start
    int SMTP_LOGIN = 0;
    std::string SMTP_PSWD;  // in memory: the login password, wherever it is kept
    std::string MAIL_FROM = "pilonix@localhost";
    int AUTO_QUIT_F = 0;
    int SET_RCOURSECD1 = 1;
    int SET_RCOURSECD2 = 2;
    int SET_RCOURSECD3 = 3;
};

}  // namespace plx
