#include "core/registry/coordinates.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// A decimal number: optional sign, digits with at most one decimal mark
// (comma or point), at least one digit. No exponent, no thousands marks.
std::optional<double> Numero(const QString &texto)
{
    static const QRegularExpression forma(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    const QString limpio = texto.trimmed();
    if (!forma.match(limpio).hasMatch())
        return std::nullopt;
    QString punto = limpio;
    punto.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double valor = punto.toDouble(&ok);
    if (!ok || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

}  // namespace

Coordenadas LeerCoordenadas(const QString &latitud, const QString &longitud)
{
    Coordenadas c;
    const bool hayLatitud = !latitud.trimmed().isEmpty();
    const bool hayLongitud = !longitud.trimmed().isEmpty();
    if (!hayLatitud && !hayLongitud)
        return c;
    if (hayLatitud != hayLongitud) {
        c.error = QStringLiteral("Las coordenadas deben indicarse las dos (latitud y longitud) o ninguna. "
                                 "Escriba la %1 o borre la %2.")
                      .arg(hayLatitud ? QStringLiteral("longitud") : QStringLiteral("latitud"),
                           hayLatitud ? QStringLiteral("latitud") : QStringLiteral("longitud"));
        return c;
    }
    QStringList faltas;
    const auto lat = Numero(latitud);
    const auto lon = Numero(longitud);
    if (!lat)
        faltas << QStringLiteral("La latitud \"%1\" no es un número en grados decimales.").arg(latitud.trimmed());
    else if (*lat < -90.0 || *lat > 90.0)
        faltas << QStringLiteral("La latitud debe estar entre -90 y 90 grados; se escribió %1.").arg(latitud.trimmed());
    if (!lon)
        faltas << QStringLiteral("La longitud \"%1\" no es un número en grados decimales.").arg(longitud.trimmed());
    else if (*lon < -180.0 || *lon > 180.0)
        faltas << QStringLiteral("La longitud debe estar entre -180 y 180 grados; se escribió %1.")
                      .arg(longitud.trimmed());
    if (!faltas.isEmpty()) {
        c.error = faltas.join(QLatin1Char('\n'))
                  + QStringLiteral("\nEscriba las coordenadas en grados decimales, por ejemplo 10,5 y -75,25 "
                                   "(coma o punto decimal), o deje vacías las dos.");
        return c;
    }
    c.Latitud = lat;
    c.Longitud = lon;
    return c;
}
