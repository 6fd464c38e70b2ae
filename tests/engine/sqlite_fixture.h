#pragma once
// Small SQLite files made by the tests themselves: one table per call, the
// columns typed by their first value, every value bound.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QVariant>

namespace Fixture {

// Creates `tabla` in the SQLite file `archivo` (made if missing) with as many
// columns as the first row has values, and appends the rows in order.
inline void CrearTabla(const QString &archivo, const QString &tabla, const QList<QVariantList> &filas,
                       int columnas = -1)
{
    if (columnas < 0)
        columnas = filas.isEmpty() ? 1 : static_cast<int>(filas.first().size());
    const QString conexion = QStringLiteral("fixture");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(archivo);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QStringList definiciones, marcas;
        for (int i = 0; i < columnas; ++i) {
            definiciones << QStringLiteral("c%1").arg(i);
            marcas << QStringLiteral("?");
        }
        QSqlQuery q(db);
        QVERIFY2(q.exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(tabla, definiciones.join(u','))),
                 qPrintable(q.lastError().text()));
        for (const QVariantList &fila : filas) {
            q.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(tabla, marcas.join(u',')));
            for (const QVariant &v : fila)
                q.addBindValue(v);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
}

}  // namespace Fixture
