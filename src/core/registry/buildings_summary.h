#pragma once
// ResumenEdificaciones: the event summary counted by building instead of by
// evaluation: each building once, under its current posting (its newest
// evaluation in the selection); where the unsafe buildings are; evaluations
// and re-inspections per day; and which postings changed, from what to
// what. An evaluation without a building key (no plot and no address) is a
// building of its own.

#include "core/registry/registry_summary.h"

#include <array>

struct ZonaEdificaciones {
    QString zona;  // empty: "sin dato"
    qint64 edificaciones = 0;
    qint64 noHabitables = 0;
    qint64 peligroColapso = 0;
};

struct DiaEdificaciones {
    QString dia;  // "yyyy-MM-dd"
    qint64 evaluaciones = 0;
    qint64 reinspecciones = 0;  // evaluations of a building evaluated before
};

// A change of posting between two consecutive evaluations of one building.
struct CambioEdificaciones {
    int desde = 0;  // classes of ResumenEvento::ClaseHabitabilidad
    int hasta = 0;
    qint64 veces = 0;
};

struct ResumenEdificaciones {
    qint64 edificaciones = 0;
    qint64 evaluaciones = 0;
    qint64 reinspecciones = 0;
    // Buildings by the class of their current posting.
    std::array<qint64, ResumenEvento::NumClasesHabitabilidad> porHabitabilidad{};
    // Dwelling units of those buildings (the newest number given for each),
    // and how many of them have no number ("sin dato", never zero units).
    std::array<qint64, ResumenEvento::NumClasesHabitabilidad> unidadesPorHabitabilidad{};
    std::array<qint64, ResumenEvento::NumClasesHabitabilidad> sinUnidadesPorHabitabilidad{};
    // Most buildings first, then by name.
    QVector<ZonaEdificaciones> porBarrio;
    QVector<ZonaEdificaciones> porComuna;
    // Oldest day first.
    QVector<DiaEdificaciones> porDia;
    // Postings that changed, in class order; and how many got worse or
    // better (a change from or to an unknown value is neither).
    QVector<CambioEdificaciones> cambios;
    qint64 empeoraron = 0;
    qint64 mejoraron = 0;
};

// The buildings of the records `filtro` selects: one scan of the selection
// ordered by building, added up here. Throws ErrorDatos naming the registry.
ResumenEdificaciones ResumirEdificaciones(const LectorRegistroSql &lector, const FiltroRegistro &filtro);

// The summary as tables: "Edificaciones por habitabilidad vigente", the
// dwelling units by current posting, by barrio and comuna, evaluations and re-inspections per day, changed postings.
QVector<TablaResumen> TablasEdificaciones(const ResumenEdificaciones &resumen);
