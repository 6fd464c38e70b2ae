// The placard posted at the building's entrance: the habitability in very
// large capitals on a band of its colour, what it allows, where and which
// building, who evaluated it and when, the safety measures in full and the
// two warnings. One A4 page, to be read from a few metres.

#include "reports/document_pages.h"
#include "reports/document_texts.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QStringList>

using namespace RegistroEvaluaciones;

namespace Documentos {

ClaseAviso ClaseDeHabitabilidad(const QString &habitabilidad)
{
    const QString h = habitabilidad.simplified();
    auto es = [&h](const char *nombre) { return h.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0; };
    const QColor blanco(Qt::white), negro(Qt::black);
    if (es("Habitable"))
        return {QStringLiteral("HABITABLE"),
                QStringLiteral("La edificación puede ocuparse y usarse, atendiendo las medidas de seguridad de este aviso."),
                QColor(0x1b, 0x7a, 0x36), blanco};
    if (es("Uso Restringido"))
        return {QStringLiteral("USO RESTRINGIDO"),
                QStringLiteral("Solo pueden usarse las zonas que no estén cerradas o señaladas; no entre en los recintos "
                               "restringidos."),
                QColor(0xf5, 0xc4, 0x00), negro};
    if (es("No Habitable"))
        return {QStringLiteral("NO HABITABLE"),
                QStringLiteral("Prohibido habitar o permanecer en la edificación. El personal autorizado solo puede "
                               "entrar en la medida en que lo permitan las medidas de seguridad de este aviso."),
                QColor(0xc6, 0x1c, 0x1c), blanco};
    if (es("Peligro de Colapso"))
        return {QStringLiteral("PELIGRO DE COLAPSO"),
                QStringLiteral("Prohibido habitar, permanecer o entrar en la edificación, salvo el personal autorizado y "
                               "los organismos de socorro en la medida en que lo permitan las medidas de seguridad de "
                               "este aviso."),
                QColor(0xc6, 0x1c, 0x1c), blanco};
    return {h.isEmpty() ? QStringLiteral("SIN CLASIFICACIÓN") : QLocale(QLocale::Spanish).toUpper(h),
            QStringLiteral("Consulte al Municipio de Quenbria antes de ocupar la edificación."),
            QColor(0x75, 0x75, 0x75), blanco};
}

namespace {

const QColor Tinta(0x1a, 0x1a, 0x1a);
const QColor Gris(0x55, 0x55, 0x55);

// The band's capitals: one line, or two split at a blank, whichever allows
// the larger letters; words are never broken.
void DibujarTitulo(QPainter &p, const Pagina &pagina, const QRectF &caja, const ClaseAviso &clase)
{
    QStringList opciones{clase.titulo};
    const QStringList palabras = clase.titulo.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 1; i < palabras.size(); ++i)
        opciones << palabras.mid(0, i).join(QLatin1Char(' ')) + QLatin1Char('\n') + palabras.mid(i).join(QLatin1Char(' '));
    double mejorPuntos = 0;
    QString mejor = clase.titulo;
    for (const QString &opcion : opciones) {
        const QStringList lineas = opcion.split(QLatin1Char('\n'));
        // Letter size grows linearly with the point size: measure once at 100 points.
        const QFont prueba = pagina.fuente(100, true);
        double ancho = 0;
        for (const QString &l : lineas)
            ancho = std::max(ancho, pagina.anchoTexto(l, prueba));
        const double alto = pagina.altoLinea(prueba) * lineas.size();
        double puntos = 100 * std::min(caja.width() / std::max(ancho, 1.0), caja.height() / alto);
        puntos = std::min(puntos, 150.0);
        if (puntos > mejorPuntos * 1.05) {  // a second line must earn its place
            mejorPuntos = puntos;
            mejor = opcion;
        }
    }
    const QFont fuente = pagina.fuente(std::max(mejorPuntos * 0.98, 4.0), true);
    const Parrafo parrafo(pagina, mejor, fuente, caja.width() + 1, Qt::AlignHCenter);
    parrafo.dibujar(p, QPointF(caja.left(), caja.center().y() - parrafo.alto() / 2), clase.letra);
}

struct Dato {
    QString etiqueta;
    QString valor;
};

// "N.º 57 del 04/12/2026 (USO RESTRINGIDO)".
QString TextoReferencia(const ReferenciaAviso &r)
{
    const QDateTime fecha = QDateTime::fromString(r.fecha, Qt::ISODate);
    return QStringLiteral("N.º %1 del %2 (%3)")
        .arg(r.numero)
        .arg(fecha.isValid() ? fecha.toString(QStringLiteral("dd/MM/yyyy")) : r.fecha,
             ClaseDeHabitabilidad(r.habitabilidad).titulo);
}

}  // namespace

QString TextoReemplaza(const ReferenciaAviso &anterior)
{
    return QStringLiteral("Reemplaza el aviso de la evaluación %1.").arg(TextoReferencia(anterior));
}

QString TextoReemplazado(const ReferenciaAviso &vigente)
{
    return QStringLiteral("El aviso vigente de esta edificación es el de la evaluación %1. Este aviso ya no vale: "
                          "no lo publique.")
        .arg(TextoReferencia(vigente));
}

void DibujarAviso(QPainter &p, const Pagina &pagina, const RegistroEvaluacion &r, const ComentariosRegistro &c)
{
    const QRectF area = pagina.area();
    const double ancho = area.width();
    auto mm = [&pagina](double x) { return pagina.mm(x); };
    const ClaseAviso clase = ClaseDeHabitabilidad(r.texto(Pos::Habitabilidad));

    // Heading: the municipality and the evaluation number.
    double y = area.top();
    const QFont municipio = pagina.fuente(15, true);
    const QFont subtitulo = pagina.fuente(10.5);
    const QString numero = QStringLiteral("Evaluación N.º %1").arg(TextoNumero(r));
    const QFont fuenteNumero = FuenteQueCabe(pagina, numero, QSizeF(ancho * 0.45, mm(8)), 15, 7, true);
    const double anchoNumero = std::min(pagina.anchoTexto(numero, fuenteNumero) + mm(1), ancho * 0.45);
    const Parrafo lineaNumero(pagina, numero, fuenteNumero, anchoNumero, Qt::AlignRight);
    const double anchoIzquierda = ancho - anchoNumero - mm(4);
    const Parrafo lineaMunicipio(pagina, Municipio.toUpper(), municipio, anchoIzquierda);
    const Parrafo lineaSubtitulo(pagina, QStringLiteral("Evaluación de la edificación después del sismo"), subtitulo,
                                 anchoIzquierda);
    lineaMunicipio.dibujar(p, QPointF(area.left(), y), Tinta);
    lineaSubtitulo.dibujar(p, QPointF(area.left(), y + lineaMunicipio.alto() + mm(1)), Gris);
    lineaNumero.dibujar(p, QPointF(area.right() - anchoNumero, y), Tinta);
    y += std::max(lineaMunicipio.alto() + mm(1) + lineaSubtitulo.alto(), lineaNumero.alto());
    y += mm(4);

    // A placard a newer evaluation replaced says so first, in black, and
    // its colour is struck through: nobody can post it by mistake.
    if (r.reemplazadaPor) {
        const QString texto = TextoReemplazado(*r.reemplazadaPor);
        const QRectF negra(area.left(), y, ancho, mm(30));
        p.fillRect(negra, Qt::black);
        const QRectF cajaTitulo = negra.adjusted(mm(4), mm(2), -mm(4), -mm(15));
        const QFont fuenteTitulo = FuenteQueCabe(pagina, QStringLiteral("AVISO REEMPLAZADO"), cajaTitulo.size(), 40, 10, true);
        const Parrafo titulo(pagina, QStringLiteral("AVISO REEMPLAZADO"), fuenteTitulo, cajaTitulo.width(), Qt::AlignHCenter);
        titulo.dibujar(p, cajaTitulo.topLeft(), Qt::white);
        const QSizeF cajaTexto(negra.width() - mm(8), mm(12));
        const QFont fuenteTexto = FuenteQueCabe(pagina, texto, cajaTexto, 12, 6, true);
        const Parrafo parrafo(pagina, texto, fuenteTexto, cajaTexto.width(), Qt::AlignHCenter);
        parrafo.dibujar(p, QPointF(negra.left() + mm(4), negra.bottom() - mm(1.5) - parrafo.alto()), Qt::white);
        y = negra.bottom() + mm(3);
    }

    // The band.
    const QRectF banda(area.left(), y, ancho, mm(r.reemplazadaPor ? 44 : 66));
    p.fillRect(banda, clase.fondo);
    DibujarTitulo(p, pagina, banda.adjusted(mm(6), mm(5), -mm(6), -mm(5)), clase);
    if (r.reemplazadaPor) {
        p.save();
        p.setClipRect(banda);
        p.setPen(QPen(Qt::black, mm(2.5)));
        p.drawLine(banda.topLeft(), banda.bottomRight());
        p.drawLine(banda.bottomLeft(), banda.topRight());
        p.restore();
    }
    y = banda.bottom() + mm(4);

    // What it allows.
    const QSizeF cajaPermite(ancho, mm(17));
    const QFont fuentePermite = FuenteQueCabe(pagina, clase.permite, cajaPermite, 17, 8, true);
    const Parrafo permite(pagina, clase.permite, fuentePermite, ancho, Qt::AlignHCenter);
    permite.dibujar(p, QPointF(area.left(), y), Tinta);
    y += std::max(permite.alto(), mm(10)) + mm(4);
    if (r.reemplaza) {
        const QString texto = TextoReemplaza(*r.reemplaza);
        const QFont fuente = FuenteQueCabe(pagina, texto, QSizeF(ancho, mm(10)), 12, 6, true);
        const Parrafo parrafo(pagina, texto, fuente, ancho, Qt::AlignHCenter);
        parrafo.dibujar(p, QPointF(area.left(), y - mm(2)), Tinta);
        y += parrafo.alto() + mm(2);
    }
    p.fillRect(QRectF(area.left(), y, ancho, mm(0.5)), Tinta);
    y += mm(4);

    // Where, which building, who and when.
    const QList<Dato> datos = {
        {QStringLiteral("Dirección"), TextoEscrito(TextoDireccion(r))},
        {QStringLiteral("Edificación"), TextoEscrito(r.texto(Pos::NombreEdificacion))},
        {QStringLiteral("Barrio"), TextoEscrito(r.texto(Pos::Barrio))},
        {QStringLiteral("Código catastral"), TextoCodigoCatastral(r)},
        {QStringLiteral("Fecha y hora"), TextoFechaHora(r)},
        {QStringLiteral("Evaluador"), TextoEscrito(r.texto(Pos::Evaluador))},
        {QStringLiteral("Comisión"), TextoEscrito(r.texto(Pos::CodigoComision))},
    };
    const QFont fuenteEtiqueta = pagina.fuente(10);
    const double anchoEtiqueta = mm(38);
    const double anchoValor = ancho - anchoEtiqueta;
    const double altoValor = 2 * pagina.altoLinea(pagina.fuente(13, true));
    for (const Dato &d : datos) {
        const QString valor = d.valor.isEmpty() ? QStringLiteral("—") : d.valor;
        const QFont f = FuenteQueCabe(pagina, valor, QSizeF(anchoValor, altoValor), 13, 6, true);
        const Parrafo etiqueta(pagina, d.etiqueta, fuenteEtiqueta, anchoEtiqueta - mm(2));
        const Parrafo texto(pagina, valor, f, anchoValor);
        const double base = pagina.altoLinea(pagina.fuente(13, true));
        etiqueta.dibujar(p, QPointF(area.left(), y + (base - etiqueta.alto(0, 1)) * 0.7), Gris);
        texto.dibujar(p, QPointF(area.left() + anchoEtiqueta, y), Tinta);
        y += std::max(texto.alto(), base) + mm(1.8);
    }
    y += mm(2);

    // The warnings, at the foot of the page.
    const QString replicas = AvisoReplicas();
    const QString oficial = AvisoOficial();
    const double relleno = mm(3);
    const double anchoAviso = ancho - 2 * relleno;
    const QFont fuenteReplicas = FuenteQueCabe(pagina, replicas, QSizeF(anchoAviso, mm(14)), 13, 7, true);
    const QFont fuenteOficial = FuenteQueCabe(pagina, oficial, QSizeF(anchoAviso, mm(9)), 11, 6, false);
    const Parrafo parrafoReplicas(pagina, replicas, fuenteReplicas, anchoAviso);
    const Parrafo parrafoOficial(pagina, oficial, fuenteOficial, anchoAviso);
    const double altoAvisos = parrafoReplicas.alto() + mm(2) + parrafoOficial.alto() + 2 * relleno;
    const QRectF cajaAvisos(area.left(), area.bottom() - altoAvisos, ancho, altoAvisos);
    p.setPen(QPen(Tinta, mm(0.5)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cajaAvisos.adjusted(mm(0.25), mm(0.25), -mm(0.25), -mm(0.25)));
    parrafoReplicas.dibujar(p, cajaAvisos.topLeft() + QPointF(relleno, relleno), Tinta);
    parrafoOficial.dibujar(p, cajaAvisos.topLeft() + QPointF(relleno, relleno + parrafoReplicas.alto() + mm(2)), Tinta);

    // The safety measures, in full, in what is left between.
    const QFont fuenteTitulo = pagina.fuente(12, true);
    const Parrafo tituloMedidas(pagina, QStringLiteral("Medidas de seguridad"), fuenteTitulo, ancho);
    tituloMedidas.dibujar(p, QPointF(area.left(), y), Tinta);
    y += tituloMedidas.alto() + mm(1.5);
    const QString medidas = c.medidasSeguridad.trimmed().isEmpty()
                                ? QStringLiteral("No hay medidas de seguridad registradas para esta evaluación.")
                                : c.medidasSeguridad.trimmed();
    const QSizeF cajaMedidas(ancho, std::max(cajaAvisos.top() - mm(4) - y, mm(5)));
    // Shrunk as far as needed: the text is never cut.
    const QFont fuenteMedidas = FuenteQueCabe(pagina, medidas, cajaMedidas, 13, 1, false);
    const Parrafo parrafoMedidas(pagina, medidas, fuenteMedidas, ancho);
    parrafoMedidas.dibujar(p, QPointF(area.left(), y), Tinta);
}

}  // namespace Documentos
