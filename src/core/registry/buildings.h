#pragma once
// EdificacionRegistrada: a building as the registry knows it, through the
// building key its evaluations carry: how many evaluations it has, which is
// its current posting (the newest by evaluation date and time), its history,
// and the buildings evaluated near a point.

#include "core/registry/evaluation_record.h"

#include <QString>
#include <QVector>
#include <optional>

class LectorRegistroSql;

struct EdificacionRegistrada {
    QString clave;
    qint64 evaluaciones = 0;
    // The current posting: the newest evaluation by evaluation date and
    // time (the larger number when two share the minute).
    RegistroEvaluacion vigente;
};

namespace Edificaciones {

// The building of `clave`; none for an empty key or one no evaluation has.
std::optional<EdificacionRegistrada> Buscar(const LectorRegistroSql &lector, const QString &clave);
// The buildings with an evaluation within `metros` of the point, nearest first.
QVector<EdificacionRegistrada> Cercanas(const LectorRegistroSql &lector, double latitud, double longitud,
                                        double metros);
// The building key of evaluation `numero`; empty when it has none.
QString ClaveDe(const LectorRegistroSql &lector, int32_t numero);
// Every evaluation of the building, newest first.
QVector<RegistroEvaluacion> Historial(const LectorRegistroSql &lector, const QString &clave);

// Places each record in its building's history (`historial`, newest
// first, as Historial gives it): what it replaced and what replaced it.
void Situar(RegistroEvaluacion &registro, const QVector<RegistroEvaluacion> &historial);
// The same for records read from the registry, by their numbers.
void Situar(const LectorRegistroSql &lector, QVector<RegistroEvaluacion> &registros);

// How a posting compares with the one before it in the building's
// history, by habitability (Habitable, Uso Restringido, No Habitable,
// Peligro de Colapso, from better to worse); Desconocido when either is
// none of the four.
enum class CambioAviso { Igual, Peor, Mejor, Desconocido };
CambioAviso Cambio(const QString &anterior, const QString &nueva);

// Distance in metres between two points in degrees (WGS 84, on a sphere of
// the Earth's mean radius: plenty for tens of metres).
double Distancia(double lat1, double lon1, double lat2, double lon2);

}  // namespace Edificaciones
