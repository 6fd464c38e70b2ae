// Draws the example pictures of the photo viewers: for every photo key and
// damage level (or condition) the number of schematic illustrations that the
// photo counts list, each drawn as that damage level is described.
//
//   orv-generar-fotos REFERENCE_FOTOS_DIR SHARE_ORV_DIR
//
// REFERENCE_FOTOS_DIR holds the count tables "Estructurales.tsv" and
// "No Estructurales.tsv" (key, level 1..5, count) and "Suelo.tsv" and
// "Preexistentes.tsv" (key, count). The pictures are written as JPEG files to
// SHARE_ORV_DIR/Fotos Daños/<key>/Nivel<N>/<prefix><i>.jpg and
// SHARE_ORV_DIR/Fotos Daños/<key>/<prefix><i>.jpg. The drawing of one picture
// depends only on its key, level and number, so every build draws the same.

#include "core/catalog/photo_keys.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr int Ancho = 640;
constexpr int Alto = 480;

// Palette of the drawings.
const QColor Papel(0xf6, 0xf4, 0xee);
const QColor Tinta(0x2b, 0x2b, 0x2b);
const QColor Concreto(0xd8, 0xd5, 0xcc);
const QColor Grano(0xa3, 0x9f, 0x94);
const QColor ColorGrieta(0x16, 0x16, 0x16);
const QColor Refuerzo(0x8a, 0x4f, 0x2a);
const QColor Ladrillo(0xc5, 0x72, 0x4e);
const QColor Mortero(0xe8, 0xdf, 0xcf);
const QColor Madera(0xcf, 0xa2, 0x68);
const QColor VetaMadera(0x9a, 0x6b, 0x37);
const QColor Acero(0x9a, 0xa6, 0xb2);
const QColor AceroOscuro(0x3d, 0x46, 0x50);
const QColor Tierra(0xcd, 0xac, 0x7c);
const QColor TierraOscura(0xa0, 0x80, 0x52);
const QColor Revoque(0xee, 0xe8, 0xda);
const QColor Suelo(0xbf, 0xa0, 0x70);
const QColor Agua(0x5f, 0x9b, 0xd0);
const QColor Nota(0xb0, 0x1e, 0x1e);
const QColor Teja(0xb8, 0x5a, 0x35);

const char *const NombreNivel[6] = {"", "Nivel I: Ninguno / Muy Leve", "Nivel II: Leve", "Nivel III: Moderado",
                                    "Nivel IV: Fuerte", "Nivel V: Severo"};

struct Dibujo {
    QPainter &p;
    QRandomGenerator rng;
    int nivel;     // 1..5; 0 for a condition
    int variante;  // photo number 1..n

    double r(double a, double b) { return a + (b - a) * rng.generateDouble(); }
    int ri(int a, int b) { return a + int(rng.bounded(quint32(b - a + 1))); }
    bool moneda() { return rng.bounded(2u) == 1; }
};

QFont Fuente(double puntos, bool negrita = false, bool cursiva = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(puntos));
    f.setBold(negrita);
    f.setItalic(cursiva);
    return f;
}

// --- basic pieces --------------------------------------------------------------

// A crack from a (widest) to b (tip): a jagged line that narrows to its tip,
// with short branches on the wider ones.
void Grieta(Dibujo &d, QPointF a, QPointF b, double ancho, double rugosidad = 5.0, bool ramas = true)
{
    const QPointF v = b - a;
    const double largo = std::hypot(v.x(), v.y());
    if (largo < 1.0)
        return;
    const QPointF normal(-v.y() / largo, v.x() / largo);
    const int n = std::max(4, int(largo / 11.0));
    QVector<QPointF> puntos;
    puntos << a;
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n;
        puntos << a + v * t + normal * d.r(-rugosidad, rugosidad);
    }
    puntos << b;
    for (int i = 0; i + 1 < puntos.size(); ++i) {
        const double t = double(i) / (puntos.size() - 1);
        QPen pluma(ColorGrieta, std::max(0.6, ancho * (1.0 - 0.75 * t)), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        d.p.setPen(pluma);
        d.p.drawLine(puntos[i], puntos[i + 1]);
    }
    if (ramas && ancho >= 1.8) {
        const int cuantas = ancho >= 3.0 ? 3 : 1;
        for (int k = 0; k < cuantas; ++k) {
            const QPointF desde = puntos[d.ri(1, puntos.size() - 2)];
            const double ang = std::atan2(v.y(), v.x()) + (d.moneda() ? 1 : -1) * d.r(0.5, 1.1);
            const double l = largo * d.r(0.12, 0.25);
            Grieta(d, desde, desde + QPointF(std::cos(ang), std::sin(ang)) * l, ancho * 0.45, rugosidad * 0.6, false);
        }
    }
}

// A label with a leader line pointing at `punto`.
void Cota(Dibujo &d, QPointF punto, QPointF caja, const QString &texto)
{
    d.p.save();
    d.p.setFont(Fuente(13, true));
    const QFontMetricsF m(d.p.font());
    QRectF r(caja, QSizeF(m.horizontalAdvance(texto) + 12, m.height() + 6));
    if (r.right() > Ancho - 10)
        r.moveRight(Ancho - 10);
    if (r.left() < 10)
        r.moveLeft(10);
    QPointF ancla(std::clamp(punto.x(), r.left(), r.right()), punto.y() < r.top() ? r.top() : r.bottom());
    if (punto.y() >= r.top() && punto.y() <= r.bottom())
        ancla = QPointF(punto.x() < r.left() ? r.left() : r.right(), r.center().y());
    d.p.setPen(QPen(Nota, 1.3));
    d.p.drawLine(punto, ancla);
    d.p.setBrush(Nota);
    d.p.drawEllipse(punto, 2.6, 2.6);
    d.p.setBrush(QColor(255, 255, 255, 235));
    d.p.drawRoundedRect(r, 3, 3);
    d.p.setPen(Nota);
    d.p.drawText(r, Qt::AlignCenter, texto);
    d.p.restore();
}

// Short explanatory text, plain, at a point.
void Texto(Dibujo &d, QPointF en, const QString &texto, double tam = 12, QColor color = Tinta, bool negrita = false)
{
    d.p.save();
    d.p.setFont(Fuente(tam, negrita));
    d.p.setPen(color);
    d.p.drawText(en, texto);
    d.p.restore();
}

// A concrete body: light grey with aggregate stippling and a firm outline.
void CuerpoConcreto(Dibujo &d, const QPainterPath &forma)
{
    d.p.save();
    d.p.setPen(Qt::NoPen);
    d.p.setBrush(Concreto);
    d.p.drawPath(forma);
    d.p.setClipPath(forma);
    const QRectF caja = forma.boundingRect();
    const int puntos = int(caja.width() * caja.height() / 90.0);
    d.p.setPen(QPen(Grano, 1.0));
    for (int i = 0; i < puntos; ++i) {
        const QPointF q(d.r(caja.left(), caja.right()), d.r(caja.top(), caja.bottom()));
        if (d.rng.bounded(5u) == 0) {
            const double s = d.r(1.5, 3.2);
            QPolygonF tri{q, q + QPointF(s, s * 0.4), q + QPointF(s * 0.3, s)};
            d.p.drawPolygon(tri);
        } else {
            d.p.drawPoint(q);
        }
    }
    d.p.restore();
    d.p.setPen(QPen(Tinta, 2.0));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawPath(forma);
}

QPainterPath Rect(double x, double y, double w, double h)
{
    QPainterPath c;
    c.addRect(QRectF(x, y, w, h));
    return c;
}

// An irregular blob (spalled area, hole, debris).
QPainterPath Mancha(Dibujo &d, QPointF c, double rx, double ry, int lados = 13)
{
    QPainterPath m;
    for (int i = 0; i < lados; ++i) {
        const double a = 2 * M_PI * i / lados;
        const double k = d.r(0.72, 1.12);
        const QPointF q = c + QPointF(std::cos(a) * rx * k, std::sin(a) * ry * k);
        if (i == 0)
            m.moveTo(q);
        else
            m.lineTo(q);
    }
    m.closeSubpath();
    return m;
}

// A reinforcing bar from a to b; `comba` bows it sideways (buckled bar).
void Barra(Dibujo &d, QPointF a, QPointF b, double comba = 0.0, double grosor = 5.0)
{
    QPainterPath c(a);
    const QPointF v = b - a;
    const double l = std::hypot(v.x(), v.y());
    const QPointF n(-v.y() / l, v.x() / l);
    c.quadTo((a + b) / 2 + n * comba * 2, b);
    d.p.setPen(QPen(QColor(0x4a, 0x2a, 0x14), grosor + 1.6, Qt::SolidLine, Qt::RoundCap));
    d.p.drawPath(c);
    d.p.setPen(QPen(Refuerzo, grosor, Qt::SolidLine, Qt::RoundCap));
    d.p.drawPath(c);
    // ribs
    d.p.setPen(QPen(QColor(0x5a, 0x32, 0x18), 1.0));
    for (double t = 0.04; t < 1.0; t += 0.045) {
        const QPointF q = c.pointAtPercent(t);
        const double ang = c.angleAtPercent(t) * M_PI / 180.0;
        const QPointF perp(std::sin(ang), std::cos(ang));
        d.p.drawLine(q - perp * grosor * 0.55, q + perp * grosor * 0.55);
    }
}

// Spalled cover: a rough hollow; with exposed bars running `vertical` or
// horizontally inside, bowed when `pandeo`.
void Desprendimiento(Dibujo &d, QPointF c, double rx, double ry, bool barras, bool vertical, double pandeo = 0.0)
{
    const QPainterPath m = Mancha(d, c, rx, ry);
    d.p.save();
    d.p.setPen(QPen(QColor(0x55, 0x50, 0x48), 1.4));
    d.p.setBrush(QColor(0xb0, 0xa9, 0x9a));
    d.p.drawPath(m);
    d.p.setClipPath(m);
    d.p.setPen(QPen(QColor(0x8a, 0x84, 0x77), 1.0));
    for (int i = 0; i < int(rx * ry / 25); ++i) {
        const QPointF q(d.r(c.x() - rx, c.x() + rx), d.r(c.y() - ry, c.y() + ry));
        d.p.drawEllipse(q, d.r(0.8, 2.4), d.r(0.8, 2.0));
    }
    if (barras) {
        if (vertical) {
            for (double x : {c.x() - rx * 0.45, c.x() + rx * 0.45}) {
                Barra(d, QPointF(x, c.y() - ry * 1.2), QPointF(x, c.y() + ry * 1.2), x < c.x() ? -pandeo : pandeo);
            }
            d.p.setPen(QPen(QColor(0x6a, 0x3c, 0x1e), 2.4));
            d.p.drawLine(QPointF(c.x() - rx, c.y() - ry * 0.35), QPointF(c.x() + rx, c.y() - ry * 0.35));
        } else {
            for (double y : {c.y() - ry * 0.35, c.y() + ry * 0.35})
                Barra(d, QPointF(c.x() - rx * 1.2, y), QPointF(c.x() + rx * 1.2, y), y < c.y() ? -pandeo : pandeo);
            d.p.setPen(QPen(QColor(0x6a, 0x3c, 0x1e), 2.4));
            d.p.drawLine(QPointF(c.x() + rx * 0.2, c.y() - ry), QPointF(c.x() + rx * 0.2, c.y() + ry));
        }
    }
    d.p.restore();
}

// Debris on the floor along a line.
void Escombros(Dibujo &d, double x0, double x1, double piso, int cuantos, QColor color = QColor(0xa9, 0xa3, 0x96))
{
    d.p.save();
    d.p.setPen(QPen(QColor(0x55, 0x50, 0x48), 1.0));
    for (int i = 0; i < cuantos; ++i) {
        const double s = d.r(4, 13);
        const QPointF c(d.r(x0, x1), piso - s * 0.45);
        d.p.setBrush(color.darker(d.ri(95, 125)));
        d.p.drawPath(Mancha(d, c, s, s * 0.55, 7));
    }
    d.p.restore();
}

// Ground below y: section hatch.
void Terreno(Dibujo &d, double y, double x0 = 16, double x1 = Ancho - 16)
{
    d.p.save();
    d.p.setPen(QPen(Tinta, 2));
    d.p.drawLine(QPointF(x0, y), QPointF(x1, y));
    d.p.setPen(QPen(QColor(0x6b, 0x5a, 0x40), 1));
    for (double x = x0; x < x1 - 10; x += 12)
        d.p.drawLine(QPointF(x + 10, y + 1), QPointF(x, y + 11));
    d.p.restore();
}

// Section hatching of a cut piece.
void Achurado(Dibujo &d, const QPainterPath &forma, double paso = 8, QColor color = QColor(0x55, 0x55, 0x55))
{
    d.p.save();
    d.p.setClipPath(forma);
    d.p.setPen(QPen(color, 1));
    const QRectF b = forma.boundingRect();
    for (double x = b.left() - b.height(); x < b.right(); x += paso)
        d.p.drawLine(QPointF(x, b.bottom()), QPointF(x + b.height(), b.top()));
    d.p.restore();
    d.p.setPen(QPen(Tinta, 1.6));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawPath(forma);
}

// Dashed reference line (plumb, original position).
void Referencia(Dibujo &d, QPointF a, QPointF b)
{
    d.p.save();
    QPen pluma(QColor(0x30, 0x60, 0xa0), 1.4, Qt::DashLine);
    d.p.setPen(pluma);
    d.p.drawLine(a, b);
    d.p.restore();
}

// An arrow from a to b (displacement, movement).
void Flecha(Dibujo &d, QPointF a, QPointF b, QColor color = Nota, double grosor = 2.0)
{
    d.p.save();
    d.p.setPen(QPen(color, grosor, Qt::SolidLine, Qt::RoundCap));
    d.p.drawLine(a, b);
    const double ang = std::atan2(b.y() - a.y(), b.x() - a.x());
    const double s = 6 + grosor * 2;
    QPolygonF punta{b, b - QPointF(std::cos(ang - 0.4), std::sin(ang - 0.4)) * s,
                    b - QPointF(std::cos(ang + 0.4), std::sin(ang + 0.4)) * s};
    d.p.setBrush(color);
    d.p.drawPolygon(punta);
    d.p.restore();
}

// Crack width text of each level for the concrete-like elements.
QString AnchoConcreto(int nivel)
{
    switch (nivel) {
    case 1: return QStringLiteral("e < 0.2 mm");
    case 2: return QStringLiteral("e = 0.2 - 1.0 mm");
    case 3: return QStringLiteral("e = 1.0 - 2.0 mm");
    case 4: return QStringLiteral("e > 2.0 mm");
    default: return QStringLiteral("aplastamiento");
    }
}
// Drawn width (pixels) of the main cracks of a level.
double Trazo(int nivel)
{
    static const double t[6] = {0, 0.7, 1.4, 2.4, 3.6, 5.0};
    return t[std::clamp(nivel, 0, 5)];
}

// --- concrete ------------------------------------------------------------------

QString DibujarViga(Dibujo &d)
{
    const int n = d.nivel;
    const double y0 = 180, y1 = 262, x0 = 110, x1 = 530;
    CuerpoConcreto(d, Rect(40, 70, 70, 350));
    CuerpoConcreto(d, Rect(530, 70, 70, 350));
    QPainterPath viga = Rect(x0, y0, x1 - x0, y1 - y0);
    viga.addRect(QRectF(40, 158, 560, 22));
    CuerpoConcreto(d, viga.simplified());
    Texto(d, QPointF(230, 150), QStringLiteral("losa"), 12, QColor(0x55, 0x55, 0x55));
    Terreno(d, 420);

    const double w = Trazo(n);
    const bool izquierda = d.variante % 2 == 1;
    d.p.save();
    d.p.setClipRect(QRectF(x0, y0 - 22, x1 - x0, y1 - y0 + 22));
    // Flexural cracks rising from the bottom face near midspan.
    const int flexion = n == 1 ? 2 : n == 2 ? 4 : 6;
    QPointF primera;
    for (int i = 0; i < flexion; ++i) {
        const double x = 250 + i * (140.0 / flexion) + d.r(-8, 8);
        const double alto = (n == 1 ? 18 : 26 + n * 7) * d.r(0.8, 1.1);
        Grieta(d, QPointF(x, y1), QPointF(x + d.r(-4, 4), y1 - alto), w * 0.8, 2.5);
        if (i == 0)
            primera = QPointF(x, y1 - 4);
    }
    // Shear cracks near the supports from level II on.
    if (n >= 2) {
        for (int lado = 0; lado < 2; ++lado) {
            if (n == 2 && (lado == 0) != izquierda)
                continue;
            const double xs = lado == 0 ? x0 + 20 : x1 - 20;
            const double dir = lado == 0 ? 1 : -1;
            Grieta(d, QPointF(xs + dir * 10, y1), QPointF(xs + dir * (60 + n * 8), y0 + 8), w, 4);
            if (n >= 3)
                Grieta(d, QPointF(xs + dir * 45, y1), QPointF(xs + dir * 110, y0 + 14), w * 0.8, 4);
        }
    }
    const double xsp = izquierda ? x0 + 70 : x1 - 70;
    if (n == 3)
        Desprendimiento(d, QPointF(xsp, y1 - 6), 18, 7, false, false);
    if (n >= 4)
        Desprendimiento(d, QPointF(xsp, y1 - 14), 44, 14, true, false, n == 5 ? 5.0 : 0.0);
    d.p.restore();
    if (n == 5) {
        Desprendimiento(d, QPointF(izquierda ? x0 + 22 : x1 - 22, y0 + 24), 20, 22, true, true, 4.0);
        Referencia(d, QPointF(x0, y1 + 18), QPointF(x1, y1 + 18));
        QPainterPath flecha(QPointF(x0, y1 + 18));
        flecha.quadTo(QPointF((x0 + x1) / 2, y1 + 52), QPointF(x1, y1 + 18));
        d.p.setPen(QPen(Nota, 1.6, Qt::DashDotLine));
        d.p.drawPath(flecha);
        Texto(d, QPointF(260, y1 + 64), QStringLiteral("deflexión excesiva"), 12, Nota);
    }
    Cota(d, primera, QPointF(300, 96), AnchoConcreto(n));
    if (n >= 4)
        Cota(d, QPointF(xsp, y1 - 14), QPointF(xsp - 60, 330), QStringLiteral("refuerzo expuesto"));
    static const char *const notas[6] = {"", "Fisuras capilares en la cara inferior, casi imperceptibles",
                                         "Fisuras visibles de flexión y una inclinada cerca del apoyo",
                                         "Grietas de flexión y cortante, recubrimiento suelto",
                                         "Grietas anchas, recubrimiento perdido y barras a la vista",
                                         "Concreto aplastado en el apoyo y barras pandeadas"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarColumna(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 430);
    CuerpoConcreto(d, Rect(40, 56, 560, 44));
    CuerpoConcreto(d, Rect(200, 100, 240, 30));  // beam under the slab
    d.p.save();
    if (n == 5) {
        d.p.translate(320, 410);
        d.p.rotate(d.variante == 2 ? -3.5 : 3.5);
        d.p.translate(-320, -410);
    }
    const double x0 = 268, x1 = 372, y0 = 130, y1 = 410;
    CuerpoConcreto(d, Rect(x0, y0, x1 - x0, y1 - y0));
    d.p.save();
    d.p.setClipRect(QRectF(x0, y0, x1 - x0, y1 - y0), Qt::IntersectClip);
    const double w = Trazo(n);
    QPointF marca;
    // Horizontal flexural cracks near both ends.
    const int horizontales = n == 1 ? 2 : 3;
    for (int i = 0; i < horizontales; ++i) {
        const double y = y0 + 20 + i * 24 + d.r(-4, 4);
        const bool izq = (i + d.variante) % 2 == 0;
        Grieta(d, QPointF(izq ? x0 : x1, y), QPointF(izq ? x0 + d.r(25, 55) : x1 - d.r(25, 55), y + d.r(-4, 4)), w * 0.8, 2);
        if (i == 0)
            marca = QPointF(izq ? x0 + 6 : x1 - 6, y);
        const double yb = y1 - 16 - i * 24;
        Grieta(d, QPointF(izq ? x1 : x0, yb), QPointF(izq ? x1 - d.r(25, 50) : x0 + d.r(25, 50), yb + d.r(-4, 4)), w * 0.7, 2);
    }
    // Diagonal (shear) cracks from level II; crossing from level III.
    if (n >= 2)
        Grieta(d, QPointF(x0 + 4, 210), QPointF(x1 - 4, 320), w, 5);
    if (n >= 3)
        Grieta(d, QPointF(x1 - 4, 205), QPointF(x0 + 4, 325), w * 0.9, 5);
    d.p.restore();
    if (n == 3)
        Desprendimiento(d, QPointF(x1 - 10, y1 - 20), 12, 16, false, true);
    if (n >= 4)
        Desprendimiento(d, QPointF((x0 + x1) / 2, y1 - 45), 42, 36, true, true, n == 5 ? 7.0 : 0.0);
    if (n == 5)
        Desprendimiento(d, QPointF((x0 + x1) / 2, y0 + 40), 40, 28, true, true, 4.0);
    d.p.restore();
    CuerpoConcreto(d, Rect(180, 410, 280, 20));
    if (n == 5) {
        Referencia(d, QPointF(x0, y0), QPointF(x0, y1));
        Texto(d, QPointF(x0 - 120, 200), QStringLiteral("inclinación"), 13, Nota, true);
        Escombros(d, 200, 440, 410, 16);
        Cota(d, QPointF((x0 + x1) / 2 + 22, y1 - 45), QPointF(450, 300), QStringLiteral("barras pandeadas"));
    } else if (n == 4) {
        Cota(d, QPointF((x0 + x1) / 2 + 16, y1 - 45), QPointF(450, 320), QStringLiteral("refuerzo expuesto"));
    }
    Cota(d, marca, QPointF(440, 150), AnchoConcreto(n));
    static const char *const notas[6] = {"", "Fisuras capilares horizontales cerca de los extremos",
                                         "Fisuras de flexión visibles y una grieta inclinada",
                                         "Grietas diagonales cruzadas, recubrimiento suelto en la base",
                                         "Recubrimiento perdido en la base, barras longitudinales expuestas",
                                         "Núcleo aplastado, barras pandeadas y columna inclinada"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarNudo(Dibujo &d)
{
    const int n = d.nivel;
    const double cx0 = 270, cx1 = 370, by0 = 190, by1 = 280;
    QPainterPath cruz = Rect(cx0, 60, cx1 - cx0, 370);
    cruz.addRect(QRectF(40, by0, 560, by1 - by0));
    cruz.setFillRule(Qt::WindingFill);
    cruz = cruz.simplified();
    CuerpoConcreto(d, cruz);
    d.p.save();
    d.p.setClipPath(cruz);
    d.p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1, Qt::DotLine));
    d.p.drawRect(QRectF(cx0, by0, cx1 - cx0, by1 - by0));
    Texto(d, QPointF(cx1 + 8, by0 - 8), QStringLiteral("nudo"), 12, QColor(0x55, 0x55, 0x55));
    const double w = Trazo(n);
    const double m = 8;
    Grieta(d, QPointF(cx0 + m, by0 + m), QPointF(cx1 - m, by1 - m), w, 3);
    if (n >= 2)
        Grieta(d, QPointF(cx1 - m, by0 + m), QPointF(cx0 + m, by1 - m), w * 0.9, 3);
    if (n >= 3) {
        Grieta(d, QPointF(cx0 + 30, by0 + 4), QPointF(cx1 - 4, by1 - 34), w * 0.7, 3);
        Grieta(d, QPointF(cx0 - 2, by1 - 6), QPointF(cx0 - 40, by1 - 2), w * 0.7, 2);  // beam end crack
        Grieta(d, QPointF(cx1 + 2, by0 + 6), QPointF(cx1 + 40, by0 + 2), w * 0.7, 2);
    }
    d.p.restore();
    if (n >= 4)
        Desprendimiento(d, QPointF((cx0 + cx1) / 2, (by0 + by1) / 2), 34, 28, true, true, n == 5 ? 4.0 : 0.0);
    if (n == 5) {
        Desprendimiento(d, QPointF((cx0 + cx1) / 2, by0 - 40), 34, 30, true, true, 6.0);
        Cota(d, QPointF((cx0 + cx1) / 2 + 18, by0 - 40), QPointF(420, 90), QStringLiteral("barras pandeadas"));
    }
    Cota(d, QPointF((cx0 + cx1) / 2 - 20, (by0 + by1) / 2 - 16), QPointF(60, 110), AnchoConcreto(n));
    static const char *const notas[6] = {"", "Fisura capilar diagonal en el nudo", "Fisuras diagonales cruzadas visibles",
                                         "Grietas cruzadas en el nudo y en los extremos de la viga",
                                         "Concreto del nudo desprendido, refuerzo expuesto",
                                         "Nudo aplastado y barras de la columna pandeadas"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarMuroConcreto(Dibujo &d)
{
    const int n = d.nivel;
    const double x0 = 110, x1 = 530, y0 = 100, y1 = 410;
    CuerpoConcreto(d, Rect(30, 76, 580, 24));
    CuerpoConcreto(d, Rect(x0, y0, x1 - x0, y1 - y0));
    d.p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
    d.p.drawLine(QPointF(x0 + 40, y0), QPointF(x0 + 40, y1));
    d.p.drawLine(QPointF(x1 - 40, y0), QPointF(x1 - 40, y1));
    Terreno(d, 410);
    const double w = Trazo(n);
    const int diagonales = n == 1 ? 1 : n == 2 ? 3 : 4;
    QPointF marca;
    d.p.save();
    d.p.setClipRect(QRectF(x0, y0, x1 - x0, y1 - y0));
    for (int i = 0; i < diagonales; ++i) {
        const double off = (i - diagonales / 2) * 60 + d.r(-10, 10);
        const QPointF a(x0 + 60 + off, y0 + 40), b(x1 - 80 + off, y1 - 30);
        const QPointF aa = a + (b - a) * (n == 1 ? 0.35 : 0.0), bb = a + (b - a) * (n == 1 ? 0.6 : 1.0);
        Grieta(d, aa, bb, w * (i == diagonales / 2 ? 1.0 : 0.7), 5);
        if (i == diagonales / 2)
            marca = (aa + bb) / 2;
    }
    if (n >= 3)
        for (int i = 0; i < diagonales - 1; ++i) {
            const double off = (i - diagonales / 2) * 60 + d.r(-10, 10);
            Grieta(d, QPointF(x1 - 60 + off, y0 + 40), QPointF(x0 + 80 + off, y1 - 30), w * 0.7, 5);
        }
    d.p.restore();
    if (n >= 4)
        Desprendimiento(d, QPointF(d.variante % 2 ? x0 + 40 : x1 - 40, y1 - 40), 38, 36, true, true, n == 5 ? 6.0 : 0.0);
    if (n == 5) {
        d.p.setPen(QPen(ColorGrieta, 4));
        d.p.drawLine(QPointF(x0, y1 - 8), QPointF(x1, y1 - 6));
        Flecha(d, QPointF(x1 + 10, y1 - 30), QPointF(x1 + 55, y1 - 30));
        Texto(d, QPointF(x1 - 60, y1 - 44), QStringLiteral("deslizamiento"), 12, Nota);
        Escombros(d, x0, x1, y1, 14);
    }
    Cota(d, marca, QPointF(400, 58), AnchoConcreto(n));
    static const char *const notas[6] = {"", "Fisura capilar inclinada en el alma del muro",
                                         "Fisuras diagonales visibles a simple vista",
                                         "Grietas diagonales en ambas direcciones",
                                         "Grietas anchas y borde del muro sin recubrimiento",
                                         "Borde aplastado, barras pandeadas y deslizamiento en la base"};
    return QString::fromUtf8(notas[n]);
}

// --- masonry, bahareque, rammed earth -----------------------------------------------

constexpr double LadrilloAncho = 40, LadrilloAlto = 14, Junta = 3;

void MuroLadrillo(Dibujo &d, const QRectF &r, QColor color = Ladrillo)
{
    d.p.save();
    d.p.setClipRect(r);
    d.p.fillRect(r, Mortero);
    d.p.setPen(QPen(color.darker(130), 0.8));
    int fila = 0;
    for (double y = r.top(); y < r.bottom(); y += LadrilloAlto + Junta, ++fila) {
        const double inicio = r.left() - (fila % 2 ? LadrilloAncho / 2 : 0);
        for (double x = inicio; x < r.right(); x += LadrilloAncho + Junta) {
            d.p.setBrush(color.darker(d.ri(92, 112)));
            d.p.drawRect(QRectF(x, y, LadrilloAncho, LadrilloAlto));
        }
    }
    d.p.restore();
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawRect(r);
}

// A stair-stepped crack along the mortar joints, from a down to b.
void GrietaEscalonada(Dibujo &d, QPointF a, QPointF b, double ancho)
{
    const double paso = LadrilloAlto + Junta;
    const int filas = std::max(1, int(std::abs(b.y() - a.y()) / paso));
    const double dx = (b.x() - a.x()) / filas;
    QPointF q = a;
    for (int i = 0; i < filas; ++i) {
        const double t = double(i) / filas;
        const double w = std::max(0.6, ancho * (1.0 - 0.6 * std::abs(t - 0.5) * 2));
        const QPointF abajo = q + QPointF(d.r(-1.5, 1.5), paso);
        const QPointF lado = abajo + QPointF(dx, 0);
        d.p.setPen(QPen(ColorGrieta, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        d.p.drawLine(q, abajo);
        d.p.drawLine(abajo, lado);
        q = lado;
    }
}

void LadrillosDesplazados(Dibujo &d, QPointF c, int cuantos, double separacion)
{
    for (int i = 0; i < cuantos; ++i) {
        d.p.save();
        d.p.translate(c + QPointF(d.r(-separacion, separacion), d.r(-separacion, separacion) * 0.6));
        d.p.rotate(d.r(-14, 14));
        d.p.setPen(QPen(QColor(0x50, 0x2a, 0x1a), 1.2));
        d.p.setBrush(Ladrillo.darker(d.ri(100, 120)));
        d.p.drawRect(QRectF(-LadrilloAncho / 2, -LadrilloAlto / 2, LadrilloAncho, LadrilloAlto));
        d.p.restore();
    }
}

void Hueco(Dibujo &d, QPointF c, double rx, double ry)
{
    d.p.save();
    d.p.setPen(QPen(QColor(0x30, 0x22, 0x18), 1.4));
    d.p.setBrush(QColor(0x4a, 0x3c, 0x30));
    d.p.drawPath(Mancha(d, c, rx, ry, 9));
    d.p.restore();
}

QString AnchoMamposteria(int nivel)
{
    switch (nivel) {
    case 1: return QStringLiteral("e < 0.2 mm");
    case 2: return QStringLiteral("e = 0.2 - 1.0 mm");
    case 3: return QStringLiteral("e = 1.0 - 3.0 mm");
    default: return QStringLiteral("e > 3.0 mm");
    }
}

QString DibujarMamposteria(Dibujo &d)
{
    const int n = d.nivel;
    // The third picture of each level shows a wall without confining elements.
    const bool confinado = d.variante != 3;
    const double x0 = 110, x1 = 530, y0 = 110, y1 = 400;
    Terreno(d, 420);
    CuerpoConcreto(d, Rect(70, 400, 500, 20));
    d.p.save();
    if (n == 5) {
        d.p.translate(x0, y1);
        d.p.shear(d.variante == 2 ? -0.05 : 0.05, 0);
        d.p.translate(-x0, -y1);
    }
    MuroLadrillo(d, QRectF(x0, y0, x1 - x0, y1 - y0));
    if (confinado) {
        CuerpoConcreto(d, Rect(x0 - 34, 80, 34, 320));
        CuerpoConcreto(d, Rect(x1, 80, 34, 320));
        CuerpoConcreto(d, Rect(x0 - 34, 80, x1 - x0 + 68, 30));
    } else {
        CuerpoConcreto(d, Rect(x0 - 10, 90, x1 - x0 + 20, 20));
    }
    const double w = Trazo(n) * (n >= 4 ? 1.2 : 1.0);
    QPointF marca;
    if (n <= 2) {
        for (int i = 0; i < (n == 1 ? 2 : 4); ++i) {
            const QPointF a(d.r(x0 + 60, x1 - 120), d.r(y0 + 40, y1 - 120));
            const double largo = n == 1 ? 40 : 80;
            GrietaEscalonada(d, a, a + QPointF(largo, largo * 0.8), w);
            if (i == 0)
                marca = a + QPointF(6, 17);
        }
    } else {
        const double corre = d.r(0, 70);
        GrietaEscalonada(d, QPointF(x0 + 6 + corre, y0 + 4), QPointF(x1 - 20 - corre * 0.5, y1 - 10), w);
        marca = QPointF((x0 + x1) / 2 + corre * 0.25, (y0 + y1) / 2);
        if (n >= 4)
            GrietaEscalonada(d, QPointF(x1 - 60, y0 + 4), QPointF(x0 + 20, y1 - 10), w * 0.9);
        if (confinado) {
            Grieta(d, QPointF(x1 + 2, y0 + 6), QPointF(x1 + 30, y0 + 40), n >= 5 ? 3.0 : 0.9, 2, false);
            if (n == 5) {
                Grieta(d, QPointF(x0 - 2, y1 - 10), QPointF(x0 - 32, y1 - 50), 3.0, 2, false);
                Desprendimiento(d, QPointF(x1 + 17, y0 + 30), 15, 22, true, true, 2.5);
            }
        }
    }
    if (n >= 4)
        LadrillosDesplazados(d, QPointF((x0 + x1) / 2 + 20, (y0 + y1) / 2 + 10), n == 4 ? 3 : 5, 40);
    if (n == 5) {
        Hueco(d, QPointF(x0 + 60, y1 - 40), 26, 18);
        Hueco(d, QPointF(x1 - 90, y0 + 70), 20, 14);
    }
    d.p.restore();
    if (n == 5) {
        Referencia(d, QPointF(x1 + (confinado ? 34 : 0), y0 - 30), QPointF(x1 + (confinado ? 34 : 0), y1));
        Escombros(d, x0, x1, 400, 18, Ladrillo);
    }
    Cota(d, marca, QPointF(400, 52), AnchoMamposteria(n));
    if (!confinado)
        Texto(d, QPointF(24, 70), QStringLiteral("muro sin confinar"), 12, QColor(0x55, 0x55, 0x55));
    static const char *const notas[6] = {"", "Grietas pequeñas, difícilmente visibles, en las juntas",
                                         "Grietas visibles a simple vista en las juntas",
                                         "Agrietamiento diagonal incipiente en escalera",
                                         "Agrietamiento diagonal en X y piezas dislocadas",
                                         "Piezas desprendidas, esquinas aplastadas y muro desplomado"};
    return QString::fromUtf8(notas[n]);
}

// Timber frame of a bahareque or timber wall: soleras, pies derechos, diagonals.
void EntramadoBahareque(Dibujo &d, const QRectF &r, bool roto)
{
    d.p.save();
    d.p.setPen(QPen(VetaMadera.darker(140), 1.4));
    d.p.setBrush(Madera);
    d.p.drawRect(QRectF(r.left(), r.top(), r.width(), 14));
    d.p.drawRect(QRectF(r.left(), r.bottom() - 14, r.width(), 14));
    for (double x = r.left(); x <= r.right() - 10; x += 84)
        d.p.drawRect(QRectF(x, r.top() + 14, 11, r.height() - 28));
    d.p.setPen(QPen(VetaMadera.darker(140), 10, Qt::SolidLine, Qt::FlatCap));
    const QPointF a(r.left() + 10, r.bottom() - 14), b(r.left() + 170, r.top() + 14);
    if (roto) {
        d.p.drawLine(a, a + (b - a) * 0.42);
        d.p.drawLine(a + (b - a) * 0.52, b);
    } else {
        d.p.drawLine(a, b);
    }
    d.p.setPen(QPen(Madera, 7, Qt::SolidLine, Qt::FlatCap));
    if (roto) {
        d.p.drawLine(a, a + (b - a) * 0.42);
        d.p.drawLine(a + (b - a) * 0.52, b);
    } else {
        d.p.drawLine(a, b);
    }
    d.p.restore();
}

void Esterilla(Dibujo &d, const QPainterPath &zona)
{
    d.p.save();
    d.p.setClipPath(zona);
    d.p.fillPath(zona, QColor(0xd9, 0xc2, 0x8e));
    d.p.setPen(QPen(QColor(0xa3, 0x85, 0x4c), 1.2));
    const QRectF b = zona.boundingRect();
    for (double x = b.left(); x < b.right(); x += 6)
        d.p.drawLine(QPointF(x, b.top()), QPointF(x + 1, b.bottom()));
    d.p.restore();
    d.p.setPen(QPen(QColor(0x70, 0x60, 0x48), 1.2));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawPath(zona);
}

QString DibujarBahareque(Dibujo &d)
{
    const int n = d.nivel;
    const double x0 = 80, x1 = 560, y0 = 110, y1 = 400;
    const QRectF muro(x0, y0, x1 - x0, y1 - y0);
    Terreno(d, 420);
    CuerpoConcreto(d, Rect(60, 400, 520, 20));
    // Roof beam resting on the wall.
    d.p.setPen(QPen(VetaMadera.darker(140), 1.4));
    d.p.setBrush(Madera.darker(105));
    const double levanta = n >= 4 ? 12 : 0;
    QPolygonF vigaCubierta{QPointF(40, 96), QPointF(600, 96 - levanta), QPointF(600, 110 - levanta), QPointF(40, 110)};
    d.p.drawPolygon(vigaCubierta);
    d.p.save();
    if (n == 5) {
        d.p.translate(x0, y1);
        d.p.shear(d.variante == 2 ? 0.09 : -0.09, 0);
        d.p.translate(-x0, -y1);
    }
    // Plastered face with a window; a cut-away corner shows the frame and the cane mat.
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(Revoque);
    d.p.drawRect(muro);
    const QRectF ventana(300, 180, 120, 100);
    d.p.setBrush(QColor(0xb8, 0xcf, 0xdf));
    d.p.drawRect(ventana);
    d.p.setPen(QPen(Tinta, 1.2));
    d.p.drawLine(ventana.center().x(), ventana.top(), ventana.center().x(), ventana.bottom());
    QPainterPath corte;
    corte.moveTo(x0, y1);
    corte.lineTo(x0, y0 + 120);
    corte.lineTo(x0 + 70, y0 + 150);
    corte.lineTo(x0 + 200, y1);
    corte.closeSubpath();
    Esterilla(d, corte);
    d.p.save();
    d.p.setClipPath(corte);
    EntramadoBahareque(d, muro, n == 5);
    d.p.restore();

    const double w = Trazo(n) * 0.9;
    QPointF marca = ventana.topLeft();
    if (n >= 2) {
        Grieta(d, ventana.topLeft(), ventana.topLeft() + QPointF(-40, -45), w, 3);
        Grieta(d, ventana.bottomRight(), ventana.bottomRight() + QPointF(45, 50), w, 3);
        if (n >= 3) {
            Grieta(d, ventana.topRight(), ventana.topRight() + QPointF(50, -55), w, 3);
            Grieta(d, ventana.bottomLeft(), ventana.bottomLeft() + QPointF(-55, 60), w, 3);
            Grieta(d, QPointF(x1 - 4, y0 + 10), QPointF(x1 - 8, y1 - 20), w, 3);  // vertical crack at the corner
            d.p.setPen(QPen(AceroOscuro, 1.5));
            d.p.setBrush(Acero);
            for (int i = 0; i < 4; ++i)
                d.p.drawEllipse(QPointF(x1 - 40, y0 + 40 + i * 70), 3.5, 3.5);
            marca = QPointF(x1 - 6, y0 + 120);
        }
    }
    if (n >= 4) {
        for (int i = 0; i < 3; ++i) {
            const QPointF a(d.r(x0 + 220, x1 - 60), d.r(y0 + 20, y1 - 120));
            Grieta(d, a, a + QPointF(d.moneda() ? 70 : -70, 80), w, 4);
        }
        const QPainterPath perdida = Mancha(d, QPointF(470, 330), 60, 40);
        Esterilla(d, perdida);
        Cota(d, QPointF(470, 330), QPointF(420, 440 - 30), QStringLiteral("revoque desprendido"));
    }
    d.p.restore();
    if (n >= 4) {
        Flecha(d, QPointF(560, 70), QPointF(560, 90 - levanta));
        Texto(d, QPointF(430, 66), QStringLiteral("apoyo de cubierta"), 12, Nota);
    }
    if (n == 5) {
        Referencia(d, QPointF(x1, y0 - 10), QPointF(x1, y1));
        Cota(d, QPointF(x0 + 60, y1 - 80), QPointF(40, 52), QStringLiteral("diagonal rota"));
        Escombros(d, x0, x1, 400, 14, Revoque.darker(115));
    }
    if (n == 1)
        Cota(d, QPointF(200, 200), QPointF(360, 52), QStringLiteral("revoque sin grietas"));
    else if (n < 5)
        Cota(d, marca, QPointF(n == 4 ? 150 : 360, 52),
             n == 2 ? QStringLiteral("grietas en esquinas de vanos") : QStringLiteral("grietas en el revoque"));
    static const char *const notas[6] = {"", "Revoque sin agrietamiento; uniones sanas",
                                         "Grietas incipientes del revoque en las esquinas de los vanos",
                                         "Grietas verticales en esquinas y diagonales; clavos que se salen",
                                         "Grietas diagonales generalizadas, revoque perdido, apoyo de cubierta parcial",
                                         "Deformación permanente, diagonal rota y muro desplomado"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarTapia(Dibujo &d)
{
    const int n = d.nivel;
    const double x0 = 90, x1 = 550, y0 = 100, y1 = 390;
    Terreno(d, 420);
    // Stone plinth.
    d.p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    for (double x = 70; x < 570; x += 30) {
        d.p.setBrush(QColor(0x9a, 0x96, 0x8c).darker(d.ri(95, 115)));
        d.p.drawPath(Mancha(d, QPointF(x + 15, 405), 16, 13, 8));
    }
    d.p.save();
    if (n == 5) {
        d.p.translate(x0, y1);
        d.p.shear(d.variante == 2 ? 0.07 : -0.07, 0);
        d.p.translate(-x0, -y1);
    }
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(Tierra);
    d.p.drawRect(QRectF(x0, y0, x1 - x0, y1 - y0));
    d.p.setPen(QPen(TierraOscura, 1.6));
    for (double y = y0 + 58; y < y1; y += 58)
        d.p.drawLine(QPointF(x0, y), QPointF(x1, y));
    d.p.setPen(QPen(TierraOscura.lighter(110), 1));
    for (int i = 0; i < 400; ++i)
        d.p.drawPoint(QPointF(d.r(x0, x1), d.r(y0, y1)));
    d.p.setBrush(TierraOscura.darker(130));
    d.p.setPen(Qt::NoPen);
    for (double y = y0 + 58; y < y1; y += 116)
        for (double x = x0 + 50; x < x1; x += 110)
            d.p.drawEllipse(QPointF(x, y), 5, 4);

    static const double anchos[6] = {0, 0.8, 1.8, 3.2, 4.8, 6.0};
    const double w = anchos[n];
    QPointF marca;
    d.p.setClipRect(QRectF(x0, y0, x1 - x0, y1 - y0), Qt::IntersectClip);
    if (n <= 2) {
        for (int i = 0; i < (n == 1 ? 2 : 4); ++i) {
            const QPointF a(d.r(x0 + 40, x1 - 120), d.r(y0 + 30, y1 - 80));
            Grieta(d, a, a + QPointF(d.r(-30, 30), d.r(40, 70)), w, 4);
            if (i == 0)
                marca = a + QPointF(0, 6);
        }
    } else {
        Grieta(d, QPointF(x0, y1 - 30), QPointF(x1, y1 - 26), w, 4);  // horizontal at the base
        Grieta(d, QPointF((x0 + x1) / 2, y0), QPointF((x0 + x1) / 2 + 10, y1 - 40), w, 5);
        Grieta(d, QPointF((x0 + x1) / 2 - 20, y0 + 100), QPointF(x0 + 20, y0 + 20), w * 0.8, 5);
        Grieta(d, QPointF((x0 + x1) / 2 + 25, y0 + 110), QPointF(x1 - 20, y0 + 20), w * 0.8, 5);
        marca = QPointF((x0 + x1) / 2 + 4, y0 + 60);
    }
    if (n == 4) {
        // Out of plane: the right part stands a few millimetres forward.
        d.p.setPen(QPen(QColor(0x70, 0x50, 0x30), 2));
        d.p.drawLine(QPointF((x0 + x1) / 2 + 14, y0 + 2), QPointF((x0 + x1) / 2 + 24, y1 - 40));
    }
    if (n == 5) {
        Hueco(d, QPointF(x0 + 40, y1 - 30), 40, 26);
        Hueco(d, QPointF(x1 - 70, y1 - 60), 30, 22);
    }
    d.p.restore();
    if (n >= 4)
        Escombros(d, x0, x1, 392, n == 5 ? 22 : 8, Tierra);
    if (n == 5)
        Referencia(d, QPointF(x1, y0 - 20), QPointF(x1, y1));
    static const char *const etiquetas[6] = {"", "e < 0.4 mm", "e = 0.4 - 2.0 mm", "e = 2.0 - 4.0 mm", "e > 4.0 mm",
                                             "aplastamiento y desplome"};
    Cota(d, n == 5 ? QPointF(x0 + 40, y1 - 30) : marca, QPointF(390, 52), QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Fisuras casi imperceptibles en la superficie del muro",
                                         "Grietas visibles a simple vista",
                                         "Grietas horizontales en la base, verticales al centro y diagonales",
                                         "Grietas anchas y desplazamiento fuera del plano",
                                         "Aplastamiento local del muro, desplome e inclinación"};
    return QString::fromUtf8(notas[n]);
}

// --- steel, timber, floor system ---------------------------------------------------

// A rolled I section in elevation from a to b (flanges along the length).
// `onda` buckles a flange locally: amplitude at centre `t` (0..1) of the length.
void PerfilI(Dibujo &d, QPointF a, QPointF b, double peralte, double onda = 0.0, double t = 0.5, double curva = 0.0,
             bool alaInferior = true)
{
    const QPointF v = b - a;
    const double l = std::hypot(v.x(), v.y());
    const QPointF u = v / l, nrm(-u.y(), u.x());
    auto linea = [&](double off, double amp) {
        QPainterPath c;
        for (int i = 0; i <= 80; ++i) {
            const double s = double(i) / 80;
            double desv = curva * std::sin(M_PI * s);
            const double dist = (s - t) * l / 40.0;
            desv += amp * std::exp(-dist * dist) * std::sin((s - t) * l / 9.0);
            const QPointF q = a + v * s + nrm * (off + desv);
            if (i == 0)
                c.moveTo(q);
            else
                c.lineTo(q);
        }
        return c;
    };
    const double ala = 8;
    QPainterPath arriba = linea(-peralte / 2, alaInferior ? 0 : onda);
    QPainterPath abajo = linea(peralte / 2, alaInferior ? onda : 0);
    QPainterPath alma = linea(-peralte / 2 + ala, 0);
    alma.connectPath(linea(peralte / 2 - ala, 0).toReversed());
    alma.closeSubpath();
    d.p.save();
    d.p.setPen(Qt::NoPen);
    d.p.setBrush(Acero.lighter(112));
    d.p.drawPath(alma);
    d.p.setBrush(Qt::NoBrush);
    d.p.setPen(QPen(Acero.darker(115), ala * 2, Qt::SolidLine, Qt::FlatCap));
    d.p.drawPath(arriba.translated(nrm * ala / 2));
    d.p.drawPath(abajo.translated(-nrm * ala / 2));
    d.p.setPen(QPen(AceroOscuro, 1.6));
    d.p.drawPath(arriba);
    d.p.drawPath(abajo);
    d.p.drawPath(arriba.translated(nrm * ala));
    d.p.drawPath(abajo.translated(-nrm * ala));
    d.p.restore();
}

QString DibujarMetalica(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 430);
    // Column on the left, beam to the right with a bolted end plate.
    const double cx = 150, vy = 200;
    PerfilI(d, QPointF(cx, 60), QPointF(cx, 420), 70, (n == 5 && d.variante == 3) ? 9 : 0, 0.45);
    d.p.setPen(QPen(AceroOscuro, 1.5));
    d.p.setBrush(Acero.darker(110));
    d.p.drawRect(QRectF(cx + 35, vy - 50, 12, 100));  // end plate
    const double curva = n == 2 ? 2.5 : n == 3 ? 6 : n >= 4 ? 9 : 0;
    const double onda = n == 3 ? 4 : n >= 4 ? 9 : 0;
    const double t = n == 4 ? 0.55 : 0.08;
    PerfilI(d, QPointF(cx + 47, vy), QPointF(610, vy), 80, onda, t, curva, d.variante != 2);
    // Bolts.
    for (int i = 0; i < 4; ++i) {
        const QPointF b(cx + 41, vy - 36 + i * 24);
        if (n == 5 && i == 3) {
            d.p.setPen(QPen(Nota, 1.2));
            d.p.setBrush(Qt::NoBrush);
            d.p.drawEllipse(b, 5, 5);
            continue;
        }
        d.p.setPen(QPen(AceroOscuro, 1.2));
        d.p.setBrush(QColor(0x50, 0x58, 0x60));
        d.p.drawEllipse(b, 5, 5);
    }
    // Possible plastic hinge zone near the connection.
    d.p.save();
    d.p.setPen(QPen(QColor(0x30, 0x60, 0xa0), 1.2, Qt::DashLine));
    d.p.setBrush(QColor(0x30, 0x60, 0xa0, 28));
    d.p.drawRect(QRectF(cx + 47, vy - 60, 90, 120));
    d.p.restore();
    Texto(d, QPointF(cx + 50, vy + 82), QStringLiteral("zona de posible"), 11, QColor(0x30, 0x60, 0xa0));
    Texto(d, QPointF(cx + 50, vy + 96), QStringLiteral("articulación plástica"), 11, QColor(0x30, 0x60, 0xa0));
    if (n >= 2)
        Referencia(d, QPointF(cx + 47, vy + 40), QPointF(610, vy + 40));
    if (n >= 4) {
        const double xr = n == 4 ? 400 : cx + 70;
        Grieta(d, QPointF(xr, vy + 40), QPointF(xr + 4, vy + 18), 2.4, 1.5, false);
    }
    if (n == 5) {
        // Cracked weld at the end plate.
        d.p.setPen(QPen(Nota, 2.4));
        QPainterPath z(QPointF(cx + 49, vy + 10));
        for (int i = 0; i < 8; ++i)
            z.lineTo(cx + 49 + (i % 2 ? 5 : 0), vy + 10 + i * 5);
        d.p.drawPath(z);
        Cota(d, QPointF(cx + 52, vy + 26), QPointF(300, 320), QStringLiteral("soldadura fracturada"));
        Cota(d, QPointF(cx + 41, vy + 36), QPointF(40, 320), QStringLiteral("tornillo roto"));
    }
    static const char *const etiquetas[6] = {"", "sin defectos visibles", "deformación casi imperceptible",
                                             "pandeo incipiente del ala", "pandeo local fuera de la zona",
                                             "pandeo local en la zona"};
    const QPointF foco = n == 4 ? QPointF(400, vy + 40) : QPointF(cx + 90, vy + 40);
    Cota(d, foco, QPointF(360, 80), QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Perfiles rectos, uniones completas",
                                         "Deformaciones menores, casi imperceptibles",
                                         "Deformación visible y pandeo incipiente del ala",
                                         "Pandeo local o fractura lejos de las zonas de articulación",
                                         "Pandeo en la zona de articulación; soldadura y tornillo fallados"};
    return QString::fromUtf8(notas[n]);
}

void PiezaMadera(Dibujo &d, const QRectF &r, bool vertical)
{
    d.p.save();
    d.p.setPen(QPen(VetaMadera.darker(150), 1.6));
    d.p.setBrush(Madera);
    d.p.drawRect(r);
    d.p.setClipRect(r);
    d.p.setPen(QPen(VetaMadera, 1));
    const int vetas = 7;
    for (int i = 1; i < vetas; ++i) {
        QPainterPath v;
        if (vertical) {
            const double x = r.left() + r.width() * i / vetas;
            v.moveTo(x, r.top());
            for (double y = r.top(); y <= r.bottom(); y += 20)
                v.lineTo(x + 2.2 * std::sin(y / 23.0 + i), y);
        } else {
            const double y = r.top() + r.height() * i / vetas;
            v.moveTo(r.left(), y);
            for (double x = r.left(); x <= r.right(); x += 20)
                v.lineTo(x, y + 2.2 * std::sin(x / 23.0 + i));
        }
        d.p.drawPath(v);
    }
    d.p.restore();
}

QString DibujarMadera(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 430);
    const QRectF columna(120, 60, 64, 370);
    const double hueco = n == 4 ? 8 : n == 5 ? 26 : n == 3 ? 2 : 0;
    const double caida = n == 5 ? 14 : n == 4 ? 4 : 0;
    PiezaMadera(d, columna, true);
    QRectF viga(184 + hueco, 180 + caida, 420, 70);
    if (n == 5) {
        // The beam breaks: two parts with a jagged rupture.
        PiezaMadera(d, QRectF(viga.left(), viga.top(), 220, viga.height()), false);
        d.p.save();
        d.p.translate(viga.left() + 232, viga.top() + 10);
        d.p.rotate(9);
        PiezaMadera(d, QRectF(0, 0, 190, viga.height()), false);
        d.p.restore();
        d.p.setPen(QPen(ColorGrieta, 2.0));
        QPainterPath rotura(QPointF(viga.left() + 220, viga.top()));
        for (int i = 1; i <= 7; ++i)
            rotura.lineTo(viga.left() + 220 + (i % 2 ? 8 : -4), viga.top() + i * viga.height() / 7);
        d.p.drawPath(rotura);
        Cota(d, QPointF(viga.left() + 222, viga.top() + 30), QPointF(380, 330), QStringLiteral("elemento roto"));
    } else {
        PiezaMadera(d, viga, false);
    }
    // Steel side plate with bolts across the joint.
    d.p.setPen(QPen(AceroOscuro, 1.4));
    d.p.setBrush(QColor(0x9a, 0xa6, 0xb2, 200));
    d.p.drawRect(QRectF(136, 186, 110, 58));
    for (double x : {152.0, 172.0, 212.0 + hueco, 232.0 + hueco})
        for (double y : {200.0, 230.0}) {
            d.p.setBrush(QColor(0x40, 0x48, 0x50));
            d.p.drawEllipse(QPointF(x, y + (x > 190 ? caida : 0)), 4.5, 4.5);
        }
    const double w = n == 2 ? 0.8 : n == 3 ? 1.6 : 2.8;
    if (n >= 2) {
        const int grietas = n == 2 ? 2 : 4;
        for (int i = 0; i < grietas; ++i) {
            const double y = viga.top() + 14 + i * 12 + d.r(-3, 3);
            const double x = d.r(300, 470);
            Grieta(d, QPointF(x, y), QPointF(x + (n == 2 ? 40 : 110), y + d.r(-3, 3)), w, 1.5, false);
        }
        Grieta(d, QPointF(columna.center().x() - 10, 280), QPointF(columna.center().x() - 8, 280 + (n == 2 ? 30 : 90)), w, 1.5,
               false);
    }
    if (n >= 3 && n <= 4) {
        Flecha(d, QPointF(260, 300), QPointF(260 + hueco * 3 + 10, 300));
        Texto(d, QPointF(230, 326), n == 3 ? QStringLiteral("desplazamiento mínimo") : QStringLiteral("deslizamiento en la unión"),
              12, Nota);
    }
    if (n == 5) {
        Flecha(d, QPointF(260, 150), QPointF(300, 150));
        Texto(d, QPointF(230, 140), QStringLiteral("separación del elemento"), 12, Nota);
    }
    static const char *const etiquetas[6] = {"", "sin agrietamiento", "fisuras mínimas", "grietas en la pieza",
                                             "grietas notables", ""};
    if (n < 5)
        Cota(d, n == 1 ? QPointF(380, 215) : QPointF(380, viga.top() + 16), QPointF(400, 80), QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Pieza y unión sanas", "Fisuración mínima a lo largo de la veta",
                                         "Agrietamiento en la pieza y desplazamiento insignificante en la unión",
                                         "Agrietamiento notable y deslizamiento en la unión",
                                         "Rotura del elemento y separación del sistema estructural"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarEntrepiso(Dibujo &d)
{
    const int n = d.nivel;
    // Plan view of the underside of a slab panel between beams.
    const QRectF losa(90, 80, 460, 300);
    QPainterPath panel;
    panel.addRect(losa);
    CuerpoConcreto(d, panel);
    d.p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.2, Qt::DashLine));
    d.p.drawRect(losa.adjusted(-14, -14, 14, 14));
    Texto(d, QPointF(losa.left(), losa.top() - 22), QStringLiteral("vista inferior de la losa entre vigas"), 12,
          QColor(0x55, 0x55, 0x55));
    const double w = Trazo(n);
    QPointF marca;
    if (n <= 2) {
        for (int i = 0; i < (n == 1 ? 3 : 6); ++i) {
            const QPointF a(d.r(losa.left() + 40, losa.right() - 90), d.r(losa.top() + 30, losa.bottom() - 60));
            Grieta(d, a, a + QPointF(d.r(30, 70), d.r(-20, 30)), w, 3, false);
            if (i == 0)
                marca = a + QPointF(3, 0);
        }
    } else {
        // Yield-line pattern: diagonals from the corners to a central ridge.
        const QPointF c1(losa.left() + 150, losa.center().y()), c2(losa.right() - 150, losa.center().y());
        Grieta(d, c1, losa.topLeft() + QPointF(10, 10), w, 5);
        Grieta(d, c1, losa.bottomLeft() + QPointF(10, -10), w, 5);
        Grieta(d, c2, losa.topRight() + QPointF(-10, 10), w, 5);
        Grieta(d, c2, losa.bottomRight() + QPointF(-10, -10), w, 5);
        Grieta(d, c1 + QPointF(-6, 0), c2 + QPointF(6, 0), w * 1.1, 4, false);
        marca = (c1 + c2) / 2;
    }
    if (n == 3)
        Desprendimiento(d, QPointF(losa.left() + 90, losa.bottom() - 50), 16, 12, false, false);
    if (n >= 4)
        Desprendimiento(d, QPointF(losa.center().x() + 40, losa.center().y() + 40), 60, 30, true, false, 0);
    if (n == 5) {
        Hueco(d, losa.center() + QPointF(-70, -40), 40, 28);
        Desprendimiento(d, QPointF(losa.left() + 80, losa.top() + 70), 40, 30, true, true, 3.0);
    }
    Cota(d, marca, QPointF(380, 410), AnchoConcreto(n) == QStringLiteral("aplastamiento") ? QStringLiteral("aplastamiento y agrietamiento severo")
                                                                                          : AnchoConcreto(n));
    static const char *const notas[6] = {"", "Fisuras capilares aisladas en la superficie",
                                         "Fisuras visibles de 0.2 a 1.0 mm", "Grietas de 1.0 a 2.0 mm y recubrimiento suelto",
                                         "Agrietamiento apreciable y recubrimiento perdido",
                                         "Material degradado y aplastado, agrietamiento severo"};
    return QString::fromUtf8(notas[n]);
}

// --- non-structural elements ----------------------------------------------------------

// A masonry infill with openings; shared by partition and facade walls.
QString DibujarMuroNoEstructural(Dibujo &d, bool fachada)
{
    const int n = d.nivel;
    const double x0 = 70, x1 = 570, y0 = fachada ? 130 : 90, y1 = 400;
    Terreno(d, 420);
    CuerpoConcreto(d, Rect(40, 400, 560, 20));
    if (!fachada)
        CuerpoConcreto(d, Rect(40, 66, 560, 24));
    d.p.save();
    if (n == 5) {
        d.p.translate(x0, y1);
        d.p.shear(d.variante == 2 ? 0.045 : -0.045, 0);
        d.p.translate(-x0, -y1);
    }
    MuroLadrillo(d, QRectF(x0, y0, x1 - x0, y1 - y0), fachada ? QColor(0xb9, 0x6a, 0x48) : QColor(0xc9, 0x8d, 0x66));
    QList<QRectF> vanos;
    if (fachada)
        vanos << QRectF(130, 200, 110, 110) << QRectF(400, 200, 110, 110);
    else
        vanos << QRectF(380, 190, 90, 210);
    for (const QRectF &v : vanos) {
        d.p.setPen(QPen(Tinta, 2));
        d.p.setBrush(fachada ? QColor(0xb8, 0xcf, 0xdf) : QColor(0x7a, 0x5a, 0x3a));
        d.p.drawRect(v);
    }
    if (fachada) {
        // Parapet (antepecho) over the roof line, with its coping.
        CuerpoConcreto(d, Rect(50, 112, 540, 18));
        MuroLadrillo(d, QRectF(70, 66, 500, 46), QColor(0xb9, 0x6a, 0x48));
        CuerpoConcreto(d, Rect(62, 56, 516, 12));
        Texto(d, QPointF(476, 50), QStringLiteral("antepecho"), 12, QColor(0x55, 0x55, 0x55));
    }
    const double w = Trazo(n) * (n >= 4 ? 1.2 : 1.0);
    QPointF marca;
    const QRectF &v0 = vanos.first();
    d.p.save();
    d.p.setClipRect(QRectF(x0, y0, x1 - x0, y1 - y0), Qt::IntersectClip);
    if (n <= 2) {
        GrietaEscalonada(d, v0.topLeft() + QPointF(-50, -40), v0.topLeft(), w);
        GrietaEscalonada(d, v0.topRight() + QPointF(45, -40), v0.topRight(), w);
        marca = v0.topLeft() + QPointF(-26, -20);
    } else {
        const double largo = n == 3 ? 90 : 130;
        for (const QRectF &v : vanos) {
            GrietaEscalonada(d, v.topLeft() + QPointF(-largo, -largo * 0.8), v.topLeft(), w);
            GrietaEscalonada(d, v.topRight() + QPointF(largo, -largo * 0.8), v.topRight(), w * 0.9);
            if (n >= 4)
                GrietaEscalonada(d, v.bottomLeft() + QPointF(0, fachada ? 0 : -40), v.bottomLeft() + QPointF(-largo, largo * 0.7), w);
        }
        marca = v0.topLeft() + QPointF(-largo * 0.5, -largo * 0.4);
    }
    d.p.restore();
    if (n >= 4)
        LadrillosDesplazados(d, vanos.last().topRight() + QPointF(40, 40), n == 4 ? 3 : 5, 24);
    if (n == 5) {
        Hueco(d, QPointF(x0 + 50, y1 - 60), 30, 22);
        Hueco(d, vanos.last().topLeft() + QPointF(-40, -20), 24, 16);
    }
    if (fachada && n >= 4)
        Grieta(d, QPointF(70, 110), QPointF(570, 108), n == 5 ? 4 : 2.6, 2, false);
    d.p.restore();
    if (fachada && n == 5) {
        // Part of the parapet has fallen to the sidewalk.
        d.p.fillRect(QRectF(250, 54, 150, 60), Papel);
        Escombros(d, 220, 460, 400, 24, QColor(0xb9, 0x6a, 0x48));
        Cota(d, QPointF(320, 90), QPointF(330, 20 + 30), QStringLiteral("antepecho caído"));
    } else if (n == 5) {
        Escombros(d, x0, x1, 400, 20, QColor(0xc9, 0x8d, 0x66));
        Referencia(d, QPointF(x0, y0 - 10), QPointF(x0, y1));
    }
    Cota(d, marca, QPointF(fachada ? 260 : 140, fachada ? 330 : 52), AnchoMamposteria(n));
    static const char *const notas[6] = {"", "Grietas pequeñas, difícilmente visibles, junto a los vanos",
                                         "Agrietamiento visible a simple vista en las esquinas de los vanos",
                                         "Agrietamiento diagonal incipiente desde las esquinas de los vanos",
                                         "Agrietamiento diagonal severo y piezas dislocadas",
                                         "Piezas desprendidas y muro desplomado"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarEscalera(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 420);
    // Landings and the flight between them, in section.
    CuerpoConcreto(d, Rect(30, 392, 150, 28));
    CuerpoConcreto(d, Rect(460, 130, 150, 28));
    const int pasos = 10;
    const QPointF inicio(180, 392), fin(460, 130);
    const double huella = (fin.x() - inicio.x()) / pasos, contrahuella = (inicio.y() - fin.y()) / pasos;
    const double caida = n == 5 ? 26 : 0;
    QPainterPath tramo(inicio + QPointF(0, 28));
    for (int i = 0; i < pasos; ++i) {
        const double s = double(i) / pasos;
        const double baja = caida * std::sin(M_PI * std::min(1.0, s * 1.4));
        tramo.lineTo(inicio + QPointF(i * huella, -i * contrahuella + baja));
        tramo.lineTo(inicio + QPointF(i * huella, -(i + 1) * contrahuella + baja));
    }
    tramo.lineTo(fin + QPointF(0, caida * 0.4));
    tramo.lineTo(fin + QPointF(0, 28 + caida * 0.4));
    tramo.closeSubpath();
    CuerpoConcreto(d, tramo);
    const double w = Trazo(n);
    QPointF marca;
    for (int i = 0; i < (n == 1 ? 2 : n == 2 ? 3 : 5); ++i) {
        const int paso = 1 + (i * 2 + d.variante) % (pasos - 2);
        const QPointF q = inicio + QPointF(paso * huella + 4, -(paso + 1) * contrahuella + 1);
        Grieta(d, q, q + QPointF(huella * 0.7, 0) + QPointF(0, 2), w * 0.7, 1.2, false);
        if (i == 0)
            marca = q + QPointF(6, 0);
    }
    if (n >= 3) {
        Grieta(d, QPointF(180, 418), QPointF(200, 392), w, 3);  // at the lower support
        Grieta(d, QPointF(458, 158), QPointF(430, 150), w, 3);  // at the upper support
    }
    if (n >= 4)
        Escombros(d, 40, 170, 392, 10);
    if (n == 5) {
        d.p.fillRect(QRectF(440, 140, 18, 50), Papel);
        Desprendimiento(d, QPointF(430, 180), 24, 16, true, false, 4.0);
        Cota(d, QPointF(450, 160), QPointF(480, 230), QStringLiteral("desgarramiento en el apoyo"));
        Escombros(d, 200, 460, 418, 16);
    }
    Cota(d, marca, QPointF(60, 80), n <= 1 ? QStringLiteral("e < 0.2 mm") : n == 2 ? QStringLiteral("e < 1.0 mm")
                                    : n == 3 ? QStringLiteral("e > 1.0 mm") : n == 4 ? QStringLiteral("e > 3.0 mm")
                                             : QStringLiteral("colapso parcial"));
    static const char *const notas[6] = {"", "Grietas pequeñas difícilmente visibles en los peldaños",
                                         "Grietas pequeñas que no afectan la seguridad ni el uso",
                                         "Grietas en la escalera y en sus apoyos, sin riesgo de caída",
                                         "Agrietamiento severo, escombros en el acceso y daño en apoyos",
                                         "Desgarramiento en el apoyo, barras pandeadas: insegura"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarCieloRaso(Dibujo &d)
{
    const int n = d.nivel;
    CuerpoConcreto(d, Rect(30, 60, 580, 30));
    Terreno(d, 420);
    const double y = 190;
    const int paneles = 8;
    const double ancho = 560.0 / paneles;
    // Hangers.
    d.p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.2));
    for (int i = 0; i <= paneles; ++i)
        d.p.drawLine(QPointF(40 + i * ancho, 90), QPointF(40 + i * ancho, y));
    QList<int> caidos, movidos;
    if (n == 3)
        movidos << 2 << 6;
    if (n == 4) {
        caidos << 3;
        movidos << 1 << 5 << 6;
    }
    if (n == 5) {
        caidos << 1 << 2 << 5;
        movidos << 3 << 6;
    }
    for (int i = 0; i < paneles; ++i) {
        const QRectF panel(40 + i * ancho + 1, y, ancho - 2, 12);
        if (caidos.contains(i))
            continue;
        d.p.save();
        if (movidos.contains(i)) {
            d.p.translate(panel.left(), panel.top());
            d.p.rotate(d.r(8, 18));
            d.p.translate(-panel.left(), -panel.top());
        }
        d.p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.2));
        d.p.setBrush(QColor(0xf2, 0xf2, 0xee));
        d.p.drawRect(panel);
        d.p.restore();
    }
    d.p.setPen(QPen(AceroOscuro, 2));
    d.p.drawLine(QPointF(40, y), QPointF(600, y));
    // Luminaires.
    for (int k = 0; k < 2; ++k) {
        const double cx = 170 + k * 280;
        QRectF lum(cx - 40, y + 12, 80, 12);
        if (n == 5 && k == d.variante % 2) {
            d.p.setPen(QPen(Tinta, 1.2));
            d.p.drawLine(QPointF(cx, y + 12), QPointF(cx + 30, y + 110));
            d.p.save();
            d.p.translate(cx + 30, y + 110);
            d.p.rotate(35);
            d.p.setBrush(QColor(0xfa, 0xf0, 0xb0));
            d.p.drawRect(QRectF(-40, 0, 80, 12));
            d.p.restore();
            Cota(d, QPointF(cx + 30, y + 116), QPointF(cx + 70, y + 150), QStringLiteral("luminaria sin anclaje"));
            continue;
        }
        d.p.setPen(QPen(Tinta, 1.2));
        d.p.setBrush(QColor(0xfa, 0xf0, 0xb0));
        d.p.drawRect(lum);
    }
    for (int i : caidos) {
        d.p.save();
        d.p.translate(40 + i * ancho + 10, 408);
        d.p.rotate(d.r(-8, 8));
        d.p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.2));
        d.p.setBrush(QColor(0xf2, 0xf2, 0xee));
        d.p.drawRect(QRectF(0, 0, ancho - 6, 9));
        d.p.restore();
    }
    if (n == 2)
        for (int i = 0; i < 3; ++i)
            Grieta(d, QPointF(60 + i * 170, y + 3), QPointF(80 + i * 170, y + 10), 0.8, 1, false);
    if (n >= 4)
        Escombros(d, 60, 580, 420, n == 4 ? 8 : 16, QColor(0xe0, 0xdc, 0xd0));
    static const char *const etiquetas[6] = {"", "sin daño aparente", "daño menor", "paneles desplazados", "colapso parcial",
                                             "pérdida de apoyo del cielo raso"};
    Cota(d, n >= 3 ? QPointF(40 + (n == 3 ? 2 : 3) * ancho + ancho / 2, y + 6) : QPointF(100, y + 6), QPointF(330, 300),
         QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Cielo raso y luminarias completos", "Daño no significativo, sin riesgo para las personas",
                                         "Daños visibles sin peligro aparente de inestabilidad",
                                         "Paneles caídos: colapso parcial", "Cielo raso y luminarias sin anclaje ni apoyo"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarInstalaciones(Dibujo &d)
{
    const int n = d.nivel;
    // Wall face with two pipes on brackets and a vertical riser.
    d.p.fillRect(QRectF(30, 60, 580, 360), Revoque);
    d.p.setPen(QPen(Tinta, 2));
    d.p.drawRect(QRectF(30, 60, 580, 360));
    static const double defl[6] = {0, 0, 2.5, 9, 20, 30};
    const double f = defl[n];
    for (int k = 0; k < 2; ++k) {
        const double y = 150 + k * 90;
        QPainterPath tubo(QPointF(40, y));
        tubo.cubicTo(QPointF(200, y + f), QPointF(380, y + f * (k ? 0.6 : 1.0)), QPointF(600, y));
        const QColor color = k ? QColor(0x3a, 0x7a, 0xb8) : QColor(0xd0, 0xd0, 0xc8);
        if (n == 5 && k == 0) {
            // Broken pipe: two pieces with a gap and leaking water.
            d.p.save();
            d.p.setClipRect(QRectF(30, 60, 270, 360));
            d.p.setPen(QPen(QColor(0x50, 0x50, 0x50), 18, Qt::SolidLine, Qt::FlatCap));
            d.p.drawPath(tubo);
            d.p.setPen(QPen(color, 14, Qt::SolidLine, Qt::FlatCap));
            d.p.drawPath(tubo);
            d.p.setClipRect(QRectF(330, 60, 280, 360));
            d.p.translate(0, 22);
            d.p.setPen(QPen(QColor(0x50, 0x50, 0x50), 18, Qt::SolidLine, Qt::FlatCap));
            d.p.drawPath(tubo);
            d.p.setPen(QPen(color, 14, Qt::SolidLine, Qt::FlatCap));
            d.p.drawPath(tubo);
            d.p.restore();
            d.p.setPen(Qt::NoPen);
            d.p.setBrush(Agua);
            for (int i = 0; i < 9; ++i)
                d.p.drawEllipse(QPointF(312 + d.r(-12, 12), y + 40 + i * 18), 3, 5);
            Cota(d, QPointF(312, y + f), QPointF(360, 80), QStringLiteral("tubería rota"));
            continue;
        }
        d.p.setPen(QPen(QColor(0x50, 0x50, 0x50), 18, Qt::SolidLine, Qt::FlatCap));
        d.p.drawPath(tubo);
        d.p.setPen(QPen(color, 14, Qt::SolidLine, Qt::FlatCap));
        d.p.drawPath(tubo);
        // Couplings.
        for (double t : {0.3, 0.7}) {
            const QPointF q = tubo.pointAtPercent(t);
            d.p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
            d.p.setBrush(color.darker(120));
            const double abre = (n >= 4 && t == 0.7) ? 6 : 0;
            d.p.drawRect(QRectF(q.x() - 8, q.y() - 11, 6, 22));
            d.p.drawRect(QRectF(q.x() + 2 + abre, q.y() - 11, 6, 22));
            if (abre > 0 && k == 1)
                Cota(d, q, QPointF(q.x() - 40, 380), QStringLiteral("dislocación en la unión"));
        }
    }
    // Brackets; one torn off at level V.
    for (int i = 0; i < 4; ++i) {
        const double x = 110 + i * 140;
        const bool suelto = n == 5 && i == 2;
        d.p.setPen(QPen(AceroOscuro, 3));
        d.p.drawLine(QPointF(x, 130), QPointF(x, suelto ? 150 : 270));
        d.p.setBrush(AceroOscuro);
        d.p.drawEllipse(QPointF(x, 128), 3, 3);
        if (suelto)
            Flecha(d, QPointF(x + 10, 160), QPointF(x + 30, 190));
    }
    if (n >= 2 && n <= 4)
        Referencia(d, QPointF(40, 150), QPointF(600, 150));
    static const char *const etiquetas[6] = {"", "sin defectos visibles", "deformación casi imperceptible",
                                             "deformación visible", "deformación excesiva", ""};
    if (n < 5)
        Cota(d, QPointF(320, 150 + f * 0.75), QPointF(360, 80), QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Tuberías y soportes completos", "Deformación casi imperceptible del componente",
                                         "Deformación perceptible a simple vista", "Deformación excesiva y dislocación incipiente",
                                         "Rotura y dislocación severa del componente"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarCubierta(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 430);
    // Walls and the tiled slope of the roof seen from the front.
    MuroLadrillo(d, QRectF(90, 300, 460, 130), QColor(0xd0, 0xa0, 0x78));
    const double hunde = n == 4 ? 16 : n == 5 ? 70 : 0;
    const double x0 = 60, x1 = 580, cumbrera = 120, alero = 300;
    // The ridge sags from level IV on; at level V it breaks in the middle.
    auto yCumbrera = [&](double x) {
        const double s = (x - x0) / (x1 - x0);
        return cumbrera + (n == 5 ? hunde * (1.0 - std::abs(2 * s - 1)) : hunde * std::sin(M_PI * s));
    };
    QPainterPath plano(QPointF(x0, alero));
    for (double x = x0; x <= x1; x += 10)
        plano.lineTo(x, yCumbrera(x));
    plano.lineTo(x1, alero);
    plano.closeSubpath();
    // Under the tiles: light boarding with dark battens, seen where tiles are missing.
    d.p.fillPath(plano, QColor(0xe0, 0xcc, 0xa4));
    d.p.save();
    d.p.setClipPath(plano);
    d.p.setPen(QPen(QColor(0x5a, 0x40, 0x22), 4));
    for (double y = cumbrera + 12; y < alero + 20; y += 26)
        d.p.drawLine(QPointF(x0, y + hunde * 0.5), QPointF(x1, y + hunde * 0.5));
    static const double caidas[6] = {0, 0.01, 0.12, 0.22, 0.32, 0.7};
    static const double movidas[6] = {0, 0.02, 0.12, 0.18, 0.24, 0.2};
    const int filas = 7, columnas = 15;
    const double ancho = (x1 - x0) / columnas;
    for (int f = 0; f < filas; ++f)
        for (int c = 0; c < columnas; ++c) {
            const double x = x0 + c * ancho + (f % 2) * ancho / 2 - ancho / 4;
            const double y = yCumbrera(x + ancho / 2) + 4 + f * ((alero - cumbrera) / filas);
            const double azar = d.r(0, 1);
            if (azar < caidas[n])
                continue;
            d.p.save();
            d.p.translate(x, y);
            if (azar < caidas[n] + movidas[n]) {
                d.p.translate(d.r(-6, 6), d.r(10, 20));
                d.p.rotate(d.r(-25, 25));
            }
            d.p.setPen(QPen(Teja.darker(160), 1.2));
            d.p.setBrush(Teja.darker(d.ri(90, 115)));
            QPainterPath t;
            t.moveTo(2, 0);
            t.lineTo(ancho - 2, 0);
            t.quadTo(ancho + 1, 14, ancho - 3, 26);
            t.lineTo(3, 26);
            t.quadTo(-1, 14, 2, 0);
            d.p.drawPath(t);
            d.p.setPen(QPen(Teja.lighter(125), 1.4));
            d.p.drawLine(QPointF(ancho * 0.3, 4), QPointF(ancho * 0.3, 22));
            d.p.restore();
        }
    d.p.restore();
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawPath(plano);
    if (n >= 4) {
        Referencia(d, QPointF(x0, cumbrera), QPointF(x1, cumbrera));
        Cota(d, QPointF(320, yCumbrera(320)), QPointF(390, 250),
             n == 4 ? QStringLiteral("desnivel menor en la cumbrera") : QStringLiteral("falla de correas y cerchas"));
    }
    if (n >= 2)
        Escombros(d, 80, 560, 430, n * 5, Teja);
    static const char *const rangos[6] = {"", "muy pocas", "entre 15% y 30%", "entre 30% y 45%", "entre 45% y 60%",
                                          "prácticamente todas"};
    Texto(d, QPointF(40, 72), QStringLiteral("Tejas caídas o desplazadas: %1").arg(QString::fromUtf8(rangos[n])), 13, Nota, true);
    static const char *const notas[6] = {"", "Caída de muy pocas tejas por deslizamiento; techo sin desnivel",
                                         "Caída y falla de varias tejas; techo sin desnivel",
                                         "Número notable de tejas caídas, sin desnivel en el techo",
                                         "Falla generalizada de tejas y desniveles menores del techo",
                                         "Falla de la estructura del techo y de casi toda la teja"};
    return QString::fromUtf8(notas[n]);
}

QString DibujarTanque(Dibujo &d)
{
    const int n = d.nivel;
    Terreno(d, 430);
    d.p.save();
    if (n == 5) {
        d.p.translate(320, 430);
        d.p.rotate(d.variante == 2 ? -6 : 6);
        d.p.translate(-320, -430);
    }
    // Four-leg frame (two seen) with braces, and the tank on top.
    CuerpoConcreto(d, Rect(220, 220, 26, 210));
    CuerpoConcreto(d, Rect(394, 220, 26, 210));
    CuerpoConcreto(d, Rect(220, 320, 200, 16));
    CuerpoConcreto(d, Rect(200, 206, 240, 18));
    QPainterPath tanque = Rect(190, 70, 260, 136);
    CuerpoConcreto(d, tanque);
    d.p.fillRect(QRectF(196, 100, 248, 100), QColor(0x5f, 0x9b, 0xd0, 60));
    Texto(d, QPointF(290, 92), QStringLiteral("tanque"), 12, QColor(0x55, 0x55, 0x55));
    const double w = n == 2 ? 1.0 : n == 3 ? 2.0 : n >= 4 ? 3.6 : 0;
    QPointF marca(320, 150);
    if (n >= 2) {
        Grieta(d, QPointF(260, 206), QPointF(280, 150), w, 3);
        Grieta(d, QPointF(380, 70), QPointF(370, 120), w * 0.8, 3);
        marca = QPointF(272, 170);
    }
    if (n >= 3) {
        Grieta(d, QPointF(220, 250), QPointF(246, 275), w, 2);
        Grieta(d, QPointF(420, 240), QPointF(394, 262), w, 2);
    }
    if (n >= 4) {
        Desprendimiento(d, QPointF(233, 245), 16, 20, true, true, n == 5 ? 3.0 : 0);
        Grieta(d, QPointF(190, 150), QPointF(300, 130), w, 4);
    }
    if (n == 5)
        Desprendimiento(d, QPointF(407, 400), 16, 24, true, true, 5.0);
    d.p.restore();
    if (n == 5) {
        Referencia(d, QPointF(233, 220), QPointF(233, 430));
        d.p.setPen(Qt::NoPen);
        d.p.setBrush(Agua);
        for (int i = 0; i < 8; ++i)
            d.p.drawEllipse(QPointF(470 + d.r(-8, 8), 200 + i * 24), 3, 5);
        Cota(d, QPointF(407, 400), QPointF(460, 330), QStringLiteral("barras pandeadas"));
    }
    static const char *const etiquetas[6] = {"", "sin defectos visibles", "e < 1.0 mm", "e > 1.0 mm", "e > 3 mm",
                                             "inclinación y colapso parcial"};
    Cota(d, marca, QPointF(470, 70), QString::fromUtf8(etiquetas[n]));
    static const char *const notas[6] = {"", "Tanque y apoyos sin defectos", "Grietas pequeñas que no afectan la seguridad",
                                         "Grietas en el tanque y en sus apoyos, sin riesgo de inestabilidad",
                                         "Agrietamiento severo, daño en los apoyos",
                                         "Barras pandeadas, inclinación: riesgo para los transeúntes"};
    return QString::fromUtf8(notas[n]);
}

// --- conditions ------------------------------------------------------------------------

// A small house in elevation standing on (x, y), tilted by `giro` degrees.
void Casa(Dibujo &d, double x, double y, double ancho = 120, double alto = 90, double giro = 0)
{
    d.p.save();
    d.p.translate(x, y);
    d.p.rotate(giro);
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(QColor(0xe8, 0xdc, 0xc4));
    d.p.drawRect(QRectF(0, -alto, ancho, alto));
    d.p.setBrush(Teja);
    d.p.drawPolygon(QPolygonF{QPointF(-10, -alto), QPointF(ancho / 2, -alto - 40), QPointF(ancho + 10, -alto)});
    d.p.setBrush(QColor(0xb8, 0xcf, 0xdf));
    d.p.drawRect(QRectF(ancho * 0.15, -alto * 0.7, ancho * 0.25, alto * 0.3));
    d.p.setBrush(QColor(0x7a, 0x5a, 0x3a));
    d.p.drawRect(QRectF(ancho * 0.6, -alto * 0.6, ancho * 0.22, alto * 0.6));
    d.p.restore();
}

void Estrato(Dibujo &d, const QPainterPath &zona, QColor color, bool puntos)
{
    d.p.save();
    d.p.fillPath(zona, color);
    d.p.setClipPath(zona);
    const QRectF b = zona.boundingRect();
    d.p.setPen(QPen(color.darker(135), puntos ? 2 : 1));
    for (int i = 0; i < int(b.width() * b.height() / (puntos ? 60 : 150)); ++i) {
        const QPointF q(d.r(b.left(), b.right()), d.r(b.top(), b.bottom()));
        if (puntos)
            d.p.drawPoint(q);
        else
            d.p.drawLine(q, q + QPointF(6, 0));
    }
    d.p.restore();
}

QString DibujarTalud(Dibujo &d)
{
    QPainterPath ladera(QPointF(16, 170));
    ladera.lineTo(250, 170);
    ladera.cubicTo(QPointF(330, 190), QPointF(430, 360), QPointF(624, 400));
    ladera.lineTo(624, 440);
    ladera.lineTo(16, 440);
    ladera.closeSubpath();
    Estrato(d, ladera, Suelo, false);
    d.p.setPen(QPen(Tinta, 2));
    d.p.setBrush(Qt::NoBrush);
    d.p.drawPath(ladera);
    switch (d.variante) {
    case 1: {
        Casa(d, 70, 170);
        for (int i = 0; i < 3; ++i) {
            const double x = 215 + i * 22;
            d.p.setPen(QPen(ColorGrieta, 1.4));
            d.p.setBrush(QColor(0x3a, 0x2c, 0x1c));
            d.p.drawPolygon(QPolygonF{QPointF(x - 5, 170), QPointF(x + 5, 170), QPointF(x + 1, 170 + 40 - i * 6)});
        }
        Cota(d, QPointF(237, 176), QPointF(260, 80), QStringLiteral("grietas de tracción en la corona"));
        return QStringLiteral("Grietas del suelo en la corona de la ladera: indicio de deslizamiento");
    }
    case 2: {
        Casa(d, 60, 170);
        // Scarp and displaced mass over a circular slip surface.
        QPainterPath superficie(QPointF(230, 170));
        superficie.cubicTo(QPointF(250, 330), QPointF(420, 380), QPointF(560, 392));
        d.p.setPen(QPen(Nota, 2, Qt::DashLine));
        d.p.drawPath(superficie);
        QPainterPath masa(QPointF(236, 200));
        masa.cubicTo(QPointF(300, 230), QPointF(430, 330), QPointF(580, 396));
        masa.cubicTo(QPointF(420, 370), QPointF(270, 320), QPointF(236, 200));
        Estrato(d, masa, Suelo.darker(110), true);
        d.p.setPen(QPen(Tinta, 1.6));
        d.p.drawPath(masa);
        Flecha(d, QPointF(330, 250), QPointF(420, 320));
        Cota(d, QPointF(232, 186), QPointF(300, 80), QStringLiteral("escarpe"));
        Texto(d, QPointF(420, 290), QStringLiteral("masa desplazada"), 12, Nota);
        return QStringLiteral("Deslizamiento rotacional junto a la edificación");
    }
    default: {
        Casa(d, 440, 400, 120, 80);
        // Cliff and falling blocks.
        d.p.setPen(QPen(Tinta, 2));
        d.p.setBrush(QColor(0x9a, 0x96, 0x8c));
        d.p.drawPolygon(QPolygonF{QPointF(16, 90), QPointF(200, 90), QPointF(230, 160), QPointF(250, 170), QPointF(16, 170)});
        for (int i = 0; i < 5; ++i) {
            const QPointF c(270 + i * 38, 200 + i * 38 + d.r(-10, 10));
            d.p.setBrush(QColor(0x8a, 0x86, 0x7c));
            d.p.drawPath(Mancha(d, c, 12 + i, 10 + i, 7));
        }
        Flecha(d, QPointF(280, 170), QPointF(410, 320));
        Cota(d, QPointF(330, 260), QPointF(60, 250), QStringLiteral("desprendimiento de rocas"));
        return QStringLiteral("Desprendimiento de rocas sobre la edificación");
    }
    }
}

QString DibujarAsentamiento(Dibujo &d)
{
    switch (d.variante) {
    case 1: {
        QPainterPath arriba = Rect(16, 300, 608, 40), licuable = Rect(16, 340, 608, 60), firme = Rect(16, 400, 608, 40);
        Estrato(d, arriba, Suelo, false);
        Estrato(d, licuable, QColor(0xd8, 0xc8, 0x90), true);
        Estrato(d, firme, Suelo.darker(115), false);
        d.p.setPen(QPen(Agua, 2, Qt::DashLine));
        d.p.drawLine(QPointF(16, 320), QPointF(624, 320));
        Texto(d, QPointF(520, 316), QStringLiteral("nivel freático"), 11, Agua.darker(130));
        Texto(d, QPointF(24, 376), QStringLiteral("arena saturada suelta"), 12, Tinta);
        Casa(d, 230, 318, 170, 150, 7);
        for (int i = 0; i < 3; ++i) {
            const double x = 90 + i * 180 + (i == 1 ? 260 : 0);
            d.p.setPen(QPen(QColor(0x8a, 0x76, 0x40), 1.2));
            d.p.setBrush(QColor(0xd8, 0xc8, 0x90));
            d.p.drawPolygon(QPolygonF{QPointF(x - 20, 300), QPointF(x, 288), QPointF(x + 20, 300)});
        }
        Cota(d, QPointF(90, 290), QPointF(40, 90), QStringLiteral("volcanes de arena"));
        Cota(d, QPointF(400, 310), QPointF(430, 90), QStringLiteral("asentamiento e inclinación"));
        return QStringLiteral("Licuación: el suelo pierde su capacidad de soporte");
    }
    case 2: {
        Estrato(d, Rect(16, 360, 608, 80), Suelo, false);
        Terreno(d, 360);
        // Differential settlement: the right side sank; diagonal cracks in the wall.
        d.p.setPen(QPen(Tinta, 2));
        d.p.setBrush(QColor(0xe8, 0xdc, 0xc4));
        QPolygonF muro{QPointF(120, 360), QPointF(120, 180), QPointF(520, 200), QPointF(520, 385)};
        d.p.drawPolygon(muro);
        Referencia(d, QPointF(120, 180), QPointF(560, 180));
        Grieta(d, QPointF(330, 190), QPointF(470, 370), 3.4, 5);
        Grieta(d, QPointF(250, 186), QPointF(380, 365), 2.2, 5);
        d.p.setBrush(QColor(0xb8, 0xcf, 0xdf));
        d.p.drawRect(QRectF(180, 240, 80, 60));
        Flecha(d, QPointF(540, 300), QPointF(540, 340));
        Cota(d, QPointF(520, 200), QPointF(520, 90), QStringLiteral("asentamiento diferencial"));
        return QStringLiteral("Asentamiento diferencial con grietas diagonales en los muros");
    }
    default: {
        Estrato(d, Rect(16, 300, 608, 140), Suelo, false);
        Terreno(d, 300);
        Casa(d, 140, 300, 200, 120, 2.5);
        // Leaking drain eroding the ground under the footing.
        d.p.setPen(QPen(QColor(0x50, 0x50, 0x50), 14, Qt::SolidLine, Qt::FlatCap));
        d.p.drawLine(QPointF(16, 380), QPointF(300, 380));
        d.p.setPen(QPen(QColor(0xa0, 0xa0, 0x98), 10, Qt::SolidLine, Qt::FlatCap));
        d.p.drawLine(QPointF(16, 380), QPointF(300, 380));
        d.p.setPen(QPen(Tinta, 1.5));
        d.p.setBrush(QColor(0x3a, 0x2c, 0x1c));
        d.p.drawPath(Mancha(d, QPointF(300, 350), 60, 32));
        d.p.setPen(Qt::NoPen);
        d.p.setBrush(Agua);
        for (int i = 0; i < 6; ++i)
            d.p.drawEllipse(QPointF(300 + d.r(-30, 30), 360 + d.r(-10, 10)), 3, 4);
        // Tree roots drawing water.
        d.p.setPen(QPen(QColor(0x5a, 0x3a, 0x1e), 8));
        d.p.drawLine(QPointF(520, 300), QPointF(520, 200));
        d.p.setBrush(QColor(0x4a, 0x8a, 0x3a));
        d.p.setPen(QPen(QColor(0x2a, 0x5a, 0x1e), 1.5));
        d.p.drawEllipse(QPointF(520, 170), 60, 50);
        d.p.setPen(QPen(QColor(0x5a, 0x3a, 0x1e), 2));
        for (int i = 0; i < 6; ++i)
            d.p.drawLine(QPointF(520, 300), QPointF(520 + d.r(-90, 90), 300 + d.r(30, 110)));
        Cota(d, QPointF(300, 380), QPointF(330, 90), QStringLiteral("tubería de desagüe perforada"));
        return QStringLiteral("Subsidencia: escapes de agua y raíces bajo la cimentación");
    }
    }
}

QString DibujarCalidad(Dibujo &d)
{
    switch (d.variante) {
    case 1: {
        // Column section: bars almost at the surface, corroded, with rust stains.
        QPainterPath seccion = Rect(200, 110, 240, 240);
        CuerpoConcreto(d, seccion);
        Achurado(d, seccion, 14, QColor(0x99, 0x95, 0x8a));
        for (double x : {214.0, 320.0, 426.0})
            for (double y : {124.0, 336.0}) {
                d.p.setPen(Qt::NoPen);
                d.p.setBrush(QColor(0xa0, 0x50, 0x20, 90));
                d.p.drawEllipse(QPointF(x, y), 18, 14);
                d.p.setPen(QPen(QColor(0x4a, 0x2a, 0x14), 1.5));
                d.p.setBrush(Refuerzo);
                d.p.drawEllipse(QPointF(x, y), 8, 8);
            }
        Cota(d, QPointF(214, 116), QPointF(40, 60), QStringLiteral("recubrimiento insuficiente"));
        Cota(d, QPointF(426, 336), QPointF(450, 400), QStringLiteral("barras oxidadas"));
        return QStringLiteral("Recubrimiento insuficiente y refuerzo con oxidación");
    }
    case 2: {
        QPainterPath columna = Rect(250, 60, 140, 370);
        CuerpoConcreto(d, columna);
        Terreno(d, 430);
        // Honeycombing near the base: voids with loose aggregate.
        const QPainterPath nido = Mancha(d, QPointF(320, 360), 56, 44);
        d.p.save();
        d.p.setClipPath(nido);
        d.p.fillPath(nido, QColor(0x9a, 0x94, 0x88));
        d.p.setPen(QPen(QColor(0x55, 0x50, 0x48), 1));
        for (int i = 0; i < 90; ++i) {
            d.p.setBrush(QColor(0xc0, 0xba, 0xad).darker(d.ri(90, 130)));
            d.p.drawEllipse(QPointF(d.r(260, 380), d.r(310, 410)), d.r(3, 7), d.r(2, 6));
        }
        d.p.restore();
        Cota(d, QPointF(320, 360), QPointF(420, 240), QStringLiteral("hormigueros, agregado suelto"));
        return QStringLiteral("Concreto mal vibrado: hormigueros en la base de la columna");
    }
    default: {
        // Masonry of mixed units with thick, uneven joints and efflorescence.
        d.p.fillRect(QRectF(90, 80, 460, 330), Mortero.darker(108));
        for (double y = 84; y < 400; y += 24) {
            for (double x = 92 + d.r(0, 20); x < 540; x += d.r(44, 60)) {
                d.p.setPen(QPen(QColor(0x60, 0x40, 0x2a), 1));
                d.p.setBrush((d.moneda() ? Ladrillo : QColor(0xb0, 0xa8, 0x98)).darker(d.ri(90, 115)));
                d.p.drawRect(QRectF(x, y + d.r(-2, 2), d.r(34, 44), d.r(12, 16)));
            }
        }
        d.p.setPen(Qt::NoPen);
        d.p.setBrush(QColor(255, 255, 255, 120));
        d.p.drawEllipse(QPointF(200, 360), 70, 30);
        d.p.setPen(QPen(Tinta, 2));
        d.p.setBrush(Qt::NoBrush);
        d.p.drawRect(QRectF(90, 80, 460, 330));
        Cota(d, QPointF(200, 360), QPointF(300, 414), QStringLiteral("eflorescencias"));
        Cota(d, QPointF(400, 140), QPointF(400, 50), QStringLiteral("juntas gruesas e irregulares"));
        return QStringLiteral("Mampostería de piezas mezcladas y mortero de pega deficiente");
    }
    }
}

void Planta(Dibujo &d, const QPolygonF &contorno)
{
    d.p.setPen(QPen(Tinta, 2.4));
    d.p.setBrush(QColor(0xf0, 0xec, 0xe2));
    d.p.drawPolygon(contorno);
}

void Columnas(Dibujo &d, const QPolygonF &contorno, double paso)
{
    const QRectF b = contorno.boundingRect();
    d.p.setPen(Qt::NoPen);
    d.p.setBrush(Tinta);
    for (double x = b.left(); x <= b.right() + 1; x += paso)
        for (double y = b.top(); y <= b.bottom() + 1; y += paso)
            if (contorno.containsPoint(QPointF(x, y), Qt::OddEvenFill) || contorno.contains(QPointF(x, y)))
                d.p.drawRect(QRectF(x - 5, y - 5, 10, 10));
}

QString DibujarIrregularidadPlanta(Dibujo &d)
{
    Texto(d, QPointF(24, 70), QStringLiteral("planta"), 13, QColor(0x55, 0x55, 0x55), true);
    switch (d.variante) {
    case 1: {
        const QPolygonF ele{QPointF(120, 100), QPointF(520, 100), QPointF(520, 220), QPointF(260, 220), QPointF(260, 410),
                            QPointF(120, 410)};
        Planta(d, ele);
        Columnas(d, ele, 70);
        d.p.setPen(QPen(Nota, 2.4));
        d.p.setBrush(Qt::NoBrush);
        d.p.drawEllipse(QPointF(260, 220), 30, 30);
        Cota(d, QPointF(284, 238), QPointF(340, 320), QStringLiteral("esquina entrante: concentración de esfuerzos"));
        return QStringLiteral("Planta en L con retroceso excesivo en la esquina");
    }
    case 2: {
        const QPolygonF rect{QPointF(120, 110), QPointF(520, 110), QPointF(520, 400), QPointF(120, 400)};
        Planta(d, rect);
        Columnas(d, rect, 80);
        d.p.setPen(Qt::NoPen);
        d.p.setBrush(QColor(0x55, 0x55, 0x55));
        d.p.drawRect(QRectF(116, 110, 14, 290));
        d.p.drawRect(QRectF(120, 106, 180, 14));
        d.p.drawRect(QRectF(120, 392, 180, 14));
        const QPointF cm(320, 255), cr(200, 255);
        d.p.setPen(QPen(Nota, 2));
        d.p.setBrush(Qt::NoBrush);
        d.p.drawEllipse(cm, 9, 9);
        d.p.drawLine(cm - QPointF(14, 0), cm + QPointF(14, 0));
        d.p.drawLine(cm - QPointF(0, 14), cm + QPointF(0, 14));
        d.p.setPen(QPen(QColor(0x30, 0x60, 0xa0), 2));
        d.p.drawRect(QRectF(cr.x() - 8, cr.y() - 8, 16, 16));
        Texto(d, cm + QPointF(14, -14), QStringLiteral("CM"), 13, Nota, true);
        Texto(d, cr + QPointF(-34, -14), QStringLiteral("CR"), 13, QColor(0x30, 0x60, 0xa0), true);
        QPainterPath giro;
        giro.arcMoveTo(QRectF(380, 180, 110, 150), 60);
        giro.arcTo(QRectF(380, 180, 110, 150), 60, -120);
        d.p.setPen(QPen(Nota, 2.2));
        d.p.drawPath(giro);
        Flecha(d, giro.pointAtPercent(0.97), giro.pointAtPercent(1.0) + QPointF(2, 6));
        Texto(d, QPointF(420, 440 - 18), QStringLiteral("torsión"), 13, Nota, true);
        return QStringLiteral("Muros rígidos a un lado: asimetría e irregularidad torsional");
    }
    default: {
        const QPolygonF trapecio{QPointF(110, 110), QPointF(540, 140), QPointF(520, 410), QPointF(130, 400)};
        Planta(d, trapecio);
        d.p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.6, Qt::DashLine));
        for (int i = 1; i < 4; ++i) {
            const double t = i / 4.0;
            d.p.drawLine(QPointF(110 + 430 * t, 110 + 30 * t), QPointF(130 + 390 * t, 400 + 10 * t));
        }
        d.p.setPen(QPen(Tinta, 2));
        d.p.setBrush(Papel);
        d.p.drawRect(QRectF(260, 200, 130, 110));
        Cota(d, QPointF(325, 255), QPointF(360, 60), QStringLiteral("abertura grande en el diafragma"));
        Cota(d, QPointF(520, 260), QPointF(480, 430 - 4), QStringLiteral("pórticos no paralelos"));
        return QStringLiteral("Discontinuidad del diafragma y pórticos no paralelos");
    }
    }
}

// Elevation of a frame building: storeys of height h from the ground at y.
void Portico(Dibujo &d, double x, double y, int vanos, int pisos, double luz, double h, const std::function<bool(int, int)> &lleno,
             double giro = 0)
{
    d.p.save();
    d.p.translate(x, y);
    d.p.rotate(giro);
    for (int p = 0; p < pisos; ++p)
        for (int v = 0; v < vanos; ++v)
            if (lleno(p, v))
                MuroLadrillo(d, QRectF(v * luz + 6, -(p + 1) * h + 8, luz - 12, h - 8), QColor(0xc9, 0x8d, 0x66));
    d.p.setPen(QPen(Tinta, 6, Qt::SolidLine, Qt::FlatCap));
    for (int v = 0; v <= vanos; ++v)
        d.p.drawLine(QPointF(v * luz, 0), QPointF(v * luz, -pisos * h));
    d.p.setPen(QPen(Tinta, 8, Qt::SolidLine, Qt::FlatCap));
    for (int p = 1; p <= pisos; ++p)
        d.p.drawLine(QPointF(-6, -p * h), QPointF(vanos * luz + 6, -p * h));
    d.p.restore();
}

QString DibujarIrregularidadAltura(Dibujo &d)
{
    Terreno(d, 420);
    Texto(d, QPointF(24, 70), QStringLiteral("alzado"), 13, QColor(0x55, 0x55, 0x55), true);
    switch (d.variante) {
    case 1:
        Portico(d, 150, 420, 4, 4, 85, 80, [](int p, int) { return p > 0; });
        Cota(d, QPointF(320, 380), QPointF(420, 440 - 20), QStringLiteral("piso blando (primer piso abierto)"));
        return QStringLiteral("Primer piso sin muros: piso débil o blando");
    case 2:
        Portico(d, 110, 420, 5, 2, 80, 70, [](int, int v) { return v % 2 == 0; });
        Portico(d, 190, 280, 3, 2, 80, 70, [](int, int v) { return v % 2 == 0; });
        Portico(d, 270, 140, 1, 1, 80, 60, [](int, int) { return true; });
        Cota(d, QPointF(190, 280), QPointF(40, 160), QStringLiteral("retrocesos en altura"));
        return QStringLiteral("Irregularidad geométrica: retrocesos sucesivos");
    default:
        Portico(d, 150, 420, 4, 4, 85, 80, [](int p, int v) { return p > 1 || v != 1; });
        // A column that stops on a transfer beam, and a heavy tank on top.
        d.p.fillRect(QRectF(230, 180, 16, 160), Papel);
        d.p.setPen(QPen(Tinta, 6));
        d.p.drawLine(QPointF(235, 100), QPointF(235, 260));
        d.p.setBrush(QColor(0x90, 0x90, 0x90));
        d.p.drawRect(QRectF(300, 60, 140, 40));
        Cota(d, QPointF(235, 262), QPointF(40, 300), QStringLiteral("columna discontinua"));
        Cota(d, QPointF(370, 80), QPointF(470, 50), QStringLiteral("masa concentrada"));
        return QStringLiteral("Discontinuidad de columnas y masa concentrada en la cubierta");
    }
}

QString DibujarConfiguracion(Dibujo &d)
{
    Terreno(d, 420);
    switch (d.variante) {
    case 1: {
        // Short column: a partial-height wall leaves a short free length.
        CuerpoConcreto(d, Rect(40, 80, 560, 40));
        CuerpoConcreto(d, Rect(280, 120, 80, 300));
        MuroLadrillo(d, QRectF(60, 230, 220, 190));
        MuroLadrillo(d, QRectF(360, 230, 220, 190));
        Grieta(d, QPointF(282, 130), QPointF(358, 226), 3.4, 3);
        Grieta(d, QPointF(358, 132), QPointF(282, 224), 2.8, 3);
        Cota(d, QPointF(320, 178), QPointF(380, 40 + 120), QStringLiteral("columna corta: falla por cortante"));
        return QStringLiteral("Columna corta creada por un muro de altura parcial");
    }
    case 2: {
        // Strong beam - weak column: hinges form in the columns.
        for (int p = 0; p < 2; ++p) {
            CuerpoConcreto(d, Rect(60, 120 + p * 150, 520, 60));
            for (double x : {100.0, 300.0, 500.0})
                CuerpoConcreto(d, Rect(x, 180 + p * 150, 26, 90 - p * 0));
        }
        CuerpoConcreto(d, Rect(100, 330 + 60, 26, 30));
        d.p.setPen(QPen(Nota, 2));
        d.p.setBrush(QColor(0xb0, 0x1e, 0x1e, 40));
        for (double x : {113.0, 313.0, 513.0}) {
            d.p.drawEllipse(QPointF(x, 192), 11, 11);
            d.p.drawEllipse(QPointF(x, 258), 11, 11);
        }
        Cota(d, QPointF(313, 258), QPointF(360, 430 - 24), QStringLiteral("articulaciones en las columnas"));
        Texto(d, QPointF(70, 110), QStringLiteral("viga fuerte - columna débil"), 13, Nota, true);
        return QStringLiteral("Viga fuerte y columna débil: mecanismo de piso");
    }
    default: {
        Portico(d, 270, 420, 1, 8, 70, 42, [](int p, int) { return p % 2 == 1; }, 0);
        d.p.setBrush(QColor(0x90, 0x90, 0x90));
        d.p.setPen(QPen(Tinta, 2));
        d.p.drawRect(QRectF(300, 60, 90, 24));
        Flecha(d, QPointF(420, 120), QPointF(500, 120));
        Cota(d, QPointF(340, 260), QPointF(440, 300), QStringLiteral("edificación muy esbelta"));
        Cota(d, QPointF(345, 72), QPointF(430, 50), QStringLiteral("masa excéntrica"));
        return QStringLiteral("Elementos muy esbeltos y excentricidad de masas");
    }
    }
}

// --- pictures and files --------------------------------------------------------------------

struct Tema {
    const char *titulo;
    QString (*dibujar)(Dibujo &);
};

QString DibujarDivisorio(Dibujo &d) { return DibujarMuroNoEstructural(d, false); }
QString DibujarFachada(Dibujo &d) { return DibujarMuroNoEstructural(d, true); }

const std::map<QString, Tema> &Temas()
{
    static const std::map<QString, Tema> temas = {
        {QStringLiteral("Vigas"), {"Viga de concreto", DibujarViga}},
        {QStringLiteral("Columnas"), {"Columna de concreto", DibujarColumna}},
        {QStringLiteral("NudosConc"), {"Nudo de concreto", DibujarNudo}},
        {QStringLiteral("MurosConcr"), {"Muro estructural de concreto", DibujarMuroConcreto}},
        {QStringLiteral("Mamposteria"), {"Muro portante de mampostería", DibujarMamposteria}},
        {QStringLiteral("Bahareque"), {"Muro de bahareque", DibujarBahareque}},
        {QStringLiteral("Tapia"), {"Muro de tapia o adobe", DibujarTapia}},
        {QStringLiteral("Metalicas"), {"Estructura de acero", DibujarMetalica}},
        {QStringLiteral("Madera"), {"Estructura de madera", DibujarMadera}},
        {QStringLiteral("Entrepiso"), {"Entrepiso", DibujarEntrepiso}},
        {QStringLiteral("Divisorios"), {"Muro divisorio", DibujarDivisorio}},
        {QStringLiteral("Fachada"), {"Muro de fachada y antepecho", DibujarFachada}},
        {QStringLiteral("Escaleras"), {"Escalera", DibujarEscalera}},
        {QStringLiteral("CieloLuminaria"), {"Cielo raso y luminarias", DibujarCieloRaso}},
        {QStringLiteral("Instalaciones"), {"Instalaciones", DibujarInstalaciones}},
        {QStringLiteral("Cubierta"), {"Cubierta", DibujarCubierta}},
        {QStringLiteral("Tanques"), {"Tanque elevado", DibujarTanque}},
        {QStringLiteral("GrietDesli"), {"Falla en talud o movimiento en masa", DibujarTalud}},
        {QStringLiteral("LicAsent"), {"Asentamiento, subsidencia y licuación", DibujarAsentamiento}},
        {QStringLiteral("Calidad"), {"Calidad de los materiales", DibujarCalidad}},
        {QStringLiteral("IrregPlanta"), {"Irregularidad en planta", DibujarIrregularidadPlanta}},
        {QStringLiteral("IrregAltura"), {"Irregularidad en altura", DibujarIrregularidadAltura}},
        {QStringLiteral("Configuracion"), {"Configuración estructural", DibujarConfiguracion}},
    };
    return temas;
}

QImage Ilustrar(const QString &clave, const Tema &tema, int nivel, int foto)
{
    QImage img(Ancho, Alto, QImage::Format_RGB32);
    img.fill(Papel);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const quint32 semilla = qHash(clave) ^ (quint32(nivel) * 7919u) ^ (quint32(foto) * 104729u);
    Dibujo d{p, QRandomGenerator(semilla), nivel, (foto - 1) % 3 + 1};

    p.save();
    const QString nota = tema.dibujar(d);
    p.restore();

    // Title band.
    p.fillRect(QRectF(0, 0, Ancho, 38), QColor(0x2f, 0x3b, 0x48));
    p.setPen(Qt::white);
    p.setFont(Fuente(17, true));
    QString titulo = QString::fromUtf8(tema.titulo);
    titulo += nivel > 0 ? QStringLiteral("  ·  ") + QString::fromUtf8(NombreNivel[nivel])
                        : QStringLiteral("  ·  ejemplo %1").arg(foto);
    p.drawText(QRectF(14, 0, Ancho - 28, 38), Qt::AlignVCenter | Qt::AlignLeft, titulo);

    // Caption band with the mark in its right corner.
    const QRectF pie(0, Alto - 36, Ancho, 36);
    p.fillRect(pie, QColor(0xe6, 0xe1, 0xd4));
    p.setPen(QPen(QColor(0xb5, 0xae, 0x9c), 1));
    p.drawLine(pie.topLeft(), pie.topRight());
    p.setFont(Fuente(12, false, true));
    const QString marca = QStringLiteral("Ilustración esquemática");
    const double anchoMarca = QFontMetricsF(p.font()).horizontalAdvance(marca) + 16;
    const QRectF cajaMarca(Ancho - anchoMarca - 8, pie.top() + 7, anchoMarca, 22);
    p.setPen(QPen(QColor(0x6a, 0x62, 0x50), 1));
    p.setBrush(QColor(0xf6, 0xf2, 0xe6));
    p.drawRoundedRect(cajaMarca, 4, 4);
    p.drawText(cajaMarca, Qt::AlignCenter, marca);
    p.setFont(Fuente(13));
    p.setPen(Tinta);
    const QRectF cajaNota(14, pie.top(), cajaMarca.left() - 24, pie.height());
    p.drawText(cajaNota, Qt::AlignVCenter | Qt::AlignLeft, QFontMetricsF(p.font()).elidedText(nota, Qt::ElideRight, cajaNota.width()));
    p.end();
    return img;
}

bool Fallar(const QString &texto)
{
    std::fprintf(stderr, "orv-generar-fotos: %s\n", qPrintable(texto));
    return false;
}

bool Guardar(const QImage &img, const QString &ruta)
{
    QDir().mkpath(QFileInfo(ruta).path());
    QImageWriter escritor(ruta, "jpeg");
    escritor.setQuality(85);
    escritor.setOptimizedWrite(true);
    if (!escritor.write(img))
        return Fallar(QStringLiteral("no se puede escribir %1: %2").arg(ruta, escritor.errorString()));
    return true;
}

// Rows of a count table: key and its numbers (level and count, or count).
bool LeerTabla(const QString &archivo, int columnas, QList<QStringList> &filas)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fallar(QStringLiteral("no se puede leer %1").arg(archivo));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    in.readLine();
    int linea = 1;
    while (!in.atEnd()) {
        const QString texto = in.readLine();
        ++linea;
        if (texto.trimmed().isEmpty())
            continue;
        const QStringList campos = texto.split(QLatin1Char('\t'));
        if (campos.size() != columnas)
            return Fallar(QStringLiteral("%1:%2: se esperaban %3 columnas").arg(archivo).arg(linea).arg(columnas));
        filas << campos;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "uso: orv-generar-fotos CARPETA_REFERENCIA_FOTOS CARPETA_SHARE_ORV\n");
        return 2;
    }
    const QDir referencia(args.at(1));
    const QString carpetaFotos = QDir(args.at(2)).filePath(QStringLiteral("Fotos Daños"));
    // Pictures of keys or numbers no longer listed must not linger.
    QDir(carpetaFotos).removeRecursively();

    int escritas = 0;
    for (const TablaFotos &tabla : TablasFotos()) {
        QList<QStringList> filas;
        if (!LeerTabla(referencia.filePath(tabla.tabla + QStringLiteral(".tsv")), tabla.porNivel ? 3 : 2, filas))
            return 1;
        for (const QStringList &fila : filas) {
            const QString clave = fila.at(0);
            const QString prefijo = PrefijoDeClave(clave);
            const auto tema = Temas().find(clave);
            if (prefijo.isEmpty() || tema == Temas().end()) {
                Fallar(QStringLiteral("%1: clave desconocida \"%2\"").arg(tabla.tabla, clave));
                return 1;
            }
            bool ok = true;
            const int nivel = tabla.porNivel ? fila.at(1).toInt(&ok) : 0;
            bool okCuenta = true;
            const int cuenta = fila.at(tabla.porNivel ? 2 : 1).toInt(&okCuenta);
            if (!ok || !okCuenta || (tabla.porNivel && (nivel < 1 || nivel > 5)) || cuenta < 0) {
                Fallar(QStringLiteral("%1: fila inválida \"%2\"").arg(tabla.tabla, fila.join(QLatin1Char(' '))));
                return 1;
            }
            for (int i = 1; i <= cuenta; ++i) {
                const QString ruta = tabla.porNivel ? RutaFotoNivel(carpetaFotos, clave, prefijo, nivel, i)
                                                    : RutaFotoCondicion(carpetaFotos, clave, prefijo, i);
                if (!Guardar(Ilustrar(clave, tema->second, nivel, i), ruta))
                    return 1;
                ++escritas;
            }
        }
    }
    std::printf("orv-generar-fotos: %d ilustraciones en %s\n", escritas, qPrintable(carpetaFotos));
    return 0;
}
