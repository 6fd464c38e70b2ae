#include "core/registry/registry_store.h"

#include "core/data/record_set.h"
#include "core/registry/buildings.h"
#include "core/registry/corrections.h"

int32_t AlmacenRegistro::agregar(RegistroEvaluacion &registro)
{
    QVector<RegistroEvaluacion> lote{registro};
    agregar(lote);
    registro = lote.front();
    return registro.numero();
}

std::optional<EdificacionRegistrada> AlmacenRegistro::edificacion(const QString &) { return std::nullopt; }

QVector<EdificacionRegistrada> AlmacenRegistro::cercanas(double, double, double) { return {}; }

QVector<RegistroEvaluacion> AlmacenRegistro::historial(const QString &) { return {}; }

void AlmacenRegistro::situar(QVector<RegistroEvaluacion> &) {}

QString AlmacenRegistro::claveDe(int32_t) { return QString(); }

void AlmacenRegistro::corregir(int32_t, const QString &, const QString &, const QString &, const QUuid &)
{
    throw ErrorDatos(QStringLiteral("No se puede corregir la evaluación: la %1 no guarda correcciones.").arg(descripcion()));
}

QVector<Correccion> AlmacenRegistro::correcciones(int32_t) { return {}; }

QVector<FotoEvaluacion> AlmacenRegistro::fotos(int32_t) { return {}; }

std::optional<FotoEvaluacion> AlmacenRegistro::foto(const QUuid &) { return std::nullopt; }

void AlmacenRegistro::agregarFotos(int32_t, QVector<FotoEvaluacion> &)
{
    throw ErrorDatos(QStringLiteral("No se pueden agregar fotos: la %1 no guarda fotos.").arg(descripcion()));
}

void AlmacenRegistro::quitarFoto(const QUuid &, const QString &)
{
    throw ErrorDatos(QStringLiteral("No se puede quitar la foto: la %1 no guarda fotos.").arg(descripcion()));
}
