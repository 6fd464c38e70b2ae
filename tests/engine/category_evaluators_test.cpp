// Weights, memberships and the four category buttons.

#include "data/record_set.h"
#include "engine/category_evaluators.h"
#include "engine/fuzzy_scale.h"
#include "engine/sqlite_fixture.h"
#include "test_support.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Calificaciones = QList<QPair<int, int>>;

EstadoEvaluacion Estado(int sistema, const Calificaciones &calificaciones)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.TipoEstructura = static_cast<int16_t>(sistema);
    for (const auto &[codigo, nivel] : calificaciones) {
        ++e.UltimaVariable;
        e.Variables[e.UltimaVariable].Codigo = static_cast<int16_t>(codigo);
        e.Variables[e.UltimaVariable].Nivel = static_cast<int16_t>(nivel);
    }
    return e;
}

// Row r of "PesosSistema" holds r + k/100 for code k; the other tables hold
// 1 + k/10 in their first row and 9 in a second one that must never be read.
void CrearReferencia(const QString &archivo, int filasSistema)
{
    QList<QVariantList> sistema;
    for (int r = 0; r < filasSistema; ++r) {
        QVariantList fila{QStringLiteral("sistema %1").arg(r)};
        for (int k = 0; k < 14; ++k)
            fila << r + k / 100.0;
        sistema << fila;
    }
    Fixture::CrearTabla(archivo, QStringLiteral("PesosSistema"), sistema, 15);
    const QList<QPair<QString, int>> otras = {{"PesosNoest", 3}, {"PesosSuelo", 2}, {"PesosPreex", 4}};
    for (const auto &[tabla, campos] : otras) {
        QVariantList primera, segunda;
        for (int k = 0; k < campos; ++k) {
            primera << 1 + k / 10.0;
            segunda << 9;
        }
        Fixture::CrearTabla(archivo, tabla, {primera, segunda});
    }
}

}  // namespace

class PruebaCategorias : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void pesosPorPosicion()
    {
        const QString archivo = dir_.filePath(QStringLiteral("pesos.sqlite"));
        CrearReferencia(archivo, 15);
        const TablasPesos t = LeerTablasPesos(archivo);
        for (int r = 0; r < 15; ++r)
            for (int k = 0; k < 14; ++k)
                QCOMPARE(t.sistema[r][k], r + k / 100.0);
        QCOMPARE(t.noEst, (std::array<double, 3>{1.0, 1.1, 1.2}));
        QCOMPARE(t.suelo, (std::array<double, 2>{1.0, 1.1}));
        QCOMPARE(t.preex, (std::array<double, 4>{1.0, 1.1, 1.2, 1.3}));
    }

    void pesosDeLaInstalacion()
    {
        const TablasPesos t = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
        QCOMPARE(t.sistema[0], (std::array<double, 14>{0.7, 1, 0.9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5}));
        QCOMPARE(t.sistema[8], (std::array<double, 14>{0.7, 1, 0.9, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5}));
        QCOMPARE(t.sistema[14], (std::array<double, 14>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0.5}));
        QCOMPARE(t.noEst, (std::array<double, 3>{0.6, 1, 0.8}));
        QCOMPARE(t.suelo, (std::array<double, 2>{1, 1}));
        QCOMPARE(t.preex, (std::array<double, 4>{1, 0.7, 0.8, 0.9}));
    }

    void erroresDeLaBase_data()
    {
        QTest::addColumn<QString>("defecto");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("sin archivo") << "sin archivo" << "PesosSistema";
        QTest::newRow("sin tabla") << "sin tabla" << "PesosSuelo";
        QTest::newRow("14 sistemas") << "pocas filas" << "PesosSistema";
        QTest::newRow("tabla vacía") << "vacia" << "PesosPreex";
        QTest::newRow("texto") << "texto" << "PesosNoest";
        QTest::newRow("nulo") << "nulo" << "PesosSistema";
    }
    void erroresDeLaBase()
    {
        QFETCH(QString, defecto);
        QFETCH(QString, tabla);
        const QString archivo = dir_.filePath(defecto + QStringLiteral(".sqlite"));
        if (defecto == QLatin1String("sin tabla")) {
            Fixture::CrearTabla(archivo, QStringLiteral("PesosSistema"), QList<QVariantList>(15, QVariantList(15, 1.0)));
            Fixture::CrearTabla(archivo, QStringLiteral("PesosNoest"), {{1, 1, 1}});
        } else if (defecto == QLatin1String("pocas filas")) {
            CrearReferencia(archivo, 14);
        } else if (defecto == QLatin1String("vacia")) {
            for (const char *t : {"PesosSistema", "PesosNoest", "PesosSuelo"})
                Fixture::CrearTabla(archivo, QLatin1String(t), QList<QVariantList>(15, QVariantList(15, 1.0)));
            Fixture::CrearTabla(archivo, QStringLiteral("PesosPreex"), {}, 4);
        } else if (defecto == QLatin1String("texto")) {
            Fixture::CrearTabla(archivo, QStringLiteral("PesosSistema"), QList<QVariantList>(15, QVariantList(15, 1.0)));
            Fixture::CrearTabla(archivo, QStringLiteral("PesosNoest"), {{1, QStringLiteral("uno"), 1}});
        } else if (defecto == QLatin1String("nulo")) {
            QList<QVariantList> filas(15, QVariantList(15, 1.0));
            filas[7][3] = QVariant();
            Fixture::CrearTabla(archivo, QStringLiteral("PesosSistema"), filas);
        }
        try {
            LeerTablasPesos(archivo);
            QFAIL("se leyeron pesos de una base defectuosa");
        } catch (const ErrorDatos &error) {
            QVERIFY2(error.mensaje().contains(archivo), qPrintable(error.mensaje()));
            QVERIFY2(error.mensaje().contains(QLatin1Char('"') + tabla + QLatin1Char('"')), qPrintable(error.mensaje()));
        }
    }

    // Loaders write the rated records of their own codes only; system 14 has its own row.
    void cargaDePesos()
    {
        TablasPesos t;
        for (int r = 0; r < 15; ++r)
            t.sistema[r].fill(r + 1.0);
        t.noEst = {0.6, 1, 0.8};
        t.suelo = {0.3, 0.4};
        t.preex = {1, 0.7, 0.8, 0.9};
        EstadoEvaluacion e = Estado(14, {{6, 2}, {15, 1}, {18, 0}, {21, 3}, {0, 1}});
        e.Variables[5] = VariableCalificada{0, 0, 0, 0, Entrepiso, 0};  // placeholder beyond UltimaVariable
        CargarPesosSistema(e, t);
        CargarPesosNoEst(e, t);
        CargarPesosSuelo(e, t);
        CargarPesosPreex(e, t);
        QCOMPARE(e.Variables[0].PesoEstructural, 15.0);
        QCOMPARE(e.Variables[4].PesoEstructural, 15.0);
        QCOMPARE(e.Variables[1].PesoNoEstructural, 1.0);
        QCOMPARE(e.Variables[2].PesoSuelo, 0.4);
        QCOMPARE(e.Variables[3].PesoPreexistente, 0.8);
        QCOMPARE(e.Variables[5].PesoEstructural, 0.0);
        for (int i = 0; i < 4; ++i)  // nobody weighs outside its category
            QCOMPARE(e.Variables[i].PesoEstructural + e.Variables[i].PesoNoEstructural + e.Variables[i].PesoSuelo
                         + e.Variables[i].PesoPreexistente,
                     std::max({e.Variables[i].PesoEstructural, e.Variables[i].PesoNoEstructural,
                               e.Variables[i].PesoSuelo, e.Variables[i].PesoPreexistente}));
    }

    void membresias()
    {
        EstadoEvaluacion e = Estado(0, {{0, 1}, {1, 3}, {14, 1}, {15, 2}});
        e.Variables[0].PesoEstructural = 1;
        e.Variables[1].PesoEstructural = 3;
        e.Variables[2].PesoNoEstructural = 0.5;
        e.Variables[3].PesoNoEstructural = 0.5;
        CalcularProporciones(e);
        QCOMPARE(e.PropEstructural, (Membresias{0, 0.25, 0, 0.75, 0}));
        QCOMPARE(e.PropNoEstructural, (Membresias{0, 0.5, 0.5, 0, 0}));
        QCOMPARE(e.PropSuelo, (Membresias{0, 0, 0, 0, 0}));  // no weight: zeros, no division
        QCOMPARE(e.TotalPesos[0], 4.0);
        QCOMPARE(QString::number(ValorDifuso(e.PropEstructural), 'f', 6), QStringLiteral("0.484848"));
        QCOMPARE(QString::number(ValorDifuso(e.PropNoEstructural), 'f', 6), QStringLiteral("0.276667"));

        e.Variables[1].Nivel = -1;  // takes part in nothing
        CalcularProporciones(e);
        QCOMPARE(e.PropEstructural, (Membresias{0, 1, 0, 0, 0}));
    }

    // Each per-category routine gives the numbers of the one-pass routine.
    void rutinasPorCategoriaCoinciden()
    {
        QRandomGenerator azar(5);
        for (int n = 0; n < 300; ++n) {
            EstadoEvaluacion e;
            e.Reiniciar();
            e.UltimaVariable = static_cast<int16_t>(azar.bounded(23));
            for (int i = 0; i < NumVariables; ++i) {
                VariableCalificada &v = e.Variables[i];
                v.Codigo = static_cast<int16_t>(i);
                v.Nivel = static_cast<int16_t>(azar.bounded(5));
                double *pesos[4] = {&v.PesoEstructural, &v.PesoNoEstructural, &v.PesoPreexistente, &v.PesoSuelo};
                *pesos[azar.bounded(4)] = azar.bounded(3) * 0.5;
            }
            CalcularProporciones(e);
            const EstadoEvaluacion todas = e;
            ProporcionesEstructurales(e);
            ProporcionesNoEstructurales(e);
            ProporcionesPreexistentes(e);
            ProporcionesSuelo(e);
            QCOMPARE(e.PropEstructural, todas.PropEstructural);
            QCOMPARE(e.PropNoEstructural, todas.PropNoEstructural);
            QCOMPARE(e.PropPreexistente, todas.PropPreexistente);
            QCOMPARE(e.PropSuelo, todas.PropSuelo);
            QCOMPARE(e.TotalPesos, todas.TotalPesos);
        }
    }

    void otrosGraves()
    {
        EstadoEvaluacion e;
        e.Reiniciar();
        e.NivelOtroGrave = {4, 4, 4, 4};  // from an earlier building
        e.OtrosNoEstructurales[0] = {Cubierta, 3};
        e.OtrosNoEstructurales[1] = {CieloRasos, 2};
        e.OtrosNoEstructurales[2] = {TanquesElevados, 4};
        CopiarOtrosGraves(e);
        QCOMPARE(e.NivelOtroGrave, (std::array<int16_t, 4>{0, 0, 3, 4}));
    }

    void botones_data()
    {
        QTest::addColumn<int>("boton");
        QTest::addColumn<int>("sistema");
        QTest::addColumn<Calificaciones>("calificaciones");
        QTest::addColumn<QStringList>("mensajes");
        const QString sat = QStringLiteral("Por saturación del daño en un elemento indispensable para la estabilidad estructural. ");
        QTest::newRow("estructural con pesos")
            << 0 << 0 << Calificaciones{{0, 1}, {1, 1}, {2, 1}, {13, 1}}
            << QStringList{"Riesgo Estructural: Bajo.\rDaño Estructural: Leve.\rIndice de Daño Estructural = 0.1767."};
        QTest::newRow("estructural saturado severo")
            << 0 << 0 << Calificaciones{{0, 0}, {1, 4}, {2, 0}, {13, 0}}
            << QStringList{sat + "\rDaño Estructural: SEVERO.\rRiesgo Estructural: MUY ALTO"};
        QTest::newRow("estructural saturado fuerte")
            << 0 << 1 << Calificaciones{{4, 3}, {13, 0}}
            << QStringList{sat + "\rDaño Estructural: FUERTE.\rRiesgo Estructural: ALTO"};
        QTest::newRow("no estructural")
            << 1 << 0 << Calificaciones{{14, 2}, {15, 2}, {16, 2}}
            << QStringList{"Riesgo No Estructural: Bajo, después de medidas.\rDaño No Estructural: Moderado.\r"
                           "Indice de Daño No Estructural = 0.35."};
        QTest::newRow("preexistente con pesos")
            << 2 << 0 << Calificaciones{{19, 0}, {20, 0}, {21, 0}, {22, 0}}
            << QStringList{"Condiciones Preexistentes: Muy Buenas.\rIndice de Condiciones Preexistentes = 0.0582."};
        QTest::newRow("preexistente regulares")
            << 2 << 0 << Calificaciones{{19, 2}, {20, 0}}
            << QStringList{"Condiciones Preexistentes: Regulares.\rIndice de Condiciones Preexistentes = 0.33"};
        QTest::newRow("preexistente malas")
            << 2 << 0 << Calificaciones{{19, 3}, {20, 1}}
            << QStringList{"Algunas condiciones empeoran el estado del edificio.\rCondiciones Preexistentes: Malas.\r"
                           "Indice de Condiciones Preexistentes = 0.55"};
        QTest::newRow("preexistente muy malas")
            << 2 << 0 << Calificaciones{{22, 4}}
            << QStringList{"Algunas condiciones empeoran el estado del edificio.\rCondiciones Preexistentes: Muy Malas.\r"
                           "Indice de Condiciones Preexistentes = 0.76"};
        QTest::newRow("suelo con pesos")
            << 3 << 0 << Calificaciones{{17, 1}, {18, 1}}
            << QStringList{"Riesgo Geotécnico: Bajo.\rCondiciones del Suelo: Buenas.\rIndice de Condiciones del Suelo = 0.1767."};
        QTest::newRow("suelo fuerte")
            << 3 << 0 << Calificaciones{{17, 3}, {18, 0}}
            << QStringList{"Problemas geotécnicos ponen en peligro la estabilidad estructural. \rRiesgo Geotécnico: ALTO.\r"
                           "Condiciones del Suelo: MALAS.\rIndice de Condiciones del Suelo = 0.55"};
        QTest::newRow("suelo severo")
            << 3 << 0 << Calificaciones{{17, 0}, {18, 4}}
            << QStringList{"Problemas geotécnicos ponen en peligro la estabilidad estructural.\rRiesgo Geotécnico: MUY ALTO.\r"
                           "Condiciones del Suelo: MUY MALAS.\rIndice de Condiciones del Suelo = 0.76"};
    }
    void botones()
    {
        QFETCH(int, boton);
        QFETCH(int, sistema);
        QFETCH(Calificaciones, calificaciones);
        QFETCH(QStringList, mensajes);
        const TablasPesos pesos = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
        EstadoEvaluacion e = Estado(sistema, calificaciones);
        QStringList (*const botones[])(EstadoEvaluacion &, const TablasPesos &) = {
            BotonEvaluarEstructural, BotonEvaluarNoEstructural, BotonEvaluarPreexistente, BotonEvaluarSuelo};
        QCOMPARE(botones[boton](e, pesos), mensajes);
    }

    // The other elements add a first message, never change the level.
    void botonNoEstructuralConOtros()
    {
        TablasPesos pesos;
        pesos.noEst = {0.6, 1, 0.8};
        EstadoEvaluacion e = Estado(0, {{14, 1}, {15, 1}, {16, 1}});
        e.OtrosElegidos = 1;
        e.OtrosNoEstructurales[0] = {Cubierta, 3};
        const QStringList mensajes = BotonEvaluarNoEstructural(e, pesos);
        QCOMPARE(mensajes.size(), 2);
        QCOMPARE(mensajes[0], QStringLiteral("Algunos elementos no estructurales como los cielo rasos y luminarias, "
                                             "instalaciones, tanques elevados o cubiertas se encuentran en grave estado."));
        QCOMPARE(e.NivelDannoNoEstructural, int16_t(1));
        e.OtrosNoEstructurales[0].Nivel = 2;
        QCOMPARE(BotonEvaluarNoEstructural(e, pesos).size(), 1);
        e.OtrosElegidos = 2;
        QVERIFY(BotonEvaluarNoEstructural(e, pesos).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PruebaCategorias)
#include "category_evaluators_test.moc"
