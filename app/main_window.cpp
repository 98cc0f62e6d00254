// Tf_main: widgets, menus, tray icon and the close handling.
#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>

#include "board/race_board.h"
#include "common/data_folder.h"
#include "common/exe_path.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/settings_store.h"
#include "common/shell/app_title.h"
#include "common/shell/browser.h"
#include "common/shell/tray_icon.h"
#include "common/shell/ui_font.h"
#include "common/shell/wait_ticks.h"
#include "common/sites.h"
#include "common/sjis.h"

namespace plx {
namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A tab sheet with the grey panel behind its contents.
class TabSheet final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { PaintTabBackground(this); }
};

QWidget* AddSheet(QTabWidget* pages, const char* name, const char* caption) {
    auto* sheet = new TabSheet(pages);
    sheet->setObjectName(name);
    pages->addTab(sheet, Q(caption));
    return sheet;
}

}  // namespace

ProgramPaths ProgramPaths::OfProcess() {
    std::string dataFolder = DataFolderOfProcess();
    std::string exePath = ExePath();
    std::string exeName = exePath.substr(exePath.rfind('/') + 1);
    return {dataFolder, SettingsPathForExe(dataFolder + exeName), kDefaultMarloFolder, ExeFolderOfProcess()};
}

Tf_main::Tf_main(ProgramPaths paths, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint),
      paths_(std::move(paths)),
      icon_(QPixmap(":/plx.xpm")) {
    setObjectName("f_main");
    setWindowIcon(icon_);
    setFont(UiFont());
    BuildTabs();
    BuildMenus();
    BuildTray();
    tm_main.setObjectName("tm_main");
    tm_main.setInterval(1000);
    connect(&tm_main, &QTimer::timeout, this, &Tf_main::tm_mainTimer);
    endWait_.setInterval(50);
    connect(&endWait_, &QTimer::timeout, this, &Tf_main::EndWhenBackgroundDone);
    setFixedSize(240, 320);
}

Tf_main::~Tf_main() {
    // No transfer outlives the window: the threads are joined here, before anything they use goes.
    AbortBackground();
}

void Tf_main::BuildTabs() {
    pc_main = new QTabWidget(this);
    pc_main->setObjectName("pc_main");
    pc_main->setDocumentMode(true);
    pc_main->tabBar()->setDrawBase(false);
    pc_main->tabBar()->setCursor(Qt::PointingHandCursor);
    ts_race = AddSheet(pc_main, "ts_race", "レース");
    ts_chk = AddSheet(pc_main, "ts_chk", "チェック");
    m_chk = new QPlainTextEdit(ts_chk);
    m_chk->setObjectName("m_chk");
    m_chk->setGeometry(4, 4, 218, 236);
    m_chk->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_chk->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_chk->setReadOnly(true);
    ts_news = AddSheet(pc_main, "ts_news", "NEWS");
    ts_odds = AddSheet(pc_main, "ts_odds", "オッズ");
    setCentralWidget(pc_main);
}

void Tf_main::BuildMenus() {
    QMenu* file = menuBar()->addMenu(Q("ファイル(&F)"));
    mi_quit = file->addAction(Q("終了(&X)"), this, &Tf_main::mi_quitClick);
    mi_quit->setObjectName("mi_quit");

    QMenu* settings = menuBar()->addMenu(Q("設定(&S)"));
    mi_cfg = settings->addAction(Q("環境設定"), this, &Tf_main::mi_cfgClick);
    mi_cfg->setObjectName("mi_cfg");

    QMenu* help = menuBar()->addMenu(Q("ヘルプ(&H)"));
    mi_help = help->addAction(Q("ヘルプ"), this, &Tf_main::mi_helpClick);
    mi_help->setObjectName("mi_help");
    help->addSeparator();
    mi_home = help->addAction(Q("orvent ホームページ"), this, &Tf_main::mi_homeClick);
    mi_home->setObjectName("mi_home");
    help->addSeparator();
    mi_verup = help->addAction(Q("バージョンアップ"), this, &Tf_main::mi_verupClick);
    mi_verup->setObjectName("mi_verup");
    mi_verinfo = help->addAction(Q("バージョン情報"), this, &Tf_main::mi_verinfoClick);
    mi_verinfo->setObjectName("mi_verinfo");

    pm_main = new QMenu(this);
    pm_main->setObjectName("pm_main");
    mi_pop_show = pm_main->addAction(Q("画面表示"), this, &Tf_main::mi_pop_showClick);
    mi_pop_show->setObjectName("mi_pop_show");
    mi_pop_quit = pm_main->addAction(Q("終了"), this, &Tf_main::mi_quitClick);
    mi_pop_quit->setObjectName("mi_pop_quit");
}

void Tf_main::BuildTray() {
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setObjectName("img_icon");
    connect(trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
}

void Tf_main::OnTrayActivated(int reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        mi_pop_showClick();
    } else if (reason == QSystemTrayIcon::Context) {
        // The menu is popped up here rather than attached to the icon, so that the window comes
        // to the front first and the menu opens where the pointer is.
        QPoint at = QCursor::pos();
        raise();
        activateWindow();
        pm_main->popup(at);
    }
}

void Tf_main::mi_quitClick() {
    if (Program().runState == RunState::Closing) return;
    Program().runState = RunState::QuitRequested;
    // A read or a mail in flight ends now; nothing of it is published.
    AbortBackground();
    // The next tick ends the program. Between ticks it is brought forward, so that the end comes
    // at once rather than up to a second later.
    if (tm_main.isActive() && !inTick_) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (tm_main.isActive() && !inTick_) tm_mainTimer();
            },
            Qt::QueuedConnection);
    }
}

void Tf_main::mi_cfgClick() {
    if (hooks_.showSettings) hooks_.showSettings();
}

void Tf_main::mi_helpClick() {
    OpenBrowser(MakerPage("/products/plx/help.htm"));
}

void Tf_main::mi_homeClick() {
    OpenBrowser(MakerPage("/"));
}

void Tf_main::mi_verupClick() {
    OpenBrowser(MakerPage("/products/plx/verup.htm"));
}

void Tf_main::mi_verinfoClick() {
    if (hooks_.showAbout) hooks_.showAbout();
}

void Tf_main::mi_pop_showClick() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void Tf_main::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: only the end of a tick in Closing may close the window for good.
    if (Program().runState == RunState::Closing) {
        event->accept();
        FormClose();
        emit closedForGood();
        return;
    }
    event->ignore();
    if (Program().runState == RunState::QuitRequested) return;
    // The icon's own visibility is only what we asked for; the desktop decides whether a
    // notification area exists to show it in.
    if (trayIcon->isVisible() && TrayAvailable())
        hide();
    else
        showMinimized();  // without a notification area a hidden window could never come back
}

void Tf_main::FormClose() {
    const Settings& s = Program().settings;
    std::string error;
    if (!SettingsStore(paths_.settingsPath)
             .SaveProgramEnd(x(), y(), s.MARLO, s.NEWS_LAST_RLSDTTM, Program().slotVenue, &error))
        ShowMsg(error);  // the end goes on: a refused write must not keep the program running
    CloseDatabase();
    TrayIconDelete(*trayIcon);
    Program().runState = RunState::Closing;
}

void Tf_main::SessionEndRequested() {
    mi_quitClick();
    // The ticks carry out the quit; this wait keeps them running until the window has closed.
    while (Program().runState != RunState::Closing && (tm_main.isActive() || inTick_)) WaitTicks(100);
}

}  // namespace plx
