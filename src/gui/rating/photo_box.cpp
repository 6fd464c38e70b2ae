#include "gui/rating/photo_box.h"

#include <QImageReader>
#include <QPainter>

CuadroFoto::CuadroFoto(QWidget *padre) : QWidget(padre)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

bool CuadroFoto::cargar(const QString &ruta)
{
    QImageReader lector(ruta);
    lector.setAutoTransform(true);
    const QImage leida = lector.read();
    if (leida.isNull()) {
        vaciar();
        return false;
    }
    ruta_ = ruta;
    imagen_ = leida;
    escalada_ = QPixmap();
    update();
    return true;
}

void CuadroFoto::vaciar()
{
    ruta_.clear();
    imagen_ = QImage();
    escalada_ = QPixmap();
    update();
}

QRect CuadroFoto::areaImagen() const
{
    if (imagen_.isNull())
        return QRect();
    const QSize caja = contentsRect().size() - QSize(8, 8);
    if (caja.width() <= 0 || caja.height() <= 0)
        return QRect();
    const QSize tam = imagen_.size().scaled(caja, Qt::KeepAspectRatio);
    const QPoint origen(contentsRect().x() + (contentsRect().width() - tam.width()) / 2,
                        contentsRect().y() + (contentsRect().height() - tam.height()) / 2);
    return QRect(origen, tam);
}

QSize CuadroFoto::sizeHint() const { return QSize(568, 428); }
QSize CuadroFoto::minimumSizeHint() const { return QSize(456, 344); }

void CuadroFoto::resizeEvent(QResizeEvent *evento)
{
    escalada_ = QPixmap();
    QWidget::resizeEvent(evento);
}

void CuadroFoto::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x3a, 0x3a, 0x3a));
    const QRect area = areaImagen();
    if (area.isEmpty())
        return;
    if (escalada_.size() != area.size())
        escalada_ = QPixmap::fromImage(imagen_.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    p.drawPixmap(area.topLeft(), escalada_);
}
