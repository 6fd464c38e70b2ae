#include "core/registry/buildings_summary.h"

#include "core/data/record_set.h"
#include "core/engine/fuzzy_scale.h"
#include "core/registry/registry_sql.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace RegistroEvaluaciones;
using namespace ResumenEvento;

namespace {

QString Col(int posicion) { return CitarIdentificador(Campo(posicion).columna); }

QVector<ZonaEdificaciones> Zonas(const QHash<QString, ZonaEdificaciones> &zonas)
{
    QVector<ZonaEdificaciones> lista(zonas.cbegin(), zonas.cend());
    std::sort(lista.begin(), lista.end(), [](const ZonaEdificaciones &a, const ZonaEdificaciones &b) {
        return a.edificaciones != b.edificaciones ? a.edificaciones > b.edificaciones : a.zona < b.zona;
    });
    return lista;
}

}  // namespace

ResumenEdificaciones ResumirEdificaciones(const LectorRegistroSql &lector, const FiltroRegistro &filtro)
{
    QVariantList valores;
    const QString donde = lector.condicion(filtro, valores);
    // Every selected evaluation once, by building, oldest first within it.
    const QString edificacion = QStringLiteral("COALESCE(NULLIF(%1, ''), 'n:' || CAST(%2 AS TEXT))")
                                    .arg(CitarIdentificador(ColumnaClave), Col(Pos::Numero));
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT %1, %2, %3, %4, %5, %9 FROM %6%7 ORDER BY 1, %2, %8")
                       .arg(edificacion, Col(Pos::Fecha), Col(Pos::Habitabilidad), Clave(lector, Col(Pos::Barrio)),
                            Clave(lector, ExpresionComuna(lector)), lector.tablaSql(), donde, Col(Pos::Numero),
                            CitarIdentificador(ColumnaUnidades))))
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());

    ResumenEdificaciones r;
    QHash<QString, ZonaEdificaciones> barrios, comunas;
    QMap<QString, DiaEdificaciones> dias;
    QMap<std::pair<int, int>, qint64> cambios;
    QString actual, barrio, comuna;
    int clase = -1;
    qint64 unidades = -1;  // -1: no number given for the building
    // A building is added up when its last evaluation has been read.
    auto cerrar = [&] {
        if (clase < 0)
            return;
        ++r.edificaciones;
        ++r.porHabitabilidad[clase];
        if (unidades >= 0)
            r.unidadesPorHabitabilidad[clase] += unidades;
        else
            ++r.sinUnidadesPorHabitabilidad[clase];
        for (auto [mapa, zona] : {std::pair{&barrios, barrio}, {&comunas, comuna}}) {
            ZonaEdificaciones &z = (*mapa)[zona];
            z.zona = zona;
            ++z.edificaciones;
            z.noHabitables += clase == 2;
            z.peligroColapso += clase == 3;
        }
    };
    while (q.next()) {
        const QString clave = q.value(0).toString();
        const QString dia = q.value(1).toString().left(10);
        const int esta = ClaseHabitabilidad(q.value(2).toString());
        DiaEdificaciones &d = dias[dia];
        d.dia = dia;
        ++d.evaluaciones;
        ++r.evaluaciones;
        if (clave == actual && clase >= 0) {
            ++d.reinspecciones;
            ++r.reinspecciones;
            if (esta != clase) {
                ++cambios[{clase, esta}];
                if (clase != ClaseOtraHabitabilidad && esta != ClaseOtraHabitabilidad)
                    ++(esta > clase ? r.empeoraron : r.mejoraron);
            }
        } else {
            cerrar();
            actual = clave;
            unidades = -1;
        }
        // A re-inspection that leaves the box empty keeps the number an
        // earlier evaluation gave.
        if (!q.value(5).isNull())
            unidades = q.value(5).toLongLong();
        clase = esta;
        barrio = q.value(3).toString();
        comuna = q.value(4).toString();
    }
    if (q.lastError().isValid())
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());
    cerrar();
    r.porBarrio = Zonas(barrios);
    r.porComuna = Zonas(comunas);
    for (const DiaEdificaciones &d : std::as_const(dias))
        r.porDia.append(d);
    for (auto it = cambios.cbegin(); it != cambios.cend(); ++it)
        r.cambios.append({it.key().first, it.key().second, it.value()});
    return r;
}

QVector<TablaResumen> TablasEdificaciones(const ResumenEdificaciones &r)
{
    auto N = [](qint64 n) { return QString::number(n); };
    QVector<TablaResumen> tablas;
    TablaResumen vigente{QStringLiteral("Edificaciones por habitabilidad vigente"),
                         {QStringLiteral("Habitabilidad vigente"), QStringLiteral("Edificaciones")},
                         {}};
    for (int c = 0; c < NumClasesHabitabilidad; ++c)
        vigente.filas.append({NombreClaseHabitabilidad(c), N(r.porHabitabilidad[c])});
    vigente.filas.append({QStringLiteral("Total"), N(r.edificaciones)});
    tablas.append(vigente);

    // The families behind each posting: not habitable and in danger of
    // collapse are those who cannot go home. "Sin dato": buildings whose
    // units nobody gave.
    TablaResumen unidades{QStringLiteral("Unidades de vivienda por habitabilidad vigente"),
                          {QStringLiteral("Habitabilidad vigente"), QStringLiteral("Edificaciones"),
                           QStringLiteral("Unidades"), QStringLiteral("Sin dato")},
                          {}};
    qint64 total = 0, sinDato = 0;
    for (int c = 0; c < NumClasesHabitabilidad; ++c) {
        unidades.filas.append({NombreClaseHabitabilidad(c), N(r.porHabitabilidad[c]), N(r.unidadesPorHabitabilidad[c]),
                               N(r.sinUnidadesPorHabitabilidad[c])});
        total += r.unidadesPorHabitabilidad[c];
        sinDato += r.sinUnidadesPorHabitabilidad[c];
    }
    unidades.filas.append({QStringLiteral("Total"), N(r.edificaciones), N(total), N(sinDato)});
    unidades.filas.append({QStringLiteral("Hogares que no pueden volver"),
                           N(r.porHabitabilidad[2] + r.porHabitabilidad[3]),
                           N(r.unidadesPorHabitabilidad[2] + r.unidadesPorHabitabilidad[3]),
                           N(r.sinUnidadesPorHabitabilidad[2] + r.sinUnidadesPorHabitabilidad[3])});
    tablas.append(unidades);

    auto zonas = [&](const QString &titulo, const QString &columna, const QVector<ZonaEdificaciones> &lista) {
        TablaResumen t{titulo,
                       {columna, QStringLiteral("Edificaciones"), NombreHabitabilidad(2), NombreHabitabilidad(3)},
                       {}};
        for (const ZonaEdificaciones &z : lista)
            t.filas.append({TextoClave(z.zona), N(z.edificaciones), N(z.noHabitables), N(z.peligroColapso)});
        tablas.append(t);
    };
    zonas(QStringLiteral("Edificaciones por barrio"), QStringLiteral("Barrio"), r.porBarrio);
    zonas(QStringLiteral("Edificaciones por comuna"), QStringLiteral("Comuna"), r.porComuna);

    TablaResumen dias{QStringLiteral("Evaluaciones y reinspecciones por día"),
                      {QStringLiteral("Día"), QStringLiteral("Evaluaciones"), QStringLiteral("Reinspecciones")},
                      {}};
    for (const DiaEdificaciones &d : r.porDia)
        dias.filas.append({TextoClave(d.dia), N(d.evaluaciones), N(d.reinspecciones)});
    dias.filas.append({QStringLiteral("Total"), N(r.evaluaciones), N(r.reinspecciones)});
    tablas.append(dias);

    TablaResumen cambios{QStringLiteral("Cambios de habitabilidad"),
                         {QStringLiteral("Desde"), QStringLiteral("Hasta"), QStringLiteral("Cambio"),
                          QStringLiteral("Veces")},
                         {}};
    for (const CambioEdificaciones &c : r.cambios) {
        const bool conocidos = c.desde != ClaseOtraHabitabilidad && c.hasta != ClaseOtraHabitabilidad;
        cambios.filas.append({NombreClaseHabitabilidad(c.desde), NombreClaseHabitabilidad(c.hasta),
                              !conocidos ? QString() : c.hasta > c.desde ? QStringLiteral("Empeoró")
                                                                         : QStringLiteral("Mejoró"),
                              N(c.veces)});
    }
    cambios.filas.append({QStringLiteral("Empeoraron"), QString(), QString(), N(r.empeoraron)});
    cambios.filas.append({QStringLiteral("Mejoraron"), QString(), QString(), N(r.mejoraron)});
    cambios.columnasTexto = 3;
    tablas.append(cambios);
    return tablas;
}
