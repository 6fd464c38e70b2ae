#include "core/engine/category_evaluators.h"

#include "core/data/record_set.h"
#include "core/engine/fuzzy_scale.h"
#include "core/engine/rule_tables.h"

namespace {

constexpr QChar SaltoLinea = QLatin1Char('\r');

enum Categoria { CatEstructural = 0, CatNoEstructural = 1, CatPreexistente = 2, CatSuelo = 3 };

double PesoEn(const VariableCalificada &v, int categoria)
{
    switch (categoria) {
    case CatEstructural: return v.PesoEstructural;
    case CatNoEstructural: return v.PesoNoEstructural;
    case CatPreexistente: return v.PesoPreexistente;
    default: return v.PesoSuelo;
    }
}

[[noreturn]] void FaltanFilas(const ConjuntoRegistros &tabla, int leidas, int necesarias)
{
    throw ErrorDatos(QStringLiteral("Error en la base de datos: la tabla tiene %1 registros y se necesitan %2 (%3).")
                         .arg(leidas)
                         .arg(necesarias)
                         .arg(tabla.descripcion()));
}

template <std::size_t N>
void LeerPrimeraFila(const QString &archivo, const QString &tabla, std::array<double, N> &destino)
{
    ConjuntoRegistros registros(archivo, tabla);
    registros.moverPrimero();
    if (registros.finDeTabla())
        FaltanFilas(registros, 0, 1);
    for (std::size_t i = 0; i < N; ++i)
        destino[i] = registros.campoReal(static_cast<int>(i));
}

// Sets the weight of every rated record whose code lies in [primero, primero + N).
template <std::size_t N>
void AsignarPesos(EstadoEvaluacion &e, const std::array<double, N> &tabla, int primero,
                  double VariableCalificada::*campo)
{
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        VariableCalificada &v = e.Variables[i];
        const int k = v.Codigo - primero;
        if (k >= 0 && k < static_cast<int>(N))
            v.*campo = tabla[k];
    }
}

void ProporcionesDe(EstadoEvaluacion &e, int categoria, Membresias &prop)
{
    prop.fill(0.0);
    double total = 0.0;
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        const VariableCalificada &v = e.Variables[i];
        if (v.Nivel < 0 || v.Nivel > 4)
            continue;
        const double peso = PesoEn(v, categoria);
        total += peso;
        if (prop[v.Nivel] < peso)
            prop[v.Nivel] = peso;
    }
    e.TotalPesos[categoria] = total;
    if (total != 0.0)
        for (double &p : prop)
            p /= total;
}

// Value and level of one category from its memberships.
int16_t ValorYNivel(EstadoEvaluacion &e, int categoria, const Membresias &prop)
{
    e.ValorCategoria[categoria] = ValorDifuso(prop);
    NivelMasCercano(e, e.ValorCategoria[categoria]);
    return e.NivelCalculado;
}

}  // namespace

void TextosEstructurales(EstadoEvaluacion &e)
{
    e.TextoDannoEstructural = NombreNivelDanno(e.NivelDannoEstructural);
    e.TextoRiesgoEstructural = NombreRiesgoEstructural(e.NivelDannoEstructural);
}

void TextosNoEstructurales(EstadoEvaluacion &e)
{
    e.TextoDannoNoEstructural = NombreNivelDanno(e.NivelDannoNoEstructural);
    e.TextoRiesgoNoEstructural = NombreRiesgoNoEstructural(e.NivelDannoNoEstructural);
}

void TextosSuelo(EstadoEvaluacion &e)
{
    e.TextoSuelo = NombreCondicionesSuelo(e.NivelSuelo);
    e.TextoRiesgoGeotecnico = NombreRiesgoGeotecnico(e.NivelSuelo);
}

bool OtrosMasGravesQueNoEstructural(const EstadoEvaluacion &e)
{
    for (int16_t nivel : e.NivelOtroGrave)
        if (nivel > e.NivelDannoNoEstructural)
            return true;
    return false;
}

TablasPesos LeerTablasPesos(const QString &archivoReferencia)
{
    TablasPesos t;
    {
        // One row per structural system, in code order; field 0 names the system.
        ConjuntoRegistros sistema(archivoReferencia, QStringLiteral("PesosSistema"));
        sistema.moverPrimero();
        for (int fila = 0; fila < static_cast<int>(t.sistema.size()); ++fila) {
            if (sistema.finDeTabla())
                FaltanFilas(sistema, fila, static_cast<int>(t.sistema.size()));
            for (int k = 0; k < 14; ++k)
                t.sistema[fila][k] = sistema.campoReal(k + 1);
            sistema.moverSiguiente();
        }
    }
    LeerPrimeraFila(archivoReferencia, QStringLiteral("PesosNoest"), t.noEst);
    LeerPrimeraFila(archivoReferencia, QStringLiteral("PesosSuelo"), t.suelo);
    LeerPrimeraFila(archivoReferencia, QStringLiteral("PesosPreex"), t.preex);
    return t;
}

void CargarPesosSistema(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    // A system outside the table keeps the row last read.
    if (e.TipoEstructura >= 0 && e.TipoEstructura < static_cast<int>(pesos.sistema.size()))
        e.TablaPesosSistema = pesos.sistema[e.TipoEstructura];
    AsignarPesos(e, e.TablaPesosSistema, Vigas, &VariableCalificada::PesoEstructural);
}

void CargarPesosNoEst(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    e.TablaPesosNoEst = pesos.noEst;
    AsignarPesos(e, e.TablaPesosNoEst, MurosDivisorios, &VariableCalificada::PesoNoEstructural);
}

void CargarPesosSuelo(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    e.TablaPesosSuelo = pesos.suelo;
    AsignarPesos(e, e.TablaPesosSuelo, Taludes, &VariableCalificada::PesoSuelo);
}

void CargarPesosPreex(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    e.TablaPesosPreex = pesos.preex;
    AsignarPesos(e, e.TablaPesosPreex, CalidadMateriales, &VariableCalificada::PesoPreexistente);
}

void CalcularProporciones(EstadoEvaluacion &e)
{
    // The four categories in one pass over the rated records, in locals.
    double total[4] = {0.0, 0.0, 0.0, 0.0};
    double prop[4][5] = {};
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        const VariableCalificada &v = e.Variables[i];
        if (v.Nivel < 0 || v.Nivel > 4)
            continue;
        const double peso[4] = {v.PesoEstructural, v.PesoNoEstructural, v.PesoPreexistente, v.PesoSuelo};
        for (int c = 0; c < 4; ++c) {
            total[c] += peso[c];
            if (prop[c][v.Nivel] < peso[c])
                prop[c][v.Nivel] = peso[c];
        }
    }
    Membresias *destino[4] = {&e.PropEstructural, &e.PropNoEstructural, &e.PropPreexistente, &e.PropSuelo};
    for (int c = 0; c < 4; ++c) {
        e.TotalPesos[c] = total[c];
        for (int k = 0; k < 5; ++k)
            (*destino[c])[k] = total[c] != 0.0 ? prop[c][k] / total[c] : 0.0;
    }
}

void ProporcionesEstructurales(EstadoEvaluacion &e) { ProporcionesDe(e, CatEstructural, e.PropEstructural); }
void ProporcionesNoEstructurales(EstadoEvaluacion &e) { ProporcionesDe(e, CatNoEstructural, e.PropNoEstructural); }
void ProporcionesPreexistentes(EstadoEvaluacion &e) { ProporcionesDe(e, CatPreexistente, e.PropPreexistente); }
void ProporcionesSuelo(EstadoEvaluacion &e) { ProporcionesDe(e, CatSuelo, e.PropSuelo); }

void CopiarOtrosGraves(EstadoEvaluacion &e)
{
    e.NivelOtroGrave.fill(0);
    for (const OtroCalificado &o : e.OtrosNoEstructurales)
        if (o.Codigo >= 0 && o.Codigo < NumOtros)
            e.NivelOtroGrave[o.Codigo] = o.Nivel > 2 ? o.Nivel : 0;
}

QStringList EvaluarEstructural(EstadoEvaluacion &e)
{
    ProporcionesEstructurales(e);
    e.NivelDannoEstructural = ValorYNivel(e, CatEstructural, e.PropEstructural);
    TextosEstructurales(e);
    return {QStringLiteral("Riesgo Estructural: ") + e.TextoRiesgoEstructural + QLatin1Char('.') + SaltoLinea
            + QStringLiteral("Daño Estructural: ") + e.TextoDannoEstructural + QLatin1Char('.') + SaltoLinea
            + QStringLiteral("Indice de Daño Estructural = ") + IndiceImpreso(e.ValorCategoria[CatEstructural])
            + QLatin1Char('.')};
}

QStringList EvaluarNoEstructural(EstadoEvaluacion &e)
{
    if (e.OtrosElegidos != 0 && e.OtrosElegidos != 1)
        return {};
    QStringList mensajes;
    if (e.OtrosElegidos == 1)
        CopiarOtrosGraves(e);
    ProporcionesNoEstructurales(e);
    e.NivelDannoNoEstructural = ValorYNivel(e, CatNoEstructural, e.PropNoEstructural);
    if (e.OtrosElegidos == 1 && OtrosMasGravesQueNoEstructural(e))
        mensajes << QStringLiteral("Algunos elementos no estructurales como los cielo rasos y luminarias, "
                                   "instalaciones, tanques elevados o cubiertas se encuentran en grave estado.");
    TextosNoEstructurales(e);
    mensajes << QStringLiteral("Riesgo No Estructural: ") + e.TextoRiesgoNoEstructural + QLatin1Char('.') + SaltoLinea
                    + QStringLiteral("Daño No Estructural: ") + e.TextoDannoNoEstructural + QLatin1Char('.')
                    + SaltoLinea + QStringLiteral("Indice de Daño No Estructural = ")
                    + IndiceImpreso(e.ValorCategoria[CatNoEstructural]) + QLatin1Char('.');
    return mensajes;
}

QStringList EvaluarPreexistente(EstadoEvaluacion &e)
{
    ProporcionesPreexistentes(e);
    e.NivelPreexistente = ValorYNivel(e, CatPreexistente, e.PropPreexistente);
    e.TextoPreexistente = NombreCondicionesPreexistentes(e.NivelPreexistente);
    return {QStringLiteral("Condiciones Preexistentes: ") + e.TextoPreexistente + QLatin1Char('.') + SaltoLinea
            + QStringLiteral("Indice de Condiciones Preexistentes = ")
            + IndiceImpreso(e.ValorCategoria[CatPreexistente]) + QLatin1Char('.')};
}

QStringList EvaluarSuelo(EstadoEvaluacion &e)
{
    ProporcionesSuelo(e);
    e.NivelSuelo = ValorYNivel(e, CatSuelo, e.PropSuelo);
    TextosSuelo(e);
    return {QStringLiteral("Riesgo Geotécnico: ") + e.TextoRiesgoGeotecnico + QLatin1Char('.') + SaltoLinea
            + QStringLiteral("Condiciones del Suelo: ") + e.TextoSuelo + QLatin1Char('.') + SaltoLinea
            + QStringLiteral("Indice de Condiciones del Suelo = ") + IndiceImpreso(e.ValorCategoria[CatSuelo])
            + QLatin1Char('.')};
}

QStringList BotonEvaluarEstructural(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    e.NivelSaturacion = ReglaSaturacionEstructural(e);
    CargarPesosSistema(e, pesos);
    if (e.NivelSaturacion == 0)
        return EvaluarEstructural(e);

    const QString causa =
        QStringLiteral("Por saturación del daño en un elemento indispensable para la estabilidad estructural. ");
    QString mensaje;
    if (e.NivelSaturacion == 3)
        mensaje = causa + SaltoLinea + QStringLiteral("Daño Estructural: FUERTE.") + SaltoLinea
                  + QStringLiteral("Riesgo Estructural: ALTO");
    else
        mensaje = causa + SaltoLinea + QStringLiteral("Daño Estructural: SEVERO.") + SaltoLinea
                  + QStringLiteral("Riesgo Estructural: MUY ALTO");
    e.NivelDannoEstructural = e.NivelSaturacion;
    TextosEstructurales(e);
    return {mensaje};
}

QStringList BotonEvaluarNoEstructural(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    CargarPesosNoEst(e, pesos);
    return EvaluarNoEstructural(e);
}

QStringList BotonEvaluarPreexistente(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    CargarPesosPreex(e, pesos);
    const int16_t nivel = ReglaSaturacionPreexistente(e);
    if (nivel == 0)
        return EvaluarPreexistente(e);

    e.NivelPreexistente = nivel;
    e.TextoPreexistente = NombreCondicionesPreexistentes(nivel);
    const QString condiciones = QStringLiteral("Condiciones Preexistentes: ") + e.TextoPreexistente
                                + QLatin1Char('.') + SaltoLinea + QStringLiteral("Indice de Condiciones Preexistentes = ");
    const QString empeoran = QStringLiteral("Algunas condiciones empeoran el estado del edificio.") + SaltoLinea;
    switch (nivel) {
    case 2: return {condiciones + QStringLiteral("0.33")};
    case 3: return {empeoran + condiciones + QStringLiteral("0.55")};
    default: return {empeoran + condiciones + QStringLiteral("0.76")};
    }
}

QStringList BotonEvaluarSuelo(EstadoEvaluacion &e, const TablasPesos &pesos)
{
    CargarPesosSuelo(e, pesos);
    const int16_t nivel = ReglaSaturacionSuelo(e);
    if (nivel == 0)
        return EvaluarSuelo(e);

    QString mensaje;
    if (nivel == 3)
        mensaje = QStringLiteral("Problemas geotécnicos ponen en peligro la estabilidad estructural. ") + SaltoLinea
                  + QStringLiteral("Riesgo Geotécnico: ALTO.") + SaltoLinea
                  + QStringLiteral("Condiciones del Suelo: MALAS.") + SaltoLinea
                  + QStringLiteral("Indice de Condiciones del Suelo = 0.55");
    else
        mensaje = QStringLiteral("Problemas geotécnicos ponen en peligro la estabilidad estructural.") + SaltoLinea
                  + QStringLiteral("Riesgo Geotécnico: MUY ALTO.") + SaltoLinea
                  + QStringLiteral("Condiciones del Suelo: MUY MALAS.") + SaltoLinea
                  + QStringLiteral("Indice de Condiciones del Suelo = 0.76");
    e.NivelSuelo = nivel;
    TextosSuelo(e);
    return {mensaje};
}
