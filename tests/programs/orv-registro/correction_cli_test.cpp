// orv-registro corregir and historial on a registry file, as a user runs
// them: the built program in a process of its own.

#include "core/registry/correction_cases.h"
#include "support/test_support.h"

#include "core/registry/local_registry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

struct Resultado {
    int codigo = -1;
    QString salida;
    QString error;
};

Resultado Correr(const QString &archivo, const QStringList &argumentos)
{
    QProcess p;
    p.start(QStringLiteral(ORV_REGISTRO), QStringList{QStringLiteral("--datos"), Prueba::CarpetaDatos(),
                                                      QStringLiteral("--registro"), archivo} + argumentos);
    if (!p.waitForStarted())
        return {};
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class PruebaCorregirCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    // A corrected house number moves the evaluation into the other
    // building's history, which historial prints newest first with the
    // correction under its evaluation; refusals in Spanish, nothing changed.
    void corregirEHistorial()
    {
        QTemporaryDir carpeta;
        const QString archivo = carpeta.filePath(QStringLiteral("registro.sqlite"));
        {
            QVector<RegistroEvaluacion> lote{
                CasosCorreccion::Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable"),
                CasosCorreccion::Evaluacion("12-30", "2026-12-03T16:00:00", "Uso Restringido"),
                CasosCorreccion::Evaluacion("14-02", "2026-12-05T09:00:00", "No Habitable")};
            RegistroLocal(archivo).agregar(lote);
        }
        const Resultado corregida = Correr(archivo, {QStringLiteral("corregir"), QStringLiteral("3"),
                                                     QStringLiteral("--campo"), QStringLiteral("NumeroCasa"),
                                                     QStringLiteral("--valor"), QStringLiteral("12-30"),
                                                     QStringLiteral("--motivo"), QStringLiteral("Número mal escrito")});
        QVERIFY2(corregida.codigo == 0, qPrintable(corregida.error));
        QVERIFY2(corregida.salida.contains(QStringLiteral("N.º 3 corregida: Número «14-02» → «12-30»")),
                 qPrintable(corregida.salida));
        {
            RegistroLocal registro(archivo);
            QCOMPARE(registro.claveDe(3), registro.claveDe(1));
            QCOMPARE(registro.correcciones(3).size(), 1);
            QCOMPARE(registro.correcciones(3).first().motivo, QStringLiteral("Número mal escrito"));
        }

        const Resultado historial = Correr(archivo, {QStringLiteral("historial"), QStringLiteral("1")});
        QVERIFY2(historial.codigo == 0, qPrintable(historial.error));
        const QString &h = historial.salida;
        const qsizetype tercera = h.indexOf(QStringLiteral("N.º 3  05/12/2026 09:00  No Habitable (empeoró)"));
        const qsizetype correccion = h.indexOf(QStringLiteral("Número «14-02» → «12-30». Motivo: Número mal escrito"));
        const qsizetype segunda = h.indexOf(QStringLiteral("N.º 2  03/12/2026 16:00  Uso Restringido (empeoró)"));
        const qsizetype primera = h.indexOf(QStringLiteral("N.º 1  01/12/2026 10:00  Habitable"));
        QVERIFY2(tercera >= 0 && tercera < correccion && correccion < segunda && segunda < primera, qPrintable(h));
        QVERIFY2(h.contains(QStringLiteral("3 evaluaciones")) && h.contains(QStringLiteral("la vigente es la N.º 3")),
                 qPrintable(h));
        QCOMPARE(h.count(QStringLiteral("Corregida el")), 1);

        const Resultado juicio = Correr(archivo, {QStringLiteral("corregir"), QStringLiteral("1"), QStringLiteral("--campo"),
                                                  QStringLiteral("Habitabilidad"), QStringLiteral("--valor"),
                                                  QStringLiteral("No Habitable"), QStringLiteral("--motivo"),
                                                  QStringLiteral("Otra opinión")});
        QCOMPARE(juicio.codigo, 1);
        QVERIFY2(juicio.error.contains(QStringLiteral("hace falta una nueva evaluación")), qPrintable(juicio.error));
        const Resultado sinMotivo = Correr(archivo, {QStringLiteral("corregir"), QStringLiteral("1"), QStringLiteral("--campo"),
                                                     QStringLiteral("Barrio"), QStringLiteral("--valor"),
                                                     QStringLiteral("El Prado")});
        QCOMPARE(sinMotivo.codigo, 2);
        QVERIFY2(sinMotivo.error.contains(QStringLiteral("--motivo")), qPrintable(sinMotivo.error));
        const Resultado ninguna = Correr(archivo, {QStringLiteral("historial"), QStringLiteral("99")});
        QCOMPARE(ninguna.codigo, 1);
        QVERIFY2(ninguna.error.contains(QStringLiteral("no hay ninguna evaluación con el número 99")), qPrintable(ninguna.error));
        RegistroLocal registro(archivo);
        QCOMPARE(registro.porNumero(1)->texto(Pos::Habitabilidad), QStringLiteral("Habitable"));
        QVERIFY(registro.correcciones(1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PruebaCorregirCli)
#include "correction_cli_test.moc"
