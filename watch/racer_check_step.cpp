// The racer-check step of the main timer.
#include "watch/racer_check_step.h"

#include "common/clock.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "mail/mail_settings.h"
#include "watch/check_racers.h"

namespace plx {

bool RacerCheckDue(const Settings& settings, std::int64_t lastCheckTick, std::int64_t now) {
    if (settings.CHK_F != 1 || settings.CHK_INTERVAL <= 0) return false;
    // Unsigned, as the tick count of the system is: a clock that went back counts as a long wait.
    auto minutes = static_cast<std::uint64_t>(now - lastCheckTick) / 1000 / 60;
    return minutes >= static_cast<std::uint64_t>(settings.CHK_INTERVAL);
}

bool RunRacerCheckStep(RacerCheckState& state, SmtpClient& id_smtp, MailMessage& id_msg,
                       const RacerCheckOutputs& outputs) {
    ProgramState& program = Program();
    if (program.runState != RunState::Running) return false;
    if (!RacerCheckDue(program.settings, program.lastCheckTick, TickCount())) return false;

    if (outputs.hourglassCursor) outputs.hourglassCursor();
    std::vector<std::string> memo;
    if (outputs.setMemo) outputs.setMemo(memo);
    int found = outputs.check ? outputs.check(memo) : CheckRacers(memo);
    if (outputs.setMemo) outputs.setMemo(memo);

    const Settings& settings = program.settings;
    if (found > 0 && !state.hitAnnounced && settings.NEWS_ALARM_MODE > 0) {
        if (settings.NEWS_ALARM_SND_F == 1 && outputs.playWave) outputs.playWave(settings.NEWS_ALARM_SND_FNM);
        ShowNotice(SJ("チェック選手の出走予定があります！"), NoticeCategory::NewsNotice);
        state.hitAnnounced = true;
    }
    program.lastCheckTick = TickCount();
    if (!settings.SMTP_HOST.empty() && !settings.MAIL_ADRS1.empty()) {
        std::string subject = SJ("Pilonix チェック");
        ConfigureClient(id_smtp, settings);
        if (outputs.sendMail) {
            FillMail(id_smtp, id_msg, settings.SMTP_HOST, settings.SMTP_USER, settings.MAIL_ADRS1, settings.MAIL_ADRS2,
                     subject, JoinLines(memo));
            outputs.sendMail(id_smtp, id_msg);
        } else {
            SendMail(id_smtp, id_msg, settings.SMTP_HOST, settings.SMTP_USER, settings.MAIL_ADRS1, settings.MAIL_ADRS2,
                     subject, JoinLines(memo));
        }
    }
    if (outputs.normalCursor) outputs.normalCursor();
    return true;
}

}  // namespace plx
