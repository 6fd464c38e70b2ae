#pragma once
// CorreccionesPendientes: corrections typed while the central registry could
// not be reached wait in the outbox file ("Pendientes de Envío.sqlite",
// table "CorreccionesPendientes"), each with an identity of its own, and go
// to the server after the evaluations waiting beside them: a correction of
// an evaluation still in the outbox waits until the evaluation has its
// number. The server stores each correction once, however often it is sent.
// A correction the server refuses for itself (the evaluation is another
// login's, the value is already the one asked) is set aside in
// "CorreccionesApartadas" with the server's message, never deleted.

#include "core/registry/corrections.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>
#include <memory>

class RegistroServidor;
class QSqlDatabase;

struct CorreccionPendiente {
    QUuid id;            // given when it is first kept
    QUuid evaluacion;    // the evaluation's uuid (needed while it has no number)
    int32_t numero = 0;  // its number; 0 while the evaluation itself waits
    QString columna;
    QString valor;
    QString motivo;
    QDateTime fecha;     // when it was typed (UTC)
};

struct ResultadoCorrecciones {
    int enviadas = 0;
    int pendientes = 0;   // still waiting afterwards
    bool red = false;     // the server could not be reached
    QString error;        // the server's message when the send stopped
    // Set aside in this send: the id and the server's reason.
    QVector<std::pair<QUuid, QString>> apartadas;
};

class CorreccionesPendientes {
public:
    // `archivo`: the outbox file (BandejaSalida::archivoPara). Makes the
    // tables when missing. Throws ErrorDatos naming the file.
    explicit CorreccionesPendientes(QString archivo);
    ~CorreccionesPendientes();

    // Keeps the correction on disk, after checking the field, the value and
    // the reason (Correcciones::Revisar; ErrorDatos with nothing written).
    // Gives it its id and time when they are empty.
    void guardar(CorreccionPendiente &correccion);
    qint64 cantidad() const;
    // Oldest first.
    QVector<CorreccionPendiente> pendientes() const;
    // The ones set aside, oldest first, each with the server's reason.
    QVector<std::pair<CorreccionPendiente, QString>> apartadas() const;

    // Sends the waiting corrections in order; each sent one leaves the file.
    // Stops at the first network failure or at a correction whose
    // evaluation has not reached the server. Never throws for the server.
    ResultadoCorrecciones enviar(RegistroServidor &servidor);

private:
    void quitar(const QUuid &id, const QString *motivo);
    QString archivo_;
    QString conexion_;
};
