#pragma once
// What the rating tests share: preparing the state the way an element button
// does before it opens a dialog, and moving a scroll bar from the keyboard.

#include "evaluation/evaluation_state.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace Calificacion {

// A first rating of a variable of the main table: its slot is the next free one.
inline void PrepararVariable(EstadoEvaluacion &e, int codigo, const QString &carpeta = QString(),
                             const QString &prefijo = QString())
{
    e.VariableActual = static_cast<int16_t>(codigo);
    e.OtroActual = -1;
    e.CarpetaFoto = carpeta;
    e.PrefijoFoto = prefijo;
    e.UltimaVariable = static_cast<int16_t>(e.UltimaVariable + 1);
    e.IndiceVariable = e.UltimaVariable;
    e.CalificarVariable = 1;
}

// A first rating of an other non-structural element.
inline void PrepararOtro(EstadoEvaluacion &e, int codigo, const QString &carpeta = QString(),
                         const QString &prefijo = QString())
{
    e.OtroActual = static_cast<int16_t>(codigo);
    e.VariableActual = -1;
    e.CarpetaFoto = carpeta;
    e.PrefijoFoto = prefijo;
    e.UltimoOtro = static_cast<int16_t>(e.UltimoOtro + 1);
    e.IndiceOtro = e.UltimoOtro;
    e.OtrosElegidos = 1;
    e.CalificarOtro = 1;
}

// Brings a bar from 0 to `valor` with Page Up (5 points) and Right (1 point).
inline void PonerBarra(QScrollBar *barra, int valor)
{
    for (int i = 0; i < valor / 5; ++i)
        QTest::keyClick(barra, Qt::Key_PageUp);
    for (int i = 0; i < valor % 5; ++i)
        QTest::keyClick(barra, Qt::Key_Right);
}

// Centre of a part of a scroll bar (arrow, trough, handle) on screen.
inline QPoint Centro(QScrollBar *barra, QStyle::SubControl parte)
{
    QStyleOptionSlider opcion;
    opcion.initFrom(barra);
    opcion.orientation = barra->orientation();
    opcion.minimum = barra->minimum();
    opcion.maximum = barra->maximum();
    opcion.sliderPosition = barra->sliderPosition();
    opcion.sliderValue = barra->value();
    opcion.singleStep = barra->singleStep();
    opcion.pageStep = barra->pageStep();
    opcion.upsideDown = barra->invertedAppearance();
    if (barra->orientation() == Qt::Horizontal)
        opcion.state |= QStyle::State_Horizontal;
    return barra->style()->subControlRect(QStyle::CC_ScrollBar, &opcion, parte, barra).center();
}

}  // namespace Calificacion
