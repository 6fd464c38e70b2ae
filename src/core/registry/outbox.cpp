#include "core/registry/outbox.h"

#include "core/data/record_set.h"
#include "core/registry/registry_sql.h"
#include "core/registry/server_registry.h"

#include <QDir>
#include <QFileInfo>
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
    static const QString columnas = QStringLiteral("\"uuid\", \"equipo\", \"usuario\", \"guardado_en\"");
    return columnas;
}

}  // namespace

QString BandejaSalida::archivoPara(const QString &archivoRegistro)
{
    return QFileInfo(archivoRegistro).absoluteDir().filePath(QStringLiteral("Pendientes de Envío.sqlite"));
}

BandejaSalida::~BandejaSalida() = default;

ArchivoBandeja &BandejaSalida::a() const
{
    if (!conexion_)
        conexion_ = std::make_unique<ArchivoBandeja>(archivo_);
    return *conexion_;
}

BandejaSalida::BandejaSalida(QString archivo) : archivo_(std::move(archivo))
{
    const QFileInfo info(archivo_);
    if (!QDir().mkpath(info.absolutePath()))
        Fallar(archivo_, QStringLiteral("no se puede crear la carpeta del archivo de pendientes"), info.absolutePath());
    ArchivoBandeja &a = this->a();
    QStringList columnas;
    for (const CampoRegistro &c : Campos())
        columnas << CitarIdentificador(c.columna) + QLatin1Char(' ') + TipoSqlite(c.tipo);
    columnas << QStringLiteral("\"uuid\" TEXT NOT NULL UNIQUE") << QStringLiteral("\"equipo\" TEXT")
             << QStringLiteral("\"usuario\" TEXT") << QStringLiteral("\"guardado_en\" TEXT");
    a.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
               .arg(CitarIdentificador(TablaPendientes), columnas.join(QStringLiteral(", "))),
           QStringLiteral("no se puede crear la tabla"));
}

QString BandejaSalida::descripcion() const
{
    return QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaPendientes, archivo_);
}

void BandejaSalida::guardar(RegistroEvaluacion &registro)
{
    RegistroEvaluacion r = registro;
    r.sellar();
    r.pendiente = true;
    r.establecerCampo(Pos::Numero, QVariant());
    ArchivoBandeja &a = this->a();
    QStringList marcas;
    for (int i = 0; i < NumCampos + 4; ++i)
        marcas << QStringLiteral("?");
    QSqlQuery q(a.db());
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2, %3) VALUES (%4)")
                  .arg(CitarIdentificador(TablaPendientes), LectorRegistroSql::listaColumnas(), Identidad(),
                       marcas.join(QStringLiteral(", "))));
    for (int i = 0; i < NumCampos; ++i)
        q.addBindValue(r.campo(i));
    q.addBindValue(r.uuid.toString(QUuid::WithoutBraces));
    q.addBindValue(r.equipo);
    q.addBindValue(r.usuario);
    q.addBindValue(r.guardadoEn.toUTC().toString(Qt::ISODateWithMs));
    // One statement: SQLite's own transaction, on disk when it returns.
    a.exec(q, QStringLiteral("no se puede guardar la evaluación en los pendientes"));
    registro = r;
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
                                           const QVariantList &valores)
{
    QSqlQuery q(a.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2 FROM %3 %4 ORDER BY %5")
                  .arg(LectorRegistroSql::listaColumnas(), Identidad(), CitarIdentificador(TablaPendientes),
                       condicion, orden));
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
        r.pendiente = true;
        registros.append(std::move(r));
    }
    return registros;
}
}  // namespace

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
    QVariantList valores;
    const QString condicion = lector.condicion(filtro, valores);
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
    for (const QUuid &u : uuids) {
        q.addBindValue(u.toString(QUuid::WithoutBraces));
        a.exec(q, QStringLiteral("no se puede quitar de los pendientes una evaluación enviada"));
    }
    a.exec(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la escritura de los pendientes"));
    a.exec(QStringLiteral("PRAGMA synchronous=FULL"), QStringLiteral("no se puede escribir los pendientes"));
}

ResultadoEnvio BandejaSalida::enviar(RegistroServidor &servidor, int porLote)
{
    ResultadoEnvio resultado;
    porLote = std::max(1, porLote);
    for (;;) {
        QVector<RegistroEvaluacion> lote = pendientes(porLote);
        if (lote.isEmpty())
            break;
        try {
            servidor.agregar(lote);
        } catch (const ErrorServidor &e) {
            resultado.error = e.mensaje();
            resultado.red = e.red();
            break;
        } catch (const ErrorDatos &e) {
            resultado.error = e.mensaje();
            break;
        }
        // The server holds them now; a failure from here on leaves them in
        // the outbox, and sending them again stores nothing new.
        QVector<QUuid> enviados;
        enviados.reserve(lote.size());
        for (const RegistroEvaluacion &r : std::as_const(lote)) {
            enviados << r.uuid;
            resultado.numeros.insert(r.uuid, r.numero());
        }
        quitar(enviados);
        resultado.enviados += lote.size();
    }
    resultado.pendientes = static_cast<int>(cantidad());
    return resultado;
}
