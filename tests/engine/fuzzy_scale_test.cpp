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

    void valorYNivel_data()
    {
        QTest::addColumn<Membresias>("p");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("nivel");
        QTest::newRow("todo 0") << Membresias{0, 0, 0, 0, 0} << "0.000000" << 0;
        QTest::newRow("solo 0") << Membresias{1, 0, 0, 0, 0} << "0.058167" << 0;
        QTest::newRow("solo 1") << Membresias{0, 1, 0, 0, 0} << "0.176667" << 1;
        QTest::newRow("solo 2") << Membresias{0, 0, 1, 0, 0} << "0.350000" << 2;
        QTest::newRow("solo 3") << Membresias{0, 0, 0, 1, 0} << "0.553333" << 3;
        QTest::newRow("solo 4") << Membresias{0, 0, 0, 0, 1} << "0.825920" << 4;
        QTest::newRow("iguales") << Membresias{0.3, 0.3, 0.3, 0.3, 0.3} << "0.521923" << 3;
        QTest::newRow("0 y 1") << Membresias{0.5, 0.5, 0, 0, 0} << "0.134031" << 1;
        QTest::newRow("2 y 3") << Membresias{0, 0, 0.5, 0.5, 0} << "0.463333" << 3;
        QTest::newRow("0 y 4") << Membresias{0.5, 0, 0, 0, 0.5} << "0.649425" << 3;
        QTest::newRow("1 y 3 pesos 1:3") << Membresias{0, 0.25, 0, 0.75, 0} << "0.484848" << 3;
        QTest::newRow("1 y 2") << Membresias{0, 0.5, 0.5, 0, 0} << "0.276667" << 2;
    }
    void valorYNivel()
    {
        QFETCH(Membresias, p);
        QFETCH(QString, valor);
        QFETCH(int, nivel);
        const double v = ValorDifuso(p);
        QCOMPARE(QString::number(v, 'f', 6), valor);
        EstadoEvaluacion e;
        NivelMasCercano(e, v);
        QCOMPARE(e.NivelCalculado, nivel);

        // The same memberships times a positive factor give the same value.
        for (double factor : {0.21, 3.7}) {
            Membresias q = p;
            for (double &x : q)
                x *= factor;
            QVERIFY(qAbs(ValorDifuso(q) - v) < 1e-12);
        }
    }

    void limitesDeNivel()
    {
        const QList<QPair<double, int>> casos = {{0.0, 0}, {0.12, 0}, {0.121, 1}, {0.249, 1}, {0.251, 2}, {0.26, 2},
                                                 {0.439, 2}, {0.441, 3}, {0.654, 3}, {0.656, 4}, {0.66, 4}, {1.0, 4}};
        for (const auto &[x, nivel] : casos)
            QVERIFY2(NivelMasCercanoDe(x) == nivel, qPrintable(QString::number(x)));
    }

    void nombres()
    {
        using Nombre = QString (*)(int);
        const QList<QPair<Nombre, QStringList>> tablas = {
            {NombreNivelDanno, {"Muy Leve", "Leve", "Moderado", "Fuerte", "Severo"}},
            {NombreEstadoGlobal, {"Muy Bueno", "Bueno", "Delicado", "Grave", "Muy Grave"}},
            {NombreCondicionesPreexistentes, {"Muy Buenas", "Buenas", "Regulares", "Malas", "Muy Malas"}},
            {NombreCondicionesSuelo, {"Muy Buenas", "Buenas", "Regulares", "Malas", "Muy Malas"}},
            {NombreHabitabilidad, {"Habitable", "Uso Restringido", "No Habitable", "Peligro de Colapso", ""}},
            {NombreReparabilidad, {"Ninguna o Menor", "Reparación", "Refuerzo", "Posible Demolición", ""}},
            {NombreRiesgoEstructural, {"Bajo", "Bajo", "Bajo, después de medidas", "Alto", "Muy Alto"}},
            {NombreRiesgoNoEstructural, {"Bajo", "Bajo", "Bajo, después de medidas", "Alto", "Alto"}},
            {NombreRiesgoGeotecnico, {"Bajo", "Bajo", "Bajo, después de medidas", "Alto", "Muy Alto"}},
        };
        for (const auto &[nombre, esperados] : tablas)
            QCOMPARE((QStringList{nombre(-1), nombre(0), nombre(1), nombre(2), nombre(3), nombre(4), nombre(5)}),
                     QStringList{QString()} + esperados + QStringList{QString()});
    }

    void indiceImpreso()
    {
        // value, printed, stored; halves go to the even neighbour.
        const QList<std::tuple<double, QString, double>> casos = {
            {0.058167, "0.0582", 0.0582}, {0.55, "0.55", 0.55},     {0.0, "0", 0.0},      {0.03125, "0.0312", 0.0312},
            {0.09375, "0.0938", 0.0938},  {1.5, "1.5", 1.5},        {-0.25, "-0.25", -0.25}};
        for (const auto &[valor, texto, guardado] : casos) {
            QCOMPARE(IndiceImpreso(valor), texto);
            QCOMPARE(IndiceCuatroDecimales(valor), guardado);
        }
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Colombia));
        const QStringList conComa = {IndiceImpreso(0.058167), IndiceImpreso(0.76)};
        QLocale::setDefault(QLocale::c());
        QCOMPARE(conComa, (QStringList{"0,0582", "0,76"}));
    }

    // The proportion dialog's level: critical elements, thresholds, percentages.
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
            {1, {65, 0, 0, 25, 10}, 3, true, {65, 0, 0, 25, 10}},    // columns: 0.35 reaches 0.3
            {8, {65, 0, 0, 25, 10}, 2, false, {65, 0, 0, 25, 10}},   // steel columns: below 0.4
            {3, {0, 0, 0, 10, 40}, 4, true, {0, 0, 0, 20, 80}},      // walls, Severo
            {0, {0, 0, 0, 10, 40}, 4, false, {0, 0, 0, 20, 80}},     // beams are never critical
            {13, {50, 50, 50, 50, 50}, 3, false, {20, 20, 20, 20, 20}},
            {4, {1, 1, 1, 0, 0}, 1, false, {33, 33, 33, 0, 0}},
            {2, {0, 0, 0, 0, 0}, 0, false, {0, 0, 0, 0, 0}},
            // Shares exactly on a threshold take the rule's side (in floating
            // point 0.2 + 0.1 lies above 0.3).
            {11, {50, 0, 0, 20, 30}, 4, true, {50, 0, 0, 20, 30}},
            {8, {60, 0, 0, 30, 10}, 3, true, {60, 0, 0, 30, 10}},
            {13, {1, 0, 0, 0, 199}, 4, false, {0, 0, 0, 0, 100}},  // 0.5 and 99.5: halves to even
        };
        for (const Caso &caso : casos) {
            const CalificacionProporcion c = DerivarNivelProporcion(caso.codigo, caso.barras);
            QCOMPARE(c.nivel, caso.nivel);
            QCOMPARE(c.elementoCritico, caso.critico);
            QCOMPARE(c.porcentajes, caso.porcentajes);
            QCOMPARE(c.valor, caso.critico ? (caso.nivel == 4 ? 0.76 : 0.55) : ValorDifuso(c.proporciones));

            EstadoEvaluacion e;
            e.Reiniciar();
            e.IndiceVariable = 5;
            AplicarCalificacionProporcion(e, c);
            QCOMPARE(e.Variables[5].Nivel, caso.nivel);
            QCOMPARE(e.NivelesProporcion[5 * GrupoProporcion(caso.codigo) + 3], caso.porcentajes[3]);
        }
    }

    void mensajesDeLaCalificacion()
    {
        QCOMPARE(MensajeCalificacion(3, 0.55), QStringLiteral("La variable tiene una calificación de\nDAÑO FUERTE  (0.55)"));
        QCOMPARE(MensajeCalificacion(0, 0.058167), QStringLiteral("La variable tiene una calificación de\nDAÑO MUY LEVE  (0.0582)"));
        const QString cola = QStringLiteral(
            " Aunque los demás elementos no presenten daños importantes la estabilidad de la edificación está en peligro.");
        QCOMPARE(AdvertenciaEstabilidad(2, 3), QStringLiteral("Ud. ha calificado los nudos en concreto con DAÑO FUERTE. ") + cola);
        QCOMPARE(AdvertenciaEstabilidad(3, 4), QStringLiteral("Ud. ha calificado los muros en concreto con DAÑO SEVERO.") + cola);
        QVERIFY(AdvertenciaEstabilidad(12, 4).endsWith(QStringLiteral("importantes\r LA ESTABILIDAD DEL EDIFICIO ESTÁ EN PELIGRO.")));
        for (int codigo : {0, 7, 10, 13})  // beams and floors never warn
            QVERIFY(AdvertenciaEstabilidad(codigo, 4).isEmpty());
        for (int codigo : {1, 8, 11})  // columns warn only when Severo
            QVERIFY(AdvertenciaEstabilidad(codigo, 3).isEmpty() && !AdvertenciaEstabilidad(codigo, 4).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PruebaEscalaDifusa)
#include "fuzzy_scale_test.moc"
