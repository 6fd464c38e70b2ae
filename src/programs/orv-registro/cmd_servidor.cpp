// orv-registro servidor preparar, orv-registro enviar: the central registry.

#include "programs/orv-registro/commands.h"

#include "core/data/data_paths.h"
#include "core/registry/registry_config.h"
#include "core/registry/server_registry.h"
#include "core/registry/terminal_text.h"

#include <algorithm>

namespace Cli {

int ServidorPreparar(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("servidor"), argumentos, {});
    if (a.resto() != QStringList{QStringLiteral("preparar")})
        FallaUso(QStringLiteral("«servidor» necesita «preparar». Vea «orv-registro servidor --ayuda»."));
    const ConexionServidor c = ConexionServidorDe(opciones);
    try {
        for (const QString &linea : PrepararServidor(c))
            Imprimir(linea + QLatin1Char('\n'));
    } catch (const ErrorDatos &e) {
        FallaEjecucion(e.mensaje());
    }
    Imprimir(QStringLiteral("El registro central de %1 está preparado.\n").arg(c.nombre()));
    return Exito;
}

int Enviar(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("enviar"), argumentos, {});
    if (!a.resto().isEmpty())
        FallaUso(QStringLiteral("«enviar» no admite \"%1\".").arg(a.resto().first()));
    ResultadoEnvio r;
    QVector<EvaluacionApartada> apartadas;
    try {
        const ConfiguracionRegistro conf = ConfiguracionDe(opciones);
        if (!conf.servidor)
            FallaUso(QStringLiteral("no hay un registro central configurado: use --registro postgresql://usuario@servidor/"
                                    "base o la variable ORV_REGISTRO."));
        RegistroConfigurado registro = AbrirRegistro(conf);
        r = registro.enviarPendientes();
        if (r.apartadas > 0)
            apartadas = registro.bandeja->apartadas();
    } catch (const ErrorDatos &e) {
        FallaEjecucion(e.mensaje());
    }
    QString cuenta = QStringLiteral("Enviadas: %1. Pendientes: %2.").arg(r.enviados).arg(r.pendientes);
    if (r.apartadas > 0)
        cuenta += QStringLiteral(" Apartadas: %1.").arg(r.apartadas);
    Imprimir(cuenta + QLatin1Char('\n'));
    // The ones set aside in this send, each with its reason.
    for (qsizetype i = std::max<qsizetype>(0, apartadas.size() - r.apartadas); i < apartadas.size(); ++i) {
        const RegistroEvaluacion &a = apartadas.at(i).registro;
        ImprimirError(QStringLiteral("apartada, no se enviará: \"%1\" (%2, guardada el %3). %4")
                          .arg(TextoParaTerminal(a.texto(RegistroEvaluaciones::Pos::NombreEdificacion)),
                               TextoParaTerminal(a.texto(RegistroEvaluaciones::Pos::Evaluador)),
                               a.texto(RegistroEvaluaciones::Pos::Fecha).left(16).replace(QLatin1Char('T'), QLatin1Char(' ')),
                               TextoParaTerminal(apartadas.at(i).motivo)));
    }
    if (!r.error.isEmpty())
        FallaEjecucion(r.error);
    return r.pendientes == 0 && r.apartadas == 0 ? Exito : ErrorEjecucion;
}

}  // namespace Cli
