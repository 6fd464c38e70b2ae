#pragma once
// Comment codes from the levels, and their texts from Comentarios.sqlite.

#include "core/evaluation/evaluation_state.h"

#include <QString>
#include <cstddef>
#include <unordered_map>

struct EtiquetasResultados;

// Comment codes are a few ASCII characters; a plain FNV-1a hash of them costs
// a fraction of the general seeded string hash, and every evaluation looks up
// six codes.
struct HashCodigoComentario {
    std::size_t operator()(const QString &codigo) const noexcept;
};
// One comment table in memory: code -> text.
using TablaComentarios = std::unordered_map<QString, QString, HashCodigoComentario>;

// The six comment tables, read by position (field 0 code, field 1 text); a
// later record with the same code wins, as a scan of the table does.
struct TablasComentarios {
    TablaComentarios dannoEdificio;     // "Daño Edificio"
    TablaComentarios estadoGlobal;      // "Estado Global"
    TablaComentarios habitabilidad;     // "Habitabilidad"
    TablaComentarios reparabilidad;     // "Reparabilidad"
    TablaComentarios refAnno;           // "Ref Anno"
    TablaComentarios medidasSeguridad;  // "Medidas de Seguridad"
};

// Throws ErrorDatos naming the file and table on any failure.
TablasComentarios LeerTablasComentarios(const QString &archivoComentarios);

// Builds the six codes into the state (the year remark code is cleared
// first) and writes the five comment labels. indiceAnno: the chosen
// construction period 0..3, -1 when none is chosen.
void ComentariosResultados(EstadoEvaluacion &estado, int indiceAnno, const TablasComentarios &comentarios,
                           EtiquetasResultados &etiquetas);
