#include "core/engine/evaluation_driver.h"

#include "core/engine/fuzzy_scale.h"
#include "core/engine/rule_tables.h"
#include "core/engine/result_classification.h"

#include <QLocale>

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

void FijarIndice(double valor, double &indice, QString &etiqueta, const QString &separador)
{
    indice = IndiceCuatroDecimales(valor);
    etiqueta = IndiceImpreso(valor, separador);
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
    // The element buttons each system shows, by system code.
    static const QList<int16_t> elementos[15] = {
        {Vigas, Columnas, Nudos},                    // 0 concrete frames
        {MurosConfinados},                           // 1 confined masonry
        {MurosConfinados},                           // 2 reinforced masonry
        {MurosSinConfinar},                          // 3 unreinforced masonry
        {MurosBahareque},                            // 4 cemented bahareque
        {Vigas, Columnas, Nudos, Muros},             // 5 frames with structural walls
        {VigasAcero, ColumnasAcero, ConexionesAcero},  // 6 braced steel frames
        {VigasMadera, ColumnasMadera, ConexionesMadera},  // 7 timber frames and panels
        {Vigas, Columnas, Nudos, Muros},             // 8 dual system
        {Vigas, Columnas, Nudos},                    // 9 precast concrete
        {VigasAcero, ColumnasAcero, ConexionesAcero},  // 10 unbraced steel frames
        {VigasMadera, ColumnasMadera, ConexionesMadera},  // 11 timber frames, other panels
        {MurosBahareque},                            // 12 rammed earth or adobe
        {VigasAcero, ColumnasAcero, ConexionesAcero},  // 13 steel lattice frames
        {MurosBahareque},                            // 14 uncemented bahareque
    };
    return sistema >= 0 && sistema < 15 ? elementos[sistema] : QList<int16_t>();
}

namespace {

// The codes an evaluation of the system needs, one bit per code.
quint32 CodigosNecesarios(int16_t sistema, int16_t caso)
{
    quint32 necesarios = 0;
    for (int16_t codigo : ElementosEstructuralesDelSistema(sistema))
        necesarios |= 1u << codigo;
    for (int16_t codigo : {Entrepiso, MurosDivisorios, MurosFachada, Escaleras})
        necesarios |= 1u << codigo;
    if (SueloRelevante(caso))
        necesarios |= (1u << Taludes) | (1u << AsentamientoLicuacion);
    if (PreexistenteRelevante(caso))
        for (int16_t codigo : {CalidadMateriales, IrregularidadPlanta, IrregularidadAltura, ConfiguracionEstructural})
            necesarios |= 1u << codigo;
    return necesarios;
}

// The codes rated by the evaluator, one bit per code.
quint32 CodigosCalificados(const EstadoEvaluacion &e)
{
    quint32 calificados = 0;
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i)
        if (e.Variables[i].Codigo >= 0 && e.Variables[i].Codigo < NumVariables)
            calificados |= 1u << e.Variables[i].Codigo;
    return calificados;
}

bool EnTablas(int16_t sistema, int16_t caso)
{
    return sistema >= 0 && sistema <= 14 && caso >= 0 && caso <= 3;
}

}  // namespace

QList<int16_t> CodigosFaltantes(const EstadoEvaluacion &e, int16_t sistema, int16_t caso)
{
    if (!EnTablas(sistema, caso))
        return {};
    const quint32 faltan = CodigosNecesarios(sistema, caso) & ~CodigosCalificados(e);
    QList<int16_t> codigos;
    for (int16_t codigo = 0; codigo < NumVariables; ++codigo)
        if (faltan & (1u << codigo))
            codigos << codigo;
    return codigos;
}

void VerificarCalificaciones(EstadoEvaluacion &e, int16_t sistema, int16_t caso)
{
    if (!EnTablas(sistema, caso))
        return;
    e.FaltanCalificaciones = (CodigosNecesarios(sistema, caso) & ~CodigosCalificados(e)) != 0 ? 1 : 0;
}

void EvaluarEdificacion(EstadoEvaluacion &e, const TablasPesos &pesos, const TablasComentarios &comentarios,
                        int indiceAnno, EtiquetasResultados &et)
{
    const int16_t caso = e.CasoRelevancia;
    const bool suelo = SueloRelevante(caso);
    const bool preexistente = PreexistenteRelevante(caso);
    const QString punto = QLocale().decimalPoint();

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
        FijarIndice(e.ValorCategoria[0], e.IndiceEstructural, et.lblIndiceEstructura, punto);
    }
    TextosEstructurales(e);
    if (const double fijo = IndiceFijo(e.NivelDannoEstructural, false); fijo >= 0.0)
        FijarIndice(fijo, e.IndiceEstructural, et.lblIndiceEstructura, punto);
    et.lblDE = e.TextoDannoEstructural;
    et.lblRiesgoEstructural = e.TextoRiesgoEstructural;

    // Non-structural: no fixed index. The other elements only choose the
    // comment set.
    e.OtrosMasGraves = 0;
    e.ValorCategoria[1] = ValorDifuso(e.PropNoEstructural);
    e.NivelDannoNoEstructural = NivelMasCercanoDe(e.ValorCategoria[1]);
    if (e.OtrosElegidos == 1) {
        CopiarOtrosGraves(e);
        if (OtrosMasGravesQueNoEstructural(e))
            e.OtrosMasGraves = 1;
    }
    TextosNoEstructurales(e);
    FijarIndice(e.ValorCategoria[1], e.IndiceNoEstructural, et.lblIndiceNoestructural, punto);
    et.lblDNE = e.TextoDannoNoEstructural;
    et.lblRiesgoNoEstruct = e.TextoRiesgoNoEstructural;

    // Soil.
    if (suelo) {
        if (e.NivelSuelo == 0) {
            e.ValorCategoria[3] = ValorDifuso(e.PropSuelo);
            e.NivelSuelo = NivelMasCercanoDe(e.ValorCategoria[3]);
            FijarIndice(e.ValorCategoria[3], e.IndiceSuelo, et.lblIndiceSuelo, punto);
        } else {
            FijarIndice(IndiceFijo(e.NivelSuelo, false), e.IndiceSuelo, et.lblIndiceSuelo, punto);
        }
        TextosSuelo(e);
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
            FijarIndice(e.ValorCategoria[2], e.IndicePreexistente, et.lblIndicePreexistente, punto);
        } else {
            FijarIndice(IndiceFijo(e.NivelPreexistente, true), e.IndicePreexistente, et.lblIndicePreexistente, punto);
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
