#include "gui/registry/registry_model.h"

#include "core/data/record_set.h"
#include "core/registry/outbox.h"

#include <QDateTime>
#include <cmath>

using namespace RegistroEvaluaciones;

namespace {
constexpr int PaginasRetenidas = 12;
}

const QVector<ModeloRegistro::Columna> &ModeloRegistro::Columnas()
{
    static const QVector<Columna> columnas = [] {
        auto de = [](int p) { return Columna{p, Campo(p).etiqueta}; };
        return QVector<Columna>{
            {Pos::Numero, QStringLiteral("Número")},
            {Pos::Fecha, QStringLiteral("Fecha")},
            {OrdenRegistro::OrdenDireccion, QStringLiteral("Dirección")},
            {Pos::Barrio, QStringLiteral("Barrio")},
            de(Pos::NombreEdificacion),
            {Pos::Evaluador, QStringLiteral("Evaluador")},
            {Pos::CodigoComision, QStringLiteral("Comisión")},
            de(Pos::Habitabilidad),
            {ColumnaVigencia, QStringLiteral("Vigencia")},
            {ColumnaEvaluacionesEdificacion, QStringLiteral("Evaluaciones")},
            de(Pos::DannoEdificio),
            de(Pos::EstadoGlobal),
            de(Pos::Reparabilidad),
        };
    }();
    return columnas;
}

ModeloRegistro::ModeloRegistro(QObject *padre) : QAbstractTableModel(padre) {}

void ModeloRegistro::establecerAlmacen(AlmacenRegistro *almacen)
{
    almacen_ = almacen;
    recargar();
}

void ModeloRegistro::establecerBandeja(BandejaSalida *bandeja)
{
    bandeja_ = bandeja;
    recargar();
}

void ModeloRegistro::establecerFiltro(const FiltroRegistro &filtro)
{
    filtro_ = filtro;
    recargar();
}

void ModeloRegistro::recargar()
{
    beginResetModel();
    paginas_.clear();
    usoPaginas_.clear();
    fallando_ = false;
    contar();
    endResetModel();
    emit totalCambiado(total());
}

void ModeloRegistro::contar()
{
    total_ = 0;
    pendientes_.clear();
    try {
        // The outbox is this machine's file: it is read even when the server is away.
        if (bandeja_)
            pendientes_ = bandeja_->pendientes(filtro_);
    } catch (const ErrorDatos &e) {
        emit fallo(e.mensaje());
    }
    if (!almacen_)
        return;
    try {
        // The first page first: when it is not full it is the whole
        // selection, and a narrow search reads the table once, not twice.
        QVector<RegistroEvaluacion> primera = almacen_->pagina(filtro_, orden_, 0, FilasPorPagina);
        almacen_->situar(primera);
        if (primera.size() < FilasPorPagina) {
            total_ = primera.size();
        } else if (!filtro_.vacio() && orden_.campo == Pos::Numero && primera.constLast().numero() > 0) {
            // By number, the rest of a search lies beyond the page's last
            // number: counting it reads only the part of the table the page
            // did not. (The whole table the database counts at once.)
            FiltroRegistro resto = filtro_;
            (orden_.descendente ? resto.numeroMenorQue : resto.numeroMayorQue) = primera.constLast().numero();
            total_ = primera.size() + almacen_->contar(resto);
        } else {
            total_ = almacen_->contar(filtro_);
        }
        paginas_.insert(0, std::move(primera));
        usoPaginas_.append(0);
    } catch (const ErrorDatos &e) {
        fallando_ = true;
        emit fallo(e.mensaje());
    }
}

void ModeloRegistro::sort(int columna, Qt::SortOrder orden)
{
    if (columna < 0 || columna >= Columnas().size())
        return;
    if (Columnas().at(columna).campo == ColumnaVigencia || Columnas().at(columna).campo == ColumnaEvaluacionesEdificacion)
        return;  // worked out page by page, not kept in the table
    const OrdenRegistro nuevo{Columnas().at(columna).campo, orden == Qt::DescendingOrder};
    if (nuevo.campo == orden_.campo && nuevo.descendente == orden_.descendente)
        return;
    orden_ = nuevo;
    // The rows are other records now; the selection goes with them.
    beginResetModel();
    paginas_.clear();
    usoPaginas_.clear();
    fallando_ = false;
    endResetModel();
}

const QVector<RegistroEvaluacion> *ModeloRegistro::pagina(int numero) const
{
    auto it = paginas_.constFind(numero);
    if (it != paginas_.constEnd()) {
        usoPaginas_.removeOne(numero);
        usoPaginas_.append(numero);
        return &it.value();
    }
    if (!almacen_ || fallando_)
        return nullptr;
    QVector<RegistroEvaluacion> filas;
    try {
        filas = almacen_->pagina(filtro_, orden_, qint64(numero) * FilasPorPagina, FilasPorPagina);
        almacen_->situar(filas);
    } catch (const ErrorDatos &e) {
        // One message; the table keeps what it shows until it is reloaded.
        fallando_ = true;
        emit fallo(e.mensaje());
        return nullptr;
    }
    while (usoPaginas_.size() >= PaginasRetenidas)
        paginas_.remove(usoPaginas_.takeFirst());
    usoPaginas_.append(numero);
    return &paginas_.insert(numero, std::move(filas)).value();
}

const RegistroEvaluacion *ModeloRegistro::registro(int fila) const
{
    if (fila >= 0 && fila < pendientes_.size())
        return &pendientes_.at(fila);
    fila -= static_cast<int>(pendientes_.size());
    if (fila < 0 || fila >= total_)
        return nullptr;
    const QVector<RegistroEvaluacion> *p = pagina(fila / FilasPorPagina);
    const int enPagina = fila % FilasPorPagina;
    if (!p || enPagina >= p->size())
        return nullptr;
    return &p->at(enPagina);
}

int ModeloRegistro::rowCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(std::min<qint64>(total(), std::numeric_limits<int>::max()));
}

int ModeloRegistro::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(Columnas().size());
}

QString ModeloRegistro::TextoFecha(const QString &almacenada)
{
    const QDateTime f = QDateTime::fromString(almacenada, Qt::ISODate);
    return f.isValid() ? f.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : almacenada;
}

QColor ModeloRegistro::ColorHabitabilidad(const QString &h)
{
    if (h == QLatin1String("Habitable"))
        return QColor(0x1e, 0x7b, 0x2e);
    if (h == QLatin1String("Uso Restringido"))
        return QColor(0xff, 0xd4, 0x2a);
    if (h == QLatin1String("No Habitable") || h == QLatin1String("Peligro de Colapso"))
        return QColor(0xc6, 0x28, 0x28);
    return QColor();
}

QColor ModeloRegistro::TextoSobreHabitabilidad(const QString &h)
{
    const QColor fondo = ColorHabitabilidad(h);
    if (!fondo.isValid())
        return QColor();
    // Black or white, whichever stands out more from the background
    // (relative luminance above 0.179: black).
    auto canal = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const double luminancia =
        0.2126 * canal(fondo.redF()) + 0.7152 * canal(fondo.greenF()) + 0.0722 * canal(fondo.blueF());
    return luminancia > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

QVariant ModeloRegistro::data(const QModelIndex &indice, int rol) const
{
    if (!indice.isValid() || indice.column() >= Columnas().size())
        return QVariant();
    if (rol != Qt::DisplayRole && rol != Qt::BackgroundRole && rol != Qt::ForegroundRole &&
        rol != Qt::AccessibleTextRole && rol != Qt::ToolTipRole && rol != Qt::TextAlignmentRole)
        return QVariant();
    const int campo = Columnas().at(indice.column()).campo;
    if (rol == Qt::TextAlignmentRole)
        return campo == Pos::Numero || campo == ColumnaEvaluacionesEdificacion
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    const RegistroEvaluacion *r = registro(indice.row());
    if (!r)
        return QVariant();
    if (campo == Pos::Habitabilidad && (rol == Qt::BackgroundRole || rol == Qt::ForegroundRole)) {
        const QString h = r->texto(Pos::Habitabilidad);
        const QColor c = rol == Qt::BackgroundRole ? ColorHabitabilidad(h) : TextoSobreHabitabilidad(h);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    if (rol == Qt::BackgroundRole || rol == Qt::ForegroundRole)
        return QVariant();
    QString texto;
    if (campo == OrdenRegistro::OrdenDireccion)
        texto = TextoDireccion(*r);
    else if (campo == Pos::Numero && r->pendiente)
        texto = TextosBandeja::Pendiente;
    else if (campo == Pos::Fecha)
        texto = TextoFecha(r->texto(Pos::Fecha));
    else if (campo == ColumnaEvaluacionesEdificacion)
        texto = r->evaluacionesEdificacion > 0 ? QString::number(r->evaluacionesEdificacion) : QString();
    else if (campo == ColumnaVigencia)
        texto = r->reemplazadaPor ? QStringLiteral("Reemplazada por la N.º %1").arg(r->reemplazadaPor->numero)
                                  : QString();
    else
        texto = r->texto(campo);
    if (rol == Qt::ToolTipRole)
        return campo == OrdenRegistro::OrdenDireccion || campo == Pos::NombreEdificacion ? QVariant(texto) : QVariant();
    return texto;
}

QVariant ModeloRegistro::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion != Qt::Horizontal || seccion < 0 || seccion >= Columnas().size())
        return QAbstractTableModel::headerData(seccion, orientacion, rol);
    if (rol == Qt::DisplayRole || rol == Qt::AccessibleTextRole)
        return Columnas().at(seccion).titulo;
    if (rol == Qt::ToolTipRole)
        return Columnas().at(seccion).campo == ColumnaVigencia
                   ? QStringLiteral("Las evaluaciones que una evaluación más reciente de la misma edificación reemplazó")
               : Columnas().at(seccion).campo == ColumnaEvaluacionesEdificacion
                   ? QStringLiteral("Cuántas evaluaciones tiene la edificación en el registro")
                   : QStringLiteral("Ordenar por %1").arg(Columnas().at(seccion).titulo.toLower());
    return QVariant();
}
