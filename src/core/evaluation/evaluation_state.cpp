#include "core/evaluation/evaluation_state.h"

void EstadoEvaluacion::InicializarVariables()
{
    for (auto &v : Variables)
        v = VariableCalificada{};
    for (auto &o : OtrosNoEstructurales)
        o = OtroCalificado{};
}

void EstadoEvaluacion::ReiniciarPrimeraParte()
{
    InicializarVariables();

    FaltanCalificaciones = 0;
    CalificarVariable = 1;
    UltimaVariable = -1;

    SatColumnas = SatNudos = SatMuros = SatMurosPortantes = SatMurosBahareque = 0;
    SatColumnasAcero = SatConexionesAcero = SatColumnasMadera = SatConexionesMadera = 0;

    OtrosElegidos = 0;
    NivelesProporcion.fill(0);
    // All thirteen entries, the other elements' included: a saved record must
    // never carry the ratings of the previous building.
    NivelesCualitativos.fill(0);
    IndiceEstructural = IndiceNoEstructural = IndiceSuelo = IndicePreexistente = 0.0;

    UltimoOtro = -1;
    NivelSaturacion = 0;
    OtrosMasGraves = 0;
}

void EstadoEvaluacion::ReiniciarSegundaParte()
{
    VariableActual = -1;
    OtroActual = -1;
}

int SlotCualitativoVariable(int codigo)
{
    if (codigo >= 14 && codigo <= 16)
        return codigo - 14;
    if (codigo >= 17 && codigo <= 22)
        return codigo - 10;
    return -1;
}

int SlotCualitativoOtro(int codigo)
{
    return (codigo >= 0 && codigo <= 3) ? 3 + codigo : -1;
}
