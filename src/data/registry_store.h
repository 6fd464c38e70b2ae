#pragma once
// The evaluation registry: table "Evaluaciones" of 91 fields, created on the
// first run in the user's data folder.

#include <QString>
#include <QStringList>

namespace RegistroEvaluaciones {
constexpr int NumCampos = 91;
inline const QString Tabla = QStringLiteral("Evaluaciones");

// Column names and SQL types of the 91 fields, in field order.
const QStringList &nombresCampos();
const QStringList &tiposCampos();

// Creates the folder, the file and the table when missing. Throws ErrorDatos
// with the file and table named when that is not possible.
void asegurar(const QString &archivo);
}  // namespace RegistroEvaluaciones
