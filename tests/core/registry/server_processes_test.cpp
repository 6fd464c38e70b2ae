// The central registry used by several programs at once, a server that
// stops in the middle of a run of saves, and a program killed while it sends.

#include "core/registry/server_fixture.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QString Auxiliar = QStringLiteral(ORV_SERVIDOR_AUXILIAR);
const QString Script = QStringLiteral(ORV_SERVIDOR_PG_SH);

QStringList Lineas(const QByteArray &salida)
{
    return QString::fromUtf8(salida).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Runs the helper on the registry of `c` to its end; its standard output.
QString Correr(const ConexionServidor &c, const QStringList &args, int *codigo = nullptr)
{
    QProcess p;
    ServidorPrueba::UsarEnEntorno(c);
    p.start(Auxiliar, args);
    p.waitForFinished(600000);
    if (codigo)
        *codigo = p.exitCode();
    const QByteArray error = p.readAllStandardError();
    if (!error.isEmpty())
        qInfo("%s", error.constData());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A server of the test's own, stopped and removed however the test ends.
struct ServidorPropio {
    QString carpeta;
    explicit ServidorPropio(const QString &c) : carpeta(c)
    {
        if (!orden(QStringLiteral("iniciar")))
            qFatal("no se pudo iniciar el servidor en %s", qPrintable(carpeta));
    }
    ~ServidorPropio() { orden(QStringLiteral("detener")); }
    bool orden(const QString &o) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(Script, {o, carpeta});
        return p.waitForFinished(120000) && p.exitCode() == 0;
    }
};

}  // namespace

class PruebaServidorProcesos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    // Three laptops saving 300 evaluations each at the same moment.
    void tresEquiposALaVez()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipos;
        QProcess procesos[3];
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        for (int i = 0; i < 3; ++i)
            procesos[i].start(Auxiliar, {QStringLiteral("guardar"), equipos.filePath(QString::number(i)),
                                         QStringLiteral("300"), QStringLiteral("Equipo %1").arg(i)});
        QElapsedTimer reloj;
        reloj.start();
        QSet<int> todos;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(procesos[i].waitForFinished(600000));
            QCOMPARE(procesos[i].exitCode(), 0);
            const QStringList lineas = Lineas(procesos[i].readAllStandardOutput());
            QCOMPARE(lineas.size(), 300);
            int anterior = 0;  // each program's numbers rise, and no other program has them
            for (const QString &l : lineas) {
                const int n = l.toInt();
                QVERIFY2(n > anterior && !todos.contains(n), qPrintable(l));
                todos.insert(anterior = n);
            }
        }
        qInfo("900 evaluaciones guardadas por 3 equipos: %lld ms", reloj.elapsed());
        QCOMPARE(todos.size(), 900);
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, 900), QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ServidorPrueba::Cantidad(b.administrador, QStringLiteral("\"NombreEdificacion\" = 'Equipo %1'").arg(i)),
                     300);
    }

    // One evaluator's session keeps an INSERT uncommitted, another holds an
    // advisory lock on every id it can name and tries the locks its role
    // may not take: three laptops still save 300 evaluations each, every
    // one numbered at once (none waits in the outbox), 1..900 with no gap.
    void unaSesionNoDetieneALasDemas()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const ConexionServidor otro =
            ServidorPrueba::NuevoEvaluador(b.administrador, b.evaluador.usuario + QStringLiteral("_b"), QStringLiteral("b"));
        ServidorPrueba::Sesion abierta(b.evaluador);
        QCOMPARE(abierta.ejecutar(QStringLiteral("BEGIN")), QString());
        QCOMPARE(abierta.ejecutar(QStringLiteral("INSERT INTO orv.\"Evaluaciones\" (uuid) VALUES (gen_random_uuid())")),
                 QString());
        // Every advisory lock it can take: the ids of the schema, its
        // tables and functions, and small numbers.
        ServidorPrueba::Sesion candados(otro);
        const int tomados = candados
                                .valor(QStringLiteral(
                                    "SELECT count(*) FILTER (WHERE pg_try_advisory_lock(k)) FROM (SELECT oid::bigint AS k "
                                    "FROM pg_class WHERE relnamespace = 'orv'::regnamespace UNION SELECT oid::bigint FROM "
                                    "pg_proc WHERE pronamespace = 'orv'::regnamespace UNION SELECT "
                                    "'orv'::regnamespace::oid::bigint UNION SELECT generate_series(-100, 2000)) AS ids"))
                                .toInt()
                            + candados
                                  .valor(QStringLiteral(
                                      "SELECT count(*) FILTER (WHERE pg_try_advisory_lock(c.oid::integer, k)) FROM "
                                      "pg_class c, generate_series(0, 3) AS k WHERE c.relnamespace = 'orv'::regnamespace"))
                                  .toInt();
        qInfo("Candados consultivos tomados por la otra sesión: %d", tomados);

        QTemporaryDir equipos;
        QProcess procesos[3];
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        QElapsedTimer reloj;
        reloj.start();
        for (int i = 0; i < 3; ++i)
            procesos[i].start(Auxiliar, {QStringLiteral("guardar"), equipos.filePath(QString::number(i)),
                                         QStringLiteral("300"), QStringLiteral("Equipo %1").arg(i)});
        QSet<int> todos;
        for (int i = 0; i < 3; ++i) {
            // A bound for a registry that stalls, not a measure of speed.
            const bool termino = procesos[i].waitForFinished(300000);
            if (!termino)
                procesos[i].kill();
            QVERIFY(termino);
            QCOMPARE(procesos[i].exitCode(), 0);
            const QStringList lineas = Lineas(procesos[i].readAllStandardOutput());
            QCOMPARE(lineas.size(), 300);
            int anterior = 0;
            for (const QString &l : lineas) {
                const int n = l.toInt();
                QVERIFY2(n > anterior && !todos.contains(n), qPrintable(l));
                todos.insert(anterior = n);
            }
        }
        qInfo("900 evaluaciones guardadas por 3 equipos con una sesión bloqueadora: %lld ms", reloj.elapsed());
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, 900), QString());
        // The server ended the session left inside its transaction; its row
        // never arrived.
        QVERIFY(!abierta.ejecutar(QStringLiteral("COMMIT")).isEmpty());
        // Nor can its role take the locks that would stop the others.
        for (const char *sql : {"LOCK TABLE orv.\"Evaluaciones\" IN SHARE MODE",
                                "SELECT * FROM orv.\"Evaluaciones\" FOR UPDATE",
                                "SELECT * FROM orv.numeracion FOR UPDATE",
                                "LOCK TABLE orv.numeracion IN ACCESS SHARE MODE"}) {
            QCOMPARE(candados.ejecutar(QStringLiteral("BEGIN")), QString());
            const QString e = candados.ejecutar(QString::fromUtf8(sql));
            QVERIFY2(e.startsWith(QStringLiteral("42501")), qPrintable(QString::fromUtf8(sql) + QStringLiteral(" -> ") + e));
            QCOMPARE(candados.ejecutar(QStringLiteral("ROLLBACK")), QString());
        }
    }

    // The server stops after some of 200 saves of evaluations with three
    // photos each: every save succeeds, the rest wait in the outbox; no
    // evaluation is on the server without all of its photos. The server
    // back, one send stores each evaluation and each photo once.
    void servidorDetenidoAMitad()
    {
        QTemporaryDir carpeta(QStringLiteral("/tmp/orv-pg-propio-XXXXXX"));
        // The server's user must reach its folder.
        QFile::setPermissions(carpeta.path(), QFile::permissions(carpeta.path()) | QFile::ExeOther | QFile::ExeGroup);
        const ServidorPropio servidor(carpeta.path() + QStringLiteral("/pg"));
        const ConexionServidor su = ServidorPrueba::ConexionEn(servidor.carpeta);
        PrepararServidor(su);
        const ConexionServidor evaluador =
            ServidorPrueba::NuevoEvaluador(su, QStringLiteral("campo"), QStringLiteral("clave de campo"));

        QTemporaryDir equipo;
        QProcess p;
        ServidorPrueba::UsarEnEntorno(evaluador);
        p.start(Auxiliar, {QStringLiteral("guardar"), equipo.path(), QStringLiteral("200"), QStringLiteral("Corte"),
                           QStringLiteral("15"), QStringLiteral("3")});
        QByteArray salida;
        QElapsedTimer reloj;
        reloj.start();
        while (Lineas(salida).size() < 60 && reloj.elapsed() < 300000) {
            p.waitForReadyRead(1000);
            salida += p.readAllStandardOutput();
        }
        servidor.orden(QStringLiteral("parar"));
        QVERIFY(p.waitForFinished(600000));
        QCOMPARE(p.exitCode(), 0);
        salida += p.readAllStandardOutput();
        const QStringList lineas = Lineas(salida);
        QCOMPARE(lineas.size(), 200);
        const int pendientes = lineas.count(QStringLiteral("pendiente"));
        qInfo("Guardadas en el servidor: %lld; en la bandeja de salida: %d", lineas.size() - pendientes, pendientes);
        QVERIFY(pendientes >= 100);

        servidor.orden(QStringLiteral("reiniciar"));
        // Every evaluation the server received has its three photos.
        const QString incompletas = QStringLiteral(
            "SELECT count(*) FROM orv.\"Evaluaciones\" e WHERE cardinality(e.fotos) IS DISTINCT FROM 3 OR "
            "(SELECT count(*) FROM orv.\"Fotos\" f WHERE f.evaluacion_uuid = e.uuid AND f.uuid = ANY (e.fotos)) <> 3");
        QCOMPARE(ServidorPrueba::Valor(su, incompletas).toInt(), 0);
        int codigo = -1;
        const QString envio = Correr(evaluador, {QStringLiteral("enviar"), equipo.path()}, &codigo);
        QCOMPARE(codigo, 0);
        QVERIFY2(envio.endsWith(QStringLiteral("pendientes 0")), qPrintable(envio));
        QCOMPARE(ServidorPrueba::Huecos(su, 200), QString());
        QCOMPARE(ServidorPrueba::Cantidad(su, QStringLiteral("\"NombreEdificacion\" = 'Corte'")), 200);
        QCOMPARE(ServidorPrueba::Valor(su, incompletas).toInt(), 0);
        QCOMPARE(ServidorPrueba::Valor(su, QStringLiteral("SELECT count(*) FROM orv.\"Fotos\"")).toInt(), 600);
        // Sending again finds nothing to send.
        QCOMPARE(Correr(evaluador, {QStringLiteral("enviar"), equipo.path()}), QStringLiteral("enviados 0 pendientes 0"));
    }

    // kill -9 while the outbox is being sent: nothing partial on the server,
    // nothing lost and nothing doubled after the next send.
    void programaMatadoAlEnviar()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const int total = 1500;
        int codigo = -1;
        Correr(b.evaluador, {QStringLiteral("bandeja"), equipo.path(), QString::number(total), QStringLiteral("Matar")},
               &codigo);
        QCOMPARE(codigo, 0);

        QProcess p;
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        p.start(Auxiliar, {QStringLiteral("enviar"), equipo.path(), QStringLiteral("20")});
        QVERIFY(p.waitForStarted());
        qint64 antes = 0;
        QElapsedTimer reloj;
        reloj.start();
        while (antes == 0 && reloj.elapsed() < 300000 && p.state() == QProcess::Running)
            antes = ServidorPrueba::Cantidad(b.administrador);
        p.kill();
        p.waitForFinished();
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        const qint64 despues = ServidorPrueba::Cantidad(b.administrador);
        qInfo("En el servidor al matar el envío: %lld de %d", despues, total);
        QVERIFY(despues > 0 && despues < total);
        // Whole batches only.
        QCOMPARE(despues % 20, 0);

        const QString envio = Correr(b.evaluador, {QStringLiteral("enviar"), equipo.path()}, &codigo);
        QCOMPARE(codigo, 0);
        QVERIFY2(envio.endsWith(QStringLiteral("pendientes 0")), qPrintable(envio));
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, total), QString());
    }
};

QTEST_GUILESS_MAIN(PruebaServidorProcesos)
#include "server_processes_test.moc"
