#include "core/registry/pending_corrections.h"

#include "core/data/record_set.h"
#include "core/registry/server_connection.h"
#include "core/registry/server_registry.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString Tabla = QStringLiteral("CorreccionesPendientes");
const QString TablaApartadas = QStringLiteral("CorreccionesApartadas");
const QString Columnas = QStringLiteral("\"id\", \"evaluacion\", \"numero\", \"campo\", \"valor\", \"motivo\", \"fecha\"");

[[noreturn]] void Fallar(const QString &archivo, const QString &que, const QString &detalle)
{
    QString texto = QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").")
                        .arg(que, Tabla, archivo);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

QString Texto(const QUuid &u) { return u.toString(QUuid::WithoutBraces); }

CorreccionPendiente DeFila(const QSqlQuery &q)
{
    CorreccionPendiente c;
    c.id = QUuid::fromString(q.value(0).toString());
    c.evaluacion = QUuid::fromString(q.value(1).toString());
    c.numero = q.value(2).toInt();
    c.columna = q.value(3).toString();
    c.valor = q.value(4).toString();
    c.motivo = q.value(5).toString();
    c.fecha = QDateTime::fromString(q.value(6).toString(), Qt::ISODateWithMs);
    return c;
}

}  // namespace

CorreccionesPendientes::CorreccionesPendientes(QString archivo)
    : archivo_(std::move(archivo)), conexion_(Servidor::nuevaConexion("orv-correcciones"))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion_);
    db.setDatabaseName(archivo_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        Fallar(archivo_, QStringLiteral("no se puede abrir ni crear el archivo de pendientes"), db.lastError().text());
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    const QString definicion = QStringLiteral("\"id\" TEXT NOT NULL UNIQUE, \"evaluacion\" TEXT, \"numero\" "
                                              "INTEGER, \"campo\" TEXT NOT NULL, \"valor\" TEXT NOT NULL, \"motivo\" "
                                              "TEXT NOT NULL, \"fecha\" TEXT NOT NULL");
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (%2)").arg(Tabla, definicion)))
        Fallar(archivo_, QStringLiteral("no se puede crear la tabla"), q.lastError().text());
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (%2, \"rechazo\" TEXT NOT NULL, \"apartada_en\" "
                               "TEXT NOT NULL)")
                    .arg(TablaApartadas, QString(definicion).replace(QStringLiteral(" UNIQUE"), QString()))))
        Fallar(archivo_, QStringLiteral("no se puede crear la tabla de correcciones apartadas"), q.lastError().text());
}

CorreccionesPendientes::~CorreccionesPendientes()
{
    {
        QSqlDatabase db = QSqlDatabase::database(conexion_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion_);
}

void CorreccionesPendientes::guardar(CorreccionPendiente &c)
{
    const Correcciones::Pedida pedida = Correcciones::Revisar(c.columna, c.valor, c.motivo);
    if (c.evaluacion.isNull() && c.numero <= 0)
        Fallar(archivo_, QStringLiteral("la corrección no dice de qué evaluación es"), QString());
    if (c.id.isNull())
        c.id = QUuid::createUuid();
    if (!c.fecha.isValid())
        c.fecha = QDateTime::currentDateTimeUtc();
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO \"%1\" (%2) VALUES (?, ?, ?, ?, ?, ?, ?)").arg(Tabla, Columnas));
    q.addBindValue(Texto(c.id));
    q.addBindValue(c.evaluacion.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(Texto(c.evaluacion)));
    q.addBindValue(c.numero > 0 ? QVariant(c.numero) : QVariant(QMetaType::fromType<int>()));
    q.addBindValue(RegistroEvaluaciones::Campo(pedida.posicion).columna);
    q.addBindValue(c.valor);
    q.addBindValue(c.motivo);
    q.addBindValue(c.fecha.toUTC().toString(Qt::ISODateWithMs));
    if (!q.exec())
        Fallar(archivo_, QStringLiteral("no se puede guardar la corrección en los pendientes"), q.lastError().text());
}

qint64 CorreccionesPendientes::cantidad() const
{
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(Tabla)) || !q.next())
        Fallar(archivo_, QStringLiteral("no se puede leer los pendientes"), q.lastError().text());
    return q.value(0).toLongLong();
}

QVector<CorreccionPendiente> CorreccionesPendientes::pendientes() const
{
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(Columnas, Tabla)))
        Fallar(archivo_, QStringLiteral("no se puede leer los pendientes"), q.lastError().text());
    QVector<CorreccionPendiente> lista;
    while (q.next())
        lista.append(DeFila(q));
    return lista;
}

QVector<std::pair<CorreccionPendiente, QString>> CorreccionesPendientes::apartadas() const
{
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1, \"rechazo\" FROM \"%2\" ORDER BY rowid").arg(Columnas, TablaApartadas)))
        Fallar(archivo_, QStringLiteral("no se puede leer las correcciones apartadas"), q.lastError().text());
    QVector<std::pair<CorreccionPendiente, QString>> lista;
    while (q.next())
        lista.append({DeFila(q), q.value(7).toString()});
    return lista;
}

// Takes the correction out of the waiting ones; with a reason, into the
// set-aside ones, in one transaction.
void CorreccionesPendientes::quitar(const QUuid &id, const QString *motivo)
{
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    auto exec = [&](const char *que) {
        if (!q.exec()) {
            const QString detalle = q.lastError().text();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo_, QString::fromUtf8(que), detalle);
        }
    };
    if (!QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE")))
        Fallar(archivo_, QStringLiteral("el archivo de pendientes está ocupado"), db.lastError().text());
    if (motivo) {
        q.prepare(QStringLiteral("INSERT INTO \"%1\" (%2, \"rechazo\", \"apartada_en\") SELECT %2, ?, ? FROM \"%3\" "
                                 "WHERE \"id\" = ?")
                      .arg(TablaApartadas, Columnas, Tabla));
        q.addBindValue(*motivo);
        q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        q.addBindValue(Texto(id));
        exec("no se puede apartar una corrección de los pendientes");
    }
    q.prepare(QStringLiteral("DELETE FROM \"%1\" WHERE \"id\" = ?").arg(Tabla));
    q.addBindValue(Texto(id));
    exec("no se puede quitar una corrección de los pendientes");
    if (!QSqlQuery(db).exec(QStringLiteral("COMMIT")))
        Fallar(archivo_, QStringLiteral("no se pudo confirmar la escritura de los pendientes"), db.lastError().text());
}

ResultadoCorrecciones CorreccionesPendientes::enviar(RegistroServidor &servidor)
{
    ResultadoCorrecciones r;
    const QVector<CorreccionPendiente> lista = pendientes();
    r.pendientes = static_cast<int>(lista.size());
    for (const CorreccionPendiente &c : lista) {
        try {
            int32_t numero = c.numero;
            if (numero <= 0) {
                const std::optional<int32_t> n = servidor.numeroDe(c.evaluacion);
                if (!n)
                    break;  // its evaluation still waits: so do the corrections after it
                numero = *n;
            }
            servidor.corregir(numero, c.columna, c.valor, c.motivo, c.id);
            quitar(c.id, nullptr);
            ++r.enviadas;
        } catch (const ErrorServidor &e) {
            // Only a refusal of the correction itself sets it aside; the
            // network or the server's own trouble leaves it for later.
            const QString estado = e.estado();
            const bool propia = estado.startsWith(QLatin1String("ORV")) || estado.startsWith(QLatin1String("22"))
                                || estado.startsWith(QLatin1String("23")) || estado.startsWith(QLatin1String("P0"))
                                || estado.startsWith(QLatin1String("42501"));
            if (e.red() || !propia) {
                r.red = e.red();
                r.error = e.mensaje();
                break;
            }
            const QString motivo = e.mensaje();
            quitar(c.id, &motivo);
            r.apartadas.append({c.id, motivo});
        } catch (const ErrorDatos &e) {
            // Refused before reaching the server (a value the field
            // already has): set aside with the reason.
            const QString motivo = e.mensaje();
            quitar(c.id, &motivo);
            r.apartadas.append({c.id, motivo});
        }
        --r.pendientes;
    }
    return r;
}
