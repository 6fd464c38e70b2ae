// The whole journey a person makes: main menu, "Nueva Evaluación", building
// data, structural system, every required rating through its dialog,
// "Evaluar", the results tabs, "Guardar Información", identification,
// "Guardar" — and exactly one new record in the registry file.

#include "app/main_menu_form.h"
#include "app/message_box.h"
#include "data/data_paths.h"
#include "data/record_set.h"
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
#include <QSqlDatabase>
#include <QSqlQuery>
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
            // Page Up raises a share by 5, Right by 1.
            for (int i = 0; i < barras[k] / 5; ++i)
                QTest::keyClick(b, Qt::Key_PageUp);
            for (int i = 0; i < barras[k] % 5; ++i)
                QTest::keyClick(b, Qt::Key_Right);
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
    int n = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cuenta"));
        db.setDatabaseName(archivo);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT COUNT(*) FROM Evaluaciones"));
        if (q.next())
            n = q.value(0).toInt();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("cuenta"));
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

        QStringList pestannasVistas;
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
                auto *tabs = f7->findChild<QTabWidget *>(QStringLiteral("SSRes"));
                for (const char *b : {"btnSiguente", "Command1", "Command3"}) {
                    pestannasVistas << tabs->tabText(tabs->currentIndex());
                    Clic(f7, QString::fromLatin1(b));
                }
                pestannasVistas << tabs->tabText(tabs->currentIndex());
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
        QCOMPARE(pestannasVistas, (QStringList{"Resultados", "Estado", "Habitabilidad", "Reparabilidad"}));
        // Every form of the evaluation is closed; the menu remains.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(menu.isVisible());

        QCOMPARE(ContarRegistros(registro), 1);
        ConjuntoRegistros rs(registro, RegistroEvaluaciones::Tabla);
        rs.moverUltimo();
        QCOMPARE(rs.campo(0).toInt(), 1);
        QCOMPARE(rs.campoTexto(1), QStringLiteral("---"));  // no cadastral data: placeholders
        QCOMPARE(rs.campoTexto(8), QStringLiteral("Calle"));
        QCOMPARE(rs.campoTexto(9), QStringLiteral("45"));
        QCOMPARE(rs.campoTexto(10), QStringLiteral("--"));
        QCOMPARE(rs.campoTexto(12), QStringLiteral("23-17"));
        QCOMPARE(rs.campoTexto(13), QStringLiteral("Edificio Las Acacias"));
        QCOMPARE(rs.campoTexto(14), QStringLiteral("María Pérez"));
        QCOMPARE(rs.campoTexto(16), QStringLiteral("Ing. Andrés Gómez"));
        QVERIFY(QDateTime::fromString(rs.campoTexto(18), Qt::ISODate).isValid());
        QCOMPARE(rs.campoTexto(19), QStringLiteral("Residencial"));
        QCOMPARE(rs.campoTexto(20), QStringLiteral("Comercial"));
        QCOMPARE(rs.campoTexto(21), QStringLiteral("Completa interior y exterior"));
        QCOMPARE(rs.campoTexto(22), QStringLiteral("Alto"));
        QCOMPARE(rs.campoTexto(23), QStringLiteral("1950 a 1982"));
        QCOMPARE(rs.campoTexto(24), QStringLiteral("Intermedia"));
        QCOMPARE(rs.campo(25).toInt(), 4);
        QCOMPARE(rs.campo(26).toInt(), 1);
        QCOMPARE(rs.campo(27).toInt(), 5);
        QCOMPARE(rs.campo(28).toInt(), 2);
        QCOMPARE(rs.campoTexto(29), QStringLiteral("Pórticos en concreto reforzado"));
        QCOMPARE(rs.campo(32).toInt(), 0);
        // Percentages of beams and columns as the bars were set.
        const QList<int> vigas = {40, 40, 20, 0, 0}, columnas = {50, 10, 10, 20, 10};
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(rs.campo(33 + k).toInt(), vigas[k]);
            QCOMPARE(rs.campo(38 + k).toInt(), columnas[k]);
        }
        QCOMPARE(rs.campo(58).toInt(), 2);  // partition walls
        QCOMPARE(rs.campo(63).toInt(), 3);  // roof
        QCOMPARE(rs.campo(67).toInt(), 2);  // quality of materials
        // Columns in Fuerte saturate the structure.
        QCOMPARE(rs.campoTexto(72), QStringLiteral("Fuerte"));
        QCOMPARE(rs.campoTexto(71), QStringLiteral("Alto"));
        QCOMPARE(rs.campo(73).toDouble(), 0.55);
        QCOMPARE(rs.campoTexto(86), estado.CodDannoEdificio);
        QCOMPARE(rs.campoTexto(90), estado.CodReparabilidad);
        QVERIFY(rs.campoTexto(86).startsWith(QStringLiteral("DE")));
    }
};

QTEST_MAIN(PruebaRecorridoCompleto)
#include "journey_test.moc"
