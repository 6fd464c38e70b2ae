// The summary of buildings checked against counts this test makes from the
// records it saved: each building once under its newest evaluation, the
// unsafe buildings by barrio, re-inspections per day and the postings that
// changed; the dwelling units under each current posting, with the buildings
// that never got a number counted apart; evaluations without a building key
// each a building of their own;
// and a date range that leaves a building's later re-inspection out.

#include "core/registry/building_key.h"
#include "core/registry/buildings_summary.h"
#include "core/registry/local_registry.h"
#include "support/test_support.h"

#include <QMap>
#include <optional>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;
using namespace ResumenEvento;

namespace {

const char *const Habitabilidades[] = {"Habitable", "Uso Restringido", "No Habitable", "Peligro de Colapso", ""};
const char *const Barrios[] = {"San Martín", "El Prado", "-"};

// `n` evaluations of about n/4 buildings: a plot for most, an address for
// some, neither for a few; dates over eight days, habitabilities at random.
QVector<RegistroEvaluacion> Muestra(int n)
{
    auto az = [g = QRandomGenerator(2026)](quint32 m) mutable { return int(g.bounded(m)); };
    QVector<RegistroEvaluacion> lote;
    for (int i = 0; i < n; ++i) {
        RegistroEvaluacion r;
        for (int p = 0; p < NumCampos; ++p)
            r.establecerCampo(p, Campo(p).tipo == TipoCampo::Texto ? QVariant(QStringLiteral("--")) : QVariant(0));
        const int edificio = az(quint32(n / 4));
        const int caso = edificio % 10;  // 0..6 plot, 7..8 address, 9 neither
        if (caso <= 6) {
            for (auto [p, v] : {std::pair{Pos::TipoAvaluo, "01"}, {Pos::Comuna, "05-12"}, {Pos::Sector, "03"},
                                {Pos::Manzana, "0045"}})
                r.establecerCampo(p, QString::fromLatin1(v));
            r.establecerCampo(Pos::Predio, QStringLiteral("%1").arg(edificio, 4, 10, QLatin1Char('0')));
            r.establecerCampo(Pos::MejoraPH, QStringLiteral("%1").arg(az(3), 3, 10, QLatin1Char('0')));
        } else if (caso <= 8) {
            r.establecerCampo(Pos::TipoDireccion, QStringLiteral("Calle"));
            r.establecerCampo(Pos::NumeroCalle, QStringLiteral("%1").arg(edificio));
            r.establecerCampo(Pos::NumeroCasa, az(2) ? QStringLiteral("12-30") : QStringLiteral("# 12 - 30"));
        }
        r.establecerCampo(Pos::Barrio, QString::fromUtf8(Barrios[edificio % 3]));
        r.establecerCampo(Pos::Habitabilidad, QString::fromUtf8(Habitabilidades[az(5)]));
        r.establecerCampo(Pos::Fecha, QDateTime(QDate(2026, 11, 28).addDays(az(8)), QTime(az(24), az(60)))
                                          .toString(Qt::ISODate));
        // Most give the dwelling units; a re-inspection may leave them out.
        if (az(3))
            r.unidadesVivienda = az(40);
        lote << r;
    }
    return lote;
}

// What the summary must say, counted here from the saved records.
struct Esperado {
    qint64 edificaciones = 0, reinspecciones = 0, empeoraron = 0, mejoraron = 0;
    std::array<qint64, NumClasesHabitabilidad> porHabitabilidad{}, unidades{}, sinUnidades{};
    QMap<QString, std::array<qint64, 3>> barrios;  // buildings, no habitables, peligro
    QMap<QString, std::pair<qint64, qint64>> dias;  // evaluations, re-inspections
    QMap<std::pair<int, int>, qint64> cambios;
};

Esperado Contar(const QVector<RegistroEvaluacion> &guardados, const QString &hasta)
{
    QMap<QString, QVector<RegistroEvaluacion>> porEdificacion;
    for (const RegistroEvaluacion &r : guardados) {
        if (r.texto(Pos::Fecha).left(10) > hasta)
            continue;
        const QString clave = ClaveEdificacion::De(r);
        porEdificacion[clave.isEmpty() ? QStringLiteral("sola %1").arg(r.numero()) : clave] << r;
    }
    Esperado e;
    for (QVector<RegistroEvaluacion> evaluaciones : std::as_const(porEdificacion)) {
        std::sort(evaluaciones.begin(), evaluaciones.end(), [](const auto &a, const auto &b) {
            return std::pair(a.texto(Pos::Fecha), a.numero()) < std::pair(b.texto(Pos::Fecha), b.numero());
        });
        for (int i = 0; i < evaluaciones.size(); ++i) {
            auto &d = e.dias[evaluaciones[i].texto(Pos::Fecha).left(10)];
            ++d.first;
            if (i == 0)
                continue;
            ++d.second;
            ++e.reinspecciones;
            const int antes = ClaseHabitabilidad(evaluaciones[i - 1].texto(Pos::Habitabilidad));
            const int ahora = ClaseHabitabilidad(evaluaciones[i].texto(Pos::Habitabilidad));
            if (antes == ahora)
                continue;
            ++e.cambios[{antes, ahora}];
            if (antes != ClaseOtraHabitabilidad && ahora != ClaseOtraHabitabilidad)
                ++(ahora > antes ? e.empeoraron : e.mejoraron);
        }
        const RegistroEvaluacion &vigente = evaluaciones.last();
        const int clase = ClaseHabitabilidad(vigente.texto(Pos::Habitabilidad));
        ++e.edificaciones;
        ++e.porHabitabilidad[clase];
        std::optional<int> unidades;
        for (const RegistroEvaluacion &r : evaluaciones)
            if (r.unidadesVivienda)
                unidades = r.unidadesVivienda;
        if (unidades)
            e.unidades[clase] += *unidades;
        else
            ++e.sinUnidades[clase];
        const QString barrio = vigente.texto(Pos::Barrio) == QLatin1String("-") ? QString() : vigente.texto(Pos::Barrio);
        auto &b = e.barrios[barrio];
        ++b[0];
        b[1] += clase == 2;
        b[2] += clase == 3;
    }
    return e;
}

}  // namespace

class PruebaResumenEdificaciones : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void resumenIgualAlConteo_data()
    {
        QTest::addColumn<QString>("hasta");
        QTest::newRow("todo") << QStringLiteral("2026-12-31");
        QTest::newRow("hasta el 2 de diciembre") << QStringLiteral("2026-12-02");
    }
    void resumenIgualAlConteo()
    {
        QFETCH(QString, hasta);
        const QString archivo = carpeta.filePath(QStringLiteral("edificaciones.sqlite"));
        static QVector<RegistroEvaluacion> guardados;
        if (guardados.isEmpty()) {
            guardados = Muestra(600);
            RegistroLocal(archivo).agregar(guardados);
        }
        const Esperado e = Contar(guardados, hasta);
        QVERIFY(e.reinspecciones > 100 && !e.cambios.isEmpty());  // the sample re-inspects

        RegistroLocal registro(archivo);
        FiltroRegistro filtro;
        filtro.hasta = QDate::fromString(hasta, Qt::ISODate);
        const ResumenEdificaciones r = ResumirEdificaciones(registro.lector(), filtro);
        QCOMPARE(r.edificaciones, e.edificaciones);
        QCOMPARE(r.evaluaciones, e.edificaciones + e.reinspecciones);
        QCOMPARE(r.reinspecciones, e.reinspecciones);
        QCOMPARE(r.porHabitabilidad, e.porHabitabilidad);
        QCOMPARE(r.unidadesPorHabitabilidad, e.unidades);
        QCOMPARE(r.sinUnidadesPorHabitabilidad, e.sinUnidades);
        QVERIFY(e.sinUnidades[2] > 0 && e.unidades[2] > 0);  // both kinds among the unsafe
        QCOMPARE(r.empeoraron, e.empeoraron);
        QCOMPARE(r.mejoraron, e.mejoraron);
        QCOMPARE(r.cambios.size(), e.cambios.size());
        for (const CambioEdificaciones &c : r.cambios)
            QCOMPARE(c.veces, e.cambios.value({c.desde, c.hasta}));
        QCOMPARE(r.porBarrio.size(), e.barrios.size());
        for (const ZonaEdificaciones &z : r.porBarrio) {
            const auto b = e.barrios.value(z.zona);
            QCOMPARE((std::array<qint64, 3>{z.edificaciones, z.noHabitables, z.peligroColapso}), b);
        }
        QCOMPARE(r.porDia.size(), e.dias.size());
        for (const DiaEdificaciones &d : r.porDia)
            QCOMPARE(std::pair(d.evaluaciones, d.reinspecciones), e.dias.value(d.dia));

        // The registry's summary shows both counts, buildings first.
        const ResumenRegistro completo = registro.resumen(filtro);
        QCOMPARE(completo.edificaciones, e.edificaciones);
        const QVector<TablaResumen> tablas = TablasResumen(completo);
        QCOMPARE(tablas.first().titulo, QStringLiteral("Edificaciones por habitabilidad vigente"));
        QCOMPARE(tablas.first().filas.last(), (QStringList{QStringLiteral("Total"), QString::number(e.edificaciones)}));
        // Households that cannot go home: units of the buildings not
        // habitable or in danger of collapse, and how many of those have no
        // number, never taken as zero units.
        const auto unidades = std::find_if(tablas.cbegin(), tablas.cend(), [](const TablaResumen &t) {
            return t.titulo == QLatin1String("Unidades de vivienda por habitabilidad vigente");
        });
        QVERIFY(unidades != tablas.cend());
        const QStringList hogares = unidades->filas.last();
        QCOMPARE(hogares.at(2), QString::number(e.unidades[2] + e.unidades[3]));
        QCOMPARE(hogares.at(3), QString::number(e.sinUnidades[2] + e.sinUnidades[3]));
    }
};

QTEST_GUILESS_MAIN(PruebaResumenEdificaciones)
#include "buildings_summary_test.moc"
