// orv-registro with the central registry of the private test server: which
// registry --registro and ORV_REGISTRO reach, and "importar" when the
// server does not answer.

#include "programs/orv-registro/cli_runner.h"
#include "core/registry/server_fixture.h"
#include "support/gui_test_support.h"

#include "core/registry/outbox.h"

#include <QDir>
#include <QUuid>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace OrdenPrueba;

namespace {

// A machine of the test's own: its home, data and settings folders, and a
// working folder where nothing should appear.
struct Equipo {
    QTemporaryDir raiz;
    QString casa() const { return raiz.filePath(QStringLiteral("casa")); }
    QString trabajo() const { return raiz.filePath(QStringLiteral("trabajo")); }
    // The user's registry file, as the program finds it in that home.
    QString registroUsuario() const
    {
        return casa() + QStringLiteral("/datos/Quenbria/ORV/Registro de Evaluaciones.sqlite");
    }
    QProcessEnvironment entorno(const QString &clave = QString()) const
    {
        QDir().mkpath(casa());
        QDir().mkpath(trabajo());
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), casa());
        e.insert(QStringLiteral("XDG_DATA_HOME"), casa() + QStringLiteral("/datos"));
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), casa() + QStringLiteral("/config"));
        e.remove(QStringLiteral("ORV_REGISTRO"));
        e.remove(QStringLiteral("PGPASSWORD"));
        if (!clave.isEmpty())
            e.insert(QStringLiteral("PGPASSWORD"), clave);
        return e;
    }
    QStringList enTrabajo() const
    {
        return QDir(trabajo()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

// Runs `sql` on the outbox file `archivo`.
void EnBandeja(const QString &archivo, const QString &sql, const QVariantList &valores = {})
{
    const QString nombre = QStringLiteral("prueba-bandeja");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setDatabaseName(archivo);
        QVERIFY(db.open());
        QSqlQuery q(db);
        q.prepare(sql);
        for (const QVariant &v : valores)
            q.addBindValue(v);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(nombre);
}

// Waiting records with these building names, in this order, in the outbox
// of `equipo`'s user; their uuids.
QList<QUuid> EnPendientes(const QString &archivoBandeja, const QStringList &nombres)
{
    BandejaSalida bandeja(archivoBandeja);
    QList<QUuid> uuids;
    for (const QString &n : nombres) {
        RegistroEvaluacion r = Registro({n, {}, {}, {}, {}});
        bandeja.guardar(r);
        uuids << r.uuid;
    }
    return uuids;
}

// A server of the test's own, which the test may stop and start again;
// stopped and removed however the test ends.
struct ServidorPropio {
    QTemporaryDir raiz{QStringLiteral("/tmp/orv-pg-propio-XXXXXX")};
    QString carpeta;
    ServidorPropio()
    {
        // The server's user must reach its folder.
        QFile::setPermissions(raiz.path(), QFile::permissions(raiz.path()) | QFile::ExeOther | QFile::ExeGroup);
        carpeta = raiz.path() + QStringLiteral("/pg");
        if (!orden(QStringLiteral("iniciar")))
            qFatal("no se pudo iniciar el servidor en %s", qPrintable(carpeta));
    }
    ~ServidorPropio() { orden(QStringLiteral("detener")); }
    bool orden(const QString &o) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(ORV_SERVIDOR_PG_SH), {o, carpeta});
        return p.waitForFinished(120000) && p.exitCode() == 0;
    }
};

// The names of the evaluations a TSV listing shows.
QStringList Nombres(const QByteArray &tsv)
{
    QStringList nombres;
    const QStringList lineas = QString::fromUtf8(tsv).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lineas.size(); ++i)
        nombres << lineas.at(i).section(QLatin1Char('\t'), 4, 4);
    return nombres;
}

}  // namespace

class PruebaOrdenRegistroServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }

    // --registro with an address reaches that server, and enviar sends this
    // machine's outbox there; with a password in the address nothing runs
    // and the password is not repeated. ORV_REGISTRO naming a file is the
    // registry every command reads. No case leaves a folder behind.
    void opcionesDelRegistro()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const QString url = b.evaluador.url();
        QVERIFY2(url.startsWith(QStringLiteral("postgresql://")) && !url.contains(b.evaluador.clave), qPrintable(url));
        Equipo equipo;
        const QProcessEnvironment entorno = equipo.entorno(b.evaluador.clave);
        {
            BandejaSalida bandeja(BandejaSalida::archivoPara(equipo.registroUsuario()));
            RegistroEvaluacion r = Registro({QStringLiteral("Casa Pendiente"), {}, {}, {}, {}});
            bandeja.guardar(r);
        }

        // The address: the user's outbox goes to that server.
        Resultado r = Correr({"--registro", url, "enviar"}, {}, entorno, equipo.trabajo());
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        QCOMPARE(r.salida, QByteArray("Enviadas: 1. Pendientes: 0.\n"));
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 1);
        r = Correr({"--registro", url, "listar", "--tsv"}, {}, entorno, equipo.trabajo());
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        QCOMPARE(Nombres(r.salida), QStringList{QStringLiteral("Casa Pendiente")});
        QCOMPARE(equipo.enTrabajo(), QStringList());
        QCOMPARE(BandejaSalida(BandejaSalida::archivoPara(equipo.registroUsuario())).cantidad(), 0);

        // A password in the address, as user:password@ or as a parameter.
        const QString secreto = QStringLiteral("Secreto7x");
        QString conClave = url;
        conClave.replace(QStringLiteral("//%1@").arg(b.evaluador.usuario),
                         QStringLiteral("//%1:%2@").arg(b.evaluador.usuario, secreto));
        QVERIFY(conClave.contains(secreto));
        const QString conParametro =
            url + (url.contains(QLatin1Char('?')) ? QStringLiteral("&") : QStringLiteral("?")) + "password=" + secreto;
        for (const QString &direccion : {conClave, conParametro}) {
            for (const char *orden : {"enviar", "listar"}) {
                r = Correr({"--registro", direccion, orden}, {}, entorno, equipo.trabajo());
                QCOMPARE(r.codigo, 2);
                QVERIFY2(r.error.contains(QStringLiteral("no admite la contraseña")), qPrintable(r.error));
                QVERIFY2(!r.error.contains(secreto) && !r.salida.contains(secreto.toUtf8()), qPrintable(r.error));
                QVERIFY(r.salida.isEmpty());
            }
        }
        QCOMPARE(equipo.enTrabajo(), QStringList());

        // ORV_REGISTRO naming a file: that file, not the user's.
        QTemporaryDir otra;
        const QString archivo = HacerRegistro(otra, {Registro({QStringLiteral("Casa Uno"), {}, {}, {}, {}}),
                                                     Registro({QStringLiteral("Casa Dos"), {}, {}, {}, {}})});
        QProcessEnvironment conArchivo = entorno;
        conArchivo.insert(QStringLiteral("ORV_REGISTRO"), archivo);
        r = Correr({"listar", "--tsv"}, {}, conArchivo, equipo.trabajo());
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        QCOMPARE(Nombres(r.salida), (QStringList{QStringLiteral("Casa Dos"), QStringLiteral("Casa Uno")}));
        r = Correr({"resumen"}, {}, conArchivo, equipo.trabajo());
        QVERIFY2(r.codigo == 0 && r.salida.contains("Total"), qPrintable(r.error));
        QVERIFY(!QFile::exists(equipo.registroUsuario()));
        // A file that is not there is reported, not made.
        conArchivo.insert(QStringLiteral("ORV_REGISTRO"), otra.filePath(QStringLiteral("no-hay.sqlite")));
        r = Correr({"listar"}, {}, conArchivo, equipo.trabajo());
        QCOMPARE(r.codigo, 1);
        QVERIFY2(r.error.contains(QStringLiteral("no-hay.sqlite")), qPrintable(r.error));
        QVERIFY(!QFile::exists(otra.filePath(QStringLiteral("no-hay.sqlite"))));
        QVERIFY(!QFile::exists(equipo.registroUsuario()));
        QCOMPARE(equipo.enTrabajo(), QStringList());
    }

    // Outbox rows whose uuid is written in upper case, in braces, or is no
    // uuid at all: enviar ends (it used to go round for ever), the first
    // two reach the server once under their own uuid, the broken one is set
    // aside with its reason and not sent under a new uuid. Sending again
    // stores nothing more.
    void uuidsRotos()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const QString url = b.evaluador.url();
        Equipo equipo;
        const QProcessEnvironment entorno = equipo.entorno(b.evaluador.clave);
        const QString archivo = BandejaSalida::archivoPara(equipo.registroUsuario());
        const QList<QUuid> uuids = EnPendientes(archivo, {"Casa Bien", "Casa Mayúsculas", "Casa Llaves", "Casa Rota"});
        const QString actualizar = QStringLiteral("UPDATE \"Pendientes\" SET uuid = ? WHERE uuid = ?");
        auto texto = [&](int i) { return uuids.at(i).toString(QUuid::WithoutBraces); };
        EnBandeja(archivo, actualizar, {texto(1).toUpper(), texto(1)});
        EnBandeja(archivo, actualizar, {uuids.at(2).toString(QUuid::WithBraces), texto(2)});
        EnBandeja(archivo, actualizar, {QStringLiteral("no-es-un-uuid"), texto(3)});

        Resultado r = Correr({"--registro", url, "enviar"}, {}, entorno, equipo.trabajo(), 20000);
        QVERIFY2(r.codigo != -1, "enviar no terminó en 20 s");
        QCOMPARE(r.salida, QByteArray("Enviadas: 3. Pendientes: 0. Apartadas: 1.\n"));
        QCOMPARE(r.codigo, 1);
        QVERIFY2(r.error.contains(QStringLiteral("Casa Rota")) && r.error.contains(QStringLiteral("no es válido")),
                 qPrintable(r.error));
        QCOMPARE(ServidorPrueba::Huecos(b.evaluador, 3), QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ServidorPrueba::Cantidad(b.evaluador, QStringLiteral("uuid = '%1'").arg(texto(i))), 1);
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador, QStringLiteral("\"NombreEdificacion\" = 'Casa Rota'")), 0);
        const QVector<EvaluacionApartada> apartadas = BandejaSalida(archivo).apartadas();
        QCOMPARE(apartadas.size(), 1);
        QCOMPARE(apartadas.at(0).registro.texto(RegistroEvaluaciones::Pos::NombreEdificacion), QStringLiteral("Casa Rota"));

        r = Correr({"--registro", url, "enviar"}, {}, entorno, equipo.trabajo(), 20000);
        QCOMPARE(r.salida, QByteArray("Enviadas: 0. Pendientes: 0.\n"));
        QCOMPARE(r.codigo, 0);
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 3);
    }

    // The outbox knows which central registry each record is for: sending
    // to another registry leaves it waiting and says whose it is; sending
    // to its own stores it.
    void bandejaDeOtroRegistro()
    {
        const ServidorPrueba::Base suyo = ServidorPrueba::Nueva(), otro = ServidorPrueba::Nueva();
        Equipo equipo;
        const QString archivo = BandejaSalida::archivoPara(equipo.registroUsuario());
        {
            BandejaSalida bandeja(archivo, BandejaSalida::registroDe(suyo.evaluador));
            RegistroEvaluacion r = Registro({QStringLiteral("Casa de Otro"), {}, {}, {}, {}});
            bandeja.guardar(r);
        }
        Resultado r = Correr({"--registro", otro.evaluador.url(), "enviar"}, {}, equipo.entorno(otro.evaluador.clave),
                             equipo.trabajo());
        QCOMPARE(r.salida, QByteArray("Enviadas: 0. Pendientes: 1.\n"));
        QCOMPARE(r.codigo, 1);
        QVERIFY2(r.error.contains(BandejaSalida::registroDe(suyo.evaluador)), qPrintable(r.error));
        QCOMPARE(ServidorPrueba::Cantidad(otro.evaluador), 0);

        r = Correr({"--registro", suyo.evaluador.url(), "enviar"}, {}, equipo.entorno(suyo.evaluador.clave),
                   equipo.trabajo());
        QCOMPARE(r.salida, QByteArray("Enviadas: 1. Pendientes: 0.\n"));
        QCOMPARE(r.codigo, 0);
        QCOMPARE(ServidorPrueba::Cantidad(suyo.evaluador), 1);
    }

    // The server refuses one record of a batch for a reason of the record
    // (a number of storeys out of the column's range): the others are
    // stored, that one is set aside with the server's message, and the next
    // send does not try it again.
    void rechazoDelServidor()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const QString url = b.evaluador.url();
        Equipo equipo;
        const QProcessEnvironment entorno = equipo.entorno(b.evaluador.clave);
        const QString archivo = BandejaSalida::archivoPara(equipo.registroUsuario());
        const QList<QUuid> uuids = EnPendientes(archivo, {"Casa Antes", "Casa Imposible", "Casa Después"});
        EnBandeja(archivo, QStringLiteral("UPDATE \"Pendientes\" SET \"NumeroPisos\" = 99999999999 WHERE uuid = ?"),
                  {uuids.at(1).toString(QUuid::WithoutBraces)});

        Resultado r = Correr({"--registro", url, "enviar"}, {}, entorno, equipo.trabajo(), 20000);
        QCOMPARE(r.salida, QByteArray("Enviadas: 2. Pendientes: 0. Apartadas: 1.\n"));
        QCOMPARE(r.codigo, 1);
        QVERIFY2(r.error.contains(QStringLiteral("\"Casa Imposible\"")) && r.error.contains(QStringLiteral("rechazó")),
                 qPrintable(r.error));
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 2);
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador, QStringLiteral("\"NombreEdificacion\" = 'Casa Imposible'")), 0);
        const QVector<EvaluacionApartada> apartadas = BandejaSalida(archivo).apartadas();
        QCOMPARE(apartadas.size(), 1);
        QCOMPARE(apartadas.at(0).registro.uuid, uuids.at(1));
        QVERIFY2(apartadas.at(0).motivo.contains(QStringLiteral("Error en el registro central")),
                 qPrintable(apartadas.at(0).motivo));

        r = Correr({"--registro", url, "enviar"}, {}, entorno, equipo.trabajo(), 20000);
        QCOMPARE(r.salida, QByteArray("Enviadas: 0. Pendientes: 0.\n"));
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 2);
    }

    // The server stops 0.1 s into the import of 3 000 lines, or once the
    // first answers are out: every line is answered, saved with its number
    // or saved on this machine and pending. With the server back, one send
    // leaves each evaluation on the server exactly once, and importing the
    // same file again adds nothing and answers each line with the number it
    // already has.
    void importarConServidorDetenido_data()
    {
        QTest::addColumn<bool>("trasRespuestas");
        QTest::newRow("a los 0,1 s") << false;
        QTest::newRow("tras las primeras respuestas") << true;
    }
    void importarConServidorDetenido()
    {
        QFETCH(bool, trasRespuestas);
        const ServidorPropio servidor;
        const ConexionServidor su = ServidorPrueba::ConexionEn(servidor.carpeta);
        PrepararServidor(su);
        const ConexionServidor evaluador =
            ServidorPrueba::NuevoEvaluador(su, QStringLiteral("campo"), QStringLiteral("clave de campo"));
        Equipo equipo;
        const QProcessEnvironment entorno = equipo.entorno(evaluador.clave);
        const QStringList inicio = {QStringLiteral("--datos"), Prueba::CarpetaDatos(), QStringLiteral("--registro"),
                                    evaluador.url(), QStringLiteral("importar")};

        // Every tenth line names its uuid; the others get one from their bytes.
        constexpr int Total = 3000;
        QList<QJsonObject> lineas;
        for (int i = 0; i < Total; ++i) {
            IdentificacionEvaluacion id = Ejemplo::Identificacion();
            id.txtNombre = QStringLiteral("Importada %1").arg(i + 1);
            QJsonObject l = LineaImportar(id);
            if (i % 10 == 0)
                l.insert(QStringLiteral("uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
            lineas << l;
        }
        const QString archivo = equipo.raiz.filePath(QStringLiteral("evaluaciones.jsonl"));
        {
            QFile f(archivo);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(Jsonl(lineas));
        }
        // The answers, checked line by line: their numbers (0 while pending).
        auto respuestas = [&](const QByteArray &salida) {
            QList<int> numeros;
            const QList<QByteArray> partes = salida.split('\n');
            for (const QByteArray &p : partes) {
                if (p.isEmpty())
                    continue;
                const QJsonObject o = QJsonDocument::fromJson(p).object();
                if (o.value(QStringLiteral("linea")).toInt() != numeros.size() + 1)
                    return QList<int>{};
                if (o.value(QStringLiteral("pendiente")).toBool()
                    && o.value(QStringLiteral("aviso")).toString()
                           == QStringLiteral("guardada en este equipo, pendiente de envío"))
                    numeros << 0;
                else if (o.value(QStringLiteral("numero")).toInt() > 0)
                    numeros << o.value(QStringLiteral("numero")).toInt();
                else
                    return QList<int>{};
            }
            return numeros;
        };

        QProcess p;
        p.setProcessEnvironment(entorno);
        p.setWorkingDirectory(equipo.trabajo());
        p.start(QStringLiteral(ORV_REGISTRO), inicio + QStringList{archivo});
        QVERIFY(p.waitForStarted());
        QByteArray salida;
        if (trasRespuestas) {
            while (salida.isEmpty() && p.state() == QProcess::Running) {
                p.waitForReadyRead(1000);
                salida += p.readAllStandardOutput();
            }
        }
        QTest::qWait(100);
        QVERIFY(servidor.orden(QStringLiteral("parar")));
        QVERIFY(p.waitForFinished(600000));
        salida += p.readAllStandardOutput();
        const QString error = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitCode() == 0, qPrintable(error));
        const QList<int> primera = respuestas(salida);
        QVERIFY2(primera.size() == Total, qPrintable(error));
        qInfo("Con número: %lld; en la bandeja de salida: %lld", Total - primera.count(0), primera.count(0));
        QVERIFY(primera.count(0) > 0);
        QVERIFY(!trasRespuestas || primera.count(0) < Total);

        QVERIFY(servidor.orden(QStringLiteral("reiniciar")));
        Resultado r = Correr({"--registro", evaluador.url(), "enviar"}, {}, entorno, equipo.trabajo());
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        QVERIFY2(r.salida.endsWith("Pendientes: 0.\n"), r.salida.constData());
        QCOMPARE(ServidorPrueba::Huecos(su, Total), QString());
        QCOMPARE(ServidorPrueba::Valor(su, QStringLiteral("SELECT COUNT(DISTINCT \"NombreEdificacion\") FROM "
                                                          "orv.\"Evaluaciones\"")).toInt(), Total);

        // The same file again: nothing added, each line its number.
        r = Correr(QStringList{"--registro", evaluador.url(), "importar", archivo}, {}, entorno, equipo.trabajo(), 600000);
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        const QList<int> segunda = respuestas(r.salida);
        QCOMPARE(segunda.size(), Total);
        QCOMPARE(segunda.count(0), 0);
        QCOMPARE(ServidorPrueba::Huecos(su, Total), QString());
        for (int i = 0; i < Total; i += 97) {
            QCOMPARE(ServidorPrueba::Valor(su, QStringLiteral("SELECT \"NombreEdificacion\" FROM orv.\"Evaluaciones\" "
                                                              "WHERE \"NumeroEvaluacion\" = %1").arg(segunda.at(i)))
                         .toString(),
                     QStringLiteral("Importada %1").arg(i + 1));
            if (primera.at(i) > 0)
                QCOMPARE(segunda.at(i), primera.at(i));
        }
    }
};

QTEST_MAIN(PruebaOrdenRegistroServidor)
#include "registry_cli_server_test.moc"
