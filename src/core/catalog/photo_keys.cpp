#include "core/catalog/photo_keys.h"

const std::vector<TablaFotos> &TablasFotos()
{
    static const std::vector<TablaFotos> tablas = {
        {QStringLiteral("Estructurales"), true,
         {{QStringLiteral("Vigas"), QStringLiteral("Viga")},
          {QStringLiteral("Columnas"), QStringLiteral("Columna")},
          {QStringLiteral("NudosConc"), QStringLiteral("Nudo")},
          {QStringLiteral("MurosConcr"), QStringLiteral("Muroes")},
          {QStringLiteral("Mamposteria"), QStringLiteral("Mamp")},
          {QStringLiteral("Bahareque"), QStringLiteral("Bahareque")},
          {QStringLiteral("Tapia"), QStringLiteral("Tapia")},
          {QStringLiteral("Metalicas"), QStringLiteral("Metal")},
          {QStringLiteral("Madera"), QStringLiteral("Madera")},
          {QStringLiteral("Entrepiso"), QStringLiteral("Entrepiso")}}},
        {QStringLiteral("No Estructurales"), true,
         {{QStringLiteral("Divisorios"), QStringLiteral("Divisorios")},
          {QStringLiteral("Fachada"), QStringLiteral("Fachada")},
          {QStringLiteral("Escaleras"), QStringLiteral("Escaleras")},
          {QStringLiteral("CieloLuminaria"), QStringLiteral("CieloLum")},
          {QStringLiteral("Instalaciones"), QStringLiteral("Instalaciones")},
          {QStringLiteral("Cubierta"), QStringLiteral("Cubierta")},
          {QStringLiteral("Tanques"), QStringLiteral("Tanques")}}},
        {QStringLiteral("Suelo"), false,
         {{QStringLiteral("GrietDesli"), QStringLiteral("Desliz")},
          {QStringLiteral("LicAsent"), QStringLiteral("Asentam")}}},
        {QStringLiteral("Preexistentes"), false,
         {{QStringLiteral("Calidad"), QStringLiteral("Calidad")},
          {QStringLiteral("IrregPlanta"), QStringLiteral("Irreg")},
          {QStringLiteral("IrregAltura"), QStringLiteral("Irreg")},
          {QStringLiteral("Configuracion"), QStringLiteral("Configuracion")}}},
    };
    return tablas;
}

QString PrefijoDeClave(const QString &carpeta)
{
    for (const TablaFotos &t : TablasFotos())
        for (const ClaveFoto &c : t.claves)
            if (c.carpeta == carpeta)
                return c.prefijo;
    return QString();
}

QString RutaFotoNivel(const QString &carpetaFotos, const QString &carpeta, const QString &prefijo, int nivel, int i)
{
    return carpetaFotos + QLatin1Char('/') + carpeta + QStringLiteral("/Nivel") + QString::number(nivel) + QLatin1Char('/')
           + prefijo + QString::number(i) + QStringLiteral(".jpg");
}

QString RutaFotoCondicion(const QString &carpetaFotos, const QString &carpeta, const QString &prefijo, int i)
{
    return carpetaFotos + QLatin1Char('/') + carpeta + QLatin1Char('/') + prefijo + QString::number(i) + QStringLiteral(".jpg");
}
