#pragma once
// Saving an evaluation into the evaluation registry.
//
// GuardarEvaluacion is what "Guardar" of the additional information form
// runs: the checks of save_checks.h with their questions and messages in
// message boxes, the confirmation, and the record made and appended by
// record_builder.h.

#include "core/data/record_set.h"
#include "core/registry/record_builder.h"
#include "core/registry/save_checks.h"

#include <QString>
#include <QUuid>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// "Guardar": checks the identification, fills placeholders into `id`,
// applies the not-relevant texts to the evaluation state, reads the
// coordinates, asks for confirmation and appends the record to the registry
// file of RutasDatos. Every question and message goes through Mensaje with
// `padre`; `mostrar`, when given, receives `id` before each of them, so the
// form shows under every message what would be stored. Returns true only
// when the record was saved (or waits in the outbox); a database failure
// is shown to the evaluator and gives false. `uuid`, when not null, is the
// record's: the form keeps one from its first "Guardar", so that pressing
// it again after a failure never stores the evaluation twice.
using MostrarIdentificacion = std::function<void(const IdentificacionEvaluacion &)>;
bool GuardarEvaluacion(QWidget *padre, IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar = {},
                       const QUuid &uuid = QUuid());
