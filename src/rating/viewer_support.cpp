#include "rating/viewer_support.h"

#include "app/widget_support.h"
#include "rating/photo_box.h"

#include <QGridLayout>
#include <QLabel>
#include <cmath>

namespace VisorFotos {

QLabel *CrearTitulo(const QString &texto, QWidget *padre)
{
    auto *titulo = new QLabel(texto, padre);
    Nombrar(titulo, QStringLiteral("lblDanno"), QStringLiteral("Título"));
    titulo->setAlignment(Qt::AlignCenter);
    titulo->setWordWrap(true);
    titulo->setAutoFillBackground(true);
    QPalette paleta = titulo->palette();
    paleta.setColor(QPalette::Window, QColor(0x14, 0x14, 0x14));
    paleta.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    titulo->setPalette(paleta);
    QFont f = titulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    titulo->setFont(f);
    titulo->setMargin(6);
    titulo->setMinimumHeight(titulo->fontMetrics().height() + 16);
    return titulo;
}

QWidget *CrearAreaFoto(QWidget *padre, CuadroFoto **imgFotos, QLabel **lblNoHay)
{
    auto *area = new QFrame(padre);
    Nombrar(area, QStringLiteral("frmFotos"), QStringLiteral("Fotos"));
    area->setFrameShape(QFrame::StyledPanel);
    auto *rejilla = new QGridLayout(area);
    rejilla->setContentsMargins(2, 2, 2, 2);

    auto *cuadro = new CuadroFoto(area);
    Nombrar(cuadro, QStringLiteral("imgFotos"), QStringLiteral("Foto del daño"));
    rejilla->addWidget(cuadro, 0, 0);

    auto *noHay = new QLabel(QStringLiteral("NO HAY FOTOS DISPONIBLES"), area);
    Nombrar(noHay, QStringLiteral("lblNoHay"), QStringLiteral("NO HAY FOTOS DISPONIBLES"));
    noHay->setAlignment(Qt::AlignCenter);
    QFont f = noHay->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    noHay->setFont(f);
    noHay->setMinimumSize(cuadro->minimumSizeHint());
    noHay->hide();
    rejilla->addWidget(noHay, 0, 0);
    // The area keeps its size whichever of the two is shown.
    area->setMinimumSize(cuadro->minimumSizeHint() + QSize(8, 8));

    *imgFotos = cuadro;
    *lblNoHay = noHay;
    return area;
}

QLabel *CrearDescripcion(QWidget *padre)
{
    auto *descripcion = new QLabel(padre);
    Nombrar(descripcion, QStringLiteral("lblDescripcion"), QStringLiteral("Descripción"));
    descripcion->setWordWrap(true);
    descripcion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    descripcion->setTextFormat(Qt::PlainText);
    descripcion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    descripcion->setFixedWidth(320);
    descripcion->setMargin(4);
    return descripcion;
}

int16_t CuentaFotos(double valor)
{
    if (!(valor > 0.0))
        return 0;
    if (valor >= 32767.0)
        return 32767;
    return static_cast<int16_t>(std::floor(valor));
}

}  // namespace VisorFotos
