// Qt's Japanese translations.
#include "common/shell/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace plx {

bool InstallQtJapaneseTexts() {
    static bool installed = false;
    if (installed) return true;
    // The program speaks Japanese whatever the desktop's language is, so the locale is not asked.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qt_ja"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = true;
    return true;
}

}  // namespace plx
