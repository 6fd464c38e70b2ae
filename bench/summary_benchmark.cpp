// Time to summarise a registry of 100 000 evaluations (every table of the
// event summary, counted by the database): the whole registry and one week.
//
//   orv-bench-resumen [CARPETA]

#include "bench_support.h"
#include "core/registry/registry_summary.h"
#include "registry_fill.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <ctime>
#include <algorithm>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Banco::Carpeta temporal(argc, argv);
    const int cantidad = 100000;
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    try {
        QElapsedTimer reloj;
        reloj.start();
        Banco::LlenarRegistro(archivo, cantidad);
        const double llenado = reloj.nsecsElapsed() / 1e6;

        FiltroRegistro semana;
        semana.desde = QDate(2026, 11, 10);
        semana.hasta = QDate(2026, 11, 16);
        std::printf("Resumen del evento, registro de %d evaluaciones (llenado en %.0f ms)\n", cantidad, llenado);
        for (const auto &[nombre, filtro] : {std::pair{"todo el registro", FiltroRegistro()}, std::pair{"una semana", semana}}) {
            QList<double> ms, cpu;
            ResumenRegistro r;
            for (int i = 0; i < 5; ++i) {
                RegistroLocal registro(archivo);  // a first open each time, as the window does
                reloj.restart();
                const double c0 = Banco::CpuMs();
                r = registro.resumen(filtro);
                ms << reloj.nsecsElapsed() / 1e6;
                cpu << Banco::CpuMs() - c0;
            }
            std::sort(ms.begin(), ms.end());
            std::sort(cpu.begin(), cpu.end());
            std::printf("%-18s mediana %7.1f ms (CPU %7.1f ms)   máximo %7.1f ms   (%lld evaluaciones, %lld barrios, "
                        "%lld días, %lld comisiones)\n",
                        nombre, ms.at(ms.size() / 2), cpu.at(cpu.size() / 2), ms.last(), qlonglong(r.total), qlonglong(r.porBarrio.size()),
                        qlonglong(r.porDia.size()), qlonglong(r.porComision.size()));
        }
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
