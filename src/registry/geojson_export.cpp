#include "registry/geojson_export.h"

#include "data/record_set.h"
#include "registry/stored_comments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <cmath>

using namespace RegistroEvaluaciones;

namespace {

[[noreturn]] void FallarArchivo(const QString &archivo, const QString &que, const QString &detalle)
{
    QString texto = QStringLiteral("No se pudo escribir la exportación para SIG: %1 (archivo \"%2\").").arg(que, archivo);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

// A coordinate of the record when it holds a finite number within `limite`.
std::optional<double> Coordenada(const QVariant &v, double limite)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > limite)
        return std::nullopt;
    return d;
}

QJsonValue Valor(const QVariant &v, TipoCampo tipo)
{
    if (v.isNull())
        return QJsonValue(QJsonValue::Null);
    bool ok = false;
    switch (tipo) {
    case TipoCampo::Entero: {
        const qint64 n = v.toLongLong(&ok);
        if (ok)
            return QJsonValue(n);
        break;
    }
    case TipoCampo::Real: {
        const double d = v.toDouble(&ok);
        if (ok && std::isfinite(d))
            return QJsonValue(d);
        break;
    }
    case TipoCampo::Texto:
        break;
    }
    // A value of another kind than its column (written by another program)
    // goes out as the text it holds.
    return QJsonValue(v.toString());
}

}  // namespace

const QStringList &PropiedadesComentarios()
{
    static const QStringList nombres{QStringLiteral("ComentarioDannoEdificio"), QStringLiteral("ComentarioEstadoGlobal"),
                                     QStringLiteral("ComentarioHabitabilidad"), QStringLiteral("ComentarioReparabilidad"),
                                     QStringLiteral("ComentarioMedidasSeguridad")};
    return nombres;
}

QString ResultadoGeoJson::aviso() const
{
    if (sinCoordenadas == 0)
        return QString();
    QStringList numeros;
    for (int32_t n : numerosSinCoordenadas)
        numeros << QString::number(n);
    QString texto = sinCoordenadas == 1
                        ? QStringLiteral("La evaluación %1 no tiene coordenadas (Latitud y Longitud) y no se exportó.")
                              .arg(numeros.value(0))
                        : QStringLiteral("%1 evaluaciones no tienen coordenadas (Latitud y Longitud) y no se exportaron: %2")
                              .arg(sinCoordenadas)
                              .arg(numeros.join(QStringLiteral(", ")));
    const qint64 resto = sinCoordenadas - numerosSinCoordenadas.size();
    if (resto > 0)
        texto += QStringLiteral(" y %1 más").arg(resto);
    if (sinCoordenadas > 1)
        texto += QLatin1Char('.');
    return texto;
}

namespace {

// One feature as a JSON document of its own.
QByteArray Rasgo(const RegistroEvaluacion &r, double latitud, double longitud, const TablasComentarios &comentarios)
{
    const QVector<CampoRegistro> &campos = Campos();
    const QStringList &nombresComentarios = PropiedadesComentarios();
    QJsonObject propiedades;
    for (const CampoRegistro &c : campos)
        propiedades.insert(c.columna, Valor(r.campo(c.posicion), c.tipo));
    const ComentariosRegistro textos = ComentariosDeRegistro(r, comentarios);
    const QString *const valores[] = {&textos.dannoEdificio, &textos.estadoGlobal, &textos.habitabilidad,
                                      &textos.reparabilidad, &textos.medidasSeguridad};
    for (int i = 0; i < 5; ++i)
        propiedades.insert(nombresComentarios.at(i), *valores[i]);
    const QJsonObject punto{
        {QStringLiteral("type"), QStringLiteral("Point")},
        {QStringLiteral("coordinates"), QJsonArray{longitud, latitud}}};
    const QJsonObject rasgo{{QStringLiteral("type"), QStringLiteral("Feature")},
                            {QStringLiteral("geometry"), punto},
                            {QStringLiteral("properties"), propiedades}};
    return QJsonDocument(rasgo).toJson(QJsonDocument::Compact);
}

}  // namespace

ResultadoGeoJson ExportarGeoJson(AlmacenRegistro &almacen, const FiltroRegistro &filtro,
                                 const TablasComentarios &comentarios, const QString &archivo)
{
    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly))
        FallarArchivo(archivo, QStringLiteral("no se puede crear el archivo"), salida.errorString());
    auto escribir = [&](const QByteArray &b) {
        if (salida.write(b) != b.size())
            FallarArchivo(archivo, QStringLiteral("no se puede escribir el archivo"), salida.errorString());
    };

    ResultadoGeoJson resultado;
    escribir(QByteArrayLiteral("{\"type\":\"FeatureCollection\",\"features\":[\n"));
    almacen.recorrer(filtro, {Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
        const auto latitud = Coordenada(r.campo(Pos::Latitud), 90.0);
        const auto longitud = Coordenada(r.campo(Pos::Longitud), 180.0);
        if (!latitud || !longitud) {
            if (resultado.numerosSinCoordenadas.size() < ResultadoGeoJson::MaxNumerosAviso)
                resultado.numerosSinCoordenadas.append(r.numero());
            ++resultado.sinCoordenadas;
            return true;
        }
        if (resultado.exportadas > 0)
            escribir(QByteArrayLiteral(",\n"));
        escribir(Rasgo(r, *latitud, *longitud, comentarios));
        ++resultado.exportadas;
        return true;
    });
    escribir(QByteArrayLiteral("\n]}\n"));
    if (!salida.commit())
        FallarArchivo(archivo, QStringLiteral("no se puede guardar el archivo"), salida.errorString());
    return resultado;
}
