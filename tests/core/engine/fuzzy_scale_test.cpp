// The fuzzy damage scale and the level of a proportion rating.

#include "core/engine/fuzzy_scale.h"
#include "core/engine/proportion_rating.h"
#include "support/test_support.h"

#include <QTest>

class PruebaEscalaDifusa : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prueba::Preparar(); }

    // Memberships to their value (six decimals) and nearest level; then the
    // level on either side of each midpoint between two centres.
    void valorYNivel()
    {
        const QList<std::tuple<Membresias, const char *, int16_t>> casos = {
            {{0, 0, 0, 0, 0}, "0.000000", 0},       {{1, 0, 0, 0, 0}, "0.058167", 0},
            {{0, 1, 0, 0, 0}, "0.176667", 1},       {{0, 0, 1, 0, 0}, "0.350000", 2},
            {{0, 0, 0, 1, 0}, "0.553333", 3},       {{0, 0, 0, 0, 1}, "0.825920", 4},
            {{.3, .3, .3, .3, .3}, "0.521923", 3},  {{.5, .5, 0, 0, 0}, "0.134031", 1},
            {{0, 0, .5, .5, 0}, "0.463333", 3},     {{.5, 0, 0, 0, .5}, "0.649425", 3},
            {{0, .25, 0, .75, 0}, "0.484848", 3},   {{0, .5, .5, 0, 0}, "0.276667", 2}};
        for (const auto &[p, valor, nivel] : casos) {
            const double v = ValorDifuso(p);
            QCOMPARE(QString::number(v, 'f', 6), QLatin1String(valor));
            EstadoEvaluacion e;
            NivelMasCercano(e, v);
            QCOMPARE(e.NivelCalculado, nivel);
        }
        const QList<QPair<double, int16_t>> limites = {{0.0, 0},   {0.12, 0},  {0.121, 1}, {0.249, 1},
                                                       {0.251, 2}, {0.439, 2}, {0.441, 3}, {0.654, 3},
                                                       {0.656, 4}, {1.0, 4}};
        for (const auto &[x, nivel] : limites)
            QVERIFY2(NivelMasCercanoDe(x) == nivel, qPrintable(QString::number(x)));
    }

    // The names of the levels as the results show them (the evaluation tests
    // read most of them on whole evaluations); outside the scale, none.
    void nombres()
    {
        for (QString (*nombre)(int) : {NombreNivelDanno, NombreEstadoGlobal, NombreCondicionesPreexistentes,
                                       NombreCondicionesSuelo, NombreHabitabilidad, NombreReparabilidad,
                                       NombreRiesgoEstructural, NombreRiesgoNoEstructural, NombreRiesgoGeotecnico})
            QVERIFY(nombre(-1).isEmpty() && nombre(5).isEmpty() && !nombre(0).isEmpty());
        QCOMPARE((QStringList{NombreEstadoGlobal(2), NombreHabitabilidad(1), NombreHabitabilidad(3), NombreHabitabilidad(4),
                              NombreReparabilidad(1), NombreReparabilidad(4), NombreRiesgoNoEstructural(4)}),
                 (QStringList{"Delicado", "Uso Restringido", "Peligro de Colapso", "", "Reparación", "", "Alto"}));
    }

    // Value, printed text, stored number; halves go to the even neighbour (the
    // evaluator's decimal comma is checked on whole evaluations).
    void indiceImpreso()
    {
        const QList<std::tuple<double, QString, double>> casos = {
            {0.058167, "0.0582", 0.0582}, {0.55, "0.55", 0.55}, {0.0, "0", 0.0},       {0.03125, "0.0312", 0.0312},
            {0.09375, "0.0938", 0.0938},  {1.5, "1.5", 1.5},    {-0.25, "-0.25", -0.25}};
        for (const auto &[valor, texto, guardado] : casos) {
            QCOMPARE(IndiceImpreso(valor), texto);
            QCOMPARE(IndiceCuatroDecimales(valor), guardado);
        }
    }

    // The proportion dialog's level where its own tests do not reach: shares
    // exactly on a threshold take the rule's side (in floating point 0.2 + 0.1
    // lies above 0.3), percentages round halves to even, no bars at all.
    void proporciones()
    {
        struct Caso {
            int codigo;
            std::array<int, 5> barras;
            int16_t nivel;
            bool critico;
            std::array<int16_t, 5> porcentajes;
        };
        const Caso casos[] = {
            {ColumnasMadera, {50, 0, 0, 20, 30}, 4, true, {50, 0, 0, 20, 30}},
            {ColumnasAcero, {60, 0, 0, 30, 10}, 3, true, {60, 0, 0, 30, 10}},
            {Entrepiso, {1, 0, 0, 0, 199}, 4, false, {0, 0, 0, 0, 100}},  // 0.5 and 99.5
            {Nudos, {0, 0, 0, 0, 0}, 0, false, {0, 0, 0, 0, 0}}};
        for (const Caso &caso : casos) {
            const CalificacionProporcion c = DerivarNivelProporcion(caso.codigo, caso.barras);
            QCOMPARE(c.nivel, caso.nivel);
            QCOMPARE(c.elementoCritico, caso.critico);
            QCOMPARE(c.porcentajes, caso.porcentajes);
            QCOMPARE(c.valor, caso.critico ? (caso.nivel == 4 ? 0.76 : 0.55) : ValorDifuso(c.proporciones));
        }
    }
};

QTEST_GUILESS_MAIN(PruebaEscalaDifusa)
#include "fuzzy_scale_test.moc"
