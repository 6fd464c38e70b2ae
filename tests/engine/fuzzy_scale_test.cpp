// The fuzzy damage scale and the level of a proportion rating.

#include "engine/fuzzy_scale.h"
#include "engine/proportion_rating.h"
#include "test_support.h"

#include <QLocale>
#include <QRandomGenerator>
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
        e.NivelCalculado = -1;
        NivelMasCercano(e, v);
        QCOMPARE(e.NivelCalculado, nivel);
    }

    void escalarNoCambiaElValor()
    {
        QRandomGenerator azar(11);
        for (int i = 0; i < 200; ++i) {
            Membresias p;
            for (double &x : p)
                x = azar.bounded(2) ? azar.generateDouble() : 0.0;
            Membresias q = p;
            const double factor = 0.1 + 9.0 * azar.generateDouble();
            for (double &x : q)
                x *= factor;
            QVERIFY(qAbs(ValorDifuso(p) - ValorDifuso(q)) < 1e-12);
        }
    }

    void nivelMasCercano_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("nivel");
        const QList<QPair<double, int>> casos = {{0.0, 0}, {0.12, 0}, {0.121, 1}, {0.249, 1}, {0.251, 2}, {0.26, 2},
                                                 {0.439, 2}, {0.441, 3}, {0.654, 3}, {0.656, 4}, {0.66, 4}, {1.0, 4}};
        for (const auto &[x, nivel] : casos)
            QTest::addRow("%g", x) << x << nivel;
    }
    void nivelMasCercano()
    {
        QFETCH(double, x);
        QFETCH(int, nivel);
        QCOMPARE(NivelMasCercanoDe(x), nivel);
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
        for (const auto &[nombre, esperados] : tablas) {
            for (int nivel = 0; nivel < 5; ++nivel)
                QCOMPARE(nombre(nivel), esperados.at(nivel));
            QCOMPARE(nombre(-1), QString());
            QCOMPARE(nombre(5), QString());
        }
    }

    void indiceImpreso_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<double>("guardado");
        QTest::newRow("cuatro decimales") << 0.058167 << "0.0582" << 0.0582;
        QTest::newRow("sin ceros al final") << 0.55 << "0.55" << 0.55;
        QTest::newRow("cero") << 0.0 << "0" << 0.0;
        QTest::newRow("mitad hacia par, abajo") << 0.03125 << "0.0312" << 0.0312;
        QTest::newRow("mitad hacia par, arriba") << 0.09375 << "0.0938" << 0.0938;
        QTest::newRow("parte entera") << 1.5 << "1.5" << 1.5;
        QTest::newRow("negativo") << -0.25 << "-0.25" << -0.25;
    }
    void indiceImpreso()
    {
        QFETCH(double, valor);
        QFETCH(QString, texto);
        QFETCH(double, guardado);
        QCOMPARE(IndiceImpreso(valor), texto);
        QCOMPARE(IndiceCuatroDecimales(valor), guardado);
    }

    void indiceConSeparadorDelSistema()
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Colombia));
        const QString texto = IndiceImpreso(0.058167);
        const QString fijo = IndiceImpreso(0.76);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texto, QStringLiteral("0,0582"));
        QCOMPARE(fijo, QStringLiteral("0,76"));
    }

    // The proportion dialog's level: critical elements, thresholds, percentages.
    void proporciones_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QList<int>>("barras");
        QTest::addColumn<int>("nivel");
        QTest::addColumn<bool>("critico");
        QTest::addColumn<QList<int>>("porcentajes");
        QTest::newRow("columnas 0.35 fuerte") << 1 << QList<int>{65, 0, 0, 25, 10} << 3 << true
                                              << QList<int>{65, 0, 0, 25, 10};
        QTest::newRow("columnas de acero bajo 0.4") << 8 << QList<int>{65, 0, 0, 25, 10} << 2 << false
                                                    << QList<int>{65, 0, 0, 25, 10};
        QTest::newRow("muros severo") << 3 << QList<int>{0, 0, 0, 10, 40} << 4 << true << QList<int>{0, 0, 0, 20, 80};
        QTest::newRow("vigas nunca criticas") << 0 << QList<int>{0, 0, 0, 10, 40} << 4 << false
                                              << QList<int>{0, 0, 0, 20, 80};
        QTest::newRow("suma 250") << 13 << QList<int>{50, 50, 50, 50, 50} << 3 << false
                                  << QList<int>{20, 20, 20, 20, 20};
        QTest::newRow("tercios") << 4 << QList<int>{1, 1, 1, 0, 0} << 1 << false << QList<int>{33, 33, 33, 0, 0};
        QTest::newRow("sin tocar") << 2 << QList<int>{0, 0, 0, 0, 0} << 0 << false << QList<int>{0, 0, 0, 0, 0};
    }
    void proporciones()
    {
        QFETCH(int, codigo);
        QFETCH(QList<int>, barras);
        QFETCH(int, nivel);
        QFETCH(bool, critico);
        QFETCH(QList<int>, porcentajes);
        const std::array<int, 5> b{barras[0], barras[1], barras[2], barras[3], barras[4]};
        const CalificacionProporcion c = DerivarNivelProporcion(codigo, b);
        QCOMPARE(c.nivel, nivel);
        QCOMPARE(c.elementoCritico, critico);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(c.porcentajes[k], porcentajes[k]);
        if (critico)
            QCOMPARE(c.valor, nivel == 4 ? 0.76 : 0.55);
        else
            QCOMPARE(c.valor, ValorDifuso(c.proporciones));

        EstadoEvaluacion e;
        e.Reiniciar();
        e.IndiceVariable = 5;
        AplicarCalificacionProporcion(e, c);
        QCOMPARE(e.Variables[5].Nivel, nivel);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(e.NivelesProporcion[5 * GrupoProporcion(codigo) + k], porcentajes[k]);
    }

    void mensajesDeLaCalificacion()
    {
        QCOMPARE(MensajeCalificacion(3, 0.55), QStringLiteral("La variable tiene una calificación de\nDAÑO FUERTE  (0.55)"));
        QCOMPARE(MensajeCalificacion(0, 0.058167),
                 QStringLiteral("La variable tiene una calificación de\nDAÑO MUY LEVE  (0.0582)"));
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
