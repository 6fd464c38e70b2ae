#include "gui/common/widget_support.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QDateEdit>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <algorithm>

namespace {

// Captions of every value label, by label.
QHash<const QObject *, QList<QPointer<QWidget>>> &Rotulos()
{
    static QHash<const QObject *, QList<QPointer<QWidget>>> rotulos;
    return rotulos;
}

QString TextoVisible(const QWidget *w)
{
    QString texto;
    if (auto *l = qobject_cast<const QLabel *>(w))
        texto = l->text();
    else if (auto *g = qobject_cast<const QGroupBox *>(w))
        texto = g->title();
    texto.remove(QLatin1Char('&'));
    return texto.simplified();
}

// A value label as a screen reader meets it: static text whose name is what
// it shows, labelled by its captions.
class ValorAccesible : public QAccessibleWidget {
public:
    explicit ValorAccesible(QLabel *l) : QAccessibleWidget(l, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->accessibleName().isEmpty() ? TextoVisible(widget()) : widget()->accessibleName();
        if (t == QAccessible::Value)
            return QString();
        return QAccessibleWidget::text(t);
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto lista = QAccessibleWidget::relations(match);
        if (!(match & QAccessible::Label))
            return lista;
        for (const QPointer<QWidget> &r : Rotulos().value(widget())) {
            if (!r)
                continue;
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(r);
            const bool repetido = std::any_of(lista.cbegin(), lista.cend(), [i](const auto &p) { return p.first == i; });
            if (i && !repetido)
                lista.append({i, QAccessible::Label});
        }
        return lista;
    }
};

QAccessibleInterface *FabricaValores(const QString &clase, QObject *objeto)
{
    if (clase == QLatin1String("QLabel") && Rotulos().contains(objeto))
        return new ValorAccesible(static_cast<QLabel *>(objeto));
    return nullptr;
}

}  // namespace

QString NombreElemento(const QString &arreglo, int indice)
{
    return QStringLiteral("%1(%2)").arg(arreglo).arg(indice);
}

QDateEdit *CajaFechaFiltro(QWidget *padre, const QString &nombreObjeto, const QString &nombreAccesible,
                           const QDate &fecha)
{
    auto *d = new QDateEdit(fecha, padre);
    Nombrar(d, nombreObjeto, nombreAccesible);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(true);
    d->setEnabled(false);
    // The digits and the calendar's button.
    d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    return d;
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

void RotularValor(QLabel *valor, QWidget *rotulo)
{
    static const bool instalada = [] {
        QAccessible::installFactory(FabricaValores);
        return true;
    }();
    Q_UNUSED(instalada);
    auto &rotulos = Rotulos();
    if (!rotulos.contains(valor))
        QObject::connect(valor, &QObject::destroyed, [valor] { Rotulos().remove(valor); });
    rotulos[valor].append(rotulo);
    // An interface made for the label before it became a value gives way.
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(valor);
    if (i && !dynamic_cast<ValorAccesible *>(i))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(i));
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
