#pragma once
// One saved evaluation as the registry holds it: its values by field
// position (RegistroEvaluaciones::Campos), and the identity that lets the
// same record travel between machines without being stored twice.

#include "core/registry/photo.h"
#include "core/registry/registry_fields.h"

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <QVector>
#include <optional>

// An evaluation as a placard names it: number, evaluation date and time
// (as stored) and habitability.
struct ReferenciaAviso {
    int32_t numero = 0;
    QString fecha;
    QString habitabilidad;
};

struct RegistroEvaluacion {
    QVector<QVariant> valores = QVector<QVariant>(RegistroEvaluaciones::NumCampos);

    // Made on the evaluator's machine when the record is first saved.
    QUuid uuid;
    QString equipo;       // machine name
    QString usuario;      // operating-system user
    QDateTime guardadoEn; // when it was saved on the machine (UTC)
    // The key of the building (ClaveEdificacion::De when the store saves it
    // empty; a key of its own when the evaluator told two buildings apart).
    QString claveEdificacion;
    // The building's dwelling units, when the evaluator gave them.
    std::optional<int> unidadesVivienda;
    // Where the evaluation stands in its building's history, once a store
    // has placed it (AlmacenRegistro::situar): the posting it replaced, and
    // the current posting when a newer evaluation replaced this one.
    std::optional<ReferenciaAviso> reemplaza;
    std::optional<ReferenciaAviso> reemplazadaPor;
    // How many evaluations its building has (0: not placed, or no key).
    qint64 evaluacionesEdificacion = 0;
    // When its identification was last corrected (UTC), once a store has
    // placed it; invalid when it never was.
    QDateTime corregida;
    // Saved on this machine and not yet received by the central registry;
    // such a record has no number yet.
    bool pendiente = false;
    // Photos to write with the record: AlmacenRegistro::agregar and
    // BandejaSalida::guardar store them in the same transaction as the
    // record (order 0: numbered after each other in this order), and the
    // outbox carries them with it. Readers of records leave this empty:
    // photos are listed with AlmacenRegistro::fotos.
    QVector<FotoEvaluacion> fotos;

    const QVariant &campo(int posicion) const { return valores.at(posicion); }
    void establecerCampo(int posicion, const QVariant &valor) { valores[posicion] = valor; }
    QString texto(int posicion) const { return valores.at(posicion).toString(); }
    int32_t numero() const { return valores.at(RegistroEvaluaciones::Pos::Numero).toInt(); }

    // Fills uuid, equipo, usuario and guardadoEn when they are still empty.
    void sellar();
};

// The address as one text: the street kind, the street box of that kind and
// the house number, as typed (the placeholders the form writes are left out).
QString TextoDireccion(const RegistroEvaluacion &registro);
