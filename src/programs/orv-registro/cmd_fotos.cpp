// fotos: an evaluation's photos into a folder, with their captions.

#include "programs/orv-registro/commands.h"

#include "core/exchange/photo_files.h"

#include <QDir>

namespace Cli {

int Fotos(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("fotos"), argumentos, {QStringLiteral("-o"), QStringLiteral("--salida")});
    if (a.resto().size() != 1)
        FallaUso(QStringLiteral("«fotos» necesita un número de evaluación. Vea «orv-registro fotos --ayuda»."));
    bool esNumero = false;
    const int numero = a.resto().first().toInt(&esNumero);
    if (!esNumero || numero <= 0)
        FallaUso(QStringLiteral("\"%1\" no es un número de evaluación.").arg(a.resto().first()));
    QString carpeta = a.valor(QStringLiteral("-o"));
    if (a.tiene(QStringLiteral("--salida")))
        carpeta = a.valor(QStringLiteral("--salida"));
    if (carpeta.isEmpty())
        FallaUso(QStringLiteral("«fotos» necesita la carpeta donde escribirlas: -o CARPETA."));
    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    if (!registro->porNumero(numero))
        FallaEjecucion(QStringLiteral("no existe la evaluación N.º %1 en la %2.").arg(numero).arg(registro->descripcion()));
    const QStringList nombres = ArchivosFotos::Escribir(*registro, numero, carpeta);
    if (nombres.isEmpty()) {
        ImprimirError(QStringLiteral("La evaluación N.º %1 no tiene fotos.").arg(numero));
        return Exito;
    }
    for (const QString &n : nombres)
        Imprimir(QDir(carpeta).filePath(n) + QLatin1Char('\n'));
    ImprimirError(QStringLiteral("%1 fotos de la evaluación N.º %2 en \"%3\", con sus leyendas en \"%4\".")
                      .arg(nombres.size())
                      .arg(numero)
                      .arg(QDir::toNativeSeparators(carpeta), ArchivosFotos::Indice));
    return Exito;
}

}  // namespace Cli
