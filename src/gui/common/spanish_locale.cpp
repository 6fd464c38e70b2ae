#include "gui/common/spanish_locale.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool UsarEspannol(QApplication &app)
{
    // Numbers follow the system's Spanish notation; on a system in another
    // language, plain Spanish (decimal comma).
    const QLocale sistema = QLocale::system();
    QLocale::setDefault(sistema.language() == QLocale::Spanish ? sistema : QLocale(QLocale::Spanish));
    auto *traductor = new QTranslator(&app);
    if (!traductor->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    QApplication::installTranslator(traductor);
    return true;
}
