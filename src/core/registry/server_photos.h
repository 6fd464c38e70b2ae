#pragma once
// The photos on the central registry: table orv."Fotos" beside
// orv."Evaluaciones". A photo arrives before its evaluation, a few per
// statement, each stored once (the trigger skips a uuid the server holds
// with the same hash and checks the hash of every photo against its bytes);
// the evaluation's row lists its photos (column "fotos"), and the server
// refuses the row while one of them is missing, so that no evaluation is
// received without all of its photos. Photos of an evaluation not received
// yet are parts waiting for it: nobody lists them. orv_evaluador may only
// INSERT and SELECT photos; a photo is removed through orv.quitar_foto, a
// correction with its reason.

#include "core/registry/photo.h"
#include "core/registry/server_connection.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

class LectorRegistroSql;
struct RegistroEvaluacion;

namespace RegistroCentral {
// orv."Fotos"
QString TablaFotosSql();
}  // namespace RegistroCentral

// Part of "servidor preparar", inside its transaction and acting as
// orv_administrador: the table, its index, its trigger, the removal function
// and the rights. Returns what was done, in Spanish lines. Throws ErrorServidor.
QStringList PrepararFotosServidor(QSqlQuery &q, const ConexionServidor &administrador);

namespace FotosServidor {

// At most this many bytes of JPEG in one statement; a larger photo goes alone.
inline constexpr qint64 BytesPorSentencia = 8 * 1024 * 1024;

// Sends the photos of `lote` that the server does not hold yet, in parts
// of at most BytesPorSentencia, each committed on its own. Returns the
// records that cannot be stored for a photo of theirs (their uuid and the
// reason: a photo uuid the server holds with another photo); nothing of
// theirs is sent. Throws ErrorServidor.
QHash<QUuid, QString> Enviar(QSqlDatabase db, const ConexionServidor &conexion, const QVector<RegistroEvaluacion> &lote);

// The reads and changes of RegistroServidor, on the open connection of `lector`.
QVector<FotoEvaluacion> Listar(const LectorRegistroSql &lector, int32_t numero);
std::optional<FotoEvaluacion> Leer(const LectorRegistroSql &lector, const QUuid &foto);
void Agregar(const LectorRegistroSql &lector, const ConexionServidor &conexion, int32_t numero,
             QVector<FotoEvaluacion> &fotos);
void Quitar(const LectorRegistroSql &lector, const ConexionServidor &conexion, const QUuid &foto, const QString &motivo);

}  // namespace FotosServidor
