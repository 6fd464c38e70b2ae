// The main menu and its informational forms, through their buttons.

#include "gui/app/info_forms.h"
#include "gui/app/main_menu_form.h"
#include "gui/common/message_box.h"
#include "gui/common/spanish_locale.h"
#include "core/data/data_paths.h"
#include "support/gui_test_support.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWindow>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Mensaje::Respuesta;

class PruebaMenuPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init()
    {
        Mensaje::limpiar();
        RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos());
    }
    void cleanup() { QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n'))); }
    // "Salir", the menu's close box and the backdrop's close box all end the
    // program; the close boxes arrive as the close event the window manager
    // sends to the window.
    void salirTerminaElPrograma()
    {
        for (const QString como : {"Salir", "menu", "fondo"}) {
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
            bool agotado = false;
            QTimer::singleShot(5000, &menu, [&] { agotado = true; QApplication::exit(1); });
            const int codigo = QApplication::exec();
            QVERIFY(!agotado);
            QCOMPARE(codigo, 0);
            QVERIFY(!menu.isVisible());
            QVERIFY(!menu.fondo()->isVisible());
        }
    }

    // The real box: title "ORV", a carriage return shown as a new line,
    // Spanish buttons, the button pressed returned; Escape on an OK/Cancel box
    // answers Cancelar.
    void cajaDeMensajeReal()
    {
        Mensaje::activarModoPrueba(false);
        QString visto;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            auto *caja = qobject_cast<QMessageBox *>(w);
            QVERIFY(caja);
            QStringList botones;
            for (QAbstractButton *b : caja->buttons())
                botones << b->text();
            botones.sort();
            visto = caja->windowTitle() + " | " + caja->text() + " | " + botones.join(QLatin1Char('/'));
            for (QAbstractButton *b : caja->buttons())
                if (b->text() == QStringLiteral("Sí"))
                    b->click();
        });
        const auto r = Mensaje::mostrar(nullptr, QStringLiteral("Primera línea\rSegunda línea"), Mensaje::Botones::SiNo);
        Prueba::AlAbrirseModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        const auto r2 = Mensaje::mostrar(nullptr, QStringLiteral("¿Seguro?"), Mensaje::Botones::AceptarCancelar);
        Mensaje::activarModoPrueba(true);
        QCOMPARE(visto, QStringLiteral("ORV | Primera línea\nSegunda línea | No/Sí"));
        QCOMPARE((QList<Respuesta>{r, r2}), (QList<Respuesta>{Respuesta::Si, Respuesta::Cancelar}));
    }

    void textosDeQtEnEspannol()
    {
        QVERIFY2(UsarEspannol(*qApp), "faltan las traducciones de Qt al español (qt6-translations-l10n)");
        // The tests run under the C locale: the comma and the month come from Spanish.
        QCOMPARE((QStringList{QCoreApplication::translate("QPlatformTheme", "Cancel"), QLocale().monthName(12), QLocale().decimalPoint()}),
                 (QStringList{"Cancelar", "diciembre", ","}));
        QLocale::setDefault(QLocale::c());
    }

    // No database file at all, or one that is only text.
    void basesDanadasOAusentes()
    {
        for (const QByteArray &contenido : {QByteArray(), QByteArray("esto no es una base de datos SQLite, solo texto cualquiera. ").repeated(40)}) {
            Mensaje::limpiar();
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
    }
};

QTEST_MAIN(PruebaMenuPrincipal)
#include "main_menu_test.moc"
