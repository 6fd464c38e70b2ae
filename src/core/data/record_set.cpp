#include "core/data/record_set.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt contadorConexiones;
}

QString CitarIdentificador(const QString &nombre)
{
    QString citado = nombre;
    citado.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + citado + QLatin1Char('"');
}

QString ConjuntoRegistros::descripcion() const
{
    return QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(tabla_, archivo_);
}

void ConjuntoRegistros::fallar(const QString &que, const QString &detalle) const
{
    QString texto = QStringLiteral("Error en la base de datos: %1 (%2).").arg(que, descripcion());
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

ConjuntoRegistros::ConjuntoRegistros(const QString &archivo, const QString &tabla, Modo modo)
    : archivo_(archivo), tabla_(tabla)
{
    const QFileInfo info(archivo);
    if (!info.exists())
        fallar(QStringLiteral("no se encuentra el archivo"), QString());
    if (!info.isFile() || !info.isReadable())
        fallar(QStringLiteral("no se puede leer el archivo"), QString());

    conexion_ = QStringLiteral("orv-%1").arg(contadorConexiones.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion_);
        db.setDatabaseName(archivo);
        QString opciones = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
        if (modo == Modo::Lectura)
            opciones += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(opciones);
        if (!db.open())
            fallar(QStringLiteral("no se puede abrir el archivo"), db.lastError().text());

        QSqlQuery q(db);
        // A file that is not a database fails here, at its first read.
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(CitarIdentificador(tabla))))
            fallar(QStringLiteral("el archivo no es una base de datos válida"), q.lastError().text());
        while (q.next())
            columnas_ << q.value(1).toString();
        if (columnas_.isEmpty())
            fallar(QStringLiteral("no existe la tabla"), QString());
        if (modo == Modo::Escritura) {
            QSqlQuery p(db);
            p.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        }
    }
    tablaSql_ = CitarIdentificador(tabla);
}

ConjuntoRegistros::~ConjuntoRegistros()
{
    {
        QSqlDatabase db = QSqlDatabase::database(conexion_, false);
        if (db.isOpen()) {
            if (db.driver()->hasFeature(QSqlDriver::Transactions))
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conexion_);
}

void ConjuntoRegistros::cargarFila(const char *consultaSql, const QVariant &clave)
{
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QString::fromLatin1(consultaSql).arg(tablaSql_));
    if (clave.isValid())
        q.addBindValue(clave);
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    fila_.clear();
    if (!q.next()) {
        fin_ = true;
        return;
    }
    rowidActual_ = q.value(0).toLongLong();
    fila_.reserve(columnas_.size());
    for (int i = 0; i < columnas_.size(); ++i)
        fila_.append(q.value(i + 1));
    fin_ = false;
}

void ConjuntoRegistros::moverPrimero()
{
    cargarFila("SELECT rowid, * FROM %1 ORDER BY rowid LIMIT 1", QVariant());
}

void ConjuntoRegistros::moverSiguiente()
{
    if (fin_)
        fallar(QStringLiteral("no hay registro siguiente"), QString());
    cargarFila("SELECT rowid, * FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT 1", rowidActual_);
}

void ConjuntoRegistros::moverUltimo()
{
    cargarFila("SELECT rowid, * FROM %1 ORDER BY rowid DESC LIMIT 1", QVariant());
}

QVariant ConjuntoRegistros::campo(int i) const
{
    if (fin_)
        fallar(QStringLiteral("no hay registro actual"), QString());
    if (i < 0 || i >= fila_.size())
        fallar(QStringLiteral("no existe el campo %1").arg(i), QString());
    return fila_.at(i);
}

double ConjuntoRegistros::campoReal(int i) const
{
    const QVariant v = campo(i);
    bool ok = false;
    const double d = v.isNull() ? 0.0 : v.toDouble(&ok);
    if (!ok)
        fallar(QStringLiteral("el campo %1 no contiene un número").arg(i),
               QStringLiteral("valor \"%1\"").arg(v.toString()));
    return d;
}

QString ConjuntoRegistros::campoTexto(int i) const
{
    return campo(i).toString();
}

void ConjuntoRegistros::agregarNuevo()
{
    agregando_ = true;
    nueva_ = QVector<QVariant>(columnas_.size());
}

void ConjuntoRegistros::establecerCampo(int i, const QVariant &valor)
{
    if (!agregando_)
        fallar(QStringLiteral("no hay un registro nuevo en edición"), QString());
    if (i < 0 || i >= nueva_.size())
        fallar(QStringLiteral("no existe el campo %1").arg(i), QString());
    nueva_[i] = valor;
}

void ConjuntoRegistros::guardar()
{
    if (!agregando_)
        fallar(QStringLiteral("no hay un registro nuevo en edición"), QString());
    QStringList marcas;
    for (int i = 0; i < nueva_.size(); ++i)
        marcas << QStringLiteral("?");
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tablaSql_, marcas.join(QLatin1Char(','))));
    for (const QVariant &v : std::as_const(nueva_))
        q.addBindValue(v);
    if (!q.exec())
        fallar(QStringLiteral("no se pudo guardar el registro"), q.lastError().text());
    agregando_ = false;
    rowidActual_ = q.lastInsertId().toLongLong();
    fila_ = nueva_;
    fin_ = false;
}

void ConjuntoRegistros::iniciarTransaccion()
{
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        fallar(QStringLiteral("la base de datos está ocupada o no se puede escribir"), q.lastError().text());
}

void ConjuntoRegistros::confirmar()
{
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("COMMIT")))
        fallar(QStringLiteral("no se pudo confirmar la escritura"), q.lastError().text());
}

void ConjuntoRegistros::deshacer()
{
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    q.exec(QStringLiteral("ROLLBACK"));
}

QVariant ConjuntoRegistros::maximoCampo(int i) const
{
    if (i < 0 || i >= columnas_.size())
        fallar(QStringLiteral("no existe el campo %1").arg(i), QString());
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(%1) FROM %2").arg(CitarIdentificador(columnas_.at(i)), tablaSql_)) || !q.next())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return q.value(0);
}

std::optional<QVariant> ConjuntoRegistros::buscar(int campo, const QVariant &valor, int devuelto) const
{
    if (campo < 0 || campo >= columnas_.size() || devuelto < 0 || devuelto >= columnas_.size())
        fallar(QStringLiteral("no existe el campo %1").arg(std::max(campo, devuelto)), QString());
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY rowid DESC LIMIT 1")
                  .arg(CitarIdentificador(columnas_.at(devuelto)), tablaSql_, CitarIdentificador(columnas_.at(campo))));
    q.addBindValue(valor);
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    if (!q.next())
        return std::nullopt;
    return q.value(0);
}

QSqlDatabase ConjuntoRegistros::baseDatos() const { return QSqlDatabase::database(conexion_, false); }
