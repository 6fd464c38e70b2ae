// Time to write the printed documents as PDF files: one placard (median of
// several runs), 500 placards in one PDF, and one evaluation report.
//
//   orv-bench-documentos [CARPETA]
//
// The PDFs go to a temporary folder, or to CARPETA (to measure another disk).
// Without a display run it with QT_QPA_PLATFORM=offscreen (./dev bench does).

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/registry/stored_comments.h"
#include "reports/documents.h"
#include "reports/sample_records.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct Medidas {
    QList<double> ms;
    void imprimir(const char *que) const
    {
        QList<double> orden = ms;
        std::sort(orden.begin(), orden.end());
        std::printf("%s mediana %8.2f ms   mínimo %8.2f ms   máximo %8.2f ms   (%lld veces)\n",
                    QString::fromUtf8(que).leftJustified(34).toUtf8().constData(), orden.at(orden.size() / 2),
                    orden.first(), orden.last(), qlonglong(orden.size()));
    }
};

double Medir(const std::function<void()> &accion)
{
    QElapsedTimer reloj;
    reloj.start();
    accion();
    return reloj.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    RutasDatos::establecerCarpetaInstalacion(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orv"));
    QTemporaryDir temporal;
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporal.path();
    if (carpeta.isEmpty() || !QDir().mkpath(carpeta)) {
        std::fprintf(stderr, "no se puede crear la carpeta de salida\n");
        return 1;
    }
    try {
        const TablasComentarios tablas = LeerTablasComentarios(RutasDatos::archivoComentarios());
        const QString aviso = QDir(carpeta).filePath(QStringLiteral("aviso.pdf"));
        const QString avisos = QDir(carpeta).filePath(QStringLiteral("avisos-500.pdf"));
        const QString reporte = QDir(carpeta).filePath(QStringLiteral("reporte.pdf"));

        // The first placard of a process also finds and loads the font: the
        // font database alone, then the first placard, are shown on their own.
        const double fuentes = Medir([] { (void)QFontMetricsF(QFont(QStringLiteral("DejaVu Sans"))).height(); });
        const QVector<RegistroEvaluacion> uno = {EjemploDocumentos::Registro(1, 3)};
        const double primero = Medir([&] { Documentos::GuardarAvisosPdf(aviso, uno, tablas); });

        Medidas unAviso;
        for (int i = 0; i < 41; ++i) {
            const QVector<RegistroEvaluacion> r = {EjemploDocumentos::Registro(100 + i, i % 4)};
            unAviso.ms << Medir([&] { Documentos::GuardarAvisosPdf(aviso, r, tablas); });
        }

        QVector<RegistroEvaluacion> quinientos;
        for (int i = 0; i < 500; ++i)
            quinientos << EjemploDocumentos::Registro(1000 + i, i % 4);
        Medidas todos;
        for (int i = 0; i < 3; ++i)
            todos.ms << Medir([&] { Documentos::GuardarAvisosPdf(avisos, quinientos, tablas); });

        Medidas unReporte;
        for (int i = 0; i < 21; ++i) {
            const QVector<RegistroEvaluacion> r = {EjemploDocumentos::Registro(200 + i, i % 4)};
            unReporte.ms << Medir([&] { Documentos::GuardarReportesPdf(reporte, r, tablas); });
        }

        std::printf("Documentos en PDF (%s)\n", qPrintable(QDir::toNativeSeparators(carpeta)));
        std::printf("%s %8.2f ms\n", QString::fromUtf8("Base de fuentes del sistema").leftJustified(34).toUtf8().constData(),
                    fuentes);
        std::printf("%s %8.2f ms   (primera vez en el proceso)\n",
                    QString::fromUtf8("Primer aviso").leftJustified(34).toUtf8().constData(), primero);
        unAviso.imprimir("Un aviso");
        todos.imprimir("500 avisos en un PDF");
        std::printf("%s %8.2f ms por aviso, %.1f MB\n",
                    QString::fromUtf8("  por aviso").leftJustified(34).toUtf8().constData(),
                    *std::min_element(todos.ms.begin(), todos.ms.end()) / 500,
                    QFileInfo(avisos).size() / 1e6);
        unReporte.imprimir("Un reporte (2 páginas)");
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
