// Whole evaluations, the placeholders of categories not relevant and the
// completeness check.

#include "core/engine/evaluation_driver.h"
#include "core/engine/fixture.h"
#include "core/engine/fuzzy_scale.h"
#include "core/engine/result_classification.h"
#include "support/test_support.h"

#include <QDir>
#include <QLocale>
#include <QTest>

namespace {

using Fixture::Calificaciones;

// Concrete frames with every variable rated at one level.
Calificaciones Porticos(int nivel)
{
    Calificaciones c;
    for (int codigo : {0, 1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22})
        c << qMakePair(codigo, nivel);
    return c;
}

// The labels of the results form, in the order of the form.
QStringList Etiquetas(const EtiquetasResultados &et)
{
    return {et.lblDE, et.lblRiesgoEstructural, et.lblIndiceEstructura, et.lblDNE, et.lblRiesgoNoEstruct,
            et.lblIndiceNoestructural, et.lblES, et.lblRiesgoGeotec, et.lblIndiceSuelo, et.lblCP,
            et.lblIndicePreexistente, et.lblDaEdificio, et.lblFinal, et.lblLingHabitability, et.lblLingReparability};
}

}  // namespace

class PruebaMotor : public QObject {
    Q_OBJECT

    TablasPesos pesos_;  // the installation's weights

    EtiquetasResultados Evaluar(EstadoEvaluacion &e, const TablasPesos *pesos = nullptr)
    {
        EtiquetasResultados et;
        MarcarNoRelevantes(e, e.CasoRelevancia);
        EvaluarEdificacion(e, pesos ? *pesos : pesos_, TablasComentarios{}, 0, et);
        return et;
    }

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        pesos_ = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
    }

    void faltantes()
    {
        // Nothing rated: every code the system needs, its structural buttons first.
        const QList<int16_t> resto = {13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
        for (int16_t s = 0; s < 15; ++s)
            QCOMPARE(CodigosFaltantes(Fixture::Estado(s, {}), s, 0), ElementosEstructuralesDelSistema(s) + resto);

        struct Caso {
            int sistema, caso;
            QList<int16_t> codigos, faltan;
        };
        const Caso casos[] = {
            {0, 0, QList<int16_t>{0, 1, 2} + resto, {}},
            // A rating of a button hidden by a change of system does not stand in for one of this system.
            {0, 0, QList<int16_t>{0, 1, 3} + resto, {2}},
            {1, 2, {4, 13, 14, 15, 16, 19, 20, 21, 22}, {}},
            {14, 3, {6, 13, 14, 15, 16}, {}},
            {6, 1, {7, 8, 13, 14, 15, 16, 18}, {9, 17}},
        };
        for (const Caso &caso : casos) {
            Calificaciones c;
            for (int codigo : caso.codigos)
                c << qMakePair(codigo, 0);
            EstadoEvaluacion e = Fixture::Estado(caso.sistema, c, caso.caso);
            MarcarNoRelevantes(e, e.CasoRelevancia);  // placeholders never count
            QCOMPARE(CodigosFaltantes(e, e.TipoEstructura, e.CasoRelevancia), caso.faltan);
            VerificarCalificaciones(e, e.TipoEstructura, e.CasoRelevancia);
            QCOMPARE(e.FaltanCalificaciones, int16_t(caso.faltan.isEmpty() ? 0 : 1));
            VerificarCalificaciones(e, 15, 0);  // outside the tables: unchanged
            VerificarCalificaciones(e, 0, 4);
            QCOMPARE(e.FaltanCalificaciones, int16_t(caso.faltan.isEmpty() ? 0 : 1));
        }
    }

    // Placeholders fill in behind the ratings and never replace one.
    void marcarNoRelevantes()
    {
        EstadoEvaluacion e = Fixture::Estado(0, {{0, 1}, {19, 4}, {13, 2}}, 3);
        MarcarNoRelevantes(e, 3);
        QCOMPARE(e.UltimaVariable, int16_t(2));
        QCOMPARE(e.Variables[1].Nivel, int16_t(4));  // the evaluator's own rating stays
        QList<int16_t> codigos;
        for (const VariableCalificada &v : e.Variables)
            codigos << v.Codigo;
        QCOMPARE(codigos.mid(3, 6), (QList<int16_t>{17, 18, 20, 21, 22, -1}));
        MarcarNoRelevantes(e, 0);  // relevant again: no placeholder left
        for (int i = 3; i < NumVariables; ++i)
            QCOMPARE(e.Variables[i].Codigo, int16_t(-1));
    }

    void sinDannoYColumnasSeveras()
    {
        EstadoEvaluacion e = Fixture::Estado(0, Porticos(0));
        EtiquetasResultados et = Evaluar(e);
        QCOMPARE(Etiquetas(et), (QStringList{"Muy Leve", "Bajo", "0.0582", "Muy Leve", "Bajo", "0.0582", "Muy Buenas", "Bajo",
                                             "0.0582", "Muy Buenas", "0.0582", "Muy Leve", "Muy Bueno", "Habitable",
                                             "Ninguna o Menor"}));
        QCOMPARE(e.IndiceEstructural, 0.0582);
        QCOMPARE(e.CodRefAnno, QStringLiteral("RANNO0"));

        e.Variables[1].Nivel = 4;  // Columnas Severo
        et = Evaluar(e);
        QCOMPARE(e.NivelSaturacion, int16_t(4));
        QCOMPARE(Etiquetas(et), (QStringList{"Severo", "Muy Alto", "0.76", "Muy Leve", "Bajo", "0.0582", "Muy Buenas", "Bajo",
                                             "0.0582", "Muy Buenas", "0.0582", "Severo", "Muy Grave", "No Habitable",
                                             "Posible Demolición"}));
        QCOMPARE(e.IndiceEstructural, 0.76);
        QCOMPARE(e.CodRefAnno, QString());

        e.Variables[1].Nivel = 0;  // re-rated lower: no saturation left
        QLocale::setDefault(QLocale(QLocale::Spanish));
        et = Evaluar(e);
        QLocale::setDefault(QLocale::c());
        QCOMPARE((QList<int16_t>{e.NivelSaturacion, e.NivelDannoEstructural}), (QList<int16_t>{0, 0}));
        QCOMPARE(et.lblIndiceNoestructural, QStringLiteral("0,0582"));  // the evaluator's decimal separator
        QCOMPARE(e.IndiceNoEstructural, 0.0582);
    }

    // Memberships (0.5, 0, 0, 0, 0.5): level 3 in both categories; only the
    // structural index is fixed.
    void indiceFijoSoloEstructural()
    {
        TablasPesos pesos = pesos_;
        pesos.sistema[0] = {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
        pesos.noEst = {1, 1, 1};
        EstadoEvaluacion e = Fixture::Estado(0, {{0, 4}, {13, 4}, {1, 0}, {2, 0}, {14, 0}, {15, 0}, {16, 4}}, 3);
        const EtiquetasResultados et = Evaluar(e, &pesos);
        QCOMPARE(QString::number(e.ValorCategoria[0], 'f', 6), QStringLiteral("0.649425"));
        QCOMPARE((QList<int16_t>{e.NivelSaturacion, e.NivelDannoEstructural, e.NivelDannoNoEstructural}), (QList<int16_t>{0, 3, 3}));
        QCOMPARE((QStringList{et.lblIndiceEstructura, et.lblIndiceNoestructural}), (QStringList{"0.55", "0.6494"}));
        QCOMPARE((QList<double>{e.IndiceEstructural, e.IndiceNoEstructural}), (QList<double>{0.55, 0.6494}));
    }

    void relevancia_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QList<int16_t>>("niveles");  // building, soil, pre-existing, global, habitability, reparability
        QTest::newRow("todo relevante") << 0 << QList<int16_t>{2, 3, 4, 4, 2, 3};
        QTest::newRow("sin preexistentes") << 1 << QList<int16_t>{2, 3, 0, 4, 2, 3};
        QTest::newRow("sin suelo") << 2 << QList<int16_t>{2, 0, 4, 2, 1, 2};
        QTest::newRow("sin ninguno") << 3 << QList<int16_t>{2, 0, 0, 2, 1, 1};
    }
    void relevancia()
    {
        QFETCH(int, caso);
        QFETCH(QList<int16_t>, niveles);
        // Moderate building, Taludes Fuerte and CalidadMateriales Muy Mala,
        // rated before the categories were declared not relevant; a first
        // evaluation with everything relevant leaves its levels behind.
        Calificaciones c = Porticos(2);
        c[7].second = 3;
        c[9].second = 4;
        EstadoEvaluacion e = Fixture::Estado(0, c);
        Evaluar(e);
        e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(caso);
        const EtiquetasResultados et = Evaluar(e);

        const bool suelo = caso < 2, preexistente = caso % 2 == 0;
        QCOMPARE((QList<int16_t>{e.NivelDannoEdificio, e.NivelSuelo, e.NivelPreexistente, e.NivelEstadoGlobal,
                                 e.NivelHabitabilidad, e.NivelReparabilidad}),
                 niveles);
        QCOMPARE(e.CodReparabilidad, QStringLiteral("R %1%2").arg(niveles[3]).arg(niveles[2]));
        QCOMPARE(e.CodMedidasSeguridad, QStringLiteral("MS 22%1").arg(niveles[1]));

        const QString noAplica = QStringLiteral("No Aplica");
        QCOMPARE((QStringList{et.lblES, et.lblRiesgoGeotec, et.lblIndiceSuelo, e.TextoSuelo}),
                 (suelo ? QStringList{"Malas", "Alto", "0.55", "Malas"} : QStringList{"-", noAplica, "-1", noAplica}));
        QCOMPARE((QStringList{et.lblCP, et.lblIndicePreexistente, e.TextoPreexistente}),
                 (preexistente ? QStringList{"Muy Malas", "0.76", "Muy Malas"} : QStringList{"-", "-1", noAplica}));
        QCOMPARE((QList<double>{e.IndiceSuelo, e.IndicePreexistente}),
                 (QList<double>{suelo ? 0.55 : 0.0, preexistente ? 0.76 : 0.0}));
        QCOMPARE((QList<bool>{et.inactivoES, et.inactivoIndiceSuelo, et.habilitadoES, et.habilitadoIndiceSuelo}),
                 (QList<bool>{!suelo, !suelo, suelo, suelo}));
        QCOMPARE((QList<bool>{et.inactivoCP, et.inactivoIndicePreexistente, et.habilitadoCP, et.habilitadoIndicePreexistente}),
                 (QList<bool>{!preexistente, !preexistente, preexistente, preexistente}));
        QCOMPARE(e.Variables[9].Nivel, int16_t(4));  // the rating itself is kept
    }

    // The other elements choose the comment set, from their current ratings.
    void otrosElementos()
    {
        Calificaciones c = Porticos(0);
        c[4].second = c[5].second = c[6].second = 1;  // non-structural Leve
        EstadoEvaluacion e = Fixture::Estado(0, c);
        e.OtrosElegidos = 1;
        e.OtrosNoEstructurales[0] = {Cubierta, 3};
        e.UltimoOtro = 0;
        Evaluar(e);
        QCOMPARE(e.NivelDannoNoEstructural, int16_t(1));
        QCOMPARE(e.OtrosMasGraves, int16_t(1));
        QCOMPARE((QStringList{e.CodDannoEdificio, e.CodHabitabilidad}), (QStringList{"DEOA 01", "HOA 10"}));

        e.OtrosNoEstructurales[0].Nivel = 1;  // re-rated: the ordinary set again
        Evaluar(e);
        QCOMPARE(e.OtrosMasGraves, int16_t(0));
        QCOMPARE(e.CodDannoEdificio, QStringLiteral("DE 01"));

        e.OtrosNoEstructurales[0].Nivel = 4;
        e.OtrosElegidos = 0;  // not chosen: the rating does not count
        Evaluar(e);
        QCOMPARE(e.OtrosMasGraves, int16_t(0));
    }
};

QTEST_GUILESS_MAIN(PruebaMotor)
#include "evaluation_driver_test.moc"
