#pragma once
// The five comments of a saved evaluation, looked up by the codes the record
// stores, as the results form showed them when it was saved.

#include "core/registry/evaluation_record.h"
#include "core/engine/result_classification.h"

struct ComentariosRegistro {
    QString dannoEdificio;
    QString estadoGlobal;
    QString habitabilidad;
    QString reparabilidad;     // with the year remark appended, when there is one
    QString medidasSeguridad;
};

// The year remark code of a saved evaluation: it follows from the
// reparability code (global state 0 or 1) and the construction period.
QString CodigoRefAnnoDeRegistro(const RegistroEvaluacion &registro);

ComentariosRegistro ComentariosDeRegistro(const RegistroEvaluacion &registro, const TablasComentarios &tablas);
