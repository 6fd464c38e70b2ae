#pragma once
// ElementoBoton: the element buttons of the evaluation form: which variable each one rates,
// with which dialog, captions and photo words, and the duplicate checks that
// run before a variable is rated again.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/rating_captions.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;

struct ElementoBoton {
    const char *boton;     // object name, e.g. "btnVigas"
    const char *leyenda;   // caption on the form
    int carpeta;           // folder of the evaluation form
    bool otro;             // true: table OtrosNoEstructurales, false: Variables
    int16_t codigo;
    const char *carpetaFoto;  // empty for btnBahareque (chosen by system)
    const char *prefijoFoto;
};

// The 27 element buttons in the order of their folders.
const QVector<ElementoBoton> &ElementosBoton();
const ElementoBoton *BuscarElementoBoton(const QString &boton);

// Dialog title of a variable code 0..22 / of an other element 0..3.
QString TituloVariable(int codigo);
QString TituloOtro(int codigo);

// Duplicate checks: they ask "... Desea calificarla nuevamente ?" when the
// code already has a slot and leave CalificarVariable / CalificarOtro,
// UltimaVariable / UltimoOtro and IndiceVariable / IndiceOtro as the answer says.
void BuscarVariable(QWidget *padre, EstadoEvaluacion &estado, int16_t codigo);
void BuscarOtro(QWidget *padre, EstadoEvaluacion &estado, int16_t codigo);

// What an element button does; opens the rating dialog. A dialog closed
// without "Aceptar" releases the slot the press reserved.
void PulsarBotonElemento(QWidget *padre, EstadoEvaluacion &estado, const ElementoBoton &e);
