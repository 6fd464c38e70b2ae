#pragma once
// Comment codes from the levels, and their texts from Comentarios.sqlite.

#include "evaluation/evaluation_state.h"

#include <QHash>
#include <QString>

struct EtiquetasResultados;

// The six comment tables, read by position (field 0 code, field 1 text); a
// later record with the same code wins, as a scan of the table does.
struct TablasComentarios {
    QHash<QString, QString> dannoEdificio;     // "Daño Edificio"
    QHash<QString, QString> estadoGlobal;      // "Estado Global"
    QHash<QString, QString> habitabilidad;     // "Habitabilidad"
    QHash<QString, QString> reparabilidad;     // "Reparabilidad"
    QHash<QString, QString> refAnno;           // "Ref Anno"
    QHash<QString, QString> medidasSeguridad;  // "Medidas de Seguridad"
};

// Throws ErrorDatos naming the file and table on any failure.
TablasComentarios LeerTablasComentarios(const QString &archivoComentarios);

// Builds the six codes into the state (the year remark code is cleared
// first) and writes the five comment labels. indiceAnno: the chosen
// construction period 0..3, -1 when none is chosen.
void ComentariosResultados(EstadoEvaluacion &estado, int indiceAnno, const TablasComentarios &comentarios,
                           EtiquetasResultados &etiquetas);
