#include "core/registry/photo.h"

#include "core/data/record_set.h"

#include <QCryptographicHash>
#include <QSet>

namespace Fotos {

QString Sha256(const QByteArray &datos)
{
    return QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha256).toHex());
}

QString TextoUuid(const QUuid &uuid) { return uuid.toString(QUuid::WithoutBraces); }

QString TextoFecha(const QDateTime &fecha)
{
    return fecha.isValid() ? fecha.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

QDateTime FechaDeTexto(const QString &texto)
{
    if (texto.isEmpty())
        return QDateTime();
    return QDateTime::fromString(texto, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

void Completar(QVector<FotoEvaluacion> &fotos, const QUuid &evaluacion, int guardadas, int ultimoOrden,
               const QString &donde)
{
    auto fallar = [&](const QString &que) {
        throw ErrorDatos(QStringLiteral("Error en las fotos de la evaluación: %1 (%2).").arg(que, donde));
    };
    if (guardadas + fotos.size() > MaximoPorEvaluacion)
        fallar(QStringLiteral("una evaluación guarda a lo sumo %1 fotos y tendría %2")
                   .arg(MaximoPorEvaluacion)
                   .arg(guardadas + fotos.size()));
    QSet<QUuid> vistas;
    int orden = ultimoOrden;
    for (FotoEvaluacion &f : fotos) {
        if (f.jpeg.isEmpty())
            fallar(QStringLiteral("la foto %1 no tiene imagen").arg(f.leyenda.isEmpty() ? TextoUuid(f.uuid) : f.leyenda));
        if (f.uuid.isNull())
            f.uuid = QUuid::createUuid();
        if (vistas.contains(f.uuid))
            fallar(QStringLiteral("la foto %1 está dos veces").arg(TextoUuid(f.uuid)));
        vistas.insert(f.uuid);
        const QString hash = Sha256(f.jpeg);
        if (f.sha256.isEmpty())
            f.sha256 = hash;
        else if (f.sha256 != hash)
            fallar(QStringLiteral("la huella SHA-256 de la foto %1 no corresponde a su imagen").arg(TextoUuid(f.uuid)));
        if (f.orden <= 0)
            f.orden = ++orden;
        else
            orden = std::max(orden, f.orden);
        f.evaluacion = evaluacion;
        f.bytes = f.jpeg.size();
    }
}

}  // namespace Fotos
