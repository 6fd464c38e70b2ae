#pragma once
// Saving an evaluation into the evaluation registry.
//
// GuardarEvaluacion is what "Guardar" of the additional information form
// runs: checks, placeholders, questions and messages; the record itself is
// made and appended by record_builder.h.

#include "data/record_set.h"
#include "registry/record_builder.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// Texts of the dialogue, as the evaluator sees them.
namespace TextosRegistro {
extern const QString SinIdentificacion;
extern const QString ContactoIncompleto;
extern const QString FaltaUso;
extern const QString SinUbicacion;
extern const QString UbicacionIncompleta;
extern const QString Confirmacion;
extern const QString Guardada;
extern const QString TituloGuardar;
extern const QString InformacionPendiente;
extern const QString NoAplica;
// Put in front of the database layer's text when a save fails.
extern const QString NoGuardada;
}  // namespace TextosRegistro

// Cadastral state: 0 all eight cadastral boxes empty, 1 all filled, 2 some.
int16_t CalcularEstadoCatastro(const IdentificacionEvaluacion &id);
// Address state: 0 neither the street of the chosen kind nor the house
// number given, 1 both given, 2 only one of them. The two street boxes of
// the other kinds only hold the "--" written for them and do not count.
int16_t CalcularEstadoDireccion(const IdentificacionEvaluacion &id);

// "Guardar": checks the identification, fills placeholders into `id`,
// applies the not-relevant texts to the evaluation state, reads the
// coordinates, asks for confirmation and appends the record to the registry
// file of RutasDatos. Every question and message goes through Mensaje with
// `padre`; `mostrar`, when given, receives `id` before each of them, so the
// form shows under every message what would be stored. Returns true only
// when the record was saved; a database failure is shown to the evaluator
// and gives false.
using MostrarIdentificacion = std::function<void(const IdentificacionEvaluacion &)>;
bool GuardarEvaluacion(QWidget *padre, IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar = {});
