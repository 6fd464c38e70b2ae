#pragma once
// Driving the additional information form the way an evaluator does: typing
// into its boxes, pasting, picking list items, clicking options and buttons.

#include "sample_evaluation.h"

#include "app/widget_support.h"
#include "registry/additional_info_form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace Conducir {

inline QLineEdit *Caja(QWidget *forma, const QString &nombre)
{
    auto *caja = Buscar<QLineEdit>(forma, nombre);
    if (!caja)
        qFatal("no existe la caja %s", qPrintable(nombre));
    return caja;
}

// Types `texto` key by key. Characters outside ASCII arrive as the text of
// one key event each, the way a keyboard layout or input method sends them.
inline void Teclear(QWidget *control, const QString &texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(control, static_cast<char>(c.unicode()));
            continue;
        }
        QString unidad(c);
        if (c.isHighSurrogate() && i + 1 < texto.size())
            unidad += texto.at(++i);
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, unidad, Qt::NoModifier);
    }
}

inline void BorrarCaja(QLineEdit *caja)
{
    QTest::mouseClick(caja, Qt::LeftButton);
    QTest::keyClick(caja, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(caja, Qt::Key_Delete);
}

// Replaces what the box holds by typing.
inline void Escribir(QWidget *forma, const QString &nombre, const QString &texto)
{
    QLineEdit *caja = Caja(forma, nombre);
    BorrarCaja(caja);
    Teclear(caja, texto);
}

// Replaces what the box holds by pasting from the clipboard.
inline void Pegar(QWidget *forma, const QString &nombre, const QString &texto)
{
    QLineEdit *caja = Caja(forma, nombre);
    BorrarCaja(caja);
    QGuiApplication::clipboard()->setText(texto);
    QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
}

// Picks an item of a use list with the arrow keys.
inline void ElegirUso(QWidget *forma, const QString &lista, const QString &texto)
{
    auto *combo = Buscar<QComboBox>(forma, lista);
    const int destino = combo->findText(texto);
    if (destino < 0)
        qFatal("la lista %s no tiene \"%s\"", qPrintable(lista), qPrintable(texto));
    combo->setFocus();
    while (combo->currentIndex() < destino)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > destino)
        QTest::keyClick(combo, Qt::Key_Up);
}

inline void ElegirVia(QWidget *forma, int indice)
{
    QTest::mouseClick(Buscar<QRadioButton>(forma, NombreElemento(QStringLiteral("Option1"), indice)), Qt::LeftButton);
}

inline void Pulsar(QWidget *forma, const QString &boton)
{
    auto *b = Buscar<QPushButton>(forma, boton);
    if (!b)
        qFatal("no existe el botón %s", qPrintable(boton));
    QTest::mouseClick(b, Qt::LeftButton);
}

inline void Guardar(QWidget *forma) { Pulsar(forma, QStringLiteral("btnGuardaInf(0)")); }
inline void Cancelar(QWidget *forma) { Pulsar(forma, QStringLiteral("btnGuardaInf(1)")); }

// Types a date and time into the picker, section by section.
inline void PonerFecha(QWidget *forma, const QDateTime &fecha)
{
    auto *picker = Buscar<QDateTimeEdit>(forma, QStringLiteral("DTEvaluacion"));
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    QTest::keyClick(picker, Qt::Key_Delete);
    QTest::keyClick(picker, Qt::Key_Delete);
    QTest::keyClicks(picker, fecha.toString(QStringLiteral("ddMMyyyyHHmmss")));
}

// Fills the whole form with `id`: street kind first (its click writes "--"
// into the other street boxes), then every box that is enabled.
inline void Llenar(QWidget *forma, const IdentificacionEvaluacion &id)
{
    ElegirVia(forma, id.Option1);
    const std::pair<const char *, const QString *> cajas[] = {
        {"txtNombre", &id.txtNombre},     {"txtDuenno", &id.txtDuenno},     {"txtTelefono", &id.txtTelefono},
        {"txtEvaluador", &id.txtEvaluador}, {"txtCodigComi", &id.txtCodigComi}, {"txtAvaluo", &id.txtAvaluo},
        {"txtNomBarrio", &id.txtNomBarrio}, {"txtComuna1", &id.txtComuna1},   {"txtComuna2", &id.txtComuna2},
        {"txtsector", &id.txtsector},     {"txtManzana", &id.txtManzana},   {"txtPredio", &id.txtPredio},
        {"txtMejoraPH", &id.txtMejoraPH}, {"txtNumCalle", &id.txtNumCalle}, {"txtAvenida", &id.txtAvenida},
        {"txtOtro", &id.txtOtro},         {"txtNumero", &id.txtNumero}};
    for (const auto &[nombre, texto] : cajas) {
        QLineEdit *caja = Caja(forma, QString::fromLatin1(nombre));
        if (caja->isEnabled())
            Escribir(forma, QString::fromLatin1(nombre), *texto);
    }
    if (!id.cboGrupo.isEmpty())
        ElegirUso(forma, QStringLiteral("cboGrupo"), id.cboGrupo);
    if (!id.cboUsoBaja.isEmpty())
        ElegirUso(forma, QStringLiteral("cboUsoBaja"), id.cboUsoBaja);
    if (id.DTEvaluacion.isValid())
        PonerFecha(forma, id.DTEvaluacion);
}

}  // namespace Conducir
