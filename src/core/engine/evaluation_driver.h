#pragma once
// The evaluation of a whole building, and the two preparations the evaluate
// command runs before it.

#include "core/engine/category_evaluators.h"
#include "core/evaluation/evaluation_state.h"

#include <QList>
#include <QString>

struct TablasComentarios;

// What the results form shows, label by label. The form only copies these.
struct EtiquetasResultados {
    QString lblDE, lblRiesgoEstructural, lblIndiceEstructura;
    QString lblDNE, lblRiesgoNoEstruct, lblIndiceNoestructural;
    QString lblES, lblRiesgoGeotec, lblIndiceSuelo;
    QString lblCP, lblIndicePreexistente;
    QString lblDaEdificio, lblFinal, lblLingHabitability, lblLingReparability;
    // Labels of a category declared not relevant: shown with the inactive
    // background colour.
    bool inactivoES = false, inactivoIndiceSuelo = false;
    bool inactivoCP = false, inactivoIndicePreexistente = false;
    // Labels the evaluate command disables for categories declared not relevant.
    bool habilitadoES = true, habilitadoIndiceSuelo = true;
    bool habilitadoCP = true, habilitadoIndicePreexistente = true;
    // Comment labels (result classification).
    QString lblComDaEdificio, lblComEstGlobal, lblComHabitabilidad, lblComSeguridad, lblComReparaciones;
};

// Codes of the categories declared not relevant in relevance case 0..3.
QList<int16_t> CodigosNoRelevantes(int16_t caso);

// Writes level-0 placeholders after UltimaVariable for the unrated codes of
// the categories declared not relevant (stale placeholders are cleared first).
// The evaluator's own ratings are left as they are: if the category becomes
// relevant again they count again.
void MarcarNoRelevantes(EstadoEvaluacion &estado, int16_t caso);

// The codes the evaluation needs and that the evaluator has not rated, in
// increasing order: the structural elements of the system, Entrepiso, 14..16,
// 17..18 unless soil is not relevant, 19..22 unless pre-existing conditions
// are not relevant. Empty for a system or case outside the tables.
QList<int16_t> CodigosFaltantes(const EstadoEvaluacion &estado, int16_t sistema, int16_t caso);
// Sets FaltanCalificaciones (1 = a required rating is missing); a system or
// case outside the tables leaves it unchanged.
void VerificarCalificaciones(EstadoEvaluacion &estado, int16_t sistema, int16_t caso);

// Structural element codes shown for a system (without Entrepiso).
QList<int16_t> ElementosEstructuralesDelSistema(int16_t sistema);

// The driver: overrides, weights, the four categories, the combination
// tables, the texts and labels, then the result classification.
// indiceAnno is the chosen construction period 0..3 (-1 none).
void EvaluarEdificacion(EstadoEvaluacion &estado, const TablasPesos &pesos, const TablasComentarios &comentarios,
                        int indiceAnno, EtiquetasResultados &etiquetas);
