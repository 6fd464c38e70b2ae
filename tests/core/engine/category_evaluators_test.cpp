// Weights, memberships and the four category buttons.

#include "core/data/record_set.h"
#include "core/engine/category_evaluators.h"
#include "core/engine/fixture.h"
#include "core/engine/fuzzy_scale.h"
#include "support/test_support.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Fixture::Calificaciones;
using Fixture::Estado;

// "PesosSistema" with `filas` rows, row r holding r + k/100 for code k; the
// other tables (but `omitir`) hold 1 + k/10 in their first row and 9 in a
// second one that must never be read. Then the SQL `dannar` runs on the file.
QString CrearReferencia(const QTemporaryDir &dir, const QString &nombre, int filas, const QString &omitir = {},
                        const QString &dannar = {})
{
    const QString archivo = dir.filePath(nombre + QStringLiteral(".sqlite"));
    QList<QVariantList> sistema;
    for (int r = 0; r < filas; ++r) {
        sistema << QVariantList{QStringLiteral("sistema %1").arg(r)};
        for (int k = 0; k < 14; ++k)
            sistema.last() << r + k / 100.0;
    }
    Fixture::CrearTabla(archivo, QStringLiteral("PesosSistema"), sistema, 15);
    for (const auto &[tabla, campos] : QList<QPair<QString, int>>{{"PesosNoest", 3}, {"PesosSuelo", 2}, {"PesosPreex", 4}}) {
        QVariantList primera, segunda;
        for (int k = 0; k < campos; ++k) {
            primera << 1 + k / 10.0;
            segunda << 9;
        }
        if (tabla != omitir)
            Fixture::CrearTabla(archivo, tabla, {primera, segunda});
    }
    if (!dannar.isEmpty())
        Fixture::Ejecutar(archivo, {{dannar, {}}});
    return archivo;
}

}  // namespace

class PruebaCategorias : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void pesosPorPosicion()
    {
        const TablasPesos t = LeerTablasPesos(CrearReferencia(dir_, QStringLiteral("buena"), 15));
        for (int r = 0; r < 15; ++r)
            for (int k = 0; k < 14; ++k)
                QCOMPARE(t.sistema[r][k], r + k / 100.0);
        QCOMPARE(t.noEst, (std::array<double, 3>{1.0, 1.1, 1.2}));
        QCOMPARE(t.suelo, (std::array<double, 2>{1.0, 1.1}));
        QCOMPARE(t.preex, (std::array<double, 4>{1.0, 1.1, 1.2, 1.3}));
    }

    void erroresDeLaBase()
    {
        // name, table the message must name, rows of "PesosSistema", table left out, damage
        const QList<std::tuple<QString, QString, int, QString, QString>> casos = {
            {"sin-archivo", "PesosSistema", -1, {}, {}},
            {"14-sistemas", "PesosSistema", 14, {}, {}},
            {"sin-suelo", "PesosSuelo", 15, "PesosSuelo", {}},
            {"texto", "PesosNoest", 15, {}, "UPDATE PesosNoest SET c1 = 'uno'"},
            {"nulo", "PesosSistema", 15, {}, "UPDATE PesosSistema SET c3 = NULL WHERE rowid = 8"},
            {"preex-vacia", "PesosPreex", 15, "PesosPreex", "CREATE TABLE PesosPreex (c0, c1, c2, c3)"}};
        for (const auto &[nombre, tabla, filas, omitir, dannar] : casos) {
            const QString archivo = filas < 0 ? dir_.filePath(QStringLiteral("no existe.sqlite"))
                                              : CrearReferencia(dir_, nombre, filas, omitir, dannar);
            try {
                LeerTablasPesos(archivo);
                QFAIL(qPrintable(QStringLiteral("se leyeron pesos de una base defectuosa: ") + nombre));
            } catch (const ErrorDatos &error) {
                QVERIFY2(error.mensaje().contains(archivo) && error.mensaje().contains('"' + tabla + '"'),
                         qPrintable(error.mensaje()));
            }
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
        QList<std::array<double, 4>> pesos;
        for (int i = 0; i < 6; ++i) {
            const VariableCalificada &v = e.Variables[i];
            pesos << std::array<double, 4>{v.PesoEstructural, v.PesoNoEstructural, v.PesoPreexistente, v.PesoSuelo};
        }
        QCOMPARE(pesos, (QList<std::array<double, 4>>{{15, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0.4}, {0, 0, 0.8, 0},
                                                       {15, 0, 0, 0}, {0, 0, 0, 0}}));
    }

    void membresias()
    {
        EstadoEvaluacion e = Estado(0, {{0, 1}, {1, 3}, {14, 1}, {15, 2}});
        e.Variables[0].PesoEstructural = 1;
        e.Variables[1].PesoEstructural = 3;
        e.Variables[2].PesoNoEstructural = e.Variables[3].PesoNoEstructural = 0.5;
        CalcularProporciones(e);
        QCOMPARE(e.PropEstructural, (Membresias{0, 0.25, 0, 0.75, 0}));
        QCOMPARE(e.PropNoEstructural, (Membresias{0, 0.5, 0.5, 0, 0}));
        QCOMPARE(e.PropSuelo, (Membresias{0, 0, 0, 0, 0}));  // no weight: zeros, no division
        QCOMPARE(e.TotalPesos, (std::array<double, 4>{4, 1, 0, 0}));
        e.Variables[1].Nivel = -1;  // takes part in nothing
        CalcularProporciones(e);
        QCOMPARE(e.PropEstructural, (Membresias{0, 1, 0, 0, 0}));

        // The category buttons' per-category routines give the driver's one-pass numbers.
        QRandomGenerator azar(5);
        for (int n = 0; n < 300; ++n) {
            e.UltimaVariable = static_cast<int16_t>(azar.bounded(23));
            for (int i = 0; i < NumVariables; ++i) {
                VariableCalificada &v = e.Variables[i];
                v = VariableCalificada{0, 0, 0, 0, static_cast<int16_t>(i), static_cast<int16_t>(azar.bounded(5))};
                double *pesos[4] = {&v.PesoEstructural, &v.PesoNoEstructural, &v.PesoPreexistente, &v.PesoSuelo};
                *pesos[azar.bounded(4)] = azar.bounded(3) * 0.5;
            }
            CalcularProporciones(e);
            const EstadoEvaluacion todas = e;
            ProporcionesEstructurales(e);
            ProporcionesNoEstructurales(e);
            ProporcionesPreexistentes(e);
            ProporcionesSuelo(e);
            QCOMPARE((QList<Membresias>{e.PropEstructural, e.PropNoEstructural, e.PropPreexistente, e.PropSuelo}),
                     (QList<Membresias>{todas.PropEstructural, todas.PropNoEstructural, todas.PropPreexistente, todas.PropSuelo}));
            QCOMPARE(e.TotalPesos, todas.TotalPesos);
        }
    }

    // The messages the evaluation journey does not already reach through the form.
    void botones()
    {
        const TablasPesos pesos = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
        QStringList (*const botones[])(EstadoEvaluacion &, const TablasPesos &) = {
            BotonEvaluarEstructural, BotonEvaluarNoEstructural, BotonEvaluarPreexistente, BotonEvaluarSuelo};
        const QList<std::tuple<int, int, Calificaciones, QString>> casos = {
            {0, 0, {{0, 1}, {1, 1}, {2, 1}, {13, 1}},
             "Riesgo Estructural: Bajo.\rDaño Estructural: Leve.\rIndice de Daño Estructural = 0.1767."},
            {0, 1, {{4, 3}, {13, 0}},
             "Por saturación del daño en un elemento indispensable para la estabilidad estructural. \r"
             "Daño Estructural: FUERTE.\rRiesgo Estructural: ALTO"},
            {1, 0, {{14, 2}, {15, 2}, {16, 2}},
             "Riesgo No Estructural: Bajo, después de medidas.\rDaño No Estructural: Moderado.\r"
             "Indice de Daño No Estructural = 0.35."},
            {2, 0, {{19, 0}, {20, 0}, {21, 0}, {22, 0}},
             "Condiciones Preexistentes: Muy Buenas.\rIndice de Condiciones Preexistentes = 0.0582."},
            {2, 0, {{19, 2}, {20, 0}}, "Condiciones Preexistentes: Regulares.\rIndice de Condiciones Preexistentes = 0.33"},
            {2, 0, {{22, 4}},
             "Algunas condiciones empeoran el estado del edificio.\rCondiciones Preexistentes: Muy Malas.\r"
             "Indice de Condiciones Preexistentes = 0.76"},
            {3, 0, {{17, 1}, {18, 1}},
             "Riesgo Geotécnico: Bajo.\rCondiciones del Suelo: Buenas.\rIndice de Condiciones del Suelo = 0.1767."},
            {3, 0, {{17, 3}, {18, 0}},
             "Problemas geotécnicos ponen en peligro la estabilidad estructural. \rRiesgo Geotécnico: ALTO.\r"
             "Condiciones del Suelo: MALAS.\rIndice de Condiciones del Suelo = 0.55"}};
        for (const auto &[boton, sistema, calificaciones, mensaje] : casos) {
            EstadoEvaluacion e = Estado(sistema, calificaciones);
            QCOMPARE(botones[boton](e, pesos), QStringList{mensaje});
        }
    }

    // The other elements add a first message, never change the level.
    void otrosElementos()
    {
        EstadoEvaluacion e;
        e.NivelOtroGrave = {4, 4, 4, 4};  // from an earlier building
        e.OtrosNoEstructurales = {OtroCalificado{Cubierta, 3}, OtroCalificado{CieloRasos, 2},
                                  OtroCalificado{TanquesElevados, 4}, OtroCalificado{}};
        CopiarOtrosGraves(e);
        QCOMPARE(e.NivelOtroGrave, (std::array<int16_t, 4>{0, 0, 3, 4}));

        TablasPesos pesos;
        pesos.noEst = {0.6, 1, 0.8};
        e = Estado(0, {{14, 1}, {15, 1}, {16, 1}});
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
