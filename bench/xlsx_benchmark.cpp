// Time and peak memory to export a registry of 100 000 evaluations (about
// four a building) as a spreadsheet workbook: the evaluations, the
// buildings' current postings and the event summary.
//
//   orv-bench-xlsx [CARPETA]

#include "bench_support.h"
#include "core/exchange/xlsx_export.h"
#include "registry_fill.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Banco::Carpeta temporal(argc, argv);
    const int cantidad = 100000;
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    try {
        Banco::LlenarRegistro(archivo, cantidad);
        const double antes = Banco::PicoMemoriaMb();
        RegistroLocal registro(archivo);
        const QString salida = temporal.filePath(QStringLiteral("Registro de Evaluaciones.xlsx"));
        QElapsedTimer reloj;
        reloj.start();
        const double c0 = Banco::CpuMs();
        const ResultadoXlsx r = ExportarXlsx(registro, FiltroRegistro(), salida);
        const double s = reloj.nsecsElapsed() / 1e9;
        const double cpu = (Banco::CpuMs() - c0) / 1e3;
        std::printf("Exportar hoja de cálculo (XLSX), registro de %d evaluaciones\n", cantidad);
        std::printf("%lld evaluaciones, %lld edificaciones, %lld hojas, %.1f MB escritos en %.2f s (CPU %.2f s)\n",
                    qlonglong(r.evaluaciones), qlonglong(r.edificaciones), qlonglong(r.hojas.size()),
                    QFileInfo(salida).size() / 1e6, s, cpu);
        std::printf("memoria residente máxima (ru_maxrss): %.1f MB (%.1f MB antes de exportar)\n", Banco::PicoMemoriaMb(),
                    antes);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
