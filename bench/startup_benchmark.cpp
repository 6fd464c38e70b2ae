// Start-up time of the program: from the start of the process to the main
// menu on screen. The parent starts itself as a child several times; each
// child builds the menu as the program does, waits until it is exposed and
// prints how long that took.

#include "gui/app/main_menu_form.h"
#include "gui/common/spanish_locale.h"
#include "gui/common/message_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QElapsedTimer reloj;
    reloj.start();
    if (argc > 1 && QByteArray(argv[1]) == "--hijo") {
        QApplication app(argc, argv);
        UsarEspannol(app);
        EstadoEvaluacion estado;
        Form2 menu(estado);
        menu.show();
        if (!QTest::qWaitForWindowExposed(&menu))
            return 1;
        std::printf("%.2f\n", reloj.nsecsElapsed() / 1e6);
        return 0;
    }

    QCoreApplication app(argc, argv);
    const int veces = 15;
    QList<double> internos, externos;
    for (int i = 0; i < veces; ++i) {
        QProcess hijo;
        QElapsedTimer total;
        total.start();
        hijo.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hijo")});
        if (!hijo.waitForFinished(30000) || hijo.exitCode() != 0) {
            std::fprintf(stderr, "el proceso hijo falló: %s\n", hijo.readAllStandardError().constData());
            return 1;
        }
        externos << total.nsecsElapsed() / 1e6;
        internos << hijo.readAllStandardOutput().trimmed().toDouble();
    }
    std::sort(internos.begin(), internos.end());
    std::sort(externos.begin(), externos.end());
    std::printf("Arranque hasta el menú principal visible (%d arranques, plataforma %s):\n", veces,
                qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("predeterminada")).toUtf8().constData());
    std::printf("  dentro del proceso: mediana %.1f ms, máximo %.1f ms\n", internos[veces / 2], internos.last());
    std::printf("  proceso completo (inicio a salida): mediana %.1f ms, máximo %.1f ms\n", externos[veces / 2], externos.last());
    return 0;
}
