// Override rules and combination tables.

#include "engine/rule_tables.h"
#include "engine/fixture.h"
#include "test_support.h"

#include <QTest>

namespace {

using Fixture::Calificaciones;
using Fixture::Estado;

// The four tables as printed for the evaluators, rows separated by "/".
const char *const DannoEdificio = "0 1 1 2 2 / 1 1 2 2 2 / 2 2 2 3 3 / 3 3 4 4 4 / 4 4 4 4 4";
const char *const EstadoGlobal = "0 1 2 3 4 / 1 1 2 3 4 / 2 2 3 4 4 / 3 3 4 4 4 / 4 4 4 4 4";
const char *const Habitabilidad = "0 0 1 2 2 / 0 0 1 2 2 / 1 1 1 2 2 / 2 2 2 2 2 / 2 2 2 2 2";
const char *const Reparabilidad = "0 0 0 2 2 / 0 0 1 2 2 / 1 1 2 2 2 / 2 2 2 3 3 / 3 3 3 3 3";

}  // namespace

class PruebaReglas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void tablasCeldaPorCelda_data()
    {
        QTest::addColumn<int>("regla");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("daño del edificio") << 0 << DannoEdificio;
        QTest::newRow("estado global") << 1 << EstadoGlobal;
        QTest::newRow("habitabilidad") << 2 << Habitabilidad;
        QTest::newRow("reparabilidad") << 3 << Reparabilidad;
    }
    void tablasCeldaPorCelda()
    {
        QFETCH(int, regla);
        QFETCH(QString, tabla);
        int16_t (*const reglas[])(int16_t, int16_t) = {ReglaDannoEdificio, ReglaEstadoGlobal, ReglaHabitabilidad,
                                                         ReglaReparabilidad};
        const auto combinar = reglas[regla];
        const QStringList filas = tabla.split(QLatin1Char('/'));
        QCOMPARE(filas.size(), 5);
        for (int16_t i = 0; i < 5; ++i) {
            const QStringList celdas = filas[i].simplified().split(QLatin1Char(' '));
            QCOMPARE(celdas.size(), 5);
            for (int16_t j = 0; j < 5; ++j)
                QVERIFY2(combinar(i, j) == celdas[j].toInt(), qPrintable(QStringLiteral("celda %1,%2").arg(i).arg(j)));
        }
        for (int16_t fuera : {int16_t(-1), int16_t(5)}) {
            QCOMPARE(combinar(fuera, 2), int16_t(0));
            QCOMPARE(combinar(2, fuera), int16_t(0));
        }
    }

    void saturacionEstructural_data()
    {
        QTest::addColumn<int>("sistema");
        QTest::addColumn<Calificaciones>("calificaciones");
        QTest::addColumn<int>("nivel");
        QTest::newRow("pórticos: columnas severo, nudos fuerte") << 0 << Calificaciones{{1, 4}, {2, 3}} << 4;
        QTest::newRow("prefabricado: nudos fuerte") << 9 << Calificaciones{{2, 3}, {1, 2}} << 3;
        QTest::newRow("pórticos: las vigas no saturan") << 0 << Calificaciones{{0, 4}, {13, 4}} << 0;
        QTest::newRow("pórticos: los muros no cuentan") << 0 << Calificaciones{{3, 4}} << 0;
        QTest::newRow("con muros: columnas severo, nudos fuerte") << 5 << Calificaciones{{1, 4}, {2, 3}, {3, 0}} << 4;
        QTest::newRow("dual: solo muros fuerte") << 8 << Calificaciones{{3, 3}, {1, 1}} << 3;
        QTest::newRow("bahareque: fuerte no satura") << 4 << Calificaciones{{6, 3}} << 0;
        QTest::newRow("bahareque: severo") << 4 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("tapia: severo") << 12 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("bahareque no encementado: severo") << 14 << Calificaciones{{6, 4}} << 4;
        QTest::newRow("confinada: fuerte") << 1 << Calificaciones{{4, 3}} << 3;
        QTest::newRow("no reforzada: severo") << 3 << Calificaciones{{5, 4}} << 4;
        QTest::newRow("portantes: el último registro manda") << 2 << Calificaciones{{4, 4}, {5, 3}} << 3;
        QTest::newRow("acero: columnas fuerte, conexiones severo") << 6 << Calificaciones{{8, 3}, {9, 4}} << 4;
        QTest::newRow("acero en celosía: conexiones fuerte") << 13 << Calificaciones{{9, 3}} << 3;
        QTest::newRow("madera: columnas fuerte") << 7 << Calificaciones{{11, 3}, {10, 4}} << 3;
        QTest::newRow("madera: uniones severo") << 11 << Calificaciones{{12, 4}} << 4;
        QTest::newRow("sistema desconocido") << 15 << Calificaciones{{1, 4}} << 0;
    }
    void saturacionEstructural()
    {
        QFETCH(int, sistema);
        QFETCH(Calificaciones, calificaciones);
        QFETCH(int, nivel);
        EstadoEvaluacion e = Estado(sistema, calificaciones);
        QCOMPARE(ReglaSaturacionEstructural(e), nivel);
    }

    // The flags follow the current ratings, and only the evaluator's ratings.
    void saturacionSeRecalcula()
    {
        EstadoEvaluacion e = Estado(0, {{1, 4}, {2, 3}});
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(4));
        QCOMPARE(e.SatColumnas, int16_t(2));
        QCOMPARE(e.SatNudos, int16_t(1));
        e.Variables[0].Nivel = 1;
        e.Variables[1].Nivel = 2;
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(0));
        QCOMPARE(e.SatColumnas, int16_t(0));
        QCOMPARE(e.SatNudos, int16_t(0));

        e.Variables[2] = VariableCalificada{0, 0, 0, 0, Columnas, 4};  // beyond UltimaVariable
        QCOMPARE(ReglaSaturacionEstructural(e), int16_t(0));
        e.Variables[2] = VariableCalificada{0, 0, 0, 0, Taludes, 4};
        QCOMPARE(ReglaSaturacionSuelo(e), int16_t(0));
    }

    void saturacionSuelo_data()
    {
        QTest::addColumn<Calificaciones>("calificaciones");
        QTest::addColumn<int>("nivel");
        QTest::newRow("taludes fuerte, asentamiento severo") << Calificaciones{{17, 3}, {18, 4}} << 4;
        QTest::newRow("taludes severo, asentamiento fuerte") << Calificaciones{{17, 4}, {18, 3}} << 4;
        QTest::newRow("solo taludes fuerte") << Calificaciones{{17, 3}, {18, 1}} << 3;
        QTest::newRow("ambos moderado") << Calificaciones{{17, 2}, {18, 2}} << 0;
        QTest::newRow("sin calificar") << Calificaciones{{1, 4}} << 0;
    }
    void saturacionSuelo()
    {
        QFETCH(Calificaciones, calificaciones);
        QFETCH(int, nivel);
        QCOMPARE(ReglaSaturacionSuelo(Estado(0, calificaciones)), nivel);
    }

    void saturacionPreexistente_data()
    {
        QTest::addColumn<Calificaciones>("calificaciones");
        QTest::addColumn<int>("nivel");
        QTest::newRow("3 1 0 0") << Calificaciones{{19, 3}, {20, 1}, {21, 0}, {22, 0}} << 3;
        QTest::newRow("2 2 0 0 empate") << Calificaciones{{19, 2}, {20, 2}, {21, 0}, {22, 0}} << 0;
        QTest::newRow("1 1 1 1") << Calificaciones{{19, 1}, {20, 1}, {21, 1}, {22, 1}} << 0;
        QTest::newRow("4 3 3 3") << Calificaciones{{22, 3}, {21, 3}, {20, 3}, {19, 4}} << 4;
        QTest::newRow("solo configuración moderada") << Calificaciones{{22, 2}} << 2;
        QTest::newRow("sin calificar") << Calificaciones{} << 0;
    }
    void saturacionPreexistente()
    {
        QFETCH(Calificaciones, calificaciones);
        QFETCH(int, nivel);
        QCOMPARE(ReglaSaturacionPreexistente(Estado(0, calificaciones)), nivel);
    }
};

QTEST_GUILESS_MAIN(PruebaReglas)
#include "rule_tables_test.moc"
