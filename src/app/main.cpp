#include "app/main_menu_form.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORV"));
    QApplication::setOrganizationName(QStringLiteral("Quenbria"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(ORV_VERSION_MAJOR).arg(ORV_VERSION_MINOR).arg(ORV_VERSION_PATCH));

    // Everything a person sees is Spanish, Qt's own texts too. Numbers follow
    // the system's Spanish notation; on a system in another language, that
    // of Colombia.
    const QLocale sistema = QLocale::system();
    QLocale::setDefault(sistema.language() == QLocale::Spanish ? sistema : QLocale(QLocale::Spanish, QLocale::Colombia));
    QTranslator traductor;
    if (traductor.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traductor);

    EstadoEvaluacion estado;
    Form2 menu(estado);
    menu.show();
    return app.exec();
}
