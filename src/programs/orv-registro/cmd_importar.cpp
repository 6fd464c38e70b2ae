// importar: evaluations typed elsewhere, one JSON line each, into the registry.

#include "programs/orv-registro/commands.h"

#include "core/data/record_set.h"
#include "core/exchange/line_import.h"
#include "core/registry/registry_config.h"
#include "photos/photo_preparation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // The central registry: through this machine's outbox, as the forms save.
    const ConfiguracionRegistro conf = ConfiguracionDe(opciones);
    RegistroConfigurado central;
    std::unique_ptr<AlmacenRegistro> local;
    GuardarLote guardar;
    if (conf.servidor) {
        try {
            central = AbrirRegistro(conf);
        } catch (const ErrorDatos &e) {
            FallaEjecucion(e.mensaje());
        }
        // Once the server is found away, the rest waits in the outbox
        // without trying it for every batch.
        guardar = [&central, lejos = false](QVector<RegistroEvaluacion> &lote) mutable {
            lejos = central.guardarLote(lote, !lejos).red || lejos;
        };
    } else {
        local = AbrirRegistro(opciones, Acceso::Agregar);
        guardar = [&local](QVector<RegistroEvaluacion> &lote) { local->agregar(lote); };
    }
    AlmacenRegistro &registro = conf.servidor ? *central.almacen : *local;

    QFile salida;
    if (!salida.open(stdout, QIODevice::WriteOnly))
        FallaEjecucion(QStringLiteral("no se puede escribir en la salida estándar."));
    // Photos named by a line are read from the file's folder and prepared
    // as the form prepares them.
    FotosDeLineas fotos;
    fotos.carpeta = archivo == QLatin1String("-") ? QDir::currentPath() : QFileInfo(archivo).absolutePath();
    fotos.preparar = [](const QString &ruta) {
        ResultadoFoto r = PreparacionFotos::Preparar(ruta, PreparacionFotos::OpcionesConfiguradas());
        if (!r.correcta())
            throw ErrorDatos(r.error);
        return std::move(*r.foto);
    };
    const ResultadoImportacion r = ImportarLineas(entrada, salida, guardar, datos, 500, &fotos);
    salida.flush();
    QString pendientes;
    if (r.pendientes > 0)
        pendientes = QStringLiteral(", %1 guardadas en este equipo pendientes de envío (%2)")
                         .arg(r.pendientes)
                         .arg(central.bandeja->descripcion());
    ImprimirError(QStringLiteral("%1 evaluaciones guardadas%2, %3 líneas rechazadas en la %4.")
                      .arg(r.guardadas)
                      .arg(pendientes)
                      .arg(r.rechazadas)
                      .arg(registro.descripcion()));
    return r.rechazadas > 0 ? Rechazos : Exito;
}

}  // namespace Cli
