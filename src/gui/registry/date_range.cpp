#include "gui/registry/date_range.h"

#include "gui/common/widget_support.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

RangoFechas::RangoFechas(const QString &contexto, QWidget *padre) : QWidget(padre)
{
    auto *capa = new QHBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    const QString de = contexto.isEmpty() ? QString() : QStringLiteral(" del ") + contexto.toLower();
    auto extremo = [&](const QString &texto, const QString &nombre, QDate dia, QCheckBox *&casilla, QDateEdit *&caja) {
        casilla = new QCheckBox(texto, this);
        const QString palabra = nombre.toLower();
        Nombrar(casilla, QStringLiteral("chk%1%2").arg(contexto, nombre),
                contexto.isEmpty() ? nombre : contexto + QLatin1Char(' ') + palabra);
        caja = CajaFechaFiltro(this, QStringLiteral("dt%1%2").arg(contexto, nombre),
                               QStringLiteral("Fecha ") + palabra + de, dia);
        capa->addWidget(casilla);
        capa->addWidget(caja);
        connect(casilla, &QCheckBox::toggled, caja, &QWidget::setEnabled);
        connect(casilla, &QCheckBox::toggled, this, &RangoFechas::cambiado);
        connect(caja, &QDateEdit::dateChanged, this, &RangoFechas::cambiado);
    };
    extremo(QStringLiteral("&Desde"), QStringLiteral("Desde"), QDate::currentDate().addDays(-30), chkDesde_, dtDesde_);
    extremo(QStringLiteral("H&asta"), QStringLiteral("Hasta"), QDate::currentDate(), chkHasta_, dtHasta_);
}

void RangoFechas::aplicarA(FiltroRegistro &filtro) const
{
    filtro.desde = chkDesde_->isChecked() ? dtDesde_->date() : QDate();
    filtro.hasta = chkHasta_->isChecked() ? dtHasta_->date() : QDate();
}
