#include "gui/rating/rating_dialogs.h"

#include "gui/rating/proportion_rating_form.h"
#include "gui/rating/qualitative_rating_form.h"

bool CalificarProporcion(QWidget *padre, EstadoEvaluacion &estado, const QString &titulo)
{
    Form5 forma(estado, padre);
    forma.EstablecerVariable(titulo);
    return forma.exec() == QDialog::Accepted;
}

bool CalificarCualitativa(QWidget *padre, EstadoEvaluacion &estado, const QString &titulo, const QString &marco,
                          const QStringList &opciones)
{
    Form9 forma(estado, padre);
    forma.EstablecerTextos(titulo, marco, opciones);
    return forma.exec() == QDialog::Accepted;
}
