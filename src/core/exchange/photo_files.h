#pragma once
// The photos of evaluations as files, for people and for a GIS: one JPEG
// per photo named by its order and caption ("01-fachada.jpg"), and
// "leyendas.csv" beside them with each file's caption, date and position.
// Each file appears only when it is whole. No widgets.

#include "core/registry/registry_store.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace ArchivosFotos {

// The columns (CSV) and properties (GeoJSON) an export with photos adds:
// the first photo's path, which a GIS shows from an attribute, and every
// photo's path, separated by ';'.
inline const QString ColumnaFoto = QStringLiteral("Foto");
inline const QString ColumnaFotos = QStringLiteral("Fotos");

// The index of captions written beside the photos.
inline const QString Indice = QStringLiteral("leyendas.csv");

// "03-grieta-en-la-columna.jpg": the order in two digits, then the caption
// in lower-case letters and digits without accents (at most 40), or only
// the order when there is no caption.
QString Nombre(const FotoEvaluacion &foto);

// Writes the photos of evaluation `numero` into `carpeta` (made when
// missing), each fetched on its own, and the index. Returns the file names
// in order; empty (and no folder) when the evaluation has no photo. Throws
// ErrorDatos naming the file that could not be written, or the registry.
QStringList Escribir(AlmacenRegistro &registro, int32_t numero, const QString &carpeta);

// For an export: the photos of every evaluation `filtro` selects, each
// evaluation's into `carpetaFotos`/NUMERO/; returns, by number, the photos'
// paths relative to `carpetaArchivo` (the exported file's folder), with '/'.
QHash<int32_t, QStringList> EscribirSeleccion(AlmacenRegistro &registro, const FiltroRegistro &filtro,
                                              const QString &carpetaFotos, const QString &carpetaArchivo);

}  // namespace ArchivosFotos
