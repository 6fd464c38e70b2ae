#pragma once
// Where the program's files live: the reference databases and the photo tree
// in the installation folder (share/orv beside the program's bin/), the
// registry in the user's application data folder.

#include <QString>

namespace RutasDatos {
// Installation folder holding ORV.sqlite, Comentarios.sqlite, Fotos.sqlite and
// the photo tree "Fotos Daños".
QString carpetaInstalacion();
void establecerCarpetaInstalacion(const QString &carpeta);

QString archivoReferencia();    // ORV.sqlite
QString archivoComentarios();   // Comentarios.sqlite
QString archivoFotos();         // Fotos.sqlite
QString carpetaFotos();         // Fotos Daños

// The evaluation registry file: the one set by establecerArchivoRegistro,
// else ORV_REGISTRO when it names a file, else the one in the user's
// application data folder.
QString archivoRegistro();
void establecerArchivoRegistro(const QString &archivo);
// True when `registro` (--registro, ORV_REGISTRO) is a postgresql:// address
// rather than a file name.
bool esDireccionServidor(const QString &registro);
}  // namespace RutasDatos
