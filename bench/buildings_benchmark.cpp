// Buildings in a registry of 100 000 evaluations (25 000 buildings of four
// evaluations each): looking a building up when saving (by its key and
// within 15 m of a point), placing a page of 100 records in their buildings'
// histories (the window's "Vigencia" and the placards), the window's view of
// buildings (counted, and its first page), and the summary of buildings alone.
//
//   orv-bench-edificaciones [CARPETA]

#include "bench_support.h"
#include "core/registry/buildings.h"
#include "core/registry/buildings_summary.h"
#include "registry_fill.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

// Median and maximum of `veces` runs of `paso`, in milliseconds.
void Medir(const char *nombre, int veces, const std::function<void(int)> &paso)
{
    QList<double> ms;
    QElapsedTimer reloj;
    for (int i = 0; i < veces; ++i) {
        reloj.start();
        paso(i);
        ms << reloj.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s mediana %8.2f ms   máximo %8.2f ms   (%d veces)\n", nombre, ms.at(ms.size() / 2), ms.last(),
                veces);
}

}  // namespace

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
        std::printf("Edificaciones, registro de %d evaluaciones (llenado en %.0f ms)\n", cantidad,
                    reloj.nsecsElapsed() / 1e6);
        RegistroLocal registro(archivo);
        registro.contar(FiltroRegistro());  // the reader's connection opened once, as in the program
        qint64 halladas = 0;
        Medir("buscar la edificación por su clave", 200, [&](int i) {
            const QString clave = QStringLiteral("predio:01|05|03|0045|%1").arg((i * 7919) % 25000);
            halladas += registro.edificacion(clave).has_value();
        });
        Medir("buscar edificaciones a 15 m de un punto", 200, [&](int i) {
            halladas += registro.cercanas(-12.3 - (i % 997) * 0.0001, -97.4 - (i % 991) * 0.0001, 15).size();
        });
        Medir("situar una página de 100 evaluaciones", 50, [&](int i) {
            QVector<RegistroEvaluacion> pagina =
                registro.pagina(FiltroRegistro(), OrdenRegistro(), qint64(i) * 1000, 100);
            registro.situar(pagina);
        });
        Medir("vista de edificaciones: contar y primeras 100", 10, [&](int) {
            FiltroRegistro vigentes;
            vigentes.soloVigentes = true;
            halladas += registro.contar(vigentes);
            QVector<RegistroEvaluacion> pagina = registro.pagina(vigentes, OrdenRegistro(), 0, 100);
            registro.situar(pagina);
        });
        ResumenEdificaciones r;
        Medir("resumen de edificaciones (todo el registro)", 5,
              [&](int) { r = ResumirEdificaciones(registro.lector(), FiltroRegistro()); });
        std::printf("(%lld edificaciones halladas; el resumen cuenta %lld edificaciones y %lld reinspecciones)\n",
                    qlonglong(halladas), qlonglong(r.edificaciones), qlonglong(r.reinspecciones));
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
