// The whole journey a person makes: main menu, "Nueva Evaluación", building
// data, structural system, every required rating through its dialog,
// "Evaluar", the results tabs, "Guardar Información", identification,
// "Guardar" — and exactly one new record in the registry file.

#include "gui/app/main_menu_form.h"
#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "gui/rating/rating_helpers.h"
#include "gui/saving/form_driver.h"
#include "support/gui_test_support.h"

#include <QTabWidget>
#include <QTemporaryDir>

using Calificacion::Clic;
using Conducir::ElegirUso;
using Conducir::Escribir;
using Mensaje::Respuesta;

using Calificacion::CalificarConDialogo;

class PruebaRecorridoCompleto : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }

    void deLaEvaluacionAlRegistro()
    {
        QTemporaryDir carpeta;
        const QString registro = carpeta.filePath(QStringLiteral("datos/Registro de Evaluaciones.sqlite"));
        RutasDatos::establecerArchivoRegistro(registro);
        Mensaje::limpiar();

        EstadoEvaluacion estado;
        Form2 menu(estado);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QTRY_VERIFY(QFile::exists(registro));  // created on the first run
        QVERIFY(Ejemplo::LeerRegistro(registro).isEmpty());

        bool guardado = false;
        Prueba::AlAbrirseModal([&](QWidget *f1) {
            QCOMPARE(f1->objectName(), QStringLiteral("Form1"));
            Escribir(f1, "txtNPisos", "4");
            Escribir(f1, "txtNSotanos", "1");
            Escribir(f1, "txtPMayorDanno", "2");
            Escribir(f1, "txtPisosTotal", "5");
            Clic(f1, "optLocalizacion(1)");
            Clic(f1, "OptAnno(1)");
            Clic(f1, "optInspeccion(2)");
            Clic(f1, "optEstabEvaluador(2)");
            ElegirUso(f1, "cboTipoEstructura", "Pórticos en concreto reforzado");
            ElegirUso(f1, "cboCubierta", "Teja de barro");
            ElegirUso(f1, "cboEntrepiso", "Placa aligerada");
            Clic(f1, "Command1");  // to the structural elements

            CalificarConDialogo(f1, "btnVigas", {40, 40, 20, 0, 0});
            CalificarConDialogo(f1, "btnColumnas", {50, 10, 10, 20, 10});  // Fuerte through the critical-element rule
            CalificarConDialogo(f1, "btnNudos", {70, 20, 10, 0, 0});
            CalificarConDialogo(f1, "btnEntrepiso", {80, 20, 0, 0, 0});
            Clic(f1, "Command4");
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Clic(f1, "btnOtrosArquitectonicos");
            CalificarConDialogo(f1, "btnDivisorios", {2});
            CalificarConDialogo(f1, "btnFachada", {1});
            CalificarConDialogo(f1, "btnEscaleras", {0});
            CalificarConDialogo(f1, "btnCubiertaBaha", {3});
            Clic(f1, "Command6");
            CalificarConDialogo(f1, "btnDeslizamGrietas", {0});
            CalificarConDialogo(f1, "btnAsentamLicuac", {1});
            Clic(f1, "Command8");
            CalificarConDialogo(f1, "btnCalidad", {2});
            CalificarConDialogo(f1, "btnConfiguracion", {1});
            CalificarConDialogo(f1, "btnIrregularidadPlanta", {0});
            CalificarConDialogo(f1, "btnIrregularidadAltura", {1});

            Mensaje::encolarRespuesta(Respuesta::Si);  // "Todos los datos ingresados son correctos?"
            Prueba::AlAbrirseModal([&](QWidget *f7) {
                QCOMPARE(f7->objectName(), QStringLiteral("Form7"));
                // Through the four tabs with their own buttons.
                for (const char *b : {"btnSiguente", "Command1", "Command3"})
                    Clic(f7, QString::fromLatin1(b));
                QCOMPARE(f7->findChild<QTabWidget *>(QStringLiteral("SSRes"))->currentIndex(), 3);
                QVERIFY(!f7->findChild<QLabel *>(QStringLiteral("lblComReparaciones"))->text().isEmpty());

                Prueba::AlAbrirseModal([&](QWidget *f23) {
                    QCOMPARE(f23->objectName(), QStringLiteral("Form23"));
                    Escribir(f23, "txtNombre", "Edificio Las Acacias");
                    Escribir(f23, "txtDuenno", "María Pérez");
                    Escribir(f23, "txtTelefono", "555 0101");
                    Escribir(f23, "txtEvaluador", "Ing. Andrés Gómez");
                    Escribir(f23, "txtCodigComi", "C-07");
                    ElegirUso(f23, "cboGrupo", "Residencial");
                    ElegirUso(f23, "cboUsoBaja", "Comercial");
                    Clic(f23, "Option1(1)");  // Calle
                    Escribir(f23, "txtNumCalle", "45");
                    Escribir(f23, "txtNumero", "23-17");
                    Mensaje::encolarRespuesta(Respuesta::Aceptar);  // "Toda la información es correcta?..."
                    Mensaje::encolarRespuesta(Respuesta::Aceptar);  // "La evaluacion ha sido guardada"
                    Clic(f23, "btnGuardaInf(0)");
                    guardado = true;
                });
                Clic(f7, "btnAceptar(1)");
            });
            Clic(f1, "btnMenu(0)");
        });
        Clic(&menu, "btnEvaluar");
        QVERIFY(Prueba::ModalAtendido());
        QVERIFY(guardado);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n')));
        QCOMPARE(Mensaje::textosMostrados().last(), QStringLiteral("La evaluacion ha sido guardada"));
        // Every form of the evaluation is closed; the menu remains.
        QVERIFY(QApplication::activeModalWidget() == nullptr && menu.isVisible());

        const QList<QVariantList> registros = Ejemplo::LeerRegistro(registro);
        QCOMPARE(registros.size(), 1);
        const QVariantList &r = registros.first();
        QVERIFY(QDateTime::fromString(r[18].toString(), Qt::ISODate).isValid());
        // No cadastral data: placeholders; storeys, the bars of beams (33..) and columns (38..), partition
        // walls, roof, quality of materials; columns in Fuerte saturate the structure (71 to 73).
        const std::pair<int, const char *> campos[] = {
            {0, "1"}, {1, "---"}, {8, "Calle"}, {9, "45"}, {10, "--"}, {12, "23-17"}, {13, "Edificio Las Acacias"},
            {14, "María Pérez"}, {16, "Ing. Andrés Gómez"}, {19, "Residencial"}, {20, "Comercial"},
            {21, "Completa interior y exterior"}, {22, "Alto"}, {23, "1950 a 1982"}, {24, "Intermedia"}, {25, "4"},
            {26, "1"}, {27, "5"}, {28, "2"}, {29, "Pórticos en concreto reforzado"}, {32, "0"}, {33, "40"}, {34, "40"},
            {35, "20"}, {36, "0"}, {37, "0"}, {38, "50"}, {39, "10"}, {40, "10"}, {41, "20"}, {42, "10"}, {58, "2"},
            {63, "3"}, {67, "2"}, {71, "Alto"}, {72, "Fuerte"}, {73, "0.55"}};
        for (const auto &[campo, texto] : campos)
            QCOMPARE(std::pair(campo, r[campo].toString()), std::pair(campo, QString::fromUtf8(texto)));
        QCOMPARE((QStringList{r[86].toString(), r[90].toString()}), (QStringList{estado.CodDannoEdificio, estado.CodReparabilidad}));
        QVERIFY(estado.CodDannoEdificio.startsWith(QStringLiteral("DE")));
    }
};

QTEST_MAIN(PruebaRecorridoCompleto)
#include "journey_test.moc"
