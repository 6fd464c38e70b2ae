// orv-registro [--registro ARCHIVO|postgresql://...] [--datos CARPETA] ORDEN [argumentos]
//
// The registry's command-line face: list, export, print and import saved
// evaluations. Runs without a display; the commands that draw documents use
// the offscreen platform when no other is asked for.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/registry/registry_config.h"
#include "programs/orv-registro/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <memory>

using namespace Cli;

namespace {

struct Linea {
    Opciones opciones;
    QString orden;
    QStringList argumentos;
    bool ayuda = false;
    bool version = false;
};

// The global options may stand anywhere before "--".
Linea Leer(const QStringList &args)
{
    Linea l;
    bool trasSeparador = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto valorDe = [&](const QString &opcion, QString &destino) {
            if (a == opcion) {
                if (i + 1 >= args.size())
                    FallaUso(QStringLiteral("falta el valor de %1.").arg(opcion));
                destino = args.at(++i);
                return true;
            }
            if (a.startsWith(opcion + QLatin1Char('='))) {
                destino = a.mid(opcion.size() + 1);
                return true;
            }
            return false;
        };
        if (!trasSeparador) {
            if (a == QLatin1String("--"))
                trasSeparador = true;
            if (valorDe(QStringLiteral("--registro"), l.opciones.registro)) {
                if (l.opciones.registro.isEmpty())
                    FallaUso(QStringLiteral("--registro necesita el nombre de un archivo o una dirección "
                                            "postgresql://."));
                // The address is not repeated: it holds the password.
                if (RutasDatos::esDireccionServidor(l.opciones.registro) && DireccionConClave(l.opciones.registro))
                    FallaUso(QStringLiteral("--registro no admite la contraseña dentro de la dirección del registro "
                                            "central, donde cualquier usuario del equipo la vería: quítela de la "
                                            "dirección y dela en PGPASSWORD o en ~/.pgpass."));
                continue;
            }
            if (valorDe(QStringLiteral("--datos"), l.opciones.datos)) {
                if (l.opciones.datos.isEmpty())
                    FallaUso(QStringLiteral("--datos necesita el nombre de una carpeta."));
                continue;
            }
        }
        if (l.orden.isEmpty()) {
            if (a == QLatin1String("-h") || a == QLatin1String("--ayuda") || a == QLatin1String("--help")) {
                l.ayuda = true;
            } else if (a == QLatin1String("--version")) {
                l.version = true;
            } else if (a.startsWith(QLatin1Char('-'))) {
                FallaUso(QStringLiteral("opción desconocida \"%1\". Vea «orv-registro --ayuda».").arg(a));
            } else {
                l.orden = a;
            }
            continue;
        }
        l.argumentos << a;
    }
    return l;
}

// Qt's own notes (a missing runtime folder of the offscreen platform, font
// look-ups) are no concern of the user: only failures reach standard error.
void SoloFallas(QtMsgType tipo, const QMessageLogContext &, const QString &texto)
{
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
        ImprimirError(texto);
}

}  // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    qInstallMessageHandler(SoloFallas);
    Linea linea;
    try {
        linea = Leer(args);
    } catch (const Falla &f) {
        ImprimirError(f.mensaje);
        return f.codigo;
    }

    // Drawing text needs Qt's GUI part, which needs a platform: offscreen
    // unless the caller chose one.
    std::unique_ptr<QCoreApplication> app;
    if (NecesitaDibujo(linea.orden)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The same names as the program, so that the user's registry is the same file.
    QCoreApplication::setApplicationName(QStringLiteral("ORV"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quenbria"));

    if (linea.version) {
        Imprimir(QStringLiteral("orv-registro %1.%2.%3\n")
                     .arg(ORV_VERSION_MAJOR)
                     .arg(ORV_VERSION_MINOR)
                     .arg(ORV_VERSION_PATCH));
        return Exito;
    }
    if (linea.orden.isEmpty()) {
        if (linea.ayuda) {
            Imprimir(Ayuda(nullptr));
            return Exito;
        }
        ImprimirError(QStringLiteral("falta la orden.\n\n") + Ayuda(nullptr));
        return ErrorUso;
    }
    const Orden *orden = BuscarOrden(linea.orden);
    if (!orden) {
        ImprimirError(QStringLiteral("la orden \"%1\" no existe. Vea «orv-registro --ayuda».").arg(linea.orden));
        return ErrorUso;
    }
    const auto pideAyuda = [](const QString &a) {
        return a == QLatin1String("-h") || a == QLatin1String("--ayuda") || a == QLatin1String("--help");
    };
    const qsizetype separador = linea.argumentos.indexOf(QStringLiteral("--"));
    if (linea.ayuda || std::any_of(linea.argumentos.cbegin(),
                                   separador < 0 ? linea.argumentos.cend() : linea.argumentos.cbegin() + separador,
                                   pideAyuda)) {
        Imprimir(Ayuda(orden) + QLatin1Char('\n'));
        return Exito;
    }
    if (!linea.opciones.datos.isEmpty())
        RutasDatos::establecerCarpetaInstalacion(linea.opciones.datos);
    // A file named by --registro is the registry file (and its outbox's
    // folder); an address leaves the user's file where it is.
    if (!linea.opciones.registro.isEmpty() && !RutasDatos::esDireccionServidor(linea.opciones.registro))
        RutasDatos::establecerArchivoRegistro(linea.opciones.registro);

    try {
        return orden->ejecutar(linea.argumentos, linea.opciones);
    } catch (const Falla &f) {
        ImprimirError(f.mensaje);
        return f.codigo;
    } catch (const ErrorDatos &e) {
        ImprimirError(e.mensaje());
        return ErrorEjecucion;
    }
}
