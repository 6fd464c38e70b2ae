#pragma once
// Weights, memberships and the per-category evaluations, with the messages of
// the four category buttons of the evaluation form.

#include "core/evaluation/evaluation_state.h"

#include <QString>
#include <QStringList>
#include <array>

// The weight tables of the reference database ORV.sqlite, read by position.
struct TablasPesos {
    std::array<std::array<double, 14>, 15> sistema{};  // row = TipoEstructura 0..14, fields 1..14
    std::array<double, 3> noEst{};
    std::array<double, 2> suelo{};
    std::array<double, 4> preex{};
};

// Reads "PesosSistema" (rows 0..14), "PesosNoest", "PesosSuelo" and
// "PesosPreex". Throws ErrorDatos naming the file and table on any failure.
TablasPesos LeerTablasPesos(const QString &archivoReferencia);

void CargarPesosSistema(EstadoEvaluacion &estado, const TablasPesos &pesos);
void CargarPesosNoEst(EstadoEvaluacion &estado, const TablasPesos &pesos);
void CargarPesosSuelo(EstadoEvaluacion &estado, const TablasPesos &pesos);
void CargarPesosPreex(EstadoEvaluacion &estado, const TablasPesos &pesos);

void CalcularProporciones(EstadoEvaluacion &estado);
void ProporcionesEstructurales(EstadoEvaluacion &estado);
void ProporcionesNoEstructurales(EstadoEvaluacion &estado);
void ProporcionesPreexistentes(EstadoEvaluacion &estado);
void ProporcionesSuelo(EstadoEvaluacion &estado);

// Recomputes NivelOtroGrave: the level of each other element above Moderado,
// else 0 (also 0 for an element without a record).
void CopiarOtrosGraves(EstadoEvaluacion &estado);

// Level names and risk texts of a category from its level.
void TextosEstructurales(EstadoEvaluacion &estado);
void TextosNoEstructurales(EstadoEvaluacion &estado);
void TextosSuelo(EstadoEvaluacion &estado);
// True when an other non-structural element (NivelOtroGrave) is graver than
// the non-structural level.
bool OtrosMasGravesQueNoEstructural(const EstadoEvaluacion &estado);

// The category evaluations; each returns the messages to show, in order.
QStringList EvaluarEstructural(EstadoEvaluacion &estado);
QStringList EvaluarNoEstructural(EstadoEvaluacion &estado);
QStringList EvaluarPreexistente(EstadoEvaluacion &estado);
QStringList EvaluarSuelo(EstadoEvaluacion &estado);

// What the four category buttons do, messages included (line breaks as "\r").
QStringList BotonEvaluarEstructural(EstadoEvaluacion &estado, const TablasPesos &pesos);
QStringList BotonEvaluarNoEstructural(EstadoEvaluacion &estado, const TablasPesos &pesos);
QStringList BotonEvaluarPreexistente(EstadoEvaluacion &estado, const TablasPesos &pesos);
QStringList BotonEvaluarSuelo(EstadoEvaluacion &estado, const TablasPesos &pesos);
