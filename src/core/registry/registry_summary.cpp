#include "core/registry/registry_summary.h"

#include "core/registry/buildings_summary.h"

#include "core/data/record_set.h"
#include "core/registry/csv_field.h"
#include "core/engine/fuzzy_scale.h"
#include "core/registry/registry_sql.h"
#include "core/registry/terminal_text.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace RegistroEvaluaciones;

namespace ResumenEvento {

int ClaseHabitabilidad(const QString &habitabilidad)
{
    for (int i = 0; i < ClaseOtraHabitabilidad; ++i)
        if (habitabilidad == NombreHabitabilidad(i))
            return i;
    return ClaseOtraHabitabilidad;
}

QString NombreClaseHabitabilidad(int clase)
{
    return clase >= 0 && clase < ClaseOtraHabitabilidad ? NombreHabitabilidad(clase) : QStringLiteral("Otra o sin dato");
}

QString TextoClave(const QString &clave) { return clave.isEmpty() ? SinDato : clave; }

// The value of a text column as a grouping key: empty when it is missing or
// holds only blanks and dashes.
QString Clave(const LectorRegistroSql &lector, const QString &expresion)
{
    const QString recorte = lector.motor() == LectorRegistroSql::Motor::Postgres
                                ? QStringLiteral("btrim(CAST(%1 AS TEXT), '- ')")
                                : QStringLiteral("trim(CAST(%1 AS TEXT), '- ')");
    return QStringLiteral("CASE WHEN %1 IS NULL OR %2 = '' THEN '' ELSE CAST(%1 AS TEXT) END")
        .arg(expresion, recorte.arg(expresion));
}

// The comuna: the part of the field before its first dash.
QString ExpresionComuna(const LectorRegistroSql &lector)
{
    const QString c = CitarIdentificador(Campo(Pos::Comuna).columna);
    const QString antes = lector.motor() == LectorRegistroSql::Motor::Postgres
                              ? QStringLiteral("split_part(CAST(%1 AS TEXT), '-', 1)").arg(c)
                              : QStringLiteral("CASE WHEN instr(%1, '-') > 0 THEN substr(%1, 1, instr(%1, '-') - 1) "
                                               "ELSE CAST(%1 AS TEXT) END")
                                    .arg(c);
    return QStringLiteral("trim(%1)").arg(antes);
}

}  // namespace ResumenEvento

using namespace ResumenEvento;

qint64 DiaResumen::total() const
{
    qint64 t = 0;
    for (qint64 n : porHabitabilidad)
        t += n;
    return t;
}

namespace {

QString Col(int posicion) { return CitarIdentificador(Campo(posicion).columna); }

QString ExpresionDia() { return QStringLiteral("substr(CAST(%1 AS TEXT), 1, 10)").arg(Col(Pos::Fecha)); }

// Runs a grouping query: `antes` are the values bound in the SELECT list,
// followed by the selection's own.
template <typename Fila>
void Consultar(const LectorRegistroSql &lector, const QString &sql, const QVariantList &antes,
               const QVariantList &valores, Fila cadaFila)
{
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());
    for (const QVariant &v : antes)
        q.addBindValue(v);
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());
    while (q.next())
        cadaFila(q);
    if (q.lastError().isValid())
        lector.fallar(QStringLiteral("no se puede resumir la tabla"), q.lastError().text());
}

// The named levels first, in their order, each present; then the other
// values found, most frequent first.
QVector<ConteoResumen> Ordenar(const QHash<QString, qint64> &cuentas, QString (*nombre)(int), int niveles)
{
    QVector<ConteoResumen> conocidos, otros;
    QSet<QString> nombres;
    for (int i = 0; i < niveles; ++i) {
        conocidos.append({nombre(i), cuentas.value(nombre(i))});
        nombres.insert(nombre(i));
    }
    for (auto it = cuentas.cbegin(); it != cuentas.cend(); ++it)
        if (!nombres.contains(it.key()))
            otros.append({it.key(), it.value()});
    std::sort(otros.begin(), otros.end(), [](const ConteoResumen &a, const ConteoResumen &b) {
        return a.evaluaciones != b.evaluaciones ? a.evaluaciones > b.evaluaciones : a.valor < b.valor;
    });
    return conocidos + otros;
}

QVector<ZonaResumen> Zonas(const QHash<QString, ZonaResumen> &zonas)
{
    QVector<ZonaResumen> lista(zonas.cbegin(), zonas.cend());
    std::sort(lista.begin(), lista.end(), [](const ZonaResumen &a, const ZonaResumen &b) {
        return a.evaluaciones != b.evaluaciones ? a.evaluaciones > b.evaluaciones : a.zona < b.zona;
    });
    return lista;
}

}  // namespace

// Three scans of the selection, each grouped by a few columns whose
// combinations are few: the three results, the places, and the day with the
// commission and the habitability. The groups are then added up here; a
// fourth scan, by building, gives the buildings' tables.
ResumenRegistro ResumirRegistro(const LectorRegistroSql &lector, const FiltroRegistro &filtro)
{
    QVariantList valores;
    const QString donde = lector.condicion(filtro, valores);
    const QString tabla = lector.tablaSql();
    ResumenRegistro r;

    QHash<QString, qint64> habitabilidad, reparabilidad, estado;
    Consultar(lector,
              QStringLiteral("SELECT %1, %2, %3, COUNT(*) FROM %4%5 GROUP BY %1, %2, %3")
                  .arg(Clave(lector, Col(Pos::Habitabilidad)), Clave(lector, Col(Pos::Reparabilidad)),
                       Clave(lector, Col(Pos::EstadoGlobal)), tabla, donde),
              {}, valores, [&](const QSqlQuery &q) {
                  const qint64 n = q.value(3).toLongLong();
                  habitabilidad[q.value(0).toString()] += n;
                  reparabilidad[q.value(1).toString()] += n;
                  estado[q.value(2).toString()] += n;
                  r.total += n;
              });
    r.porHabitabilidad = Ordenar(habitabilidad, NombreHabitabilidad, 4);
    r.porReparabilidad = Ordenar(reparabilidad, NombreReparabilidad, 4);
    r.porEstadoGlobal = Ordenar(estado, NombreEstadoGlobal, 5);

    QHash<QString, ZonaResumen> barrios, comunas;
    const QString hab = Col(Pos::Habitabilidad);
    Consultar(lector,
              QStringLiteral("SELECT %1, %2, COUNT(*), SUM(CASE WHEN %3 = ? THEN 1 ELSE 0 END), "
                             "SUM(CASE WHEN %3 = ? THEN 1 ELSE 0 END) FROM %4%5 GROUP BY %1, %2")
                  .arg(Clave(lector, Col(Pos::Barrio)), Clave(lector, ExpresionComuna(lector)), hab, tabla, donde),
              {NombreHabitabilidad(2), NombreHabitabilidad(3)}, valores, [&](const QSqlQuery &q) {
                  for (int k = 0; k < 2; ++k) {
                      const QString clave = q.value(k).toString();
                      ZonaResumen &z = (k == 0 ? barrios : comunas)[clave];
                      z.zona = clave;
                      z.evaluaciones += q.value(2).toLongLong();
                      z.noHabitables += q.value(3).toLongLong();
                      z.peligroColapso += q.value(4).toLongLong();
                  }
              });
    r.porBarrio = Zonas(barrios);
    r.porComuna = Zonas(comunas);

    // Ordered by day, then commission: the days come one after another, and
    // each day's commissions in code order.
    QMap<QString, qint64> porComision;
    QMap<std::pair<QString, QString>, qint64> porComisionDia;
    Consultar(lector,
              QStringLiteral("SELECT %1, %2, %3, COUNT(*) FROM %4%5 GROUP BY %1, %2, %3 ORDER BY %1")
                  .arg(ExpresionDia(), Clave(lector, Col(Pos::CodigoComision)), Col(Pos::Habitabilidad), tabla, donde),
              {}, valores, [&](const QSqlQuery &q) {
                  const QString d = q.value(0).toString();
                  const QString c = q.value(1).toString();
                  const qint64 n = q.value(3).toLongLong();
                  if (r.porDia.isEmpty() || r.porDia.last().dia != d)
                      r.porDia.append(DiaResumen{d, {}});
                  r.porDia.last().porHabitabilidad[ClaseHabitabilidad(q.value(2).toString())] += n;
                  porComision[c] += n;
                  porComisionDia[{c, d}] += n;
              });
    for (auto it = porComision.cbegin(); it != porComision.cend(); ++it)
        r.porComision.append({it.key(), it.value()});
    for (auto it = porComisionDia.cbegin(); it != porComisionDia.cend(); ++it)
        r.porComisionDia.append({it.key().first, it.key().second, it.value()});

    const ResumenEdificaciones edificaciones = ResumirEdificaciones(lector, filtro);
    r.edificaciones = edificaciones.edificaciones;
    r.tablasEdificaciones = TablasEdificaciones(edificaciones);
    return r;
}

namespace {

void Fila(QByteArray &salida, const QStringList &celdas)
{
    for (qsizetype i = 0; i < celdas.size(); ++i) {
        if (i)
            salida += ',';
        CampoTextoCsv::Agregar(salida, celdas.at(i).toUtf8());
    }
    salida += "\r\n";
}

QString N(qint64 n) { return QString::number(n); }

}  // namespace

QVector<TablaResumen> TablasResumen(const ResumenRegistro &r)
{
    QVector<TablaResumen> tablas = r.tablasEdificaciones;
    auto totales = [&](const QString &titulo, const QString &columna, const QVector<ConteoResumen> &conteos) {
        TablaResumen t{titulo, {columna, QStringLiteral("Evaluaciones")}, {}};
        for (const ConteoResumen &c : conteos)
            t.filas.append({TextoClave(c.valor), N(c.evaluaciones)});
        t.filas.append({QStringLiteral("Total"), N(r.total)});
        tablas.append(std::move(t));
    };
    totales(QStringLiteral("Por habitabilidad"), QStringLiteral("Habitabilidad"), r.porHabitabilidad);
    totales(QStringLiteral("Por reparabilidad"), QStringLiteral("Reparabilidad"), r.porReparabilidad);
    totales(QStringLiteral("Por estado global"), QStringLiteral("Estado global"), r.porEstadoGlobal);

    auto zonas = [&](const QString &titulo, const QString &columna, const QVector<ZonaResumen> &lista) {
        TablaResumen t{titulo,
                       {columna, QStringLiteral("Evaluaciones"), NombreHabitabilidad(2), NombreHabitabilidad(3)},
                       {}};
        for (const ZonaResumen &z : lista)
            t.filas.append({TextoClave(z.zona), N(z.evaluaciones), N(z.noHabitables), N(z.peligroColapso)});
        tablas.append(std::move(t));
    };
    zonas(QStringLiteral("Por barrio"), QStringLiteral("Barrio"), r.porBarrio);
    zonas(QStringLiteral("Por comuna"), QStringLiteral("Comuna"), r.porComuna);

    TablaResumen dias{QStringLiteral("Por día"), {QStringLiteral("Día")}, {}};
    for (int i = 0; i < NumClasesHabitabilidad; ++i)
        dias.columnas << NombreClaseHabitabilidad(i);
    dias.columnas << QStringLiteral("Total");
    for (const DiaResumen &d : r.porDia) {
        QStringList f{TextoClave(d.dia)};
        for (qint64 n : d.porHabitabilidad)
            f << N(n);
        f << N(d.total());
        dias.filas.append(f);
    }
    tablas.append(std::move(dias));

    TablaResumen comisiones{QStringLiteral("Por comisión"), {QStringLiteral("Comisión"), QStringLiteral("Evaluaciones")}, {}};
    for (const ComisionResumen &c : r.porComision)
        comisiones.filas.append({TextoClave(c.codigo), N(c.evaluaciones)});
    tablas.append(std::move(comisiones));
    TablaResumen porDia{QStringLiteral("Por comisión y día"),
                        {QStringLiteral("Comisión"), QStringLiteral("Día"), QStringLiteral("Evaluaciones")},
                        {}};
    for (const ComisionDiaResumen &c : r.porComisionDia)
        porDia.filas.append({TextoClave(c.codigo), TextoClave(c.dia), N(c.evaluaciones)});
    porDia.columnasTexto = 2;
    tablas.append(std::move(porDia));
    return tablas;
}

QByteArray ResumenCsv(const ResumenRegistro &r)
{
    QByteArray s;
    const QVector<TablaResumen> tablas = TablasResumen(r);
    for (qsizetype i = 0; i < tablas.size(); ++i) {
        if (i)
            s += "\r\n";
        Fila(s, tablas[i].columnas);
        for (const QStringList &f : tablas[i].filas)
            Fila(s, f);
    }
    return s;
}

QString ResumenTexto(const ResumenRegistro &r)
{
    QString s;
    for (const TablaResumen &t : TablasResumen(r)) {
        // Each column as wide as its widest cell; counts to the right.
        QVector<qsizetype> anchos(t.columnas.size());
        auto medir = [&](const QStringList &f) {
            for (qsizetype c = 0; c < f.size() && c < anchos.size(); ++c)
                anchos[c] = std::max(anchos[c], TextoParaTerminal(f[c]).simplified().size());
        };
        medir(t.columnas);
        for (const QStringList &f : t.filas)
            medir(f);
        auto linea = [&](const QStringList &f, bool cabecera) {
            QStringList celdas;
            for (qsizetype c = 0; c < f.size() && c < anchos.size(); ++c) {
                const QString v = TextoParaTerminal(f[c]).simplified();
                const bool numero = !cabecera && c > 0 && !v.isEmpty() && v.front().isDigit();
                celdas << (numero ? v.rightJustified(anchos[c]) : v.leftJustified(anchos[c]));
            }
            s += celdas.join(QStringLiteral("  ")).trimmed().prepend(QStringLiteral("  ")) + QLatin1Char('\n');
        };
        s += t.titulo + QLatin1Char('\n');
        linea(t.columnas, true);
        for (const QStringList &f : t.filas)
            linea(f, false);
        s += QLatin1Char('\n');
    }
    return s;
}
