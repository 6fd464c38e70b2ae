#pragma once
// What every test shares, without widgets: a clean set-up for every test
// executable, running programs and reading their CSV back.

#include <QList>
#include <QString>
#include <QStringList>

namespace Prueba {
// The C locale, the installation folder of the build tree and a registry in
// a fresh temporary folder. Form tests call PrepararFormularios instead.
void Preparar();
// Folder of the build's shipped databases.
QString CarpetaDatos();

// Runs a program to its end; its standard output (a warning with its
// standard error when it fails).
QByteArray Ejecutar(const QString &programa, const QStringList &argumentos);
// The rows of a CSV file as Python's csv module reads them (RFC 4180, strict).
QList<QStringList> LeerCsvConPython(const QString &archivo);
}  // namespace Prueba
