// The general tab's "start at login" box: the autostart entry appears and goes with it.
#include <QCheckBox>
#include <QFileInfo>
#include <filesystem>

#include "common/autostart.h"
#include "common/exe_path.h"
#include "tests/dialogs/dialog_fixture.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::SettingsDialogFixture;

namespace {

using AutostartBox = SettingsDialogFixture;

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

}  // namespace

TEST_F(AutostartBox, TheEntryAppearsAndGoesWithTheBoxAndTheKeyFollows) {
    Open();
    EXPECT_TRUE(dialog->chk_autostart_f->isVisible());
    EXPECT_EQ(dialog->chk_autostart_f->text().toStdString(), "ログイン時に起動する");
    EXPECT_FALSE(dialog->chk_autostart_f->isChecked());

    dialog->chk_autostart_f->setChecked(true);
    dialog->bbtn_ok->click();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(Exists(autostartPath()));
    EXPECT_EQ(ReadFile(autostartPath()), AutostartEntry(ExePath()));
    EXPECT_NE(ReadFile(settingsPath()).find("AUTOSTART_F=1"), std::string::npos);
    EXPECT_EQ(Program().settings.AUTOSTART_F, 1);

    Open();
    EXPECT_TRUE(dialog->chk_autostart_f->isChecked());
    dialog->chk_autostart_f->setChecked(false);
    dialog->bbtn_ok->click();
    EXPECT_FALSE(Exists(autostartPath()));
    EXPECT_NE(ReadFile(settingsPath()).find("AUTOSTART_F=0"), std::string::npos);
}

TEST_F(AutostartBox, AnEntryThatCannotBeWrittenKeepsTheDialogOpenWithItsReason) {
    // "autostart" taken by a plain file: the entry's folder cannot be made.
    plxtest::WriteFile(autostartPath().substr(0, autostartPath().rfind('/')), "");
    Open();
    dialog->chk_autostart_f->setChecked(true);
    dialog->bbtn_ok->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Cp932ToUtf8(messages.shown[0].text).rfind("ログイン時に起動する設定を保存できませんでした。[", 0), 0u)
        << Cp932ToUtf8(messages.shown[0].text);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(Exists(settingsPath())) << "nothing is saved while the dialog stays open";
}

TEST_F(AutostartBox, AnEntryTheUserMadeIsLeftAloneWhileTheBoxStaysOff) {
    std::filesystem::create_directories(autostartPath().substr(0, autostartPath().rfind('/')));
    plxtest::WriteFile(autostartPath(), "[Desktop Entry]\nExec=own\n");
    Open();
    dialog->bbtn_ok->click();
    EXPECT_EQ(ReadFile(autostartPath()), "[Desktop Entry]\nExec=own\n");
}
