#pragma once
// One placard and one report, drawn on the current page(s) of a painter that
// is active on `pagina`'s device. documents.cpp runs them for each record.

#include "reports/page_drawing.h"
#include "core/registry/stored_comments.h"

#include <QColor>
#include <QString>

class QPainter;

namespace Documentos {

// How the placard shows a habitability: the capitals of its band, the
// colours of the band and of its letters, and what the class allows.
struct ClaseAviso {
    QString titulo;
    QString permite;
    QColor fondo;
    QColor letra;
};
// By the stored habitability ("Habitable", "Uso Restringido", "No Habitable",
// "Peligro de Colapso"); any other text gets a grey band with that text.
ClaseAviso ClaseDeHabitabilidad(const QString &habitabilidad);

// What a placard says of its building's history: the posting it replaces,
// and, on a placard a newer evaluation replaced, which one is current.
QString TextoReemplaza(const ReferenciaAviso &anterior);
QString TextoReemplazado(const ReferenciaAviso &vigente);

void DibujarAviso(QPainter &p, const Pagina &pagina, const RegistroEvaluacion &registro,
                  const ComentariosRegistro &comentarios);

// The report of one record: first counted, then drawn page by page, each
// page closed with "Página i de n". Starts on the current page and calls
// newPage() between its own pages only.
void DibujarReporte(QPainter &p, const Pagina &pagina, const RegistroEvaluacion &registro,
                    const ComentariosRegistro &comentarios);
// The number of pages the report of `registro` takes.
int PaginasReporte(const Pagina &pagina, const RegistroEvaluacion &registro, const ComentariosRegistro &comentarios);

}  // namespace Documentos
