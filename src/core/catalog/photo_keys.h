#pragma once
// TablaFotos: the photo keys of the rated elements: the word that names an element's
// folder and its rows in the photo database, and the prefix of its file names.
// Shared by the viewers, the picture generator and the tests.

#include <QString>
#include <vector>

struct ClaveFoto {
    QString carpeta;  // folder and database key ("Columnas")
    QString prefijo;  // file name prefix ("Columna")
};

struct TablaFotos {
    QString tabla;            // table of Fotos.sqlite
    bool porNivel = false;    // rows key/level/count (true) or key/count (false)
    std::vector<ClaveFoto> claves;
};

// The four photo tables with every key that an element button can set.
const std::vector<TablaFotos> &TablasFotos();

// Prefix of a key, empty when the key is unknown.
QString PrefijoDeClave(const QString &carpeta);

// <carpetaFotos>/<carpeta>/Nivel<nivel>/<prefijo><i>.jpg
QString RutaFotoNivel(const QString &carpetaFotos, const QString &carpeta, const QString &prefijo, int nivel, int i);
// <carpetaFotos>/<carpeta>/<prefijo><i>.jpg
QString RutaFotoCondicion(const QString &carpetaFotos, const QString &carpeta, const QString &prefijo, int i);
