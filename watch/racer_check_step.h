// The racer-check step of the main timer: the check at its interval, the hit notice and the mail.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/settings.h"
#include "mail/send_mail.h"

namespace plx {

// What the step does to the window and the world besides the notice and the mail.
struct RacerCheckOutputs {
    std::function<void()> hourglassCursor;
    std::function<void()> normalCursor;
    // Replaces the lines of the check memo m_chk: called with none before the check, then with
    // the report.
    std::function<void(const std::vector<std::string>& lines)> setMemo;
    std::function<void(const std::string& wavePath)> playWave;
    // The check itself; CheckRacers when empty.
    std::function<int(std::vector<std::string>& memo)> check;
    // Sends the mail that FillMail has just put into the client and the message. The program
    // sends it in the background (MailWorker), so the step returns before the mail has gone; when
    // empty, it is sent in place and the step waits for it.
    std::function<void(const SmtpClient& client, const MailMessage& message)> sendMail;
};

// Lives for one run of the program.
struct RacerCheckState {
    bool hitAnnounced = false;
};

// True when CHK_F is 1, CHK_INTERVAL is above 0 and at least that many whole minutes have passed
// since the tick count of the last check.
bool RacerCheckDue(const Settings& settings, std::int64_t lastCheckTick, std::int64_t now);

// The step: when the program is running and a check is due, runs it with the hourglass shown,
// announces the first hit of the run (under the news notice settings), sets the check clock and
// mails the report (through `outputs.sendMail`) when SMTP_HOST and MAIL_ADRS1 are set. Returns true
// when a check ran.
bool RunRacerCheckStep(RacerCheckState& state, SmtpClient& id_smtp, MailMessage& id_msg,
                       const RacerCheckOutputs& outputs);

}  // namespace plx
