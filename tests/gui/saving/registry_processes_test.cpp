// The registry shared by programs that save at the same time, and a program
// killed while it saves.

#include "core/registry/sample_evaluation.h"
#include "support/gui_test_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

const QString Auxiliar = QStringLiteral(ORV_REGISTRO_AUXILIAR);

QList<qlonglong> NumerosImpresos(QProcess &p)
{
    QList<qlonglong> numeros;
    for (const QByteArray &linea : p.readAllStandardOutput().split('\n')) {
        bool ok = false;
        if (const qlonglong n = linea.trimmed().toLongLong(&ok); ok)
            numeros << n;
    }
    return numeros;
}

// Whole records: every field but the number and the building's name is the
// example's, with its kind of value.
QString Incompleto(const QVariantList &r)
{
    static const QVariantList esperado = Ejemplo::Campos();
    if (r.size() != esperado.size())
        return QStringLiteral("%1 campos").arg(r.size());
    for (int i = 1; i < esperado.size(); ++i)
        if (i != 13 && (esperado.at(i).isNull() ? !r.at(i).isNull()
                                                : r.at(i).typeId() != esperado.at(i).typeId() || r.at(i) != esperado.at(i)))
            return QStringLiteral("campo %1: \"%2\"").arg(i).arg(r.at(i).toString());
    return QString();
}

// A folder in memory when the system has one: the saves wait for no disk,
// so the programs meet at the lock far more often in the same time. Locks,
// journal and a killed process behave there as on a disk.
QString CarpetaTemporal()
{
    const QFileInfo memoria(QStringLiteral("/dev/shm"));
    const QString base = memoria.isDir() && memoria.isWritable() ? memoria.filePath() : QDir::tempPath();
    return base + QStringLiteral("/orv-registro-XXXXXX");
}

}  // namespace

class PruebaVariosProgramas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prueba::PrepararFormularios(); QVERIFY2(QFile::exists(Auxiliar), qPrintable(Auxiliar)); }

    // Two programs saving 200 evaluations each into one file at once: 400
    // records numbered 1..400, none lost, none doubled. A breath of 1 ms
    // between two saves lets the programs take turns at the lock; back to
    // back, one program could keep the other waiting past the few seconds of
    // wait, which would be reported as a busy registry.
    void dosProgramasALaVez()
    {
        QTemporaryDir carpeta(CarpetaTemporal());
        QVERIFY(carpeta.isValid());
        const QString archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        QProcess a, b;
        a.start(Auxiliar, {archivo, QStringLiteral("200"), QStringLiteral("Programa A"), QStringLiteral("1")});
        b.start(Auxiliar, {archivo, QStringLiteral("200"), QStringLiteral("Programa B"), QStringLiteral("1")});
        for (QProcess *p : {&a, &b}) {
            QVERIFY(p->waitForStarted() && p->waitForFinished(180000));
            QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, p->readAllStandardError().constData());
        }
        const QList<qlonglong> deA = NumerosImpresos(a), deB = NumerosImpresos(b);
        QCOMPARE(deA.size(), 200);
        QCOMPARE(deB.size(), 200);

        QCOMPARE(Ejemplo::Integridad(archivo), QStringLiteral("ok"));
        const QList<QVariantList> registros = Ejemplo::LeerRegistro(archivo);
        QCOMPARE(registros.size(), 400);
        QList<qlonglong> numeros;
        QSet<qlonglong> deAEnArchivo, deBEnArchivo;
        for (const QVariantList &r : registros) {
            QVERIFY2(Incompleto(r).isEmpty(), qPrintable(Incompleto(r)));
            const qlonglong n = r.at(0).toLongLong();
            numeros << n;
            const QString nombre = r.at(13).toString();
            QVERIFY2(nombre == QLatin1String("Programa A") || nombre == QLatin1String("Programa B"), qPrintable(nombre));
            (nombre == QLatin1String("Programa A") ? deAEnArchivo : deBEnArchivo).insert(n);
        }
        std::sort(numeros.begin(), numeros.end());
        for (int i = 0; i < 400; ++i)
            QCOMPARE(numeros.at(i), qlonglong(i + 1));
        // Each program's records carry the numbers it was given.
        QCOMPARE(deAEnArchivo, QSet<qlonglong>(deA.begin(), deA.end()));
        QCOMPARE(deBEnArchivo, QSet<qlonglong>(deB.begin(), deB.end()));
        // How often the turn passed from one program to the other.
        int turnos = 0;
        for (qlonglong n = 2; n <= 400; ++n)
            turnos += deAEnArchivo.contains(n) != deAEnArchivo.contains(n - 1) ? 1 : 0;
        qInfo("%d cambios de turno entre los dos programas", turnos);
        QVERIFY(turnos >= 10);
    }

    // A program killed at random moments while saving: the file stays sound,
    // holds only whole records numbered without gaps, and every number the
    // program reported as saved is there.
    void programaInterrumpido()
    {
        QTemporaryDir carpeta(CarpetaTemporal());
        QVERIFY(carpeta.isValid());
        const QString archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        const quint32 semilla = QRandomGenerator::global()->generate();
        qInfo("semilla %u", semilla);
        QRandomGenerator azar(semilla);
        QSet<qlonglong> informados;
        qsizetype antes = 0;
        int rondasConGuardados = 0;
        for (int ronda = 0; ronda < 10; ++ronda) {
            QProcess p;
            p.start(Auxiliar, {archivo, QStringLiteral("1000000"), QStringLiteral("Ronda %1").arg(ronda)});
            QVERIFY(p.waitForStarted());
            QTest::qWait(static_cast<int>(azar.bounded(50, 400)));
            QCOMPARE(p.state(), QProcess::Running);
            p.kill();
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);
            for (qlonglong n : NumerosImpresos(p))
                informados.insert(n);

            if (!QFile::exists(archivo))
                continue;  // killed before its first save
            QCOMPARE(Ejemplo::Integridad(archivo), QStringLiteral("ok"));
            const QList<QVariantList> registros = Ejemplo::LeerRegistro(archivo);
            QVERIFY(registros.size() >= antes);
            if (registros.size() > antes)
                ++rondasConGuardados;
            antes = registros.size();
            QSet<qlonglong> numeros;
            for (const QVariantList &r : registros) {
                QVERIFY2(Incompleto(r).isEmpty(), qPrintable(Incompleto(r)));
                numeros.insert(r.at(0).toLongLong());
            }
            QCOMPARE(numeros.size(), registros.size());
            for (qlonglong n = 1; n <= registros.size(); ++n)
                QVERIFY2(numeros.contains(n), qPrintable(QString::number(n)));
            for (qlonglong n : std::as_const(informados))
                QVERIFY2(numeros.contains(n), qPrintable(QStringLiteral("informado %1").arg(n)));
        }
        qInfo("%lld registros tras 10 interrupciones (%d rondas guardaron algo)", qlonglong(antes), rondasConGuardados);
        QVERIFY(rondasConGuardados >= 5);
    }
};

QTEST_GUILESS_MAIN(PruebaVariosProgramas)
#include "registry_processes_test.moc"
