// The qualitative rating dialog driven through its options and buttons.

#include "app/message_box.h"
#include "app/widget_support.h"
#include "rating/qualitative_rating_form.h"
#include "rating/rating_dialogs.h"
#include "rating_helpers.h"
#include "test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {
const QStringList Danno{"Ninguno", "Leve", "Moderado", "Fuerte", "Severo"};
const QStringList Afectacion18{"Ninguno", "Leve", "Moderado", "Grave", "Severo"};
const QStringList Calidad{"Muy Buena", "Buena", "Regular", "Mala", "Muy Mala"};
const QStringList Irregularidad{"Mínima", "Poca", "Considerable", "Alta", "Muy Alta"};

QRadioButton *Opcion(QWidget *f, int k) { return Buscar<QRadioButton>(f, NombreElemento(QStringLiteral("Option1"), k)); }

EstadoEvaluacion EstadoNuevo()
{
    EstadoEvaluacion e;
    e.Reiniciar();
    return e;
}

// Chooses option k the way the evaluator does: a click, or arrows from the
// option chosen on opening.
void Elegir(QWidget *f, int k, bool conTeclado)
{
    if (conTeclado) {
        QApplication::setActiveWindow(f->window());
        QVERIFY(QTest::qWaitForWindowActive(f->window()));
        Opcion(f, 0)->setFocus();
        for (int i = 0; i < k; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    } else {
        QTest::mouseClick(Opcion(f, k), Qt::LeftButton, Qt::NoModifier, QPoint(8, Opcion(f, k)->height() / 2));
    }
}
}  // namespace

class PruebaFormularioCualitativo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init() { Mensaje::limpiar(); }

    void controlesYTextos();
    void guardarVariable_data();
    void guardarVariable();
    void guardarOtroElemento_data();
    void guardarOtroElemento();
    void aceptarDeInmediatoGuardaNivelCero();
    void recalificarSobrescribe();
    void otroSinElegirOtrosNoGuarda();
    void cerrarSinAceptarNoGuarda_data();
    void cerrarSinAceptarNoGuarda();
    void tecladoSolo();
    void verDannosAbreSuVisor_data();
    void verDannosAbreSuVisor();
    void calificarCualitativaDevuelveSiSeAcepto();
};

void PruebaFormularioCualitativo::controlesYTextos()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, AsentamientoLicuacion);
    Form9 f(e);
    QCOMPARE(Buscar<QGroupBox>(&f, QStringLiteral("frmCalificacion"))->title(), QStringLiteral("Calificación"));
    f.EstablecerTextos(QStringLiteral("ASENTAMIENTO, SUBSIDENCIA Y LICUACION DEL SUELO"), QStringLiteral("Nivel de Afectación"),
                       Afectacion18);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.windowTitle(), QStringLiteral("ORV"));
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblTipo"))->text(), QStringLiteral("ASENTAMIENTO, SUBSIDENCIA Y LICUACION DEL SUELO"));
    auto *marco = Buscar<QGroupBox>(&f, QStringLiteral("frmCalificacion"));
    QCOMPARE(marco->title(), QStringLiteral("Nivel de Afectación"));
    QVERIFY(Buscar<QFrame>(&f, QStringLiteral("frmDefinicion")));
    int arriba = -1;
    for (int k = 0; k < 5; ++k) {
        QRadioButton *o = Opcion(&f, k);
        QCOMPARE(o->text(), Afectacion18[k]);
        QVERIFY(marco->isAncestorOf(o));
        QCOMPARE(o->isChecked(), k == 0);
        // Stacked from the top: 0 above 1 above ... 4.
        const int y = o->mapTo(&f, QPoint(0, 0)).y();
        QVERIFY(y > arriba);
        arriba = y + o->height() - 1;
        QVERIFY(o->width() >= o->sizeHint().width());
    }
    auto *aceptar = Buscar<QPushButton>(&f, QStringLiteral("btnAceptar"));
    QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
    QCOMPARE(aceptar->toolTip(), QStringLiteral("Guardar Pesos y Calificación"));
    QVERIFY(aceptar->isDefault());
    QCOMPARE(Buscar<QPushButton>(&f, QStringLiteral("btnDanno"))->text(), QStringLiteral("Ver Daños"));
    QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
}

void PruebaFormularioCualitativo::guardarVariable_data()
{
    QTest::addColumn<int>("codigo");
    QTest::addColumn<int>("opcion");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("teclado");
    QTest::addColumn<QStringList>("opciones");

    QTest::newRow("muros divisorios leve") << int(MurosDivisorios) << 1 << 0 << false << Danno;
    QTest::newRow("muros de fachada severo") << int(MurosFachada) << 4 << 1 << true << Danno;
    QTest::newRow("escaleras moderado") << int(Escaleras) << 2 << 2 << false << Danno;
    QTest::newRow("taludes fuerte") << int(Taludes) << 3 << 7 << true << Danno;
    QTest::newRow("asentamiento grave es nivel 3") << int(AsentamientoLicuacion) << 3 << 8 << false << Afectacion18;
    QTest::newRow("calidad mala en el slot 9") << int(CalidadMateriales) << 3 << 9 << false << Calidad;
    QTest::newRow("irregularidad en planta muy alta") << int(IrregularidadPlanta) << 4 << 10 << true << Irregularidad;
    QTest::newRow("irregularidad en altura poca") << int(IrregularidadAltura) << 1 << 11 << false << Irregularidad;
    QTest::newRow("configuracion regular") << int(ConfiguracionEstructural) << 2 << 12 << true << Calidad;
}

void PruebaFormularioCualitativo::guardarVariable()
{
    QFETCH(int, codigo);
    QFETCH(int, opcion);
    QFETCH(int, slot);
    QFETCH(bool, teclado);
    QFETCH(QStringList, opciones);

    EstadoEvaluacion e = EstadoNuevo();
    e.Variables[0].Codigo = Columnas;
    e.Variables[0].Nivel = 2;
    e.UltimaVariable = 0;
    e.NivelesCualitativos.fill(6);
    e.OtrosNoEstructurales[0].Codigo = Cubierta;
    e.OtrosNoEstructurales[0].Nivel = 1;
    e.UltimoOtro = 0;
    e.IndiceOtro = 0;
    Calificacion::PrepararVariable(e, codigo);
    const EstadoEvaluacion antes = e;

    Form9 f(e);
    f.EstablecerTextos(QStringLiteral("TITULO"), QStringLiteral("Calificación"), opciones);
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    Elegir(&f, opcion, teclado);
    QVERIFY(Opcion(&f, opcion)->isChecked());
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    QCOMPARE(f.result(), int(QDialog::Accepted));

    QCOMPARE(e.Variables[1].Codigo, int16_t(codigo));
    QCOMPARE(e.Variables[1].Nivel, int16_t(opcion));
    for (int i = 0; i < 13; ++i)
        QCOMPARE(int(e.NivelesCualitativos[i]), i == slot ? opcion : 6);
    QCOMPARE(e.Variables[0].Codigo, int16_t(Columnas));
    QCOMPARE(e.Variables[0].Nivel, int16_t(2));
    QCOMPARE(e.Variables[2].Codigo, int16_t(-1));
    QCOMPARE(e.OtrosNoEstructurales[0].Codigo, antes.OtrosNoEstructurales[0].Codigo);
    QCOMPARE(e.OtrosNoEstructurales[0].Nivel, antes.OtrosNoEstructurales[0].Nivel);
    QCOMPARE(e.OtrosNoEstructurales[1].Codigo, int16_t(-1));
    QVERIFY(Mensaje::textosMostrados().isEmpty());
}

void PruebaFormularioCualitativo::guardarOtroElemento_data()
{
    QTest::addColumn<int>("codigo");
    QTest::addColumn<int>("opcion");
    QTest::addColumn<int>("slot");
    QTest::newRow("cielo rasos moderado") << int(CieloRasos) << 2 << 3;
    QTest::newRow("instalaciones leve") << int(Instalaciones) << 1 << 4;
    QTest::newRow("cubierta fuerte") << int(Cubierta) << 3 << 5;
    QTest::newRow("tanques severo") << int(TanquesElevados) << 4 << 6;
}

void PruebaFormularioCualitativo::guardarOtroElemento()
{
    QFETCH(int, codigo);
    QFETCH(int, opcion);
    QFETCH(int, slot);

    EstadoEvaluacion e = EstadoNuevo();
    e.Variables[0].Codigo = MurosDivisorios;
    e.Variables[0].Nivel = 2;
    e.UltimaVariable = 0;
    e.IndiceVariable = 0;
    e.NivelesCualitativos.fill(6);
    e.OtrosNoEstructurales[0].Codigo = codigo == CieloRasos ? Instalaciones : CieloRasos;
    e.OtrosNoEstructurales[0].Nivel = 1;
    e.UltimoOtro = 0;
    Calificacion::PrepararOtro(e, codigo);
    QCOMPARE(e.IndiceOtro, int16_t(1));

    Form9 f(e);
    f.EstablecerTextos(QStringLiteral("TITULO"), QStringLiteral("Calificación del Daño"), Danno);
    f.show();
    Elegir(&f, opcion, false);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);

    QCOMPARE(e.OtrosNoEstructurales[1].Codigo, int16_t(codigo));
    QCOMPARE(e.OtrosNoEstructurales[1].Nivel, int16_t(opcion));
    QCOMPARE(e.OtrosNoEstructurales[0].Nivel, int16_t(1));
    QCOMPARE(e.OtrosNoEstructurales[2].Codigo, int16_t(-1));
    for (int i = 0; i < 13; ++i)
        QCOMPARE(int(e.NivelesCualitativos[i]), i == slot ? opcion : 6);
    // The main table is not touched.
    QCOMPARE(e.Variables[0].Codigo, int16_t(MurosDivisorios));
    QCOMPARE(e.Variables[0].Nivel, int16_t(2));
    QCOMPARE(e.Variables[1].Codigo, int16_t(-1));
}

void PruebaFormularioCualitativo::aceptarDeInmediatoGuardaNivelCero()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.NivelesCualitativos.fill(3);
    Calificacion::PrepararVariable(e, Escaleras);
    e.Variables[0].Nivel = 4;  // whatever the slot held before
    Form9 f(e);
    f.EstablecerTextos(QStringLiteral("ESCALERAS"), QStringLiteral("Calificación del Daño"), Danno);
    f.show();
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    QCOMPARE(e.Variables[0].Codigo, int16_t(Escaleras));
    QCOMPARE(e.Variables[0].Nivel, int16_t(0));
    QCOMPARE(int(e.NivelesCualitativos[2]), 0);
}

void PruebaFormularioCualitativo::recalificarSobrescribe()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, Taludes);
    Calificacion::PrepararVariable(e, CalidadMateriales);
    {
        Form9 f(e);
        f.EstablecerTextos(QStringLiteral("CALIDAD DE LOS MATERIALES"), QStringLiteral("Calificación"), Calidad);
        f.show();
        Elegir(&f, 4, false);
        QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    }
    QCOMPARE(int(e.NivelesCualitativos[9]), 4);
    // The button found slot 1 again for the second rating.
    e.IndiceVariable = 1;
    Form9 f(e);
    f.EstablecerTextos(QStringLiteral("CALIDAD DE LOS MATERIALES"), QStringLiteral("Calificación"), Calidad);
    f.show();
    QVERIFY(Opcion(&f, 0)->isChecked());
    Elegir(&f, 1, true);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    QCOMPARE(e.Variables[1].Codigo, int16_t(CalidadMateriales));
    QCOMPARE(e.Variables[1].Nivel, int16_t(1));
    QCOMPARE(int(e.NivelesCualitativos[9]), 1);
    QCOMPARE(e.Variables[2].Codigo, int16_t(-1));
}

void PruebaFormularioCualitativo::otroSinElegirOtrosNoGuarda()
{
    // An other element is stored only while the other elements were chosen.
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararOtro(e, Cubierta);
    e.OtrosElegidos = 0;
    e.NivelesCualitativos.fill(2);
    Form9 f(e);
    f.show();
    Elegir(&f, 4, false);
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    QCOMPARE(e.OtrosNoEstructurales[0].Codigo, int16_t(-1));
    QCOMPARE(e.OtrosNoEstructurales[0].Nivel, int16_t(0));
    for (int i = 0; i < 13; ++i)
        QCOMPARE(int(e.NivelesCualitativos[i]), 2);
}

void PruebaFormularioCualitativo::cerrarSinAceptarNoGuarda_data()
{
    QTest::addColumn<bool>("otro");
    QTest::addColumn<bool>("escape");
    QTest::newRow("variable, escape") << false << true;
    QTest::newRow("variable, cuadro de cierre") << false << false;
    QTest::newRow("otro elemento, escape") << true << true;
    QTest::newRow("otro elemento, cuadro de cierre") << true << false;
}

void PruebaFormularioCualitativo::cerrarSinAceptarNoGuarda()
{
    QFETCH(bool, otro);
    QFETCH(bool, escape);
    EstadoEvaluacion e = EstadoNuevo();
    e.NivelesCualitativos.fill(1);
    if (otro)
        Calificacion::PrepararOtro(e, TanquesElevados);
    else
        Calificacion::PrepararVariable(e, IrregularidadAltura);
    Form9 f(e);
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    Elegir(&f, 3, true);
    if (escape)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else
        f.close();
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QVERIFY(!f.isVisible());
    for (const VariableCalificada &v : e.Variables) {
        QCOMPARE(v.Codigo, int16_t(-1));
        QCOMPARE(v.Nivel, int16_t(0));
    }
    for (const OtroCalificado &o : e.OtrosNoEstructurales) {
        QCOMPARE(o.Codigo, int16_t(-1));
        QCOMPARE(o.Nivel, int16_t(0));
    }
    for (int16_t n : e.NivelesCualitativos)
        QCOMPARE(int(n), 1);
}

void PruebaFormularioCualitativo::tecladoSolo()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararVariable(e, IrregularidadPlanta);
    Form9 f(e);
    f.EstablecerTextos(QStringLiteral("IRREGULARIDAD EN PLANTA"), QStringLiteral("Calificación"), Irregularidad);
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), Opcion(&f, 0));

    // Arrows move the choice, and stop at both ends.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(Opcion(&f, 2)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(Opcion(&f, 1)->isChecked());
    QCOMPARE(f.OpcionElegida(), 1);

    // Tab leaves the options for "Aceptar", then "Ver Daños", and back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnAceptar"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnDanno"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Opcion(&f, 1));

    // Enter accepts.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(e.Variables[0].Codigo, int16_t(IrregularidadPlanta));
    QCOMPARE(e.Variables[0].Nivel, int16_t(1));
    QCOMPARE(int(e.NivelesCualitativos[10]), 1);
}

void PruebaFormularioCualitativo::verDannosAbreSuVisor_data()
{
    QTest::addColumn<int>("variable");
    QTest::addColumn<int>("otro");
    QTest::addColumn<QString>("carpeta");
    QTest::addColumn<QString>("visor");
    QTest::addColumn<QString>("titulo");

    QTest::newRow("14") << 14 << -1 << "Divisorios" << "Form10" << "MUROS DIVISORIOS";
    QTest::newRow("15") << 15 << -1 << "Fachada" << "Form10" << "MUROS DE FACHADA Y ANTEPECHOS";
    QTest::newRow("16") << 16 << -1 << "Escaleras" << "Form10" << "ESCALERAS";
    QTest::newRow("17") << 17 << -1 << "GrietDesli" << "Form14" << "FALLAS EN TALUDES O MOVIMIENTOS DE MASA";
    QTest::newRow("18") << 18 << -1 << "LicAsent" << "Form14" << "ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN";
    QTest::newRow("19") << 19 << -1 << "Calidad" << "Form14" << "CALIDAD DE LOS MATERIALES Y CONSTRUCCIÓN";
    QTest::newRow("20") << 20 << -1 << "IrregPlanta" << "Form14" << "IRREGULARIDAD EN PLANTA";
    QTest::newRow("21") << 21 << -1 << "IrregAltura" << "Form14" << "IRREGULARIDAD EN ALTURA";
    QTest::newRow("22") << 22 << -1 << "Configuracion" << "Form14" << "CONFIGURACIÓN ESTRUCTURAL";
    QTest::newRow("otro 0") << -1 << 0 << "CieloLuminaria" << "Form10" << "CIELOS RASOS Y LUMINARIAS";
    QTest::newRow("otro 1") << -1 << 1 << "Instalaciones" << "Form10" << "INSTALACIONES";
    QTest::newRow("otro 2") << -1 << 2 << "Cubierta" << "Form10" << "CUBIERTA";
    QTest::newRow("otro 3") << -1 << 3 << "Tanques" << "Form10" << "TANQUES ELEVADOS";
}

void PruebaFormularioCualitativo::verDannosAbreSuVisor()
{
    QFETCH(int, variable);
    QFETCH(int, otro);
    QFETCH(QString, carpeta);
    QFETCH(QString, visor);
    QFETCH(QString, titulo);

    EstadoEvaluacion e = EstadoNuevo();
    if (otro >= 0)
        Calificacion::PrepararOtro(e, otro, carpeta, QStringLiteral("x"));
    else
        Calificacion::PrepararVariable(e, variable, carpeta, QStringLiteral("x"));
    e.NumFotosNivel.fill(0);
    e.NumFotos = 0;
    Form9 f(e);
    f.show();
    QString abierto, texto;
    Prueba::AlAbrirseModal([&](QWidget *w) {
        abierto = w->objectName();
        texto = Buscar<QLabel>(w, QStringLiteral("lblDanno"))->text();
        QTest::mouseClick(Buscar<QPushButton>(w, QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(Buscar<QPushButton>(&f, QStringLiteral("btnDanno")), Qt::LeftButton);
    QVERIFY(Prueba::ModalAtendido());
    QCOMPARE(abierto, visor);
    QCOMPARE(texto, titulo);
    // The counts were read from the photo table of the element's kind.
    if (visor == QLatin1String("Form10")) {
        for (int n = 1; n <= 5; ++n)
            QVERIFY(e.NumFotosNivel[n] > 0);
    } else {
        QVERIFY(e.NumFotos > 0);
    }
    QVERIFY(f.isVisible());
    QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
    QCOMPARE(e.OtrosNoEstructurales[0].Codigo, int16_t(-1));
}

void PruebaFormularioCualitativo::calificarCualitativaDevuelveSiSeAcepto()
{
    EstadoEvaluacion e = EstadoNuevo();
    Calificacion::PrepararOtro(e, TanquesElevados);
    QStringList vistos;
    Prueba::AlAbrirseModal([&](QWidget *f) {
        vistos << Buscar<QLabel>(f, QStringLiteral("lblTipo"))->text()
               << Buscar<QGroupBox>(f, QStringLiteral("frmCalificacion"))->title();
        for (int k = 0; k < 5; ++k)
            vistos << Opcion(f, k)->text();
        QTest::mouseClick(Opcion(f, 4), Qt::LeftButton, Qt::NoModifier, QPoint(8, Opcion(f, 4)->height() / 2));
        QTest::mouseClick(Buscar<QPushButton>(f, QStringLiteral("btnAceptar")), Qt::LeftButton);
    });
    QVERIFY(CalificarCualitativa(nullptr, e, QStringLiteral("TANQUES ELEVADOS"), QStringLiteral("Calificación del Daño"), Danno));
    QCOMPARE(vistos, (QStringList{"TANQUES ELEVADOS", "Calificación del Daño"} + Danno));
    QCOMPARE(e.OtrosNoEstructurales[0].Codigo, int16_t(TanquesElevados));
    QCOMPARE(e.OtrosNoEstructurales[0].Nivel, int16_t(4));
    QCOMPARE(int(e.NivelesCualitativos[6]), 4);
    for (const VariableCalificada &v : e.Variables)
        QCOMPARE(v.Codigo, int16_t(-1));

    Calificacion::PrepararVariable(e, Taludes);
    Prueba::AlAbrirseModal([&](QWidget *f) { f->close(); });
    QVERIFY(!CalificarCualitativa(nullptr, e, QStringLiteral("FALLAS EN TALUDES O MOVIMIENTOS DE MASA"),
                                  QStringLiteral("Nivel de Afectación"), Danno));
    QCOMPARE(e.Variables[0].Codigo, int16_t(-1));
}

QTEST_MAIN(PruebaFormularioCualitativo)
#include "test_qualitative_rating.moc"
