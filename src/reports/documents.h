#pragma once
// The registry's printed documents: the placard posted at the building's
// entrance (one A4 page per building, to be read from a few metres) and the
// evaluation report (one or two A4 pages). Drawn once for paper and PDF:
// the device is a QPrinter or a QPdfWriter. No widgets; the text needs a
// QGuiApplication (without a display, the offscreen platform will do).
// Drawing sets the device to A4 portrait with the documents' margins.

#include "core/registry/evaluation_record.h"
#include "core/engine/result_classification.h"

#include <QColor>
#include <QString>
#include <QVector>

class QPagedPaintDevice;

namespace Documentos {

// One placard per record, one page each, in the order given.
void DibujarAvisos(QPagedPaintDevice &dispositivo, const QVector<RegistroEvaluacion> &registros,
                   const TablasComentarios &comentarios);
// The report of each record, each starting on a new page.
void DibujarReportes(QPagedPaintDevice &dispositivo, const QVector<RegistroEvaluacion> &registros,
                     const TablasComentarios &comentarios);

// The same into a PDF file. The file appears only when it is complete;
// throws ErrorDatos, naming the file, when it cannot be written.
void GuardarAvisosPdf(const QString &archivo, const QVector<RegistroEvaluacion> &registros,
                      const TablasComentarios &comentarios);
void GuardarReportesPdf(const QString &archivo, const QVector<RegistroEvaluacion> &registros,
                        const TablasComentarios &comentarios);

// The placard's colours for a stored habitability ("Habitable" green,
// "Uso Restringido" yellow, "No Habitable" and "Peligro de Colapso" red, any
// other text grey) and the colour of letters on it.
QColor ColorHabitabilidad(const QString &habitabilidad);
QColor ColorLetraHabitabilidad(const QString &habitabilidad);

}  // namespace Documentos
