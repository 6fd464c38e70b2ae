// importar: evaluations typed elsewhere, one JSON line each, into the registry.

#include "programs/orv-registro/commands.h"

#include "core/data/record_set.h"
#include "core/exchange/line_import.h"

#include <QFile>

namespace Cli {

int Importar(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("importar"), argumentos, {});
    if (a.resto().size() != 1)
        FallaUso(a.resto().isEmpty()
                     ? QStringLiteral("«importar» necesita el archivo de evaluaciones (o «-» para la entrada estándar).")
                     : QStringLiteral("«importar» lee un solo archivo."));
    const QString archivo = a.resto().first();

    QFile entrada;
    if (archivo == QLatin1String("-")) {
        if (!entrada.open(stdin, QIODevice::ReadOnly))
            FallaEjecucion(QStringLiteral("no se puede leer la entrada estándar."));
    } else {
        entrada.setFileName(archivo);
        if (!entrada.open(QIODevice::ReadOnly))
            FallaEjecucion(QStringLiteral("no se puede leer el archivo \"%1\": %2").arg(archivo, entrada.errorString()));
    }

    DatosLotes datos;
    const QString carpeta = CarpetaDatos(opciones);
    try {
        datos = LeerDatosLotes(carpeta);
    } catch (const ErrorDatos &e) {
        FallaEjecucion(QStringLiteral("la carpeta de datos \"%1\" no se puede usar.\n").arg(carpeta) + e.mensaje());
    }
    const auto registro = AbrirRegistro(opciones, Acceso::Agregar);

    QFile salida;
    if (!salida.open(stdout, QIODevice::WriteOnly))
        FallaEjecucion(QStringLiteral("no se puede escribir en la salida estándar."));
    const ResultadoImportacion r = ImportarLineas(entrada, salida, *registro, datos);
    salida.flush();
    ImprimirError(QStringLiteral("%1 evaluaciones guardadas, %2 líneas rechazadas en la %3.")
                      .arg(r.guardadas)
                      .arg(r.rechazadas)
                      .arg(registro->descripcion()));
    return r.rechazadas > 0 ? Rechazos : Exito;
}

}  // namespace Cli
