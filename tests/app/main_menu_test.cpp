// The main menu and its informational forms, through their buttons.

#include "app/info_forms.h"
#include "app/main_menu_form.h"
#include "app/message_box.h"
#include "app/spanish_locale.h"
#include "data/data_paths.h"
#include "test_support.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWindow>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Mensaje::Respuesta;

class PruebaMenuPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init()
    {
        Mensaje::limpiar();
        RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos());
    }
    void cleanup() { QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n'))); }
    void versionDelAcercaDe()
    {
        QCOMPARE(frmAbout::LineaVersion(2, 13, 7), QStringLiteral("Versión 2.13.7   Agosto de 2003"));
        QStringList lineas;
        for (int vez = 0; vez < 2; ++vez) {
            frmAbout acerca;
            lineas << acerca.findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
        }
        QCOMPARE(lineas[0], lineas[1]);
        QCOMPARE(lineas[0], frmAbout::LineaVersion(ORV_VERSION_MAJOR, ORV_VERSION_MINOR, ORV_VERSION_PATCH));
    }

    void nuevaEvaluacionEmpiezaDeCero()
    {
        EstadoEvaluacion estado;
        Form2 menu(estado);
        menu.show();
        for (int vez = 0; vez < 2; ++vez) {
            int16_t ultima = 99, actual = 99;
            Prueba::AlAbrirseModal([&](QWidget *w) {
                QCOMPARE(w->objectName(), QStringLiteral("Form1"));
                ultima = estado.UltimaVariable;
                actual = estado.VariableActual;
                // Leave the evaluation with something rated.
                estado.UltimaVariable = 3;
                estado.VariableActual = 5;
                Mensaje::encolarRespuesta(Respuesta::Si);
                w->findChild<QPushButton *>(QStringLiteral("btnMenu(1)"))->click();
            });
            QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("btnEvaluar")), Qt::LeftButton);
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(ultima, int16_t(-1));
            QCOMPARE(actual, int16_t(-1));
        }
    }

    // "Salir", the menu's close box and the backdrop's close box all end the
    // program; the close boxes arrive as the close event the window manager
    // sends to the window.
    void salirTerminaElPrograma_data()
    {
        QTest::addColumn<QString>("como");
        QTest::newRow("Salir") << "Salir";
        QTest::newRow("cierre del menu") << "menu";
        QTest::newRow("cierre del fondo") << "fondo";
    }

    void salirTerminaElPrograma()
    {
        QFETCH(QString, como);
        EstadoEvaluacion estado;
        Form2 menu(estado);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        // The menu stands over the backdrop as its transient: one window for
        // the window manager and the task bar.
        QVERIFY(menu.windowHandle() && menu.fondo()->windowHandle());
        QCOMPARE(menu.windowHandle()->transientParent(), menu.fondo()->windowHandle());
        QTimer::singleShot(0, &menu, [&] {
            if (como == QLatin1String("Salir")) {
                QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("btnSalir")), Qt::LeftButton);
            } else {
                QWidget *ventana = como == QLatin1String("menu") ? static_cast<QWidget *>(&menu) : menu.fondo();
                QCloseEvent cierre;
                QCoreApplication::sendEvent(ventana->windowHandle(), &cierre);
            }
        });
        QTimer guardia;
        guardia.setSingleShot(true);
        bool agotado = false;
        connect(&guardia, &QTimer::timeout, [&] { agotado = true; QApplication::exit(1); });
        guardia.start(5000);
        const int codigo = QApplication::exec();
        QVERIFY(!agotado);
        QCOMPARE(codigo, 0);
        QVERIFY(!menu.isVisible());
        QVERIFY(!menu.fondo()->isVisible());
        QVERIFY(Mensaje::textosMostrados().isEmpty());
    }

    // The real box: title "ORV", a carriage return shown as a new line,
    // Spanish buttons, the button pressed returned.
    void cajaDeMensajeReal()
    {
        Mensaje::activarModoPrueba(false);
        QString texto, titulo;
        QStringList botones;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            auto *caja = qobject_cast<QMessageBox *>(w);
            QVERIFY(caja);
            texto = caja->text();
            titulo = caja->windowTitle();
            for (QAbstractButton *b : caja->buttons())
                botones << b->text();
            for (QAbstractButton *b : caja->buttons())
                if (b->text() == QStringLiteral("Sí"))
                    b->click();
        });
        const auto r = Mensaje::mostrar(nullptr, QStringLiteral("Primera línea\rSegunda línea"), Mensaje::Botones::SiNo);
        Mensaje::activarModoPrueba(true);
        QCOMPARE(r, Respuesta::Si);
        QCOMPARE(texto, QStringLiteral("Primera línea\nSegunda línea"));
        QCOMPARE(titulo, QStringLiteral("ORV"));
        botones.sort();
        QCOMPARE(botones, (QStringList{"No", "Sí"}));

        // Escape on a question answers No; on an OK/Cancel box, Cancelar.
        Mensaje::activarModoPrueba(false);
        Prueba::AlAbrirseModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        const auto r2 = Mensaje::mostrar(nullptr, QStringLiteral("¿Seguro?"), Mensaje::Botones::AceptarCancelar,
                                         QStringLiteral("Guardar Información"));
        Mensaje::activarModoPrueba(true);
        QCOMPARE(r2, Respuesta::Cancelar);
    }

    void textosDeQtEnEspannol()
    {
        QVERIFY2(UsarEspannol(*qApp), "faltan las traducciones de Qt al español (qt6-translations-l10n)");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
        QCOMPARE(QLocale().language(), QLocale::Spanish);
        QCOMPARE(QLocale().monthName(12), QStringLiteral("diciembre"));
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));  // the tests run under the C locale
        QLocale::setDefault(QLocale::c());
    }

    void basesDanadasOAusentes_data()
    {
        QTest::addColumn<QByteArray>("contenido");  // empty: no file at all
        QTest::newRow("ausente") << QByteArray();
        QTest::newRow("danada") << QByteArray("esto no es una base de datos SQLite, solo texto cualquiera. ").repeated(40);
    }

    void basesDanadasOAusentes()
    {
        QFETCH(QByteArray, contenido);
        QTemporaryDir carpeta;
        if (!contenido.isEmpty()) {
            QFile f(carpeta.filePath(QStringLiteral("ORV.sqlite")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenido);
        }
        RutasDatos::establecerCarpetaInstalacion(carpeta.path());
        EstadoEvaluacion estado;
        Form2 menu(estado);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        QVERIFY(!menu.VerificarBasesDeDatos());
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        const QString texto = Mensaje::textosMostrados().first();
        QVERIFY2(texto.contains(carpeta.filePath(QStringLiteral("ORV.sqlite"))), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("PesosSistema")), qPrintable(texto));
        // The menu stays usable.
        menu.show();
        Prueba::AlAbrirseModal([](QWidget *w) { w->findChild<QPushButton *>(QStringLiteral("btnaceptar"))->click(); });
        QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("btnAlcanceORV")), Qt::LeftButton);
        QVERIFY(Prueba::ModalAtendido());
    }
};

QTEST_MAIN(PruebaMenuPrincipal)
#include "main_menu_test.moc"
