#pragma once
// The key of the building an evaluation is of, so that the evaluations of
// one building can be found together: its cadastral plot when every part of
// it was typed, or else its address with its barrio, both normalised so that
// the same building typed twice gives the same key.

#include "core/registry/evaluation_record.h"

#include <QString>

namespace ClaveEdificacion {

// "predio:" and the plot (Tipo Avalúo, Comuna, Sector, Manzana, Predio)
// when every part holds something typed. The horizontal-property unit
// (Mejora o Prop Hor) is not part of it: the units of one building share
// its plot. Otherwise "direccion:" and the street kind, the street of that
// kind, the house number and the barrio. Empty when neither is known (no
// street or no house number): such an evaluation is linked to no other.
QString De(const RegistroEvaluacion &registro);

// A text as the key compares it: lower case, without accents, number signs
// ("#", "No.", "N.º", "Nº") and blanks left out.
// Empty for what the form writes when nothing was typed ("-", "--", "----",
// "Información pendiente").
QString Normalizar(const QString &texto);

}  // namespace ClaveEdificacion
