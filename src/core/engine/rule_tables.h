#pragma once
// Override rules and the four combination tables.
//
// The engine reads the evaluator's ratings only: slots 0..UltimaVariable of
// Variables. Placeholders that MarcarNoRelevantes writes beyond that slot
// never take part in an evaluation.

#include "core/evaluation/evaluation_state.h"

#include <array>

using TablaCombinacion = std::array<std::array<int16_t, 5>, 5>;

// Tables as data: rows are the first argument, columns the second.
extern const TablaCombinacion TablaDannoEdificio;
extern const TablaCombinacion TablaEstadoGlobal;
extern const TablaCombinacion TablaHabitabilidad;
extern const TablaCombinacion TablaReparabilidad;

// Recomputes the nine saturation flags from the current ratings (an element
// re-rated lower no longer saturates) and returns 0, 3 or 4.
int16_t ReglaSaturacionEstructural(EstadoEvaluacion &estado);
int16_t ReglaSaturacionSuelo(const EstadoEvaluacion &estado);
int16_t ReglaSaturacionPreexistente(const EstadoEvaluacion &estado);

// An argument outside 0..4 gives 0.
int16_t ReglaDannoEdificio(int16_t estructural, int16_t noEstructural);
int16_t ReglaEstadoGlobal(int16_t edificio, int16_t suelo);
int16_t ReglaHabitabilidad(int16_t edificio, int16_t suelo);
int16_t ReglaReparabilidad(int16_t global, int16_t preexistente);

// Number of slots holding the evaluator's ratings (UltimaVariable + 1, within 0..23).
inline int RegistrosCalificados(const EstadoEvaluacion &estado)
{
    const int n = estado.UltimaVariable + 1;
    return n < 0 ? 0 : (n > NumVariables ? NumVariables : n);
}
