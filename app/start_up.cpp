// The start-up of the main window: StartUp (caption, tray icon, settings, database) and the
// sequence that loads the timetable and starts the main timer.
#include <sys/stat.h>

#include <QSystemTrayIcon>
#include <algorithm>

#include "app/locate_database.h"
#include "app/main_window.h"
#include "board/race_schedule.h"
#include "board/timetable_file.h"
#include "common/clock.h"
#include "common/ini_file.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/settings_store.h"
#include "common/shell/app_title.h"
#include "common/shell/tray_icon.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/data_module.h"
#include "data/marlo_ini.h"
#include "data/server_database.h"

namespace plx {
namespace {

// A settings file that holds a password (the database's or the mail login's) is for its owner's eyes only; later saves
// keep the mode of the file they replace.
void KeepToOwner(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(path.c_str(), info.st_mode & S_IRWXU);
}

}  // namespace

bool Tf_main::FormCreate() {
    if (!StartUp()) {
        Program().runState = RunState::Closing;
        TrayIconDelete(*trayIcon);
        return false;
    }
    pc_main->setCurrentWidget(ts_race);
    LoadTimetable();
    bool reload = true;
    if (HasPendingAlarms())
        reload = ShowMsg(SJ("アラームが設定されていますが、本日分を自動で読み込みますか？\n"
                            "（※アラーム設定は初期化されます。）")) == kMsgOk;
    if (reload) LoadDaySchedule(TodayYmd());
    // A quit asked for while the start-up question was open is kept: the first tick ends.
    if (Program().runState != RunState::QuitRequested) Program().runState = RunState::Running;
    tickCounter = -1;
    tm_main.start();
    return true;
}

bool Tf_main::StartUp() {
    ProgramState& program = Program();
    program.runState = RunState::Starting;
    program.exeFolder = paths_.exeFolder;
    program.programFolder = paths_.programFolder;
    setWindowTitle(QString::fromUtf8(kApplicationTitle) + " Version " + QString::fromStdString(ExeDate()));

    for (const auto& reset : hooks_.startUpResets) reset();
    rememberedPointer = QPoint(0, 0);
    mp_main.marker = kSoundIdle;

    TrayIconSet(*trayIcon, windowIcon(), kApplicationTitle, TrayAction::Add);

    // One read of the settings file serves both the settings and the [SITE] hosts.
    const IniFile settingsFile(paths_.settingsPath);
    ApplyLoadedSettings(ReadSettings(settingsFile, SoundFolderBase()));
    LoadSiteHosts(settingsFile);
    ApplyWindowSettings();

    // A database on a server needs no local file, so nothing is looked for.
    const ServerDatabase server = ReadServerDatabase(settingsFile);
    if (server.passwordInSettings || !Program().settings.SMTP_PSWD.empty()) KeepToOwner(paths_.settingsPath);
    if (!server.database.empty()) return ConnectDatabase(&server);

    bool located = !program.settings.MARLO.empty() || LocateDatabase(paths_.defaultMarloFolder);
    if (!located) return false;
    return ConnectDatabase(nullptr);
}

bool Tf_main::ConnectDatabase(const ServerDatabase* server) {
    std::string error;
    const std::string& marlo = Program().settings.MARLO;
    if (server ? OpenServerDatabase(dm.sc_main, *server, marlo, &error) : OpenRaceDatabase(dm.sc_main, marlo, &error))
        return true;
    // Nothing could ever close a program whose timer never runs, so a failed connection ends
    // it here, like the other start-up failures, after telling why.
    ShowMsg(error);
    return false;
}

void Tf_main::ApplyWindowSettings() {
    const Settings& s = Program().settings;
    // A hand-edited size outside any screen would leave nothing to click on.
    int width = std::clamp(s.WIDTH, 120, 4096);
    int height = std::clamp(s.HEIGHT, 120, 4096);
    setFixedSize(width, height);
    move(s.LEFT, s.TOP);
}

void Tf_main::CloseDatabase() {
    dm.sc_main.Close();
}

}  // namespace plx
