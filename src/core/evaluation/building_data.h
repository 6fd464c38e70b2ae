#pragma once
// What the record writer reads from the evaluation form: the storey texts and
// the three list texts, as the evaluator left them.

#include <QString>

struct DatosEdificacion {
    QString txtNPisos;
    QString txtNSotanos;
    QString txtPisosTotal;
    QString txtPMayorDanno;
    QString cboTipoEstructura;
    QString cboCubierta;
    QString cboEntrepiso;
};
