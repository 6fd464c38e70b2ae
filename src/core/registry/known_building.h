#pragma once
// Reinspeccion: before an evaluation is saved, the registry is asked
// whether it already knows the building (by the building key, or an
// evaluation within 15 m of the coordinates), so that the evaluator says
// whether this is a new inspection of that building or another building.

#include "core/registry/buildings.h"
#include "core/registry/registry_store.h"

#include <QString>
#include <optional>

namespace Reinspeccion {

// How near an evaluation must lie to be asked about, in metres.
inline constexpr double Radio = 15.0;

struct Coincidencia {
    EdificacionRegistrada edificacion;
    bool porCercania = false;  // found by its position, not by its key
};

// The building the registry already has for `registro` (whose key is
// computed if empty): by its key first, else the nearest within Radio. None
// when there is none, or when the registry cannot be asked (a server out of
// reach): then nothing is asked, and the key links the evaluation when it
// arrives.
std::optional<Coincidencia> Buscar(AlmacenRegistro &almacen, const RegistroEvaluacion &registro);

// The question: how many evaluations the building has and its current
// posting (number, date and time, habitability, evaluator, commission).
QString Pregunta(const Coincidencia &c);
// What the evaluator reads when the answer is No and nothing tells the two
// buildings apart yet.
extern const QString FaltaNombre;
extern const QString Titulo;

// The key of another building at the same plot or address, told apart by
// its name: empty when the record has no name typed.
QString ClaveDistinta(const RegistroEvaluacion &registro);

}  // namespace Reinspeccion
