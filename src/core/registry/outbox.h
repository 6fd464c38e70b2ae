#pragma once
// BandejaSalida: the outbox: evaluations saved on this machine that the central registry
// has not received yet, in "Pendientes de Envío.sqlite" beside the local
// registry file. A record is written here in one synchronous transaction
// before it is sent, and leaves only after the server has committed it; the
// record's uuid makes a record sent twice stored once.

#include "core/registry/evaluation_record.h"
#include "core/registry/registry_store.h"
#include "core/registry/server_connection.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QUuid>
#include <QVector>
#include <memory>
#include <optional>

class RegistroServidor;
class ArchivoBandeja;

namespace TextosBandeja {
// What the evaluator reads when the evaluation waits in the outbox.
extern const QString GuardadaEnEquipo;
// After a server message, when the evaluation waits in the outbox.
extern const QString QuedaPendiente;
// The registry window's mark of a pending record.
extern const QString Pendiente;
}  // namespace TextosBandeja

struct ResultadoEnvio {
    int enviados = 0;    // records the server committed in this send
    int pendientes = 0;  // records still in the outbox afterwards
    // The numbers the server gave (or had given) the records sent.
    QHash<QUuid, int32_t> numeros;
    // Empty when everything was sent; otherwise the server's Spanish message.
    QString error;
    bool red = false;  // the server could not be reached
    int apartadas = 0;  // records set aside in this send
    int deOtroRegistro = 0;  // waiting records that are for another central registry, not sent
};

// A record that leaves the outbox without being sent, and why: a uuid that
// is none, or a refusal of the server that concerns the record itself. It
// is kept for the evaluator to see, never sent again by itself.
struct EvaluacionApartada {
    RegistroEvaluacion registro;
    QString motivo;
};

class BandejaSalida {
public:
    // The outbox file of the registry file `archivoRegistro`.
    static QString archivoPara(const QString &archivoRegistro);
    // The central registry as the outbox names it: the server and the
    // database ("servidor/base"). The port is left out: the same server
    // reached on another port is the same registry.
    static QString registroDe(const ConexionServidor &conexion);

    // Makes the file and its table when missing. Throws ErrorDatos. The
    // outbox keeps one connection to its file: use it from the thread that
    // made it (another thread makes a BandejaSalida of its own).
    // `servidor`: the central registry (registroDe) the records saved
    // through this outbox are for.
    explicit BandejaSalida(QString archivo, QString servidor = QString());
    ~BandejaSalida();

    const QString &archivo() const { return archivo_; }
    QString descripcion() const;

    // Seals the record (uuid, machine, user, time) and writes it with its
    // photos (registro.fotos, numbered and hashed as AlmacenRegistro::agregar
    // does); it is on disk when this returns. A uuid already waiting is not
    // written twice. The uuid is written in one form only (lower case, no
    // braces). Throws ErrorDatos with nothing written.
    void guardar(RegistroEvaluacion &registro);
    // The same for several records, in one transaction.
    void guardar(QVector<RegistroEvaluacion> &registros);
    qint64 cantidad() const;
    // The waiting records in the order they were saved, marked pendiente,
    // without a number.
    QVector<RegistroEvaluacion> pendientes(int cuantos = -1) const;
    // The waiting records `filtro` selects (the search, the habitability and
    // the dates, as the registry selects them), newest first, marked pendiente.
    QVector<RegistroEvaluacion> pendientes(const FiltroRegistro &filtro) const;

    // The photos of the waiting record `evaluacion`, in order, without their
    // bytes; and one photo with its bytes (none when it does not wait here).
    QVector<FotoEvaluacion> fotos(const QUuid &evaluacion) const;
    std::optional<FotoEvaluacion> foto(const QUuid &uuid) const;
    // Adds photos to the waiting record `evaluacion`, in one transaction
    // (order, uuid and hash as AlmacenRegistro::agregarFotos). Throws
    // ErrorDatos with nothing written (the record does not wait here any
    // more, too many photos).
    void agregarFotos(const QUuid &evaluacion, QVector<FotoEvaluacion> &fotos);

    // Sends the waiting records that are for `servidor` in order (records
    // written before outboxes kept their server are taken as its), `porLote`
    // in each server transaction, and removes each batch once the server has committed it.
    // Stops at the first failure, which the result describes; what was not
    // sent stays. Never throws for the server; throws ErrorDatos when the
    // outbox file itself cannot be read or written.
    //
    // A record goes with all its photos: the photos first, a few per
    // statement, each stored once by the server (by uuid and hash), then the
    // record, which the server takes only when every photo it lists is
    // there. A record leaves the outbox only after that; until then the
    // window shows it pending.
    //
    // Before sending, a uuid written otherwise (upper case, braces) is
    // written as the outbox writes it, and a row whose uuid is none is set
    // aside. A batch the server refuses for a reason of the records (a
    // value it cannot store, a conflict) is sent record by record, and the
    // record it refuses is set aside with the server's message. Each
    // record is sent at most once per call.
    ResultadoEnvio enviar(RegistroServidor &servidor, int porLote = 500);
    // The records set aside, oldest first.
    QVector<EvaluacionApartada> apartadas() const;
    // How many records wait, by the central registry they are for (an
    // empty name: written before outboxes kept it).
    QMap<QString, qint64> pendientesPorServidor() const;
    // Records written before outboxes kept their server become `servidor`'s.
    void asignarServidor(const QString &servidor);

private:
    int reparar();
    // Moves the rows of the pending table `donde` selects (one bound value)
    // into the set-aside table, with `motivo`.
    void apartar(const QString &donde, const QVariant &valor, const QString &motivo);
    void quitar(const QVector<QUuid> &uuids);
    // Gives each record of a batch its photos with their bytes, and cuts
    // the batch where its photos would pass BytesFotosPorLote.
    void cargarFotos(QVector<RegistroEvaluacion> &lote) const;
    ArchivoBandeja &a() const;
    QString archivo_;
    QString servidor_;
    mutable std::unique_ptr<ArchivoBandeja> conexion_;
};
