#pragma once
// PestanaResumen: the registry window's "Resumen" tab: the event summary of a date range,
// counted by the database, as charts (Qt Charts) and as the same tables in
// text: by habitability in the placard colours, by repairability and global
// state, by barrio and comuna with the unsafe ones, by day stacked by
// habitability, and by commission.

#include "core/registry/registry_summary.h"

#include <QWidget>
#include <functional>

class AccionesRegistro;
class AlmacenRegistro;
class QChart;
class QChartView;
class QGridLayout;
class QLabel;
class RangoFechas;
class QTextBrowser;

class PestanaResumen : public QWidget {
    Q_OBJECT
public:
    // `almacen` gives the registry summarised, nullptr while it cannot be
    // opened; `acciones` writes the CSV.
    PestanaResumen(std::function<AlmacenRegistro *()> almacen, AccionesRegistro &acciones, QWidget *padre = nullptr);

    // The date range of the controls.
    FiltroRegistro filtroElegido() const;
    // Reads the summary of the chosen dates anew and draws it.
    void actualizar();
    // Reads it when it has not been read since the registry changed.
    void actualizarSiHaceFalta();
    // The registry changed (a save, a send): read again when next shown.
    void invalidar() { vigente_ = false; }

    const ResumenRegistro &resumen() const { return resumen_; }
    // The charts, in the order they are drawn.
    QList<QChart *> graficos() const;

signals:
    // A database failure, with the Spanish message naming the registry.
    void fallo(const QString &mensaje);

private:
    void dibujar();
    void agregarGrafico(QChart *grafico, const QString &descripcion);

    std::function<AlmacenRegistro *()> almacen_;
    AccionesRegistro &acciones_;
    ResumenRegistro resumen_;
    bool vigente_ = false;

    RangoFechas *fechas_ = nullptr;
    QLabel *lblTotal_ = nullptr;
    QGridLayout *rejilla_ = nullptr;
    QList<QChartView *> vistas_;
    QTextBrowser *txtTablas_ = nullptr;
};
