// orv-evaluar [--datos DIR] [FILE]
//
// Evaluates buildings in bulk: one JSON object per line from FILE (or the
// standard input), one JSON object per line to the standard output. DIR is
// the installation folder holding ORV.sqlite and Comentarios.sqlite.
//
// Exit status: 0 every line evaluated, 1 some line rejected, 2 the arguments
// or the data folder are unusable.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/exchange/batch_evaluator.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

int Falla(const QString &texto)
{
    std::fprintf(stderr, "orv-evaluar: %s\n", texto.toLocal8Bit().constData());
    return 2;
}

const char *const Uso = "uso: orv-evaluar [--datos CARPETA] [ARCHIVO]";

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString carpeta;
    QString archivo;
    bool conArchivo = false;

    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--datos")) {
            if (i + 1 >= args.size())
                return Falla(QStringLiteral("falta la carpeta después de --datos.\n") + QLatin1String(Uso));
            carpeta = args.at(++i);
        } else if (a == QLatin1String("-h") || a == QLatin1String("--ayuda") || a == QLatin1String("--help")) {
            std::printf("%s\n", Uso);
            return 0;
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return Falla(QStringLiteral("opción desconocida \"%1\".\n").arg(a) + QLatin1String(Uso));
        } else if (conArchivo) {
            return Falla(QStringLiteral("se admite un solo archivo de entrada.\n") + QLatin1String(Uso));
        } else {
            archivo = a;
            conArchivo = true;
        }
    }
    if (carpeta.isEmpty())
        carpeta = RutasDatos::carpetaInstalacion();

    DatosLotes datos;
    try {
        datos = LeerDatosLotes(carpeta);
    } catch (const ErrorDatos &error) {
        return Falla(QStringLiteral("la carpeta de datos \"%1\" no se puede usar.\n").arg(carpeta) + error.mensaje());
    }

    QFile entrada;
    if (conArchivo && archivo != QLatin1String("-")) {
        entrada.setFileName(archivo);
        if (!entrada.open(QIODevice::ReadOnly))
            return Falla(QStringLiteral("no se puede leer el archivo \"%1\": %2").arg(archivo, entrada.errorString()));
    } else if (!entrada.open(stdin, QIODevice::ReadOnly)) {
        return Falla(QStringLiteral("no se puede leer la entrada estándar."));
    }
    QFile salida;
    if (!salida.open(stdout, QIODevice::WriteOnly))
        return Falla(QStringLiteral("no se puede escribir en la salida estándar."));

    const int estado = ProcesarLotes(entrada, salida, datos);
    salida.flush();
    return estado;
}
