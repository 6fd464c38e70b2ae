// The proportion rating dialog driven through its bars and buttons.

#include "core/engine/proportion_rating.h"
#include "gui/common/message_box.h"
#include "gui/rating/proportion_rating_form.h"
#include "gui/rating/rating_dialogs.h"
#include "gui/rating/rating_helpers.h"
#include "support/gui_test_support.h"

#include <QtTest>

using namespace Calificacion;
using Arreglo5 = std::array<int, 5>;
Q_DECLARE_METATYPE(Arreglo5)

namespace {
const QStringList Barras{"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV"};
// Registry group of codes 0..13: beams, columns, joints, walls, floor system.
const int Grupo[14] = {0, 1, 2, 3, 3, 3, 3, 0, 1, 2, 0, 1, 2, 4};

QScrollBar *Barra(QWidget *f, int k) { return Buscar<QScrollBar>(f, Barras[k]); }
QString Etiqueta(QWidget *f, int k) { return Texto(f, NombreElemento(QStringLiteral("lblNivel"), k)); }
}  // namespace

class PruebaFormularioProporcion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }

    void aceptar_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<Arreglo5>("barras");
        QTest::addColumn<int>("nivel");
        QTest::addColumn<double>("valor");     // as the message prints it
        QTest::addColumn<bool>("advierte");    // the stability warning follows
        QTest::addColumn<Arreglo5>("copias");
        auto fila = [](const char *nombre, int codigo, Arreglo5 barras, int nivel, double valor, bool advierte = false,
                       Arreglo5 copias = {-1}) {
            QTest::newRow(nombre) << codigo << barras << nivel << valor << advierte << (copias[0] < 0 ? barras : copias);
        };
        // The critical-element rule: Fuerte at 0.55, Severo at 0.76, and the warnings.
        fila("columnas: 0.35 alcanza 0.3", Columnas, {65, 0, 0, 25, 10}, 3, 0.55);
        fila("columnas severas", Columnas, {50, 0, 0, 10, 40}, 4, 0.76, true);
        fila("nudos fuertes", Nudos, {70, 0, 0, 30, 0}, 3, 0.55, true);
        fila("muros severos, total 50", Muros, {0, 0, 0, 10, 40}, 4, 0.76, true, {0, 0, 0, 20, 80});
        fila("columnas de madera: 0.5 alcanza 0.4", ColumnasMadera, {50, 0, 0, 10, 40}, 4, 0.76, true);
        fila("uniones de madera severas", ConexionesMadera, {0, 0, 0, 0, 50}, 4, 0.76, true, {0, 0, 0, 0, 100});
        // The fuzzy scale: below the threshold, and the elements the rule never applies to.
        fila("columnas de acero: 0.35 bajo 0.4", ColumnasAcero, {65, 0, 0, 25, 10}, 2, 0.3888);
        fila("vigas severas: sin advertencia", Vigas, {0, 0, 0, 0, 100}, 4, 0.8259);
        fila("entrepiso total 250: proporciones de 0.2", Entrepiso, {50, 50, 50, 50, 50}, 3, 0.5219, false, {20, 20, 20, 20, 20});
        fila("1,1,1,0,0: tercios", MurosConfinados, {1, 1, 1, 0, 0}, 1, 0.2337, false, {33, 33, 33, 0, 0});
        fila("total 0: sin division", Vigas, {0, 0, 0, 0, 0}, 0, 0.0);
    }

    // The level and value derived from the bars, reported in the program's
    // own message and warning, stored in the element's slot and its group's copies.
    void aceptar()
    {
        QFETCH(int, codigo);
        QFETCH(Arreglo5, barras);
        QFETCH(int, nivel);
        QFETCH(double, valor);
        QFETCH(bool, advierte);
        QFETCH(Arreglo5, copias);
        QStringList esperados{MensajeCalificacion(int16_t(nivel), valor)};
        if (advierte)
            esperados << AdvertenciaEstabilidad(codigo, int16_t(nivel));

        EstadoEvaluacion e = EstadoNuevo();
        // Two slots already filled: the rating goes to the third.
        e.Variables[0].Codigo = Vigas, e.Variables[0].Nivel = 2;
        e.Variables[1].Codigo = MurosDivisorios, e.Variables[1].Nivel = 1;
        e.UltimaVariable = 1;
        e.NivelesProporcion.fill(7);
        PrepararVariable(e, codigo);
        e.Variables[2].Nivel = 9;  // whatever the record held before is overwritten
        Form5 f(e);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        for (int k = 0; k < 5; ++k) {
            PonerBarra(Barra(&f, k), barras[k]);
            QCOMPARE(Etiqueta(&f, k), barras[k] == 0 ? QStringLiteral("0") : QStringLiteral(" %1").arg(barras[k]));
        }
        for (int i = 0; i < esperados.size(); ++i)
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        QTest::mouseClick(Boton(&f, "btnAceptar"), Qt::LeftButton);

        QCOMPARE(Mensaje::textosMostrados(), esperados);
        for (const Mensaje::Mostrado &m : Mensaje::mostrados())
            QCOMPARE(m.botones, Mensaje::Botones::Aceptar);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(!f.isVisible());
        QCOMPARE((QList<int>{e.Variables[2].Codigo, e.Variables[2].Nivel, e.NivelCalculado}), (QList<int>{codigo, nivel, nivel}));
        // The other slots and the other groups' copies stay as they were.
        QCOMPARE((QList<int>{e.Variables[0].Nivel, e.Variables[1].Codigo, e.Variables[3].Codigo}), (QList<int>{2, MurosDivisorios, -1}));
        for (int i = 0; i < 25; ++i)
            QCOMPARE(int(e.NivelesProporcion[i]), i / 5 == Grupo[codigo] ? copias[i % 5] : 7);
    }

    void tecladoSolo()
    {
        EstadoEvaluacion e = EstadoNuevo();
        PrepararVariable(e, Muros);
        Form5 f(e);
        QVERIFY(Activar(&f));
        // Tab walks the bars from level I to V, then the buttons.
        QStringList orden{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 7; ++i) {
            Teclas(Qt::Key_Tab);
            orden << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(orden, (Barras + QStringList{"btnDanno", "btnAceptar", Barras[0]}));
        // Arrows and page keys move the focused bar; Home and End reach the ends.
        QStringList vistos;
        for (Qt::Key tecla : {Qt::Key_End, Qt::Key_Left, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Left}) {
            Teclas(tecla);
            vistos << Etiqueta(&f, 0);
        }
        QCOMPARE(vistos, (QStringList{" 100", " 99", " 94", " 0", " 0"}));
        Teclas(Qt::Key_Tab, 4);
        PonerBarra(Barra(&f, 4), 12);
        QCOMPARE(Etiqueta(&f, 4), QStringLiteral(" 12"));
        // Enter on a bar accepts.
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Teclas(Qt::Key_Return);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(e.Variables[0].Nivel, int16_t(4));

        // Enter on the description button opens the viewer; the rating is
        // neither stored nor closed.
        EstadoEvaluacion e2 = EstadoNuevo();
        PrepararVariable(e2, Vigas, QStringLiteral("VigasConc"));
        Form5 g(e2);
        QVERIFY(Activar(&g));
        Boton(&g, "btnDanno")->setFocus();
        QString visto;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            visto = w->objectName();
            QTest::mouseClick(Boton(w, "Command1"), Qt::LeftButton);
        });
        Teclas(Qt::Key_Enter);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(visto, QStringLiteral("Form10"));
        QVERIFY(g.isVisible());
        QCOMPARE(e2.Variables[0].Codigo, int16_t(-1));
    }

    // A screen reader hears the element's title and each share as shown,
    // each share labelled by its level's frame; every control Tab reaches
    // has a name.
    void lectorDePantalla()
    {
        EstadoEvaluacion e = EstadoNuevo();
        PrepararVariable(e, Columnas);
        Form5 f(e);
        f.EstablecerVariable(QStringLiteral("COLUMNAS"));
        QVERIFY(Activar(&f));
        PonerBarra(Barra(&f, 2), 25);
        for (QLabel *l : f.findChildren<QLabel *>())
            QCOMPARE(Prueba::NombreAccesible(l), l->text().simplified());
        const QStringList marcos{"Frame1", "Frame3", "Frame2", "Frame4", "Frame5"};
        for (int k = 0; k < 5; ++k) {
            QLabel *nivel = Buscar<QLabel>(&f, NombreElemento(QStringLiteral("lblNivel"), k));
            QCOMPARE(Prueba::NombreAccesible(nivel), k == 2 ? QStringLiteral("25") : QStringLiteral("0"));
            QVERIFY2(Prueba::RotulosAccesibles(nivel).contains(marcos[k]), qPrintable(marcos[k]));
        }
        const QStringList recorrido = Prueba::RecorridoConTab();
        QCOMPARE(recorrido.size(), 7);
        for (const QString &paso : recorrido)
            QVERIFY2(!paso.endsWith(QStringLiteral(": ")), qPrintable(recorrido.join(QLatin1String(" / "))));
    }

    void cerrarSinAceptarNoGuarda()
    {
        for (bool escape : {true, false}) {
            EstadoEvaluacion e = EstadoNuevo();
            e.Variables[0].Codigo = Vigas, e.Variables[0].Nivel = 3;
            e.UltimaVariable = 0;
            e.NivelesProporcion.fill(4);
            e.NivelCalculado = 2;
            PrepararVariable(e, Columnas);
            const EstadoEvaluacion antes = e;
            Prueba::AlAbrirseModal([&](QWidget *f) {
                PonerBarra(Barra(f, 4), 80);
                escape ? QTest::keyClick(Barra(f, 4), Qt::Key_Escape) : void(f->close());
            });
            QVERIFY(!CalificarProporcion(nullptr, e, QStringLiteral("COLUMNAS")));
            QVERIFY(Prueba::ModalAtendido());
            for (int i = 0; i < NumVariables; ++i)
                QCOMPARE(std::pair(e.Variables[i].Codigo, e.Variables[i].Nivel), std::pair(antes.Variables[i].Codigo, antes.Variables[i].Nivel));
            QVERIFY(e.NivelesProporcion == antes.NivelesProporcion);
            QCOMPARE(e.NivelCalculado, antes.NivelCalculado);
        }
    }
};

QTEST_MAIN(PruebaFormularioProporcion)
#include "proportion_rating_test.moc"
