#pragma once
// The fuzzy damage scale: memberships of the five levels to a damage value,
// a value to its nearest level, a level to its names, and the printed index.

#include "core/evaluation/evaluation_state.h"

#include <QString>

double PendienteRecta(double x1, double y1, double x2, double y2);
double InterceptoRecta(double x1, double y1, double x2, double y2);
double InterseccionX(double m1, double b1, double m2, double b2);
double InterseccionY(double m1, double b1, double m2, double b2);

// Centroid of the union of the five triangles whose heights are P(0..4).
double ValorDifuso(const Membresias &P);
// The level whose centre (0.07, 0.17, 0.33, 0.55, 0.76) lies nearest; a tie
// keeps the lower level.
int16_t NivelMasCercanoDe(double x);
// The same, stored in estado.NivelCalculado.
void NivelMasCercano(EstadoEvaluacion &estado, double x);

// Level names; a level outside the named range gives the empty string.
QString NombreNivelDanno(int nivel);
QString NombreEstadoGlobal(int nivel);
QString NombreCondicionesPreexistentes(int nivel);
QString NombreCondicionesSuelo(int nivel);
QString NombreHabitabilidad(int nivel);
QString NombreReparabilidad(int nivel);
QString NombreRiesgoEstructural(int nivel);
QString NombreRiesgoNoEstructural(int nivel);
QString NombreRiesgoGeotecnico(int nivel);

// Index in its printed form: the value rounded to four decimals (halves to
// even) as a fixed-point number of ten-thousandths.
qint64 IndiceDiezmilesimas(double valor);
// The same four-decimal number as a double: what the registry stores.
double IndiceCuatroDecimales(double valor);
// Shortest decimal text of the four-decimal number, with the decimal
// separator of the current locale (QLocale()): 0.05816 -> "0.0582", 0.55 -> "0.55".
QString IndiceImpreso(double valor);
// The same with a given decimal separator (for callers that print several
// indices with one locale).
QString IndiceImpreso(double valor, const QString &separador);
