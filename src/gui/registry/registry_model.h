#pragma once
// ModeloRegistro: the registry window's table: the evaluations of a selection, read from
// the store a page at a time as the view needs them (never the whole table
// in memory), sorted and counted by the database. With a central registry,
// the evaluations still waiting in this machine's outbox come first, marked
// "pendiente de envío" in the number column, whatever the order.

#include "core/registry/registry_store.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>

class BandejaSalida;

class ModeloRegistro : public QAbstractTableModel {
    Q_OBJECT
public:
    // One column of the table: the field it shows (a position, or
    // OrdenRegistro::OrdenDireccion for the address as one text).
    struct Columna {
        int campo;
        QString titulo;
    };
    static const QVector<Columna> &Columnas();
    static constexpr int FilasPorPagina = 100;
    // The column after the habitability: which newer evaluation of the same building replaced
    // the row's ("Reemplazada por la N.º 60"), empty for a current one.
    static constexpr int ColumnaVigencia = -3;
    // Then how many evaluations the row's building has.
    static constexpr int ColumnaEvaluacionesEdificacion = -4;

    explicit ModeloRegistro(QObject *padre = nullptr);

    // The store read from; nullptr shows an empty table. Not owned.
    void establecerAlmacen(AlmacenRegistro *almacen);
    // The outbox whose records are shown first; nullptr: none. Not owned.
    void establecerBandeja(BandejaSalida *bandeja);
    void establecerFiltro(const FiltroRegistro &filtro);
    const FiltroRegistro &filtro() const { return filtro_; }
    const OrdenRegistro &orden() const { return orden_; }
    // Counts again and forgets the pages read (new records show).
    void recargar();

    // The evaluations in the selection (what "N evaluaciones" counts), and
    // those of them waiting in the outbox (the first rows).
    qint64 total() const { return total_ + pendientes_.size(); }
    qint64 pendientes() const { return pendientes_.size(); }
    // The record of a row, read from the store when its page is not held;
    // nullptr when the row does not exist or the store fails.
    const RegistroEvaluacion *registro(int fila) const;

    int rowCount(const QModelIndex &padre = QModelIndex()) const override;
    int columnCount(const QModelIndex &padre = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    void sort(int columna, Qt::SortOrder orden = Qt::AscendingOrder) override;

    // The date as the table shows it: "dd/MM/yyyy HH:mm" from the stored text.
    static QString TextoFecha(const QString &almacenada);
    // Background and text colour of a habitability; invalid for an unknown one.
    static QColor ColorHabitabilidad(const QString &habitabilidad);
    static QColor TextoSobreHabitabilidad(const QString &habitabilidad);

signals:
    // A database failure, with the Spanish message naming file and table.
    // Reported once per failing operation; the table then shows what it has.
    void fallo(const QString &mensaje) const;
    void totalCambiado(qint64 total);

private:
    void contar();
    const QVector<RegistroEvaluacion> *pagina(int numero) const;

    AlmacenRegistro *almacen_ = nullptr;
    BandejaSalida *bandeja_ = nullptr;
    QVector<RegistroEvaluacion> pendientes_;
    FiltroRegistro filtro_;
    OrdenRegistro orden_;
    qint64 total_ = 0;
    // Pages read, by page number; the oldest are dropped beyond a few.
    mutable QHash<int, QVector<RegistroEvaluacion>> paginas_;
    mutable QList<int> usoPaginas_;
    mutable bool fallando_ = false;
};
