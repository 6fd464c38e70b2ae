#pragma once
// LectorRegistroSql: reading the registry table with SQL, the same for the local file and the
// server: the selection, the order and the page are made by the database,
// on the column names of the one table description; every value is bound.

#include "core/registry/registry_store.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;
struct sqlite3;

// SQLite's own handle of a connection of the QSQLITE driver; null for any other.
sqlite3 *ManejadorSqlite(const QSqlDatabase &db);

class LectorRegistroSql {
public:
    enum class Motor { Sqlite, Postgres };

    // `conexion`: the name of an open QSqlDatabase connection; `tablaSql`:
    // the quoted table name (with its schema, on a server); `descripcion`:
    // how messages name the table.
    LectorRegistroSql(QString conexion, QString tablaSql, Motor motor, QString descripcion);

    qint64 contar(const FiltroRegistro &filtro) const;
    QVector<RegistroEvaluacion> pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden, qint64 desde,
                                       int cuantos) const;
    std::optional<RegistroEvaluacion> porNumero(int32_t numero) const;
    void recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                  const std::function<bool(const RegistroEvaluacion &)> &cada) const;

    // The WHERE clause of a selection (empty when it selects everything)
    // and the values it binds, in order; summaries build on it.
    QString condicion(const FiltroRegistro &filtro, QVariantList &valores) const;
    // The 93 columns in position order, quoted, for a SELECT list.
    static QString listaColumnas(const QString &prefijo = QString());
    // The address as one text, in SQL: its three parts (the street kind,
    // the street box of that kind, the house number) joined by blanks.
    static QString expresionDireccion();
    static QStringList partesDireccion();
    // A record from the current row of `q`, whose first 93 values are the
    // fields in position order; values take the kind of their field.
    static RegistroEvaluacion registroDeFila(const QSqlQuery &q, int primeraColumna = 0);

    const QString &tablaSql() const { return tablaSql_; }
    Motor motor() const { return motor_; }
    QSqlDatabase db() const;
    [[noreturn]] void fallar(const QString &que, const QString &detalle) const;

private:
    QString orden(const OrdenRegistro &orden) const;
    QString conexion_;
    QString tablaSql_;
    Motor motor_;
    QString descripcion_;
    // The connection knows orv_contiene, the search of one text in several
    // columns (SQLite only).
    bool contiene_ = false;
};
