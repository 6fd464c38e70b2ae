#pragma once
// What the form tests share: message boxes in test mode, typing, acting on
// a modal dialog that a click opens, and what a screen reader hears.

#include "support/test_support.h"

#include <QWidget>
#include <functional>

namespace Prueba {
// Preparar, and message boxes in test mode (unexpected ones fail the
// running test).
void PrepararFormularios();

// Types `texto` into a widget key by key, accents and other non-ASCII
// characters included.
void Teclear(QWidget *control, const QString &texto);

// Runs `accion` on the active modal widget as soon as one shows (polling),
// then returns. Use before the click that opens the dialog.
void AlAbrirseModal(std::function<void(QWidget *)> accion, int limiteMs = 5000);
// True when AlAbrirseModal's last action ran.
bool ModalAtendido();
// Acts on the next modal save dialog: types `archivo` as a whole path into
// its name box, once the dialog has settled, and accepts.
void ElegirArchivoAlGuardar(const QString &archivo);

// What a screen reader hears of a widget: its accessible name, and the
// names of the objects that label it.
QString NombreAccesible(QWidget *w);
QStringList RotulosAccesibles(QWidget *w);
// Presses Tab from the focused control of the active window until the focus
// comes round again; returns "objectName: accessible name" of every control
// reached, in order.
QStringList RecorridoConTab(int limite = 60);
}  // namespace Prueba
