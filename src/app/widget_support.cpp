#include "app/widget_support.h"

#include <QAbstractButton>
#include <QLabel>

QString NombreElemento(const QString &arreglo, int indice)
{
    return QStringLiteral("%1(%2)").arg(arreglo).arg(indice);
}

void Nombrar(QWidget *control, const QString &nombreObjeto, const QString &nombreAccesible)
{
    control->setObjectName(nombreObjeto);
    if (!nombreAccesible.isEmpty())
        control->setAccessibleName(nombreAccesible);
}

void Etiquetar(QLabel *etiqueta, QWidget *control)
{
    etiqueta->setBuddy(control);
    if (control->accessibleName().isEmpty()) {
        QString texto = etiqueta->text();
        texto.remove(QLatin1Char('&'));
        control->setAccessibleName(texto.simplified());
    }
}

void PonerNegrita(QAbstractButton *boton, bool negrita)
{
    QFont f = boton->font();
    f.setBold(negrita);
    boton->setFont(f);
}

bool EsNegrita(const QAbstractButton *boton)
{
    return boton->font().bold();
}
