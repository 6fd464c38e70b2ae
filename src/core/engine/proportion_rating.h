#pragma once
// Level of a structural element rated as shares of the element in the five
// damage levels (the proportion rating dialog calls this on "Aceptar").

#include "core/evaluation/evaluation_state.h"

#include <QString>
#include <array>

struct CalificacionProporcion {
    Membresias proporciones{};          // shares as fractions of their sum (all 0 for a total of 0)
    int16_t nivel = 0;                  // derived level
    double valor = 0.0;                 // damage value shown (0.55 / 0.76 on the critical-element path)
    bool elementoCritico = false;       // the level was fixed by the critical-element rule
    int grupo = -1;                     // element group 0..4 of NivelesProporcion, -1 for none
    std::array<int16_t, 5> porcentajes{};  // shares x 100, halves to even
};

// barras: the five values shown on the dialog's bars (0..100 each).
CalificacionProporcion DerivarNivelProporcion(int codigo, const std::array<int, 5> &barras);

// Group 0..4 (beams, columns, joints, walls, floor system) of a code 0..13, -1 otherwise.
int GrupoProporcion(int codigo);

// Stores the result in the state: Nivel of slot IndiceVariable, NivelCalculado
// and the five NivelesProporcion copies of the element's group.
void AplicarCalificacionProporcion(EstadoEvaluacion &estado, const CalificacionProporcion &c);

// "La variable tiene una calificación de" LF "DAÑO FUERTE  (0.55)".
QString MensajeCalificacion(int16_t nivel, double valor);
// The stability warning for a code and level, or an empty string when none applies.
QString AdvertenciaEstabilidad(int codigo, int16_t nivel);
// Value written as the four-decimal number without trailing zeros, with the
// current locale's decimal separator.
QString TextoValor(double valor);
