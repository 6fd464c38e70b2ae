#pragma once
// A registry file of many evaluations for the benchmarks: the registry
// tests' example evaluation, saved once, then copied in one INSERT ... SELECT
// with the columns a summary groups by varied: 200 barrios, 20 comunas, 60
// commissions, 30 days, the four habitabilities and reparabilities, and
// coordinates on nine evaluations out of ten.

#include "core/data/record_set.h"
#include "core/registry/local_registry.h"
#include "core/registry/sample_evaluation.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace Banco {

// CPU time of this process in ms: on a shared machine the wall-clock time
// also counts what other programs ran meanwhile.
inline double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Copies the registry's first record `cantidad - 1` times in one statement,
// numbered 2..cantidad; `columnas` gives the SQL of fields 1..92 over the
// counter n.i and the copied record e, `clave` that of the building key
// (four evaluations a building by default). Each copy gets a uuid of its
// own. Ends the program when it fails.
inline void CopiarPrimerRegistro(const QString &archivo, int cantidad, const QStringList &columnas,
                                 const QString &clave = QStringLiteral("'predio:01|05|03|0045|' || (n.i % (CANTIDAD / 4 + 1))"))
{
    using namespace RegistroEvaluaciones;
    bool ok = false;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("llenado"));
        db.setDatabaseName(archivo);
        if (db.open()) {
            QSqlQuery q(db);
            // Joined, not formatted: printf's "%012d" is no place marker.
            const QString tabla = CitarIdentificador(Tabla);
            ok = q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < ")
                        + QString::number(cantidad) + QStringLiteral(") INSERT INTO ") + tabla
                        + QStringLiteral(" SELECT n.i, ") + columnas.join(QStringLiteral(", "))
                        + QStringLiteral(", printf('00000000-0000-4000-8000-%012d', n.i), ")
                        + QString(clave).replace(QStringLiteral("CANTIDAD"), QString::number(cantidad))
                        // Dwelling units: given for four evaluations in five.
                        + QStringLiteral(", CASE WHEN n.i % 5 = 0 THEN NULL ELSE n.i % 13 END")
                        + QStringLiteral(" FROM n, ") + tabla + QStringLiteral(" AS e WHERE e.rowid = 1"));
            error = q.lastError().text();
            q.finish();
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("llenado"));
    if (!ok) {
        std::fprintf(stderr, "no se pudo llenar el registro: %s\n", qPrintable(error));
        std::exit(1);
    }
}

inline void LlenarRegistro(const QString &archivo, int cantidad)
{
    using namespace RegistroEvaluaciones;
    {
        RegistroLocal registro(archivo);
        RegistroEvaluacion r;
        const QVariantList campos = Ejemplo::Campos();
        for (int i = 1; i < NumCampos; ++i)
            r.establecerCampo(i, campos.at(i));
        registro.agregar(r);
    }
    const QHash<int, QString> variados{
        {Pos::Comuna, QStringLiteral("printf('%02d-%05d', n.i % 20, n.i)")},
        {Pos::Barrio, QStringLiteral("'Barrio ' || (n.i % 200)")},
        {Pos::CodigoComision, QStringLiteral("'C-' || (n.i % 60)")},
        {Pos::Fecha, QStringLiteral("date('2026-11-01', '+' || (n.i % 30) || ' days') || 'T10:00:00'")},
        {Pos::Habitabilidad, QStringLiteral("CASE n.i % 4 WHEN 0 THEN 'Habitable' WHEN 1 THEN 'Uso Restringido' "
                                            "WHEN 2 THEN 'No Habitable' ELSE 'Peligro de Colapso' END")},
        {Pos::Reparabilidad, QStringLiteral("CASE n.i % 3 WHEN 0 THEN 'Reparación' WHEN 1 THEN 'Refuerzo' "
                                            "ELSE 'Posible Demolición' END")},
        {Pos::Latitud, QStringLiteral("CASE WHEN n.i % 10 = 0 THEN NULL ELSE -12.3 - (n.i % 997) * 0.0001 END")},
        {Pos::Longitud, QStringLiteral("CASE WHEN n.i % 10 = 0 THEN NULL ELSE -97.4 - (n.i % 991) * 0.0001 END")},
    };
    QStringList columnas;
    for (int i = 1; i < NumCampos; ++i)
        columnas << variados.value(i, QStringLiteral("e.") + CitarIdentificador(Campo(i).columna));
    CopiarPrimerRegistro(archivo, cantidad, columnas);
}

}  // namespace Banco
