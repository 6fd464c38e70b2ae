#pragma once
// ResumenRegistro: the event summary of a selection of the registry: how many buildings were
// evaluated, how many are unsafe, where, when and by which commission. The
// database does the counting (GROUP BY on the columns of the one table
// description), the same SQL for the local file and the server.
//
// A comuna is the part of the "Comuna" field before its first "-": the field
// joins the two boxes of the cadastral code as "txtComuna1-txtComuna2", and
// the first box names the comuna. Values made only of blanks and dashes (the
// placeholders the form writes for empty boxes) count as "sin dato".

#include "core/registry/registry_store.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

class LectorRegistroSql;
class QIODevice;

namespace ResumenEvento {
// The four habitability values in the order of the placard, then one class
// for anything else (an empty or unknown value).
inline constexpr int NumClasesHabitabilidad = 5;
inline constexpr int ClaseOtraHabitabilidad = 4;
// The class of a stored habitability text.
int ClaseHabitabilidad(const QString &habitabilidad);
// The Spanish name of a class (the stored text for the first four).
QString NombreClaseHabitabilidad(int clase);
// How tables and charts show an empty key.
QString TextoClave(const QString &clave);
inline const QString SinDato = QStringLiteral("(sin dato)");
// In SQL: the value of a text column as a grouping key, empty when it is
// missing or holds only blanks and dashes; and the comuna of a record.
QString Clave(const LectorRegistroSql &lector, const QString &expresion);
QString ExpresionComuna(const LectorRegistroSql &lector);
}  // namespace ResumenEvento

struct ResumenEdificaciones;  // core/registry/buildings_summary.h

struct ConteoResumen {
    QString valor;  // as stored; empty for "sin dato"
    qint64 evaluaciones = 0;
};

// A barrio or a comuna.
struct ZonaResumen {
    QString zona;
    qint64 evaluaciones = 0;
    qint64 noHabitables = 0;
    qint64 peligroColapso = 0;
};

struct DiaResumen {
    QString dia;  // "yyyy-MM-dd", the first ten characters of the stored date
    std::array<qint64, ResumenEvento::NumClasesHabitabilidad> porHabitabilidad{};
    qint64 total() const;
};

struct ComisionResumen {
    QString codigo;
    qint64 evaluaciones = 0;
};

struct ComisionDiaResumen {
    QString codigo;
    QString dia;
    qint64 evaluaciones = 0;
};

// The summary as tables: what the text, the CSV and the window show.
struct TablaResumen {
    QString titulo;       // "Por habitabilidad", "Por barrio", ...
    QStringList columnas;
    QVector<QStringList> filas;
    // The first columns name what is counted; the rest hold counts (a
    // spreadsheet writes them as numbers).
    int columnasTexto = 1;
};

struct ResumenRegistro {
    qint64 total = 0;
    // The buildings of the selection (core/registry/buildings_summary.h), as
    // tables, first of all; -1 and none until ResumirRegistro fills them.
    qint64 edificaciones = -1;
    QVector<TablaResumen> tablasEdificaciones;
    // The known values in their level order (each present, possibly with
    // 0), then any other value found, by count.
    QVector<ConteoResumen> porHabitabilidad;
    QVector<ConteoResumen> porReparabilidad;
    QVector<ConteoResumen> porEstadoGlobal;
    // Most evaluations first, then by name.
    QVector<ZonaResumen> porBarrio;
    QVector<ZonaResumen> porComuna;
    // Oldest day first.
    QVector<DiaResumen> porDia;
    // By code; and by code and day.
    QVector<ComisionResumen> porComision;
    QVector<ComisionDiaResumen> porComisionDia;
};

// The summary of the records `filtro` selects, aggregated by the database
// behind `lector`. Throws ErrorDatos naming the registry.
ResumenRegistro ResumirRegistro(const LectorRegistroSql &lector, const FiltroRegistro &filtro);

// The tables of the buildings first, then those of the evaluations.
QVector<TablaResumen> TablasResumen(const ResumenRegistro &resumen);

// The tables as text for a terminal: each under its title, in columns.
QString ResumenTexto(const ResumenRegistro &resumen);

// The tables of the summary as CSV (UTF-8, RFC 4180 quoting, CRLF line
// ends): one table after another, each with its header row, separated by
// an empty line.
QByteArray ResumenCsv(const ResumenRegistro &resumen);
