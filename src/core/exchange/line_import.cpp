#include "core/exchange/line_import.h"

#include "core/exchange/json_lines.h"

#include "core/data/record_set.h"
#include "core/engine/evaluation_driver.h"
#include "core/evaluation/building_options.h"
#include "core/evaluation/evaluate_check.h"
#include "core/registry/record_builder.h"
#include "core/registry/save_checks.h"

#include <QDir>
#include <QFileDevice>
#include <QJsonArray>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QUuid>
#include <vector>

using namespace LineaJson;

namespace TextosImportacion {
const QString Pendiente = QStringLiteral("guardada en este equipo, pendiente de envío");
}

namespace {

// One of the two objects of a line that hold what the forms ask.
class Objeto {
public:
    Objeto(const QJsonObject &raiz, const char *nombre)
        : nombre_(QLatin1String(nombre)), lugar_{nullptr, 0, nombre}, o_(Subobjeto(raiz, nombre))
    {
    }

    // Keys outside `claves` are refused: a misspelt key must not pass as an omitted one.
    void soloClaves(std::initializer_list<const char *> claves) const
    {
        QList<QLatin1String> permitidas;
        for (const char *c : claves)
            permitidas << QLatin1String(c);
        SoloClaves(o_, -1, {}, lugar_, permitidas);
    }

    // A text box: empty when the key is absent.
    QString texto(const char *clave) const
    {
        const QJsonValue v = o_.value(QLatin1String(clave));
        if (v.isUndefined() || v.isNull())
            return QString(QLatin1String(""));
        if (!v.isString())
            Rechazar(QStringLiteral("\"%1\" de \"%2\" debe ser un texto.").arg(QLatin1String(clave), nombre_));
        return v.toString();
    }

    // A list without typing: empty or one of its texts.
    QString deLista(const char *clave, const QStringList &lista) const
    {
        const QString t = texto(clave);
        if (!t.isEmpty() && !lista.contains(t)) {
            QStringList citados;
            for (const QString &s : lista)
                citados << QLatin1Char('"') + s + QLatin1Char('"');
            Rechazar(QStringLiteral("\"%1\" de \"%2\" debe ser uno de los textos de su lista: %3.")
                         .arg(QLatin1String(clave), nombre_, citados.join(QStringLiteral(", "))));
        }
        return t;
    }

    // An option group: the index of the chosen option; absent, the option
    // the form starts with.
    int opcion(const char *clave, int cuantas, int omision = 0) const
    {
        return EnteroOpcional(o_.value(QLatin1String(clave)), clave, 0, cuantas - 1, omision, lugar_);
    }

    // A coordinate as typed into its box: a number, or a text as the box takes it.
    QString coordenada(const char *clave) const
    {
        const QJsonValue v = o_.value(QLatin1String(clave));
        if (v.isDouble())
            return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        if (v.isUndefined() || v.isNull() || v.isString())
            return v.toString();
        Rechazar(QStringLiteral("\"%1\" de \"%2\" debe ser un número.").arg(QLatin1String(clave), nombre_));
    }

    QDateTime fecha(const char *clave, const QDateTime &omision) const
    {
        const QString t = texto(clave).trimmed();
        if (t.isEmpty())
            return omision;
        QDateTime f = QDateTime::fromString(t, Qt::ISODate);
        if (!f.isValid())
            Rechazar(QStringLiteral("\"%1\" de \"%2\" debe ser una fecha y hora ISO 8601, como "
                                    "\"2026-12-06T14:56:40\".")
                         .arg(QLatin1String(clave), nombre_));
        // The form's date picker holds local time to the second.
        if (f.timeSpec() != Qt::LocalTime)
            f = f.toLocalTime();
        return f.addMSecs(-f.time().msec());
    }

private:
    QLatin1String nombre_;
    Lugar lugar_;
    QJsonObject o_;
};

EdificacionEvaluada LeerEdificacion(const QJsonObject &raiz, const EstadoEvaluacion &e, int anno)
{
    const Objeto o(raiz, "edificacion");
    o.soloClaves({"txtNPisos", "txtNSotanos", "txtPMayorDanno", "txtPisosTotal", "optLocalizacion", "optInspeccion",
                  "optEstabEvaluador", "cboCubierta", "cboEntrepiso"});
    EdificacionEvaluada ed;
    ed.datos.txtNPisos = o.texto("txtNPisos");
    ed.datos.txtNSotanos = o.texto("txtNSotanos");
    ed.datos.txtPMayorDanno = o.texto("txtPMayorDanno");
    ed.datos.txtPisosTotal = o.texto("txtPisosTotal");
    ed.datos.cboTipoEstructura = OpcionesEdificacion::SistemasPorCodigo().value(e.TipoEstructura);
    ed.datos.cboCubierta = o.deLista("cboCubierta", OpcionesEdificacion::Cubiertas());
    ed.datos.cboEntrepiso = o.deLista("cboEntrepiso", OpcionesEdificacion::Entrepisos());
    ed.localizacion = o.opcion("optLocalizacion", static_cast<int>(OpcionesEdificacion::Localizacion().size()));
    ed.anno = anno;
    ed.inspeccion = o.opcion("optInspeccion", static_cast<int>(OpcionesEdificacion::Inspeccion().size()));
    ed.estabilidad = o.opcion("optEstabEvaluador", static_cast<int>(OpcionesEdificacion::Estabilidad().size()));
    return ed;
}

IdentificacionEvaluacion LeerIdentificacion(const QJsonObject &raiz, const QDateTime &ahora)
{
    const Objeto o(raiz, "identificacion");
    o.soloClaves({"txtNombre",  "txtDuenno",  "txtTelefono", "txtEvaluador", "txtCodigComi", "DTEvaluacion",
                  "cboGrupo",   "cboUsoBaja", "txtAvaluo",   "txtNomBarrio", "txtComuna1",   "txtComuna2",
                  "txtsector",  "txtManzana", "txtPredio",   "txtMejoraPH",  "Option1",      "txtNumCalle",
                  "txtAvenida", "txtOtro",    "txtNumero",   "Latitud",      "Longitud",     "txtUnidades"});
    IdentificacionEvaluacion id;
    id.txtNombre = o.texto("txtNombre");
    id.txtDuenno = o.texto("txtDuenno");
    id.txtTelefono = o.texto("txtTelefono");
    id.txtEvaluador = o.texto("txtEvaluador");
    id.txtCodigComi = o.texto("txtCodigComi");
    id.DTEvaluacion = o.fecha("DTEvaluacion", ahora);
    id.cboGrupo = o.deLista("cboGrupo", GruposDeUso());
    id.cboUsoBaja = o.deLista("cboUsoBaja", GruposDeUso());
    id.txtAvaluo = o.texto("txtAvaluo");
    id.txtNomBarrio = o.texto("txtNomBarrio");
    id.txtComuna1 = o.texto("txtComuna1");
    id.txtComuna2 = o.texto("txtComuna2");
    id.txtsector = o.texto("txtsector");
    id.txtManzana = o.texto("txtManzana");
    id.txtPredio = o.texto("txtPredio");
    id.txtMejoraPH = o.texto("txtMejoraPH");
    id.Option1 = o.opcion("Option1", static_cast<int>(TiposDireccion().size()));
    id.txtNumCalle = o.texto("txtNumCalle");
    id.txtAvenida = o.texto("txtAvenida");
    id.txtOtro = o.texto("txtOtro");
    id.txtNumero = o.texto("txtNumero");
    id.txtLatitud = o.coordenada("Latitud");
    id.txtLongitud = o.coordenada("Longitud");
    // A number or its digits as text; the checks of "Guardar" read it.
    id.txtUnidades = o.coordenada("txtUnidades");
    return id;
}

// Answers as an evaluator who goes on: OK to every question; keeps the
// messages, which tell why the evaluation cannot be saved.
class DialogoImportacion : public DialogoGuardar {
public:
    void avisar(const QString &texto) override { avisos << texto; }
    bool preguntar(const QString &, const QString &) override { return true; }
    QStringList avisos;
};

// The record's identity: the line's "uuid", or one made from the line's
// own bytes, so that the same line imported again is the same record.
QUuid UuidDeLinea(const QJsonObject &raiz, const QByteArray &linea)
{
    static const QUuid Espacio(QStringLiteral("949893e3-bff4-45fd-b37d-1d8eef2b4620"));
    const QJsonValue v = raiz.value(QLatin1String("uuid"));
    if (v.isUndefined())
        return QUuid::createUuidV5(Espacio, linea.trimmed());
    const QUuid uuid = v.isString() ? QUuid::fromString(v.toString().trimmed()) : QUuid();
    if (uuid.isNull())
        Rechazar(QStringLiteral("\"uuid\" debe ser un identificador UUID, como "
                                "\"3f2b8c1e-5a7d-4e9b-a1c3-0d6f2e8b9a47\"."));
    return uuid;
}

// The photos a line lists, prepared; refuses the line when one cannot be.
QVector<FotoEvaluacion> LeerFotos(const QJsonObject &raiz, const QUuid &evaluacion, const FotosDeLineas *fotos)
{
    const QJsonValue v = raiz.value(QLatin1String("fotos"));
    if (v.isUndefined() || v.isNull())
        return {};
    if (!v.isArray())
        Rechazar(QStringLiteral("\"fotos\" debe ser una lista de objetos con \"archivo\" y \"leyenda\"."));
    const QJsonArray lista = v.toArray();
    if (lista.size() > Fotos::MaximoPorEvaluacion)
        Rechazar(QStringLiteral("\"fotos\" tiene %1 fotos; una evaluación guarda a lo sumo %2.")
                     .arg(lista.size())
                     .arg(Fotos::MaximoPorEvaluacion));
    if (!lista.isEmpty() && (!fotos || !fotos->preparar))
        Rechazar(QStringLiteral("esta importación no lee fotos; quite \"fotos\" de la línea."));
    static const QUuid Espacio(QStringLiteral("5b0c6f5e-8a41-4c1e-9d0a-2f7e3b6c1d94"));
    QVector<FotoEvaluacion> resultado;
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const QJsonObject o = lista.at(i).toObject();
        const QString donde = QStringLiteral("la foto %1 de \"fotos\"").arg(i + 1);
        if (!lista.at(i).isObject())
            Rechazar(QStringLiteral("%1 debe ser un objeto con \"archivo\" y \"leyenda\".").arg(donde));
        for (auto it = o.constBegin(); it != o.constEnd(); ++it)
            if (it.key() != QLatin1String("archivo") && it.key() != QLatin1String("leyenda"))
                Rechazar(QStringLiteral("%1 no admite \"%2\"; sus claves son \"archivo\" y \"leyenda\".")
                             .arg(donde, it.key()));
        const QJsonValue archivo = o.value(QLatin1String("archivo"));
        if (!archivo.isString() || archivo.toString().trimmed().isEmpty())
            Rechazar(QStringLiteral("%1 necesita \"archivo\", la ruta de la foto.").arg(donde));
        const QJsonValue leyenda = o.value(QLatin1String("leyenda"));
        if (!leyenda.isUndefined() && !leyenda.isNull() && !leyenda.isString())
            Rechazar(QStringLiteral("\"leyenda\" de %1 debe ser un texto.").arg(donde));
        const QString ruta = QDir(fotos->carpeta).filePath(archivo.toString());
        FotoEvaluacion f;
        try {
            f = fotos->preparar(ruta);
        } catch (const ErrorDatos &e) {
            Rechazar(e.mensaje());
        }
        f.uuid = QUuid::createUuidV5(Espacio, evaluacion.toString(QUuid::WithoutBraces) + QLatin1Char('/') +
                                                  QString::number(i + 1));
        f.orden = int(i + 1);
        f.leyenda = leyenda.toString();
        resultado << std::move(f);
    }
    return resultado;
}

}  // namespace

LineaImportada PrepararLinea(const QByteArray &linea, const DatosLotes &datos, const QDateTime &ahora,
                             const FotosDeLineas *fotos)
{
    LineaImportada resultado;
    try {
        const QJsonObject raiz = LineaJson::Objeto(linea);

        // What the evaluation form holds when "Evaluar" is pressed.
        EstadoEvaluacion e;
        int anno = 0;
        const QString errorEvaluacion = LeerEvaluacionJson(
            raiz, e, anno,
            {QLatin1String("edificacion"), QLatin1String("identificacion"), QLatin1String("uuid"), QLatin1String("fotos")});
        if (!errorEvaluacion.isEmpty())
            Rechazar(errorEvaluacion);
        const QUuid uuid = UuidDeLinea(raiz, linea);
        const EdificacionEvaluada edificacion = LeerEdificacion(raiz, e, anno);
        IdentificacionEvaluacion id = LeerIdentificacion(raiz, ahora);

        // "Evaluar", answered Yes.
        const QVector<AvisoEvaluar> avisos = RevisarEdificacion(edificacion, e);
        if (!avisos.isEmpty()) {
            Rechazo r;
            for (const AvisoEvaluar &a : avisos)
                r.errores << a.texto;
            throw r;
        }
        VerificarCalificaciones(e, e.TipoEstructura, e.CasoRelevancia);
        if (e.FaltanCalificaciones == 1)
            Rechazar(TextosEvaluar::FaltanCalificaciones);
        EtiquetasResultados etiquetas;
        EvaluarEdificacion(e, datos.pesos, datos.comentarios, anno, etiquetas);

        // "Guardar Información", then "Guardar", answered OK.
        DialogoImportacion dialogo;
        if (!RevisarIdentificacion(id, e, dialogo))
            throw Rechazo{dialogo.avisos, {}};
        // The photos last: the costliest part, only for a line that is
        // otherwise good.
        QVector<FotoEvaluacion> fotosLinea = LeerFotos(raiz, uuid, fotos);
        resultado.registro = ConstruirRegistro(id, e, edificacion.datos);
        resultado.registro->uuid = uuid;
        resultado.registro->fotos = std::move(fotosLinea);
    } catch (const Rechazo &r) {
        resultado.errores = r.errores;
    }
    return resultado;
}

namespace {

struct Pendiente {
    qint64 linea;
    int registro = -1;  // index in the batch, or -1 for a refused line
    QStringList errores;
};

void Responder(QByteArray &destino, qint64 linea, int32_t numero, const QStringList &errores)
{
    destino += "{\"linea\":";
    destino += QByteArray::number(linea);
    if (errores.isEmpty() && numero <= 0) {
        // Saved in this machine's outbox: the number comes when it is sent.
        destino += ",\"pendiente\":true,\"aviso\":";
        AgregarTextoJson(destino, TextosImportacion::Pendiente);
    } else if (errores.isEmpty()) {
        destino += ",\"numero\":";
        destino += QByteArray::number(numero);
    } else {
        destino += ",\"errores\":[";
        for (qsizetype i = 0; i < errores.size(); ++i) {
            if (i)
                destino += ',';
            AgregarTextoJson(destino, errores.at(i));
        }
        destino += ']';
    }
    destino += "}\n";
}

void Enviar(QIODevice &salida, const QByteArray &bytes)
{
    if (salida.write(bytes) != bytes.size())
        throw ErrorDatos(QStringLiteral("No se pueden escribir las respuestas de la importación: %1.")
                             .arg(salida.errorString()));
    if (auto *archivo = qobject_cast<QFileDevice *>(&salida))
        archivo->flush();
}

}  // namespace

ResultadoImportacion ImportarLineas(QIODevice &entrada, QIODevice &salida, AlmacenRegistro &registro,
                                    const DatosLotes &datos, int porLote)
{
    return ImportarLineas(
        entrada, salida, [&registro](QVector<RegistroEvaluacion> &lote) { registro.agregar(lote); }, datos, porLote);
}

ResultadoImportacion ImportarLineas(QIODevice &entrada, QIODevice &salida, const GuardarLote &guardar,
                                    const DatosLotes &datos, int porLote, const FotosDeLineas *fotos)
{
    constexpr qint64 BytesFotosPorLote = 64 * 1024 * 1024;
    qint64 bytesFotos = 0;
    ResultadoImportacion resultado;
    QVector<RegistroEvaluacion> lote;
    std::vector<Pendiente> pendientes;

    // Commits the batch, then tells every pending line what became of it.
    auto confirmar = [&] {
        QByteArray respuestas;
        try {
            guardar(lote);
        } catch (const ErrorDatos &e) {
            for (const Pendiente &p : pendientes)
                Responder(respuestas, p.linea, 0,
                          p.registro < 0 ? p.errores
                                         : QStringList{TextosRegistro::NoGuardada + QLatin1Char('\n') + e.mensaje()});
            Enviar(salida, respuestas);
            throw;
        }
        for (const Pendiente &p : pendientes) {
            if (p.registro >= 0) {
                const int32_t numero = lote.at(p.registro).numero();
                Responder(respuestas, p.linea, numero, {});
                ++(numero > 0 ? resultado.guardadas : resultado.pendientes);
            } else {
                Responder(respuestas, p.linea, 0, p.errores);
            }
        }
        Enviar(salida, respuestas);
        lote.clear();
        pendientes.clear();
        bytesFotos = 0;
    };

    qint64 numeroLinea = 0;
    while (!entrada.atEnd()) {
        QByteArray linea = entrada.readLine();
        ++numeroLinea;
        if (linea.trimmed().isEmpty())
            continue;
        while (linea.endsWith('\n') || linea.endsWith('\r'))
            linea.chop(1);
        const QDateTime ahora = QDateTime::currentDateTime();
        LineaImportada l = PrepararLinea(linea, datos, ahora.addMSecs(-ahora.time().msec()), fotos);
        if (l.registro) {
            for (const FotoEvaluacion &f : std::as_const(l.registro->fotos))
                bytesFotos += f.jpeg.size();
            pendientes.push_back({numeroLinea, static_cast<int>(lote.size()), {}});
            lote.append(std::move(*l.registro));
        } else {
            pendientes.push_back({numeroLinea, -1, l.errores});
            ++resultado.rechazadas;
            // Nothing waits to be committed before it: its answer can go now.
            if (lote.isEmpty())
                confirmar();
        }
        if (lote.size() >= porLote || bytesFotos > BytesFotosPorLote)
            confirmar();
    }
    confirmar();
    return resultado;
}
