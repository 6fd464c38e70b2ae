#pragma once
// What the tests share: a clean set-up for every test executable, and a way
// to act on a modal dialog that a click opens.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace Prueba {
// Message boxes in test mode (unexpected ones fail the running test), the C
// locale, the installation folder of the build tree and a registry in a
// fresh temporary folder.
void Preparar();
// Folder of the build's shipped databases.
QString CarpetaDatos();

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

// Runs a program to its end; its standard output (a warning with its
// standard error when it fails).
QByteArray Ejecutar(const QString &programa, const QStringList &argumentos);
// The rows of a CSV file as Python's csv module reads them (RFC 4180, strict).
QList<QStringList> LeerCsvConPython(const QString &archivo);

// What a screen reader hears of a widget: its accessible name, and the
// names of the objects that label it.
QString NombreAccesible(QWidget *w);
QStringList RotulosAccesibles(QWidget *w);
// Presses Tab from the focused control of the active window until the focus
// comes round again; returns "objectName: accessible name" of every control
// reached, in order.
QStringList RecorridoConTab(int limite = 60);
}  // namespace Prueba
