// Whole evaluations from the evaluation form, as an evaluator makes them:
// building data, every rating through its dialog, "Evaluar", the results form.
// One building per structural family, the four relevance cases, the other
// non-structural elements, and the four category buttons.

#include "app/message_box.h"
#include "data/data_paths.h"
#include "engine/evaluation_driver.h"
#include "engine/proportion_rating.h"
#include "evaluation/element_dispatch.h"
#include "evaluation/evaluation_form.h"
#include "results/result_classification.h"
#include "test_support.h"

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

const char *const Barras[5] = {"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV"};

struct Calificacion {
    QString boton;
    std::array<int, 5> barras{};  // proportion dialog
    int opcion = 0;                // qualitative dialog
};

struct Edificio {
    QString sistema;
    QList<Calificacion> calificaciones;
    bool check2 = false, check3 = false, otros = false;
};

Calificacion Proporcion(const QString &b, std::array<int, 5> v) { return {b, v, 0}; }
Calificacion Cualitativa(const QString &b, int o) { return {b, {}, o}; }

QList<Calificacion> NoEstructurales(int a, int b, int c)
{
    return {Cualitativa("btnDivisorios", a), Cualitativa("btnFachada", b), Cualitativa("btnEscaleras", c)};
}
QList<Calificacion> Suelo(int a, int b) { return {Cualitativa("btnDeslizamGrietas", a), Cualitativa("btnAsentamLicuac", b)}; }
QList<Calificacion> Preexistentes(int a, int b, int c, int d)
{
    return {Cualitativa("btnCalidad", a), Cualitativa("btnIrregularidadPlanta", b), Cualitativa("btnIrregularidadAltura", c),
            Cualitativa("btnConfiguracion", d)};
}

void Escribir(Form1 &f, const QString &caja, const QString &texto)
{
    auto *e = f.findChild<QLineEdit *>(caja);
    e->clear();
    QTest::keyClicks(e, texto);
}

void Elegir(Form1 &f, const QString &lista, const QString &texto)
{
    auto *c = f.findChild<QComboBox *>(lista);
    c->setCurrentIndex(c->findText(texto));
    QCOMPARE(c->currentText(), texto);
}

// Rates one element through its button and dialog, answering the messages
// the dialog shows.
void Calificar(Form1 &f, const Calificacion &c)
{
    const ElementoBoton *e = BuscarElementoBoton(c.boton);
    QVERIFY(e);
    f.MPNuevo()->setCurrentIndex(e->carpeta);
    Prueba::AlAbrirseModal([&](QWidget *w) {
        if (w->objectName() == QLatin1String("Form5")) {
            for (int k = 0; k < 5; ++k)
                w->findChild<QScrollBar *>(QString::fromLatin1(Barras[k]))->setValue(c.barras[k]);
            const CalificacionProporcion r = DerivarNivelProporcion(e->codigo, c.barras);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            if (!AdvertenciaEstabilidad(e->codigo, r.nivel).isEmpty())
                Mensaje::encolarRespuesta(Respuesta::Aceptar);
        } else {
            auto *o = w->findChild<QRadioButton *>(QStringLiteral("Option1(%1)").arg(c.opcion));
            QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(6, o->height() / 2));
        }
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnAceptar")), Qt::LeftButton);
    });
    QTest::mouseClick(f.Boton(c.boton), Qt::LeftButton);
    QVERIFY2(Prueba::ModalAtendido(), qPrintable(c.boton));
}

const QStringList EtiquetasValor = {"lblDE", "lblRiesgoEstructural", "lblIndiceEstructura", "lblDNE", "lblRiesgoNoEstruct",
                                    "lblIndiceNoestructural", "lblES", "lblRiesgoGeotec", "lblIndiceSuelo", "lblCP",
                                    "lblIndicePreexistente", "lblDaEdificio", "lblFinal", "lblLingHabitability",
                                    "lblLingReparability", "lblComDaEdificio", "lblComEstGlobal", "lblComHabitabilidad",
                                    "lblComSeguridad", "lblComReparaciones"};

// Runs the evaluation from the form and returns the text of every label of
// the results form (and whether each was enabled), leaving with "Aceptar".
QHash<QString, QString> EvaluarDesdeFormulario(EstadoEvaluacion &estado, const Edificio &ed, QHash<QString, bool> *habilitadas = nullptr)
{
    QHash<QString, QString> vistas;
    Form1 f(estado);
    f.show();
    Escribir(f, "txtNPisos", "3");
    Escribir(f, "txtNSotanos", "1");
    Escribir(f, "txtPisosTotal", "4");
    Escribir(f, "txtPMayorDanno", "2");
    f.findChild<QRadioButton *>(QStringLiteral("OptAnno(2)"))->click();
    Elegir(f, "cboTipoEstructura", ed.sistema);
    Elegir(f, "cboCubierta", "Teja de barro");
    Elegir(f, "cboEntrepiso", "Placa aligerada");
    if (ed.check2)
        f.findChild<QCheckBox *>(QStringLiteral("Check2"))->click();
    if (ed.check3)
        f.findChild<QCheckBox *>(QStringLiteral("Check3"))->click();
    if (ed.otros) {
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.MPNuevo()->setCurrentIndex(2);
        QTest::mouseClick(f.Boton("btnOtrosArquitectonicos"), Qt::LeftButton);
    }
    for (const Calificacion &c : ed.calificaciones)
        Calificar(f, c);

    Mensaje::encolarRespuesta(Respuesta::Si);  // "Todos los datos ingresados son correctos?"
    Prueba::AlAbrirseModal([&](QWidget *w) {
        for (const QString &n : EtiquetasValor) {
            auto *l = w->findChild<QLabel *>(n);
            if (!l)
                continue;
            vistas.insert(n, l->text());
            if (habilitadas)
                habilitadas->insert(n, l->isEnabled());
        }
        Mensaje::encolarRespuesta(Respuesta::Si);
        w->findChild<QPushButton *>(QStringLiteral("btnAceptar(0)"))->click();
    });
    QTest::mouseClick(f.Boton("btnMenu(0)"), Qt::LeftButton);
    if (!Prueba::ModalAtendido())
        qWarning() << "sin formulario de resultados:" << Mensaje::textosMostrados();
    // The results form closed: the evaluation form is gone too.
    if (f.isVisible())
        vistas.insert(QStringLiteral("formulario abierto"), QStringLiteral("sí"));
    return vistas;
}

// The same building straight through the engine, for comparison.
EtiquetasResultados EvaluarConMotor(const EstadoEvaluacion &calificado)
{
    EstadoEvaluacion e = calificado;
    EtiquetasResultados etiquetas;
    EvaluarEdificacion(e, LeerTablasPesos(RutasDatos::archivoReferencia()),
                       LeerTablasComentarios(RutasDatos::archivoComentarios()), 2, etiquetas);
    return etiquetas;
}

QHash<QString, QString> ComoTextos(const EtiquetasResultados &e)
{
    return {{"lblDE", e.lblDE}, {"lblRiesgoEstructural", e.lblRiesgoEstructural}, {"lblIndiceEstructura", e.lblIndiceEstructura},
            {"lblDNE", e.lblDNE}, {"lblRiesgoNoEstruct", e.lblRiesgoNoEstruct}, {"lblIndiceNoestructural", e.lblIndiceNoestructural},
            {"lblES", e.lblES}, {"lblRiesgoGeotec", e.lblRiesgoGeotec}, {"lblIndiceSuelo", e.lblIndiceSuelo}, {"lblCP", e.lblCP},
            {"lblIndicePreexistente", e.lblIndicePreexistente}, {"lblDaEdificio", e.lblDaEdificio}, {"lblFinal", e.lblFinal},
            {"lblLingHabitability", e.lblLingHabitability}, {"lblLingReparability", e.lblLingReparability},
            {"lblComDaEdificio", e.lblComDaEdificio}, {"lblComEstGlobal", e.lblComEstGlobal},
            {"lblComHabitabilidad", e.lblComHabitabilidad}, {"lblComSeguridad", e.lblComSeguridad},
            {"lblComReparaciones", e.lblComReparaciones}};
}

QString Texto(const TablaComentarios &tabla, const QString &codigo)
{
    const auto i = tabla.find(codigo);
    return i == tabla.end() ? QString() : i->second;
}

}  // namespace

class PruebaEvaluacionCompleta : public QObject {
    Q_OBJECT

    TablasComentarios comentarios_;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        comentarios_ = LeerTablasComentarios(RutasDatos::archivoComentarios());
    }
    void init() { Mensaje::limpiar(); }
    void cleanup() { QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n'))); }

    // Worked by hand: concrete frames with columns in Severo and everything
    // else undamaged.
    void porticosConColumnasSeveras()
    {
        Edificio ed{"Pórticos en concreto reforzado",
                    {Proporcion("btnVigas", {100, 0, 0, 0, 0}), Proporcion("btnColumnas", {0, 0, 0, 0, 100}),
                     Proporcion("btnNudos", {100, 0, 0, 0, 0}), Proporcion("btnEntrepiso", {100, 0, 0, 0, 0})}};
        ed.calificaciones += NoEstructurales(0, 0, 0) + Suelo(0, 0) + Preexistentes(0, 0, 0, 0);
        EstadoEvaluacion estado;
        const auto v = EvaluarDesdeFormulario(estado, ed);
        QVERIFY(!v.contains(QStringLiteral("formulario abierto")));
        QCOMPARE(v.value("lblDE"), QStringLiteral("Severo"));
        QCOMPARE(v.value("lblRiesgoEstructural"), QStringLiteral("Muy Alto"));
        QCOMPARE(v.value("lblIndiceEstructura"), QStringLiteral("0.76"));
        QCOMPARE(v.value("lblDNE"), QStringLiteral("Muy Leve"));
        QCOMPARE(v.value("lblIndiceNoestructural"), QStringLiteral("0.0582"));
        QCOMPARE(v.value("lblES"), QStringLiteral("Muy Buenas"));
        QCOMPARE(v.value("lblRiesgoGeotec"), QStringLiteral("Bajo"));
        QCOMPARE(v.value("lblCP"), QStringLiteral("Muy Buenas"));
        QCOMPARE(v.value("lblDaEdificio"), QStringLiteral("Severo"));
        QCOMPARE(v.value("lblFinal"), QStringLiteral("Muy Grave"));
        QCOMPARE(v.value("lblLingHabitability"), QStringLiteral("No Habitable"));
        QCOMPARE(v.value("lblLingReparability"), QStringLiteral("Posible Demolición"));
        QCOMPARE(estado.CodDannoEdificio, QStringLiteral("DE 40"));
        QCOMPARE(estado.CodMedidasSeguridad, QStringLiteral("MS 400"));
        QCOMPARE(estado.CodRefAnno, QString());
        QCOMPARE(v.value("lblComDaEdificio"), Texto(comentarios_.dannoEdificio, "DE 40"));
        QCOMPARE(v.value("lblComEstGlobal"), Texto(comentarios_.estadoGlobal, "EE 40"));
        QCOMPARE(v.value("lblComHabitabilidad"), Texto(comentarios_.habitabilidad, "H 40"));
        QCOMPARE(v.value("lblComSeguridad"), Texto(comentarios_.medidasSeguridad, "MS 400"));
        QCOMPARE(v.value("lblComReparaciones"), Texto(comentarios_.reparabilidad, "R 40"));
        QVERIFY(!v.value("lblComSeguridad").isEmpty());
        // The Severo rating of the columns came with its warning.
        QVERIFY(Mensaje::textosMostrados().contains(
            QStringLiteral("Ud. ha calificado las columnas en concreto con DAÑO SEVERO. Aunque los demás elementos no presenten "
                           "daños importantes la estabilidad de la edificación está en peligro.")));
        QCOMPARE(estado.Localizacion, QStringLiteral("Esquina"));
        QCOMPARE(estado.AnnoConstruccion, QStringLiteral("1983 a 1997"));
    }

    // A lightly damaged building in good condition: the year remark follows
    // the reparability comment.
    void edificioSanoConObservacionDelAnno()
    {
        Edificio ed{"Mampostería confinada",
                    {Proporcion("btnConfinada", {90, 10, 0, 0, 0}), Proporcion("btnEntrepiso", {100, 0, 0, 0, 0})}};
        ed.calificaciones += NoEstructurales(0, 1, 0) + Suelo(0, 0) + Preexistentes(1, 0, 0, 0);
        EstadoEvaluacion estado;
        const auto v = EvaluarDesdeFormulario(estado, ed);
        QVERIFY(estado.NivelEstadoGlobal <= 1);
        QCOMPARE(estado.CodRefAnno, QStringLiteral("RANNO2"));
        QCOMPARE(v.value("lblComReparaciones"),
                 Texto(comentarios_.reparabilidad, estado.CodReparabilidad) + QLatin1Char(' ') + Texto(comentarios_.refAnno, "RANNO2"));
    }

    void cadaFamiliaEstructural_data()
    {
        QTest::addColumn<QString>("sistema");
        QTest::addColumn<QStringList>("elementos");
        QTest::newRow("concreto") << "Prefabricado en Concreto" << QStringList{"btnVigas", "btnColumnas", "btnNudos"};
        QTest::newRow("muros concreto") << "Sistema Dual" << QStringList{"btnVigas", "btnColumnas", "btnNudos", "btnMuros"};
        QTest::newRow("mamposteria") << "Mampostería reforzada" << QStringList{"btnConfinada"};
        QTest::newRow("no reforzada") << "Mampostería no reforzada" << QStringList{"btnSinConfinar"};
        QTest::newRow("bahareque") << "Muros en bahareque no encementado" << QStringList{"btnBahareque"};
        QTest::newRow("tapia") << "Muros en tapia o adobe" << QStringList{"btnBahareque"};
        QTest::newRow("acero") << "Pórticos de acero en celosía" << QStringList{"btnVigasAcero", "btnColumnasAcero", "btnUnionAcero"};
        QTest::newRow("madera") << "Pórticos y paneles en madera" << QStringList{"btnVigasMadera", "btnColumnasMadera", "btnNudosMadera"};
    }

    void cadaFamiliaEstructural()
    {
        QFETCH(QString, sistema);
        QFETCH(QStringList, elementos);
        Edificio ed{sistema, {}};
        const std::array<std::array<int, 5>, 4> barras = {{{20, 40, 30, 10, 0}, {10, 20, 40, 20, 10}, {0, 30, 50, 20, 0}, {60, 30, 10, 0, 0}}};
        for (int i = 0; i < elementos.size(); ++i)
            ed.calificaciones << Proporcion(elementos[i], barras[i % 4]);
        ed.calificaciones << Proporcion("btnEntrepiso", {30, 40, 30, 0, 0});
        ed.calificaciones += NoEstructurales(1, 2, 0) + Suelo(1, 2) + Preexistentes(2, 1, 0, 3);
        EstadoEvaluacion estado;
        const auto v = EvaluarDesdeFormulario(estado, ed);
        QCOMPARE(estado.UltimaVariable, int16_t(elementos.size() + 9));
        const auto esperadas = ComoTextos(EvaluarConMotor(estado));
        for (const QString &n : EtiquetasValor)
            QCOMPARE(v.value(n), esperadas.value(n));
        QVERIFY(!v.value("lblComHabitabilidad").isEmpty());
    }

    void casosDeRelevancia_data()
    {
        QTest::addColumn<bool>("check2");
        QTest::addColumn<bool>("check3");
        QTest::addColumn<int>("caso");
        QTest::newRow("todo relevante") << false << false << 0;
        QTest::newRow("sin preexistentes") << true << false << 1;
        QTest::newRow("sin suelo") << false << true << 2;
        QTest::newRow("ninguno") << true << true << 3;
    }

    void casosDeRelevancia()
    {
        QFETCH(bool, check2);
        QFETCH(bool, check3);
        QFETCH(int, caso);
        Edificio ed{"Pórticos en acero arriostrados",
                    {Proporcion("btnVigasAcero", {50, 50, 0, 0, 0}), Proporcion("btnColumnasAcero", {40, 40, 20, 0, 0}),
                     Proporcion("btnUnionAcero", {60, 20, 20, 0, 0}), Proporcion("btnEntrepiso", {80, 20, 0, 0, 0})},
                    check2, check3};
        ed.calificaciones += NoEstructurales(2, 1, 1);
        if (!check3)
            ed.calificaciones += Suelo(3, 1);
        if (!check2)
            ed.calificaciones += Preexistentes(4, 0, 0, 1);
        EstadoEvaluacion estado;
        QHash<QString, bool> habilitadas;
        const auto v = EvaluarDesdeFormulario(estado, ed, &habilitadas);
        QCOMPARE(estado.CasoRelevancia, int16_t(caso));
        const bool sinSuelo = caso >= 2, sinPreex = caso == 1 || caso == 3;
        QCOMPARE(v.value("lblES") == QLatin1String("-"), sinSuelo);
        QCOMPARE(v.value("lblIndiceSuelo") == QLatin1String("-1"), sinSuelo);
        QCOMPARE(v.value("lblCP") == QLatin1String("-"), sinPreex);
        QCOMPARE(v.value("lblIndicePreexistente") == QLatin1String("-1"), sinPreex);
        QCOMPARE(habilitadas.value("lblES"), !sinSuelo);
        QCOMPARE(habilitadas.value("lblCP"), !sinPreex);
        if (sinSuelo) {
            QCOMPARE(estado.NivelSuelo, int16_t(0));
            QCOMPARE(estado.TextoSuelo, QStringLiteral("No Aplica"));
            QCOMPARE(estado.NivelEstadoGlobal, estado.NivelDannoEdificio);
        } else {
            // Taludes in Fuerte saturates the soil.
            QCOMPARE(estado.NivelSuelo, int16_t(3));
            QCOMPARE(v.value("lblIndiceSuelo"), QStringLiteral("0.55"));
        }
        if (sinPreex)
            QCOMPARE(estado.TextoPreexistente, QStringLiteral("No Aplica"));
        else
            QCOMPARE(estado.NivelPreexistente, int16_t(4));  // one clearly dominant condition
        const auto esperadas = ComoTextos(EvaluarConMotor(estado));
        for (const QString &n : EtiquetasValor)
            QCOMPARE(v.value(n), esperadas.value(n));
    }

    // A rating given before its category is declared not relevant stays, and
    // counts again when the category is relevant again.
    void relevanteDeNuevoRecuperaLasCalificaciones()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        Escribir(f, "txtNPisos", "1");
        Escribir(f, "txtNSotanos", "0");
        Escribir(f, "txtPisosTotal", "1");
        Escribir(f, "txtPMayorDanno", "1");
        Elegir(f, "cboTipoEstructura", "Mampostería no reforzada");
        Elegir(f, "cboCubierta", "Otros");
        Elegir(f, "cboEntrepiso", "Otros");
        QList<Calificacion> todas = {Proporcion("btnSinConfinar", {100, 0, 0, 0, 0}), Proporcion("btnEntrepiso", {100, 0, 0, 0, 0})};
        todas += NoEstructurales(0, 0, 0) + Suelo(4, 0) + Preexistentes(0, 0, 0, 0);
        for (const Calificacion &c : todas)
            Calificar(f, c);
        auto *check3 = f.findChild<QCheckBox *>(QStringLiteral("Check3"));
        check3->click();
        Mensaje::encolarRespuesta(Respuesta::No);  // not yet
        QTest::mouseClick(f.Boton("btnMenu(0)"), Qt::LeftButton);
        QCOMPARE(estado.CasoRelevancia, int16_t(2));
        check3->click();
        f.findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
        Mensaje::encolarRespuesta(Respuesta::Si);
        Prueba::AlAbrirseModal([&](QWidget *w) {
            Mensaje::encolarRespuesta(Respuesta::Si);
            w->findChild<QPushButton *>(QStringLiteral("btnAceptar(0)"))->click();
        });
        QTest::mouseClick(f.Boton("btnMenu(0)"), Qt::LeftButton);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(estado.CasoRelevancia, int16_t(0));
        // Taludes rated Severo counts again: the soil saturates.
        QCOMPARE(estado.NivelSuelo, int16_t(4));
        QCOMPARE(estado.IndiceSuelo, 0.76);
    }

    void otrosElementosCambianLosComentarios()
    {
        Edificio ed{"Pórticos y paneles en madera",
                    {Proporcion("btnVigasMadera", {100, 0, 0, 0, 0}), Proporcion("btnColumnasMadera", {100, 0, 0, 0, 0}),
                     Proporcion("btnNudosMadera", {100, 0, 0, 0, 0}), Proporcion("btnEntrepiso", {100, 0, 0, 0, 0}),
                     Cualitativa("btnCubiertaBaha", 4), Cualitativa("btnTanques", 1)},
                    false, false, true};
        ed.calificaciones += NoEstructurales(1, 1, 0) + Suelo(0, 1) + Preexistentes(0, 0, 0, 0);
        EstadoEvaluacion estado;
        const auto v = EvaluarDesdeFormulario(estado, ed);
        QCOMPARE(estado.OtrosMasGraves, int16_t(1));
        QVERIFY2(estado.CodDannoEdificio.startsWith(QStringLiteral("DEOA ")), qPrintable(estado.CodDannoEdificio));
        QVERIFY2(estado.CodMedidasSeguridad.startsWith(QStringLiteral("MSOA ")), qPrintable(estado.CodMedidasSeguridad));
        QCOMPARE(v.value("lblComDaEdificio"), Texto(comentarios_.dannoEdificio, estado.CodDannoEdificio));
        QCOMPARE(estado.NivelesCualitativos[5], int16_t(4));
        QCOMPARE(estado.NivelesCualitativos[6], int16_t(1));
    }

    void botonesDeCategoria()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        Elegir(f, "cboTipoEstructura", "Pórticos en concreto reforzado");
        Calificar(f, Proporcion("btnColumnas", {0, 0, 0, 0, 100}));
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        QTest::mouseClick(f.Boton("btnEvalEstCalib"), Qt::LeftButton);
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{QStringLiteral("Por saturación del daño en un elemento indispensable para la estabilidad estructural. \r"
                                            "Daño Estructural: SEVERO.\rRiesgo Estructural: MUY ALTO")});
        QVERIFY(!f.Boton("btnEvalEstCalib")->font().bold());

        for (const Calificacion &c : NoEstructurales(1, 1, 1))
            Calificar(f, c);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        QTest::mouseClick(f.Boton("btnEvalNoEstCalib"), Qt::LeftButton);
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{QStringLiteral("Riesgo No Estructural: Bajo.\rDaño No Estructural: Leve.\rIndice de Daño No Estructural = 0.1767.")});

        for (const Calificacion &c : Suelo(0, 4))
            Calificar(f, c);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.MPNuevo()->setCurrentIndex(3);
        QTest::mouseClick(f.Boton("btnEvaSueloCalib"), Qt::LeftButton);
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{QStringLiteral("Problemas geotécnicos ponen en peligro la estabilidad estructural.\rRiesgo Geotécnico: MUY ALTO.\r"
                                            "Condiciones del Suelo: MUY MALAS.\rIndice de Condiciones del Suelo = 0.76")});

        for (const Calificacion &c : Preexistentes(3, 1, 0, 0))
            Calificar(f, c);
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.MPNuevo()->setCurrentIndex(4);
        QTest::mouseClick(f.Boton("btnEvaPreexCalib"), Qt::LeftButton);
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{QStringLiteral("Algunas condiciones empeoran el estado del edificio.\rCondiciones Preexistentes: Malas.\r"
                                            "Indice de Condiciones Preexistentes = 0.55")});
    }

    void baseDeReferenciaAusenteAlEvaluar()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        Elegir(f, "cboTipoEstructura", "Pórticos en concreto reforzado");
        QTemporaryDir vacia;
        RutasDatos::establecerCarpetaInstalacion(vacia.path());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.BotonCategoria(QStringLiteral("btnEvalEstCalib"));
        RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos());
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        QVERIFY(Mensaje::textosMostrados().first().contains(QStringLiteral("ORV.sqlite")));
    }
};

QTEST_MAIN(PruebaEvaluacionCompleta)
#include "evaluation_journey_test.moc"
