#include "core/exchange/geojson_export.h"

#include "core/exchange/batch_pipe.h"

#include "core/exchange/photo_files.h"

#include "core/data/record_set.h"
#include "core/registry/stored_comments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QHash>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <cmath>
#include <exception>
#include <functional>
#include <vector>

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

// The five comment properties of a record as JSON members (",\"Nombre\":\"texto\""
// five times). Thousands of buildings share the same few codes: each set of
// codes is looked up and escaped once.
class ComentariosJson {
public:
    explicit ComentariosJson(const TablasComentarios &tablas) : tablas_(tablas) {}

    const QByteArray &de(const RegistroEvaluacion &r)
    {
        const QString clave = r.texto(Pos::CodigoDannoEdificio) + QChar(0x1f) + r.texto(Pos::CodigoEstadoGlobal) +
                              QChar(0x1f) + r.texto(Pos::CodigoHabitabilidad) + QChar(0x1f) +
                              r.texto(Pos::CodigoReparabilidad) + QChar(0x1f) + CodigoRefAnnoDeRegistro(r) +
                              QChar(0x1f) + r.texto(Pos::CodigoMedidasSeguridad);
        auto it = hechos_.find(clave);
        if (it == hechos_.end())
            it = hechos_.insert(clave, miembros(ComentariosDeRegistro(r, tablas_)));
        return it.value();
    }

private:
    static QByteArray miembros(const ComentariosRegistro &textos)
    {
        const QString *const valores[] = {&textos.dannoEdificio, &textos.estadoGlobal, &textos.habitabilidad,
                                          &textos.reparabilidad, &textos.medidasSeguridad};
        QJsonObject o;
        for (int i = 0; i < 5; ++i)
            o.insert(PropiedadesComentarios().at(i), *valores[i]);
        // {"a":"…","b":"…"} without its braces, after a comma.
        QByteArray json = QJsonDocument(o).toJson(QJsonDocument::Compact);
        json[0] = ',';
        json.chop(1);
        return json;
    }

    const TablasComentarios &tablas_;
    QHash<QString, QByteArray> hechos_;
};

// A feature before it is written: its properties in Qt's JSON object, the
// comment members already written, and its point.
struct RasgoPorEscribir {
    QJsonObject propiedades;
    QByteArray comentarios;
    double latitud;
    double longitud;
};

// Makes the features' properties: the registry's columns, then the comment
// members. The properties object is made once with every column; each
// feature fills in its values in the object's own key order, without
// looking a key up.
class Propiedades {
public:
    explicit Propiedades(const TablasComentarios &tablas) : comentarios_(tablas)
    {
        for (const CampoRegistro &c : Campos())
            plantilla_.insert(c.columna, QJsonValue(QJsonValue::Null));
        for (auto it = plantilla_.constBegin(); it != plantilla_.constEnd(); ++it)
            posiciones_.append(&Campo(PosicionDeColumna(it.key())));
    }

    RasgoPorEscribir de(const RegistroEvaluacion &r, double latitud, double longitud)
    {
        RasgoPorEscribir rasgo{plantilla_, comentarios_.de(r), latitud, longitud};
        int i = 0;
        for (auto it = rasgo.propiedades.begin(); it != rasgo.propiedades.end(); ++it, ++i) {
            const CampoRegistro &c = *posiciones_.at(i);
            it.value() = Valor(r.campo(c.posicion), c.tipo);
        }
        return rasgo;
    }

private:
    static int PosicionDeColumna(const QString &columna)
    {
        for (const CampoRegistro &c : Campos())
            if (c.columna == columna)
                return c.posicion;
        return 0;
    }

    ComentariosJson comentarios_;
    QJsonObject plantilla_;
    QVector<const CampoRegistro *> posiciones_;
};

// One feature as JSON text, serialised by Qt's JSON classes.
void EscribirRasgo(const RasgoPorEscribir &r, QByteArray &destino)
{
    const QJsonObject punto{{QStringLiteral("type"), QStringLiteral("Point")},
                            {QStringLiteral("coordinates"), QJsonArray{r.longitud, r.latitud}}};
    const QByteArray geometria = QJsonDocument(punto).toJson(QJsonDocument::Compact);
    const QByteArray p = QJsonDocument(r.propiedades).toJson(QJsonDocument::Compact);
    destino += QByteArrayLiteral("{\"type\":\"Feature\",\"geometry\":");
    destino += geometria;
    destino += QByteArrayLiteral(",\"properties\":");
    destino.append(p.constData(), p.size() - 1);  // the closing brace, after the comments
    destino += r.comentarios;
    destino += QByteArrayLiteral("}}");
}

// Serialises and writes the features on a thread of its own
// (core/exchange/batch_pipe.h), separated by commas.
class Escritor {
public:
    using Escribir = std::function<void(const QByteArray &)>;

    explicit Escritor(Escribir escribir)
        : escribir_(std::move(escribir)),
          tuberia_(128, [this](std::vector<RasgoPorEscribir> &lote) {
              json_.resize(0);
              for (const RasgoPorEscribir &r : lote) {
                  // Features are separated by a comma; the first has none before it.
                  if (!primero_)
                      json_ += QByteArrayLiteral(",\n");
                  primero_ = false;
                  EscribirRasgo(r, json_);
              }
              escribir_(json_);
          })
    {
    }

    void agregar(RasgoPorEscribir &&rasgo) { tuberia_.agregar(std::move(rasgo)); }
    // Writes what is left and waits for it; rethrows a failure to write.
    void terminar() { tuberia_.terminar(); }

private:
    Escribir escribir_;
    QByteArray json_;      // the writing thread's
    bool primero_ = true;  // the writing thread's
    TuberiaLotes<RasgoPorEscribir> tuberia_;  // last: its thread uses the members above
};

}  // namespace

ResultadoGeoJson ExportarGeoJson(AlmacenRegistro &almacen, const FiltroRegistro &filtro,
                                 const TablasComentarios &comentarios, const QString &archivo,
                                 const QHash<int32_t, QStringList> *fotos)
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
    {
        Propiedades propiedades(comentarios);
        Escritor escritor(escribir);
        almacen.recorrer(filtro, {Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
            const auto latitud = Coordenada(r.campo(Pos::Latitud), 90.0);
            const auto longitud = Coordenada(r.campo(Pos::Longitud), 180.0);
            if (!latitud || !longitud) {
                if (resultado.numerosSinCoordenadas.size() < ResultadoGeoJson::MaxNumerosAviso)
                    resultado.numerosSinCoordenadas.append(r.numero());
                ++resultado.sinCoordenadas;
                return true;
            }
            RasgoPorEscribir rasgo = propiedades.de(r, *latitud, *longitud);
            if (fotos) {
                const QStringList rutas = fotos->value(r.numero());
                const auto valor = [](const QString &t) { return t.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(t); };
                rasgo.propiedades.insert(ArchivosFotos::ColumnaFoto, valor(rutas.value(0)));
                rasgo.propiedades.insert(ArchivosFotos::ColumnaFotos, valor(rutas.join(QLatin1Char(';'))));
            }
            escritor.agregar(std::move(rasgo));
            ++resultado.exportadas;
            return true;
        });
        escritor.terminar();
    }
    escribir(QByteArrayLiteral("\n]}\n"));
    if (!salida.commit())
        FallarArchivo(archivo, QStringLiteral("no se puede guardar el archivo"), salida.errorString());
    return resultado;
}
