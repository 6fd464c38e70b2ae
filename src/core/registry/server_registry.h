#pragma once
// RegistroServidor: the central registry: table "Evaluaciones" of schema "orv" on a PostgreSQL
// server, shared by every machine of the municipality. The first 93 columns
// are the fields in position order, as in the local file; then the record's
// identity and audit columns. The server gives the numbers.

#include "core/registry/registry_sql.h"
#include "core/registry/registry_store.h"
#include "core/registry/server_connection.h"

#include <QHash>
#include <QUuid>

#include <memory>

namespace RegistroCentral {
inline const QString Esquema = QStringLiteral("orv");
inline const QString PapelEvaluador = QStringLiteral("orv_evaluador");
inline const QString PapelAdministrador = QStringLiteral("orv_administrador");
// A member of orv_evaluador that may correct any evaluation, not only those
// its own login stored.
inline const QString PapelSupervisor = QStringLiteral("orv_supervisor");
// "orv"."Evaluaciones"
QString TablaSql();
// The identity and audit columns after the 93 fields, in order; the last,
// "fotos", lists the uuids of the photos the evaluation arrived with.
const QStringList &ColumnasIdentidad();
}  // namespace RegistroCentral

// The server refuses some records of a batch for a reason of their own,
// not the network's: sending them again would be refused again. Nothing of
// the batch was stored; the others may be sent again without them.
class ErrorRegistroRechazado : public ErrorServidor {
public:
    ErrorRegistroRechazado(const QString &mensaje, QHash<QUuid, QString> rechazados)
        : ErrorServidor(mensaje, false), rechazados_(std::move(rechazados))
    {
    }
    // Each refused record's uuid and the reason, in Spanish.
    const QHash<QUuid, QString> &rechazados() const { return rechazados_; }

private:
    QHash<QUuid, QString> rechazados_;
};

class RegistroServidor : public AlmacenRegistro {
public:
    // Does not connect yet: the first operation does, and a lost connection
    // is opened again on the next one.
    explicit RegistroServidor(ConexionServidor conexion);
    ~RegistroServidor() override;

    const ConexionServidor &conexion() const { return conexion_; }
    QString descripcion() const override;

    // Opens the connection now (or checks the open one) and checks that the
    // table is there with its columns. Throws ErrorServidor.
    void probar();

    // One statement on the server per 500 records, each committed on its
    // own, after the records' photos (core/registry/server_photos.h), which
    // the server checks are all there: each record gets the number the
    // server gives it, or, when the
    // server already holds its uuid with the same content, the number it
    // has. Throws ErrorRegistroRechazado, with nothing stored, when records
    // hold what the server cannot store (a text with a NUL character) or
    // their uuid is already held with other content; ErrorServidor (red()
    // for a network failure) with nothing stored of the statement that
    // failed.
    void agregar(QVector<RegistroEvaluacion> &lote) override;
    using AlmacenRegistro::agregar;

    qint64 contar(const FiltroRegistro &filtro) override;
    QVector<RegistroEvaluacion> pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden, qint64 desde,
                                       int cuantos) override;
    std::optional<RegistroEvaluacion> porNumero(int32_t numero) override;
    void recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                  const std::function<bool(const RegistroEvaluacion &)> &cada) override;
    ResumenRegistro resumen(const FiltroRegistro &filtro) override;
    std::optional<EdificacionRegistrada> edificacion(const QString &clave) override;
    QVector<EdificacionRegistrada> cercanas(double latitud, double longitud, double metros) override;
    QVector<RegistroEvaluacion> historial(const QString &clave) override;
    void situar(QVector<RegistroEvaluacion> &registros) override;
    QString claveDe(int32_t numero) override;
    // Through orv.corregir_evaluacion (core/registry/server_corrections.h):
    // the server records the login and its own time.
    void corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                 const QUuid &id = QUuid()) override;
    QVector<Correccion> correcciones(int32_t numero) override;
    // The number the server gave the evaluation `uuid`; none while it has
    // not arrived.
    std::optional<int32_t> numeroDe(const QUuid &uuid);
    // Photos (core/registry/server_photos.h): sent before their evaluation,
    // a few per statement; added to a saved evaluation in one transaction;
    // removed through orv.quitar_foto.
    QVector<FotoEvaluacion> fotos(int32_t numero) override;
    std::optional<FotoEvaluacion> foto(const QUuid &uuid) override;
    void agregarFotos(int32_t numero, QVector<FotoEvaluacion> &fotos) override;
    void quitarFoto(const QUuid &foto, const QString &motivo) override;

private:
    const LectorRegistroSql &lector();
    // Runs `accion` on an open connection; when a connection that was open
    // turns out lost, opens it again and runs `accion` once more.
    template <typename F> auto conConexion(F accion) -> decltype(accion());
    void insertar(QVector<RegistroEvaluacion> &lote);
    ErrorRegistroRechazado rechazo(const QHash<QUuid, QString> &rechazados) const;

    ConexionServidor conexion_;
    QString nombreConexion_;
    std::unique_ptr<LectorRegistroSql> lector_;
};

// What "orv-registro servidor preparar" does, connected as the server's
// superuser (or a role that may create roles and schemas): creates the
// group roles orv_administrador, orv_evaluador and orv_supervisor (a member
// of orv_evaluador) when missing, the schema
// "orv" owned by orv_administrador, the table, its indexes, the number
// counter and trigger, the building key's column and the indexes of
// buildings and positions, the table of photos with its trigger and the
// function that removes one (core/registry/server_photos.h), the time limits
// of the database's sessions, and gives
// orv_evaluador INSERT and SELECT only, and corrections only through the
// correction function (core/registry/server_corrections.h). Running it again changes nothing; a
// registry of the previous version is brought up to date with its rows and
// numbers; a table that does not match is reported, not altered.
// Returns what was done, in Spanish lines. Throws ErrorServidor.
QStringList PrepararServidor(const ConexionServidor &administrador);
