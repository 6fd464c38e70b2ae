#pragma once
// What the placard and the report share to lay text out on a page of a
// printer or a PDF writer: lengths in millimetres, the document font, and
// paragraphs wrapped at a width, measured, fitted to a box and drawn whole
// or a few lines at a time. All lengths are device units of the page's
// paint rectangle (inside its margins).

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextLayout>

#include <memory>

class QPagedPaintDevice;
class QPainter;

namespace Documentos {

// Prepares the device for the documents: A4 portrait with margins of
// `margen` millimetres (a printer keeps at least its own).
void PrepararPagina(QPagedPaintDevice &dispositivo, double margen);

class Pagina {
public:
    explicit Pagina(QPagedPaintDevice &dispositivo);

    // Device units of `milimetros` millimetres.
    double mm(double milimetros) const { return milimetros * unidadesPorMm_; }
    // The paint rectangle, origin at its top left corner.
    QRectF area() const { return area_; }
    QPagedPaintDevice &dispositivo() const { return dispositivo_; }

    // DejaVu Sans at `puntos` points, bold or not.
    QFont fuente(double puntos, bool negrita = false) const;
    double anchoTexto(const QString &texto, const QFont &fuente) const;
    double altoLinea(const QFont &fuente) const;

private:
    QPagedPaintDevice &dispositivo_;
    double unidadesPorMm_;
    QRectF area_;
};

// A text wrapped at a width: at word boundaries, and inside a word only when
// the word alone is wider than the line. Line breaks of the text are kept.
class Parrafo {
public:
    Parrafo(const Pagina &pagina, const QString &texto, const QFont &fuente, double ancho,
            Qt::Alignment alineacion = Qt::AlignLeft);
    ~Parrafo();
    Parrafo(Parrafo &&) noexcept;
    Parrafo &operator=(Parrafo &&) noexcept;

    int lineas() const { return static_cast<int>(bases_.size()) - 1; }
    double alto() const { return bases_.back(); }
    // Height of lines [desde, hasta).
    double alto(int desde, int hasta) const { return bases_.at(hasta) - bases_.at(desde); }
    // How many lines from `desde` fit in the height `disponible` (at least 0).
    int lineasQueCaben(int desde, double disponible) const;
    // The widest line.
    double ancho() const;

    void dibujar(QPainter &p, const QPointF &origen, const QColor &color) const;
    // Lines [desde, hasta) with the top of line `desde` at `origen`.
    void dibujar(QPainter &p, const QPointF &origen, const QColor &color, int desde, int hasta) const;

private:
    std::unique_ptr<QTextLayout> disposicion_;
    std::vector<double> bases_;  // top of each line, and the bottom of the last
};

// The largest font of `familia` between `minimo` and `maximo` points at
// which `texto` wrapped at the box's width fits the box's height; `minimo`
// when even that does not fit.
QFont FuenteQueCabe(const Pagina &pagina, const QString &texto, const QSizeF &caja, double maximo,
                    double minimo, bool negrita = false);

}  // namespace Documentos
