#pragma once
// The checks of "Evaluar" on the building folder, without widgets: the
// evaluation form shows their messages in boxes, the command-line import
// reports them for the line.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/building_data.h"

#include <QString>
#include <QVector>

// What the evaluate command reads from the building folder: the storey
// texts, the list texts and the chosen option of each group (-1: none).
struct EdificacionEvaluada {
    DatosEdificacion datos;
    int localizacion = -1;  // optLocalizacion
    int anno = -1;          // OptAnno
    int inspeccion = -1;    // optInspeccion
    int estabilidad = -1;   // optEstabEvaluador
};

// A message of the evaluate command; an empty title is the program's.
struct AvisoEvaluar {
    QString texto;
    QString titulo;
};

namespace TextosEvaluar {
extern const QString FaltanListas;
extern const QString Incompleta;
extern const QString TituloIncompleta;
extern const QString FaltanCalificaciones;
extern const QString Confirmar;
extern const QString TituloConfirmar;
}  // namespace TextosEvaluar

// Position in the block, storeys, construction period and lists: records
// the captions of the chosen options (position, period, inspection,
// stability appraisal) in the evaluation state and returns the messages to
// show, in order. The building may be evaluated when there is none.
QVector<AvisoEvaluar> RevisarEdificacion(const EdificacionEvaluada &edificacion, EstadoEvaluacion &estado);
