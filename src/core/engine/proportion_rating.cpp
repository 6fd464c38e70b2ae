#include "core/engine/proportion_rating.h"

#include "core/engine/fuzzy_scale.h"

#include <cmath>

namespace {
// Critical elements: when the shares in Fuerte and Severo together reach the
// threshold (in tenths: 3 is 0.3), the element's level is fixed without the
// fuzzy scale.
int UmbralCriticoDecimos(int codigo)
{
    switch (codigo) {
    case Columnas: case Nudos: case Muros: case MurosConfinados: case MurosSinConfinar:
    case MurosBahareque: case ConexionesAcero: case ConexionesMadera:
        return 3;
    case ColumnasAcero: case ColumnasMadera:
        return 4;
    default:
        return 0;
    }
}

const char *const FraseNivel[5] = {"DAÑO MUY LEVE  (", "DAÑO LEVE  (", "DAÑO MODERADO  (", "DAÑO FUERTE  (",
                                   "DAÑO SEVERO  ("};

const char *const ColaAdvertencia =
    " Aunque los demás elementos no presenten daños importantes la estabilidad de la edificación está en peligro.";
}  // namespace

int GrupoProporcion(int codigo)
{
    switch (codigo) {
    case Vigas: case VigasAcero: case VigasMadera: return 0;
    case Columnas: case ColumnasAcero: case ColumnasMadera: return 1;
    case Nudos: case ConexionesAcero: case ConexionesMadera: return 2;
    case Muros: case MurosConfinados: case MurosSinConfinar: case MurosBahareque: return 3;
    case Entrepiso: return 4;
    default: return -1;
    }
}

CalificacionProporcion DerivarNivelProporcion(int codigo, const std::array<int, 5> &barras)
{
    CalificacionProporcion c;
    int16_t suma = 0;
    for (int k = 0; k < 5; ++k) {
        c.proporciones[k] = barras[k];
        suma = static_cast<int16_t>(suma + barras[k]);
    }
    if (suma != 0)
        for (double &p : c.proporciones)
            p /= suma;

    c.grupo = GrupoProporcion(codigo);
    // Share x 100 to the nearest whole percentage, halves to even, computed
    // exactly on the bar values.
    for (int k = 0; k < 5; ++k) {
        if (suma == 0)
            continue;
        const int q = 100 * barras[k];
        int n = q / suma;
        const int resto = q % suma;
        if (2 * resto > suma || (2 * resto == suma && n % 2 == 1))
            ++n;
        c.porcentajes[k] = static_cast<int16_t>(n);
    }

    // The shares are whole bar values over their sum, so the comparisons are
    // made exactly on the bar values: p3 + p4 >= t/10 is 10 (b3 + b4) >= t s,
    // and p4 >= p3 + 0.1 is 10 b4 >= 10 b3 + s. In floating point a share lying
    // exactly on a threshold (0.2 + 0.1 against 0.3) could fall on either side.
    const int b3 = barras[3], b4 = barras[4];
    const int umbral = UmbralCriticoDecimos(codigo);
    if (umbral > 0 && suma != 0 && 10 * (b3 + b4) >= umbral * suma) {
        c.elementoCritico = true;
        if (10 * b4 >= 10 * b3 + suma) {
            c.nivel = 4;
            c.valor = 0.76;
        } else {
            c.nivel = 3;
            c.valor = 0.55;
        }
    } else {
        c.valor = ValorDifuso(c.proporciones);
        c.nivel = NivelMasCercanoDe(c.valor);
    }
    return c;
}

void AplicarCalificacionProporcion(EstadoEvaluacion &estado, const CalificacionProporcion &c)
{
    if (c.grupo >= 0)
        for (int k = 0; k < 5; ++k)
            estado.NivelesProporcion[5 * c.grupo + k] = c.porcentajes[k];
    estado.NivelCalculado = c.nivel;
    estado.Variables.at(estado.IndiceVariable).Nivel = c.nivel;
}

QString TextoValor(double valor)
{
    return IndiceImpreso(valor);
}

QString MensajeCalificacion(int16_t nivel, double valor)
{
    if (nivel < 0 || nivel > 4)
        return QString();
    return QStringLiteral("La variable tiene una calificación de") + QLatin1Char('\n')
           + QString::fromUtf8(FraseNivel[nivel]) + TextoValor(valor) + QLatin1Char(')');
}

QString AdvertenciaEstabilidad(int codigo, int16_t nivel)
{
    const QString cola = QString::fromUtf8(ColaAdvertencia);
    if (nivel == 3) {
        switch (codigo) {
        case Nudos:
            // This one has two blanks before "Aunque".
            return QStringLiteral("Ud. ha calificado los nudos en concreto con DAÑO FUERTE. ") + cola;
        case Muros: return QStringLiteral("Ud. ha calificado los muros en concreto con DAÑO FUERTE.") + cola;
        case MurosConfinados:
            return QStringLiteral("Ud. ha calificado los muros de carga en mamposteria confinada o reforzada con DAÑO FUERTE.") + cola;
        case MurosSinConfinar:
            return QStringLiteral("Ud. ha calificado los muros de carga en mamposteria no confinada con DAÑO FUERTE.") + cola;
        case MurosBahareque: return QStringLiteral("Ud. ha calificado los muros de soporte en bahareque con DAÑO FUERTE.") + cola;
        case ConexionesAcero: return QStringLiteral("Ud. ha calificado las conexiones en acero con DAÑO FUERTE.") + cola;
        case ConexionesMadera: return QStringLiteral("Ud. ha calificado las uniones en madera con DAÑO FUERTE.") + cola;
        default: return QString();
        }
    }
    if (nivel == 4) {
        switch (codigo) {
        case Columnas: return QStringLiteral("Ud. ha calificado las columnas en concreto con DAÑO SEVERO.") + cola;
        case Nudos: return QStringLiteral("Ud. ha calificado los nudos en concreto con DAÑO SEVERO.") + cola;
        case Muros: return QStringLiteral("Ud. ha calificado los muros en concreto con DAÑO SEVERO.") + cola;
        case MurosConfinados:
            return QStringLiteral("Ud. ha calificado los muros de carga en mamposteria confinada o referzada con DAÑO SEVERO.") + cola;
        case MurosSinConfinar:
            return QStringLiteral("Ud. ha calificado los muros de carga en mamposteria no confinada con DAÑO SEVERO.") + cola;
        case MurosBahareque: return QStringLiteral("Ud. ha calificado los muros de soporte en bahareque con DAÑO SEVERO.") + cola;
        case ColumnasAcero: return QStringLiteral("Ud. ha calificado las columnas en acero con DAÑO SEVERO.") + cola;
        case ConexionesAcero: return QStringLiteral("Ud. ha calificado las conexiones en acero con DAÑO SEVERO.") + cola;
        case ColumnasMadera: return QStringLiteral("Ud. ha calificado las columnas en madera con DAÑO SEVERO.") + cola;
        case ConexionesMadera:
            return QStringLiteral("Ud. ha calificado las uniones en madera con DAÑO SEVERO. Aunque los demás elementos no presenten daños importantes")
                   + QLatin1Char('\r') + QStringLiteral(" LA ESTABILIDAD DEL EDIFICIO ESTÁ EN PELIGRO.");
        default: return QString();
        }
    }
    return QString();
}
