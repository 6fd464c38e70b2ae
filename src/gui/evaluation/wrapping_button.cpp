#include "gui/evaluation/wrapping_button.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTextLayout>

namespace {
constexpr int Margen = 6;
}

QStringList BotonEnvolvente::lineas() const
{
    static const QRegularExpression salto(QStringLiteral("(?<=\\S) {5,}(?=\\S)"));
    const qreal ancho = qMax(1, width() - 2 * Margen);
    QStringList resultado;
    for (const QString &parte : text().split(salto)) {
        QTextLayout capa(parte, font());
        QTextOption opcion;
        opcion.setWrapMode(QTextOption::WordWrap);
        capa.setTextOption(opcion);
        capa.beginLayout();
        for (QTextLine linea = capa.createLine(); linea.isValid(); linea = capa.createLine()) {
            linea.setLineWidth(ancho);
            QString texto = parte.mid(linea.textStart(), linea.textLength());
            // The blank at which a line breaks is not painted.
            while (texto.endsWith(QLatin1Char(' ')))
                texto.chop(1);
            resultado << texto;
        }
        capa.endLayout();
    }
    return resultado;
}

void BotonEnvolvente::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton op;
    initStyleOption(&op);
    op.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &op, &p, this);
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QStringList texto = lineas();
    const int alto = fontMetrics().lineSpacing();
    int y = (height() - alto * static_cast<int>(texto.size())) / 2;
    for (const QString &linea : texto) {
        p.drawText(QRect(Margen, y, width() - 2 * Margen, alto), Qt::AlignHCenter | Qt::AlignVCenter, linea);
        y += alto;
    }
}
