#pragma once
// Saved evaluations for the printed documents: the same building with each
// habitability and its comment codes, as the registry gives them back.

#include "core/registry/evaluation_record.h"

#include <QString>
#include <QVariant>

namespace EjemploDocumentos {

inline const QString Habitabilidades[4] = {QStringLiteral("Habitable"), QStringLiteral("Uso Restringido"),
                                           QStringLiteral("No Habitable"), QStringLiteral("Peligro de Colapso")};

// A reinforced-concrete frame building evaluated on 6 December 2026 at
// 14:56; `clase` 0..3 picks the habitability and the codes of its comments.
inline RegistroEvaluacion Registro(int numero, int clase = 2)
{
    using namespace RegistroEvaluaciones;
    RegistroEvaluacion r;
    auto t = [&r](int p, const char *s) { r.establecerCampo(p, QString::fromUtf8(s)); };
    auto n = [&r](int p, qint64 v) { r.establecerCampo(p, v); };
    n(Pos::Numero, numero);
    t(Pos::Comuna, "05-12");
    t(Pos::Barrio, "San Martín");
    t(Pos::TipoAvaluo, "U");
    t(Pos::Sector, "003");
    t(Pos::Manzana, "0045");
    t(Pos::Predio, "0001");
    t(Pos::MejoraPH, "000");
    t(Pos::TipoDireccion, "Calle");
    t(Pos::NumeroCalle, "45B");
    t(Pos::Avenida, "--");
    t(Pos::OtraVia, "--");
    t(Pos::NumeroCasa, "12-30");
    t(Pos::NombreEdificacion, "Edificio Álamo");
    t(Pos::PersonaContacto, "Marta Gómez");
    t(Pos::Telefono, "555 0101");
    t(Pos::Evaluador, "Ing. Laura Pérez");
    t(Pos::CodigoComision, "C-17");
    t(Pos::Fecha, "2026-12-06T14:56:40");
    t(Pos::UsoEdificacion, "Residencial");
    t(Pos::UsoPlantaBaja, "Comercial");
    t(Pos::Inspeccion, "Parcial");
    t(Pos::EstabilidadEvaluador, "Bajo, después de adecuaciones");
    t(Pos::AnnoConstruccion, "1950 a 1982");
    t(Pos::Localizacion, "Libre por un costado");
    n(Pos::NumeroPisos, 4);
    n(Pos::NumeroSotanos, 1);
    n(Pos::PisosTotal, 5);
    n(Pos::PisoMayorDanno, 2);
    t(Pos::SistemaEstructural, "Pórticos en concreto reforzado");
    t(Pos::TipoCubierta, "Teja de barro");
    t(Pos::TipoEntrepiso, "Placa aligerada");
    n(Pos::CasoRelevancia, 0);
    const int proporciones[25] = {10, 20, 30, 25, 15, 0, 5, 15, 30, 50, 100, 0, 0, 0, 0,
                                  0,  0,  0,  0,  0, 35, 35, 20, 5, 5};
    for (int i = 0; i < 25; ++i)
        n(Pos::PrimeraProporcion + i, proporciones[i]);
    const int cualitativos[13] = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1};
    for (int i = 0; i < 13; ++i)
        n(Pos::PrimerCualitativo + i, cualitativos[i]);
    t(Pos::RiesgoEstructural, "Alto");
    t(Pos::DannoEstructural, "Fuerte");
    r.establecerCampo(Pos::IndiceEstructural, 0.6123);
    t(Pos::RiesgoNoEstructural, "Bajo, después de medidas");
    t(Pos::DannoNoEstructural, "Moderado");
    r.establecerCampo(Pos::IndiceNoEstructural, 0.4512);
    t(Pos::RiesgoGeotecnico, "Bajo");
    t(Pos::CondicionesSuelo, "Buenas");
    r.establecerCampo(Pos::IndiceSuelo, 0.17);
    t(Pos::CondicionesPreexistentes, "Regulares");
    r.establecerCampo(Pos::IndicePreexistente, 0.0582);
    t(Pos::DannoEdificio, "Fuerte");
    t(Pos::EstadoGlobal, "Grave");
    r.establecerCampo(Pos::Habitabilidad, Habitabilidades[clase]);
    t(Pos::Reparabilidad, "Refuerzo");
    const char *const habitabilidad[4] = {"H 00", "H 20", "H 30", "H 40"};
    const char *const medidas[4] = {"MS 000", "MS 002", "MS 003", "MSOA 112"};
    t(Pos::CodigoDannoEdificio, "DE 32");
    t(Pos::CodigoEstadoGlobal, "EE 32");
    t(Pos::CodigoHabitabilidad, habitabilidad[clase]);
    t(Pos::CodigoMedidasSeguridad, medidas[clase]);
    t(Pos::CodigoReparabilidad, "R 32");
    r.establecerCampo(Pos::Latitud, -12.374112);
    r.establecerCampo(Pos::Longitud, -97.452631);
    return r;
}

}  // namespace EjemploDocumentos
