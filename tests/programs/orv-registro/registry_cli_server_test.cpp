// orv-registro with the central registry of the private test server: which
// registry --registro and ORV_REGISTRO reach, and "importar" when the
// server does not answer.

#include "programs/orv-registro/cli_runner.h"
#include "core/registry/server_fixture.h"
#include "support/gui_test_support.h"

#include "core/registry/outbox.h"

#include <QDir>
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
};

QTEST_MAIN(PruebaOrdenRegistroServidor)
#include "registry_cli_server_test.moc"
