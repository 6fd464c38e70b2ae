#pragma once
// What the engine tests share: evaluation states with given ratings, and
// small SQLite files made by the tests themselves.

#include "evaluation/evaluation_state.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QVariant>

namespace Fixture {

using Calificaciones = QList<QPair<int, int>>;  // (code, level) in slot order

// A fresh state with the ratings in slots 0, 1, ... as the evaluator made them.
inline EstadoEvaluacion Estado(int sistema, const Calificaciones &calificaciones, int caso = 0)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.TipoEstructura = static_cast<int16_t>(sistema);
    e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(caso);
    for (const auto &[codigo, nivel] : calificaciones) {
        ++e.UltimaVariable;
        e.Variables[e.UltimaVariable].Codigo = static_cast<int16_t>(codigo);
        e.Variables[e.UltimaVariable].Nivel = static_cast<int16_t>(nivel);
    }
    return e;
}

// Creates `tabla` in the SQLite file `archivo` (made if missing) with
// `columnas` columns (default: as many as the first row has values) and
// appends the rows in order, every value bound.
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

// Runs one SQL statement on the SQLite file `archivo`.
inline void Ejecutar(const QString &archivo, const QString &sql)
{
    const QString conexion = QStringLiteral("fixture");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(archivo);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
}

}  // namespace Fixture
