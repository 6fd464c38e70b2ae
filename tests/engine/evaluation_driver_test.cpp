// Whole evaluations, the placeholders of categories not relevant and the
// completeness check.

#include "engine/evaluation_driver.h"
#include "engine/fuzzy_scale.h"
#include "engine/rule_tables.h"
#include "results/result_classification.h"
#include "test_support.h"

#include <QLocale>
#include <QTest>

namespace {

using Calificaciones = QList<QPair<int, int>>;

// The installation's default weights.
TablasPesos PesosDeFabrica()
{
    TablasPesos t;
    const std::array<double, 14> porticos{0.7, 1, 0.9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5};
    for (int s : {0, 9})
        t.sistema[s] = porticos;
    for (int s : {5, 8})
        t.sistema[s] = {0.7, 1, 0.9, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5};
    for (int s : {1, 2})
        t.sistema[s] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0.5};
    t.sistema[3] = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0.5};
    for (int s : {4, 12, 14})
        t.sistema[s] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0.5};
    for (int s : {6, 10, 13})
        t.sistema[s] = {0, 0, 0, 0, 0, 0, 0, 0.7, 1, 0.9, 0, 0, 0, 0.5};
    for (int s : {7, 11})
        t.sistema[s] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.7, 1, 0.9, 0.5};
    t.noEst = {0.6, 1, 0.8};
    t.suelo = {1, 1};
    t.preex = {1, 0.7, 0.8, 0.9};
    return t;
}

EstadoEvaluacion Estado(int sistema, int caso, const Calificaciones &calificaciones)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.TipoEstructura = static_cast<int16_t>(sistema);
    e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(caso);
    for (const auto &[codigo, nivel] : calificaciones) {
        ++e.UltimaVariable;
        e.Variables[e.UltimaVariable].Codigo = static_cast<int16_t>(codigo);
        e.Variables[e.UltimaVariable].Nivel = static_cast<int16_t>(nivel);
    }
    return e;
}

// Concrete frames with every variable rated at one level.
Calificaciones Porticos(int nivel)
{
    Calificaciones c;
    for (int codigo : {0, 1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22})
        c << qMakePair(codigo, nivel);
    return c;
}

void Evaluar(EstadoEvaluacion &e, EtiquetasResultados &et, const TablasPesos &pesos = PesosDeFabrica(), int anno = 0)
{
    MarcarNoRelevantes(e, e.CasoRelevancia);
    EvaluarEdificacion(e, pesos, TablasComentarios{}, anno, et);
}

}  // namespace

class PruebaMotor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void elementosPorSistema()
    {
        // The structural buttons each system shows, as codes.
        const QList<QList<int16_t>> botones = {
            {0, 1, 2}, {4}, {4}, {5}, {6}, {0, 1, 2, 3}, {7, 8, 9}, {10, 11, 12},
            {0, 1, 2, 3}, {0, 1, 2}, {7, 8, 9}, {10, 11, 12}, {6}, {7, 8, 9}, {6}};
        for (int16_t s = 0; s < 15; ++s)
            QCOMPARE(ElementosEstructuralesDelSistema(s), botones[s]);
        QVERIFY(ElementosEstructuralesDelSistema(15).isEmpty());
    }

    void faltantes_data()
    {
        QTest::addColumn<int>("sistema");
        QTest::addColumn<int>("caso");
        QTest::addColumn<QList<int>>("codigos");
        QTest::addColumn<QList<int16_t>>("faltan");
        const QList<int> resto = {13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
        QTest::newRow("pórticos completos") << 0 << 0 << (QList<int>{0, 1, 2} + resto) << QList<int16_t>{};
        QTest::newRow("pórticos sin nudos") << 0 << 0 << (QList<int>{0, 1} + resto) << QList<int16_t>{2};
        // A rating of a button hidden by a change of system does not stand in for one of this system.
        QTest::newRow("muros en vez de nudos") << 0 << 0 << (QList<int>{0, 1, 3} + resto) << QList<int16_t>{2};
        QTest::newRow("dual vacío, en orden") << 8 << 0 << QList<int>{} << QList<int16_t>{0, 1, 2, 3, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
        QTest::newRow("mampostería sin suelo") << 1 << 2 << QList<int>{4, 13, 14, 15, 16, 19, 20, 21, 22} << QList<int16_t>{};
        QTest::newRow("bahareque, nada relevante") << 14 << 3 << QList<int>{6, 13, 14, 15, 16} << QList<int16_t>{};
        QTest::newRow("acero sin preexistentes") << 6 << 1 << QList<int>{7, 8, 13, 14, 15, 16, 18} << QList<int16_t>{9, 17};
    }
    void faltantes()
    {
        QFETCH(int, sistema);
        QFETCH(int, caso);
        QFETCH(QList<int>, codigos);
        QFETCH(QList<int16_t>, faltan);
        Calificaciones c;
        for (int codigo : codigos)
            c << qMakePair(codigo, 0);
        EstadoEvaluacion e = Estado(sistema, caso, c);
        MarcarNoRelevantes(e, e.CasoRelevancia);
        QCOMPARE(CodigosFaltantes(e, e.TipoEstructura, e.CasoRelevancia), faltan);
        e.FaltanCalificaciones = 7;
        VerificarCalificaciones(e, e.TipoEstructura, e.CasoRelevancia);
        QCOMPARE(e.FaltanCalificaciones, int16_t(faltan.isEmpty() ? 0 : 1));
        VerificarCalificaciones(e, 15, 0);  // outside the tables: unchanged
        VerificarCalificaciones(e, 0, 4);
        QCOMPARE(e.FaltanCalificaciones, int16_t(faltan.isEmpty() ? 0 : 1));
    }

    // Placeholders fill in behind the ratings and never replace one.
    void marcarNoRelevantes()
    {
        EstadoEvaluacion e = Estado(0, 3, {{0, 1}, {19, 4}, {13, 2}});
        MarcarNoRelevantes(e, 3);
        QCOMPARE(e.UltimaVariable, int16_t(2));
        QCOMPARE(e.Variables[1].Nivel, int16_t(4));  // the evaluator's own rating stays
        const QList<int16_t> esperados = {17, 18, 20, 21, 22};
        for (int i = 0; i < esperados.size(); ++i) {
            QCOMPARE(e.Variables[3 + i].Codigo, esperados[i]);
            QCOMPARE(e.Variables[3 + i].Nivel, int16_t(0));
        }
        QCOMPARE(e.Variables[8].Codigo, int16_t(-1));
        MarcarNoRelevantes(e, 0);  // relevant again: no placeholder left
        for (int i = 3; i < NumVariables; ++i)
            QCOMPARE(e.Variables[i].Codigo, int16_t(-1));
        QCOMPARE(CodigosNoRelevantes(2), (QList<int16_t>{17, 18}));
    }

    void sinDanno()
    {
        EstadoEvaluacion e = Estado(0, 0, Porticos(0));
        EtiquetasResultados et;
        Evaluar(e, et);
        QCOMPARE(e.NivelDannoEstructural, int16_t(0));
        QCOMPARE(et.lblDE, QStringLiteral("Muy Leve"));
        QCOMPARE(et.lblRiesgoEstructural, QStringLiteral("Bajo"));
        QCOMPARE(et.lblIndiceEstructura, QStringLiteral("0.0582"));
        QCOMPARE(e.IndiceEstructural, 0.0582);
        QCOMPARE(et.lblES, QStringLiteral("Muy Buenas"));
        QCOMPARE(et.lblCP, QStringLiteral("Muy Buenas"));
        QCOMPARE(et.lblIndicePreexistente, QStringLiteral("0.0582"));
        QCOMPARE(et.lblDaEdificio, QStringLiteral("Muy Leve"));
        QCOMPARE(et.lblFinal, QStringLiteral("Muy Bueno"));
        QCOMPARE(et.lblLingHabitability, QStringLiteral("Habitable"));
        QCOMPARE(et.lblLingReparability, QStringLiteral("Ninguna o Menor"));
        QVERIFY(!et.inactivoES && !et.inactivoCP && et.habilitadoES && et.habilitadoCP);
        QCOMPARE(e.CodMedidasSeguridad, QStringLiteral("MS 000"));
        QCOMPARE(e.CodRefAnno, QStringLiteral("RANNO0"));
    }

    void columnasSeveras()
    {
        Calificaciones c = Porticos(0);
        c[1].second = 4;
        EstadoEvaluacion e = Estado(0, 0, c);
        EtiquetasResultados et;
        Evaluar(e, et);
        QCOMPARE(e.NivelSaturacion, int16_t(4));
        QCOMPARE(et.lblDE, QStringLiteral("Severo"));
        QCOMPARE(et.lblRiesgoEstructural, QStringLiteral("Muy Alto"));
        QCOMPARE(et.lblIndiceEstructura, QStringLiteral("0.76"));
        QCOMPARE(e.IndiceEstructural, 0.76);
        QCOMPARE(e.NivelDannoEdificio, int16_t(4));
        QCOMPARE(e.NivelEstadoGlobal, int16_t(4));
        QCOMPARE(et.lblLingHabitability, QStringLiteral("No Habitable"));
        QCOMPARE(et.lblLingReparability, QStringLiteral("Posible Demolición"));
        QCOMPARE(e.CodRefAnno, QString());

        // Re-rated lower, the element no longer saturates.
        e.Variables[1].Nivel = 0;
        Evaluar(e, et);
        QCOMPARE(e.NivelSaturacion, int16_t(0));
        QCOMPARE(e.NivelDannoEstructural, int16_t(0));
        QCOMPARE(e.SatColumnas, int16_t(0));
    }

    // Memberships (0.5, 0, 0, 0, 0.5): level 3 in both categories; only the
    // structural index is fixed.
    void indiceFijoSoloEstructural()
    {
        TablasPesos pesos = PesosDeFabrica();
        pesos.sistema[0] = {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
        pesos.noEst = {1, 1, 1};
        EstadoEvaluacion e = Estado(0, 3, {{0, 4}, {13, 4}, {1, 0}, {2, 0}, {14, 0}, {15, 0}, {16, 4}});
        EtiquetasResultados et;
        Evaluar(e, et, pesos);
        QCOMPARE(e.NivelSaturacion, int16_t(0));
        QCOMPARE(QString::number(e.ValorCategoria[0], 'f', 6), QStringLiteral("0.649425"));
        QCOMPARE(e.NivelDannoEstructural, int16_t(3));
        QCOMPARE(et.lblIndiceEstructura, QStringLiteral("0.55"));
        QCOMPARE(e.IndiceEstructural, 0.55);
        QCOMPARE(e.NivelDannoNoEstructural, int16_t(3));
        QCOMPARE(et.lblIndiceNoestructural, QStringLiteral("0.6494"));
        QCOMPARE(e.IndiceNoEstructural, 0.6494);
        QCOMPARE(et.lblRiesgoNoEstruct, QStringLiteral("Alto"));
    }

    void relevancia_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<bool>("suelo");
        QTest::addColumn<bool>("preexistente");
        QTest::newRow("todo relevante") << 0 << true << true;
        QTest::newRow("sin preexistentes") << 1 << true << false;
        QTest::newRow("sin suelo") << 2 << false << true;
        QTest::newRow("sin ninguno") << 3 << false << false;
    }
    void relevancia()
    {
        QFETCH(int, caso);
        QFETCH(bool, suelo);
        QFETCH(bool, preexistente);
        // Moderate structure, bad soil and very bad pre-existing conditions,
        // all rated before the categories were declared not relevant.
        Calificaciones c = Porticos(2);
        c[7].second = 3;   // Taludes Fuerte
        c[9].second = 4;   // CalidadMateriales Muy Mala
        EstadoEvaluacion e = Estado(0, 0, c);
        EtiquetasResultados et;
        Evaluar(e, et);  // a first building leaves its levels behind
        e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(caso);
        Evaluar(e, et);

        const int16_t edificio = 2;  // ReglaDannoEdificio(2, 2)
        QCOMPARE(e.NivelDannoEdificio, edificio);
        QCOMPARE(e.NivelSuelo, int16_t(suelo ? 3 : 0));
        QCOMPARE(e.NivelPreexistente, int16_t(preexistente ? 4 : 0));
        const int16_t global = suelo ? ReglaEstadoGlobal(edificio, 3) : edificio;
        QCOMPARE(e.NivelEstadoGlobal, global);
        QCOMPARE(e.NivelHabitabilidad, ReglaHabitabilidad(edificio, suelo ? 3 : 0));
        QCOMPARE(e.NivelReparabilidad, ReglaReparabilidad(global, preexistente ? 4 : 0));
        QCOMPARE(e.CodEstadoGlobal, QStringLiteral("EE 2%1").arg(suelo ? 3 : 0));
        QCOMPARE(e.CodReparabilidad, QStringLiteral("R %1%2").arg(global).arg(preexistente ? 4 : 0));

        QCOMPARE(et.lblES, suelo ? QStringLiteral("Malas") : QStringLiteral("-"));
        QCOMPARE(et.lblIndiceSuelo, suelo ? QStringLiteral("0.55") : QStringLiteral("-1"));
        QCOMPARE(et.lblRiesgoGeotec, suelo ? QStringLiteral("Alto") : QStringLiteral("No Aplica"));
        QCOMPARE(e.TextoSuelo, suelo ? QStringLiteral("Malas") : QStringLiteral("No Aplica"));
        QCOMPARE(e.IndiceSuelo, suelo ? 0.55 : 0.0);
        QCOMPARE(et.lblCP, preexistente ? QStringLiteral("Muy Malas") : QStringLiteral("-"));
        QCOMPARE(et.lblIndicePreexistente, preexistente ? QStringLiteral("0.76") : QStringLiteral("-1"));
        QCOMPARE(e.TextoPreexistente, preexistente ? QStringLiteral("Muy Malas") : QStringLiteral("No Aplica"));
        QCOMPARE(e.IndicePreexistente, preexistente ? 0.76 : 0.0);
        QCOMPARE(et.inactivoES, !suelo);
        QCOMPARE(et.inactivoIndiceSuelo, !suelo);
        QCOMPARE(et.habilitadoES, suelo);
        QCOMPARE(et.inactivoCP, !preexistente);
        QCOMPARE(et.habilitadoIndicePreexistente, preexistente);
        QCOMPARE(e.Variables[9].Nivel, int16_t(4));  // the rating itself is kept
    }

    void preexistenteModerado()
    {
        Calificaciones c = Porticos(0);
        c[12].second = 2;  // ConfiguracionEstructural stands alone at 2
        EstadoEvaluacion e = Estado(0, 0, c);
        EtiquetasResultados et;
        Evaluar(e, et);
        QCOMPARE(e.NivelPreexistente, int16_t(2));
        QCOMPARE(et.lblIndicePreexistente, QStringLiteral("0.33"));
        QCOMPARE(e.IndicePreexistente, 0.33);
        QCOMPARE(e.CodReparabilidad, QStringLiteral("R 02"));
    }

    void otrosElementos()
    {
        Calificaciones c = Porticos(0);
        c[4].second = c[5].second = c[6].second = 1;  // non-structural Leve
        EstadoEvaluacion e = Estado(0, 0, c);
        e.OtrosElegidos = 1;
        e.OtrosNoEstructurales[0] = {Cubierta, 3};
        e.UltimoOtro = 0;
        EtiquetasResultados et;
        Evaluar(e, et);
        QCOMPARE(e.NivelDannoNoEstructural, int16_t(1));
        QCOMPARE(e.OtrosMasGraves, int16_t(1));
        QCOMPARE(e.CodDannoEdificio, QStringLiteral("DEOA 01"));
        QCOMPARE(e.CodHabitabilidad, QStringLiteral("HOA 10"));

        e.OtrosNoEstructurales[0].Nivel = 1;  // re-rated: the set goes back
        Evaluar(e, et);
        QCOMPARE(e.OtrosMasGraves, int16_t(0));
        QCOMPARE(e.CodDannoEdificio, QStringLiteral("DE 01"));

        e.OtrosNoEstructurales[0].Nivel = 4;
        e.OtrosElegidos = 0;  // not chosen: the rating does not count
        Evaluar(e, et);
        QCOMPARE(e.OtrosMasGraves, int16_t(0));
    }

    // System 14 is weighted with its own row.
    void sistema14()
    {
        TablasPesos pesos = PesosDeFabrica();
        for (int s = 0; s < 14; ++s)
            pesos.sistema[s].fill(0.0);
        EstadoEvaluacion e = Estado(14, 3, {{6, 2}, {13, 0}, {14, 0}, {15, 0}, {16, 0}});
        EtiquetasResultados et;
        Evaluar(e, et, pesos);
        QCOMPARE(e.PropEstructural, (Membresias{0.5 / 1.5, 0, 1 / 1.5, 0, 0}));
        QCOMPARE(e.NivelDannoEstructural, NivelMasCercanoDe(ValorDifuso(e.PropEstructural)));
        QVERIFY(e.NivelDannoEstructural > 0);
    }

    void separadorDecimal()
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Colombia));
        EstadoEvaluacion e = Estado(0, 0, Porticos(0));
        EtiquetasResultados et;
        Evaluar(e, et);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(et.lblIndiceNoestructural, QStringLiteral("0,0582"));
        QCOMPARE(e.IndiceNoEstructural, 0.0582);
    }
};

QTEST_GUILESS_MAIN(PruebaMotor)
#include "evaluation_driver_test.moc"
