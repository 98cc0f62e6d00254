// The one place where the other modules meet the main window.
#include "app/module_wiring.h"

#include <QPlainTextEdit>
#include <memory>

#include "app/main_window.h"
#include "board/alarm_engine.h"
#include "board/day_change.h"
#include "board/notice_window.h"
#include "board/odds_board.h"
#include "board/race_board.h"
#include "board/race_schedule.h"
#include "board/timetable_file.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/shell/cursor.h"
#include "common/shell/qt_text.h"
#include "common/shell/sound_player.h"
#include "common/sjis.h"
#include "dialogs/about_box.h"
#include "dialogs/settings_dialog.h"
#include "mail/mail_message.h"
#include "mail/mail_worker.h"
#include "mail/password_store.h"
#include "mail/smtp_client.h"
#include "news/news_step.h"
#include "news/news_view.h"
#include "watch/racer_check_step.h"

namespace plx {
namespace {

// Where the alarm pass stopped and which day the timetable holds, kept by the tick's steps.
struct BoardDay {
    AlarmPassState alarms;
    DayWatch day;
};

// The mail components and the per-run state of the racer check, kept alive by the tick's step.
struct RacerCheckParts {
    RacerCheckState state;
    SmtpClient id_smtp;
    MailMessage id_msg;
    MailWorker mail;
    bool passwordAsked = false;  // the secret store has been asked for the login's password
};

void WireBoard(Tf_main& window) {
    auto* board = new RaceBoard(window.ts_race);
    auto* odds = new OddsBoard(*board, window.ts_odds);
    window.raceBoard = board;
    window.oddsBoard = odds;

    TickSteps& steps = window.hooks().tick;
    auto boardDay = std::make_shared<BoardDay>();
    steps.alarmPass = [&window, boardDay] {
        AlarmOutputs outputs;
        outputs.playWave = [&window](const std::string& path) { PlayWave(window.mp_main, path); };
        outputs.save = [] { return SaveTimetable(); };
        RunAlarmStep(boardDay->alarms, outputs);
    };
    steps.dayChange = [board, odds, boardDay] {
        DayChangeActions actions;
        actions.loadDay = [](const std::string& date) { return LoadDaySchedule(date); };
        actions.redraw = [board, odds] {
            board->DrawBoard();
            odds->FillOddsTab();
        };
        RunDayChangeStep(boardDay->day, boardDay->alarms, actions);
    };
    steps.boardBusy = [board] { return board->drawing; };
    steps.drawBoard = [board] { board->DrawBoard(); };
    steps.fillOddsTab = [odds] { odds->FillOddsTab(); };
    window.hooks().startUpResets.push_back([board, boardDay] {
        board->drawing = false;
        *boardDay = BoardDay{};
    });
}

void WireNews(Tf_main& window) {
    auto* view = new NewsView(window.ts_news);
    view->setObjectName("cwb_news");
    view->setGeometry(4, 4, 218, 236);
    window.newsView = view;
    auto news = std::make_shared<NewsStep>(*view, window.mp_main);
    window.newsStep = news.get();
    window.hooks().tick.news = [news] { news->Start(); };
    window.hooks().background.push_back({[news] { return news->Busy(); }, [news] { news->Abort(); }});
}

void WireRacerCheck(Tf_main& window) {
    auto parts = std::make_shared<RacerCheckParts>();
    window.mailWorker = &parts->mail;
    window.hooks().background.push_back({[parts] { return parts->mail.Busy(); }, [parts] { parts->mail.Abort(); }});
    window.hooks().tick.racerCheck = [&window, parts] {
        RacerCheckOutputs outputs;
        outputs.hourglassCursor = SetHourglassCursor;
        outputs.normalCursor = SetNormalCursor;
        outputs.setMemo = [&window](const std::vector<std::string>& lines) {
            QStringList text;
            for (const auto& line : lines) text << QtText(line);
            window.m_chk->setPlainText(text.join('\n'));
        };
        outputs.playWave = [&window](const std::string& path) { PlayWave(window.mp_main, path); };
        // A mail still in flight from the check before is left to finish; this one is skipped.
        outputs.sendMail = [&window, parts](const SmtpClient& client, const MailMessage& message) {
            if (!client.login || !client.password.empty() || parts->passwordAsked) {
                parts->mail.Start(client, message);
                return;
            }
            // The first mail with a login and no password in the settings file waits for the
            // secret store's answer, which comes as an event of its own.
            parts->passwordAsked = true;
            ReadMailPassword(&window,
                             [parts, client = SmtpClient(client), message](const SecretResult& result) mutable {
                                 if (result.answer == SecretAnswer::Found) {
                                     Program().settings.SMTP_PSWD = result.password;
                                     client.password = Cp932ToUtf8(result.password);
                                 }
                                 parts->mail.Start(client, message);
                             });
        };
        RunRacerCheckStep(parts->state, parts->id_smtp, parts->id_msg, outputs);
    };
    window.hooks().startUpResets.push_back([parts] {
        parts->state.hitAnnounced = false;
        parts->passwordAsked = false;
    });
}

}  // namespace

void WireModules(Tf_main& window) {
    WireBoard(window);
    WireNews(window);
    WireRacerCheck(window);
}

ModuleWindows::ModuleWindows(Tf_main& window)
    : window_(window),
      f_verinfo_(std::make_unique<Tf_verinfo>(&window)),
      f_cfg_(std::make_unique<Tf_cfg>(window.paths().settingsPath, &window)),
      f_msg_(std::make_unique<Tf_msg>()) {
    SetNoticeBackend(f_msg_.get());
    window.hooks().showAbout = [about = f_verinfo_.get()] { about->exec(); };
    window.hooks().showSettings = [cfg = f_cfg_.get()] { cfg->ShowFromMenu(); };
}

ModuleWindows::~ModuleWindows() {
    window_.hooks().showAbout = nullptr;
    window_.hooks().showSettings = nullptr;
    SetNoticeBackend(nullptr);
}

}  // namespace plx
