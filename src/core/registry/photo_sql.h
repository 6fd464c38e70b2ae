#pragma once
// The table of photos in SQL, the same for the local file, the outbox and
// the server: its columns come from RegistroEvaluaciones::ColumnasFotos,
// every value is bound, and the lists never select the JPEG column.

#include "core/registry/photo.h"
#include "core/registry/registry_sql.h"

#include <QSqlQuery>
#include <QString>

namespace FotosSql {

using Motor = LectorRegistroSql::Motor;

// The columns for a SELECT, in ColumnasFotos order, prefixed with `alias.`;
// without the JPEG column unless `conBytes` (uuids as text on a server).
QString Columnas(Motor motor, bool conBytes, const QString &alias = QStringLiteral("f"));
// The column definitions of a new table of photos ("CREATE TABLE t (…)"):
// the photo's uuid unique, the evaluation's uuid, the hash and the bytes
// never empty.
QString Definicion(Motor motor);
// INSERT of `filas` photos into `tablaSql`, the values bound in
// ColumnasFotos order (Enlazar).
QString SentenciaInsertar(Motor motor, const QString &tablaSql, int filas = 1);
void Enlazar(QSqlQuery &q, const FotoEvaluacion &f);
// A photo from the current row of a SELECT of Columnas(…, conBytes).
FotoEvaluacion DeFila(const QSqlQuery &q, bool conBytes, int primera = 0);
// The condition that leaves out the photos `alias` names whose removal is
// recorded in the corrections table `correccionesSql`; binds one value
// (Fotos::CampoCorreccion), appended to `valores`.
QString Visible(Motor motor, const QString &correccionesSql, QVariantList &valores,
                const QString &alias = QStringLiteral("f"));

// Reads with the connection `db`: the visible photos of the evaluation of
// uuid `evaluacion` in order, without bytes; one visible photo with its
// bytes. `que` names the table in messages (ErrorDatos).
QVector<FotoEvaluacion> Listar(const QSqlDatabase &db, Motor motor, const QString &fotosSql,
                               const QString &correccionesSql, const QString &evaluacion, const QString &que);
std::optional<FotoEvaluacion> Leer(const QSqlDatabase &db, Motor motor, const QString &fotosSql,
                                   const QString &correccionesSql, const QUuid &foto, const QString &que);

// Writes `fotos` (completed: Fotos::Completar) into the SQLite table
// `tablaSql` on `db`, inside the caller's transaction. A photo whose uuid
// the table holds with the same hash is not written again; with another
// hash it is refused. Throws ErrorDatos naming `donde`.
void EscribirSqlite(QSqlDatabase &db, const QString &tablaSql, const QVector<FotoEvaluacion> &fotos,
                    const QString &donde);

}  // namespace FotosSql
