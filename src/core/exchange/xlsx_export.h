#pragma once
// The registry as a workbook for a spreadsheet (Office Open XML, .xlsx),
// written by libxlsxwriter in its constant-memory mode, one row at a time.
// Each cell has its type, so that a spreadsheet changes nothing on opening:
// text fields are text (codes keep their leading zeros), numbers are
// numbers, the evaluation date is a date and time shown as dd/mm/aaaa hh:mm.
//
// Sheets: "Evaluaciones" (every field of the selected evaluations, in
// position order, under their labels), "Edificaciones" (each building's
// current posting among them), then one sheet per table of the event
// summary, its title in the first row. The file appears only when it is
// complete.

#include "core/registry/registry_store.h"

#include <QString>
#include <QStringList>

// A sheet has 1 048 576 rows; the first holds the column titles.
inline constexpr qint64 MaxFilasHojaXlsx = 1048575;
// A sheet's name: at most 31 characters (UTF-16 units).
inline constexpr int MaxNombreHojaXlsx = 31;

struct OpcionesXlsx {
    // The most evaluations a sheet takes; a larger selection is refused
    // before anything is written.
    qint64 maxFilas = MaxFilasHojaXlsx;
};

struct ResultadoXlsx {
    qint64 evaluaciones = 0;
    qint64 edificaciones = 0;
    QStringList hojas;  // the sheets' names, in order
};

// Writes the records `filtro` selects, by number, into `archivo`. Throws
// ErrorDatos naming the file (or the registry) when the selection does not
// fit in a sheet, or the registry cannot be read, or the file cannot be
// written; the target is then left as it was.
ResultadoXlsx ExportarXlsx(AlmacenRegistro &almacen, const FiltroRegistro &filtro, const QString &archivo,
                           const OpcionesXlsx &opciones = {});

// The Spanish message for a selection of `cantidad` evaluations over the
// limit of `limite` rows.
QString MensajeLimiteXlsx(qint64 cantidad, qint64 limite, const QString &archivo);

// Sheet names for these titles, in order: characters a sheet name cannot
// hold ([ ] : * ? / \) become "-", a title longer than 31 characters is cut
// at the last word that fits, and a name already taken (ignoring case)
// gets " (2)", " (3)", ... Always the same names for the same titles.
QStringList NombresHojasXlsx(const QStringList &titulos);
