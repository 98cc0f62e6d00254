// The program-folder fixture of the app tests.
#include "tests/app/app_fixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdlib>

#include "app/module_wiring.h"
#include "board/timetable.h"
#include "common/program_state.h"
#include "common/sites.h"
#include "data/data_module.h"
#include "tests/support/demo_marlo.h"
#include "tests/support/qt_app.h"

namespace plxtest {

AppFixture::AppFixture() : clock(plx::SystemClock().Now()) {
    TestApp();
    QApplication::setQuitOnLastWindowClosed(false);  // as in the program: a closing window does not end it
    plx::ResetProgram();
    plx::TheTimetable().Clear();
    plx::Sites() = plx::SiteHosts{};
    plx::SetClock(&clock);
}

AppFixture::~AppFixture() {
    plx::dm.sc_main.Close();
    plx::SetClock(nullptr);
    plx::ResetProgram();
}

std::string AppFixture::BuildMarlo() {
    return MakeDemoMarlo(dir.File("marlo/"), plx::FormatDateTime(clock.Now(), "YYYYMMDD"));
}

std::unique_ptr<plx::Tf_main> AppFixture::MakeWindow(const std::string& defaultMarloFolder) {
    plx::ProgramPaths paths{dir.path(), settingsPath(), defaultMarloFolder, ""};
    auto window = std::make_unique<plx::Tf_main>(paths);
    window->mp_main.SetDevice(std::make_unique<RecordingWaveDevice>(sounds));
    return window;
}

std::unique_ptr<plx::Tf_main> AppFixture::StartWindow() {
    auto window = MakeWindow();
    plx::WireModules(*window);
    EXPECT_TRUE(window->FormCreate()) << "start-up failed";
    return window;
}

}  // namespace plxtest
