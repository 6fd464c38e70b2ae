#pragma once
// The choices of the building folder of the evaluation form, in the order
// the form lists them. The batch tools read the same lists, so a line typed
// in the office stores the same texts as the form.

#include <QStringList>

namespace OpcionesEdificacion {
const QStringList &Sistemas();           // cboTipoEstructura, in list order
const QStringList &SistemasPorCodigo();  // the same texts in code order 0..14 (TipoEstructura)
const QStringList &Entrepisos();         // cboEntrepiso
const QStringList &Cubiertas();          // cboCubierta
const QStringList &Localizacion();       // optLocalizacion 0..3
const QStringList &Anno();               // OptAnno 0..3
const QStringList &Inspeccion();         // optInspeccion 0..2
const QStringList &Estabilidad();        // optEstabEvaluador 0..3
}  // namespace OpcionesEdificacion
