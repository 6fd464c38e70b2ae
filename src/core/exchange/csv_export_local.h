#pragma once
// The CSV export of a registry file on this machine, read straight from the
// database's own text: the same bytes as ExportarCsv (csv_export.h), without
// making a record of every row first, so that a whole registry is written
// about as fast as the database can read it.

#include "core/registry/local_registry.h"

class QIODevice;

// Throws ErrorDatos when the file cannot be read or the device refuses the data.
void ExportarCsvLocal(RegistroLocal &registro, const FiltroRegistro &filtro, QIODevice &salida);
