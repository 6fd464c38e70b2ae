#include "core/evaluation/building_options.h"

namespace OpcionesEdificacion {

const QStringList &Sistemas()
{
    static const QStringList lista = {
    QStringLiteral("Pórticos en concreto reforzado"), QStringLiteral("Pórticos con muros estructurales en concreto"),
    QStringLiteral("Sistema Dual"), QStringLiteral("Prefabricado en Concreto"), QStringLiteral("Mampostería confinada"),
    QStringLiteral("Mampostería reforzada"), QStringLiteral("Mampostería no reforzada"),
    QStringLiteral("Pórticos en acero arriostrados"), QStringLiteral("Pórticos en acero no arriostrados"),
    QStringLiteral("Pórticos de acero en celosía"), QStringLiteral("Pórticos y paneles en madera"),
    QStringLiteral("Pórticos en madera y paneles en otros materiales"), QStringLiteral("Muros en bahareque encementado"),
    QStringLiteral("Muros en bahareque no encementado"), QStringLiteral("Muros en tapia o adobe")};
    return lista;
}

const QStringList &SistemasPorCodigo()
{
    static const QStringList lista = {
    QStringLiteral("Pórticos en concreto reforzado"), QStringLiteral("Mampostería confinada"),
    QStringLiteral("Mampostería reforzada"), QStringLiteral("Mampostería no reforzada"),
    QStringLiteral("Muros en bahareque encementado"), QStringLiteral("Pórticos con muros estructurales en concreto"),
    QStringLiteral("Pórticos en acero arriostrados"), QStringLiteral("Pórticos y paneles en madera"),
    QStringLiteral("Sistema Dual"), QStringLiteral("Prefabricado en Concreto"),
    QStringLiteral("Pórticos en acero no arriostrados"), QStringLiteral("Pórticos en madera y paneles en otros materiales"),
    QStringLiteral("Muros en tapia o adobe"), QStringLiteral("Pórticos de acero en celosía"),
    QStringLiteral("Muros en bahareque no encementado")};
    return lista;
}

const QStringList &Entrepisos()
{
    static const QStringList lista = {
    QStringLiteral("Placa maciza"), QStringLiteral("Placa aligerada"), QStringLiteral("Reticular celulado"),
    QStringLiteral("Vigas en acero de alma llena con conectores"), QStringLiteral("Vigas en acero de alma llena sin conectores"),
    QStringLiteral("Cerchas en acero"), QStringLiteral("Vigas en madera"), QStringLiteral("Mixta"), QStringLiteral("Otros")};
    return lista;
}

const QStringList &Cubiertas()
{
    static const QStringList lista = {QStringLiteral("Placa en concreto"), QStringLiteral("Teja de barro"),
                               QStringLiteral("Asbesto-cemento"), QStringLiteral("Cubierta metálica"),
                               QStringLiteral("Cubierta plástica"), QStringLiteral("Otros")};
    return lista;
}

const QStringList &Localizacion()
{
    static const QStringList lista = {QStringLiteral("Esquina"), QStringLiteral("Intermedia"),
                                      QStringLiteral("Libre por un costado"), QStringLiteral("Libre por dos costados")};
    return lista;
}

const QStringList &Anno()
{
    static const QStringList lista = {QStringLiteral("Antes de 1950"), QStringLiteral("1950 a 1982"),
                                      QStringLiteral("1983 a 1997"), QStringLiteral("A partir de 1998")};
    return lista;
}

const QStringList &Inspeccion()
{
    static const QStringList lista = {QStringLiteral("Exterior solamente"), QStringLiteral("Parcial"),
                                      QStringLiteral("Completa interior y exterior")};
    return lista;
}

const QStringList &Estabilidad()
{
    static const QStringList lista = {QStringLiteral("Bajo"), QStringLiteral("Bajo, después de adecuaciones"),
                                      QStringLiteral("Alto"), QStringLiteral("Muy Alto")};
    return lista;
}

}  // namespace OpcionesEdificacion
