// Qt's standard buttons read in Japanese once the translations are installed.
#include "common/shell/qt_japanese.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include "tests/support/qt_app.h"

using namespace plx;

TEST(QtJapaneseTexts, MessageBoxButtonsReadInJapanese) {
    plxtest::TestApp();
    ASSERT_TRUE(InstallQtJapaneseTexts()) << "qt6-translations-l10n is not installed";
    QMessageBox box;
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    EXPECT_EQ(cancel->text().toStdString(), "キャンセル");
    EXPECT_EQ(yes->text().toStdString(), "はい(&Y)");
    EXPECT_TRUE(InstallQtJapaneseTexts());  // a second call changes nothing
}
