#pragma once
// The fixed texts of the printed documents and the values of a record as
// they print. No widgets: the about box, the report and the placard share them.

#include "core/registry/evaluation_record.h"

#include <QString>

namespace Documentos {

// What the results of the program are and are not; the about box shows it
// and the report closes with it.
QString TextoAdvertencia();

// The two warnings of the placard.
QString AvisoReplicas();
QString AvisoOficial();

inline const QString Municipio = QStringLiteral("Municipio de Quenbria");

// The evaluation number, or "pendiente" for a record not yet numbered by
// the central registry.
QString TextoNumero(const RegistroEvaluacion &registro);
// The stored date and time "yyyy-MM-ddTHH:mm:ss" as "dd/MM/yyyy HH:mm"; a text
// of another shape prints as stored.
QString TextoFechaHora(const RegistroEvaluacion &registro);
// The cadastral code: comuna, valuation kind, sector, block, plot and
// improvement, the parts given joined by "-".
QString TextoCodigoCatastral(const RegistroEvaluacion &registro);
// A typed text as it prints: on one line, blanks at the ends dropped and
// runs of blanks as one, and the placeholder of an empty box ("-", "--")
// printed as nothing.
QString TextoEscrito(const QString &valor);
// Any field by position, as the report prints it: indices and coordinates in
// the number notation of the system, integers as typed, texts as typed.
QString TextoCampo(const RegistroEvaluacion &registro, int posicion);

}  // namespace Documentos
