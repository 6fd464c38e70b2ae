// The proportion rating dialog driven through its bars and buttons.

#include "app/message_box.h"
#include "app/widget_support.h"
#include "engine/fuzzy_scale.h"
#include "rating/proportion_rating_form.h"
#include "rating/rating_dialogs.h"
#include "rating_helpers.h"
#include "test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using Arreglo5 = std::array<int, 5>;
Q_DECLARE_METATYPE(Arreglo5)

namespace {
const char *const Barras[5] = {"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV"};
const QString Encabezado = QStringLiteral("La variable tiene una calificación de\n");
const QString Cola = QStringLiteral(" Aunque los demás elementos no presenten daños importantes la estabilidad de la edificación está en peligro.");

QScrollBar *Barra(QWidget *f, int k) { return Buscar<QScrollBar>(f, QString::fromLatin1(Barras[k])); }
QLabel *Etiqueta(QWidget *f, int k) { return Buscar<QLabel>(f, NombreElemento(QStringLiteral("lblNivel"), k)); }

EstadoEvaluacion EstadoNuevo()
{
    EstadoEvaluacion e;
    e.Reiniciar();
    return e;
}
}  // namespace

class PruebaFormularioProporcion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init() { Mensaje::limpiar(); }

    void controlesYTextos();
    void aceptar_data();
    void aceptar();
    void totalCeroSinDivision();
    void barrasConElRaton();
    void tecladoSolo();
    void cerrarSinAceptarNoGuarda_data();
    void cerrarSinAceptarNoGuarda();
    void recalificarUsaElMismoSlot();
    void nivelesDeDannoAbreElVisor();
    void calificarProporcionDevuelveSiSeAcepto();
};

void PruebaFormularioProporcion::controlesYTextos()
{
    EstadoEvaluacion e = EstadoNuevo();
    Form5 f(e);
    f.EstablecerVariable(QStringLiteral("COLUMNAS"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.windowTitle(), QStringLiteral("Ingreso de datos"));
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblVariable"))->text(), QStringLiteral("COLUMNAS"));

    // Frames from left to right: Frame1, Frame3, Frame2, Frame4, Frame5.
    const QStringList marcos{"Frame1", "Frame3", "Frame2", "Frame4", "Frame5"};
    const QStringList titulos{"Nivel Daño I", "Nivel Daño II", "Nivel Daño III", "Nivel Daño IV", "Nivel Daño V"};
    const QStringList nombres{"Ninguno / Muy Leve", "Leve", "Moderado", "Fuerte", "Severo"};
    int izquierda = -1;
    for (int k = 0; k < 5; ++k) {
        auto *marco = Buscar<QGroupBox>(&f, marcos[k]);
        QVERIFY2(marco, qPrintable(marcos[k]));
        QCOMPARE(marco->title(), titulos[k]);
        const int x = marco->mapTo(&f, QPoint(0, 0)).x();
        QVERIFY(x > izquierda);
        izquierda = x + marco->width() - 1;
        QScrollBar *b = Barra(&f, k);
        QVERIFY(marco->isAncestorOf(b));
        QCOMPARE(b->minimum(), 0);
        QCOMPARE(b->maximum(), 100);
        QCOMPARE(b->singleStep(), 1);
        QCOMPARE(b->pageStep(), 5);
        QCOMPARE(b->value(), 0);
        QCOMPARE(Etiqueta(&f, k)->text(), QStringLiteral("0"));
        QVERIFY(marco->isAncestorOf(Etiqueta(&f, k)));
        QStringList textos;
        for (QLabel *l : marco->findChildren<QLabel *>())
            textos << l->text();
        QVERIFY(textos.contains(nombres[k]));
        QVERIFY(textos.contains(QStringLiteral("Proporción Daño")));
        QVERIFY(textos.contains(QStringLiteral("0")) && textos.contains(QStringLiteral("100")));
        QVERIFY(!b->accessibleName().isEmpty());
    }
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("Label5"))->text(),
             QStringLiteral("Nota: La suma de las proporciones de daño de los cinco niveles deberá ser aproximadamente 100."));
    QCOMPARE(Buscar<QWidget>(&f, QStringLiteral("frmElemento"))->toolTip(),
             QStringLiteral("En cada nivel, picando sobre la barra la proporción aumentará en 5 puntos, con las flechas de "
                            "los extremos aumentará o disminuirá 1 punto."));
    auto *danno = Buscar<QPushButton>(&f, QStringLiteral("btnDanno"));
    auto *aceptar = Buscar<QPushButton>(&f, QStringLiteral("btnAceptar"));
    QCOMPARE(danno->text(), QStringLiteral("Niveles de Daño"));
    QCOMPARE(danno->toolTip(), QStringLiteral("Descripción de los Niveles de Daño"));
    QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
    QCOMPARE(aceptar->toolTip(), QStringLiteral("Aceptar"));
    QVERIFY(aceptar->isDefault());

    // Nothing is written while the form is open.
    QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
}

void PruebaFormularioProporcion::aceptar_data()
{
    QTest::addColumn<int>("codigo");
    QTest::addColumn<Arreglo5>("barras");
    QTest::addColumn<int>("nivel");
    QTest::addColumn<QString>("valor");        // empty: the fuzzy scale's value
    QTest::addColumn<QString>("advertencia");  // empty: no second message
    QTest::addColumn<int>("grupo");
    QTest::addColumn<Arreglo5>("copias");

    QTest::newRow("columnas 65,0,0,25,10: fuerte por elemento critico")
        << int(Columnas) << Arreglo5{65, 0, 0, 25, 10} << 3 << "0.55" << "" << 1 << Arreglo5{65, 0, 0, 25, 10};
    QTest::newRow("columnas de acero 65,0,0,25,10: bajo el umbral 0.4")
        << int(ColumnasAcero) << Arreglo5{65, 0, 0, 25, 10} << -1 << "" << "" << 1 << Arreglo5{65, 0, 0, 25, 10};
    QTest::newRow("muros 0,0,0,10,40: severo")
        << int(Muros) << Arreglo5{0, 0, 0, 10, 40} << 4 << "0.76"
        << "Ud. ha calificado los muros en concreto con DAÑO SEVERO." + Cola << 3 << Arreglo5{0, 0, 0, 20, 80};
    QTest::newRow("nudos fuertes: dos blancos antes de Aunque")
        << int(Nudos) << Arreglo5{70, 0, 0, 30, 0} << 3 << "0.55"
        << "Ud. ha calificado los nudos en concreto con DAÑO FUERTE. " + Cola << 2 << Arreglo5{70, 0, 0, 30, 0};
    QTest::newRow("nudos severos")
        << int(Nudos) << Arreglo5{60, 0, 0, 0, 40} << 4 << "0.76"
        << "Ud. ha calificado los nudos en concreto con DAÑO SEVERO." + Cola << 2 << Arreglo5{60, 0, 0, 0, 40};
    QTest::newRow("muros fuertes")
        << int(Muros) << Arreglo5{0, 0, 0, 50, 50} << 3 << "0.55"
        << "Ud. ha calificado los muros en concreto con DAÑO FUERTE." + Cola << 3 << Arreglo5{0, 0, 0, 50, 50};
    QTest::newRow("mamposteria confinada fuerte")
        << int(MurosConfinados) << Arreglo5{70, 0, 0, 30, 0} << 3 << "0.55"
        << "Ud. ha calificado los muros de carga en mamposteria confinada o reforzada con DAÑO FUERTE." + Cola << 3
        << Arreglo5{70, 0, 0, 30, 0};
    QTest::newRow("mamposteria confinada severa: referzada")
        << int(MurosConfinados) << Arreglo5{0, 0, 0, 0, 100} << 4 << "0.76"
        << "Ud. ha calificado los muros de carga en mamposteria confinada o referzada con DAÑO SEVERO." + Cola << 3
        << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("mamposteria no confinada fuerte")
        << int(MurosSinConfinar) << Arreglo5{0, 0, 0, 30, 0} << 3 << "0.55"
        << "Ud. ha calificado los muros de carga en mamposteria no confinada con DAÑO FUERTE." + Cola << 3
        << Arreglo5{0, 0, 0, 100, 0};
    QTest::newRow("mamposteria no confinada severa")
        << int(MurosSinConfinar) << Arreglo5{0, 0, 0, 0, 30} << 4 << "0.76"
        << "Ud. ha calificado los muros de carga en mamposteria no confinada con DAÑO SEVERO." + Cola << 3
        << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("bahareque fuerte")
        << int(MurosBahareque) << Arreglo5{60, 0, 0, 40, 0} << 3 << "0.55"
        << "Ud. ha calificado los muros de soporte en bahareque con DAÑO FUERTE." + Cola << 3 << Arreglo5{60, 0, 0, 40, 0};
    QTest::newRow("bahareque severo")
        << int(MurosBahareque) << Arreglo5{60, 0, 0, 0, 40} << 4 << "0.76"
        << "Ud. ha calificado los muros de soporte en bahareque con DAÑO SEVERO." + Cola << 3 << Arreglo5{60, 0, 0, 0, 40};
    QTest::newRow("columnas fuertes: sin advertencia")
        << int(Columnas) << Arreglo5{0, 0, 0, 35, 0} << 3 << "0.55" << "" << 1 << Arreglo5{0, 0, 0, 100, 0};
    QTest::newRow("columnas severas")
        << int(Columnas) << Arreglo5{50, 0, 0, 10, 40} << 4 << "0.76"
        << "Ud. ha calificado las columnas en concreto con DAÑO SEVERO." + Cola << 1 << Arreglo5{50, 0, 0, 10, 40};
    QTest::newRow("columnas de acero severas")
        << int(ColumnasAcero) << Arreglo5{50, 0, 0, 10, 40} << 4 << "0.76"
        << "Ud. ha calificado las columnas en acero con DAÑO SEVERO." + Cola << 1 << Arreglo5{50, 0, 0, 10, 40};
    QTest::newRow("conexiones de acero fuertes")
        << int(ConexionesAcero) << Arreglo5{0, 0, 0, 50, 50} << 3 << "0.55"
        << "Ud. ha calificado las conexiones en acero con DAÑO FUERTE." + Cola << 2 << Arreglo5{0, 0, 0, 50, 50};
    QTest::newRow("conexiones de acero severas")
        << int(ConexionesAcero) << Arreglo5{0, 0, 0, 20, 80} << 4 << "0.76"
        << "Ud. ha calificado las conexiones en acero con DAÑO SEVERO." + Cola << 2 << Arreglo5{0, 0, 0, 20, 80};
    QTest::newRow("columnas de madera: 0.5 alcanza 0.4, severo")
        << int(ColumnasMadera) << Arreglo5{50, 0, 0, 10, 40} << 4 << "0.76"
        << "Ud. ha calificado las columnas en madera con DAÑO SEVERO." + Cola << 1 << Arreglo5{50, 0, 0, 10, 40};
    QTest::newRow("uniones de madera fuertes")
        << int(ConexionesMadera) << Arreglo5{0, 0, 0, 60, 40} << 3 << "0.55"
        << "Ud. ha calificado las uniones en madera con DAÑO FUERTE." + Cola << 2 << Arreglo5{0, 0, 0, 60, 40};
    QTest::newRow("uniones de madera severas: retorno de carro")
        << int(ConexionesMadera) << Arreglo5{0, 0, 0, 0, 50} << 4 << "0.76"
        << QStringLiteral("Ud. ha calificado las uniones en madera con DAÑO SEVERO. Aunque los demás elementos no presenten "
                          "daños importantes\r LA ESTABILIDAD DEL EDIFICIO ESTÁ EN PELIGRO.")
        << 2 << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("vigas severas: nunca advertencia")
        << int(Vigas) << Arreglo5{0, 0, 0, 0, 100} << -1 << "" << "" << 0 << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("vigas de acero severas: nunca advertencia")
        << int(VigasAcero) << Arreglo5{0, 0, 0, 0, 100} << -1 << "" << "" << 0 << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("vigas de madera severas: nunca advertencia")
        << int(VigasMadera) << Arreglo5{0, 0, 0, 10, 90} << -1 << "" << "" << 0 << Arreglo5{0, 0, 0, 10, 90};
    QTest::newRow("entrepiso total 250: proporciones de 0.2")
        << int(Entrepiso) << Arreglo5{50, 50, 50, 50, 50} << -1 << "" << "" << 4 << Arreglo5{20, 20, 20, 20, 20};
    QTest::newRow("entrepiso severo: nunca advertencia")
        << int(Entrepiso) << Arreglo5{0, 0, 0, 0, 100} << -1 << "" << "" << 4 << Arreglo5{0, 0, 0, 0, 100};
    QTest::newRow("1,1,1,0,0: tercios")
        << int(MurosConfinados) << Arreglo5{1, 1, 1, 0, 0} << -1 << "" << "" << 3 << Arreglo5{33, 33, 33, 0, 0};
}

void PruebaFormularioProporcion::aceptar()
{
    QFETCH(int, codigo);
    QFETCH(Arreglo5, barras);
    QFETCH(int, nivel);
    QFETCH(QString, valor);
    QFETCH(QString, advertencia);
    QFETCH(int, grupo);
    QFETCH(Arreglo5, copias);

    EstadoEvaluacion e = EstadoNuevo();
    // Two slots already filled: the rating goes to the third.
    e.Variables[0].Codigo = Vigas;
    e.Variables[0].Nivel = 2;
    e.Variables[1].Codigo = MurosDivisorios;
    e.Variables[1].Nivel = 1;
    e.UltimaVariable = 1;
    e.NivelesProporcion.fill(7);
    Calificacion::PrepararVariable(e, codigo);
    QCOMPARE(e.IndiceVariable, int16_t(2));

    Form5 f(e);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (int k = 0; k < 5; ++k) {
        Calificacion::PonerBarra(Barra(&f, k), barras[k]);
        QCOMPARE(Barra(&f, k)->value(), barras[k]);
        QCOMPARE(Etiqueta(&f, k)->text(), barras[k] == 0 ? QStringLiteral("0") : QStringLiteral(" %1").arg(barras[k]));
    }

    // The level the fuzzy scale gives where no fixed value applies.
    Membresias p{};
    const int suma = barras[0] + barras[1] + barras[2] + barras[3] + barras[4];
    for (int k = 0; k < 5; ++k)
        p[k] = double(barras[k]) / suma;
    if (valor.isEmpty()) {
        const double v = ValorDifuso(p);
        valor = IndiceImpreso(v);
        nivel = NivelMasCercanoDe(v);
        QVERIFY(valor != QLatin1String("0.55") && valor != QLatin1String("0.76"));
    }

    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    if (!advertencia.isEmpty())
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);

    const QStringList frases{"DAÑO MUY LEVE  (", "DAÑO LEVE  (", "DAÑO MODERADO  (", "DAÑO FUERTE  (", "DAÑO SEVERO  ("};
    QStringList esperados{Encabezado + frases[nivel] + valor + ")"};
    if (!advertencia.isEmpty())
        esperados << advertencia;
    QCOMPARE(Mensaje::textosMostrados(), esperados);
    for (const Mensaje::Mostrado &m : Mensaje::mostrados()) {
        QCOMPARE(m.titulo, QStringLiteral("ORV"));
        QCOMPARE(m.botones, Mensaje::Botones::Aceptar);
    }
    QCOMPARE(Mensaje::respuestasPendientes(), 0);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QVERIFY(!f.isVisible());

    QCOMPARE(e.Variables[2].Codigo, int16_t(codigo));
    QCOMPARE(e.Variables[2].Nivel, int16_t(nivel));
    QCOMPARE(e.NivelCalculado, int16_t(nivel));
    // The other slots and the other groups' copies stay as they were.
    QCOMPARE(e.Variables[0].Nivel, int16_t(2));
    QCOMPARE(e.Variables[1].Codigo, int16_t(MurosDivisorios));
    QCOMPARE(e.Variables[3].Codigo, int16_t(-1));
    for (int i = 0; i < 25; ++i) {
        const int esperado = (i / 5 == grupo) ? copias[i % 5] : 7;
        QCOMPARE(int(e.NivelesProporcion[i]), esperado);
    }
}

void PruebaFormularioProporcion::totalCeroSinDivision()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.NivelesProporcion.fill(9);
    Calificacion::PrepararVariable(e, Vigas);
    Form5 f(e);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const double v = ValorDifuso(Membresias{});
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    const int nivel = NivelMasCercanoDe(v);
    const QStringList frases{"DAÑO MUY LEVE  (", "DAÑO LEVE  (", "DAÑO MODERADO  (", "DAÑO FUERTE  (", "DAÑO SEVERO  ("};
    QCOMPARE(Mensaje::textosMostrados(), QStringList{Encabezado + frases[nivel] + IndiceImpreso(v) + ")"});
    QCOMPARE(e.Variables[0].Codigo, int16_t(Vigas));
    QCOMPARE(e.Variables[0].Nivel, int16_t(nivel));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(int(e.NivelesProporcion[i]), 0);
    QCOMPARE(int(e.NivelesProporcion[5]), 9);
}

void PruebaFormularioProporcion::barrasConElRaton()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Columnas);
    Form5 f(e);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QScrollBar *b = Barra(&f, 2);
    // The trough beyond the handle adds 5 points, the end arrow 1.
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, Calificacion::Centro(b, QStyle::SC_ScrollBarAddPage));
    QCOMPARE(b->value(), 5);
    QCOMPARE(Etiqueta(&f, 2)->text(), QStringLiteral(" 5"));
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, Calificacion::Centro(b, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(b->value(), 6);
    QCOMPARE(Etiqueta(&f, 2)->text(), QStringLiteral(" 6"));
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, Calificacion::Centro(b, QStyle::SC_ScrollBarSubLine));
    QCOMPARE(b->value(), 5);
    QCOMPARE(Etiqueta(&f, 2)->text(), QStringLiteral(" 5"));
    // The other labels did not move.
    QCOMPARE(Etiqueta(&f, 1)->text(), QStringLiteral("0"));
    QCOMPARE(Etiqueta(&f, 3)->text(), QStringLiteral("0"));

    // Dragging the handle: the label follows only when it is released.
    const QPoint asa = Calificacion::Centro(b, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, asa);
    QMouseEvent mover(QEvent::MouseMove, QPointF(asa + QPoint(b->width() / 3, 0)), b->mapToGlobal(QPointF(asa + QPoint(b->width() / 3, 0))),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &mover);
    QVERIFY(b->sliderPosition() > 5);
    QCOMPARE(Etiqueta(&f, 2)->text(), QStringLiteral(" 5"));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, asa + QPoint(b->width() / 3, 0));
    QVERIFY(b->value() > 5);
    QCOMPARE(Etiqueta(&f, 2)->text(), QStringLiteral(" %1").arg(b->value()));
}

void PruebaFormularioProporcion::tecladoSolo()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Muros);
    Form5 f(e);
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), Barra(&f, 0));

    // Tab walks the bars from level I to V, then the buttons.
    QStringList orden;
    for (int i = 0; i < 7; ++i) {
        orden << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(orden, (QStringList{"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV", "btnDanno", "btnAceptar"}));
    QCOMPARE(QApplication::focusWidget(), Barra(&f, 0));

    // Arrows and page keys move the focused bar; Home and End reach the ends.
    QTest::keyClick(Barra(&f, 0), Qt::Key_End);
    QCOMPARE(Etiqueta(&f, 0)->text(), QStringLiteral(" 100"));
    QTest::keyClick(Barra(&f, 0), Qt::Key_Left);
    QTest::keyClick(Barra(&f, 0), Qt::Key_PageDown);
    QCOMPARE(Etiqueta(&f, 0)->text(), QStringLiteral(" 94"));
    QTest::keyClick(Barra(&f, 0), Qt::Key_Home);
    QCOMPARE(Etiqueta(&f, 0)->text(), QStringLiteral(" 0"));
    QTest::keyClick(Barra(&f, 0), Qt::Key_Left);
    QCOMPARE(Barra(&f, 0)->value(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Barra(&f, 4));
    Calificacion::PonerBarra(Barra(&f, 4), 12);
    QCOMPARE(Etiqueta(&f, 4)->text(), QStringLiteral(" 12"));

    // Enter on a bar accepts; so does Enter on the description button, which
    // never takes the default away from "Aceptar".
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    QTest::keyClick(Barra(&f, 4), Qt::Key_Return);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(e.Variables[0].Codigo, int16_t(Muros));
    QCOMPARE(e.Variables[0].Nivel, int16_t(4));
    QCOMPARE(Mensaje::textosMostrados().size(), 2);

    EstadoEvaluacion e2 = EstadoNuevo();
    Calificacion::PrepararVariable(e2, Vigas);
    Form5 g(e2);
    g.show();
    QApplication::setActiveWindow(&g);
    QVERIFY(QTest::qWaitForWindowActive(&g));
    auto *danno = Buscar<QPushButton>(&g, QStringLiteral("btnDanno"));
    danno->setFocus();
    Mensaje::limpiar();
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    QTest::keyClick(danno, Qt::Key_Enter);
    QCOMPARE(g.result(), int(QDialog::Accepted));
    QCOMPARE(e2.Variables[0].Codigo, int16_t(Vigas));
}

void PruebaFormularioProporcion::cerrarSinAceptarNoGuarda_data()
{
    QTest::addColumn<int>("forma");
    QTest::newRow("escape") << 0;
    QTest::newRow("cuadro de cierre") << 1;
}

void PruebaFormularioProporcion::cerrarSinAceptarNoGuarda()
{
    QFETCH(int, forma);
    EstadoEvaluacion e = EstadoNuevo();
    e.Variables[0].Codigo = Vigas;
    e.Variables[0].Nivel = 3;
    e.UltimaVariable = 0;
    e.NivelesProporcion.fill(4);
    e.NivelCalculado = 2;
    Calificacion::PrepararVariable(e, Columnas);
    const EstadoEvaluacion antes = e;

    Form5 f(e);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Calificacion::PonerBarra(Barra(&f, 4), 80);
    if (forma == 0)
        QTest::keyClick(Barra(&f, 4), Qt::Key_Escape);
    else
        f.close();
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QVERIFY(Mensaje::textosMostrados().isEmpty());
    for (int i = 0; i < NumVariables; ++i) {
        QCOMPARE(e.Variables[i].Codigo, antes.Variables[i].Codigo);
        QCOMPARE(e.Variables[i].Nivel, antes.Variables[i].Nivel);
    }
    QCOMPARE(e.Variables[1].Codigo, int16_t(-1));
    QVERIFY(e.NivelesProporcion == antes.NivelesProporcion);
    QCOMPARE(e.NivelCalculado, antes.NivelCalculado);
}

void PruebaFormularioProporcion::recalificarUsaElMismoSlot()
{
    // A second rating, with the slot the button found, starts from zero and
    // overwrites the level and the group's copies.
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Columnas);
    {
        Form5 f(e);
        f.show();
        Calificacion::PonerBarra(Barra(&f, 4), 100);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    }
    QCOMPARE(e.Variables[0].Nivel, int16_t(4));
    e.IndiceVariable = 0;
    Form5 f(e);
    f.show();
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(Barra(&f, k)->value(), 0);
        QCOMPARE(Etiqueta(&f, k)->text(), QStringLiteral("0"));
    }
    Calificacion::PonerBarra(Barra(&f, 0), 100);
    Mensaje::limpiar();
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    QCOMPARE(e.Variables[0].Codigo, int16_t(Columnas));
    QCOMPARE(e.Variables[0].Nivel, int16_t(0));
    QCOMPARE(e.Variables[1].Codigo, int16_t(-1));
    QCOMPARE(int(e.NivelesProporcion[5]), 100);
    QCOMPARE(int(e.NivelesProporcion[9]), 0);
}

void PruebaFormularioProporcion::nivelesDeDannoAbreElVisor()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Nudos, QStringLiteral("NudosConc"), QStringLiteral("Nudo"));
    Form5 f(e);
    f.EstablecerVariable(QStringLiteral("NUDOS"));
    f.show();
    QString titulo, ventana, nombre;
    Prueba::AlAbrirseModal([&](QWidget *visor) {
        nombre = visor->objectName();
        ventana = visor->windowTitle();
        titulo = Buscar<QLabel>(visor, QStringLiteral("lblDanno"))->text();
        QTest::mouseClick(Buscar<QPushButton>(visor, QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnDanno")), Qt::LeftButton);
    QVERIFY(Prueba::ModalAtendido());
    QCOMPARE(nombre, QStringLiteral("Form10"));
    QCOMPARE(ventana, QStringLiteral("ORV - Quenbria"));
    QCOMPARE(titulo, QStringLiteral("Nivel"));
    // The counts come from "Estructurales" for the element's key.
    for (int n = 1; n <= 5; ++n)
        QVERIFY(e.NumFotosNivel[n] > 0);
    // The rating is neither read nor changed; the form is still open.
    QVERIFY(f.isVisible());
    QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
}

void PruebaFormularioProporcion::calificarProporcionDevuelveSiSeAcepto()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Entrepiso);
    QString titulo;
    Prueba::AlAbrirseModal([&](QWidget *forma) {
        titulo = Buscar<QLabel>(forma, QStringLiteral("lblVariable"))->text();
        Calificacion::PonerBarra(Buscar<QScrollBar>(forma, QStringLiteral("HSGrupoII")), 100);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        QTest::mouseClick(Buscar<QPushButton>(forma, QStringLiteral("btnAceptar")), Qt::LeftButton);
    });
    QVERIFY(CalificarProporcion(nullptr, e, QStringLiteral("ENTREPISO")));
    QCOMPARE(titulo, QStringLiteral("ENTREPISO"));
    QCOMPARE(e.Variables[0].Codigo, int16_t(Entrepiso));
    QCOMPARE(int(e.NivelesProporcion[21]), 100);

    Calificacion::PrepararVariable(e, Vigas);
    Prueba::AlAbrirseModal([&](QWidget *forma) { QTest::keyClick(forma, Qt::Key_Escape); });
    QVERIFY(!CalificarProporcion(nullptr, e, QStringLiteral("VIGAS")));
    QCOMPARE(e.Variables[1].Codigo, int16_t(-1));
}

QTEST_MAIN(PruebaFormularioProporcion)
#include "test_proportion_rating.moc"
