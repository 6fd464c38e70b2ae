#include "core/registry/server_photos.h"

#include "core/registry/evaluation_record.h"
#include "core/registry/photo_sql.h"
#include "core/registry/registry_sql.h"
#include "core/registry/server_corrections.h"
#include "core/registry/server_registry.h"

#include <QSqlDriver>
#include <QSqlError>

#include <libpq-fe.h>
#include <vector>

using namespace RegistroEvaluaciones;

namespace {

QString ColF(int i) { return CitarIdentificador(ColumnasFotos().at(i).nombre); }

// The SQLSTATEs of the photos' own refusals: a hash that does not match the
// bytes, a uuid held with another photo, and those of orv.quitar_foto.
const QStringList &EstadosPropios()
{
    static const QStringList estados = {QStringLiteral("ORV06"), QStringLiteral("ORV07"), QStringLiteral("ORV09"),
                                        QStringLiteral("ORV10"), QStringLiteral("ORV11")};
    return estados;
}

QString Descripcion(const ConexionServidor &c)
{
    return QStringLiteral("tabla \"%1\" del servidor \"%2\"").arg(TablaFotos, c.nombre());
}

[[noreturn]] void Fallar(const ConexionServidor &c, const QString &que, const QSqlError &e)
{
    if (EstadosPropios().contains(e.nativeErrorCode()))
        throw ErrorServidor(QStringLiteral("Error en el registro central: %1 (%2).")
                                .arg(e.databaseText().trimmed(), Descripcion(c)),
                            false, e.nativeErrorCode());
    throw Servidor::error(c, que, e);
}

// The hash the server holds for each of `uuids` it has.
QHash<QUuid, QString> Existentes(QSqlDatabase &db, const ConexionServidor &c, const QStringList &uuids)
{
    QHash<QUuid, QString> hay;
    if (uuids.isEmpty())
        return hay;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1::text, %2 FROM %3 WHERE %1 = ANY (CAST(? AS uuid[]))")
                  .arg(ColF(ColFoto::Uuid), ColF(ColFoto::Sha256), RegistroCentral::TablaFotosSql()));
    q.addBindValue(QLatin1Char('{') + uuids.join(QLatin1Char(',')) + QLatin1Char('}'));
    if (!q.exec())
        Fallar(c, QStringLiteral("no se pueden leer las fotos"), q.lastError());
    while (q.next())
        hay.insert(QUuid(q.value(0).toString()), q.value(1).toString());
    return hay;
}

// libpq's own handle of Qt's connection: the photos go as binary
// parameters, the JPEG bytes as they are, instead of the text Qt's driver
// would make of them (twice the bytes, escaped, then parsed again).
PGconn *Pg(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    // PGconn is libpq's name of struct pg_conn; Qt registers either.
    if (v.isValid() && (qstrcmp(v.typeName(), "PGconn*") == 0 || qstrcmp(v.typeName(), "pg_conn*") == 0))
        return *static_cast<PGconn *const *>(v.constData());
    return nullptr;
}

// INSERT of `filas` photos with libpq's numbered parameters, each cast to
// its column's type.
QString SentenciaNumerada(int filas)
{
    QStringList columnas, tipos;
    for (int i = 0; i < ColFoto::Cantidad; ++i) {
        columnas << ColF(i);
        switch (ColumnasFotos().at(i).tipo) {
        case TipoColumnaFoto::Entero: tipos << QStringLiteral("bigint"); break;
        case TipoColumnaFoto::Texto:
            tipos << (i == ColFoto::Uuid || i == ColFoto::Evaluacion ? QStringLiteral("uuid") : QStringLiteral("text"));
            break;
        case TipoColumnaFoto::Real: tipos << QStringLiteral("double precision"); break;
        case TipoColumnaFoto::Bytes: tipos << QStringLiteral("bytea"); break;
        }
    }
    QStringList valores;
    int n = 0;
    for (int k = 0; k < filas; ++k) {
        QStringList fila;
        for (const QString &t : std::as_const(tipos))
            fila << QStringLiteral("$%1::%2").arg(++n).arg(t);
        valores << QLatin1Char('(') + fila.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(RegistroCentral::TablaFotosSql(), columnas.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")));
}

// The values of one photo as libpq parameters, in ColumnasFotos order: text
// (null for none), the JPEG in binary.
void Parametros(const FotoEvaluacion &f, std::vector<QByteArray> &textos, std::vector<const char *> &valores,
                std::vector<int> &largos, std::vector<int> &formatos)
{
    auto texto = [&](const QByteArray &b) {
        textos.push_back(b);
        valores.push_back(nullptr);  // set once `textos` no longer moves
        largos.push_back(0);
        formatos.push_back(0);
    };
    auto nulo = [&] {
        textos.push_back(QByteArray());
        valores.push_back(nullptr);
        largos.push_back(-1);
        formatos.push_back(0);
    };
    texto(Fotos::TextoUuid(f.uuid).toLatin1());
    texto(Fotos::TextoUuid(f.evaluacion).toLatin1());
    texto(QByteArray::number(f.orden));
    texto(f.leyenda.toUtf8());
    if (f.tomadaEn.isValid())
        texto(Fotos::TextoFecha(f.tomadaEn).toLatin1());
    else
        nulo();
    for (const std::optional<double> &v : {f.latitud, f.longitud}) {
        if (v)
            texto(QByteArray::number(*v, 'g', 17));
        else
            nulo();
    }
    texto(QByteArray::number(f.ancho));
    texto(QByteArray::number(f.alto));
    texto(f.sha256.toLatin1());
    texto(QByteArray::number(qint64(f.jpeg.size())));
    textos.push_back(f.jpeg);
    valores.push_back(nullptr);
    largos.push_back(int(f.jpeg.size()));
    formatos.push_back(1);
}

// Inserts `fotos` in statements of at most BytesPorSentencia each.
void Insertar(QSqlDatabase &db, const ConexionServidor &c, const QVector<const FotoEvaluacion *> &fotos)
{
    PGconn *pg = Pg(db);
    if (!pg)
        throw ErrorServidor(QStringLiteral("Error en el registro central: la conexión no es de PostgreSQL (%1).")
                                .arg(Descripcion(c)),
                            false);
    for (qsizetype inicio = 0; inicio < fotos.size();) {
        qsizetype fin = inicio;
        qint64 bytes = 0;
        while (fin < fotos.size() && (fin == inicio || bytes + fotos.at(fin)->jpeg.size() <= FotosServidor::BytesPorSentencia) &&
               fin - inicio < 200) {
            bytes += fotos.at(fin)->jpeg.size();
            ++fin;
        }
        std::vector<QByteArray> textos;
        std::vector<const char *> valores;
        std::vector<int> largos, formatos;
        for (qsizetype k = inicio; k < fin; ++k)
            Parametros(*fotos.at(k), textos, valores, largos, formatos);
        for (std::size_t i = 0; i < textos.size(); ++i) {
            if (largos[i] >= 0)
                valores[i] = textos[i].constData();
            if (formatos[i] == 0 && largos[i] >= 0)
                largos[i] = 0;
        }
        const QByteArray sql = SentenciaNumerada(int(fin - inicio)).toUtf8();
        PGresult *r = PQexecParams(pg, sql.constData(), int(valores.size()), nullptr, valores.data(), largos.data(),
                                   formatos.data(), 0);
        const bool bien = r && PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!bien) {
            const char *estado = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
            const char *mensaje = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
            const QSqlError e(QString::fromUtf8(PQerrorMessage(pg)), QString::fromUtf8(mensaje ? mensaje : ""),
                              QSqlError::StatementError, QString::fromLatin1(estado ? estado : ""));
            PQclear(r);
            Fallar(c, QStringLiteral("no se pueden guardar las fotos"), e);
        }
        PQclear(r);
        inicio = fin;
    }
}

// The uuid of evaluation `numero`; empty when there is none.
QString UuidDe(const LectorRegistroSql &lector, int32_t numero)
{
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT uuid::text FROM %1 WHERE %2 = ?")
                  .arg(lector.tablaSql(), CitarIdentificador(Campo(Pos::Numero).columna)));
    q.addBindValue(numero);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return q.next() ? q.value(0).toString() : QString();
}

}  // namespace

namespace RegistroCentral {
QString TablaFotosSql() { return CitarIdentificador(Esquema) + QLatin1Char('.') + CitarIdentificador(TablaFotos); }
}  // namespace RegistroCentral

QStringList PrepararFotosServidor(QSqlQuery &q, const ConexionServidor &administrador)
{
    using namespace RegistroCentral;
    QStringList hecho;
    auto exec = [&](const QString &sql, const QString &que) {
        if (!q.exec(sql))
            throw Servidor::error(administrador, que, q.lastError());
    };
    const QString tabla = TablaFotosSql();
    exec(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = '%1' AND tablename = '%2'").arg(Esquema, TablaFotos),
         QStringLiteral("no se puede leer el catálogo del servidor"));
    if (!q.next()) {
        exec(QStringLiteral("CREATE TABLE %1 (%2, recibido_en timestamptz NOT NULL DEFAULT now(), usuario_servidor text)")
                 .arg(tabla, FotosSql::Definicion(FotosSql::Motor::Postgres)),
             QStringLiteral("no se puede crear la tabla de fotos"));
        hecho << QStringLiteral("Tabla %1 creada.").arg(tabla);
    }
    // JPEG does not compress: the server keeps the bytes as they come.
    exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 SET STORAGE EXTERNAL").arg(tabla, ColF(ColFoto::Jpeg)),
         QStringLiteral("no se puede cambiar la tabla de fotos"));
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"FotosEvaluacion\" ON %1 (%2, %3)")
             .arg(tabla, ColF(ColFoto::Evaluacion), ColF(ColFoto::Orden)),
         QStringLiteral("no se puede crear un índice"));
    // Each photo once: a uuid held with the same hash is skipped (a resend),
    // with another refused; the hash must be that of the bytes. Two sends of
    // the same photo at once wait for each other on the uuid's lock. The
    // login and the time are the server's.
    exec(QStringLiteral(
             "CREATE OR REPLACE FUNCTION %1.recibir_foto() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
             "SET search_path = pg_catalog, pg_temp AS $f$ DECLARE h text; BEGIN "
             "IF NEW.%2 IS DISTINCT FROM encode(sha256(NEW.%3), 'hex') THEN RAISE EXCEPTION USING ERRCODE = 'ORV06', "
             "MESSAGE = format('la foto %s no corresponde a su huella SHA-256', NEW.%4); END IF; "
             "PERFORM pg_advisory_xact_lock(hashtextextended(NEW.%4::text, 23)); "
             "SELECT t.%2 INTO h FROM %5 AS t WHERE t.%4 = NEW.%4; "
             "IF FOUND THEN IF h = NEW.%2 THEN RETURN NULL; END IF; "
             "RAISE EXCEPTION USING ERRCODE = 'ORV07', MESSAGE = format('el registro central ya tiene otra foto con el "
             "identificador %s', NEW.%4); END IF; "
             "NEW.%6 := octet_length(NEW.%3); NEW.recibido_en := now(); NEW.usuario_servidor := session_user; "
             "RETURN NEW; END $f$")
             .arg(CitarIdentificador(Esquema), ColF(ColFoto::Sha256), ColF(ColFoto::Jpeg), ColF(ColFoto::Uuid), tabla,
                  ColF(ColFoto::Bytes)),
         QStringLiteral("no se puede crear la función de las fotos"));
    exec(QStringLiteral("REVOKE ALL ON FUNCTION %1.recibir_foto() FROM PUBLIC").arg(CitarIdentificador(Esquema)),
         QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("DROP TRIGGER IF EXISTS recibir ON %1").arg(tabla),
         QStringLiteral("no se puede crear el disparador de las fotos"));
    exec(QStringLiteral("CREATE TRIGGER recibir BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION %2.recibir_foto()")
             .arg(tabla, CitarIdentificador(Esquema)),
         QStringLiteral("no se puede crear el disparador de las fotos"));

    // Removing a photo: a correction of its evaluation, by the login that
    // stored the evaluation or a supervisor, with a reason.
    QStringList columnas;
    for (int i = 0; i < ColCorreccion::Cantidad; ++i)
        columnas << CitarIdentificador(ColumnasCorrecciones().at(i).nombre);
    const QString campo = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Campo).nombre);
    const QString anterior = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Anterior).nombre);
    exec(QStringLiteral(
             "CREATE OR REPLACE FUNCTION %1.quitar_foto(p_foto uuid, p_motivo text) RETURNS void LANGUAGE plpgsql "
             "SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$ "
             "DECLARE n integer; id uuid; dueno text; BEGIN "
             "IF COALESCE(btrim(p_motivo), '') = '' THEN RAISE EXCEPTION USING ERRCODE = 'ORV09', MESSAGE = "
             "'quitar una foto necesita un motivo'; END IF; "
             "SELECT e.%2, e.uuid, e.usuario_servidor INTO n, id, dueno FROM %3 AS f JOIN %4 AS e ON e.uuid = f.%5 "
             "WHERE f.%6 = p_foto FOR UPDATE OF e; "
             "IF NOT FOUND OR EXISTS (SELECT 1 FROM %7 AS c WHERE c.%8 = '%9' AND c.%10 = p_foto::text) THEN "
             "RAISE EXCEPTION USING ERRCODE = 'ORV10', MESSAGE = format('no existe la foto %s o ya se quitó', p_foto); "
             "END IF; "
             "IF dueno IS DISTINCT FROM session_user AND NOT pg_has_role(session_user, '%11', 'MEMBER') THEN "
             "RAISE EXCEPTION USING ERRCODE = 'ORV11', MESSAGE = format('el usuario «%s» solo puede quitar fotos de "
             "las evaluaciones que guardó él mismo, y la N.º %s la guardó %s; puede hacerlo un supervisor', "
             "session_user, n, COALESCE('«' || dueno || '»', 'una versión anterior del registro')); END IF; "
             "INSERT INTO %7 (%12) VALUES (n, id, '%9', p_foto::text, NULL, btrim(p_motivo), session_user, now()); "
             "END $f$")
             .arg(CitarIdentificador(Esquema), CitarIdentificador(Campo(Pos::Numero).columna), tabla, TablaSql(),
                  ColF(ColFoto::Evaluacion), ColF(ColFoto::Uuid), TablaCorreccionesSql(), campo, Fotos::CampoCorreccion)
             .arg(anterior, PapelSupervisor, columnas.join(QStringLiteral(", "))),
         QStringLiteral("no se puede crear la función para quitar fotos"));
    exec(QStringLiteral("REVOKE ALL ON FUNCTION %1.quitar_foto(uuid, text) FROM PUBLIC").arg(CitarIdentificador(Esquema)),
         QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("GRANT EXECUTE ON FUNCTION %1.quitar_foto(uuid, text) TO %2")
             .arg(CitarIdentificador(Esquema), PapelEvaluador),
         QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC").arg(tabla), QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(tabla, PapelEvaluador), QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("GRANT SELECT, INSERT ON %1 TO %2").arg(tabla, PapelEvaluador),
         QStringLiteral("no se puede fijar los permisos"));
    return hecho;
}

namespace FotosServidor {

QHash<QUuid, QString> Enviar(QSqlDatabase db, const ConexionServidor &conexion, const QVector<RegistroEvaluacion> &lote)
{
    QStringList uuids;
    for (const RegistroEvaluacion &r : lote)
        for (const FotoEvaluacion &f : r.fotos)
            uuids << Fotos::TextoUuid(f.uuid);
    QHash<QUuid, QString> rechazados;
    if (uuids.isEmpty())
        return rechazados;
    // A resend sends only what the server lacks.
    const QHash<QUuid, QString> hay = Existentes(db, conexion, uuids);
    QVector<const FotoEvaluacion *> faltan;
    for (const RegistroEvaluacion &r : lote) {
        QVector<const FotoEvaluacion *> suyas;
        for (const FotoEvaluacion &f : r.fotos) {
            const auto h = hay.constFind(f.uuid);
            if (h == hay.cend())
                suyas << &f;
            else if (*h != f.sha256)
                rechazados.insert(r.uuid, QStringLiteral("el registro central ya tiene otra foto con el identificador "
                                                         "%1; no se envía: consulte al centro de operaciones")
                                              .arg(Fotos::TextoUuid(f.uuid)));
        }
        if (!rechazados.contains(r.uuid))
            faltan << suyas;
    }
    if (rechazados.isEmpty())
        Insertar(db, conexion, faltan);
    return rechazados;
}

QVector<FotoEvaluacion> Listar(const LectorRegistroSql &lector, int32_t numero)
{
    const QString uuid = UuidDe(lector, numero);
    if (uuid.isEmpty())
        return {};
    return FotosSql::Listar(lector.db(), FotosSql::Motor::Postgres, RegistroCentral::TablaFotosSql(),
                            RegistroCentral::TablaCorreccionesSql(), uuid, lector.tablaSql());
}

std::optional<FotoEvaluacion> Leer(const LectorRegistroSql &lector, const QUuid &foto)
{
    return FotosSql::Leer(lector.db(), FotosSql::Motor::Postgres, RegistroCentral::TablaFotosSql(),
                          RegistroCentral::TablaCorreccionesSql(), foto, lector.tablaSql());
}

void Agregar(const LectorRegistroSql &lector, const ConexionServidor &conexion, int32_t numero,
             QVector<FotoEvaluacion> &fotos)
{
    if (fotos.isEmpty())
        return;
    const QString uuid = UuidDe(lector, numero);
    if (uuid.isEmpty())
        throw ErrorServidor(QStringLiteral("No se pueden agregar fotos: no existe la evaluación N.º %1 (%2).")
                                .arg(numero)
                                .arg(Descripcion(conexion)),
                            false);
    QSqlDatabase db = lector.db();
    QVariantList valores{uuid};
    const QString visible =
        FotosSql::Visible(FotosSql::Motor::Postgres, RegistroCentral::TablaCorreccionesSql(), valores);
    if (!db.transaction())
        throw Servidor::error(conexion, QStringLiteral("no se puede iniciar la escritura"), db.lastError());
    try {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        // How many it shows and the last order given. An evaluator may not
        // lock the evaluation's row: two machines adding photos to the same
        // evaluation at the same moment may give two photos one order; both
        // are kept, and shown one after the other.
        q.prepare(QStringLiteral("SELECT (SELECT COALESCE(SUM(CASE WHEN %1 THEN 1 ELSE 0 END), 0) FROM %2 AS f WHERE f.%3 = "
                                 "e.uuid), (SELECT COALESCE(MAX(f.%4), 0) FROM %2 AS f WHERE f.%3 = e.uuid) FROM %5 AS e "
                                 "WHERE e.uuid = CAST(? AS uuid)")
                      .arg(visible, RegistroCentral::TablaFotosSql(), ColF(ColFoto::Evaluacion), ColF(ColFoto::Orden),
                           lector.tablaSql()));
        q.addBindValue(valores.at(1));
        q.addBindValue(valores.at(0));
        if (!q.exec() || !q.next())
            Fallar(conexion, QStringLiteral("no se pueden leer las fotos"), q.lastError());
        const int visibles = q.value(0).toInt();
        const int ultimo = q.value(1).toInt();
        q.finish();
        RegistroEvaluacion r;
        r.uuid = QUuid(uuid);
        r.fotos = fotos;
        Fotos::Completar(r.fotos, r.uuid, visibles, ultimo, Descripcion(conexion));
        const QHash<QUuid, QString> rechazados = Enviar(db, conexion, {r});
        if (!rechazados.isEmpty())
            throw ErrorServidor(QStringLiteral("No se pueden agregar las fotos: %1 (%2).")
                                    .arg(rechazados.begin().value(), Descripcion(conexion)),
                                false);
        if (!db.commit())
            throw Servidor::error(conexion, QStringLiteral("no se pudo confirmar la escritura"), db.lastError());
        fotos = std::move(r.fotos);
    } catch (...) {
        db.rollback();
        throw;
    }
}

void Quitar(const LectorRegistroSql &lector, const ConexionServidor &conexion, const QUuid &foto, const QString &motivo)
{
    if (motivo.trimmed().isEmpty())
        throw ErrorServidor(QStringLiteral("No se puede quitar la foto: hace falta el motivo."), false);
    QSqlQuery q(lector.db());
    q.prepare(QStringLiteral("SELECT %1.quitar_foto(CAST(? AS uuid), ?)").arg(CitarIdentificador(RegistroCentral::Esquema)));
    q.addBindValue(Fotos::TextoUuid(foto));
    q.addBindValue(motivo);
    if (!q.exec()) {
        const QSqlError e = q.lastError();
        if (EstadosPropios().contains(e.nativeErrorCode()))
            throw ErrorServidor(QStringLiteral("No se puede quitar la foto: %1 (%2).")
                                    .arg(e.databaseText().trimmed(), Descripcion(conexion)),
                                false, e.nativeErrorCode());
        throw Servidor::error(conexion, QStringLiteral("no se puede quitar la foto"), e);
    }
}

}  // namespace FotosServidor
