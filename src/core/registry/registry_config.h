#pragma once
// ConfiguracionRegistro: where this machine's registry lives: the local file (the default) or the
// central registry on a PostgreSQL server, as the user chose in
// "Configuración del registro" (QSettings, organisation "Quenbria",
// application "ORV"), or as ORV_REGISTRO says for scripts and tests:
//
//   ORV_REGISTRO=postgresql://usuario@servidor:puerto/base?sslmode=require
//   ORV_REGISTRO=/ruta/Registro de Evaluaciones.sqlite
//
// The password is never in the settings: it is kept in the desktop's key
// store, or only in memory for this run when there is none; with
// ORV_REGISTRO it comes from PGPASSWORD or ~/.pgpass.

#include "core/registry/outbox.h"
#include "core/registry/pending_corrections.h"
#include "core/registry/record_builder.h"
#include "core/registry/registry_store.h"
#include "core/registry/server_connection.h"

#include <functional>
#include <memory>
#include <optional>

class RegistroServidor;

// True when the postgresql:// address `direccion` carries a password
// (usuario:clave@ or ?password=): a password on a command line is seen by
// every user of the machine.
bool DireccionConClave(const QString &direccion);

struct ConfiguracionRegistro {
    bool servidor = false;
    ConexionServidor conexion;  // without its password
    // Set by ORV_REGISTRO, not by the user's settings.
    bool desdeEntorno = false;
    QString archivoEntorno;  // ORV_REGISTRO naming a file

    // The user's settings, overridden by ORV_REGISTRO. Throws ErrorDatos
    // when ORV_REGISTRO is not a usable address.
    static ConfiguracionRegistro leer();
    // Writes the settings (never the password).
    void guardar() const;
};

namespace ClaveRegistro {
// The password of `c`'s user on `c`'s server: the one remembered in this
// run, then the key store's, then (once per run) the answer of the
// question set with establecerPregunta. Empty when there is none.
QString leer(const ConexionServidor &c);
// Stores the password in the key store and remembers it for this run.
// Returns false, with the reason in `error`, when there is no key store:
// the password is then only remembered for this run.
bool guardar(const ConexionServidor &c, const QString &clave, QString *error = nullptr);
void recordar(const ConexionServidor &c, const QString &clave);
void olvidar(const ConexionServidor &c);
// How the program asks for a password the key store does not have.
void establecerPregunta(std::function<std::optional<QString>(const ConexionServidor &)> pregunta);
// Key-store lookups can be turned off (tests, machines without a desktop).
void usarAlmacenDeClaves(bool usar);
}  // namespace ClaveRegistro

struct ResultadoGuardado {
    int32_t numero = 0;      // the number given; 0 while pending
    bool pendiente = false;  // waits in the outbox
    // For a pending record, what the evaluator reads instead of the saved
    // message: the outbox text, or a server message followed by
    // TextosBandeja::QuedaPendiente. Empty when the record got its number.
    QString mensaje;
};

// How a correction went.
struct ResultadoCorreccion {
    bool pendiente = false;  // waits in the outbox for the server
    QString mensaje;         // for a pending one, what the evaluator reads
};

namespace TextosBandeja {
// A correction kept on this machine until the server can be reached.
extern const QString CorreccionEnEquipo;
}  // namespace TextosBandeja

// The registry this program reads and saves into, as configured.
struct RegistroConfigurado {
    std::unique_ptr<AlmacenRegistro> almacen;
    // Only with a server: where saves and corrections wait for it.
    std::unique_ptr<BandejaSalida> bandeja;
    std::unique_ptr<CorreccionesPendientes> correccionesPendientes;
    RegistroServidor *servidor = nullptr;  // almacen, when it is a server
    ConfiguracionRegistro configuracion;

    bool esServidor() const { return servidor != nullptr; }

    // Saves one record. With a server: first into the outbox, then the
    // outbox is sent; the record is pending when the server could not take
    // it or anything failed after the outbox held it. Throws ErrorDatos,
    // with nothing written, only when the local file (or the outbox)
    // cannot be written.
    ResultadoGuardado guardar(RegistroEvaluacion &registro);
    // Saves a batch as guardar saves one record: each gets its number, or
    // stays pendiente (number 0) in the outbox. With `enviar` false the
    // outbox is not sent (the server was just found away). Throws ErrorDatos,
    // with nothing written, only when the local file or the outbox cannot
    // be written.
    ResultadoEnvio guardarLote(QVector<RegistroEvaluacion> &lote, bool enviar = true);
    // Sends the outbox (nothing to do for a local file): the evaluations,
    // then the corrections.
    ResultadoEnvio enviarPendientes();
    // Corrects field `columna` of the saved evaluation `registro` (its number,
    // or its uuid while it waits in the outbox). A local file applies it at
    // once. With a server the correction is first kept in the outbox, then
    // sent: it is pending when the server could not be reached. Throws
    // ErrorDatos, with nothing kept, for a field, value or reason the
    // correction cannot take, and with the server's message when the server
    // refused it (the correction is then set aside in the outbox).
    ResultadoCorreccion corregir(const RegistroEvaluacion &registro, const QString &columna, const QString &valor,
                                 const QString &motivo);

    // The photos of a record as the registry window holds it: a pending
    // record's (RegistroEvaluacion::pendiente, found by its uuid) from the
    // outbox, a numbered one's from the registry. The list has no bytes;
    // foto() fetches one photo's (from the registry when the pending record
    // was sent meanwhile). agregarFotos adds photos to a saved evaluation
    // (AlmacenRegistro::agregarFotos, BandejaSalida::agregarFotos): those of
    // a pending record go with it when it is sent. Throw ErrorDatos with
    // nothing written (ErrorServidor, red(), when the server cannot be
    // reached).
    QVector<FotoEvaluacion> fotos(const RegistroEvaluacion &registro);
    std::optional<FotoEvaluacion> foto(const RegistroEvaluacion &registro, const QUuid &foto);
    void agregarFotos(const RegistroEvaluacion &registro, QVector<FotoEvaluacion> &fotos);
};

// Opens the configured registry. `archivoLocal`: the local registry file
// (RutasDatos::archivoRegistro() when empty), beside which the outbox lives.
// Does not connect to the server yet. Throws ErrorDatos for a bad
// ORV_REGISTRO or an unwritable local folder.
RegistroConfigurado AbrirRegistroConfigurado(const QString &archivoLocal = QString());
// The same for an explicit configuration.
RegistroConfigurado AbrirRegistro(const ConfiguracionRegistro &configuracion, const QString &archivoLocal = QString());

// "Guardar" into the configured registry: the record of the evaluation,
// saved as RegistroConfigurado::guardar saves it. Sets
// estado.NumeroEvaluacion (0 while pending) and estado.DireccionElegida.
// `uuid`, when not null, is the record's: the same evaluation saved again
// (after a failure) is then stored once. `clave`, when not empty, is the
// building key the evaluator chose (Reinspeccion); else the store computes it.
ResultadoGuardado AgregarEvaluacion(RegistroConfigurado &registro, const IdentificacionEvaluacion &id,
                                    EstadoEvaluacion &estado, const DatosEdificacion &datos,
                                    const QUuid &uuid = QUuid(), const QString &clave = QString());
