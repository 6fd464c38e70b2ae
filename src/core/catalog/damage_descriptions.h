#pragma once
// VisorDannos: what the evaluator can read about the damage levels while rating: five
// descriptions per element (levels I..V), one explanatory text per soil or
// pre-existing condition, and which viewer, title and photo table the
// description buttons of the rating dialogs open.

#include "core/evaluation/evaluation_state.h"

#include <QString>
#include <array>

using DescripcionesNiveles = std::array<QString, 5>;  // levels I..V

// Description group 1..15 (concrete, confined masonry, ... elevated tanks)
// chosen by the current variable, then by the current other element; for
// bearing walls of bahareque or rammed earth by the structural system.
// 0 when the element has no descriptions.
int GrupoDescripcion(int variableActual, int otroActual, int tipoEstructura);
// The five descriptions of a group 1..15; five empty texts for any other value.
DescripcionesNiveles DescripcionesDeGrupo(int grupo);
// The descriptions the level viewer shows for the element being rated.
DescripcionesNiveles DescripcionesNivel(const EstadoEvaluacion &estado);

// Explanation of condition 17..22 (soil and pre-existing conditions); empty otherwise.
QString TextoCondicion(int variable);

enum class TipoVisor { Ninguno, Niveles, Condicion };

struct VisorDannos {
    TipoVisor tipo = TipoVisor::Ninguno;
    QString tabla;   // table of the photo database
    QString titulo;  // title shown in the viewer's lblDanno
};

// What "Ver Daños" of the qualitative dialog opens for variable 14..22 and
// for other element 0..3 (tipo Ninguno for any other code).
VisorDannos VisorDeVariable(int variable);
VisorDannos VisorDeOtro(int otro);
