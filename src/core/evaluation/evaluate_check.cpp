#include "core/evaluation/evaluate_check.h"

#include "core/evaluation/building_options.h"
#include "core/evaluation/storey_check.h"

namespace TextosEvaluar {
const QString FaltanListas = QStringLiteral(
    "No se puede evaluar una edificación si usted no indica su sistema estructural, tipo de cubierta y tipo de "
    "entrepiso.");
const QString Incompleta = QStringLiteral(
    "Información incompleta. No ha indicado la localización en la cuadra, el número de pisos o el año de "
    "construcción. Debe suministrar la información en su totalidad. ");
const QString TituloIncompleta = QStringLiteral("Información incompleta");
const QString FaltanCalificaciones =
    QStringLiteral("Ingrese toda la información. Todos los elementos no han sido calificados.");
const QString Confirmar = QStringLiteral("Todos los datos ingresados son correctos?");
const QString TituloConfirmar = QStringLiteral("Datos Ingresados");
}  // namespace TextosEvaluar

namespace {
// The caption of option `i` of `leyendas`; false when none is chosen.
bool Leyenda(const QStringList &leyendas, int i, QString &destino)
{
    if (i < 0 || i >= leyendas.size())
        return false;
    destino = leyendas.at(i);
    return true;
}
}  // namespace

QVector<AvisoEvaluar> RevisarEdificacion(const EdificacionEvaluada &edificacion, EstadoEvaluacion &estado)
{
    QVector<AvisoEvaluar> avisos;
    const DatosEdificacion &d = edificacion.datos;

    const bool ubicacionOk = Leyenda(OpcionesEdificacion::Localizacion(), edificacion.localizacion, estado.Localizacion);

    const QString mensajePisos = RevisarPisos(d.txtNPisos, d.txtNSotanos, d.txtPisosTotal, d.txtPMayorDanno);
    const bool pisosOk = mensajePisos.isEmpty();
    if (!pisosOk)
        avisos.append({mensajePisos, QString()});

    const bool annoOk = Leyenda(OpcionesEdificacion::Anno(), edificacion.anno, estado.AnnoConstruccion);

    const bool listasOk = !d.cboTipoEstructura.isEmpty() && !d.cboCubierta.isEmpty() && !d.cboEntrepiso.isEmpty();
    if (!listasOk)
        avisos.append({TextosEvaluar::FaltanListas, QString()});

    if (!(ubicacionOk && annoOk && pisosOk && listasOk))
        avisos.append({TextosEvaluar::Incompleta, TextosEvaluar::TituloIncompleta});

    // No check: an unchosen group keeps what the state holds.
    Leyenda(OpcionesEdificacion::Inspeccion(), edificacion.inspeccion, estado.Inspeccion);
    Leyenda(OpcionesEdificacion::Estabilidad(), edificacion.estabilidad, estado.EstabilidadEvaluador);
    return avisos;
}
