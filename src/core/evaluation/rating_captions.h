#pragma once
// The captions of the qualitative rating dialog: its frame and its five
// options per variable. Without widgets, so that the printed report names a
// stored level as the evaluator chose it.

#include <QString>
#include <QStringList>

// Frame caption and the five option captions of the qualitative dialog for
// a variable code (the other elements use the damage captions of code 14).
QString MarcoCualitativo(int codigo);
QStringList OpcionesCualitativas(int codigo);

// The five option captions for a qualitative level slot 0..12 of the
// record (fields 58..70); empty for any other slot.
QStringList OpcionesDeCasillaCualitativa(int casilla);
// The caption of level `nivel` 0..4 in slot `casilla`; empty when out of range.
QString TextoNivelCualitativo(int casilla, int nivel);
