#include "reports/page_drawing.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

namespace Documentos {

void PrepararPagina(QPagedPaintDevice &d, double margen)
{
    d.setPageSize(QPageSize(QPageSize::A4));
    d.setPageOrientation(QPageLayout::Portrait);
    d.setPageMargins(QMarginsF(margen, margen, margen, margen), QPageLayout::Millimeter);
}

Pagina::Pagina(QPagedPaintDevice &d)
    : dispositivo_(d), unidadesPorMm_(d.logicalDpiY() / 25.4), area_(0, 0, d.width(), d.height())
{
}

QFont Pagina::fuente(double puntos, bool negrita) const
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    // The same glyph widths on paper and in the PDF.
    f.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: the text of the PDF is searched and copied as typed.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

double Pagina::anchoTexto(const QString &texto, const QFont &f) const
{
    return QFontMetricsF(f, &dispositivo_).horizontalAdvance(texto);
}

double Pagina::altoLinea(const QFont &f) const { return QFontMetricsF(f, &dispositivo_).height(); }

Parrafo::Parrafo(const Pagina &pagina, const QString &texto, const QFont &fuente, double ancho,
                 Qt::Alignment alineacion)
{
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    t.replace(QLatin1Char('\t'), QLatin1Char(' '));
    disposicion_ = std::make_unique<QTextLayout>(t, fuente, &pagina.dispositivo());
    QTextOption opcion(alineacion);
    opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    disposicion_->setTextOption(opcion);
    disposicion_->setCacheEnabled(true);
    disposicion_->beginLayout();
    double y = 0;
    for (;;) {
        QTextLine linea = disposicion_->createLine();
        if (!linea.isValid())
            break;
        linea.setLineWidth(ancho);
        linea.setPosition(QPointF(0, y));
        bases_.push_back(y);
        y += linea.height();
    }
    disposicion_->endLayout();
    bases_.push_back(y);
}

Parrafo::~Parrafo() = default;
Parrafo::Parrafo(Parrafo &&) noexcept = default;
Parrafo &Parrafo::operator=(Parrafo &&) noexcept = default;

int Parrafo::lineasQueCaben(int desde, double disponible) const
{
    int hasta = desde;
    while (hasta < lineas() && bases_.at(hasta + 1) - bases_.at(desde) <= disponible)
        ++hasta;
    return hasta - desde;
}

double Parrafo::ancho() const
{
    double mayor = 0;
    for (int i = 0; i < disposicion_->lineCount(); ++i)
        mayor = std::max(mayor, disposicion_->lineAt(i).naturalTextWidth());
    return mayor;
}

void Parrafo::dibujar(QPainter &p, const QPointF &origen, const QColor &color) const
{
    dibujar(p, origen, color, 0, lineas());
}

void Parrafo::dibujar(QPainter &p, const QPointF &origen, const QColor &color, int desde, int hasta) const
{
    p.setPen(color);
    const QPointF desplazamiento = origen - QPointF(0, bases_.at(desde));
    for (int i = desde; i < hasta; ++i)
        disposicion_->lineAt(i).draw(&p, desplazamiento);
}

QFont FuenteQueCabe(const Pagina &pagina, const QString &texto, const QSizeF &caja, double maximo, double minimo,
                    bool negrita)
{
    auto cabe = [&](double puntos) {
        const Parrafo parrafo(pagina, texto, pagina.fuente(puntos, negrita), caja.width());
        return parrafo.alto() <= caja.height();
    };
    if (cabe(maximo))
        return pagina.fuente(maximo, negrita);
    double bajo = minimo, alto = maximo;
    if (!cabe(bajo))
        return pagina.fuente(minimo, negrita);
    // Tenths of a point are finer than the eye tells apart on paper.
    while (alto - bajo > 0.1) {
        const double medio = (bajo + alto) / 2;
        (cabe(medio) ? bajo : alto) = medio;
    }
    return pagina.fuente(bajo, negrita);
}

}  // namespace Documentos
