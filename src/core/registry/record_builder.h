#pragma once
// IdentificacionEvaluacion: the record of an evaluation, made from what the evaluator typed, the
// evaluation form's building data and the evaluation state, and appended to
// a registry. No dialogue and no widgets: the program's "Guardar", the
// command-line import, the benchmarks and the tests all make records here.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/building_data.h"
#include "core/registry/evaluation_record.h"
#include "core/registry/registry_store.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What the evaluator typed on the additional information form, one member per
// control, named after it.
struct IdentificacionEvaluacion {
    QString txtNombre;
    QString txtDuenno;
    QString txtTelefono;
    QString txtEvaluador;
    QString txtCodigComi;
    QDateTime DTEvaluacion;
    QString cboGrupo;
    QString cboUsoBaja;
    QString txtAvaluo;
    QString txtNomBarrio;
    QString txtComuna1;
    QString txtComuna2;
    QString txtsector;
    QString txtManzana;
    QString txtPredio;
    QString txtMejoraPH;
    int Option1 = 0;  // chosen street kind, 0..5
    QString txtNumCalle;
    QString txtAvenida;
    QString txtOtro;
    QString txtNumero;
    // Optional position of the building, as typed (txtLatitud, txtLongitud)
    // and as read by GuardarEvaluacion in WGS 84 decimal degrees; both or neither.
    QString txtLatitud;
    QString txtLongitud;
    std::optional<double> Latitud;
    std::optional<double> Longitud;
    // Optional number of dwelling units (txtUnidades), as typed and as read
    // by the checks of "Guardar".
    QString txtUnidades;
    std::optional<int> UnidadesVivienda;
    // The photos attached on the form ("Fotos de la edificación"), prepared,
    // with their captions; saved with the record.
    QVector<FotoEvaluacion> Fotos;
};

// Captions of the street kinds, in the order of the option buttons.
const QStringList &TiposDireccion();

// A storey count as the record keeps it: the leading number of the text
// ("3", " 2.5 pisos"; nothing numeric gives 0), rounded to the nearest
// integer with halves to the even neighbour.
int32_t EnteroDeTexto(const QString &texto);
// The date of the evaluation as stored: "2026-12-06T14:56:40".
QString TextoFecha(const QDateTime &fecha);

// The writer steps, each filling its fields of the new record.
void EscribirIdentificacion(RegistroEvaluacion &rs, const IdentificacionEvaluacion &id,
                            const EstadoEvaluacion &estado, const DatosEdificacion &datos);  // 0..32
void EscribirProporciones(RegistroEvaluacion &rs, const EstadoEvaluacion &estado);             // 33..57
void EscribirCualitativos(RegistroEvaluacion &rs, const EstadoEvaluacion &estado);             // 58..70
void EscribirResultados(RegistroEvaluacion &rs, const EstadoEvaluacion &estado);               // 71..85
void EscribirCodigos(RegistroEvaluacion &rs, const EstadoEvaluacion &estado);                  // 86..90
void EscribirCoordenadas(RegistroEvaluacion &rs, const IdentificacionEvaluacion &id);          // 91..92

// The whole record of an evaluation, without its number (field 0 holds the
// state's number until the registry gives the new one).
RegistroEvaluacion ConstruirRegistro(const IdentificacionEvaluacion &id, const EstadoEvaluacion &estado,
                                     const DatosEdificacion &datos);

// Appends the evaluation to `registro` in one transaction; the record is
// stored when this returns. Sets estado.NumeroEvaluacion and
// estado.DireccionElegida and returns the number. Throws ErrorDatos, with
// nothing written, when the registry cannot be reached or written.
int32_t AgregarEvaluacion(AlmacenRegistro &registro, const IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                          const DatosEdificacion &datos);
// The same into the registry file `archivo` (created with its table when missing).
int32_t AgregarEvaluacion(const QString &archivo, const IdentificacionEvaluacion &id,
                          EstadoEvaluacion &estado, const DatosEdificacion &datos);

