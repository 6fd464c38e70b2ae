#pragma once
// What the rating tests share: a fresh state, preparing it the way an element
// button does before it opens a dialog, and driving the widgets.

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/evaluation/evaluation_state.h"
#include "support/gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace Calificacion {

inline EstadoEvaluacion EstadoNuevo()
{
    EstadoEvaluacion e;
    e.Reiniciar();
    return e;
}

// A first rating of a variable of the main table, or of an other
// non-structural element: its record is the next free one of its table.
inline void PrepararVariable(EstadoEvaluacion &e, int codigo, const QString &carpeta = QString())
{
    e.VariableActual = static_cast<int16_t>(codigo);
    e.OtroActual = -1;
    e.CarpetaFoto = carpeta;
    e.IndiceVariable = ++e.UltimaVariable;
    e.CalificarVariable = 1;
}
inline void PrepararOtro(EstadoEvaluacion &e, int codigo, const QString &carpeta = QString())
{
    e.OtroActual = static_cast<int16_t>(codigo);
    e.VariableActual = -1;
    e.CarpetaFoto = carpeta;
    e.IndiceOtro = ++e.UltimoOtro;
    e.OtrosElegidos = e.CalificarOtro = 1;
}

// A click on the left end of a button, where an option's indicator sits.
inline void Clic(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(8, b->height() / 2)); }
// The same on a button or option of `raiz` found by name; it must be there and enabled.
inline void Clic(QWidget *raiz, const QString &nombre)
{
    auto *b = Buscar<QAbstractButton>(raiz, nombre);
    QVERIFY2(b && b->isEnabled(), qPrintable(nombre));
    Clic(b);
}

// Shows a form and gives it the keyboard.
inline bool Activar(QWidget *f)
{
    f->show();
    QApplication::setActiveWindow(f);
    return QTest::qWaitForWindowActive(f);
}

inline void Teclas(Qt::Key tecla, int veces = 1)
{
    for (int i = 0; i < veces; ++i)
        QTest::keyClick(QApplication::focusWidget(), tecla);
}

inline QString Texto(QWidget *f, const QString &etiqueta) { return Buscar<QLabel>(f, etiqueta)->text(); }
inline QPushButton *Boton(QWidget *f, const char *nombre) { return Buscar<QPushButton>(f, QString::fromLatin1(nombre)); }
// Level option k (0..4) of the level viewer.
inline QRadioButton *Nivel(QWidget *f, int k) { return Buscar<QRadioButton>(f, NombreElemento(QStringLiteral("optDanno"), k)); }

// Brings a bar from 0 to `valor` with Page Up (5 points) and Right (1 point).
inline void PonerBarra(QScrollBar *barra, int valor)
{
    for (int i = 0; i < valor / 5; ++i)
        QTest::keyClick(barra, Qt::Key_PageUp);
    for (int i = 0; i < valor % 5; ++i)
        QTest::keyClick(barra, Qt::Key_Right);
}

// Presses `boton` of `forma` and rates in the dialog it opens: the five bars
// of a proportion rating (its message accepted) or one level.
inline void CalificarConDialogo(QWidget *forma, const QString &boton, const QList<int> &notas)
{
    Prueba::AlAbrirseModal([=](QWidget *w) {
        if (notas.size() == 5) {
            for (int k = 0; k < 5; ++k) {
                auto *b = Buscar<QScrollBar>(w, QStringLiteral("HSGrupo") + QStringList{"I", "II", "III", "IV", "V"}[k]);
                b->setFocus();
                PonerBarra(b, notas[k]);
            }
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        } else {
            Clic(w, QStringLiteral("Option1(%1)").arg(notas.first()));
        }
        Clic(w, QStringLiteral("btnAceptar"));
    });
    Clic(forma, boton);
    QVERIFY2(Prueba::ModalAtendido(), qPrintable(boton));
}

}  // namespace Calificacion
