#pragma once
// The batch evaluator behind orv-evaluar: one evaluation per line of JSON,
// one line of JSON per evaluation, with the weights and comments read once.

#include "engine/category_evaluators.h"
#include "results/result_classification.h"

#include <QByteArray>

class QIODevice;

struct DatosLotes {
    TablasPesos pesos;
    TablasComentarios comentarios;
};

// Reads ORV.sqlite and Comentarios.sqlite of the folder. Throws ErrorDatos.
DatosLotes LeerDatosLotes(const QString &carpeta);

// Evaluates one input line (without its line end) and writes the output
// object, as compact JSON without line end, into `salida`. Returns true when
// the line was evaluated, false when it was rejected with an "error" object.
bool ProcesarLinea(const QByteArray &linea, const DatosLotes &datos, QByteArray &salida);

// Every line of `entrada` to one line of `salida`, in order. Returns 0 when
// every line was evaluated, 1 when any was rejected.
int ProcesarLotes(QIODevice &entrada, QIODevice &salida, const DatosLotes &datos);
