#pragma once
// The storey check of the evaluate command.

#include <QString>

// Returns the message to show, or an empty string when the four storey texts
// are consistent. The texts must be whole numbers: storeys above ground
// 1..200, basements 0..50, storey of greatest damage at least 1, total
// storeys 1..250; the total must equal storeys plus basements, and the storey
// of greatest damage cannot exceed the total.
QString RevisarPisos(const QString &pisos, const QString &sotanos, const QString &total, const QString &mayorDanno);

// A storey text as a whole number; false when it is not one.
bool LeerEntero(const QString &texto, int &valor);
