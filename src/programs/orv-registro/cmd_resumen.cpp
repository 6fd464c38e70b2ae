// resumen and exportar --formato geojson: the operations centre's view of
// the event, counted by the database, and the evaluations for a GIS.

#include "programs/orv-registro/commands.h"

#include "core/data/record_set.h"
#include "core/exchange/geojson_export.h"
#include "core/registry/registry_summary.h"

#include <QIODevice>

namespace Cli {

int Resumen(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("resumen"), argumentos,
                       {QStringLiteral("--desde"), QStringLiteral("--hasta"), QStringLiteral("--formato"),
                        QStringLiteral("-o"), QStringLiteral("--salida")});
    if (!a.resto().isEmpty())
        FallaUso(QStringLiteral("«resumen» no admite \"%1\". Vea «orv-registro resumen --ayuda».")
                     .arg(a.resto().first()));
    const QString formato = a.tiene(QStringLiteral("--formato")) ? a.valor(QStringLiteral("--formato")).toLower()
                                                                  : QStringLiteral("texto");
    if (formato != QLatin1String("texto") && formato != QLatin1String("csv"))
        FallaUso(QStringLiteral("el formato \"%1\" no existe; los formatos son: texto, csv.").arg(formato));
    const FiltroRegistro filtro = LeerFiltro(a);
    const QString archivo =
        a.tiene(QStringLiteral("--salida")) ? a.valor(QStringLiteral("--salida")) : a.valor(QStringLiteral("-o"));
    if ((a.tiene(QStringLiteral("-o")) || a.tiene(QStringLiteral("--salida"))) && archivo.isEmpty())
        FallaUso(QStringLiteral("-o necesita el nombre de un archivo."));

    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    const ResumenRegistro resumen = registro->resumen(filtro);
    Escribir(archivo, [&](QIODevice &salida) {
        const QByteArray datos = formato == QLatin1String("csv") ? ResumenCsv(resumen) : ResumenTexto(resumen).toUtf8();
        if (salida.write(datos) != datos.size())
            throw ErrorDatos(QStringLiteral("no se pudo escribir el resumen."));
    });
    return Exito;
}

int ExportarSig(const FiltroRegistro &filtro, const QString &archivo, const Opciones &opciones,
                const QHash<int32_t, QStringList> *fotos)
{
    if (archivo.isEmpty() || archivo == QLatin1String("-"))
        FallaUso(QStringLiteral("«exportar --formato geojson» necesita el archivo a escribir: -o ARCHIVO.geojson."));
    const TablasComentarios comentarios = ComentariosDe(opciones);
    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    const ResultadoGeoJson r = ExportarGeoJson(*registro, filtro, comentarios, archivo, fotos);
    if (const QString aviso = r.aviso(); !aviso.isEmpty())
        ImprimirError(QStringLiteral("aviso: ") + aviso);
    return Exito;
}

}  // namespace Cli
