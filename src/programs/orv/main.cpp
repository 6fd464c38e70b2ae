#include "gui/app/main_menu_form.h"
#include "gui/common/spanish_locale.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORV"));
    QApplication::setOrganizationName(QStringLiteral("Quenbria"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(ORV_VERSION_MAJOR).arg(ORV_VERSION_MINOR).arg(ORV_VERSION_PATCH));
    UsarEspannol(app);

    EstadoEvaluacion estado;
    Form2 menu(estado);
    menu.show();
    return app.exec();
}
