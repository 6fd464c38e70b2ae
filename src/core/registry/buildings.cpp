#include "core/registry/buildings.h"

#include "core/data/record_set.h"
#include "core/registry/registry_sql.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cmath>
#include <map>

using namespace RegistroEvaluaciones;

namespace {

QString Col(int posicion) { return CitarIdentificador(Campo(posicion).columna); }
QString ColClave() { return CitarIdentificador(ColumnaClave); }

// The evaluations of one building, newest first; at most `limite` (0: all).
QVector<RegistroEvaluacion> Evaluaciones(const LectorRegistroSql &lector, const QString &clave, int limite)
{
    QVector<RegistroEvaluacion> registros;
    if (clave.isEmpty())
        return registros;
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %3 = ? ORDER BY %5 DESC, %6 DESC%7")
                  .arg(LectorRegistroSql::listaColumnas(), CitarIdentificador(ColumnaUuid), ColClave(),
                       lector.tablaSql(), Col(Pos::Fecha), Col(Pos::Numero),
                       limite > 0 ? QStringLiteral(" LIMIT %1").arg(limite) : QString()));
    q.addBindValue(clave);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    while (q.next()) {
        RegistroEvaluacion r = LectorRegistroSql::registroDeFila(q);
        r.uuid = QUuid::fromString(q.value(NumCampos).toString());
        r.claveEdificacion = q.value(NumCampos + 1).toString();
        registros << r;
    }
    if (q.lastError().isValid())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return registros;
}

}  // namespace

namespace Edificaciones {

double Distancia(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double Radio = 6371008.8;
    constexpr double Grado = M_PI / 180.0;
    const double dLat = (lat2 - lat1) * Grado, dLon = (lon2 - lon1) * Grado;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2)
                     + std::cos(lat1 * Grado) * std::cos(lat2 * Grado) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * Radio * std::asin(std::min(1.0, std::sqrt(a)));
}

std::optional<EdificacionRegistrada> Buscar(const LectorRegistroSql &lector, const QString &clave)
{
    const QVector<RegistroEvaluacion> ultima = Evaluaciones(lector, clave, 1);
    if (ultima.isEmpty())
        return std::nullopt;
    QSqlQuery q(lector.db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(lector.tablaSql(), ColClave()));
    q.addBindValue(clave);
    if (!q.exec() || !q.next())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return EdificacionRegistrada{clave, q.value(0).toLongLong(), ultima.first()};
}

QVector<EdificacionRegistrada> Cercanas(const LectorRegistroSql &lector, double latitud, double longitud,
                                        double metros)
{
    QVector<EdificacionRegistrada> encontradas;
    if (!std::isfinite(latitud) || !std::isfinite(longitud) || std::fabs(latitud) > 89.0)
        return encontradas;
    // A box around the point read through the index, then the true distance.
    const double dLat = metros / 111000.0 * 1.01;
    const double dLon = dLat / std::cos(latitud * M_PI / 180.0);
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %2 BETWEEN ? AND ? AND %3 BETWEEN ? AND ? "
                             "AND %1 IS NOT NULL AND %1 <> ''")
                  .arg(ColClave(), Col(Pos::Latitud), Col(Pos::Longitud), lector.tablaSql()));
    q.addBindValue(latitud - dLat);
    q.addBindValue(latitud + dLat);
    q.addBindValue(longitud - dLon);
    q.addBindValue(longitud + dLon);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    std::map<QString, double> cerca;  // key -> its nearest evaluation's distance
    while (q.next()) {
        const double d = Distancia(latitud, longitud, q.value(1).toDouble(), q.value(2).toDouble());
        if (d > metros)
            continue;
        const QString clave = q.value(0).toString();
        auto it = cerca.find(clave);
        if (it == cerca.end() || d < it->second)
            cerca[clave] = d;
    }
    std::vector<std::pair<double, QString>> orden;
    for (const auto &[clave, d] : cerca)
        orden.emplace_back(d, clave);
    std::sort(orden.begin(), orden.end());
    for (const auto &[d, clave] : orden)
        if (auto e = Buscar(lector, clave))
            encontradas << *e;
    return encontradas;
}

QVector<RegistroEvaluacion> Historial(const LectorRegistroSql &lector, const QString &clave)
{
    return Evaluaciones(lector, clave, 0);
}

namespace {
int Gravedad(const QString &habitabilidad)
{
    static const QStringList orden = {QStringLiteral("habitable"), QStringLiteral("uso restringido"),
                                      QStringLiteral("no habitable"), QStringLiteral("peligro de colapso")};
    return static_cast<int>(orden.indexOf(habitabilidad.simplified().toLower()));
}
}  // namespace

CambioAviso Cambio(const QString &anterior, const QString &nueva)
{
    const int a = Gravedad(anterior), n = Gravedad(nueva);
    if (a < 0 || n < 0)
        return CambioAviso::Desconocido;
    return n > a ? CambioAviso::Peor : n < a ? CambioAviso::Mejor : CambioAviso::Igual;
}

namespace {
ReferenciaAviso Referencia(const RegistroEvaluacion &r)
{
    return {r.numero(), r.texto(Pos::Fecha), r.texto(Pos::Habitabilidad)};
}
}  // namespace

void Situar(RegistroEvaluacion &registro, const QVector<RegistroEvaluacion> &historial)
{
    registro.reemplaza.reset();
    registro.reemplazadaPor.reset();
    const auto propia = std::find_if(historial.begin(), historial.end(),
                                     [&](const RegistroEvaluacion &r) { return r.numero() == registro.numero(); });
    if (propia == historial.end())
        return;
    if (propia != historial.begin())
        registro.reemplazadaPor = Referencia(historial.front());
    if (propia + 1 != historial.end())
        registro.reemplaza = Referencia(*(propia + 1));
}

QString ClaveDe(const LectorRegistroSql &lector, int32_t numero)
{
    QSqlQuery q(lector.db());
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(ColClave(), lector.tablaSql(), Col(Pos::Numero)));
    q.addBindValue(numero);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return q.next() ? q.value(0).toString() : QString();
}

void Situar(const LectorRegistroSql &lector, QVector<RegistroEvaluacion> &registros)
{
    // Two statements for the whole page: for each record, the newest
    // evaluation of its building and the one just before it (each an index
    // seek on the building key); then the date and habitability of those.
    QStringList marcas;
    QVariantList numeros;
    for (RegistroEvaluacion &r : registros) {
        r.reemplaza.reset();
        r.reemplazadaPor.reset();
        r.evaluacionesEdificacion = 0;
        if (!r.pendiente && r.numero() > 0) {
            marcas << QStringLiteral("?");
            numeros << r.numero();
        }
    }
    if (numeros.isEmpty())
        return;
    const QString tabla = lector.tablaSql(), clave = ColClave(), fecha = Col(Pos::Fecha), numero = Col(Pos::Numero);
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT e.%1, "
                             "(SELECT n.%1 FROM %2 n WHERE n.%3 = e.%3 ORDER BY n.%4 DESC, n.%1 DESC LIMIT 1), "
                             "(SELECT p.%1 FROM %2 p WHERE p.%3 = e.%3 AND (p.%4 < e.%4 OR (p.%4 = e.%4 AND p.%1 < e.%1)) "
                             "ORDER BY p.%4 DESC, p.%1 DESC LIMIT 1), "
                             "(SELECT COUNT(*) FROM %2 c WHERE c.%3 = e.%3) "
                             "FROM %2 e WHERE e.%1 IN (%5) AND e.%3 IS NOT NULL AND e.%3 <> ''")
                  .arg(numero, tabla, clave, fecha, marcas.join(QLatin1Char(','))));
    for (const QVariant &v : std::as_const(numeros))
        q.addBindValue(v);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    QHash<int32_t, std::pair<int32_t, int32_t>> vecinos;  // number -> (current, previous)
    QHash<int32_t, qint64> cuantas;                      // number -> its building's evaluations
    QSet<int32_t> nombrados;
    while (q.next()) {
        const int32_t vigente = q.value(1).toInt(), anterior = q.value(2).isNull() ? 0 : q.value(2).toInt();
        vecinos.insert(q.value(0).toInt(), {vigente, anterior});
        cuantas.insert(q.value(0).toInt(), q.value(3).toLongLong());
        nombrados << vigente << anterior;
    }
    for (RegistroEvaluacion &r : registros)
        if (!r.pendiente)
            r.evaluacionesEdificacion = cuantas.value(r.numero(), 0);
    nombrados.remove(0);
    if (nombrados.isEmpty())
        return;
    QStringList otras;
    for (qsizetype i = 0; i < nombrados.size(); ++i)
        otras << QStringLiteral("?");
    QSqlQuery d(lector.db());
    d.setForwardOnly(true);
    d.prepare(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %1 IN (%5)")
                  .arg(numero, fecha, Col(Pos::Habitabilidad), tabla, otras.join(QLatin1Char(','))));
    for (int32_t n : std::as_const(nombrados))
        d.addBindValue(n);
    if (!d.exec())
        lector.fallar(QStringLiteral("no se puede leer la tabla"), d.lastError().text());
    QHash<int32_t, ReferenciaAviso> referencias;
    while (d.next())
        referencias.insert(d.value(0).toInt(), {d.value(0).toInt(), d.value(1).toString(), d.value(2).toString()});
    for (RegistroEvaluacion &r : registros) {
        const auto it = vecinos.constFind(r.numero());
        if (it == vecinos.constEnd() || r.pendiente)
            continue;
        if (it->first != r.numero() && referencias.contains(it->first))
            r.reemplazadaPor = referencias.value(it->first);
        if (it->second > 0 && referencias.contains(it->second))
            r.reemplaza = referencias.value(it->second);
    }
}

}  // namespace Edificaciones
