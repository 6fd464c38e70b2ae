#include "gui/registry/summary_tab.h"

#include "gui/common/widget_support.h"
#include "gui/registry/date_range.h"
#include "core/data/record_set.h"
#include "gui/registry/registry_actions.h"
#include "gui/registry/registry_model.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLegendMarker>
#include <QPieSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTextBrowser>
#include <QValueAxis>
#include <QVBoxLayout>

using namespace ResumenEvento;

namespace {

// Bars of a chart with many categories show only the first ones.
constexpr int MaxCategorias = 12;
const QColor ColorBarras(0x3b, 0x6e, 0xa5);
const QColor ColorInseguras(0xc6, 0x28, 0x28);

// The placard colour of a habitability class; "Peligro de Colapso" darker
// than "No Habitable" so that the two reds tell apart in a stack.
QColor ColorClase(int clase)
{
    if (clase == 3)
        return QColor(0x6d, 0x10, 0x10);
    const QColor c = ModeloRegistro::ColorHabitabilidad(NombreClaseHabitabilidad(clase));
    return c.isValid() ? c : QColor(0x9e, 0x9e, 0x9e);
}

QString Numero(qint64 n) { return QLocale().toString(n); }

QChart *NuevoGrafico(const QString &titulo)
{
    auto *g = new QChart;
    g->setTitle(titulo);
    QFont f = g->titleFont();
    f.setBold(true);
    g->setTitleFont(f);
    g->setAnimationOptions(QChart::NoAnimation);
    g->legend()->setAlignment(Qt::AlignBottom);
    QFont leyenda = g->legend()->font();
    leyenda.setPointSizeF(leyenda.pointSizeF() * 0.9);
    g->legend()->setFont(leyenda);
    g->setMargins(QMargins(4, 4, 4, 4));
    return g;
}

// The count axis: whole numbers from 0, with at least one step.
QValueAxis *EjeConteo(qint64 maximo)
{
    auto *eje = new QValueAxis;
    eje->setTitleText(QStringLiteral("Evaluaciones"));
    eje->setLabelFormat(QStringLiteral("%i"));
    eje->setRange(0, std::max<qint64>(maximo, 1));
    eje->applyNiceNumbers();
    if (eje->max() < 1)
        eje->setMax(1);
    return eje;
}

// A chart of horizontal bars, one category per row, the first at the top.
QChart *GraficoBarras(const QString &titulo, const QString &ejeCategorias, const QStringList &categorias,
                      const QList<std::pair<QString, QList<qint64>>> &conjuntos, const QList<QColor> &colores)
{
    QChart *g = NuevoGrafico(titulo);
    auto *serie = new QHorizontalBarSeries;
    qint64 maximo = 0;
    for (qsizetype i = 0; i < conjuntos.size(); ++i) {
        auto *set = new QBarSet(conjuntos[i].first);
        set->setColor(colores.value(i, ColorBarras));
        set->setBorderColor(colores.value(i, ColorBarras).darker(130));
        // Qt draws the first category at the bottom.
        for (auto it = conjuntos[i].second.crbegin(); it != conjuntos[i].second.crend(); ++it) {
            set->append(double(*it));
            maximo = std::max(maximo, *it);
        }
        serie->append(set);
    }
    serie->setLabelsVisible(true);
    serie->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    g->addSeries(serie);
    auto *ejeY = new QBarCategoryAxis;
    ejeY->setTitleText(ejeCategorias);
    QStringList alReves(categorias.crbegin(), categorias.crend());
    ejeY->append(alReves);
    g->addAxis(ejeY, Qt::AlignLeft);
    serie->attachAxis(ejeY);
    QValueAxis *ejeX = EjeConteo(maximo + maximo / 8 + 1);
    g->addAxis(ejeX, Qt::AlignBottom);
    serie->attachAxis(ejeX);
    g->legend()->setVisible(conjuntos.size() > 1);
    return g;
}

QChart *GraficoConteos(const QString &titulo, const QString &eje, const QVector<ConteoResumen> &conteos)
{
    QStringList categorias;
    QList<qint64> valores;
    for (const ConteoResumen &c : conteos) {
        categorias << TextoClave(c.valor);
        valores << c.evaluaciones;
    }
    return GraficoBarras(titulo, eje, categorias, {{QStringLiteral("Evaluaciones"), valores}}, {ColorBarras});
}

QChart *GraficoZonas(const QString &titulo, const QString &eje, const QVector<ZonaResumen> &zonas)
{
    QStringList categorias;
    QList<qint64> todas, inseguras;
    for (const ZonaResumen &z : zonas.mid(0, MaxCategorias)) {
        categorias << TextoClave(z.zona);
        todas << z.evaluaciones;
        inseguras << z.noHabitables + z.peligroColapso;
    }
    return GraficoBarras(titulo, eje, categorias,
                         {{QStringLiteral("Evaluaciones"), todas},
                          {QStringLiteral("No Habitable o Peligro de Colapso"), inseguras}},
                         {ColorBarras, ColorInseguras});
}

QChart *GraficoHabitabilidad(const ResumenRegistro &r)
{
    QChart *g = NuevoGrafico(QStringLiteral("Habitabilidad"));
    auto *serie = new QPieSeries;
    for (const ConteoResumen &c : r.porHabitabilidad) {
        if (c.evaluaciones == 0)
            continue;
        const int clase = ClaseHabitabilidad(c.valor);
        auto *porcion = serie->append(QStringLiteral("%1: %2").arg(TextoClave(c.valor), Numero(c.evaluaciones)),
                                      double(c.evaluaciones));
        porcion->setColor(ColorClase(clase));
        // The legend names each slice with its count: no labels around the pie.
        porcion->setBorderColor(Qt::white);
    }
    g->addSeries(serie);
    g->legend()->setAlignment(Qt::AlignRight);
    return g;
}

QChart *GraficoDias(const ResumenRegistro &r)
{
    QChart *g = NuevoGrafico(QStringLiteral("Evaluaciones por día"));
    auto *serie = new QStackedBarSeries;
    qint64 maximo = 0;
    for (const DiaResumen &d : r.porDia)
        maximo = std::max(maximo, d.total());
    for (int clase = 0; clase < NumClasesHabitabilidad; ++clase) {
        QList<qreal> valores;
        bool alguno = false;
        for (const DiaResumen &d : r.porDia) {
            valores << double(d.porHabitabilidad[clase]);
            alguno = alguno || d.porHabitabilidad[clase] > 0;
        }
        // The class of unknown values only when there is one.
        if (clase == ClaseOtraHabitabilidad && !alguno)
            continue;
        auto *set = new QBarSet(NombreClaseHabitabilidad(clase));
        set->append(valores);
        set->setColor(ColorClase(clase));
        set->setBorderColor(ColorClase(clase).darker(130));
        serie->append(set);
    }
    g->addSeries(serie);
    auto *ejeX = new QBarCategoryAxis;
    ejeX->setTitleText(QStringLiteral("Día"));
    for (const DiaResumen &d : r.porDia) {
        const QDate dia = QDate::fromString(d.dia, Qt::ISODate);
        ejeX->append(dia.isValid() ? dia.toString(QStringLiteral("d/M")) : TextoClave(d.dia));
    }
    g->addAxis(ejeX, Qt::AlignBottom);
    serie->attachAxis(ejeX);
    QValueAxis *ejeY = EjeConteo(maximo);
    g->addAxis(ejeY, Qt::AlignLeft);
    serie->attachAxis(ejeY);
    // Four names do not fit in one row under the bars.
    g->legend()->setAlignment(Qt::AlignRight);
    return g;
}

QString Html(const QVector<TablaResumen> &tablas)
{
    QString h;
    for (const TablaResumen &t : tablas) {
        h += QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>")
                 .arg(t.titulo.toHtmlEscaped());
        for (const QString &c : t.columnas)
            h += QStringLiteral("<th>%1</th>").arg(c.toHtmlEscaped());
        h += QStringLiteral("</tr>");
        for (const QStringList &f : t.filas) {
            h += QStringLiteral("<tr>");
            for (qsizetype i = 0; i < f.size(); ++i) {
                bool numero = false;
                const qint64 n = f[i].toLongLong(&numero);
                h += numero && i > 0 ? QStringLiteral("<td align=\"right\">%1</td>").arg(Numero(n))
                                     : QStringLiteral("<td>%1</td>").arg(f[i].toHtmlEscaped());
            }
            h += QStringLiteral("</tr>");
        }
        h += QStringLiteral("</table>");
    }
    return h;
}

// What a screen reader says of a chart: its table as one sentence.
QString Describir(const TablaResumen &t)
{
    QStringList filas;
    for (const QStringList &f : t.filas) {
        QStringList partes;
        for (qsizetype i = 1; i < f.size() && i < t.columnas.size(); ++i)
            partes << QStringLiteral("%1 %2").arg(t.columnas[i], f[i]);
        filas << QStringLiteral("%1: %2").arg(f.value(0), partes.join(QStringLiteral(", ")));
    }
    return filas.join(QStringLiteral("; "));
}

}  // namespace

PestanaResumen::PestanaResumen(std::function<AlmacenRegistro *()> almacen, AccionesRegistro &acciones, QWidget *padre)
    : QWidget(padre), almacen_(std::move(almacen)), acciones_(acciones)
{
    setObjectName(QStringLiteral("pestanaResumen"));
    auto *capa = new QVBoxLayout(this);

    auto *filtros = new QHBoxLayout;
    fechas_ = new RangoFechas(QStringLiteral("Resumen"), this);
    filtros->addWidget(fechas_);
    filtros->addSpacing(12);
    lblTotal_ = new QLabel(this);
    lblTotal_->setObjectName(QStringLiteral("lblResumenTotal"));
    lblTotal_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    filtros->addWidget(lblTotal_, 1);
    auto *actualizarB = new QPushButton(QStringLiteral("Act&ualizar resumen"), this);
    Nombrar(actualizarB, QStringLiteral("btnActualizarResumen"), QStringLiteral("Actualizar resumen"));
    actualizarB->setToolTip(QStringLiteral("Cuenta de nuevo las evaluaciones del registro"));
    actualizarB->setAutoDefault(false);
    auto *csv = new QPushButton(QStringLiteral("Exportar resumen C&SV"), this);
    Nombrar(csv, QStringLiteral("btnExportarResumen"), QStringLiteral("Exportar resumen CSV"));
    csv->setToolTip(QStringLiteral("Guarda las tablas del resumen en un archivo CSV"));
    csv->setAutoDefault(false);
    filtros->addWidget(actualizarB);
    filtros->addWidget(csv);
    capa->addLayout(filtros);

    auto *division = new QSplitter(Qt::Horizontal, this);
    auto *desplazable = new QScrollArea(division);
    desplazable->setObjectName(QStringLiteral("areaGraficos"));
    desplazable->setWidgetResizable(true);
    desplazable->setFocusPolicy(Qt::NoFocus);
    auto *lienzo = new QWidget(desplazable);
    rejilla_ = new QGridLayout(lienzo);
    desplazable->setWidget(lienzo);
    txtTablas_ = new QTextBrowser(division);
    Nombrar(txtTablas_, QStringLiteral("txtTablasResumen"), QStringLiteral("Tablas del resumen"));
    division->addWidget(desplazable);
    division->addWidget(txtTablas_);
    // The charts take most of the width; the tables stay readable beside them.
    division->setStretchFactor(0, 3);
    division->setStretchFactor(1, 1);
    division->setSizes({820, 340});
    capa->addWidget(division, 1);

    connect(fechas_, &RangoFechas::cambiado, this, &PestanaResumen::actualizar);
    connect(actualizarB, &QPushButton::clicked, this, &PestanaResumen::actualizar);
    connect(csv, &QPushButton::clicked, this, [this] {
        actualizarSiHaceFalta();
        acciones_.exportarResumenCsv(this, resumen_);
    });
}

FiltroRegistro PestanaResumen::filtroElegido() const
{
    FiltroRegistro f;
    fechas_->aplicarA(f);
    return f;
}

void PestanaResumen::actualizarSiHaceFalta()
{
    if (!vigente_)
        actualizar();
}

void PestanaResumen::actualizar()
{
    resumen_ = ResumenRegistro{};
    vigente_ = true;
    if (AlmacenRegistro *almacen = almacen_()) {
        try {
            resumen_ = almacen->resumen(filtroElegido());
        } catch (const ErrorDatos &e) {
            // Read again next time: the registry may be back.
            vigente_ = false;
            emit fallo(e.mensaje());
        }
    }
    dibujar();
}

void PestanaResumen::agregarGrafico(QChart *grafico, const QString &descripcion)
{
    auto *vista = new QChartView(grafico, rejilla_->parentWidget());
    vista->setRenderHint(QPainter::Antialiasing);
    vista->setMinimumSize(380, 280);
    vista->setAccessibleName(grafico->title());
    vista->setAccessibleDescription(descripcion);
    vista->setFocusPolicy(Qt::NoFocus);
    const int i = static_cast<int>(vistas_.size());
    rejilla_->addWidget(vista, i / 2, i % 2);
    vistas_.append(vista);
}

void PestanaResumen::dibujar()
{
    for (QChartView *v : std::as_const(vistas_))
        delete v;
    vistas_.clear();

    QString texto = resumen_.total == 1 ? QStringLiteral("1 evaluación")
                                        : QStringLiteral("%1 evaluaciones").arg(Numero(resumen_.total));
    if (resumen_.edificaciones >= 0)
        texto += resumen_.edificaciones == 1
                     ? QStringLiteral(" de 1 edificación")
                     : QStringLiteral(" de %1 edificaciones").arg(Numero(resumen_.edificaciones));
    lblTotal_->setText(texto);
    lblTotal_->setAccessibleName(texto);

    const QVector<TablaResumen> tablas = TablasResumen(resumen_);
    auto tabla = [&](const QString &titulo) {
        for (const TablaResumen &t : tablas)
            if (t.titulo == titulo)
                return t;
        return TablaResumen{};
    };
    const ResumenRegistro &r = resumen_;
    agregarGrafico(GraficoHabitabilidad(r), Describir(tabla(QStringLiteral("Por habitabilidad"))));
    agregarGrafico(GraficoDias(r), Describir(tabla(QStringLiteral("Por día"))));
    agregarGrafico(GraficoConteos(QStringLiteral("Reparabilidad"), QStringLiteral("Reparabilidad"), r.porReparabilidad),
                   Describir(tabla(QStringLiteral("Por reparabilidad"))));
    agregarGrafico(GraficoConteos(QStringLiteral("Estado global"), QStringLiteral("Estado global"), r.porEstadoGlobal),
                   Describir(tabla(QStringLiteral("Por estado global"))));
    agregarGrafico(GraficoZonas(QStringLiteral("Barrios con más evaluaciones"), QStringLiteral("Barrio"), r.porBarrio),
                   Describir(tabla(QStringLiteral("Por barrio"))));
    agregarGrafico(GraficoZonas(QStringLiteral("Comunas con más evaluaciones"), QStringLiteral("Comuna"), r.porComuna),
                   Describir(tabla(QStringLiteral("Por comuna"))));
    QVector<ConteoResumen> comisiones;
    for (const ComisionResumen &c : r.porComision)
        comisiones.append({c.codigo, c.evaluaciones});
    // The busiest commissions first.
    std::stable_sort(comisiones.begin(), comisiones.end(),
                     [](const ConteoResumen &a, const ConteoResumen &b) { return a.evaluaciones > b.evaluaciones; });
    comisiones.resize(std::min<qsizetype>(comisiones.size(), MaxCategorias));
    agregarGrafico(GraficoConteos(QStringLiteral("Evaluaciones por comisión"), QStringLiteral("Comisión"), comisiones),
                   Describir(tabla(QStringLiteral("Por comisión"))));

    txtTablas_->setHtml(Html(tablas));
}

QList<QChart *> PestanaResumen::graficos() const
{
    QList<QChart *> g;
    for (QChartView *v : vistas_)
        g << v->chart();
    return g;
}
