#pragma once
// What the engine tests share: evaluation states with given ratings, and
// small SQLite files made by the tests themselves.

#include "core/evaluation/evaluation_state.h"

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

// Runs the statements, each with its bound values, on the SQLite file
// `archivo` (made if missing) in one transaction.
inline void Ejecutar(const QString &archivo, const QList<QPair<QString, QVariantList>> &sentencias)
{
    const QString conexion = QStringLiteral("fixture");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(archivo);
        QVERIFY2(db.open() && db.transaction(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        for (const auto &[sql, valores] : sentencias) {
            q.prepare(sql);
            for (const QVariant &v : valores)
                q.addBindValue(v);
            QVERIFY2(q.exec(), qPrintable(sql + QStringLiteral(": ") + q.lastError().text()));
        }
        QVERIFY(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
}

// Creates `tabla` with `columnas` columns (default: as many as the first row
// has values) and appends the rows in order.
inline void CrearTabla(const QString &archivo, const QString &tabla, const QList<QVariantList> &filas,
                       int columnas = -1)
{
    if (columnas < 0)
        columnas = filas.isEmpty() ? 1 : static_cast<int>(filas.first().size());
    QStringList definiciones, marcas;
    for (int i = 0; i < columnas; ++i) {
        definiciones << QStringLiteral("c%1").arg(i);
        marcas << QStringLiteral("?");
    }
    QList<QPair<QString, QVariantList>> sentencias = {
        {QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(tabla, definiciones.join(u',')), {}}};
    for (const QVariantList &fila : filas)
        sentencias.append({QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(tabla, marcas.join(u',')), fila});
    Ejecutar(archivo, sentencias);
}

}  // namespace Fixture
