#pragma once
// The batch evaluator behind orv-evaluar: one evaluation per line of JSON,
// one line of JSON per evaluation, with the weights and comments read once.

#include "core/engine/category_evaluators.h"
#include "core/engine/result_classification.h"

#include <QByteArray>
#include <QJsonObject>
#include <QLatin1String>
#include <QList>
#include <unordered_map>

class QIODevice;

// A comment text written as a JSON string (quotes included); `largo` is the
// length of the text it was made from.
struct TextoJson {
    qsizetype largo = 0;
    QByteArray json;
};

struct DatosLotes {
    TablasPesos pesos;
    TablasComentarios comentarios;
    // Every comment text already written as a JSON string, keyed by the
    // address of the text's characters: a comment label shares them with its
    // table, so the output copies bytes instead of escaping the long texts
    // again on every line. Built by PrepararTextosJson; when it is empty (or
    // a label is not a table text) the text is escaped on the spot.
    std::unordered_map<const QChar *, TextoJson> textosJson;
};

// Reads ORV.sqlite and Comentarios.sqlite of the folder and prepares the
// JSON texts. Throws ErrorDatos.
DatosLotes LeerDatosLotes(const QString &carpeta);
// (Re)builds textosJson from the comment tables; call it again after
// changing the tables.
void PrepararTextosJson(DatosLotes &datos);

// Evaluates one input line (without its line end) and writes the output
// object, as compact JSON without line end, into `salida`. Returns true when
// the line was evaluated, false when it was rejected with an "error" object.
bool ProcesarLinea(const QByteArray &linea, const DatosLotes &datos, QByteArray &salida);

// Reads the evaluation of one line's object ("id", "sistema", "relevancia",
// "anno", "variables", "otros") into `estado`, reset first, as the evaluation
// form leaves it before "Evaluar": ratings in their slots, the categories
// declared not relevant completed. `anno` receives the construction period's
// option. Keys outside these and `otrasClaves` are refused. Returns the
// Spanish message of a refusal, or an empty text.
QString LeerEvaluacionJson(const QJsonObject &linea, EstadoEvaluacion &estado, int &anno,
                           const QList<QLatin1String> &otrasClaves = {});

// Every line of `entrada` to one line of `salida`, in order. Returns 0 when
// every line was evaluated, 1 when any was rejected.
int ProcesarLotes(QIODevice &entrada, QIODevice &salida, const DatosLotes &datos);

// A string as a JSON string literal in UTF-8, quotes included, appended to `destino`.
void AgregarTextoJson(QByteArray &destino, QStringView texto);
