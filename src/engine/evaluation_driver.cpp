#include "engine/evaluation_driver.h"

#include "engine/fuzzy_scale.h"
#include "engine/rule_tables.h"
#include "results/result_classification.h"

namespace {

bool SueloRelevante(int16_t caso) { return caso == 0 || caso == 1; }
bool PreexistenteRelevante(int16_t caso) { return caso == 0 || caso == 2; }

bool Calificado(const EstadoEvaluacion &e, int16_t codigo)
{
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i)
        if (e.Variables[i].Codigo == codigo)
            return true;
    return false;
}

// Index shown for a level fixed by an override rule, or -1 when the level
// keeps the computed index.
double IndiceFijo(int16_t nivel, bool moderadoFijo)
{
    switch (nivel) {
    case 2: return moderadoFijo ? 0.33 : -1.0;
    case 3: return 0.55;
    case 4: return 0.76;
    default: return -1.0;
    }
}

void FijarIndice(double valor, double &indice, QString &etiqueta)
{
    indice = IndiceCuatroDecimales(valor);
    etiqueta = IndiceImpreso(valor);
}

const QString &NoAplica()
{
    static const QString texto = QStringLiteral("No Aplica");
    return texto;
}

}  // namespace

QList<int16_t> CodigosNoRelevantes(int16_t caso)
{
    switch (caso) {
    case 1: return {CalidadMateriales, IrregularidadPlanta, IrregularidadAltura, ConfiguracionEstructural};
    case 2: return {Taludes, AsentamientoLicuacion};
    case 3:
        return {Taludes, AsentamientoLicuacion, CalidadMateriales, IrregularidadPlanta, IrregularidadAltura,
                ConfiguracionEstructural};
    default: return {};
    }
}

void MarcarNoRelevantes(EstadoEvaluacion &e, int16_t caso)
{
    // Slots after the evaluator's ratings hold only placeholders of an
    // earlier press: start from empty slots every time.
    const int n = RegistrosCalificados(e);
    for (int i = n; i < NumVariables; ++i)
        e.Variables[i] = VariableCalificada{};

    int libre = n;
    for (int16_t codigo : CodigosNoRelevantes(caso)) {
        if (Calificado(e, codigo) || libre >= NumVariables)
            continue;
        VariableCalificada &v = e.Variables[libre++];
        v.Codigo = codigo;
        v.Nivel = 0;
    }
}

QList<int16_t> ElementosEstructuralesDelSistema(int16_t sistema)
{
    switch (sistema) {
    case 0: case 9: return {Vigas, Columnas, Nudos};
    case 5: case 8: return {Vigas, Columnas, Nudos, Muros};
    case 1: case 2: return {MurosConfinados};
    case 3: return {MurosSinConfinar};
    case 4: case 12: case 14: return {MurosBahareque};
    case 6: case 10: case 13: return {VigasAcero, ColumnasAcero, ConexionesAcero};
    case 7: case 11: return {VigasMadera, ColumnasMadera, ConexionesMadera};
    default: return {};
    }
}

QList<int16_t> CodigosFaltantes(const EstadoEvaluacion &e, int16_t sistema, int16_t caso)
{
    if (sistema < 0 || sistema > 14 || caso < 0 || caso > 3)
        return {};
    QList<int16_t> necesarios = ElementosEstructuralesDelSistema(sistema);
    necesarios << Entrepiso << MurosDivisorios << MurosFachada << Escaleras;
    if (SueloRelevante(caso))
        necesarios << Taludes << AsentamientoLicuacion;
    if (PreexistenteRelevante(caso))
        necesarios << CalidadMateriales << IrregularidadPlanta << IrregularidadAltura << ConfiguracionEstructural;

    QList<int16_t> faltan;
    for (int16_t codigo : necesarios)  // already in increasing order
        if (!Calificado(e, codigo))
            faltan << codigo;
    return faltan;
}

void VerificarCalificaciones(EstadoEvaluacion &e, int16_t sistema, int16_t caso)
{
    if (sistema < 0 || sistema > 14 || caso < 0 || caso > 3)
        return;
    e.FaltanCalificaciones = CodigosFaltantes(e, sistema, caso).isEmpty() ? 0 : 1;
}

void EvaluarEdificacion(EstadoEvaluacion &e, const TablasPesos &pesos, const TablasComentarios &comentarios,
                        int indiceAnno, EtiquetasResultados &et)
{
    const int16_t caso = e.CasoRelevancia;
    const bool suelo = SueloRelevante(caso);
    const bool preexistente = PreexistenteRelevante(caso);

    // Overrides and weights. A category not relevant takes level 0.
    e.NivelSaturacion = ReglaSaturacionEstructural(e);
    if (e.NivelSaturacion != 0)
        e.NivelDannoEstructural = e.NivelSaturacion;
    CargarPesosSistema(e, pesos);
    CargarPesosNoEst(e, pesos);
    e.NivelSuelo = 0;
    e.NivelPreexistente = 0;
    if (suelo) {
        CargarPesosSuelo(e, pesos);
        e.NivelSuelo = ReglaSaturacionSuelo(e);
    }
    if (preexistente) {
        CargarPesosPreex(e, pesos);
        e.NivelPreexistente = ReglaSaturacionPreexistente(e);
    }
    CalcularProporciones(e);

    // Structural: saturation, or the weighted value; Fuerte and Severo show
    // their fixed index either way.
    if (e.NivelSaturacion == 0) {
        e.ValorCategoria[0] = ValorDifuso(e.PropEstructural);
        e.NivelDannoEstructural = NivelMasCercanoDe(e.ValorCategoria[0]);
        FijarIndice(e.ValorCategoria[0], e.IndiceEstructural, et.lblIndiceEstructura);
    }
    e.TextoDannoEstructural = NombreNivelDanno(e.NivelDannoEstructural);
    e.TextoRiesgoEstructural = NombreRiesgoEstructural(e.NivelDannoEstructural);
    if (const double fijo = IndiceFijo(e.NivelDannoEstructural, false); fijo >= 0.0)
        FijarIndice(fijo, e.IndiceEstructural, et.lblIndiceEstructura);
    et.lblDE = e.TextoDannoEstructural;
    et.lblRiesgoEstructural = e.TextoRiesgoEstructural;

    // Non-structural: no fixed index. The other elements only choose the
    // comment set.
    e.OtrosMasGraves = 0;
    e.ValorCategoria[1] = ValorDifuso(e.PropNoEstructural);
    e.NivelDannoNoEstructural = NivelMasCercanoDe(e.ValorCategoria[1]);
    if (e.OtrosElegidos == 1) {
        CopiarOtrosGraves(e);
        for (int16_t nivel : e.NivelOtroGrave)
            if (nivel > e.NivelDannoNoEstructural)
                e.OtrosMasGraves = 1;
    }
    e.TextoDannoNoEstructural = NombreNivelDanno(e.NivelDannoNoEstructural);
    e.TextoRiesgoNoEstructural = NombreRiesgoNoEstructural(e.NivelDannoNoEstructural);
    FijarIndice(e.ValorCategoria[1], e.IndiceNoEstructural, et.lblIndiceNoestructural);
    et.lblDNE = e.TextoDannoNoEstructural;
    et.lblRiesgoNoEstruct = e.TextoRiesgoNoEstructural;

    // Soil.
    if (suelo) {
        if (e.NivelSuelo == 0) {
            e.ValorCategoria[3] = ValorDifuso(e.PropSuelo);
            e.NivelSuelo = NivelMasCercanoDe(e.ValorCategoria[3]);
            FijarIndice(e.ValorCategoria[3], e.IndiceSuelo, et.lblIndiceSuelo);
        } else {
            FijarIndice(IndiceFijo(e.NivelSuelo, false), e.IndiceSuelo, et.lblIndiceSuelo);
        }
        e.TextoSuelo = NombreCondicionesSuelo(e.NivelSuelo);
        e.TextoRiesgoGeotecnico = NombreRiesgoGeotecnico(e.NivelSuelo);
        et.lblES = e.TextoSuelo;
        et.lblRiesgoGeotec = e.TextoRiesgoGeotecnico;
    } else {
        e.ValorCategoria[3] = 0.0;
        e.IndiceSuelo = 0.0;
        e.TextoSuelo = e.TextoRiesgoGeotecnico = NoAplica();
        et.lblES = QStringLiteral("-");
        et.lblIndiceSuelo = QStringLiteral("-1");
        et.lblRiesgoGeotec = NoAplica();
    }
    et.inactivoES = et.inactivoIndiceSuelo = !suelo;
    et.habilitadoES = et.habilitadoIndiceSuelo = suelo;

    // Pre-existing conditions.
    if (preexistente) {
        if (e.NivelPreexistente == 0) {
            e.ValorCategoria[2] = ValorDifuso(e.PropPreexistente);
            e.NivelPreexistente = NivelMasCercanoDe(e.ValorCategoria[2]);
            FijarIndice(e.ValorCategoria[2], e.IndicePreexistente, et.lblIndicePreexistente);
        } else {
            FijarIndice(IndiceFijo(e.NivelPreexistente, true), e.IndicePreexistente, et.lblIndicePreexistente);
        }
        e.TextoPreexistente = NombreCondicionesPreexistentes(e.NivelPreexistente);
        et.lblCP = e.TextoPreexistente;
    } else {
        e.ValorCategoria[2] = 0.0;
        e.IndicePreexistente = 0.0;
        e.TextoPreexistente = NoAplica();
        et.lblCP = QStringLiteral("-");
        et.lblIndicePreexistente = QStringLiteral("-1");
    }
    et.inactivoCP = et.inactivoIndicePreexistente = !preexistente;
    et.habilitadoCP = et.habilitadoIndicePreexistente = preexistente;

    // Combination; the levels of categories not relevant are 0 by now.
    e.NivelDannoEdificio = ReglaDannoEdificio(e.NivelDannoEstructural, e.NivelDannoNoEstructural);
    e.NivelEstadoGlobal = suelo ? ReglaEstadoGlobal(e.NivelDannoEdificio, e.NivelSuelo) : e.NivelDannoEdificio;
    e.NivelHabitabilidad = ReglaHabitabilidad(e.NivelDannoEdificio, e.NivelSuelo);
    e.NivelReparabilidad = ReglaReparabilidad(e.NivelEstadoGlobal, e.NivelPreexistente);

    e.TextoDannoEdificio = NombreNivelDanno(e.NivelDannoEdificio);
    e.TextoEstadoGlobal = NombreEstadoGlobal(e.NivelEstadoGlobal);
    e.TextoHabitabilidad = NombreHabitabilidad(e.NivelHabitabilidad);
    e.TextoReparabilidad = NombreReparabilidad(e.NivelReparabilidad);
    et.lblDaEdificio = e.TextoDannoEdificio;
    et.lblFinal = e.TextoEstadoGlobal;
    et.lblLingHabitability = e.TextoHabitabilidad;
    et.lblLingReparability = e.TextoReparabilidad;

    ComentariosResultados(e, indiceAnno, comentarios, et);
}
