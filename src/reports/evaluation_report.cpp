// The evaluation report: heading with the municipality, number, date,
// evaluator and commission; identification and address; building data; the
// ratings; results and indices; the five comments; the disclaimer; the
// photos of the building, six to a page. Laid out
// twice with the same code: once to count the pages, once to draw them with
// "Página i de n" at their foot.

#include "reports/document_pages.h"
#include "reports/document_texts.h"

#include "core/evaluation/rating_captions.h"

#include "photos/photo_preparation.h"

#include <algorithm>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>

using namespace RegistroEvaluaciones;

namespace Documentos {

namespace {

const QColor Tinta(0x1a, 0x1a, 0x1a);
const QColor Gris(0x55, 0x55, 0x55);
const QColor Linea(0x99, 0x99, 0x99);
const QColor Sombra(0xec, 0xec, 0xec);

constexpr double PuntosCuerpo = 8.5;
constexpr double PuntosPie = 8;

// "Vigas: Leve (%)" -> {"Vigas", "Leve"}: the element group and the level of
// a structural share, as the table description labels them.
QPair<QString, QString> PartesProporcion(int posicion)
{
    QString etiqueta = Campo(posicion).etiqueta;
    if (etiqueta.endsWith(QLatin1String(" (%)")))
        etiqueta.chop(4);
    const qsizetype dos = etiqueta.indexOf(QLatin1String(": "));
    if (dos < 0)
        return {etiqueta, QString()};
    return {etiqueta.left(dos), etiqueta.mid(dos + 2)};
}

QString TextoRelevancia(int caso)
{
    switch (caso) {
    case 0: return QStringLiteral("Ninguna");
    case 1: return QStringLiteral("Condiciones preexistentes");
    case 2: return QStringLiteral("Condiciones del suelo");
    case 3: return QStringLiteral("Condiciones del suelo y condiciones preexistentes");
    default: return QString::number(caso);
    }
}

class Maquetacion {
public:
    // `p` null: the pages are only counted.
    Maquetacion(QPainter *p, const Pagina &pagina, const RegistroEvaluacion &r, const ComentariosRegistro &c,
                int totalPaginas)
        : p_(p), pg_(pagina), r_(r), c_(c), total_(totalPaginas), area_(pagina.area()),
          cuerpo_(pagina.fuente(PuntosCuerpo)), negrita_(pagina.fuente(PuntosCuerpo, true)),
          pie_(pagina.fuente(PuntosPie))
    {
        abajo_ = area_.bottom() - pg_.altoLinea(pie_) - mm(4);
    }

    int maquetar()
    {
        encabezado();
        identificacion();
        edificacion();
        proporciones();
        cualitativos();
        resultados();
        comentarios();
        advertencia();
        fotos();
        pie();
        return pagina_;
    }

private:
    double mm(double x) const { return pg_.mm(x); }

    // --- pages -------------------------------------------------------------------
    void saltar()
    {
        pie();
        if (p_)
            pg_.dispositivo().newPage();
        ++pagina_;
        y_ = area_.top();
        // A short heading on the pages after the first.
        const Parrafo linea(pg_, QStringLiteral("%1 · Reporte de la evaluación N.º %2").arg(Municipio, TextoNumero(r_)),
                            pie_, area_.width());
        if (p_) {
            linea.dibujar(*p_, QPointF(area_.left(), y_), Gris);
            p_->fillRect(QRectF(area_.left(), y_ + linea.alto() + mm(1), area_.width(), mm(0.3)), Linea);
        }
        y_ += linea.alto() + mm(5);
    }

    // Starts a new page unless `alto` still fits on this one (or the page is empty).
    void asegurar(double alto)
    {
        if (y_ + alto > abajo_ && y_ > area_.top() + mm(12))
            saltar();
    }

    void pie()
    {
        if (!p_)
            return;
        const QString izquierda = QStringLiteral("%1 — Evaluación N.º %2").arg(Municipio, TextoNumero(r_));
        const QString derecha = QStringLiteral("Página %1 de %2").arg(pagina_).arg(total_);
        const double alto = pg_.altoLinea(pie_);
        const double y = area_.bottom() - alto;
        p_->fillRect(QRectF(area_.left(), y - mm(1.5), area_.width(), mm(0.3)), Linea);
        const double anchoDerecha = pg_.anchoTexto(derecha, pie_) + mm(1);
        Parrafo(pg_, izquierda, pie_, area_.width() - anchoDerecha - mm(4)).dibujar(*p_, QPointF(area_.left(), y), Gris, 0, 1);
        Parrafo(pg_, derecha, pie_, anchoDerecha, Qt::AlignRight)
            .dibujar(*p_, QPointF(area_.right() - anchoDerecha, y), Tinta);
    }

    // --- blocks ------------------------------------------------------------------
    // A paragraph at `x`, `ancho` wide, continued on the next pages when
    // it is longer than what is left of this one.
    void parrafo(const Parrafo &texto, double x, const QColor &color)
    {
        int desde = 0;
        while (desde < texto.lineas()) {
            int n = texto.lineasQueCaben(desde, abajo_ - y_);
            if (n == 0) {
                if (y_ > area_.top() + mm(12)) {
                    saltar();
                    continue;
                }
                n = 1;  // a line taller than a page: drawn as is
            }
            if (p_)
                texto.dibujar(*p_, QPointF(x, y_), color, desde, desde + n);
            y_ += texto.alto(desde, desde + n);
            desde += n;
        }
    }

    void seccion(const QString &titulo)
    {
        const Parrafo t(pg_, titulo, pg_.fuente(11, true), area_.width());
        asegurar(t.alto() + mm(3) + 3 * pg_.altoLinea(cuerpo_));
        y_ += mm(3);
        if (p_) {
            t.dibujar(*p_, QPointF(area_.left(), y_), Tinta);
            p_->fillRect(QRectF(area_.left(), y_ + t.alto() + mm(0.6), area_.width(), mm(0.35)), Tinta);
        }
        y_ += t.alto() + mm(2.2);
    }

    // One labelled value: the label on the left, the value wrapped beside it.
    void dato(const QString &etiqueta, const QString &valor)
    {
        const double anchoEtiqueta = mm(64);
        const Parrafo e(pg_, etiqueta, cuerpo_, anchoEtiqueta - mm(3));
        const Parrafo v(pg_, valor.isEmpty() ? QStringLiteral("—") : valor, negrita_, area_.width() - anchoEtiqueta);
        asegurar(std::min(std::max(e.alto(), v.alto()), abajo_ - area_.top() - mm(20)));
        const double arriba = y_;
        if (p_)
            e.dibujar(*p_, QPointF(area_.left(), y_), Gris);
        parrafo(v, area_.left() + anchoEtiqueta, Tinta);
        if (y_ < arriba + e.alto())  // same page: the label may be the taller
            y_ = arriba + e.alto();
        y_ += mm(1.2);
    }

    using Datos = QList<QPair<QString, QString>>;
    QPair<QString, QString> campo(int posicion) const { return {Campo(posicion).etiqueta, TextoCampo(r_, posicion)}; }

    // Labelled values `columnas` to a row (an empty label leaves its cell
    // empty); a value too long for that goes on a line of its own,
    // continued on the next page when needed.
    void datos(const Datos &lista, int columnas = 2)
    {
        const double separacion = mm(5);
        const double columna = (area_.width() - (columnas - 1) * separacion) / columnas;
        const double anchoEtiqueta = columna * (columnas == 2 ? 0.42 : 0.5);
        for (qsizetype i = 0; i < lista.size(); i += columnas) {
            std::vector<std::pair<Parrafo, Parrafo>> celdas;
            double alto = 0;
            for (qsizetype j = i; j < std::min(i + columnas, lista.size()); ++j) {
                const QString &valor = lista.at(j).second;
                celdas.emplace_back(Parrafo(pg_, lista.at(j).first, cuerpo_, anchoEtiqueta - mm(2)),
                                    Parrafo(pg_, valor.isEmpty() ? QStringLiteral("—") : valor, negrita_,
                                            columna - anchoEtiqueta));
                alto = std::max({alto, celdas.back().first.alto(), celdas.back().second.alto()});
            }
            if (alto > 4 * pg_.altoLinea(negrita_)) {
                for (qsizetype j = i; j < std::min(i + columnas, lista.size()); ++j)
                    if (!lista.at(j).first.isEmpty())
                        dato(lista.at(j).first, lista.at(j).second);
                continue;
            }
            asegurar(alto);
            if (p_)
                for (size_t k = 0; k < celdas.size(); ++k) {
                    if (lista.at(i + static_cast<qsizetype>(k)).first.isEmpty())
                        continue;
                    const double x = area_.left() + static_cast<double>(k) * (columna + separacion);
                    celdas[k].first.dibujar(*p_, QPointF(x, y_), Gris);
                    celdas[k].second.dibujar(*p_, QPointF(x + anchoEtiqueta, y_), Tinta);
                }
            y_ += alto + mm(1.2);
        }
    }

    // A table row: texts in cells of the given widths, the first left
    // aligned, the others centred unless `izquierda`; shaded when `sombra`.
    double fila(const QStringList &celdas, const QVector<double> &anchos, const QFont &fuente, bool sombra,
                bool izquierda = false)
    {
        std::vector<Parrafo> parrafos;
        double alto = 0;
        for (int i = 0; i < celdas.size(); ++i) {
            parrafos.emplace_back(pg_, celdas.at(i), fuente, anchos.at(i) - mm(2),
                                  i == 0 || izquierda ? Qt::AlignLeft : Qt::AlignHCenter);
            alto = std::max(alto, parrafos.back().alto());
        }
        alto += mm(1.6);
        asegurar(alto);
        if (p_) {
            if (sombra)
                p_->fillRect(QRectF(area_.left(), y_, area_.width(), alto), Sombra);
            double x = area_.left();
            for (size_t i = 0; i < parrafos.size(); ++i) {
                parrafos.at(i).dibujar(*p_, QPointF(x + mm(1), y_ + mm(0.8)), Tinta);
                x += anchos.at(static_cast<qsizetype>(i));
            }
            p_->fillRect(QRectF(area_.left(), y_ + alto - mm(0.15), area_.width(), mm(0.15)), Linea);
        }
        y_ += alto;
        return alto;
    }

    // --- sections ----------------------------------------------------------------
    void encabezado()
    {
        y_ = area_.top();
        const double ancho = area_.width();
        const QString numero = QStringLiteral("Evaluación N.º %1").arg(TextoNumero(r_));
        const QFont fuenteNumero = pg_.fuente(13, true);
        const double anchoNumero = std::min(pg_.anchoTexto(numero, fuenteNumero) + mm(1), ancho * 0.4);
        const Parrafo valorNumero(pg_, numero, fuenteNumero, anchoNumero, Qt::AlignRight);
        const double anchoTitulo = ancho - anchoNumero - mm(5);
        const Parrafo municipio(pg_, Municipio.toUpper(), pg_.fuente(11, true), anchoTitulo);
        const Parrafo titulo(pg_, QStringLiteral("Reporte de evaluación de la edificación"), pg_.fuente(14, true),
                             anchoTitulo);
        if (p_) {
            municipio.dibujar(*p_, QPointF(area_.left(), y_), Gris);
            titulo.dibujar(*p_, QPointF(area_.left(), y_ + municipio.alto() + mm(0.5)), Tinta);
            valorNumero.dibujar(*p_, QPointF(area_.right() - anchoNumero, y_), Tinta);
        }
        y_ += std::max(municipio.alto() + mm(0.5) + titulo.alto(), valorNumero.alto()) + mm(3);

        // Date, evaluator and commission side by side.
        const QStringList etiquetas = {QStringLiteral("Fecha y hora"), Campo(Pos::Evaluador).etiqueta,
                                       Campo(Pos::CodigoComision).etiqueta};
        const QStringList valores = {TextoFechaHora(r_), TextoEscrito(r_.texto(Pos::Evaluador)),
                                     TextoEscrito(r_.texto(Pos::CodigoComision))};
        const double anchos[3] = {ancho * 0.25, ancho * 0.45, ancho * 0.3};
        double alto = 0;
        std::vector<std::pair<Parrafo, Parrafo>> celdas;
        for (int i = 0; i < 3; ++i) {
            celdas.emplace_back(Parrafo(pg_, etiquetas.at(i), pg_.fuente(8), anchos[i] - mm(4)),
                                Parrafo(pg_, valores.at(i).isEmpty() ? QStringLiteral("—") : valores.at(i),
                                        pg_.fuente(10, true), anchos[i] - mm(4)));
            alto = std::max(alto, celdas.back().first.alto() + celdas.back().second.alto());
        }
        alto += mm(3);
        if (p_) {
            p_->fillRect(QRectF(area_.left(), y_, ancho, alto), Sombra);
            double x = area_.left();
            for (int i = 0; i < 3; ++i) {
                const auto &[e, v] = celdas.at(i);
                e.dibujar(*p_, QPointF(x + mm(2), y_ + mm(1.5)), Gris);
                v.dibujar(*p_, QPointF(x + mm(2), y_ + mm(1.5) + e.alto()), Tinta);
                x += anchos[i];
            }
        }
        y_ += alto + mm(2);

        // Its identification was corrected after it was saved
        // (core/registry/corrections.h): the values shown are the corrected ones.
        if (r_.corregida.isValid()) {
            const Parrafo corregida(pg_,
                                    QStringLiteral("Corregida el %1: la identificación de esta evaluación se corrigió "
                                                   "después de guardarla; se muestran los valores corregidos.")
                                        .arg(r_.corregida.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))),
                                    pg_.fuente(9, true), ancho);
            if (p_)
                corregida.dibujar(*p_, QPointF(area_.left(), y_), Tinta);
            y_ += corregida.alto() + mm(2);
        }

        // The habitability on its colour.
        const ClaseAviso clase = ClaseDeHabitabilidad(r_.texto(Pos::Habitabilidad));
        const Parrafo habitabilidad(pg_, QStringLiteral("Habitabilidad: %1").arg(clase.titulo), pg_.fuente(12, true),
                                    ancho - mm(6));
        if (p_) {
            p_->fillRect(QRectF(area_.left(), y_, ancho, habitabilidad.alto() + mm(3)), clase.fondo);
            habitabilidad.dibujar(*p_, QPointF(area_.left() + mm(3), y_ + mm(1.5)), clase.letra);
        }
        y_ += habitabilidad.alto() + mm(4);
    }

    void identificacion()
    {
        seccion(NombreGrupo(GrupoCampo::Identificacion));
        Datos lista = {campo(Pos::NombreEdificacion),
                       {QStringLiteral("Dirección"), TextoEscrito(TextoDireccion(r_))},
                       campo(Pos::Barrio),
                       {QStringLiteral("Código catastral"), TextoCodigoCatastral(r_)}};
        for (const CampoRegistro &c : Campos()) {
            if (c.grupo != GrupoCampo::Identificacion)
                continue;
            switch (c.posicion) {
            case Pos::Numero: case Pos::Comuna: case Pos::Barrio: case Pos::TipoAvaluo: case Pos::Sector:
            case Pos::Manzana: case Pos::Predio: case Pos::MejoraPH: case Pos::TipoDireccion: case Pos::NumeroCalle:
            case Pos::Avenida: case Pos::OtraVia: case Pos::NumeroCasa: case Pos::NombreEdificacion:
            case Pos::Evaluador: case Pos::CodigoComision: case Pos::Fecha:
                continue;  // in the heading or in the lines above
            default:
                lista << campo(c.posicion);
            }
        }
        const QString latitud = TextoCampo(r_, Pos::Latitud), longitud = TextoCampo(r_, Pos::Longitud);
        if (!latitud.isEmpty() || !longitud.isEmpty())
            lista << QPair<QString, QString>{QStringLiteral("%1 (WGS 84)").arg(Campo(Pos::Latitud).etiqueta), latitud}
                  << QPair<QString, QString>{QStringLiteral("%1 (WGS 84)").arg(Campo(Pos::Longitud).etiqueta), longitud};
        datos(lista);
    }

    void edificacion()
    {
        seccion(NombreGrupo(GrupoCampo::Edificacion));
        Datos lista;
        for (const CampoRegistro &c : Campos()) {
            if (c.grupo != GrupoCampo::Edificacion)
                continue;
            if (c.posicion == Pos::CasoRelevancia)
                lista << QPair<QString, QString>{c.etiqueta, TextoRelevancia(r_.campo(c.posicion).toInt())};
            else
                lista << campo(c.posicion);
        }
        datos(lista);
    }

    void proporciones()
    {
        seccion(NombreGrupo(GrupoCampo::Proporciones));
        const double ancho = area_.width();
        const QVector<double> anchos = {ancho * 0.25, ancho * 0.15, ancho * 0.15, ancho * 0.15, ancho * 0.15,
                                        ancho * 0.15};
        QStringList cabecera = {QStringLiteral("Elemento")};
        for (int k = 0; k < 5; ++k)
            cabecera << PartesProporcion(Pos::PrimeraProporcion + k).second;
        asegurar(7 * pg_.altoLinea(cuerpo_) * 1.6);
        fila(cabecera, anchos, negrita_, true);
        for (int g = 0; g < NumGruposProporcion; ++g) {
            const int primera = Pos::PrimeraProporcion + 5 * g;
            QStringList celdas = {PartesProporcion(primera).first};
            int suma = 0;
            for (int k = 0; k < 5; ++k) {
                suma += r_.campo(primera + k).toInt();
                celdas << QStringLiteral("%1 %").arg(r_.texto(primera + k));
            }
            if (suma == 0)  // the group was not rated
                for (int k = 1; k <= 5; ++k)
                    celdas[k] = QStringLiteral("—");
            fila(celdas, anchos, cuerpo_, false);
        }
    }

    void cualitativos()
    {
        seccion(NombreGrupo(GrupoCampo::Cualitativos));
        const double ancho = area_.width();
        // Two elements per row.
        const QVector<double> anchos = {ancho * 0.3, ancho * 0.2, ancho * 0.3, ancho * 0.2};
        for (int i = 0; i < NumCualitativos; i += 2) {
            QStringList celdas;
            for (int j = i; j < i + 2; ++j) {
                if (j < NumCualitativos) {
                    const int posicion = Pos::PrimerCualitativo + j;
                    const int nivel = r_.campo(posicion).toInt();
                    QString texto = TextoNivelCualitativo(j, nivel);
                    if (texto.isEmpty())
                        texto = r_.texto(posicion);
                    celdas << Campo(posicion).etiqueta << texto;
                } else {
                    celdas << QString() << QString();
                }
            }
            fila(celdas, anchos, cuerpo_, (i / 2) % 2 == 1, true);
        }
    }

    // Each kind of result on a row: risk, level and index.
    void resultados()
    {
        // Kept on one page: six rows of at most two lines of labels.
        asegurar(mm(5) + pg_.altoLinea(pg_.fuente(11, true)) + 6 * (2 * pg_.altoLinea(cuerpo_) + mm(1.2)));
        seccion(NombreGrupo(GrupoCampo::Resultados));
        const QPair<QString, QString> vacio;
        datos({campo(Pos::RiesgoEstructural), campo(Pos::DannoEstructural), campo(Pos::IndiceEstructural),
               campo(Pos::RiesgoNoEstructural), campo(Pos::DannoNoEstructural), campo(Pos::IndiceNoEstructural),
               campo(Pos::RiesgoGeotecnico), campo(Pos::CondicionesSuelo), campo(Pos::IndiceSuelo),
               vacio, campo(Pos::CondicionesPreexistentes), campo(Pos::IndicePreexistente),
               campo(Pos::DannoEdificio), campo(Pos::EstadoGlobal), vacio,
               campo(Pos::Habitabilidad), campo(Pos::Reparabilidad), vacio},
              3);
    }

    void comentarios()
    {
        seccion(QStringLiteral("Comentarios"));
        const QList<QPair<QString, QString>> lista = {
            {Campo(Pos::DannoEdificio).etiqueta, c_.dannoEdificio},
            {Campo(Pos::EstadoGlobal).etiqueta, c_.estadoGlobal},
            {Campo(Pos::Habitabilidad).etiqueta, c_.habitabilidad},
            {Campo(Pos::Reparabilidad).etiqueta, c_.reparabilidad},
            {QStringLiteral("Medidas de seguridad"), c_.medidasSeguridad},
        };
        for (const auto &[titulo, texto] : lista) {
            const Parrafo t(pg_, titulo, negrita_, area_.width());
            const Parrafo cuerpo(pg_, texto.trimmed().isEmpty() ? QStringLiteral("—") : texto.trimmed(), cuerpo_,
                                 area_.width(), Qt::AlignJustify);
            asegurar(t.alto() + 2 * pg_.altoLinea(cuerpo_));
            if (p_)
                t.dibujar(*p_, QPointF(area_.left(), y_), Tinta);
            y_ += t.alto() + mm(0.5);
            parrafo(cuerpo, area_.left(), Tinta);
            y_ += mm(2.5);
        }
    }

    void advertencia()
    {
        const Parrafo texto(pg_, TextoAdvertencia(), pg_.fuente(8.5), area_.width() - mm(6));
        const double alto = texto.alto() + mm(4);
        y_ += mm(2);
        asegurar(alto);
        if (p_) {
            p_->setPen(QPen(Linea, mm(0.3)));
            p_->setBrush(Qt::NoBrush);
            p_->drawRect(QRectF(area_.left(), y_, area_.width(), alto));
            texto.dibujar(*p_, QPointF(area_.left() + mm(3), y_ + mm(2)), Gris);
        }
        y_ += alto;
    }

    // The photos of the building, six to a page (two columns of three), each
    // with "Foto 3 de 8", its caption, when and where it was taken.
    void fotos()
    {
        const int total = static_cast<int>(r_.fotos.size());
        if (total == 0)
            return;
        constexpr int PorPagina = 6;
        const double hueco = mm(5);
        const double anchoCelda = (area_.width() - hueco) / 2;
        const QFont leyenda = pg_.fuente(PuntosCuerpo);
        const QFont detalle = pg_.fuente(PuntosPie);
        for (int i = 0; i < total; ++i) {
            if (i % PorPagina == 0) {
                saltar();
                const QString titulo = total <= PorPagina
                                           ? QStringLiteral("Fotos de la edificación")
                                           : QStringLiteral("Fotos de la edificación (%1 a %2 de %3)")
                                                 .arg(i + 1)
                                                 .arg(std::min(total, i + PorPagina))
                                                 .arg(total);
                const Parrafo t(pg_, titulo, negrita_, area_.width());
                if (p_)
                    t.dibujar(*p_, QPointF(area_.left(), y_), Tinta);
                y_ += t.alto() + mm(3);
                inicioFotos_ = y_;
            }
            const int enPagina = i % PorPagina;
            const double altoCelda = (abajo_ - inicioFotos_ - 2 * hueco) / 3;
            const QRectF celda(area_.left() + (enPagina % 2) * (anchoCelda + hueco),
                               inicioFotos_ + (enPagina / 2) * (altoCelda + hueco), anchoCelda, altoCelda);
            if (!p_)
                continue;
            const FotoEvaluacion &f = r_.fotos.at(i);
            QStringList datos;
            datos << (f.tomadaEn.isValid()
                          ? QStringLiteral("Tomada el %1").arg(f.tomadaEn.toString(QStringLiteral("dd/MM/yyyy HH:mm")))
                          : QStringLiteral("Sin fecha de toma"));
            if (f.tienePosicion())
                datos << QStringLiteral("%1, %2").arg(*f.latitud, 0, 'f', 6).arg(*f.longitud, 0, 'f', 6);
            const Parrafo arriba(pg_,
                                 f.leyenda.isEmpty() ? QStringLiteral("Foto %1 de %2").arg(i + 1).arg(total)
                                                     : QStringLiteral("Foto %1 de %2 · %3").arg(i + 1).arg(total).arg(f.leyenda),
                                 leyenda, anchoCelda);
            const Parrafo abajo(pg_, datos.join(QStringLiteral(" · ")), detalle, anchoCelda);
            const double altoTexto = arriba.alto() + abajo.alto() + mm(2);
            const QRectF marco(celda.left(), celda.top(), celda.width(), celda.height() - altoTexto);
            // Decoded at about the printer's resolution for the cell, scaled
            // while decoding.
            const int lado = static_cast<int>(std::max(marco.width(), marco.height()) / pg_.mm(1) * 300 / 25.4);
            const QImage imagen = PreparacionFotos::Miniatura(f.jpeg, std::clamp(lado, 200, 2048));
            // The caption right under the photo.
            double yTexto = marco.bottom() + mm(1);
            if (imagen.isNull()) {
                Parrafo(pg_, QStringLiteral("(la foto no se puede leer)"), detalle, marco.width())
                    .dibujar(*p_, marco.topLeft(), Gris);
            } else {
                QSizeF tam = imagen.size();
                tam.scale(marco.size(), Qt::KeepAspectRatio);
                const QRectF destino(marco.left() + (marco.width() - tam.width()) / 2, marco.top(), tam.width(),
                                     tam.height());
                p_->drawImage(destino, imagen);
                p_->setPen(QPen(Linea, mm(0.2)));
                p_->setBrush(Qt::NoBrush);
                p_->drawRect(destino);
                yTexto = destino.bottom() + mm(1.5);
            }
            arriba.dibujar(*p_, QPointF(celda.left(), yTexto), Tinta);
            abajo.dibujar(*p_, QPointF(celda.left(), yTexto + arriba.alto()), Gris);
        }
    }

    QPainter *p_;
    const Pagina &pg_;
    const RegistroEvaluacion &r_;
    const ComentariosRegistro &c_;
    const int total_;
    const QRectF area_;
    const QFont cuerpo_, negrita_, pie_;
    double abajo_ = 0;
    double y_ = 0;
    double inicioFotos_ = 0;
    int pagina_ = 1;
};

}  // namespace

int PaginasReporte(const Pagina &pagina, const RegistroEvaluacion &registro, const ComentariosRegistro &comentarios)
{
    return Maquetacion(nullptr, pagina, registro, comentarios, 0).maquetar();
}

void DibujarReporte(QPainter &p, const Pagina &pagina, const RegistroEvaluacion &registro,
                    const ComentariosRegistro &comentarios)
{
    const int total = PaginasReporte(pagina, registro, comentarios);
    Maquetacion(&p, pagina, registro, comentarios, total).maquetar();
}

}  // namespace Documentos
