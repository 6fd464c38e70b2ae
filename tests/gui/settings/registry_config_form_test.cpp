// "Configuración del registro" driven through its widgets against the test
// server, "Guardar" into the configured registry, the main menu's button and
// the outbox sent after the menu is shown.

#include "gui/saving/form_driver.h"
#include "core/registry/sample_evaluation.h"
#include "core/registry/server_fixture.h"
#include "support/gui_test_support.h"

#include "gui/app/main_menu_form.h"
#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/outbox.h"
#include "gui/settings/registry_config_form.h"

#include <QLabel>
#include <QSet>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

QTemporaryDir &Configuracion()
{
    static QTemporaryDir carpeta;
    return carpeta;
}

QString TodoElArchivoDeAjustes()
{
    QSettings s(QStringLiteral("Quenbria"), QStringLiteral("ORV"));
    s.sync();
    QFile f(s.fileName());
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// Clicks `boton` with an OK queued for the message it shows; every message shown.
QStringList Pulsar(QWidget *forma, const char *boton)
{
    Mensaje::limpiar();
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    Conducir::Pulsar(forma, QString::fromLatin1(boton));
    return Mensaje::textosMostrados();
}

// "Guardar" of the additional information form on the example, its
// confirmation accepted; the last message.
QString Guardar(EstadoEvaluacion &estado)
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    Ejemplo::LlenarEstado(estado);
    Mensaje::limpiar();
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    return GuardarEvaluacion(nullptr, id, estado, Ejemplo::Datos())
               ? Mensaje::textosMostrados().last()
               : QString();
}

}  // namespace

class PruebaConfiguracion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        ClaveRegistro::usarAlmacenDeClaves(false);
        qunsetenv("ORV_REGISTRO");
    }

    // Settings that name no TLS mode get the safe default: the server's
    // certificate checked against the configured CA, or at least encryption.
    void tlsPorOmision()
    {
        QSettings s(QStringLiteral("Quenbria"), QStringLiteral("ORV"));
        s.beginGroup(QStringLiteral("registro"));
        s.setValue(QStringLiteral("lugar"), QStringLiteral("servidor"));
        s.setValue(QStringLiteral("servidor"), QStringLiteral("registro.quenbria.example"));
        s.setValue(QStringLiteral("base"), QStringLiteral("orv"));
        s.setValue(QStringLiteral("usuario"), QStringLiteral("ana"));
        s.remove(QStringLiteral("tls"));
        s.setValue(QStringLiteral("certificado_ca"), QStringLiteral("/etc/orv/ca.crt"));
        s.sync();
        QCOMPARE(ConfiguracionRegistro::leer().conexion.modoTlsEfectivo(), QStringLiteral("verify-full"));
        s.remove(QStringLiteral("certificado_ca"));
        s.sync();
        QCOMPARE(ConfiguracionRegistro::leer().conexion.modoTlsEfectivo(), QStringLiteral("require"));
        s.endGroup();
        s.remove(QStringLiteral("registro"));
    }

    // Typed as a user types: a wrong password tried first, then the right one
    // saved; the settings hold no password, the saved registry is the server.
    void dialogoYGuardar()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        ConfiguracionRegistroForm f;
        f.show();
        QVERIFY(Buscar<QRadioButton>(&f, QStringLiteral("optArchivo"))->isChecked());
        QVERIFY(!Conducir::Caja(&f, QStringLiteral("txtServidor"))->isEnabled());
        Buscar<QRadioButton>(&f, QStringLiteral("optServidor"))->click();
        Conducir::Escribir(&f, QStringLiteral("txtServidor"), b.evaluador.servidor);
        auto *puerto = Buscar<QSpinBox>(&f, QStringLiteral("txtPuerto"));
        puerto->selectAll();
        Prueba::Teclear(puerto, QString::number(b.evaluador.puerto));
        Conducir::Escribir(&f, QStringLiteral("txtBase"), b.evaluador.base);
        Conducir::Escribir(&f, QStringLiteral("txtUsuario"), b.evaluador.usuario);
        auto *tls = Buscar<QComboBox>(&f, QStringLiteral("cboTls"));
        // Each TLS mode is explained under the list, in words of its own.
        QSet<QString> explicaciones;
        for (int i = 0; i < tls->count(); ++i) {
            tls->setCurrentIndex(i);
            explicaciones.insert(Buscar<QLabel>(&f, QStringLiteral("lblTls"))->text());
        }
        explicaciones.remove(QString());
        QCOMPARE(explicaciones.size(), tls->count());
        tls->setCurrentIndex(tls->findData(QStringLiteral("disable")));
        QVERIFY(!Conducir::Caja(&f, QStringLiteral("txtCertificado"))->isEnabled());

        const QString mala = QStringLiteral("NoEsLaClave#2026");
        Conducir::Escribir(&f, QStringLiteral("txtClave"), mala);
        const QStringList rechazo = Pulsar(&f, "btnProbar");
        QVERIFY2(rechazo.size() == 1 && rechazo[0].contains(QStringLiteral("contraseña")) && !rechazo[0].contains(mala),
                 qPrintable(rechazo.join(QLatin1Char('\n'))));
        Conducir::Escribir(&f, QStringLiteral("txtClave"), b.evaluador.clave);

        // No key store here: said once, the password kept for this run.
        const QStringList guardado = Pulsar(&f, "btnGuardar");
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY2(guardado.size() == 1 && guardado[0].contains(QStringLiteral("almacén de claves")),
                 qPrintable(guardado.join(QLatin1Char('\n'))));
        const QString ajustes = TodoElArchivoDeAjustes();
        QVERIFY2(ajustes.contains(b.evaluador.usuario), qPrintable(ajustes));
        QVERIFY(!ajustes.contains(b.evaluador.clave));
        const ConfiguracionRegistro leida = ConfiguracionRegistro::leer();
        QVERIFY(leida.servidor);
        QCOMPARE(leida.conexion.url(), b.evaluador.url());

        // "Guardar" of the additional information form into the server.
        EstadoEvaluacion estado;
        QCOMPARE(Guardar(estado), TextosRegistro::Guardada);
        QCOMPARE(estado.NumeroEvaluacion, 1);
        RegistroServidor servidor(b.evaluador);
        QCOMPARE(servidor.porNumero(1)->texto(RegistroEvaluaciones::Pos::NombreEdificacion),
                 QStringLiteral("Edificio Álamo"));

        // The server away: saved on this machine, and said so.
        ConexionServidor lejos = b.evaluador;
        lejos.puerto = 1;
        ServidorPrueba::UsarEnEntorno(lejos);
        EstadoEvaluacion otro;
        QCOMPARE(Guardar(otro), TextosBandeja::GuardadaEnEquipo);
        QCOMPARE(otro.NumeroEvaluacion, 0);
        const QString bandeja = BandejaSalida::archivoPara(RutasDatos::archivoRegistro());
        QCOMPARE(BandejaSalida(bandeja).cantidad(), 1);

        // The menu shown with the server back: showing it sends nothing, the
        // outbox leaves behind it.
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        {
            EstadoEvaluacion e;
            Form2 menu(e);
            menu.show();
            QCOMPARE(BandejaSalida(bandeja).cantidad(), 1);
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
            QTRY_COMPARE_WITH_TIMEOUT(BandejaSalida(bandeja).cantidad(), 0, 30000);
            QCOMPARE(servidor.contar(FiltroRegistro{}), 2);

            // "Configuración" opens the dialog.
            bool dialogo = false;
            Prueba::AlAbrirseModal([&](QWidget *w) {
                dialogo = qobject_cast<ConfiguracionRegistroForm *>(w);
                w->findChild<QPushButton *>(QStringLiteral("btnCancelar"))->click();
            });
            menu.findChild<QPushButton *>(QStringLiteral("btnConfiguracion"))->click();
            QVERIFY(Prueba::ModalAtendido() && dialogo);
        }
        qunsetenv("ORV_REGISTRO");
    }

    // Leaving a central registry while this machine holds evaluations for
    // it asks first: cancelled, the settings stay; accepted, they change.
    void cambioConPendientes()
    {
        qunsetenv("ORV_REGISTRO");
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const QString registroAntes = RutasDatos::archivoRegistro();
        QTemporaryDir equipo;
        RutasDatos::establecerArchivoRegistro(equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite")));
        ConfiguracionRegistro actual;
        actual.servidor = true;
        actual.conexion = b.evaluador;
        actual.guardar();
        {
            BandejaSalida bandeja(BandejaSalida::archivoPara(RutasDatos::archivoRegistro()),
                                  BandejaSalida::registroDe(b.evaluador));
            RegistroEvaluacion r;
            bandeja.guardar(r);
        }
        ConfiguracionRegistroForm f;
        f.show();
        Buscar<QRadioButton>(&f, QStringLiteral("optArchivo"))->click();
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Cancelar);
        Conducir::Pulsar(&f, QStringLiteral("btnGuardar"));
        const QStringList pregunta = Mensaje::textosMostrados();
        QVERIFY2(pregunta.size() == 1 && pregunta[0].contains(QStringLiteral("1 evaluación")) &&
                     pregunta[0].contains(BandejaSalida::registroDe(b.evaluador)),
                 qPrintable(pregunta.join(QLatin1Char('\n'))));
        QVERIFY(f.isVisible());
        QVERIFY(ConfiguracionRegistro::leer().servidor);

        QCOMPARE(Pulsar(&f, "btnGuardar").size(), 1);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(!ConfiguracionRegistro::leer().servidor);
        RutasDatos::establecerArchivoRegistro(registroAntes);
    }
};

int main(int argc, char **argv)
{
    // The user's settings of this test, in a folder of its own.
    qputenv("XDG_CONFIG_HOME", Configuracion().path().toUtf8());
    QApplication app(argc, argv);
    PruebaConfiguracion prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "registry_config_form_test.moc"
