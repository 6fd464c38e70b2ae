#include "core/evaluation/rating_captions.h"

#include "core/evaluation/evaluation_state.h"

namespace {
const QStringList &OpcionesDanno()
{
    static const QStringList opciones = {QStringLiteral("Ninguno"), QStringLiteral("Leve"),
                                         QStringLiteral("Moderado"), QStringLiteral("Fuerte"),
                                         QStringLiteral("Severo")};
    return opciones;
}
}  // namespace

QString MarcoCualitativo(int codigo)
{
    if (codigo == 17 || codigo == 18)
        return QStringLiteral("Nivel de Afectación");
    if (codigo >= 19 && codigo <= 22)
        return QStringLiteral("Calificación");
    return QStringLiteral("Calificación del Daño");
}

QStringList OpcionesCualitativas(int codigo)
{
    switch (codigo) {
    case 18:
        return {QStringLiteral("Ninguno"), QStringLiteral("Leve"), QStringLiteral("Moderado"), QStringLiteral("Grave"),
                QStringLiteral("Severo")};
    case 19: case 22:
        return {QStringLiteral("Muy Buena"), QStringLiteral("Buena"), QStringLiteral("Regular"), QStringLiteral("Mala"),
                QStringLiteral("Muy Mala")};
    case 20: case 21:
        return {QStringLiteral("Mínima"), QStringLiteral("Poca"), QStringLiteral("Considerable"), QStringLiteral("Alta"),
                QStringLiteral("Muy Alta")};
    default:
        return OpcionesDanno();
    }
}

QStringList OpcionesDeCasillaCualitativa(int casilla)
{
    for (int codigo = 0; codigo < NumVariables; ++codigo)
        if (SlotCualitativoVariable(codigo) == casilla)
            return OpcionesCualitativas(codigo);
    for (int otro = 0; otro < NumOtros; ++otro)
        if (SlotCualitativoOtro(otro) == casilla)
            return OpcionesDanno();
    return {};
}

QString TextoNivelCualitativo(int casilla, int nivel)
{
    return OpcionesDeCasillaCualitativa(casilla).value(nivel);
}
