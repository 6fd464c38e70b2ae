// Time and peak memory to export a registry of 100 000 evaluations (nine in
// ten with coordinates) as GeoJSON for a GIS.
//
//   orv-bench-geojson [CARPETA]

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

namespace {
// The largest resident memory of this process so far, in MB.
double PicoMemoriaMb()
{
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &linea : estado.readAll().split('\n'))
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RutasDatos::establecerCarpetaInstalacion(QStringLiteral(ORV_DATA_DIR));
    QTemporaryDir temporal(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("orv-bench-XXXXXX"))
                                    : QDir::tempPath() + QStringLiteral("/orv-bench-XXXXXX"));
    if (!temporal.isValid()) {
        std::fprintf(stderr, "no se puede crear la carpeta temporal\n");
        return 1;
    }
    const int cantidad = 100000;
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    try {
        Banco::LlenarRegistro(archivo, cantidad);
        const TablasComentarios comentarios = LeerTablasComentarios(RutasDatos::archivoComentarios());
        const double antes = PicoMemoriaMb();
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
        std::printf("memoria residente máxima (VmHWM): %.1f MB (%.1f MB antes de exportar)\n", PicoMemoriaMb(), antes);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
