#pragma once
// Corrections of saved evaluations: what identifies an evaluation (its
// plot, address, names, uses and position) may be corrected afterwards,
// each change recorded with the value before and after, a reason, who made
// it and when, and never deleted. Everything the evaluator judged (the
// date, the building, the ratings and the results) needs a new evaluation.

#include "core/registry/evaluation_record.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

class LectorRegistroSql;

struct Correccion {
    int32_t numero = 0;
    QString columna;   // the corrected field's column (RegistroEvaluaciones::Campos)
    QString anterior;  // the values as text; empty for none
    QString nuevo;
    QString motivo;
    QString usuario;   // the login on a server, the machine's user in a local file
    QDateTime fecha;   // UTC
};

namespace Correcciones {

// Whether the field at `posicion` may be corrected: the cadastral parts
// and the barrio, the address parts, the building's name, contact and
// telephone, the evaluator and the commission code, the two uses and the
// coordinates.
bool Corregible(int posicion);
// Whether a correction of that field changes the building key.
bool CambiaClave(int posicion);

// A correction checked before any registry is touched.
struct Pedida {
    int posicion = -1;
    QVariant valor;  // as the field stores it: a number for the coordinates
    QString texto;   // the value as the correction records it
    QString motivo;
};
// Checks the column, the value and the reason; throws ErrorDatos with the
// Spanish message the evaluator reads (a field that cannot be corrected
// says that a new evaluation is needed).
Pedida Revisar(const QString &columna, const QString &valor, const QString &motivo);
// The value of a stored field as a correction records it.
QString Texto(const QVariant &valor);
// Refuses (ErrorDatos) a correction that would leave the field as it is.
void RevisarCambio(const Pedida &pedida, const RegistroEvaluacion &actual, int32_t numero);

// Who corrects on this machine: its user, as evaluations are sealed.
QString UsuarioDelEquipo();

// The corrections of evaluation `numero` from the table `tablaSql` on the
// connection of `lector`, oldest first (`desempate` orders those of the
// same moment).
QVector<Correccion> Leer(const LectorRegistroSql &lector, const QString &tablaSql, const QString &desempate,
                         int32_t numero);

// Sets `corregida` of each stored record to the time of its latest
// correction in `tablaSql` (invalid when none), with one statement per 500
// records.
void Marcar(const LectorRegistroSql &lector, const QString &tablaSql, QVector<RegistroEvaluacion> &registros);

}  // namespace Correcciones
