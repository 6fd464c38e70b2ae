#pragma once
// Every message box of the program goes through here. It carries the
// application title "ORV" unless another title is given, shows a carriage
// return as a new line, and labels its buttons in Spanish.
//
// Tests drive it without a display: they queue the answers of the next boxes,
// read back every text shown and are told about any box they did not expect.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace Mensaje {

enum class Botones { Aceptar, AceptarCancelar, SiNo };
enum class Respuesta { Aceptar, Cancelar, Si, No };

// Shows a modal box and returns the button pressed. Closing a box by its
// window's close box counts as Cancelar / No.
Respuesta mostrar(QWidget *padre, const QString &texto, Botones botones = Botones::Aceptar,
                  const QString &titulo = QStringLiteral("ORV"));

// The text as it appears on screen: carriage returns become new lines.
QString textoEnPantalla(const QString &texto);

// --- test driving ------------------------------------------------------------
struct Mostrado {
    QString texto;   // the text as the program wrote it
    QString titulo;
    Botones botones;
};

// From now on no box is shown: each one takes the next queued answer.
void activarModoPrueba(bool activo = true);
bool modoPrueba();
void encolarRespuesta(Respuesta r);
int respuestasPendientes();
QList<Mostrado> mostrados();
QStringList textosMostrados();
void limpiar();
// Called with a description when a box appears with no queued answer (the
// box then takes Cancelar / No, or Aceptar when it only has that button).
void alInesperado(std::function<void(const QString &)> manejador);
QStringList inesperados();
// Called with every box the moment it would appear, before it takes its
// answer: a test sees the forms as the evaluator sees them under the box.
void alMostrar(std::function<void(const Mostrado &)> observador);

}  // namespace Mensaje
