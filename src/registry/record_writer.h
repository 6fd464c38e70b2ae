#pragma once
// Saving an evaluation into the evaluation registry.
//
// Two layers: GuardarEvaluacion is what "Guardar" of the additional
// information form runs (checks, placeholders, questions and messages);
// AgregarEvaluacion is the part without any dialogue that appends one record
// of 91 fields to the registry file and returns its number. The batch tools,
// the benchmark and the tests call AgregarEvaluacion directly.

#include "data/record_set.h"
#include "evaluation/evaluation_state.h"
#include "registry/building_data.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

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
    // and as read by GuardarEvaluacion in decimal degrees.
    QString txtLatitud;
    QString txtLongitud;
    std::optional<double> Latitud;
    std::optional<double> Longitud;
};

// Captions of the street kinds, in the order of the option buttons.
const QStringList &TiposDireccion();

// Texts of the dialogue, as the evaluator sees them.
namespace TextosRegistro {
extern const QString SinIdentificacion;
extern const QString ContactoIncompleto;
extern const QString FaltaUso;
extern const QString SinUbicacion;
extern const QString UbicacionIncompleta;
extern const QString Confirmacion;
extern const QString Guardada;
extern const QString TituloGuardar;
extern const QString InformacionPendiente;
extern const QString NoAplica;
// Put in front of the database layer's text when a save fails.
extern const QString NoGuardada;
}  // namespace TextosRegistro

// Cadastral state: 0 all eight cadastral boxes empty, 1 all filled, 2 some.
int16_t CalcularEstadoCatastro(const IdentificacionEvaluacion &id);
// Address state: 0 neither the street of the chosen kind nor the house
// number given, 1 both given, 2 only one of them. The two street boxes of
// the other kinds only hold the "--" written for them and do not count.
int16_t CalcularEstadoDireccion(const IdentificacionEvaluacion &id);

// A storey count as the record keeps it: the leading number of the text
// ("3", " 2.5 pisos"; nothing numeric gives 0), rounded to the nearest
// integer with halves to the even neighbour.
int32_t EnteroDeTexto(const QString &texto);
// The date of the evaluation as stored: "2026-12-06T14:56:40".
QString TextoFecha(const QDateTime &fecha);

// The five writer steps, each filling its fields of the new record.
void EscribirIdentificacion(ConjuntoRegistros &rs, const IdentificacionEvaluacion &id,
                            const EstadoEvaluacion &estado, const DatosEdificacion &datos);  // 0..32
void EscribirProporciones(ConjuntoRegistros &rs, const EstadoEvaluacion &estado);             // 33..57
void EscribirCualitativos(ConjuntoRegistros &rs, const EstadoEvaluacion &estado);             // 58..70
void EscribirResultados(ConjuntoRegistros &rs, const EstadoEvaluacion &estado);               // 71..85
void EscribirCodigos(ConjuntoRegistros &rs, const EstadoEvaluacion &estado);                  // 86..90

// Appends the evaluation to the registry file `archivo` (created with its
// table when missing). Finding the number and appending happen in one
// transaction that holds the write lock, so programs saving into the same
// file at once never share a number; the record is on disk when this
// returns. Sets estado.NumeroEvaluacion and estado.DireccionElegida and
// returns the number. Throws ErrorDatos, with nothing written, when the file
// cannot be created, opened, locked or written.
int32_t AgregarEvaluacion(const QString &archivo, const IdentificacionEvaluacion &id,
                          EstadoEvaluacion &estado, const DatosEdificacion &datos);

// "Guardar": checks the identification, fills placeholders into `id`,
// applies the not-relevant texts to the evaluation state, reads the
// coordinates, asks for confirmation and appends the record to the registry
// file of RutasDatos. Every question and message goes through Mensaje with
// `padre`; `mostrar`, when given, receives `id` before each of them, so the
// form shows under every message what would be stored. Returns true only
// when the record was saved; a database failure is shown to the evaluator
// and gives false.
using MostrarIdentificacion = std::function<void(const IdentificacionEvaluacion &)>;
bool GuardarEvaluacion(QWidget *padre, IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar = {});
