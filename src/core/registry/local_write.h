#pragma once
// EscrituraLocal: one write connection to the registry file for the time of a change made
// after saving (a correction, photos added or removed): BEGIN IMMEDIATE
// takes the file's write lock, and a failure rolls back and becomes an
// ErrorDatos naming the file and the table.

#include "core/data/record_set.h"
#include "core/registry/registry_fields.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

class EscrituraLocal {
public:
    explicit EscrituraLocal(const QString &archivo)
        : archivo_(archivo), nombre_(NuevoNombre())
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre_);
        db_.setDatabaseName(archivo);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db_.open())
            fallar(QStringLiteral("no se puede abrir el archivo"), db_.lastError().text(), RegistroEvaluaciones::Tabla);
    }
    ~EscrituraLocal()
    {
        if (enTransaccion_)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre_);
    }
    EscrituraLocal(const EscrituraLocal &) = delete;
    EscrituraLocal &operator=(const EscrituraLocal &) = delete;

    QSqlDatabase &db() { return db_; }
    void ejecutar(QSqlQuery &q, const QString &que, const QString &tabla = RegistroEvaluaciones::Tabla)
    {
        if (!q.exec())
            fallar(que, q.lastError().text(), tabla);
    }
    void ejecutar(const QString &sql, const QString &que)
    {
        QSqlQuery q(db_);
        if (!q.exec(sql))
            fallar(que, q.lastError().text(), RegistroEvaluaciones::Tabla);
    }
    void iniciar()
    {
        ejecutar(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("la base de datos está ocupada o no se puede escribir"));
        enTransaccion_ = true;
    }
    void confirmar()
    {
        ejecutar(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar el cambio"));
        enTransaccion_ = false;
    }
    // Appends a row to table "Correcciones": `fila` holds its values in the
    // order of RegistroEvaluaciones::ColumnasCorrecciones().
    void anotarCorreccion(const QVariantList &fila)
    {
        QStringList columnas, marcas;
        for (const RegistroEvaluaciones::ColumnaCorreccion &c : RegistroEvaluaciones::ColumnasCorrecciones()) {
            columnas << CitarIdentificador(c.nombre);
            marcas << QStringLiteral("?");
        }
        QSqlQuery anota(db_);
        anota.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(CitarIdentificador(RegistroEvaluaciones::TablaCorrecciones),
                               columnas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))));
        for (const QVariant &v : fila)
            anota.addBindValue(v);
        ejecutar(anota, QStringLiteral("no se puede guardar la corrección"), RegistroEvaluaciones::TablaCorrecciones);
    }
    [[noreturn]] void fallar(const QString &que, const QString &detalle, const QString &tabla)
    {
        QString texto = QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").")
                            .arg(que, tabla, archivo_);
        if (!detalle.isEmpty())
            texto += QStringLiteral("\nDetalle: ") + detalle;
        throw ErrorDatos(texto);
    }

private:
    static QString NuevoNombre()
    {
        static QAtomicInt contador;
        return QStringLiteral("orv-escritura-%1").arg(contador.fetchAndAddRelaxed(1));
    }
    QString archivo_;
    QString nombre_;
    QSqlDatabase db_;
    bool enTransaccion_ = false;
};

