#pragma once
// The two rating dialogs as the element buttons of the evaluation form open
// them. Each returns true when the evaluator pressed "Aceptar"; closing the
// dialog any other way stores nothing.

#include "core/evaluation/evaluation_state.h"

#include <QString>
#include <QStringList>

class QWidget;

// Proportion rating form (Form5) for estado.VariableActual (0..13), writing
// slot estado.IndiceVariable. titulo goes to lblVariable.
bool CalificarProporcion(QWidget *padre, EstadoEvaluacion &estado, const QString &titulo);

// Qualitative rating form (Form9) for estado.VariableActual (14..22) when
// estado.OtroActual is -1, else for the other element estado.OtroActual.
// titulo goes to lblTipo, marco to frmCalificacion, opciones (five) to Option1(0..4).
bool CalificarCualitativa(QWidget *padre, EstadoEvaluacion &estado, const QString &titulo, const QString &marco,
                          const QStringList &opciones);
