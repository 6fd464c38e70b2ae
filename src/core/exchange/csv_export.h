#pragma once
// The registry as a CSV file (RFC 4180): UTF-8, one header row of the column
// names, then one row per selected evaluation with every field in position
// order; numbers with a decimal point, dates as stored, fields quoted when
// they hold a comma, a semicolon, a quote, a line break or outer blanks, and
// a text a spreadsheet would run as a formula behind an apostrophe
// (core/registry/csv_field.h).
// Lines end in CR LF. No widgets.

#include "core/registry/registry_store.h"

#include <QHash>
#include <QString>
#include <QStringList>

class QIODevice;

// Writes the selection in number order to `salida`, which must be open for
// writing. Throws ErrorDatos when the registry cannot be read or the device
// refuses the data.
void ExportarCsv(AlmacenRegistro &almacen, const FiltroRegistro &filtro, QIODevice &salida);
// The same with the columns ArchivosFotos::ColumnaFoto and ColumnaFotos
// after the fields, each record's photo paths from `fotos` by number
// (core/exchange/photo_files.h).
void ExportarCsv(AlmacenRegistro &almacen, const FiltroRegistro &filtro, QIODevice &salida,
                 const QHash<int32_t, QStringList> &fotos);

// The same into the file `archivo`, which appears only when it is complete
// (an earlier file of that name stays as it was on failure). Throws
// ErrorDatos naming the file.
void ExportarCsvArchivo(AlmacenRegistro &almacen, const FiltroRegistro &filtro, const QString &archivo);

// The given records, in the order given, with the same header and quoting.
void ExportarCsv(const QVector<RegistroEvaluacion> &registros, QIODevice &salida);
void ExportarCsvArchivo(const QVector<RegistroEvaluacion> &registros, const QString &archivo);

// One CSV field as written, quoted when needed (without separator).
QByteArray CampoCsv(const QVariant &valor);
