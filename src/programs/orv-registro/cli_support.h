#pragma once
// What every command of orv-registro shares: the global options, the table
// of commands, reading a command's arguments, opening the registry, and
// writing an output file that appears only when it is complete.

#include "core/registry/registry_store.h"
#include "core/registry/registry_config.h"
#include "core/registry/server_connection.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;

namespace Cli {

// The options given before the command.
struct Opciones {
    QString registro;  // --registro ARCHIVO or postgresql://...; empty: the configured registry
    QString datos;     // --datos CARPETA; empty: the installation folder
};

// A command line that cannot be carried out: the message goes to standard
// error, and the program ends with `codigo`.
struct Falla {
    QString mensaje;
    int codigo = 2;
};
[[noreturn]] void FallaUso(const QString &mensaje);
[[noreturn]] void FallaEjecucion(const QString &mensaje);

// Exit codes.
constexpr int Exito = 0;
constexpr int Rechazos = 1;  // importar: some line was refused
constexpr int ErrorEjecucion = 1;
constexpr int ErrorUso = 2;

struct Orden {
    const char *nombre;
    const char *sinopsis;  // "listar [--buscar TEXTO] ..."
    const char *resumen;   // one line for the general help
    const char *ayuda;     // the rest of the command's help
    int (*ejecutar)(const QStringList &argumentos, const Opciones &opciones);
};
// Every command, in the order the help lists them.
const QVector<Orden> &Ordenes();

// How the registry is opened for a command.
enum class Acceso {
    Leer,     // the registry must exist
    Agregar,  // made when missing
};
// The registry the options name; throws Falla naming the file when it
// cannot be used.
std::unique_ptr<AlmacenRegistro> AbrirRegistro(const Opciones &opciones, Acceso acceso);
// The central registry's connection: --registro when it is a
// postgresql:// address, else the configured one (ORV_REGISTRO, the
// settings); throws Falla when there is none.
ConexionServidor ConexionServidorDe(const Opciones &opciones);
// Where the options send saves: --registro's address (servidor set) or
// file, else ORV_REGISTRO or the settings. Throws Falla for a bad address.
ConfiguracionRegistro ConfiguracionDe(const Opciones &opciones);
// The reference data folder (ORV.sqlite, Comentarios.sqlite).
QString CarpetaDatos(const Opciones &opciones);

// The arguments of one command: options with a value, flags and the rest.
class Argumentos {
public:
    Argumentos(const QString &orden, const QStringList &argumentos, const QStringList &conValor,
               const QStringList &banderas = {});
    bool tiene(const QString &opcion) const;
    QString valor(const QString &opcion) const;  // the last one given
    QStringList valores(const QString &opcion) const;
    const QStringList &resto() const { return resto_; }
    bool ayuda() const { return ayuda_; }

private:
    QList<std::pair<QString, QString>> dados_;
    QStringList resto_;
    bool ayuda_ = false;
};

// --buscar, --habitabilidad, --desde and --hasta of `a`.
FiltroRegistro LeerFiltro(const Argumentos &a);
inline const QStringList OpcionesFiltro = {QStringLiteral("--buscar"), QStringLiteral("--habitabilidad"),
                                           QStringLiteral("--desde"), QStringLiteral("--hasta")};

// Writes through `escribir` into `archivo`, or to standard output when it is
// empty or "-". A file appears only when everything was written: on any
// failure (Falla, ErrorDatos) nothing is left behind and the error goes on.
void Escribir(const QString &archivo, const std::function<void(QIODevice &)> &escribir);

// The help of one command, or of the program when `orden` is null.
QString Ayuda(const Orden *orden);
const Orden *BuscarOrden(const QString &nombre);

void Imprimir(const QString &texto);       // to standard output, UTF-8
void ImprimirError(const QString &texto);  // "orv-registro: …" to standard error

}  // namespace Cli
