// A program folder in a temporary directory, the settings dialog made on it, and recorders for
// messages and file choosers; optionally a racer database on the data module.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "common/program_state.h"
#include "common/settings_store.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "dialogs/settings_dialog.h"
#include "tests/support/firebird_db.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

class SettingsDialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The login entry goes to a configuration folder of the test's own, never the user's.
        const char* configHome = std::getenv("XDG_CONFIG_HOME");
        savedConfigHome_ = configHome ? std::optional<std::string>(configHome) : std::nullopt;
        setenv("XDG_CONFIG_HOME", configHome_.path().c_str(), 1);
        TestApp();
        plx::ResetProgram();
        plx::Program().exeFolder = dir.path();
        plx::Program().settings = plx::SettingsStore(settingsPath()).Load(dir.path());
        plx::Program().runState = plx::RunState::Running;
        dialog = std::make_unique<plx::Tf_cfg>(settingsPath());
    }
    void TearDown() override {
        dialog.reset();
        plx::dm.sc_main.Close();
        plx::ResetProgram();
        if (savedConfigHome_)
            setenv("XDG_CONFIG_HOME", savedConfigHome_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::string settingsPath() const { return dir.File("plx.INI"); }
    std::string watchListPath() const { return dir.File("PLX_CHKRIDER.DAT"); }
    std::string feedListPath() const { return dir.File("PLX_RSS.DAT"); }

    // A racer database with the given RIDER rows (UTF-8 INSERT lines), opened on the data module.
    void ConnectRacers(const std::string& inserts) {
        std::string path = dir.File("MLDB.FDB");
        CreateDatabase(path,
                       "CREATE TABLE RIDER (ENTNO CHAR(5) NOT NULL PRIMARY KEY, RIDERNM VARCHAR(10) CHARACTER SET "
                       "SJIS_0208);\n" +
                           inserts,
                       "NONE");
        plx::dm.sc_main.SetParam("Database", path);
        plx::dm.sc_main.SetParam("User_Name", kDbUser);
        plx::dm.sc_main.SetParam("Password", kDbPassword);
        std::string error;
        ASSERT_TRUE(plx::dm.sc_main.Open(&error)) << plx::Cp932ToUtf8(error);
    }

    // Shows the dialog (which loads it) without waiting in it.
    void Open() {
        dialog->show();
        QApplication::processEvents();
    }

    // Types `number` and presses "登録".
    void AddRacer(const char* number) {
        dialog->e_entno->setText(QString::fromUtf8(number));
        dialog->bbtn_rider_ins->click();
    }

    // The list box's lines as shown, in UTF-8.
    std::vector<std::string> ShownRiders() const {
        std::vector<std::string> lines;
        for (int i = 0; i < dialog->lb_rider->count(); ++i)
            lines.push_back(dialog->lb_rider->item(i)->text().toStdString());
        return lines;
    }

    // The login entry's file under the test's configuration folder.
    std::string autostartPath() const { return configHome_.File("autostart/pilonix.desktop"); }

    TempDir dir;
    TempDir configHome_;
    std::optional<std::string> savedConfigHome_;
    RecordingMessages messages;
    ScriptedDialogs choosers;
    std::unique_ptr<plx::Tf_cfg> dialog;
};

}  // namespace plxtest
