// Override rules and combination tables.

#include "core/engine/rule_tables.h"
#include "core/engine/fixture.h"
#include "support/test_support.h"

#include <QTest>

using Fixture::Calificaciones;
using Fixture::Estado;

class PruebaReglas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prueba::Preparar(); }

    // Outside the scale a combination gives 0. The cells themselves are read
    // against the shipped comments (reference_databases_test) and through
    // whole evaluations.
    void fueraDeLaEscala()
    {
        for (int16_t (*combinar)(int16_t, int16_t) :
             {ReglaDannoEdificio, ReglaEstadoGlobal, ReglaHabitabilidad, ReglaReparabilidad})
            for (int16_t fuera : {-1, 5})
                QVERIFY(combinar(fuera, 2) == 0 && combinar(2, fuera) == 0 && combinar(4, 4) != 0);
    }

    void saturacion_data()
    {
        QTest::addColumn<int>("regla");  // 0 structural, 1 soil, 2 pre-existing
        QTest::addColumn<int>("sistema");
        QTest::addColumn<Calificaciones>("calificaciones");
        QTest::addColumn<int>("nivel");
        QTest::newRow("pórticos: columnas severo, nudos fuerte") << 0 << 0 << Calificaciones{{1, 4}, {2, 3}} << 4;
        QTest::newRow("prefabricado: nudos fuerte") << 0 << 9 << Calificaciones{{2, 3}, {1, 2}} << 3;
        QTest::newRow("pórticos: las vigas no saturan") << 0 << 0 << Calificaciones{{0, 4}, {13, 4}} << 0;
        QTest::newRow("pórticos: los muros no cuentan") << 0 << 0 << Calificaciones{{3, 4}} << 0;
        QTest::newRow("con muros: columnas severo") << 0 << 5 << Calificaciones{{1, 4}, {2, 3}, {3, 0}} << 4;
        QTest::newRow("dual: solo muros fuerte") << 0 << 8 << Calificaciones{{3, 3}, {1, 1}} << 3;
        QTest::newRow("bahareque: fuerte no satura") << 0 << 4 << Calificaciones{{6, 3}} << 0;
        QTest::newRow("bahareque: severo") << 0 << 4 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("tapia: severo") << 0 << 12 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("bahareque no encementado: severo") << 0 << 14 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("confinada: fuerte") << 0 << 1 << Calificaciones{{4, 3}} << 3;
        QTest::newRow("no reforzada: severo") << 0 << 3 << Calificaciones{{5, 4}} << 4;
        QTest::newRow("portantes: el último registro manda") << 0 << 2 << Calificaciones{{4, 4}, {5, 3}} << 3;
        QTest::newRow("acero: conexiones severo") << 0 << 6 << Calificaciones{{8, 3}, {9, 4}} << 4;
        QTest::newRow("acero en celosía: conexiones fuerte") << 0 << 13 << Calificaciones{{9, 3}} << 3;
        QTest::newRow("madera: columnas fuerte") << 0 << 7 << Calificaciones{{11, 3}, {10, 4}} << 3;
        QTest::newRow("madera: uniones severo") << 0 << 11 << Calificaciones{{12, 4}} << 4;
        QTest::newRow("sistema desconocido") << 0 << 15 << Calificaciones{{1, 4}} << 0;
        QTest::newRow("taludes fuerte, asentamiento severo") << 1 << 0 << Calificaciones{{17, 3}, {18, 4}} << 4;
        QTest::newRow("taludes severo, asentamiento fuerte") << 1 << 0 << Calificaciones{{17, 4}, {18, 3}} << 4;
        QTest::newRow("solo taludes fuerte") << 1 << 0 << Calificaciones{{17, 3}, {18, 1}} << 3;
        QTest::newRow("suelo moderado") << 1 << 0 << Calificaciones{{17, 2}, {18, 2}} << 0;
        QTest::newRow("suelo: otros códigos no cuentan") << 1 << 0 << Calificaciones{{1, 4}, {19, 3}} << 0;
        QTest::newRow("preexistentes 3 1 0 0") << 2 << 0 << Calificaciones{{19, 3}, {20, 1}, {21, 0}, {22, 0}} << 3;
        QTest::newRow("preexistentes 2 2: empate") << 2 << 0 << Calificaciones{{19, 2}, {20, 2}, {21, 0}} << 0;
        QTest::newRow("preexistentes 1 1 1 1") << 2 << 0 << Calificaciones{{19, 1}, {20, 1}, {21, 1}, {22, 1}} << 0;
        QTest::newRow("preexistentes 4 3 3 3") << 2 << 0 << Calificaciones{{22, 3}, {21, 3}, {20, 3}, {19, 4}} << 4;
        QTest::newRow("solo configuración moderada") << 2 << 0 << Calificaciones{{22, 2}} << 2;
        QTest::newRow("preexistentes sin calificar") << 2 << 0 << Calificaciones{{1, 4}, {17, 4}} << 0;
    }
    void saturacion()
    {
        QFETCH(int, regla);
        QFETCH(int, sistema);
        QFETCH(Calificaciones, calificaciones);
        QFETCH(int, nivel);
        EstadoEvaluacion e = Estado(sistema, calificaciones);
        const int16_t n = regla == 0 ? ReglaSaturacionEstructural(e)
                                     : (regla == 1 ? ReglaSaturacionSuelo(e) : ReglaSaturacionPreexistente(e));
        QCOMPARE(n, nivel);
    }

    // The flags follow the current ratings, and only the evaluator's ratings.
    void saturacionSeRecalcula()
    {
        EstadoEvaluacion e = Estado(0, {{1, 4}, {2, 3}});
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(4));
        QCOMPARE((QList<int16_t>{e.SatColumnas, e.SatNudos}), (QList<int16_t>{2, 1}));
        e.Variables[0].Nivel = 1;
        e.Variables[1].Nivel = 2;
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(0));
        QCOMPARE((QList<int16_t>{e.SatColumnas, e.SatNudos}), (QList<int16_t>{0, 0}));

        e.Variables[2] = VariableCalificada{0, 0, 0, 0, Columnas, 4};  // beyond UltimaVariable
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(0));
        e.Variables[2] = VariableCalificada{0, 0, 0, 0, Taludes, 4};
        QCOMPARE(ReglaSaturacionSuelo(e), int16_t(0));
    }
};

QTEST_GUILESS_MAIN(PruebaReglas)
#include "rule_tables_test.moc"
