// "Configuración del registro" driven through its widgets against the test
// server, "Guardar" into the configured registry, the main menu's button and
// the outbox sent after the menu is shown.

#include "sample_evaluation.h"
#include "server_fixture.h"
#include "test_support.h"

#include "app/main_menu_form.h"
#include "app/message_box.h"
#include "data/data_paths.h"
#include "registry/registry_config_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

QTemporaryDir &Configuracion()
{
    static QTemporaryDir carpeta;
    return carpeta;
}

void Escribir(QWidget *raiz, const char *nombre, const QString &texto)
{
    auto *e = raiz->findChild<QLineEdit *>(QString::fromLatin1(nombre));
    QVERIFY2(e, nombre);
    e->selectAll();
    Prueba::Teclear(e, texto);
}

QString TodoElArchivoDeAjustes()
{
    QSettings s(QStringLiteral("Quenbria"), QStringLiteral("ORV"));
    s.sync();
    QFile f(s.fileName());
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

}  // namespace

class PruebaConfiguracion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        ClaveRegistro::usarAlmacenDeClaves(false);
        qunsetenv("ORV_REGISTRO");
    }

    // Typed as a user types: a wrong password first, then the right one;
    // the settings hold no password, the saved registry is the server.
    void dialogoYGuardar()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        ConfiguracionRegistroForm f;
        f.show();
        QVERIFY(f.findChild<QRadioButton *>(QStringLiteral("optArchivo"))->isChecked());
        QVERIFY(!f.findChild<QLineEdit *>(QStringLiteral("txtServidor"))->isEnabled());
        f.findChild<QRadioButton *>(QStringLiteral("optServidor"))->click();
        Escribir(&f, "txtServidor", b.evaluador.servidor);
        auto *puerto = f.findChild<QSpinBox *>(QStringLiteral("txtPuerto"));
        puerto->selectAll();
        Prueba::Teclear(puerto, QString::number(b.evaluador.puerto));
        Escribir(&f, "txtBase", b.evaluador.base);
        Escribir(&f, "txtUsuario", b.evaluador.usuario);
        auto *tls = f.findChild<QComboBox *>(QStringLiteral("cboTls"));
        tls->setCurrentIndex(tls->findData(QStringLiteral("disable")));
        QVERIFY(!f.findChild<QLineEdit *>(QStringLiteral("txtCertificado"))->isEnabled());

        const QString mala = QStringLiteral("NoEsLaClave#2026");
        Escribir(&f, "txtClave", mala);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        f.findChild<QPushButton *>(QStringLiteral("btnProbar"))->click();
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        const QString rechazo = Mensaje::textosMostrados().first();
        QVERIFY2(rechazo.contains(QStringLiteral("contraseña")), qPrintable(rechazo));
        QVERIFY(!rechazo.contains(mala));

        Escribir(&f, "txtClave", b.evaluador.clave);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        f.findChild<QPushButton *>(QStringLiteral("btnProbar"))->click();
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{QStringLiteral("Conexión correcta con el registro central \"%1\": tiene 0 evaluaciones.")
                                 .arg(b.evaluador.nombre())});

        // No key store here: said once, the password kept for this run.
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        f.findChild<QPushButton *>(QStringLiteral("btnGuardar"))->click();
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        QVERIFY(Mensaje::textosMostrados().first().contains(QStringLiteral("almacén de claves")));
        const QString ajustes = TodoElArchivoDeAjustes();
        QVERIFY2(ajustes.contains(b.evaluador.usuario), qPrintable(ajustes));
        QVERIFY(!ajustes.contains(b.evaluador.clave));

        const ConfiguracionRegistro leida = ConfiguracionRegistro::leer();
        QVERIFY(leida.servidor);
        QCOMPARE(leida.conexion.url(), b.evaluador.url());

        // "Guardar" of the additional information form into the server.
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        EstadoEvaluacion estado;
        Ejemplo::LlenarEstado(estado);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);  // confirmation
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        QVERIFY(GuardarEvaluacion(nullptr, id, estado, Ejemplo::Datos()));
        QCOMPARE(Mensaje::textosMostrados().last(), QStringLiteral("La evaluacion ha sido guardada"));
        QCOMPARE(estado.NumeroEvaluacion, 1);
        RegistroServidor servidor(b.evaluador);
        QCOMPARE(servidor.porNumero(1)->texto(RegistroEvaluaciones::Pos::NombreEdificacion),
                 QStringLiteral("Edificio Álamo"));

        // The server away: saved on this machine, and said so.
        ConexionServidor lejos = b.evaluador;
        lejos.puerto = 1;
        ServidorPrueba::UsarEnEntorno(lejos);
        EstadoEvaluacion otro;
        Ejemplo::LlenarEstado(otro);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        QVERIFY(GuardarEvaluacion(nullptr, id, otro, Ejemplo::Datos()));
        QCOMPARE(Mensaje::textosMostrados().last(),
                 QStringLiteral("La evaluacion ha sido guardada en este equipo y se enviará al registro central "
                                "cuando haya conexión."));
        QCOMPARE(otro.NumeroEvaluacion, 0);
        const QString bandeja = BandejaSalida::archivoPara(RutasDatos::archivoRegistro());
        QCOMPARE(BandejaSalida(bandeja).cantidad(), 1);

        // The menu shown with the server back: it answers at once, and the
        // outbox leaves behind it.
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        {
            EstadoEvaluacion e;
            Form2 menu(e);
            QElapsedTimer reloj;
            reloj.start();
            menu.show();
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
            QCoreApplication::processEvents();
            QVERIFY2(reloj.elapsed() < 2000, qPrintable(QString::number(reloj.elapsed())));
            QTRY_COMPARE_WITH_TIMEOUT(BandejaSalida(bandeja).cantidad(), 0, 30000);
            QCOMPARE(servidor.contar(FiltroRegistro{}), 2);

            // "Configuración" opens the dialog.
            QString titulo;
            Prueba::AlAbrirseModal([&](QWidget *w) {
                titulo = w->windowTitle();
                w->findChild<QPushButton *>(QStringLiteral("btnCancelar"))->click();
            });
            menu.findChild<QPushButton *>(QStringLiteral("btnConfiguracion"))->click();
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(titulo, QStringLiteral("Configuración del registro"));
        }
        qunsetenv("ORV_REGISTRO");
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
