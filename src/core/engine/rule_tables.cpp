#include "core/engine/rule_tables.h"

#include <algorithm>

// Rows: first argument, columns: second argument.
const TablaCombinacion TablaDannoEdificio = {{
    {0, 1, 1, 2, 2},
    {1, 1, 2, 2, 2},
    {2, 2, 2, 3, 3},
    {3, 3, 4, 4, 4},
    {4, 4, 4, 4, 4},
}};

const TablaCombinacion TablaEstadoGlobal = {{
    {0, 1, 2, 3, 4},
    {1, 1, 2, 3, 4},
    {2, 2, 3, 4, 4},
    {3, 3, 4, 4, 4},
    {4, 4, 4, 4, 4},
}};

const TablaCombinacion TablaHabitabilidad = {{
    {0, 0, 1, 2, 2},
    {0, 0, 1, 2, 2},
    {1, 1, 1, 2, 2},
    {2, 2, 2, 2, 2},
    {2, 2, 2, 2, 2},
}};

const TablaCombinacion TablaReparabilidad = {{
    {0, 0, 0, 2, 2},
    {0, 0, 1, 2, 2},
    {1, 1, 2, 2, 2},
    {2, 2, 2, 3, 3},
    {3, 3, 3, 3, 3},
}};

namespace {

int16_t Combinar(const TablaCombinacion &tabla, int16_t fila, int16_t columna)
{
    if (fila < 0 || fila > 4 || columna < 0 || columna > 4)
        return 0;
    return tabla[fila][columna];
}

// Saturation flag value of a rating: 1 Fuerte, 2 Severo, -1 leaves the flag alone.
int16_t MarcaSaturacion(int16_t nivel)
{
    return nivel == 4 ? 2 : (nivel == 3 ? 1 : -1);
}

// 4 when any flag is 2 (Severo), 3 when any is 1 (Fuerte), else 0.
int16_t MasAlto(std::initializer_list<int16_t> marcas)
{
    const int16_t mayor = std::max(marcas);
    return mayor == 2 ? 4 : (mayor == 1 ? 3 : 0);
}

}  // namespace

int16_t ReglaSaturacionEstructural(EstadoEvaluacion &e)
{
    e.SatColumnas = e.SatNudos = e.SatMuros = e.SatMurosPortantes = e.SatMurosBahareque = 0;
    e.SatColumnasAcero = e.SatConexionesAcero = e.SatColumnasMadera = e.SatConexionesMadera = 0;

    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        const VariableCalificada &v = e.Variables[i];
        const int16_t marca = MarcaSaturacion(v.Nivel);
        if (marca < 0)
            continue;
        switch (v.Codigo) {
        case Columnas: e.SatColumnas = marca; break;
        case Nudos: e.SatNudos = marca; break;
        case Muros: e.SatMuros = marca; break;
        // Confined and unconfined bearing walls share one flag: the later slot wins.
        case MurosConfinados: case MurosSinConfinar: e.SatMurosPortantes = marca; break;
        case MurosBahareque: e.SatMurosBahareque = marca; break;
        case ColumnasAcero: e.SatColumnasAcero = marca; break;
        case ConexionesAcero: e.SatConexionesAcero = marca; break;
        case ColumnasMadera: e.SatColumnasMadera = marca; break;
        case ConexionesMadera: e.SatConexionesMadera = marca; break;
        default: break;
        }
    }

    switch (e.TipoEstructura) {
    case 0: case 9:
        return MasAlto({e.SatColumnas, e.SatNudos});
    case 5: case 8:
        return MasAlto({e.SatColumnas, e.SatNudos, e.SatMuros});
    case 1: case 2: case 3:
        return MasAlto({e.SatMurosPortantes});
    case 4: case 12: case 14:
        // Earth and bahareque walls saturate only when rated Severo.
        return e.SatMurosBahareque == 2 ? 4 : 0;
    case 6: case 10: case 13:
        return MasAlto({e.SatColumnasAcero, e.SatConexionesAcero});
    case 7: case 11:
        return MasAlto({e.SatColumnasMadera, e.SatConexionesMadera});
    default:
        return 0;
    }
}

int16_t ReglaSaturacionSuelo(const EstadoEvaluacion &e)
{
    int16_t taludes = 0, asentamiento = 0;
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        const VariableCalificada &v = e.Variables[i];
        if (v.Nivel != 3 && v.Nivel != 4)
            continue;
        if (v.Codigo == Taludes)
            taludes = v.Nivel;
        else if (v.Codigo == AsentamientoLicuacion)
            asentamiento = v.Nivel;
    }
    return std::max(taludes, asentamiento);
}

int16_t ReglaSaturacionPreexistente(const EstadoEvaluacion &e)
{
    int16_t nivel[4] = {0, 0, 0, 0};  // codes 19..22
    const int n = RegistrosCalificados(e);
    for (int i = 0; i < n; ++i) {
        const VariableCalificada &v = e.Variables[i];
        if (v.Codigo >= CalidadMateriales && v.Codigo <= ConfiguracionEstructural)
            nivel[v.Codigo - CalidadMateriales] = v.Nivel;
    }
    const int16_t mayor = *std::max_element(nivel, nivel + 4);
    if (mayor <= 1)
        return 0;
    // Only a condition that stands alone above the others decides.
    if (std::count(nivel, nivel + 4, mayor) != 1)
        return 0;
    return mayor;
}

int16_t ReglaDannoEdificio(int16_t estructural, int16_t noEstructural)
{
    return Combinar(TablaDannoEdificio, estructural, noEstructural);
}

int16_t ReglaEstadoGlobal(int16_t edificio, int16_t suelo)
{
    return Combinar(TablaEstadoGlobal, edificio, suelo);
}

int16_t ReglaHabitabilidad(int16_t edificio, int16_t suelo)
{
    return Combinar(TablaHabitabilidad, edificio, suelo);
}

int16_t ReglaReparabilidad(int16_t global, int16_t preexistente)
{
    return Combinar(TablaReparabilidad, global, preexistente);
}
