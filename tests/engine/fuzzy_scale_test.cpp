// The fuzzy damage scale and the level of a proportion rating.

#include "engine/fuzzy_scale.h"
#include "engine/proportion_rating.h"
#include "test_support.h"

#include <QLocale>
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

    void nombres()
    {
        using Nombre = QString (*)(int);
        const QStringList condiciones = {"Muy Buenas", "Buenas", "Regulares", "Malas", "Muy Malas"};
        const QStringList riesgo = {"Bajo", "Bajo", "Bajo, después de medidas", "Alto", "Muy Alto"};
        const QList<QPair<Nombre, QStringList>> tablas = {
            {NombreNivelDanno, {"Muy Leve", "Leve", "Moderado", "Fuerte", "Severo"}},
            {NombreEstadoGlobal, {"Muy Bueno", "Bueno", "Delicado", "Grave", "Muy Grave"}},
            {NombreCondicionesPreexistentes, condiciones},
            {NombreCondicionesSuelo, condiciones},
            {NombreHabitabilidad, {"Habitable", "Uso Restringido", "No Habitable", "Peligro de Colapso", ""}},
            {NombreReparabilidad, {"Ninguna o Menor", "Reparación", "Refuerzo", "Posible Demolición", ""}},
            {NombreRiesgoEstructural, riesgo},
            {NombreRiesgoNoEstructural, {"Bajo", "Bajo", "Bajo, después de medidas", "Alto", "Alto"}},
            {NombreRiesgoGeotecnico, riesgo}};
        for (const auto &[nombre, esperados] : tablas)
            QCOMPARE((QStringList{nombre(-1), nombre(0), nombre(1), nombre(2), nombre(3), nombre(4), nombre(5)}),
                     QStringList{QString()} + esperados + QStringList{QString()});
    }

    // Value, printed text, stored number; halves go to the even neighbour.
    void indiceImpreso()
    {
        const QList<std::tuple<double, QString, double>> casos = {
            {0.058167, "0.0582", 0.0582}, {0.55, "0.55", 0.55}, {0.0, "0", 0.0},       {0.03125, "0.0312", 0.0312},
            {0.09375, "0.0938", 0.0938},  {1.5, "1.5", 1.5},    {-0.25, "-0.25", -0.25}};
        for (const auto &[valor, texto, guardado] : casos) {
            QCOMPARE(IndiceImpreso(valor), texto);
            QCOMPARE(IndiceCuatroDecimales(valor), guardado);
        }
        QLocale::setDefault(QLocale(QLocale::Spanish));
        const QStringList conComa = {IndiceImpreso(0.058167), IndiceImpreso(0.76)};
        QLocale::setDefault(QLocale::c());
        QCOMPARE(conComa, (QStringList{"0,0582", "0,76"}));
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
