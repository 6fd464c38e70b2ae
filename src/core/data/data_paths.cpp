#include "core/data/data_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
QString &carpetaElegida()
{
    static QString carpeta;
    return carpeta;
}
QString &registroElegido()
{
    static QString archivo;
    return archivo;
}
}  // namespace

namespace RutasDatos {

QString carpetaInstalacion()
{
    if (carpetaElegida().isEmpty())
        carpetaElegida() = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orv"));
    return carpetaElegida();
}

void establecerCarpetaInstalacion(const QString &carpeta) { carpetaElegida() = carpeta; }

QString archivoReferencia() { return carpetaInstalacion() + QStringLiteral("/ORV.sqlite"); }
QString archivoComentarios() { return carpetaInstalacion() + QStringLiteral("/Comentarios.sqlite"); }
QString archivoFotos() { return carpetaInstalacion() + QStringLiteral("/Fotos.sqlite"); }
QString carpetaFotos() { return carpetaInstalacion() + QStringLiteral("/Fotos Daños"); }

QString archivoRegistro()
{
    if (!registroElegido().isEmpty())
        return registroElegido();
    const QString entorno = qEnvironmentVariable("ORV_REGISTRO").trimmed();
    if (!entorno.isEmpty() && !esDireccionServidor(entorno))
        return entorno;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + QStringLiteral("/Registro de Evaluaciones.sqlite");
}

bool esDireccionServidor(const QString &registro)
{
    return registro.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive)
           || registro.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive);
}

void establecerArchivoRegistro(const QString &archivo) { registroElegido() = archivo; }

}  // namespace RutasDatos
