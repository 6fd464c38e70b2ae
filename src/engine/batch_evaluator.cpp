#include "engine/batch_evaluator.h"

#include "data/record_set.h"
#include "engine/evaluation_driver.h"
#include "engine/proportion_rating.h"

#include <QDir>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

namespace {

const char *const MensajeFaltan = "Ingrese toda la información. Todos los elementos no han sido calificados.";

// An input line that cannot be evaluated.
struct Rechazo {
    QString mensaje;
    QList<int16_t> faltan;
};

[[noreturn]] void Rechazar(const QString &mensaje)
{
    throw Rechazo{mensaje, {}};
}

// A whole number within [minimo, maximo]; false for any other JSON value.
bool LeerEntero(const QJsonValue &v, int minimo, int maximo, int &valor)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= minimo && d <= maximo) || d != std::floor(d))
        return false;
    valor = static_cast<int>(d);
    return true;
}

int EnteroObligatorio(const QJsonObject &o, const QString &clave, int minimo, int maximo, const QString &donde)
{
    const QJsonValue v = o.value(clave);
    if (v.isUndefined())
        Rechazar(QStringLiteral("Falta la clave \"%1\"%2.").arg(clave, donde));
    int valor = 0;
    if (!LeerEntero(v, minimo, maximo, valor))
        Rechazar(QStringLiteral("\"%1\"%2 debe ser un número entero entre %3 y %4.")
                     .arg(clave, donde)
                     .arg(minimo)
                     .arg(maximo));
    return valor;
}

int EnteroOpcional(const QJsonObject &o, const QString &clave, int minimo, int maximo, int omision)
{
    if (!o.contains(clave))
        return omision;
    return EnteroObligatorio(o, clave, minimo, maximo, QString());
}

void SoloClaves(const QJsonObject &o, std::initializer_list<const char *> permitidas, const QString &donde)
{
    for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
        bool conocida = false;
        for (const char *p : permitidas)
            conocida = conocida || it.key() == QLatin1String(p);
        if (!conocida)
            Rechazar(QStringLiteral("Clave desconocida \"%1\"%2.").arg(it.key(), donde));
    }
}

QJsonArray ListaObligatoria(const QJsonObject &o, const QString &clave)
{
    const QJsonValue v = o.value(clave);
    if (!v.isArray())
        Rechazar(QStringLiteral("\"%1\" debe ser una lista.").arg(clave));
    return v.toArray();
}

QString EnElemento(const char *lista, qsizetype i)
{
    return QStringLiteral(" en el elemento %1 de \"%2\"").arg(i + 1).arg(QLatin1String(lista));
}

// Fills the ratings the way the evaluation form does: slots in the order
// given, proportion ratings through the level derivation of the proportion
// dialog, other elements only when the key is present.
void CargarCalificaciones(const QJsonObject &raiz, EstadoEvaluacion &e)
{
    const QJsonArray variables = raiz.contains(QStringLiteral("variables"))
                                     ? ListaObligatoria(raiz, QStringLiteral("variables"))
                                     : QJsonArray();
    QSet<int> vistos;
    for (qsizetype i = 0; i < variables.size(); ++i) {
        const QString donde = EnElemento("variables", i);
        if (!variables.at(i).isObject())
            Rechazar(QStringLiteral("Cada elemento de \"variables\" debe ser un objeto (elemento %1).").arg(i + 1));
        const QJsonObject v = variables.at(i).toObject();
        SoloClaves(v, {"codigo", "nivel", "proporciones"}, donde);
        const int codigo = EnteroObligatorio(v, QStringLiteral("codigo"), 0, 22, donde);
        if (vistos.contains(codigo))
            Rechazar(QStringLiteral("El código %1 está repetido en \"variables\".").arg(codigo));
        vistos.insert(codigo);

        const bool conNivel = v.contains(QStringLiteral("nivel"));
        const bool conProporciones = v.contains(QStringLiteral("proporciones"));
        if (conNivel == conProporciones)
            Rechazar(QStringLiteral("La variable de código %1 debe llevar \"nivel\" o \"proporciones\", una de las dos.")
                         .arg(codigo));

        const int slot = static_cast<int>(i);
        e.UltimaVariable = static_cast<int16_t>(slot);
        e.IndiceVariable = static_cast<int16_t>(slot);
        e.VariableActual = static_cast<int16_t>(codigo);
        e.Variables[slot].Codigo = static_cast<int16_t>(codigo);
        if (conNivel) {
            const int16_t nivel = static_cast<int16_t>(EnteroObligatorio(v, QStringLiteral("nivel"), 0, 4, donde));
            e.Variables[slot].Nivel = nivel;
            if (const int s = SlotCualitativoVariable(codigo); s >= 0)
                e.NivelesCualitativos[s] = nivel;
            continue;
        }
        if (codigo > Entrepiso)
            Rechazar(QStringLiteral("\"proporciones\" solo se admite para los elementos estructurales (códigos 0 a 13); "
                                    "la variable de código %1 lleva \"nivel\".")
                         .arg(codigo));
        const QJsonValue p = v.value(QStringLiteral("proporciones"));
        std::array<int, 5> barras{};
        bool valida = p.isArray() && p.toArray().size() == 5;
        for (int k = 0; valida && k < 5; ++k)
            valida = LeerEntero(p.toArray().at(k), 0, 100, barras[k]);
        if (!valida)
            Rechazar(QStringLiteral("\"proporciones\" de la variable de código %1 debe ser una lista de cinco números "
                                    "enteros entre 0 y 100.")
                         .arg(codigo));
        AplicarCalificacionProporcion(e, DerivarNivelProporcion(codigo, barras));
    }

    if (!raiz.contains(QStringLiteral("otros")))
        return;
    e.OtrosElegidos = 1;
    const QJsonArray otros = ListaObligatoria(raiz, QStringLiteral("otros"));
    if (otros.size() > NumOtros)
        Rechazar(QStringLiteral("\"otros\" admite a lo sumo %1 elementos.").arg(NumOtros));
    QSet<int> otrosVistos;
    for (qsizetype i = 0; i < otros.size(); ++i) {
        const QString donde = EnElemento("otros", i);
        if (!otros.at(i).isObject())
            Rechazar(QStringLiteral("Cada elemento de \"otros\" debe ser un objeto (elemento %1).").arg(i + 1));
        const QJsonObject o = otros.at(i).toObject();
        SoloClaves(o, {"codigo", "nivel"}, donde);
        const int codigo = EnteroObligatorio(o, QStringLiteral("codigo"), 0, 3, donde);
        if (otrosVistos.contains(codigo))
            Rechazar(QStringLiteral("El código %1 está repetido en \"otros\".").arg(codigo));
        otrosVistos.insert(codigo);
        const int16_t nivel = static_cast<int16_t>(EnteroObligatorio(o, QStringLiteral("nivel"), 0, 4, donde));
        e.UltimoOtro = static_cast<int16_t>(i);
        e.OtrosNoEstructurales[i] = OtroCalificado{static_cast<int16_t>(codigo), nivel};
        e.NivelesCualitativos[SlotCualitativoOtro(codigo)] = nivel;
    }
}

QJsonObject Categoria(int16_t nivel, const char *claveTexto, const QString &texto, const QString *riesgo,
                      double indice)
{
    QJsonObject o;
    o.insert(QLatin1String("nivel"), nivel);
    o.insert(QLatin1String(claveTexto), texto);
    if (riesgo)
        o.insert(QLatin1String("riesgo"), *riesgo);
    o.insert(QLatin1String("indice"), indice);
    return o;
}

QJsonObject NivelTexto(int16_t nivel, const QString &texto)
{
    return QJsonObject{{QLatin1String("nivel"), nivel}, {QLatin1String("texto"), texto}};
}

QJsonObject Resultados(const QJsonValue &id, const EstadoEvaluacion &e, const EtiquetasResultados &et)
{
    QJsonObject r;
    r.insert(QLatin1String("id"), id);
    r.insert(QLatin1String("estructural"), Categoria(e.NivelDannoEstructural, "danno", e.TextoDannoEstructural,
                                                     &e.TextoRiesgoEstructural, e.IndiceEstructural));
    r.insert(QLatin1String("no_estructural"),
             Categoria(e.NivelDannoNoEstructural, "danno", e.TextoDannoNoEstructural, &e.TextoRiesgoNoEstructural,
                       e.IndiceNoEstructural));
    r.insert(QLatin1String("suelo"),
             Categoria(e.NivelSuelo, "condiciones", e.TextoSuelo, &e.TextoRiesgoGeotecnico, e.IndiceSuelo));
    r.insert(QLatin1String("preexistente"),
             Categoria(e.NivelPreexistente, "condiciones", e.TextoPreexistente, nullptr, e.IndicePreexistente));
    r.insert(QLatin1String("edificio"), NivelTexto(e.NivelDannoEdificio, e.TextoDannoEdificio));
    r.insert(QLatin1String("estado_global"), NivelTexto(e.NivelEstadoGlobal, e.TextoEstadoGlobal));
    r.insert(QLatin1String("habitabilidad"), NivelTexto(e.NivelHabitabilidad, e.TextoHabitabilidad));
    r.insert(QLatin1String("reparabilidad"), NivelTexto(e.NivelReparabilidad, e.TextoReparabilidad));
    r.insert(QLatin1String("codigos"), QJsonObject{{QLatin1String("DE"), e.CodDannoEdificio},
                                                   {QLatin1String("EE"), e.CodEstadoGlobal},
                                                   {QLatin1String("H"), e.CodHabitabilidad},
                                                   {QLatin1String("R"), e.CodReparabilidad},
                                                   {QLatin1String("MS"), e.CodMedidasSeguridad},
                                                   {QLatin1String("RANNO"), e.CodRefAnno}});
    r.insert(QLatin1String("comentarios"), QJsonObject{{QLatin1String("danno_edificio"), et.lblComDaEdificio},
                                                       {QLatin1String("estado_global"), et.lblComEstGlobal},
                                                       {QLatin1String("habitabilidad"), et.lblComHabitabilidad},
                                                       {QLatin1String("reparabilidad"), et.lblComReparaciones},
                                                       {QLatin1String("medidas_seguridad"), et.lblComSeguridad}});
    return r;
}

}  // namespace

DatosLotes LeerDatosLotes(const QString &carpeta)
{
    const QDir dir(carpeta);
    DatosLotes datos;
    datos.pesos = LeerTablasPesos(dir.filePath(QStringLiteral("ORV.sqlite")));
    datos.comentarios = LeerTablasComentarios(dir.filePath(QStringLiteral("Comentarios.sqlite")));
    return datos;
}

bool ProcesarLinea(const QByteArray &linea, const DatosLotes &datos, QByteArray &salida)
{
    QJsonValue id = QJsonValue::Null;
    QJsonObject respuesta;
    try {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(linea, &error);
        if (error.error != QJsonParseError::NoError)
            Rechazar(QStringLiteral("La línea no es JSON válido (error en el carácter %1).").arg(error.offset + 1));
        if (!doc.isObject())
            Rechazar(QStringLiteral("La línea debe ser un objeto JSON."));
        const QJsonObject raiz = doc.object();
        if (raiz.contains(QStringLiteral("id")))
            id = raiz.value(QStringLiteral("id"));
        SoloClaves(raiz, {"id", "sistema", "relevancia", "anno", "variables", "otros"}, QString());

        EstadoEvaluacion e;
        e.Reiniciar();
        e.TipoEstructura = static_cast<int16_t>(EnteroObligatorio(raiz, QStringLiteral("sistema"), 0, 14, QString()));
        e.CasoRelevancia = e.InfoNoRelevante =
            static_cast<int16_t>(EnteroOpcional(raiz, QStringLiteral("relevancia"), 0, 3, 0));
        const int anno = EnteroOpcional(raiz, QStringLiteral("anno"), 0, 3, 0);
        CargarCalificaciones(raiz, e);

        MarcarNoRelevantes(e, e.CasoRelevancia);
        VerificarCalificaciones(e, e.TipoEstructura, e.CasoRelevancia);
        if (e.FaltanCalificaciones == 1)
            throw Rechazo{QString::fromUtf8(MensajeFaltan), CodigosFaltantes(e, e.TipoEstructura, e.CasoRelevancia)};

        EtiquetasResultados etiquetas;
        EvaluarEdificacion(e, datos.pesos, datos.comentarios, anno, etiquetas);
        respuesta = Resultados(id, e, etiquetas);
    } catch (const Rechazo &r) {
        respuesta.insert(QLatin1String("id"), id);
        respuesta.insert(QLatin1String("error"), r.mensaje);
        if (!r.faltan.isEmpty()) {
            QJsonArray faltan;
            for (int16_t c : r.faltan)
                faltan.append(c);
            respuesta.insert(QLatin1String("faltan"), faltan);
        }
        salida = QJsonDocument(respuesta).toJson(QJsonDocument::Compact);
        return false;
    }
    salida = QJsonDocument(respuesta).toJson(QJsonDocument::Compact);
    return true;
}

int ProcesarLotes(QIODevice &entrada, QIODevice &salida, const DatosLotes &datos)
{
    bool todas = true;
    QByteArray respuesta, bloque;
    for (;;) {
        // A line holds at least its line end; only the end of the input is empty.
        QByteArray linea = entrada.readLine();
        if (linea.isEmpty())
            break;
        if (linea.endsWith('\n'))
            linea.chop(1);
        if (linea.endsWith('\r'))
            linea.chop(1);
        todas = ProcesarLinea(linea, datos, respuesta) && todas;
        bloque += respuesta;
        bloque += '\n';
        if (bloque.size() > (1 << 16)) {
            salida.write(bloque);
            bloque.clear();
        }
    }
    salida.write(bloque);
    return todas ? 0 : 1;
}
