// Time and peak memory to export a registry of 100 000 evaluations (nine in
// ten with coordinates) as GeoJSON for a GIS.
//
//   orv-bench-geojson [CARPETA]

#include "bench_support.h"
#include "core/data/data_paths.h"
#include "core/exchange/geojson_export.h"
#include "registry_fill.h"
#include "core/engine/result_classification.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <ctime>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RutasDatos::establecerCarpetaInstalacion(QStringLiteral(ORV_DATA_DIR));
    const Banco::Carpeta temporal(argc, argv);
    const int cantidad = 100000;
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    try {
        Banco::LlenarRegistro(archivo, cantidad);
        const TablasComentarios comentarios = LeerTablasComentarios(RutasDatos::archivoComentarios());
        const double antes = Banco::PicoMemoriaMb();
        RegistroLocal registro(archivo);
        const QString salida = temporal.filePath(QStringLiteral("evaluaciones.geojson"));
        QElapsedTimer reloj;
        reloj.start();
        const double c0 = Banco::CpuMs();
        const ResultadoGeoJson r = ExportarGeoJson(registro, FiltroRegistro(), comentarios, salida);
        const double ms = reloj.nsecsElapsed() / 1e6;
        const double cpu = Banco::CpuMs() - c0;
        std::printf("Exportar para SIG (GeoJSON), registro de %d evaluaciones\n", cantidad);
        std::printf("%lld puntos, %lld sin coordenadas, %.1f MB escritos en %.0f ms (CPU %.0f ms)\n",
                    qlonglong(r.exportadas), qlonglong(r.sinCoordenadas), QFileInfo(salida).size() / 1e6, ms, cpu);
        // The reading alone, for comparison: every record read back, nothing written.
        reloj.restart();
        const double c1 = Banco::CpuMs();
        qint64 leidos = 0;
        registro.recorrer(FiltroRegistro(), {RegistroEvaluaciones::Pos::Numero, false}, [&](const RegistroEvaluacion &) {
            ++leidos;
            return true;
        });
        std::printf("(solo leer las %lld evaluaciones: %.0f ms, CPU %.0f ms)\n", leidos, reloj.nsecsElapsed() / 1e6,
                    Banco::CpuMs() - c1);
        std::printf("memoria residente máxima (ru_maxrss): %.1f MB (%.1f MB antes de exportar)\n", Banco::PicoMemoriaMb(), antes);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
