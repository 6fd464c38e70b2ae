// The whole journey a person makes: main menu, "Nueva Evaluación", building
// data, structural system, every required rating through its dialog,
// "Evaluar", the results tabs, "Guardar Información", identification,
// "Guardar" — and exactly one new record in the registry file.

#include "app/main_menu_form.h"
#include "app/message_box.h"
#include "data/data_paths.h"
#include "data/record_set.h"
#include "rating/rating_helpers.h"
#include "registry/local_registry.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using Mensaje::Respuesta;

namespace {

void Teclear(QWidget *raiz, const QString &caja, const QString &texto)
{
    auto *e = raiz->findChild<QLineEdit *>(caja);
    QVERIFY2(e, qPrintable(caja));
    Prueba::Teclear(e, texto);
}

void Clic(QWidget *raiz, const QString &nombre)
{
    auto *b = raiz->findChild<QAbstractButton *>(nombre);
    QVERIFY2(b, qPrintable(nombre));
    QVERIFY2(b->isEnabled(), qPrintable(nombre));
    // Options are clicked on their circle, buttons in their middle.
    const bool opcion = qobject_cast<QRadioButton *>(b) || qobject_cast<QCheckBox *>(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, opcion ? QPoint(7, b->height() / 2) : b->rect().center());
}

void ElegirEnLista(QWidget *raiz, const QString &lista, const QString &texto)
{
    auto *c = raiz->findChild<QComboBox *>(lista);
    QVERIFY2(c, qPrintable(lista));
    c->setFocus();
    c->setCurrentIndex(c->findText(texto));
    QCOMPARE(c->currentText(), texto);
}

// The next modal dialog is a rating dialog: rate and accept it.
void CalificarProporcion(QWidget *evaluacion, const QString &boton, std::array<int, 5> barras, int mensajes)
{
    Prueba::AlAbrirseModal([=](QWidget *w) {
        const char *nombres[5] = {"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV"};
        for (int k = 0; k < 5; ++k) {
            auto *b = w->findChild<QScrollBar *>(QString::fromLatin1(nombres[k]));
            b->setFocus();
            Calificacion::PonerBarra(b, barras[k]);
        }
        for (int i = 0; i < mensajes; ++i)
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Clic(w, QStringLiteral("btnAceptar"));
    });
    Clic(evaluacion, boton);
    QVERIFY2(Prueba::ModalAtendido(), qPrintable(boton));
}

void CalificarOpcion(QWidget *evaluacion, const QString &boton, int opcion)
{
    Prueba::AlAbrirseModal([=](QWidget *w) {
        Clic(w, QStringLiteral("Option1(%1)").arg(opcion));
        Clic(w, QStringLiteral("btnAceptar"));
    });
    Clic(evaluacion, boton);
    QVERIFY2(Prueba::ModalAtendido(), qPrintable(boton));
}

int ContarRegistros(const QString &archivo)
{
    ConjuntoRegistros rs(archivo, RegistroEvaluaciones::Tabla);
    int n = 0;
    for (rs.moverPrimero(); !rs.finDeTabla(); rs.moverSiguiente())
        ++n;
    return n;
}

}  // namespace

class PruebaRecorridoCompleto : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

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
        QCOMPARE(ContarRegistros(registro), 0);

        bool guardado = false;
        Prueba::AlAbrirseModal([&](QWidget *f1) {
            QCOMPARE(f1->objectName(), QStringLiteral("Form1"));
            Teclear(f1, "txtNPisos", "4");
            Teclear(f1, "txtNSotanos", "1");
            Teclear(f1, "txtPMayorDanno", "2");
            Teclear(f1, "txtPisosTotal", "5");
            Clic(f1, "optLocalizacion(1)");
            Clic(f1, "OptAnno(1)");
            Clic(f1, "optInspeccion(2)");
            Clic(f1, "optEstabEvaluador(2)");
            ElegirEnLista(f1, "cboTipoEstructura", "Pórticos en concreto reforzado");
            ElegirEnLista(f1, "cboCubierta", "Teja de barro");
            ElegirEnLista(f1, "cboEntrepiso", "Placa aligerada");
            Clic(f1, "Command1");  // to the structural elements

            CalificarProporcion(f1, "btnVigas", {40, 40, 20, 0, 0}, 1);
            CalificarProporcion(f1, "btnColumnas", {50, 10, 10, 20, 10}, 1);  // Fuerte through the critical-element rule
            CalificarProporcion(f1, "btnNudos", {70, 20, 10, 0, 0}, 1);
            CalificarProporcion(f1, "btnEntrepiso", {80, 20, 0, 0, 0}, 1);
            Clic(f1, "Command4");
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Clic(f1, "btnOtrosArquitectonicos");
            CalificarOpcion(f1, "btnDivisorios", 2);
            CalificarOpcion(f1, "btnFachada", 1);
            CalificarOpcion(f1, "btnEscaleras", 0);
            CalificarOpcion(f1, "btnCubiertaBaha", 3);
            Clic(f1, "Command6");
            CalificarOpcion(f1, "btnDeslizamGrietas", 0);
            CalificarOpcion(f1, "btnAsentamLicuac", 1);
            Clic(f1, "Command8");
            CalificarOpcion(f1, "btnCalidad", 2);
            CalificarOpcion(f1, "btnConfiguracion", 1);
            CalificarOpcion(f1, "btnIrregularidadPlanta", 0);
            CalificarOpcion(f1, "btnIrregularidadAltura", 1);

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
                    Teclear(f23, "txtNombre", "Edificio Las Acacias");
                    Teclear(f23, "txtDuenno", "María Pérez");
                    Teclear(f23, "txtTelefono", "555 0101");
                    Teclear(f23, "txtEvaluador", "Ing. Andrés Gómez");
                    Teclear(f23, "txtCodigComi", "C-07");
                    ElegirEnLista(f23, "cboGrupo", "Residencial");
                    ElegirEnLista(f23, "cboUsoBaja", "Comercial");
                    Clic(f23, "Option1(1)");  // Calle
                    Teclear(f23, "txtNumCalle", "45");
                    Teclear(f23, "txtNumero", "23-17");
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
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(menu.isVisible());

        QCOMPARE(ContarRegistros(registro), 1);
        ConjuntoRegistros rs(registro, RegistroEvaluaciones::Tabla);
        rs.moverUltimo();
        QVERIFY(QDateTime::fromString(rs.campoTexto(18), Qt::ISODate).isValid());
        // No cadastral data: placeholders. Columns in Fuerte saturate the structure (72, 71).
        const std::pair<int, const char *> textos[] = {
            {1, "---"}, {8, "Calle"}, {9, "45"}, {10, "--"}, {12, "23-17"}, {13, "Edificio Las Acacias"},
            {14, "María Pérez"}, {16, "Ing. Andrés Gómez"}, {19, "Residencial"}, {20, "Comercial"},
            {21, "Completa interior y exterior"}, {22, "Alto"}, {23, "1950 a 1982"}, {24, "Intermedia"},
            {29, "Pórticos en concreto reforzado"}, {72, "Fuerte"}, {71, "Alto"}};
        for (const auto &[campo, texto] : textos)
            QCOMPARE(std::pair(campo, rs.campoTexto(campo)), std::pair(campo, QString::fromUtf8(texto)));
        // Storeys, the bars of beams (33..) and columns (38..), partition walls, roof, quality of materials.
        const std::pair<int, int> numeros[] = {
            {0, 1},   {25, 4},  {26, 1},  {27, 5},  {28, 2},  {32, 0},  {33, 40}, {34, 40}, {35, 20}, {36, 0}, {37, 0},
            {38, 50}, {39, 10}, {40, 10}, {41, 20}, {42, 10}, {58, 2},  {63, 3},  {67, 2}};
        for (const auto &[campo, valor] : numeros)
            QCOMPARE(std::pair(campo, rs.campo(campo).toInt()), std::pair(campo, valor));
        QCOMPARE(rs.campo(73).toDouble(), 0.55);
        QCOMPARE(rs.campoTexto(86), estado.CodDannoEdificio);
        QCOMPARE(rs.campoTexto(90), estado.CodReparabilidad);
        QVERIFY(rs.campoTexto(86).startsWith(QStringLiteral("DE")));
    }
};

QTEST_MAIN(PruebaRecorridoCompleto)
#include "journey_test.moc"
