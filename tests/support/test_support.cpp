#include "support/test_support.h"

#include "core/data/data_paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

void Prueba::Preparar()
{
    QLocale::setDefault(QLocale::c());
    RutasDatos::establecerCarpetaInstalacion(QStringLiteral(ORV_TEST_DATA_DIR));
    static QTemporaryDir carpeta;
    RutasDatos::establecerArchivoRegistro(carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite")));
}

QString Prueba::CarpetaDatos() { return QStringLiteral(ORV_TEST_DATA_DIR); }

QByteArray Prueba::Ejecutar(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qWarning("%s falló: %s", qPrintable(programa), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

QList<QStringList> Prueba::LeerCsvConPython(const QString &archivo)
{
    const QByteArray json = Ejecutar(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import csv, json, sys\n"
                        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                        "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
         archivo});
    QList<QStringList> filas;
    for (const QJsonValue &fila : QJsonDocument::fromJson(json).array()) {
        QStringList campos;
        for (const QJsonValue &c : fila.toArray())
            campos << c.toString();
        filas << campos;
    }
    return filas;
}
