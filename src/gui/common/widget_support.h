#pragma once
// Small pieces every form uses.

#include <QString>
#include <QWidget>

class QLabel;
class QAbstractButton;
class QFont;
class QDate;
class QDateEdit;

// Form measures are given in twips (1/1440 inch); at 96 dots per inch 15
// twips make one pixel.
constexpr int Twips(int twips) { return twips / 15; }

// Object name of element i of a control array: "optLocalizacion(2)".
QString NombreElemento(const QString &arreglo, int indice);

// Names a control for screen readers and for tests, and gives a label its buddy.
void Nombrar(QWidget *control, const QString &nombreObjeto, const QString &nombreAccesible = QString());
void Etiquetar(QLabel *etiqueta, QWidget *control);

// A date filter's box: day/month/year with a calendar, wide enough for the
// whole date, disabled until its check box is ticked.
QDateEdit *CajaFechaFiltro(QWidget *padre, const QString &nombreObjeto, const QString &nombreAccesible,
                           const QDate &fecha);

// A label that shows a value (a result, an index, a comment, a title, a
// share): a screen reader reads what it shows, and `rotulo` (a caption label
// or a titled frame) as what labels it. A value may have several captions.
void RotularValor(QLabel *valor, QWidget *rotulo);

// Finds a descendant by object name (tests and forms share the naming).
template <typename T>
T *Buscar(QWidget *raiz, const QString &nombre);

void PonerNegrita(QAbstractButton *boton, bool negrita);
bool EsNegrita(const QAbstractButton *boton);

template <typename T>
T *Buscar(QWidget *raiz, const QString &nombre)
{
    return raiz->findChild<T *>(nombre);
}
