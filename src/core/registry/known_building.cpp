#include "core/registry/known_building.h"

#include "core/data/record_set.h"
#include "core/registry/building_key.h"

#include <QDateTime>

using namespace RegistroEvaluaciones;

namespace Reinspeccion {

const QString Titulo = QStringLiteral("Nueva inspección");
const QString FaltaNombre =
    QStringLiteral("Para registrar otra edificación en el mismo predio o la misma dirección, escriba su nombre en "
                   "\"Nombre de la Edificación\" y vuelva a guardar.");

std::optional<Coincidencia> Buscar(AlmacenRegistro &almacen, const RegistroEvaluacion &registro)
{
    const QString clave = registro.claveEdificacion.isEmpty() ? ClaveEdificacion::De(registro) : registro.claveEdificacion;
    try {
        // A building told apart by its name on a shared plot or address is
        // the closer match; then the plot or address itself.
        for (const QString &k : {ClaveDistinta(registro), clave})
            if (!k.isEmpty())
                if (auto e = almacen.edificacion(k))
                    return Coincidencia{*e, false};
        bool latOk = false, lonOk = false;
        const double lat = registro.campo(Pos::Latitud).toDouble(&latOk);
        const double lon = registro.campo(Pos::Longitud).toDouble(&lonOk);
        if (latOk && lonOk && !registro.campo(Pos::Latitud).isNull() && !registro.campo(Pos::Longitud).isNull()) {
            const QVector<EdificacionRegistrada> cerca = almacen.cercanas(lat, lon, Radio);
            if (!cerca.isEmpty())
                return Coincidencia{cerca.first(), true};
        }
    } catch (const ErrorDatos &) {
        // Out of reach or failing: the save goes on without asking.
    }
    return std::nullopt;
}

QString Pregunta(const Coincidencia &c)
{
    const RegistroEvaluacion &v = c.edificacion.vigente;
    const QDateTime fecha = QDateTime::fromString(v.texto(Pos::Fecha), Qt::ISODate);
    const QString cuantas = c.edificacion.evaluaciones == 1
                                ? QStringLiteral("1 evaluación")
                                : QStringLiteral("%1 evaluaciones").arg(c.edificacion.evaluaciones);
    const QString donde = c.porCercania
                              ? QStringLiteral("A menos de %1 m de las coordenadas hay una edificación con %2")
                                    .arg(Radio, 0, 'f', 0)
                                    .arg(cuantas)
                              : QStringLiteral("Esta edificación ya tiene %1").arg(cuantas);
    return QStringLiteral("%1; la vigente es la N.º %2 del %3: %4 (%5, %6). ¿Es esta una nueva inspección de la "
                          "misma edificación?")
        .arg(donde)
        .arg(v.numero())
        .arg(fecha.isValid() ? fecha.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : v.texto(Pos::Fecha),
             v.texto(Pos::Habitabilidad).toUpper(), v.texto(Pos::Evaluador), v.texto(Pos::CodigoComision));
}

QString ClaveDistinta(const RegistroEvaluacion &registro)
{
    const QString nombre = ClaveEdificacion::Normalizar(registro.texto(Pos::NombreEdificacion));
    const QString base = ClaveEdificacion::De(registro);
    if (nombre.isEmpty() || base.isEmpty())
        return QString();
    return base + QStringLiteral("|nombre:") + nombre;
}

}  // namespace Reinspeccion
