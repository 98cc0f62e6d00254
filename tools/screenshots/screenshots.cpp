// Pictures for the user guide: the main window's four tabs on a demo race day with some races
// armed, the pop-up, and the settings dialog's tabs, each rendered off screen into a PNG file.
//     plx_screenshots OUTPUT_FOLDER MARLO_FOLDER
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "app/module_wiring.h"
#include "board/notice_window.h"
#include "board/odds_board.h"
#include "board/race_board.h"
#include "board/timetable.h"
#include "board/timetable_file.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/notice.h"
#include "common/program_state.h"
#include "common/shell/qt_japanese.h"
#include "common/sjis.h"
#include "dialogs/settings_dialog.h"

using namespace plx;

namespace {

bool Save(QWidget& widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    QString path = folder + "/" + name + ".png";
    bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Arms the first races of the board's venues so that the board shows its alarm colours.
void ArmSomeRaces(Tf_main& window) {
    for (int venue : Program().slotVenue)
        for (int race = 1; race <= 12; race += 3) {
            RaceSlot& slot = TheTimetable().Slot(venue, race);
            if (!slot.IsEmpty()) slot.AlarmFlag = '1';
        }
    SaveTimetable();
    window.raceBoard->DrawBoard();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER MARLO_FOLDER\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallQtJapaneseTexts();
    const QString out = QDir(argv[1]).absolutePath();
    QDir().mkpath(out);

    // The demo day's morning: some races have run, most are still to come.
    LocalDateTime now = SystemClock().Now();
    now.hour = 10;
    now.minute = 20;
    ManualClock clock(now);
    SetClock(&clock);

    QTemporaryDir folder;
    const std::string data = folder.path().toStdString() + "/";
    std::string marlo = argv[2];
    if (marlo.back() != '/') marlo += '/';
    WriteFileAtomically(data + "plx.INI", "[DIR]\nMARLO=" + marlo + "\n", nullptr);
    WriteFileAtomically(data + "PLX_RSS.DAT", "", nullptr);

    Tf_main window(ProgramPaths{data, data + "plx.INI", "/nonexistent/", ""});
    WireModules(window);
    if (!window.FormCreate()) return 1;
    window.tm_main.stop();
    ModuleWindows windows(window);
    window.show();
    ArmSomeRaces(window);

    bool ok = true;
    const char* tabs[] = {"board", "check", "news", "odds"};
    for (int i = 0; i < window.pc_main->count() && i < 4; ++i) {
        window.pc_main->setCurrentIndex(i);
        if (i == 3) window.oddsBoard->FillOddsTab();
        ok = Save(window, out, tabs[i]) && ok;
    }

    ShowNotice(SJ("01-1 Ｒの電投締切 5 分前です！"), NoticeCategory::RaceNotice);
    ok = Save(windows.f_msg(), out, "popup") && ok;

    Tf_cfg dialog(data + "plx.INI", &window);
    dialog.FormShow();
    dialog.show();
    auto* pages = dialog.findChild<QTabWidget*>("pc_cfg");
    for (int i = 0; pages && i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        std::string name = "settings-" + std::to_string(i + 1);
        ok = Save(dialog, out, name.c_str()) && ok;
    }
    dialog.hide();
    // The pictures are written; the window's database is left to the process end rather than
    // closed through a quit sequence this tool never started.
    std::fflush(stdout);
    std::_Exit(ok ? 0 : 1);
}
