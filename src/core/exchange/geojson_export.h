#pragma once
// The evaluations for a geographic information system: a GeoJSON file
// (RFC 7946) with one point per evaluation that has coordinates, in WGS 84
// as longitude then latitude, and flat properties named as the registry's
// columns plus the five comments of the stored codes. The file is written
// one feature at a time and replaces the target only when it is complete.

#include "core/registry/registry_store.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct TablasComentarios;

struct ResultadoGeoJson {
    qint64 exportadas = 0;
    // The evaluations left out for lack of coordinates: how many, and the
    // numbers of the first ones (at most MaxNumerosAviso).
    qint64 sinCoordenadas = 0;
    QVector<int32_t> numerosSinCoordenadas;
    static constexpr int MaxNumerosAviso = 50;

    // The Spanish warning naming the evaluations left out; empty when none.
    QString aviso() const;
};

// The property names of the five comment texts, in the order of
// ComentariosRegistro's members.
const QStringList &PropiedadesComentarios();

// Writes the records `filtro` selects, by number, into `archivo`. Throws
// ErrorDatos naming the file (or the registry) when it cannot be read or
// written; the target is then left as it was.
// With `fotos`, each feature also has the properties ArchivosFotos::ColumnaFoto
// and ColumnaFotos (core/exchange/photo_files.h): its photos' paths by number.
ResultadoGeoJson ExportarGeoJson(AlmacenRegistro &almacen, const FiltroRegistro &filtro,
                                 const TablasComentarios &comentarios, const QString &archivo,
                                 const QHash<int32_t, QStringList> *fotos = nullptr);
