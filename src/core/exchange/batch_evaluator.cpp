#include "core/exchange/batch_evaluator.h"

#include "core/exchange/json_lines.h"

#include "core/data/record_set.h"
#include "core/engine/evaluation_driver.h"
#include "core/engine/proportion_rating.h"
#include "core/evaluation/evaluate_check.h"

#include <QDir>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <cmath>
#include <thread>
#include <type_traits>
#include <vector>

using namespace LineaJson;

namespace {

qsizetype Definidos(std::initializer_list<const QJsonValue *> valores)
{
    return std::count_if(valores.begin(), valores.end(), [](const QJsonValue *v) { return !v->isUndefined(); });
}

// Fills the ratings the way the evaluation form does: slots in the order
// given, proportion ratings through the level derivation of the proportion
// dialog, other elements only when the key is present.
void CargarCalificaciones(const QJsonValue &listaVariables, const QJsonValue &listaOtros, EstadoEvaluacion &e)
{
    const QJsonArray variables = Lista(listaVariables, "variables");
    quint32 vistos = 0;  // one bit per code
    for (qsizetype i = 0; i < variables.size(); ++i) {
        const Lugar lugar{"variables", i};
        const QJsonValue elemento = variables.at(i);
        if (!elemento.isObject())
            Rechazar(QStringLiteral("Cada elemento de \"variables\" debe ser un objeto (elemento %1).").arg(i + 1));
        const QJsonObject v = elemento.toObject();
        const QJsonValue valorCodigo = v.value(QLatin1String("codigo"));
        const QJsonValue nivel = v.value(QLatin1String("nivel"));
        const QJsonValue proporciones = v.value(QLatin1String("proporciones"));
        SoloClaves(v, Definidos({&valorCodigo, &nivel, &proporciones}),
                   {QLatin1String("codigo"), QLatin1String("nivel"), QLatin1String("proporciones")}, lugar);
        const int codigo = Entero(valorCodigo, "codigo", 0, 22, lugar);
        if (vistos & (1u << codigo))
            Rechazar(QStringLiteral("El código %1 está repetido en \"variables\".").arg(codigo));
        vistos |= 1u << codigo;
        if (nivel.isUndefined() == proporciones.isUndefined())
            Rechazar(QStringLiteral("La variable de código %1 debe llevar \"nivel\" o \"proporciones\", una de las dos.")
                         .arg(codigo));

        // i < 23: every code appears once at most.
        const int16_t slot = static_cast<int16_t>(i);
        e.UltimaVariable = e.IndiceVariable = slot;
        e.VariableActual = static_cast<int16_t>(codigo);
        e.Variables[slot].Codigo = static_cast<int16_t>(codigo);
        if (!nivel.isUndefined()) {
            int n = 0;
            if (!LeerEntero(nivel, 0, 4, n))
                Rechazar(QStringLiteral("\"nivel\" de la variable de código %1 debe ser un número entero entre 0 y 4.")
                             .arg(codigo));
            e.Variables[slot].Nivel = static_cast<int16_t>(n);
            if (const int s = SlotCualitativoVariable(codigo); s >= 0)
                e.NivelesCualitativos[s] = static_cast<int16_t>(n);
            continue;
        }
        if (codigo > Entrepiso)
            Rechazar(QStringLiteral("\"proporciones\" solo se admite para los elementos estructurales (códigos 0 a 13); "
                                    "la variable de código %1 lleva \"nivel\".")
                         .arg(codigo));
        const QJsonArray barrasJson = proporciones.toArray();
        std::array<int, 5> barras{};
        bool valida = proporciones.isArray() && barrasJson.size() == 5;
        for (int k = 0; valida && k < 5; ++k)
            valida = LeerEntero(barrasJson.at(k), 0, 100, barras[k]);
        if (!valida)
            Rechazar(QStringLiteral("\"proporciones\" de la variable de código %1 debe ser una lista de cinco números "
                                    "enteros entre 0 y 100.")
                         .arg(codigo));
        AplicarCalificacionProporcion(e, DerivarNivelProporcion(codigo, barras));
    }

    if (listaOtros.isUndefined())
        return;
    e.OtrosElegidos = 1;
    const QJsonArray otros = Lista(listaOtros, "otros");
    quint32 otrosVistos = 0;
    for (qsizetype i = 0; i < otros.size(); ++i) {
        const Lugar lugar{"otros", i};
        const QJsonValue elemento = otros.at(i);
        if (!elemento.isObject())
            Rechazar(QStringLiteral("Cada elemento de \"otros\" debe ser un objeto (elemento %1).").arg(i + 1));
        const QJsonObject o = elemento.toObject();
        const QJsonValue valorCodigo = o.value(QLatin1String("codigo"));
        const QJsonValue valorNivel = o.value(QLatin1String("nivel"));
        SoloClaves(o, Definidos({&valorCodigo, &valorNivel}), {QLatin1String("codigo"), QLatin1String("nivel")},
                   lugar);
        const int codigo = Entero(valorCodigo, "codigo", 0, 3, lugar);
        if (otrosVistos & (1u << codigo))
            Rechazar(QStringLiteral("El código %1 está repetido en \"otros\".").arg(codigo));
        otrosVistos |= 1u << codigo;
        const int16_t nivel = static_cast<int16_t>(Entero(valorNivel, "nivel", 0, 4, lugar));
        // i < 4: every code appears once at most.
        e.UltimoOtro = e.IndiceOtro = static_cast<int16_t>(i);
        e.OtrosNoEstructurales[i] = OtroCalificado{static_cast<int16_t>(codigo), nivel};
        e.NivelesCualitativos[SlotCualitativoOtro(codigo)] = nivel;
    }
}

// The evaluation keys of a line into a fresh state, the ratings of the
// categories declared not relevant completed. Throws Rechazo.
void CargarEvaluacion(const QJsonObject &raiz, EstadoEvaluacion &e, int &anno, const QList<QLatin1String> &otras)
{
    const QJsonValue valorId = raiz.value(QLatin1String("id"));
    const QJsonValue sistema = raiz.value(QLatin1String("sistema"));
    const QJsonValue relevancia = raiz.value(QLatin1String("relevancia"));
    const QJsonValue valorAnno = raiz.value(QLatin1String("anno"));
    const QJsonValue variables = raiz.value(QLatin1String("variables"));
    const QJsonValue otros = raiz.value(QLatin1String("otros"));
    SoloClaves(raiz, Definidos({&valorId, &sistema, &relevancia, &valorAnno, &variables, &otros}),
               {QLatin1String("id"), QLatin1String("sistema"), QLatin1String("relevancia"), QLatin1String("anno"),
                QLatin1String("variables"), QLatin1String("otros")},
               {}, otras);

    e.Reiniciar();
    e.TipoEstructura = static_cast<int16_t>(Entero(sistema, "sistema", 0, 14));
    e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(EnteroOpcional(relevancia, "relevancia", 0, 3, 0));
    anno = EnteroOpcional(valorAnno, "anno", 0, 3, 0);
    CargarCalificaciones(variables, otros, e);
    MarcarNoRelevantes(e, e.CasoRelevancia);
}

// A string as a JSON string literal in UTF-8 from `q` on, which must have
// room for the worst case: 6 bytes per UTF-16 unit (a \u00XX escape) plus
// the quotes. Returns the end of what was written.
char *EscribirTextoJson(char *q, QStringView texto)
{
    static const char hex[] = "0123456789abcdef";
    const qsizetype n = texto.size();
    const char16_t *p = texto.utf16();
    *q++ = '"';
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (c < 0x80) {
            if (c >= 0x20 && c != '"' && c != '\\') {
                *q++ = static_cast<char>(c);
                continue;
            }
            *q++ = '\\';
            switch (c) {
            case '"': *q++ = '"'; break;
            case '\\': *q++ = '\\'; break;
            case '\n': *q++ = 'n'; break;
            case '\r': *q++ = 'r'; break;
            case '\t': *q++ = 't'; break;
            case '\b': *q++ = 'b'; break;
            case '\f': *q++ = 'f'; break;
            default:
                *q++ = 'u';
                *q++ = '0';
                *q++ = '0';
                *q++ = hex[c >> 4];
                *q++ = hex[c & 15];
            }
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), p[++i]);
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;  // a lone surrogate has no UTF-8 form
        if (c < 0x800) {
            *q++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *q++ = static_cast<char>(0xE0 | (c >> 12));
            *q++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *q++ = static_cast<char>(0xF0 | (c >> 18));
            *q++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *q++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *q++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    *q++ = '"';
    return q;
}

// --- output ------------------------------------------------------------------

// Compact JSON written straight into a byte array (appended), keys in the
// documented order. The array grows geometrically and is cut to the bytes
// written when the writer goes.
class Salida {
public:
    Salida(QByteArray &b, const DatosLotes &d) : b_(b), datos_(d), usado_(b.size()) {}
    ~Salida() { b_.resize(usado_); }
    Salida(const Salida &) = delete;
    Salida &operator=(const Salida &) = delete;

    void abrir()
    {
        byte('{');
        primero_ = true;
    }
    void cerrar()
    {
        byte('}');
        primero_ = false;
    }
    void clave(const char *k)
    {
        const qsizetype largo = static_cast<qsizetype>(std::strlen(k));
        char *q = espacio(largo + 4);
        if (!primero_)
            *q++ = ',';
        primero_ = false;
        *q++ = '"';
        std::memcpy(q, k, largo);
        q += largo;
        *q++ = '"';
        *q++ = ':';
        usado_ = q - b_.constData();
    }
    void objeto(const char *k)
    {
        clave(k);
        abrir();
    }
    void entero(const char *k, int n)
    {
        clave(k);
        numero(n);
    }
    void real(const char *k, double x)
    {
        clave(k);
        numero(x);
    }
    void texto(const char *k, const QString &s)
    {
        clave(k);
        const auto it = datos_.textosJson.find(s.constData());
        // The same characters as a table text: the escaped form is known.
        if (!s.isEmpty() && it != datos_.textosJson.end() && it->second.largo == s.size())
            bytes(it->second.json.constData(), it->second.json.size());
        else
            textoJson(s);
    }
    void valor(const char *k, const QJsonValue &v)
    {
        clave(k);
        if (v.isString()) {
            textoJson(v.toString());
        } else if (v.isDouble()) {
            const qint64 i = v.toInteger();
            if (static_cast<double>(i) == v.toDouble())
                numero(i);
            else
                numero(v.toDouble());
        } else if (v.isNull() || v.isUndefined()) {
            bytes("null", 4);
        } else {
            // Any other JSON value, written as Qt writes it.
            const QByteArray envuelto = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
            bytes(envuelto.constData() + 1, envuelto.size() - 2);
        }
    }
    void enteros(const char *k, const QList<int16_t> &lista)
    {
        clave(k);
        byte('[');
        for (qsizetype i = 0; i < lista.size(); ++i) {
            if (i)
                byte(',');
            numero(lista.at(i));
        }
        byte(']');
    }

private:
    char *espacio(qsizetype n)
    {
        if (usado_ + n > b_.size())
            b_.resize(std::max<qsizetype>(2 * b_.size(), usado_ + n + 4096));
        return b_.data() + usado_;
    }
    void bytes(const char *p, qsizetype n)
    {
        std::memcpy(espacio(n), p, n);
        usado_ += n;
    }
    void byte(char c)
    {
        *espacio(1) = c;
        ++usado_;
    }
    void textoJson(QStringView s)
    {
        char *q = espacio(6 * s.size() + 2);
        usado_ = EscribirTextoJson(q, s) - b_.constData();
    }
    // Shortest text that reads back as the same number ("0.55", "0.0582", "12").
    template <typename T>
    void numero(T x)
    {
        char *q = espacio(32);
        std::to_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::to_chars(q, q + 32, x, std::chars_format::general);
        else
            r = std::to_chars(q, q + 32, x);
        usado_ = r.ptr - b_.constData();
    }

    QByteArray &b_;
    const DatosLotes &datos_;
    qsizetype usado_;
    bool primero_ = true;
};

void EscribirResultados(Salida &s, const QJsonValue &id, const EstadoEvaluacion &e, const EtiquetasResultados &et)
{
    s.abrir();
    s.valor("id", id);
    s.objeto("estructural");
    s.entero("nivel", e.NivelDannoEstructural);
    s.texto("danno", e.TextoDannoEstructural);
    s.texto("riesgo", e.TextoRiesgoEstructural);
    s.real("indice", e.IndiceEstructural);
    s.cerrar();
    s.objeto("no_estructural");
    s.entero("nivel", e.NivelDannoNoEstructural);
    s.texto("danno", e.TextoDannoNoEstructural);
    s.texto("riesgo", e.TextoRiesgoNoEstructural);
    s.real("indice", e.IndiceNoEstructural);
    s.cerrar();
    s.objeto("suelo");
    s.entero("nivel", e.NivelSuelo);
    s.texto("condiciones", e.TextoSuelo);
    s.texto("riesgo", e.TextoRiesgoGeotecnico);
    s.real("indice", e.IndiceSuelo);
    s.cerrar();
    s.objeto("preexistente");
    s.entero("nivel", e.NivelPreexistente);
    s.texto("condiciones", e.TextoPreexistente);
    s.real("indice", e.IndicePreexistente);
    s.cerrar();
    const struct {
        const char *clave;
        int16_t nivel;
        const QString &texto;
    } combinados[] = {{"edificio", e.NivelDannoEdificio, e.TextoDannoEdificio},
                      {"estado_global", e.NivelEstadoGlobal, e.TextoEstadoGlobal},
                      {"habitabilidad", e.NivelHabitabilidad, e.TextoHabitabilidad},
                      {"reparabilidad", e.NivelReparabilidad, e.TextoReparabilidad}};
    for (const auto &c : combinados) {
        s.objeto(c.clave);
        s.entero("nivel", c.nivel);
        s.texto("texto", c.texto);
        s.cerrar();
    }
    s.objeto("codigos");
    s.texto("DE", e.CodDannoEdificio);
    s.texto("EE", e.CodEstadoGlobal);
    s.texto("H", e.CodHabitabilidad);
    s.texto("R", e.CodReparabilidad);
    s.texto("MS", e.CodMedidasSeguridad);
    s.texto("RANNO", e.CodRefAnno);
    s.cerrar();
    s.objeto("comentarios");
    s.texto("danno_edificio", et.lblComDaEdificio);
    s.texto("estado_global", et.lblComEstGlobal);
    s.texto("habitabilidad", et.lblComHabitabilidad);
    s.texto("reparabilidad", et.lblComReparaciones);
    s.texto("medidas_seguridad", et.lblComSeguridad);
    s.cerrar();
    s.cerrar();
}

void AgregarTextos(const TablaComentarios &tabla, std::unordered_map<const QChar *, TextoJson> &destino)
{
    for (const auto &[codigo, texto] : tabla) {
        if (texto.isEmpty())
            continue;
        TextoJson &t = destino[texto.constData()];
        t.largo = texto.size();
        t.json.clear();
        AgregarTextoJson(t.json, texto);
    }
}

}  // namespace

void AgregarTextoJson(QByteArray &destino, QStringView texto)
{
    const qsizetype inicio = destino.size();
    destino.resize(inicio + 6 * texto.size() + 2);
    char *fin = EscribirTextoJson(destino.data() + inicio, texto);
    destino.resize(fin - destino.constData());
}

void PrepararTextosJson(DatosLotes &datos)
{
    datos.textosJson.clear();
    const TablasComentarios &c = datos.comentarios;
    for (const TablaComentarios *t : {&c.dannoEdificio, &c.estadoGlobal, &c.habitabilidad, &c.reparabilidad,
                                      &c.refAnno, &c.medidasSeguridad})
        AgregarTextos(*t, datos.textosJson);
}

DatosLotes LeerDatosLotes(const QString &carpeta)
{
    const QDir dir(carpeta);
    DatosLotes datos;
    datos.pesos = LeerTablasPesos(dir.filePath(QStringLiteral("ORV.sqlite")));
    datos.comentarios = LeerTablasComentarios(dir.filePath(QStringLiteral("Comentarios.sqlite")));
    PrepararTextosJson(datos);
    return datos;
}

namespace {

// ProcesarLinea, appending to `salida`.
bool AgregarLinea(const QByteArray &linea, const DatosLotes &datos, QByteArray &salida)
{
    QJsonValue id = QJsonValue::Null;
    try {
        const QJsonObject raiz = Objeto(linea);
        const QJsonValue valorId = raiz.value(QLatin1String("id"));
        if (!valorId.isUndefined())
            id = valorId;
        EstadoEvaluacion e;
        int anno = 0;
        CargarEvaluacion(raiz, e, anno, {});
        VerificarCalificaciones(e, e.TipoEstructura, e.CasoRelevancia);
        if (e.FaltanCalificaciones == 1)
            throw Rechazo{{TextosEvaluar::FaltanCalificaciones}, CodigosFaltantes(e, e.TipoEstructura, e.CasoRelevancia)};

        EtiquetasResultados etiquetas;
        EvaluarEdificacion(e, datos.pesos, datos.comentarios, anno, etiquetas);
        Salida s(salida, datos);
        EscribirResultados(s, id, e, etiquetas);
        return true;
    } catch (const Rechazo &r) {
        Salida s(salida, datos);
        s.abrir();
        s.valor("id", id);
        s.texto("error", r.errores.value(0));
        if (!r.faltan.isEmpty())
            s.enteros("faltan", r.faltan);
        s.cerrar();
        return false;
    }
}

}  // namespace

QString LeerEvaluacionJson(const QJsonObject &linea, EstadoEvaluacion &estado, int &anno,
                           const QList<QLatin1String> &otrasClaves)
{
    try {
        CargarEvaluacion(linea, estado, anno, otrasClaves);
        return QString();
    } catch (const Rechazo &r) {
        return r.errores.value(0);
    }
}

bool ProcesarLinea(const QByteArray &linea, const DatosLotes &datos, QByteArray &salida)
{
    salida.resize(0);
    return AgregarLinea(linea, datos, salida);
}

namespace {

// One share of a block of lines, evaluated by one thread into its own output.
struct Tramo {
    std::vector<QByteArray> lineas;
    QByteArray salida;
    bool todas = true;
};

void EvaluarTramo(Tramo &t, const DatosLotes &datos)
{
    for (const QByteArray &linea : t.lineas) {
        t.todas = AgregarLinea(linea, datos, t.salida) && t.todas;
        t.salida += '\n';
    }
}

}  // namespace

int ProcesarLotes(QIODevice &entrada, QIODevice &salida, const DatosLotes &datos)
{
    // Lines are independent: a block of input is split among the cores and
    // the outputs are written back in input order, by a writer thread that
    // works on one block while the next one is evaluated.
    const int hilos = std::clamp(QThread::idealThreadCount(), 1, 8);
    constexpr qsizetype TamannoBloque = 1 << 20;
    std::array<std::vector<Tramo>, 2> juegos{std::vector<Tramo>(static_cast<std::size_t>(hilos)),
                                             std::vector<Tramo>(static_cast<std::size_t>(hilos))};
    std::thread escritor;
    int actual = 0;
    QByteArray bloque;
    qsizetype pendiente = 0;  // bytes of an unfinished line at the start of `bloque`
    bool todas = true;
    bool fin = false;
    while (!fin) {
        bloque.resize(pendiente + TamannoBloque);
        const qint64 leidos = entrada.read(bloque.data() + pendiente, TamannoBloque);
        fin = leidos <= 0;
        bloque.resize(pendiente + std::max<qint64>(leidos, 0));

        // Complete lines (the last one too at the end of the input), as views into the block.
        std::vector<QByteArray> lineas;
        qsizetype inicio = 0;
        for (;;) {
            qsizetype finLinea = bloque.indexOf('\n', inicio);
            if (finLinea < 0) {
                if (!fin || inicio == bloque.size())
                    break;
                finLinea = bloque.size();
            }
            qsizetype largo = finLinea - inicio;
            if (largo > 0 && bloque.at(inicio + largo - 1) == '\r')
                --largo;
            lineas.push_back(QByteArray::fromRawData(bloque.constData() + inicio, largo));
            inicio = finLinea + 1;
            if (inicio > bloque.size())
                break;
        }

        std::vector<Tramo> &tramos = juegos[actual];
        const std::size_t porTramo = (lineas.size() + tramos.size() - 1) / tramos.size();
        for (std::size_t k = 0; k < tramos.size(); ++k) {
            Tramo &t = tramos[k];
            t.salida.resize(0);
            t.todas = true;
            const std::size_t desde = std::min(lineas.size(), k * porTramo);
            const std::size_t hasta = std::min(lineas.size(), desde + porTramo);
            t.lineas.assign(lineas.begin() + static_cast<std::ptrdiff_t>(desde),
                            lineas.begin() + static_cast<std::ptrdiff_t>(hasta));
        }
        std::vector<std::thread> trabajadores;
        for (std::size_t k = 1; k < tramos.size(); ++k)
            if (!tramos[k].lineas.empty())
                trabajadores.emplace_back(EvaluarTramo, std::ref(tramos[k]), std::cref(datos));
        EvaluarTramo(tramos[0], datos);
        for (std::thread &t : trabajadores)
            t.join();
        for (Tramo &t : tramos) {
            t.lineas.clear();  // the views must go before the block moves
            todas = todas && t.todas;
        }
        lineas.clear();

        if (escritor.joinable())
            escritor.join();
        escritor = std::thread([&salida, &tramos] {
            for (const Tramo &t : tramos)
                salida.write(t.salida);
        });
        actual = 1 - actual;

        // Keep the unfinished line for the next read.
        pendiente = bloque.size() - std::min(inicio, bloque.size());
        if (pendiente > 0)
            std::memmove(bloque.data(), bloque.constData() + bloque.size() - pendiente, pendiente);
    }
    if (escritor.joinable())
        escritor.join();
    return todas ? 0 : 1;
}
