#include "core/registry/registry_store.h"

int32_t AlmacenRegistro::agregar(RegistroEvaluacion &registro)
{
    QVector<RegistroEvaluacion> lote{registro};
    agregar(lote);
    registro = lote.front();
    return registro.numero();
}
