#pragma once
// Corrections on the central registry: the append-only table
// orv."Correcciones" and the function orv.corregir_evaluacion, the only way
// a login changes a stored evaluation. The function (SECURITY DEFINER,
// owned by orv_administrador) lets an evaluator correct the evaluations
// their own login stored, and a member of orv_supervisor any; it writes the
// new value, the building key the laptop computed for it, and the
// correction with the login (session_user) and the server's time.

#include "core/registry/corrections.h"
#include "core/registry/server_connection.h"

#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

namespace RegistroCentral {
// orv."Correcciones"
QString TablaCorreccionesSql();
}  // namespace RegistroCentral

// Part of "servidor preparar", inside its transaction and acting as
// orv_administrador: the table, its index, the function and the rights
// (orv_evaluador reads the corrections and runs the function, nothing
// else). Returns what was done, in Spanish lines. Throws ErrorServidor.
QStringList PrepararCorrecciones(QSqlQuery &q, const ConexionServidor &administrador);

class LectorRegistroSql;

// Corrects evaluation `numero` through the function, on the open
// connection of `lector`: reads the row (refusing a value it already
// has), computes the new building key when the field is part of it (the
// function refuses that key when the row's plot or address changed since
// it was read, and the correction is made again on the row as it is now),
// and turns the function's refusals into Spanish messages naming the table.
// Throws ErrorServidor.
// `id`, when not null, identifies the correction: sent again (from the
// outbox of a laptop that did not hear the answer), it is stored once.
void CorregirEnServidor(const LectorRegistroSql &lector, const ConexionServidor &conexion, int32_t numero,
                        const Correcciones::Pedida &pedida, const QUuid &id = QUuid());
