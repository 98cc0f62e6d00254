// Tf_main: the program's one permanent window with its four tabs, its menus, the tray icon,
// the main timer and the orderly end of the program.
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPoint>
#include <QTimer>
#include <string>

#include "app/locate_database.h"
#include "app/module_hooks.h"
#include "common/shell/sound_player.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QSystemTrayIcon;
class QTabWidget;

namespace plx {

class MailWorker;
class NewsStep;
class NewsView;
class OddsBoard;
class RaceBoard;
struct ServerDatabase;

// Where the program keeps its files; the program uses its data folder, tests a temporary one.
struct ProgramPaths {
    std::string exeFolder;     // the data files' folder, trailing "/"
    std::string settingsPath;  // the settings file
    std::string defaultMarloFolder = kDefaultMarloFolder;
    std::string programFolder;  // the executable's own folder (sounds); empty: exeFolder
    static ProgramPaths OfProcess();
};

class Tf_main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tf_main(ProgramPaths paths = ProgramPaths::OfProcess(), QWidget* parent = nullptr);
    ~Tf_main() override;

    // The start-up sequence of the window's creation; false when the program must end.
    bool FormCreate();

    // The main timer's handler: one tick. It never waits for the network and never runs a nested
    // event loop; the messages it raises are shown after it has returned.
    void tm_mainTimer();

    // Menu and tray commands.
    void mi_quitClick();
    void mi_cfgClick();
    void mi_helpClick();
    void mi_homeClick();
    void mi_verupClick();
    void mi_verinfoClick();
    void mi_pop_showClick();

    // The system asks the program to end (session end): request the quit and let the ticks run
    // until the window has closed.
    void SessionEndRequested();

    ModuleHooks& hooks() { return hooks_; }
    const ProgramPaths& paths() const { return paths_; }

    QTabWidget* pc_main = nullptr;
    QWidget* ts_race = nullptr;
    QWidget* ts_chk = nullptr;
    QPlainTextEdit* m_chk = nullptr;
    QWidget* ts_news = nullptr;
    QWidget* ts_odds = nullptr;
    QAction* mi_quit = nullptr;
    QAction* mi_cfg = nullptr;
    QAction* mi_help = nullptr;
    QAction* mi_home = nullptr;
    QAction* mi_verup = nullptr;
    QAction* mi_verinfo = nullptr;
    QMenu* pm_main = nullptr;
    QAction* mi_pop_show = nullptr;
    QAction* mi_pop_quit = nullptr;
    QSystemTrayIcon* trayIcon = nullptr;
    RaceBoard* raceBoard = nullptr;  // the contents of ts_race and ts_odds, put in by the wiring
    OddsBoard* oddsBoard = nullptr;
    NewsView* newsView = nullptr;      // cwb_news on ts_news
    NewsStep* newsStep = nullptr;      // the news read in the background, put in by the wiring
    MailWorker* mailWorker = nullptr;  // the racer check's mail in the background
    QTimer tm_main;
    int tickCounter = -1;  // the timer's tag: -1 before the first tick, then 0..60
    QPoint rememberedPointer;
    SoundPlayer mp_main;

signals:
    // The window has closed for good (after FormClose); the program ends.
    void closedForGood();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTabs();
    void BuildMenus();
    void BuildTray();
    void OnTrayActivated(int reason);
    void PointerNudge();
    void RunTickSteps();
    void EndTick();
    void EndProgram();
    void EndWhenBackgroundDone();
    bool BackgroundBusy() const;
    void AbortBackground();
    void FormClose();
    bool StartUp();
    // The server's database when `server` is given, else the MARLO folder's own file.
    bool ConnectDatabase(const ServerDatabase* server);
    void CloseDatabase();
    void ApplyWindowSettings();

    ProgramPaths paths_;
    ModuleHooks hooks_;
    bool inTick_ = false;
    // The one-shot run (AUTO_QUIT_F) ends once the work its tick started is done.
    QTimer endWait_;
    QIcon icon_;
};

}  // namespace plx
