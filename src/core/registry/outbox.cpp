#include "core/registry/outbox.h"

#include "core/data/record_set.h"
#include "core/registry/photo_sql.h"
#include "core/registry/registry_sql.h"
#include "core/registry/server_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace RegistroEvaluaciones;

namespace TextosBandeja {
const QString GuardadaEnEquipo = QStringLiteral(
    "La evaluacion ha sido guardada en este equipo y se enviará al registro central cuando haya conexión.");
const QString QuedaPendiente = QStringLiteral(
    "La evaluación está guardada en este equipo y queda pendiente de envío al registro central.");
const QString Pendiente = QStringLiteral("pendiente de envío");
}  // namespace TextosBandeja

namespace {

const QString TablaPendientes = QStringLiteral("Pendientes");
// Records that will not be sent again by themselves: a broken uuid, or a
// refusal of the server that concerns the record (not the network).
const QString TablaApartados = QStringLiteral("Apartados");
// The photos of the waiting and the set-aside records, by their
// evaluation's uuid; those of a record sent leave with it.
QString FotosSql_() { return CitarIdentificador(RegistroEvaluaciones::TablaFotos); }
// A batch carries at most this many bytes of photos (at least one record).
constexpr qint64 BytesFotosPorLote = 64 * 1024 * 1024;

// The text of a uuid as the outbox keeps it: lower-case hexadecimal in the
// 8-4-4-4-12 groups, without braces.
QString PatronUuid()
{
    const QString h = QStringLiteral("[0-9a-f]");
    return h.repeated(8) + QLatin1Char('-') + h.repeated(4) + QLatin1Char('-') + h.repeated(4) + QLatin1Char('-')
           + h.repeated(4) + QLatin1Char('-') + h.repeated(12);
}

// SQLSTATE classes of a refusal that concerns the record sent, not the
// server or the connection: data exceptions (a text the server cannot
// store, a value out of range), integrity violations, and refusals raised
// by the server's own checks; and the records the server names itself (a
// uuid it holds with another evaluation, a text it cannot store).
bool RechazoDelRegistro(const ErrorServidor &e)
{
    if (dynamic_cast<const ErrorRegistroRechazado *>(&e))
        return true;
    const QString estado = e.estado();
    // ORV06, ORV07: a photo whose hash is not that of its bytes, a photo
    // uuid the server holds with another photo.
    return !e.red() && (estado.startsWith(QLatin1String("22")) || estado.startsWith(QLatin1String("23"))
                        || estado.startsWith(QLatin1String("P0")) || estado == QLatin1String("ORV06")
                        || estado == QLatin1String("ORV07"));
}

[[noreturn]] void Fallar(const QString &archivo, const QString &que, const QString &detalle)
{
    QString texto = QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").")
                        .arg(que, TablaPendientes, archivo);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

}  // namespace

// The outbox's connection to its file.
class ArchivoBandeja {
public:
    explicit ArchivoBandeja(const QString &archivo) : archivo_(archivo), nombre_(Servidor::nuevaConexion("orv-bandeja"))
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre_);
        db_.setDatabaseName(archivo);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db_.open()) {
            const QString detalle = db_.lastError().text();
            cerrar();
            Fallar(archivo, QStringLiteral("no se puede abrir ni crear el archivo de pendientes"), detalle);
        }
        QSqlQuery q(db_);
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    ~ArchivoBandeja() { cerrar(); }
    QSqlDatabase &db() { return db_; }
    const QString &nombre() const { return nombre_; }
    void exec(QSqlQuery &q, const QString &que)
    {
        if (!q.exec()) {
            const QString detalle = q.lastError().text();
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo_, que, detalle);
        }
    }
    void exec(const QString &sql, const QString &que)
    {
        QSqlQuery q(db_);
        if (!q.exec(sql)) {
            const QString detalle = q.lastError().text();
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo_, que, detalle);
        }
    }

private:
    void cerrar()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre_);
    }
    QString archivo_;
    QString nombre_;
    QSqlDatabase db_;
};

namespace {

const QString &Identidad()
{
    static const QString columnas =
        QStringLiteral("\"uuid\", \"equipo\", \"usuario\", \"guardado_en\", \"clave_edificacion\", \"unidades_vivienda\"");
    return columnas;
}

}  // namespace

QString BandejaSalida::archivoPara(const QString &archivoRegistro)
{
    return QFileInfo(archivoRegistro).absoluteDir().filePath(QStringLiteral("Pendientes de Envío.sqlite"));
}

QString BandejaSalida::registroDe(const ConexionServidor &c)
{
    return QStringLiteral("%1/%2").arg(c.servidor.isEmpty() ? QStringLiteral("localhost") : c.servidor.toLower(), c.base);
}

BandejaSalida::~BandejaSalida() = default;

ArchivoBandeja &BandejaSalida::a() const
{
    if (!conexion_)
        conexion_ = std::make_unique<ArchivoBandeja>(archivo_);
    return *conexion_;
}

BandejaSalida::BandejaSalida(QString archivo, QString servidor)
    : archivo_(std::move(archivo)), servidor_(std::move(servidor))
{
    const QFileInfo info(archivo_);
    if (!QDir().mkpath(info.absolutePath()))
        Fallar(archivo_, QStringLiteral("no se puede crear la carpeta del archivo de pendientes"), info.absolutePath());
    ArchivoBandeja &a = this->a();
    QStringList columnas;
    for (const CampoRegistro &c : Campos())
        columnas << CitarIdentificador(c.columna) + QLatin1Char(' ') + TipoSqlite(c.tipo);
    columnas << QStringLiteral("\"uuid\" TEXT NOT NULL UNIQUE") << QStringLiteral("\"equipo\" TEXT")
             << QStringLiteral("\"usuario\" TEXT") << QStringLiteral("\"guardado_en\" TEXT")
             << QStringLiteral("\"clave_edificacion\" TEXT") << QStringLiteral("\"unidades_vivienda\" INTEGER");
    a.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
               .arg(CitarIdentificador(TablaPendientes), columnas.join(QStringLiteral(", "))),
           QStringLiteral("no se puede crear la tabla"));
    // Columns outboxes written by earlier versions lack, added empty: the
    // central registry each record is for, and the building key the
    // evaluator chose (empty: the registry computes it when the record
    // arrives), the dwelling units.
    auto asegurarColumna = [&](const QString &tabla, const QString &columna, const char *tipo = "TEXT") {
        QSqlQuery q(a.db());
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info(?) WHERE name = ?"));
        q.addBindValue(tabla);
        q.addBindValue(columna);
        a.exec(q, QStringLiteral("no se puede leer la tabla"));
        if (q.next() && q.value(0).toInt() == 0)
            a.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                       .arg(CitarIdentificador(tabla), CitarIdentificador(columna), QLatin1String(tipo)),
                   QStringLiteral("no se puede agregar la columna %1").arg(columna));
    };
    asegurarColumna(TablaPendientes, QStringLiteral("servidor"));
    asegurarColumna(TablaPendientes, QStringLiteral("clave_edificacion"));
    asegurarColumna(TablaPendientes, QStringLiteral("unidades_vivienda"), "INTEGER");
    columnas.replace(columnas.indexOf(QStringLiteral("\"uuid\" TEXT NOT NULL UNIQUE")), QStringLiteral("\"uuid\" TEXT"));
    columnas << QStringLiteral("\"motivo\" TEXT NOT NULL") << QStringLiteral("\"apartado_en\" TEXT NOT NULL");
    a.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
               .arg(CitarIdentificador(TablaApartados), columnas.join(QStringLiteral(", "))),
           QStringLiteral("no se puede crear la tabla de evaluaciones apartadas"));
    asegurarColumna(TablaApartados, QStringLiteral("clave_edificacion"));
    asegurarColumna(TablaApartados, QStringLiteral("unidades_vivienda"), "INTEGER");
    a.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(FotosSql_(), FotosSql::Definicion(FotosSql::Motor::Sqlite)),
           QStringLiteral("no se puede crear la tabla de fotos"));
    a.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"FotosEvaluacion\" ON %1 (%2, %3)")
               .arg(FotosSql_(), CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre),
                    CitarIdentificador(ColumnasFotos().at(ColFoto::Orden).nombre)),
           QStringLiteral("no se puede crear un índice de la tabla de fotos"));
}

QString BandejaSalida::descripcion() const
{
    return QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaPendientes, archivo_);
}

void BandejaSalida::guardar(RegistroEvaluacion &registro)
{
    QVector<RegistroEvaluacion> uno{registro};
    guardar(uno);
    registro = uno.constFirst();
}

void BandejaSalida::guardar(QVector<RegistroEvaluacion> &registros)
{
    if (registros.isEmpty())
        return;
    QVector<RegistroEvaluacion> sellados = registros;
    static const QRegularExpression escrito(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    for (RegistroEvaluacion &r : sellados) {
        r.sellar();
        // Only a uuid in its one written form: the removal after the send
        // and the server's own check of a repeated record both compare this text.
        const QString uuid = r.uuid.toString(QUuid::WithoutBraces);
        if (r.uuid.isNull() || !escrito.match(uuid).hasMatch())
            Fallar(archivo_, QStringLiteral("el identificador de la evaluación no es válido"), uuid);
        r.pendiente = true;
        r.establecerCampo(Pos::Numero, QVariant());
        Fotos::Completar(r.fotos, r.uuid, 0, 0, descripcion());
    }
    ArchivoBandeja &a = this->a();
    QStringList marcas;
    for (int i = 0; i < NumCampos + 7; ++i)
        marcas << QStringLiteral("?");
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2, %3, \"servidor\") VALUES (%4)")
                  .arg(CitarIdentificador(TablaPendientes), LectorRegistroSql::listaColumnas(), Identidad(),
                       marcas.join(QStringLiteral(", "))));
    // One transaction, on disk when it commits.
    const bool varios = sellados.size() > 1 || !sellados.constFirst().fotos.isEmpty();
    if (varios)
        a.exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("el archivo de pendientes está ocupado"));
    for (const RegistroEvaluacion &r : std::as_const(sellados)) {
        for (int i = 0; i < NumCampos; ++i)
            q.addBindValue(r.campo(i));
        q.addBindValue(r.uuid.toString(QUuid::WithoutBraces));
        q.addBindValue(r.equipo);
        q.addBindValue(r.usuario);
        q.addBindValue(r.guardadoEn.toUTC().toString(Qt::ISODateWithMs));
        q.addBindValue(r.claveEdificacion.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(r.claveEdificacion));
        q.addBindValue(r.unidadesVivienda ? QVariant(*r.unidadesVivienda) : QVariant(QMetaType(QMetaType::Int)));
        q.addBindValue(servidor_.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(servidor_));
        a.exec(q, QStringLiteral("no se puede guardar la evaluación en los pendientes"));
        try {
            FotosSql::EscribirSqlite(a.db(), FotosSql_(), r.fotos,
                                     QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaFotos, archivo_));
        } catch (...) {
            QSqlQuery(a.db()).exec(QStringLiteral("ROLLBACK"));
            throw;
        }
    }
    if (varios)
        a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
    registros = std::move(sellados);
}

qint64 BandejaSalida::cantidad() const
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM %1").arg(CitarIdentificador(TablaPendientes)));
    a.exec(q, QStringLiteral("no se puede leer los pendientes"));
    return q.next() ? q.value(0).toLongLong() : 0;
}

namespace {
QVector<RegistroEvaluacion> LeerPendientes(ArchivoBandeja &a, const QString &condicion, const QString &orden,
                                           const QVariantList &valores, const QString &tabla = TablaPendientes,
                                           QStringList *motivos = nullptr)
{
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2%6 FROM %3 %4 ORDER BY %5")
                  .arg(LectorRegistroSql::listaColumnas(), Identidad(), CitarIdentificador(tabla), condicion, orden,
                       motivos ? QStringLiteral(", \"motivo\"") : QString()));
    for (const QVariant &v : valores)
        q.addBindValue(v);
    a.exec(q, QStringLiteral("no se puede leer los pendientes"));
    QVector<RegistroEvaluacion> registros;
    while (q.next()) {
        RegistroEvaluacion r = LectorRegistroSql::registroDeFila(q);
        r.uuid = QUuid::fromString(q.value(NumCampos).toString());
        r.equipo = q.value(NumCampos + 1).toString();
        r.usuario = q.value(NumCampos + 2).toString();
        r.guardadoEn = QDateTime::fromString(q.value(NumCampos + 3).toString(), Qt::ISODateWithMs);
        r.claveEdificacion = q.value(NumCampos + 4).toString();
        if (!q.value(NumCampos + 5).isNull())
            r.unidadesVivienda = q.value(NumCampos + 5).toInt();
        r.pendiente = true;
        if (motivos)
            motivos->append(q.value(NumCampos + 6).toString());
        registros.append(std::move(r));
    }
    return registros;
}
}  // namespace

QMap<QString, qint64> BandejaSalida::pendientesPorServidor() const
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT COALESCE(\"servidor\", ''), COUNT(*) FROM %1 GROUP BY 1")
                  .arg(CitarIdentificador(TablaPendientes)));
    a.exec(q, QStringLiteral("no se puede leer los pendientes"));
    QMap<QString, qint64> cuentas;
    while (q.next())
        cuentas.insert(q.value(0).toString(), q.value(1).toLongLong());
    return cuentas;
}

void BandejaSalida::asignarServidor(const QString &servidor)
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("UPDATE %1 SET \"servidor\" = ? WHERE \"servidor\" IS NULL")
                  .arg(CitarIdentificador(TablaPendientes)));
    q.addBindValue(servidor);
    a.exec(q, QStringLiteral("no se puede escribir los pendientes"));
}

QVector<EvaluacionApartada> BandejaSalida::apartadas() const
{
    QStringList motivos;
    const QVector<RegistroEvaluacion> registros =
        LeerPendientes(a(), QString(), QStringLiteral("rowid"), {}, TablaApartados, &motivos);
    QVector<EvaluacionApartada> lista;
    for (qsizetype i = 0; i < registros.size(); ++i)
        lista.append({registros.at(i), motivos.at(i)});
    return lista;
}

void BandejaSalida::apartar(const QString &donde, const QVariant &valor, const QString &motivo)
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("INSERT INTO %1 (%3, %4, \"motivo\", \"apartado_en\") SELECT %3, %4, ?, ? FROM %2 WHERE %5")
                  .arg(CitarIdentificador(TablaApartados), CitarIdentificador(TablaPendientes),
                       LectorRegistroSql::listaColumnas(), Identidad(), donde));
    q.addBindValue(motivo);
    q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    q.addBindValue(valor);
    a.exec(q, QStringLiteral("no se puede apartar una evaluación de los pendientes"));
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2").arg(CitarIdentificador(TablaPendientes), donde));
    q.addBindValue(valor);
    a.exec(q, QStringLiteral("no se puede apartar una evaluación de los pendientes"));
}

int BandejaSalida::reparar()
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT rowid, \"uuid\" FROM %1 WHERE \"uuid\" IS NULL OR \"uuid\" NOT GLOB ?")
                  .arg(CitarIdentificador(TablaPendientes)));
    q.addBindValue(PatronUuid());
    a.exec(q, QStringLiteral("no se puede leer los pendientes"));
    QList<std::pair<qint64, QString>> filas;
    while (q.next())
        filas.append({q.value(0).toLongLong(), q.value(1).toString()});
    q.finish();
    if (filas.isEmpty())
        return 0;

    // A uuid in upper case or in braces is the same uuid written otherwise:
    // it is written as the outbox writes it. One that is no uuid at all is
    // set aside: sent under a new uuid it could be stored twice.
    int apartadas = 0;
    a.exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("el archivo de pendientes está ocupado"));
    for (const auto &[fila, texto] : std::as_const(filas)) {
        const QUuid uuid = QUuid::fromString(QStringView(texto).trimmed());
        const QString escrito = uuid.toString(QUuid::WithoutBraces);
        QString motivo;
        if (uuid.isNull()) {
            motivo = QStringLiteral("El identificador de la evaluación en los pendientes (\"%1\") no es válido. No se "
                                    "envía con otro identificador, porque podría quedar dos veces en el registro "
                                    "central: búsquela en el registro central y, si no está, guárdela de nuevo.")
                         .arg(texto.left(60));
        } else {
            QSqlQuery otra(a.db());
            otra.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"uuid\" = ?").arg(CitarIdentificador(TablaPendientes)));
            otra.addBindValue(escrito);
            a.exec(otra, QStringLiteral("no se puede leer los pendientes"));
            if (otra.next() && otra.value(0).toLongLong() > 0) {
                motivo = QStringLiteral("La evaluación ya espera en los pendientes con el identificador %1; esta copia "
                                        "no se envía.")
                             .arg(escrito);
            } else {
                otra.prepare(QStringLiteral("UPDATE %1 SET \"uuid\" = ? WHERE rowid = ?").arg(CitarIdentificador(TablaPendientes)));
                otra.addBindValue(escrito);
                otra.addBindValue(fila);
                a.exec(otra, QStringLiteral("no se puede corregir el identificador de una evaluación pendiente"));
                continue;
            }
        }
        apartar(QStringLiteral("rowid = ?"), fila, motivo);
        ++apartadas;
    }
    a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
    return apartadas;
}

QVector<RegistroEvaluacion> BandejaSalida::pendientes(int cuantos) const
{
    return LeerPendientes(a(), QString(), QStringLiteral("rowid LIMIT ?"), {cuantos < 0 ? -1 : cuantos});
}

QVector<RegistroEvaluacion> BandejaSalida::pendientes(const FiltroRegistro &filtro) const
{
    ArchivoBandeja &a = this->a();
    // The same selection as the registry's, on the same columns.
    const LectorRegistroSql lector(a.nombre(), CitarIdentificador(TablaPendientes), LectorRegistroSql::Motor::Sqlite,
                                   descripcion());
    // A pending evaluation has no building in the registry yet: each is shown.
    FiltroRegistro sinEdificaciones = filtro;
    sinEdificaciones.soloVigentes = false;
    QVariantList valores;
    const QString condicion = lector.condicion(sinEdificaciones, valores);
    return LeerPendientes(a, condicion, QStringLiteral("rowid DESC"), valores);
}

void BandejaSalida::quitar(const QVector<QUuid> &uuids)
{
    ArchivoBandeja &a = this->a();
    // A removal lost to a power cut only sends those records again, which
    // stores nothing twice: it need not wait for the disk.
    a.exec(QStringLiteral("PRAGMA synchronous=NORMAL"), QStringLiteral("no se puede escribir los pendientes"));
    a.exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("el archivo de pendientes está ocupado"));
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE \"uuid\" = ?").arg(CitarIdentificador(TablaPendientes)));
    QSqlQuery fotos(a.db());
    fotos.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                      .arg(FotosSql_(), CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre)));
    for (const QUuid &u : uuids) {
        q.addBindValue(u.toString(QUuid::WithoutBraces));
        a.exec(q, QStringLiteral("no se puede quitar de los pendientes una evaluación enviada"));
        fotos.addBindValue(u.toString(QUuid::WithoutBraces));
        a.exec(fotos, QStringLiteral("no se puede quitar de los pendientes las fotos de una evaluación enviada"));
    }
    a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
    a.exec(QStringLiteral("PRAGMA synchronous=FULL"), QStringLiteral("no se puede escribir los pendientes"));
}

ResultadoEnvio BandejaSalida::enviar(RegistroServidor &servidor, int porLote)
{
    ResultadoEnvio resultado;
    porLote = std::max(1, porLote);
    resultado.apartadas = reparar();
    // Records written before the outbox kept their server are this one's.
    const QString nombre = registroDe(servidor.conexion());
    asignarServidor(nombre);
    // The server holds them once committed; a failure from here on leaves
    // them in the outbox, and sending them again stores nothing new.
    auto confirmar = [&](const QVector<RegistroEvaluacion> &lote) {
        QVector<QUuid> enviados;
        enviados.reserve(lote.size());
        for (const RegistroEvaluacion &r : lote)
            enviados << r.uuid;
        quitar(enviados);
        // Numbered only once out of the outbox: a record still there reads as pending.
        for (const RegistroEvaluacion &r : lote)
            resultado.numeros.insert(r.uuid, r.numero());
        resultado.enviados += lote.size();
    };
    auto fallar = [&](const ErrorDatos &e, bool red) {
        resultado.error = e.mensaje();
        resultado.red = red;
    };
    // Each record is sent once per call: one that is still there after its
    // removal ends the send instead of going round again.
    QSet<QUuid> vistos;
    for (;;) {
        QVector<RegistroEvaluacion> lote = LeerPendientes(a(), QStringLiteral("WHERE \"servidor\" = ?"),
                                                          QStringLiteral("rowid LIMIT ?"), {nombre, porLote});
        if (lote.isEmpty())
            break;
        cargarFotos(lote);
        const bool repetido = std::any_of(lote.cbegin(), lote.cend(), [&](const RegistroEvaluacion &r) {
            return vistos.contains(r.uuid);
        });
        if (repetido) {
            resultado.error = QStringLiteral("Error en la base de datos: una evaluación enviada no se pudo quitar "
                                             "de los pendientes (%1); se volverá a enviar, sin repetirse, en el "
                                             "próximo envío.")
                                  .arg(descripcion());
            break;
        }
        for (const RegistroEvaluacion &r : std::as_const(lote))
            vistos.insert(r.uuid);
        try {
            servidor.agregar(lote);
            confirmar(lote);
            continue;
        } catch (const ErrorServidor &e) {
            if (!RechazoDelRegistro(e)) {
                fallar(e, e.red());
                break;
            }
        } catch (const ErrorDatos &e) {
            fallar(e, false);
            break;
        }
        // The server refused something in the batch itself: each record
        // alone, and the one it refuses is set aside with the reason.
        bool parar = false;
        for (const RegistroEvaluacion &r : std::as_const(lote)) {
            QVector<RegistroEvaluacion> uno{r};
            try {
                servidor.agregar(uno);
                confirmar(uno);
            } catch (const ErrorServidor &e) {
                if (!RechazoDelRegistro(e)) {
                    fallar(e, e.red());
                    parar = true;
                    break;
                }
                ArchivoBandeja &a = this->a();
                a.exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("el archivo de pendientes está ocupado"));
                apartar(QStringLiteral("\"uuid\" = ?"), r.uuid.toString(QUuid::WithoutBraces),
                        QStringLiteral("El registro central rechazó esta evaluación; no se vuelve a enviar sola.\n")
                            + e.mensaje());
                a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
                ++resultado.apartadas;
            } catch (const ErrorDatos &e) {
                fallar(e, false);
                parar = true;
                break;
            }
        }
        if (parar)
            break;
    }
    // Those for another central registry stay, and are said.
    const QMap<QString, qint64> porServidor = pendientesPorServidor();
    QStringList otros;
    for (auto it = porServidor.cbegin(); it != porServidor.cend(); ++it) {
        if (it.key() == nombre)
            continue;
        resultado.deOtroRegistro += static_cast<int>(it.value());
        otros << QStringLiteral("%1 del registro central «%2»").arg(it.value()).arg(it.key());
    }
    if (resultado.deOtroRegistro > 0 && resultado.error.isEmpty())
        resultado.error = QStringLiteral("Hay evaluaciones guardadas en este equipo para otro registro central "
                                         "(%1); no se envían a «%2». Se enviarán cuando vuelva a elegir su registro "
                                         "en «Configuración del registro».")
                              .arg(otros.join(QStringLiteral(", ")), nombre);
    resultado.pendientes = static_cast<int>(cantidad());
    return resultado;
}

void BandejaSalida::cargarFotos(QVector<RegistroEvaluacion> &lote) const
{
    ArchivoBandeja &a = this->a();
    const QString evaluacion = CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre);
    // The batch ends before the record whose photos would make it too
    // heavy to hold (the first record goes whatever its photos weigh).
    QSqlQuery peso(a.db());
    peso.prepare(QStringLiteral("SELECT COALESCE(SUM(%1), 0) FROM %2 WHERE %3 = ?")
                     .arg(CitarIdentificador(ColumnasFotos().at(ColFoto::Bytes).nombre), FotosSql_(), evaluacion));
    QSqlQuery lee(a.db());
    lee.setForwardOnly(true);
    lee.prepare(QStringLiteral("SELECT %1 FROM %2 AS f WHERE f.%3 = ? ORDER BY f.%4")
                    .arg(FotosSql::Columnas(FotosSql::Motor::Sqlite, true), FotosSql_(), evaluacion,
                         CitarIdentificador(ColumnasFotos().at(ColFoto::Orden).nombre)));
    qint64 bytes = 0;
    for (qsizetype i = 0; i < lote.size(); ++i) {
        const QString uuid = lote.at(i).uuid.toString(QUuid::WithoutBraces);
        peso.addBindValue(uuid);
        a.exec(peso, QStringLiteral("no se puede leer las fotos de los pendientes"));
        const qint64 suyas = peso.next() ? peso.value(0).toLongLong() : 0;
        peso.finish();
        if (i > 0 && bytes + suyas > BytesFotosPorLote) {
            lote.resize(i);
            return;
        }
        bytes += suyas;
        if (suyas == 0)
            continue;
        lee.addBindValue(uuid);
        a.exec(lee, QStringLiteral("no se puede leer las fotos de los pendientes"));
        while (lee.next())
            lote[i].fotos << FotosSql::DeFila(lee, true);
        lee.finish();
    }
}

QVector<FotoEvaluacion> BandejaSalida::fotos(const QUuid &evaluacion) const
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 AS f WHERE f.%3 = ? ORDER BY f.%4")
                  .arg(FotosSql::Columnas(FotosSql::Motor::Sqlite, false), FotosSql_(),
                       CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre),
                       CitarIdentificador(ColumnasFotos().at(ColFoto::Orden).nombre)));
    q.addBindValue(evaluacion.toString(QUuid::WithoutBraces));
    a.exec(q, QStringLiteral("no se puede leer las fotos de los pendientes"));
    QVector<FotoEvaluacion> lista;
    while (q.next())
        lista << FotosSql::DeFila(q, false);
    return lista;
}

std::optional<FotoEvaluacion> BandejaSalida::foto(const QUuid &uuid) const
{
    ArchivoBandeja &a = this->a();
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 AS f WHERE f.%3 = ?")
                  .arg(FotosSql::Columnas(FotosSql::Motor::Sqlite, true), FotosSql_(),
                       CitarIdentificador(ColumnasFotos().at(ColFoto::Uuid).nombre)));
    q.addBindValue(uuid.toString(QUuid::WithoutBraces));
    a.exec(q, QStringLiteral("no se puede leer las fotos de los pendientes"));
    if (!q.next())
        return std::nullopt;
    return FotosSql::DeFila(q, true);
}

void BandejaSalida::agregarFotos(const QUuid &evaluacion, QVector<FotoEvaluacion> &fotos)
{
    if (fotos.isEmpty())
        return;
    ArchivoBandeja &a = this->a();
    const QString uuid = evaluacion.toString(QUuid::WithoutBraces);
    a.exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("el archivo de pendientes está ocupado"));
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("SELECT (SELECT COUNT(*) FROM %1 WHERE \"uuid\" = ?), COUNT(*), COALESCE(MAX(%2), 0) FROM %3 "
                             "WHERE %4 = ?")
                  .arg(CitarIdentificador(TablaPendientes), CitarIdentificador(ColumnasFotos().at(ColFoto::Orden).nombre),
                       FotosSql_(), CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre)));
    q.addBindValue(uuid);
    q.addBindValue(uuid);
    a.exec(q, QStringLiteral("no se puede leer las fotos de los pendientes"));
    q.next();
    const bool espera = q.value(0).toInt() > 0;
    const int guardadas = q.value(1).toInt();
    const int ultimo = q.value(2).toInt();
    q.finish();
    QVector<FotoEvaluacion> nuevas = fotos;
    try {
        if (!espera)
            throw ErrorDatos(QStringLiteral("No se pueden agregar fotos: la evaluación %1 ya no espera en los pendientes "
                                            "(%2); búsquela en el registro central.")
                                 .arg(uuid, descripcion()));
        Fotos::Completar(nuevas, evaluacion, guardadas, ultimo, descripcion());
        FotosSql::EscribirSqlite(a.db(), FotosSql_(), nuevas,
                                 QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaFotos, archivo_));
    } catch (...) {
        QSqlQuery(a.db()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
    fotos = std::move(nuevas);
}
