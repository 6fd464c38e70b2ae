// The qualitative rating dialog driven through its options and buttons.

#include "gui/common/message_box.h"
#include "core/catalog/damage_descriptions.h"
#include "gui/rating/qualitative_rating_form.h"
#include "gui/rating/rating_dialogs.h"
#include "gui/rating/rating_helpers.h"
#include "support/gui_test_support.h"

#include <QtTest>

using namespace Calificacion;

namespace {
const QStringList Danno{"Ninguno", "Leve", "Moderado", "Fuerte", "Severo"};
const QStringList Afectacion18{"Ninguno", "Leve", "Moderado", "Grave", "Severo"};
const QStringList Calidad{"Muy Buena", "Buena", "Regular", "Mala", "Muy Mala"};
const QStringList Irregularidad{"Mínima", "Poca", "Considerable", "Alta", "Muy Alta"};

QRadioButton *Opcion(QWidget *f, int k) { return Buscar<QRadioButton>(f, NombreElemento(QStringLiteral("Option1"), k)); }

// Codigo and Nivel of the first n records of Variables, then of OtrosNoEstructurales.
QList<int> Registros(const EstadoEvaluacion &e, int n)
{
    QList<int> r;
    for (int i = 0; i < n; ++i)
        r << e.Variables[i].Codigo << e.Variables[i].Nivel;
    for (int i = 0; i < n; ++i)
        r << e.OtrosNoEstructurales[i].Codigo << e.OtrosNoEstructurales[i].Nivel;
    return r;
}
}  // namespace

class PruebaFormularioCualitativo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }

    // Accepting at once stores option 0; the index is the level whatever the caption. The slot
    // of every element is checked against the registry's fields by the evaluation form's test.
    void guardar()
    {
        struct Caso {
            bool otro;
            int codigo, opcion, slot;  // slot of NivelesCualitativos
            QStringList opciones;
        };
        for (const auto &[otro, codigo, opcion, slot, opciones] :
             {Caso{false, Escaleras, 0, 2, Danno}, Caso{false, AsentamientoLicuacion, 3, 8, Afectacion18},
              Caso{true, TanquesElevados, 4, 6, Danno}}) {
            // One record in each table already: the rating goes to the second of its table.
            EstadoEvaluacion e = EstadoNuevo();
            e.Variables[0].Codigo = Columnas, e.Variables[0].Nivel = 2;
            e.OtrosNoEstructurales[0].Codigo = Cubierta, e.OtrosNoEstructurales[0].Nivel = 1;
            e.UltimaVariable = e.IndiceVariable = e.UltimoOtro = e.IndiceOtro = 0;
            e.NivelesCualitativos.fill(6);
            otro ? PrepararOtro(e, codigo) : PrepararVariable(e, codigo);
            // Whatever the record held before.
            e.Variables[1].Nivel = e.OtrosNoEstructurales[1].Nivel = 4;

            Form9 f(e);
            f.EstablecerTextos(QStringLiteral("TITULO"), QStringLiteral("Calificación"), opciones);
            QVERIFY(Activar(&f));
            if (opcion > 0)
                Clic(Opcion(&f, opcion));
            QVERIFY(Opcion(&f, opcion)->isChecked());
            QTest::mouseClick(Boton(&f, "btnAceptar"), Qt::LeftButton);
            QCOMPARE(f.result(), int(QDialog::Accepted));

            // Codigo and Nivel of the first three records of each table.
            QList<int> esperado{Columnas, 2, otro ? -1 : codigo, otro ? 4 : opcion, -1, 0, Cubierta, 1, otro ? codigo : -1,
                                otro ? opcion : 4, -1, 0};
            QCOMPARE(Registros(e, 3), esperado);
            for (int i = 0; i < 13; ++i)
                QCOMPARE(int(e.NivelesCualitativos[i]), i == slot ? opcion : 6);
        }
    }

    // Escape or the close box: nothing stored, for a variable or an other element.
    void cerrarSinAceptarNoGuarda()
    {
        for (int caso = 0; caso < 4; ++caso) {
            EstadoEvaluacion e = EstadoNuevo();
            e.NivelesCualitativos.fill(1);
            const EstadoEvaluacion antes = e;
            caso < 2 ? PrepararOtro(e, TanquesElevados) : PrepararVariable(e, IrregularidadAltura);
            Prueba::AlAbrirseModal([&](QWidget *f) {
                Clic(Opcion(f, 3));
                caso % 2 ? QTest::keyClick(Opcion(f, 3), Qt::Key_Escape) : void(f->close());
            });
            QVERIFY(!CalificarCualitativa(nullptr, e, QStringLiteral("TITULO"), QStringLiteral("Calificación del Daño"), Danno));
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(Registros(e, 4), Registros(antes, 4));
            QCOMPARE(e.NivelesCualitativos, antes.NivelesCualitativos);
        }
    }

    void tecladoSolo()
    {
        EstadoEvaluacion e = EstadoNuevo();
        PrepararVariable(e, IrregularidadPlanta);
        Form9 f(e);
        f.EstablecerTextos(QStringLiteral("IRREGULARIDAD EN PLANTA"), QStringLiteral("Calificación"), Irregularidad);
        QVERIFY(Activar(&f));
        QCOMPARE(QApplication::focusWidget(), Opcion(&f, 0));
        // Arrows move the choice.
        Teclas(Qt::Key_Down, 2);
        QVERIFY(Opcion(&f, 2)->isChecked());
        Teclas(Qt::Key_Up);
        QVERIFY(Opcion(&f, 1)->isChecked());
        // Tab leaves the options for "Aceptar", then "Ver Daños", and back.
        QStringList orden;
        for (int i = 0; i < 3; ++i) {
            Teclas(Qt::Key_Tab);
            orden << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(orden, (QStringList{"btnAceptar", "btnDanno", NombreElemento(QStringLiteral("Option1"), 1)}));
        // Enter on "Ver Daños" opens its viewer and stores nothing.
        Teclas(Qt::Key_Tab, 2);
        QString visto;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            visto = w->objectName();
            QTest::mouseClick(Boton(w, "Command1"), Qt::LeftButton);
        });
        Teclas(Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(visto, QStringLiteral("Form14"));
        QVERIFY(f.isVisible());
        QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
        // Enter on an option presses "Aceptar".
        QVERIFY(Activar(&f));
        Opcion(&f, 1)->setFocus();
        Teclas(Qt::Key_Return);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE((QList<int>{e.Variables[0].Nivel, e.NivelesCualitativos[10]}), (QList<int>{1, 1}));
    }

    // A screen reader hears the element's title and every option as shown,
    // the options labelled by their frame; every control Tab reaches has a name.
    void lectorDePantalla()
    {
        EstadoEvaluacion e = EstadoNuevo();
        PrepararVariable(e, 19);
        Form9 f(e);
        f.EstablecerTextos(QStringLiteral("CALIDAD DE LOS MATERIALES"), QStringLiteral("Calidad"), Calidad);
        QVERIFY(Activar(&f));
        for (QLabel *l : f.findChildren<QLabel *>())
            QCOMPARE(Prueba::NombreAccesible(l), l->text().simplified());
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(Prueba::NombreAccesible(Opcion(&f, k)), Calidad[k]);
            QVERIFY(Prueba::RotulosAccesibles(Opcion(&f, k)).contains(QStringLiteral("frmCalificacion")));
        }
        const QStringList recorrido = Prueba::RecorridoConTab();
        QVERIFY(recorrido.size() >= 3);
        for (const QString &paso : recorrido)
            QVERIFY2(!paso.endsWith(QStringLiteral(": ")), qPrintable(recorrido.join(QLatin1String(" / "))));
    }

    // "Ver Daños" opens the level viewer of the element's kind under the
    // element's title, with the counts of its photo table, and stores nothing;
    // the condition viewer is walked by tecladoSolo.
    void verDannosAbreSuVisor()
    {
        for (const auto &[variable, otro, carpeta] : {std::tuple(14, -1, "Divisorios"), std::tuple(-1, 0, "CieloLuminaria")}) {
            EstadoEvaluacion e = EstadoNuevo();
            otro >= 0 ? PrepararOtro(e, otro, carpeta) : PrepararVariable(e, variable, carpeta);
            e.NumFotosNivel.fill(0);
            Form9 f(e);
            f.show();
            QString visto;
            Prueba::AlAbrirseModal([&](QWidget *w) {
                visto = w->objectName() + ": " + Texto(w, "lblDanno");
                QTest::mouseClick(Boton(w, "Command1"), Qt::LeftButton);
            });
            QTest::mouseClick(Boton(&f, "btnDanno"), Qt::LeftButton);
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(visto, "Form10: " + (otro >= 0 ? VisorDeOtro(otro) : VisorDeVariable(variable)).titulo);
            for (int n = 1; n <= 5; ++n)
                QVERIFY(e.NumFotosNivel[n] > 0);
            QVERIFY(f.isVisible());
            QCOMPARE(Registros(e, 1), (QList<int>{-1, 0, -1, 0}));
        }
    }
};

QTEST_MAIN(PruebaFormularioCualitativo)
#include "qualitative_rating_test.moc"
