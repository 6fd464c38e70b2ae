#pragma once
// The registry window (RegistroForm): the saved evaluations in a table that
// the database sorts, searches and filters, a page at a time; opening a row
// shows the whole evaluation; the placard and the report are printed or
// saved as PDF, and the evaluations exported as CSV or for a GIS. With the
// central registry, the evaluations waiting in this machine's outbox are
// shown first and sent on "Enviar pendientes". The "Resumen" tab summarises
// the event.

#include "gui/registry/registry_actions.h"
#include "core/registry/registry_config.h"
#include "core/registry/registry_store.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class ModeloRegistro;
class PestanaResumen;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;
class RangoFechas;

class RegistroForm : public QDialog {
    Q_OBJECT
public:
    // Opens the registry the window reads; throws ErrorDatos when it cannot.
    using FabricaRegistro = std::function<RegistroConfigurado()>;
    using FabricaAlmacen = std::function<std::unique_ptr<AlmacenRegistro>()>;
    // The registry this machine is configured to use (the local file, or the
    // central registry with this machine's outbox).
    static FabricaRegistro RegistroConfiguradoDeEsteEquipo();
    // The registry file of this machine (RutasDatos::archivoRegistro()).
    static FabricaAlmacen RegistroDeEsteEquipo();

    // `archivoComentarios`: the comment texts the view and the documents use.
    RegistroForm(FabricaRegistro fabrica, QString archivoComentarios, QWidget *padre = nullptr);
    RegistroForm(FabricaAlmacen fabrica, QString archivoComentarios, QWidget *padre = nullptr);
    ~RegistroForm() override;

    ModeloRegistro *modelo() const { return modelo_; }
    PestanaResumen *resumen() const { return resumen_; }
    QTabWidget *pestanas() const { return pestanas_; }
    // nullptr while the registry could not be opened.
    AlmacenRegistro *almacen() const { return registro_.almacen.get(); }
    // Places the records in their buildings' histories (for the placards).
    void situar(QVector<RegistroEvaluacion> &registros) const;
    // The filter of the controls, as the table applies it.
    FiltroRegistro filtroElegido() const;

    // Shows the evaluation of a row (double-click or Enter on it), with
    // "Corregir…"; after a correction, shows it again as it now stands.
    void abrirFila(int fila);
    // Shows one evaluation; answers what its view's exec() answered.
    int abrirEvaluacion(const RegistroEvaluacion &registro);
    // The selected rows' records, in table order.
    QVector<RegistroEvaluacion> seleccionados() const;

    // Applies the search box now instead of after the pause in typing.
    void aplicarFiltro();
    // Opens the registry again if needed and reads the table anew.
    void actualizar();
    // "Enviar pendientes": sends this machine's outbox to the central registry.
    void enviarPendientes();
    // "Apartadas": the evaluations the outbox set aside, each with its reason.
    void mostrarApartadas();

private:
    void mostrarFallo(const QString &mensaje);
    void mostrarTotal(qint64 total);
    void seleccionCambiada();
    // Shows "Apartadas (N)" when the outbox holds evaluations set aside.
    void contarApartadas();
    // Warns of this machine's evaluations waiting for another registry.
    void avisarOtroRegistro();

    FabricaRegistro fabrica_;
    RegistroConfigurado registro_;
    AccionesRegistro acciones_;
    ModeloRegistro *modelo_ = nullptr;
    PestanaResumen *resumen_ = nullptr;

    QTabWidget *pestanas_ = nullptr;
    QLineEdit *txtBuscar_ = nullptr;
    QComboBox *cboHabitabilidad_ = nullptr;
    QCheckBox *chkVigentes_ = nullptr;
    RangoFechas *fechas_ = nullptr;
    QTableView *tabla_ = nullptr;
    QLabel *lblTotal_ = nullptr;
    QLabel *lblOtroRegistro_ = nullptr;
    QPushButton *btnEnviar_ = nullptr;
    QPushButton *btnApartadas_ = nullptr;
    QList<QPushButton *> sobreSeleccion_;
    QTimer *pausa_ = nullptr;
    QStringList fallosPorMostrar_;
};
