#pragma once
// One text field of a CSV file (RFC 4180), as every CSV of the program
// writes it: the registry exports and the event summary. No widgets.
//
// A text a spreadsheet would take for a formula (it begins with "=", "+",
// "-", "@", a tab or a carriage return) gets a leading apostrophe, so that
// opening the file runs nothing. A plain number ("-12.5") and the form's own
// placeholders, dashes alone ("-", "--", "----"), stay as they are: no
// spreadsheet runs them. The field is then quoted when it holds a comma, a
// semicolon, a quote or a line break, or begins or ends with a blank.

#include <QByteArray>

namespace CampoTextoCsv {
// True when a spreadsheet would read the UTF-8 text `p`, `n` bytes long, as a formula.
bool PareceFormula(const char *p, qsizetype n);
// Appends the text as a field (without separator).
void Agregar(QByteArray &linea, const char *p, qsizetype n);
inline void Agregar(QByteArray &linea, const QByteArray &texto) { Agregar(linea, texto.constData(), texto.size()); }
}  // namespace CampoTextoCsv
