#pragma once
// Driving the additional information form the way an evaluator does: typing
// into its boxes, pasting, picking list items, clicking options and buttons.

#include "core/registry/sample_evaluation.h"

#include "gui/common/widget_support.h"
#include "gui/saving/additional_info_form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <utility>
#include <vector>

namespace Conducir {

inline QStringList Lista(std::initializer_list<const char *> textos)
{
    QStringList l;
    for (const char *s : textos)
        l << QString::fromUtf8(s);
    return l;
}

inline QLineEdit *Caja(QWidget *forma, const QString &nombre)
{
    auto *caja = Buscar<QLineEdit>(forma, nombre);
    if (!caja)
        qFatal("no existe la caja %s", qPrintable(nombre));
    return caja;
}

// The text boxes of the form and the two use lists, by name, with the part
// of `id` each one shows.
inline std::vector<std::pair<QString, QString *>> CajasDe(IdentificacionEvaluacion &id)
{
    std::vector<std::pair<QString, QString *>> cajas;
    for (const auto &[nombre, texto] : std::initializer_list<std::pair<const char *, QString *>>{
             {"txtNombre", &id.txtNombre},     {"txtDuenno", &id.txtDuenno},     {"txtTelefono", &id.txtTelefono},
             {"txtEvaluador", &id.txtEvaluador}, {"txtCodigComi", &id.txtCodigComi}, {"txtAvaluo", &id.txtAvaluo},
             {"txtNomBarrio", &id.txtNomBarrio}, {"txtComuna1", &id.txtComuna1},   {"txtComuna2", &id.txtComuna2},
             {"txtsector", &id.txtsector},     {"txtManzana", &id.txtManzana},   {"txtPredio", &id.txtPredio},
             {"txtMejoraPH", &id.txtMejoraPH}, {"txtNumCalle", &id.txtNumCalle}, {"txtAvenida", &id.txtAvenida},
             {"txtOtro", &id.txtOtro},         {"txtNumero", &id.txtNumero},     {"cboGrupo", &id.cboGrupo},
             {"cboUsoBaja", &id.cboUsoBaja},   {"txtUnidades", &id.txtUnidades}})
        cajas.emplace_back(QString::fromLatin1(nombre), texto);
    return cajas;
}

// Types `texto` key by key. Characters outside ASCII arrive as the text of
// one key event each, a pair of surrogates together, the way a keyboard
// layout or input method sends them.
inline void Teclear(QWidget *control, const QString &texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(control, static_cast<char>(c.unicode()));
            continue;
        }
        const qsizetype largo = c.isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, texto.mid(i, largo), Qt::NoModifier);
        i += largo - 1;
    }
}

// Replaces what the box holds by typing it, or by pasting it from the clipboard.
inline void Escribir(QWidget *forma, const QString &nombre, const QString &texto, bool pegar = false)
{
    QLineEdit *caja = Caja(forma, nombre);
    QTest::mouseClick(caja, Qt::LeftButton);
    QTest::keyClick(caja, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(caja, Qt::Key_Delete);
    if (pegar) {
        QGuiApplication::clipboard()->setText(texto);
        QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    } else {
        Teclear(caja, texto);
    }
}

// Picks an item of a use list with the arrow keys.
inline void ElegirUso(QWidget *forma, const QString &lista, const QString &texto)
{
    auto *combo = Buscar<QComboBox>(forma, lista);
    const int destino = combo->findText(texto);
    if (destino < 0)
        qFatal("la lista %s no tiene \"%s\"", qPrintable(lista), qPrintable(texto));
    combo->setFocus();
    while (combo->currentIndex() != destino)
        QTest::keyClick(combo, combo->currentIndex() < destino ? Qt::Key_Down : Qt::Key_Up);
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

// Fills the whole form with `id`: street kind first (its click writes "--"
// into the other street boxes), then every box that is enabled, the use
// lists and, section by section, the date.
inline void Llenar(QWidget *forma, IdentificacionEvaluacion id)
{
    ElegirVia(forma, id.Option1);
    for (const auto &[nombre, texto] : CajasDe(id)) {
        if (nombre.startsWith(QLatin1String("cbo"))) {
            if (!texto->isEmpty())
                ElegirUso(forma, nombre, *texto);
        } else if (Caja(forma, nombre)->isEnabled()) {
            Escribir(forma, nombre, *texto);
        }
    }
    if (id.DTEvaluacion.isValid()) {
        auto *picker = Buscar<QDateTimeEdit>(forma, QStringLiteral("DTEvaluacion"));
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_Home);
        QTest::keyClick(picker, Qt::Key_Delete);
        QTest::keyClick(picker, Qt::Key_Delete);
        QTest::keyClicks(picker, id.DTEvaluacion.toString(QStringLiteral("ddMMyyyyHHmmss")));
    }
}

}  // namespace Conducir
