#pragma once
// The checks of "Guardar" on the identification of an evaluation, without
// widgets: placeholders for what may stay unknown, the messages when the
// building cannot be identified, the not-relevant texts. The additional
// information form puts its questions and messages in message boxes; the
// command-line import answers them as an evaluator who goes on would.

#include "core/evaluation/evaluation_state.h"
#include "core/registry/record_builder.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

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
extern const QString UnidadesInvalidas;
// Put in front of the database layer's text when a save fails.
extern const QString NoGuardada;
}  // namespace TextosRegistro

// The eleven use groups offered by both use lists, in their order.
const QStringList &GruposDeUso();

// Who answers the questions of "Guardar" and reads its messages.
class DialogoGuardar {
public:
    virtual ~DialogoGuardar() = default;
    // A message with only an OK button.
    virtual void avisar(const QString &texto) = 0;
    // An OK/Cancel question; an empty title is the program's. True on OK.
    virtual bool preguntar(const QString &texto, const QString &titulo = QString()) = 0;
};

// Cadastral state: 0 all eight cadastral boxes empty, 1 all filled, 2 some.
int16_t CalcularEstadoCatastro(const IdentificacionEvaluacion &id);
// Address state: 0 neither the street of the chosen kind nor the house
// number given, 1 both given, 2 only one of them. The two street boxes of
// the other kinds only hold the "--" written for them and do not count.
int16_t CalcularEstadoDireccion(const IdentificacionEvaluacion &id);

// The number of dwelling units as typed: empty (or blanks) is no number;
// otherwise a whole number from 0 to 9 999 in digits. Sets `valido` false
// for anything else.
std::optional<int> LeerUnidadesVivienda(const QString &texto, bool &valido);

// Every check of "Guardar" before its confirmation: identification,
// contact, use, address kind, location, the not-relevant texts, the
// coordinates and the dwelling units. Writes the placeholders into `id` (and
// the coordinates and units read from their boxes), the address kind and the
// not-relevant texts into `estado`. Returns true when the evaluation may be saved.
bool RevisarIdentificacion(IdentificacionEvaluacion &id, EstadoEvaluacion &estado, DialogoGuardar &dialogo);
