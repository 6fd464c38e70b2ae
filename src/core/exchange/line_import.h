#pragma once
// Importing evaluations typed elsewhere: one JSON object per line, each
// checked, evaluated and saved as "Evaluar" and then "Guardar" do, with the
// questions answered as an evaluator who goes on would. No widgets.

#include "core/exchange/batch_evaluator.h"
#include "core/registry/evaluation_record.h"
#include "core/registry/registry_store.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

// One line made ready to save: its record (without a number) or the
// Spanish messages of its refusal, in the order the forms show them.
struct LineaImportada {
    std::optional<RegistroEvaluacion> registro;
    QStringList errores;
};

// How the photos of a line ("fotos": [{"archivo": "fotos/123-fachada.jpg",
// "leyenda": "Fachada"}, ...]) are read: `carpeta` is where relative paths
// start (the folder of the file being imported), `preparar` prepares one
// file as the forms do (photos/photo_preparation.h, given by the program)
// or throws ErrorDatos with the Spanish message that names it. Without a
// `preparar`, a line with photos is refused.
struct FotosDeLineas {
    QString carpeta;
    std::function<FotoEvaluacion(const QString &archivo)> preparar;
};

// `ahora` is the evaluation's date when the line gives none. A photo of the
// line gets a uuid made from the record's uuid and its place in the list:
// the same line imported again stores its photos once.
LineaImportada PrepararLinea(const QByteArray &linea, const DatosLotes &datos, const QDateTime &ahora,
                             const FotosDeLineas *fotos = nullptr);

namespace TextosImportacion {
// The answer's "aviso" for a line saved in the outbox, waiting for the central registry.
extern const QString Pendiente;
}

struct ResultadoImportacion {
    qint64 guardadas = 0;
    qint64 pendientes = 0;  // saved in the outbox, without a number yet
    qint64 rechazadas = 0;
};

// Saves a batch: each record gets its number, or keeps 0 when it waits in
// this machine's outbox. Throws ErrorDatos when nothing could be saved.
using GuardarLote = std::function<void(QVector<RegistroEvaluacion> &lote)>;

// Every line of `entrada` (blank lines are skipped without an answer, but
// counted; a top-level "uuid" may name the record) into
// `registro`, committed `porLote` records at a time; one JSON line per input
// line to `salida`, {"linea":N,"numero":M} or {"linea":N,"errores":[...]},
// in input order, each written only once what it tells is committed.
// Throws ErrorDatos when the registry refuses a batch: the lines of that
// batch have then been answered with the registry's message, and nothing
// after them.
ResultadoImportacion ImportarLineas(QIODevice &entrada, QIODevice &salida, AlmacenRegistro &registro,
                                    const DatosLotes &datos, int porLote = 500);
// The same through `guardar` (the central registry's outbox): a line whose
// record waits there is answered {"linea":N,"pendiente":true,"aviso":"guardada
// en este equipo, pendiente de envío"}. A line's record has the line's
// "uuid", or one made from the line's bytes: a line imported again is the
// same record, which the central registry stores once.
// A batch is also committed once its photos pass 64 MB.
ResultadoImportacion ImportarLineas(QIODevice &entrada, QIODevice &salida, const GuardarLote &guardar,
                                    const DatosLotes &datos, int porLote = 500, const FotosDeLineas *fotos = nullptr);
