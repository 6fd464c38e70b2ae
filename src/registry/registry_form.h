#pragma once
// The registry window (RegistroForm): the saved evaluations in a table that
// the database sorts, searches and filters, a page at a time; opening a row
// shows the whole evaluation; the placard and the report are printed or
// saved as PDF, and the evaluations exported as CSV.

#include "registry/registry_actions.h"
#include "registry/registry_store.h"

#include <QDialog>
#include <functional>
#include <memory>

class ModeloRegistro;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

class RegistroForm : public QDialog {
    Q_OBJECT
public:
    // Opens the registry the window reads; throws ErrorDatos when it cannot.
    using FabricaAlmacen = std::function<std::unique_ptr<AlmacenRegistro>()>;
    // The registry file of this machine (RutasDatos::archivoRegistro()).
    static FabricaAlmacen RegistroDeEsteEquipo();

    // `archivoComentarios`: the comment texts the view and the documents use.
    explicit RegistroForm(FabricaAlmacen fabrica, QString archivoComentarios, QWidget *padre = nullptr);
    ~RegistroForm() override;

    ModeloRegistro *modelo() const { return modelo_; }
    // nullptr while the registry could not be opened.
    AlmacenRegistro *almacen() const { return almacen_.get(); }
    // The filter of the controls, as the table applies it.
    FiltroRegistro filtroElegido() const;

    // Shows the evaluation of a row (double-click or Enter on it).
    void abrirFila(int fila);
    // The selected rows' records, in table order.
    QVector<RegistroEvaluacion> seleccionados() const;

    // Applies the search box now instead of after the pause in typing.
    void aplicarFiltro();
    // Opens the registry again if needed and reads the table anew.
    void actualizar();

private:
    void mostrarFallo(const QString &mensaje);
    void mostrarTotal(qint64 total);
    void seleccionCambiada();

    FabricaAlmacen fabrica_;
    std::unique_ptr<AlmacenRegistro> almacen_;
    AccionesRegistro acciones_;
    ModeloRegistro *modelo_ = nullptr;

    QLineEdit *txtBuscar_ = nullptr;
    QComboBox *cboHabitabilidad_ = nullptr;
    QCheckBox *chkDesde_ = nullptr;
    QCheckBox *chkHasta_ = nullptr;
    QDateEdit *dtDesde_ = nullptr;
    QDateEdit *dtHasta_ = nullptr;
    QTableView *tabla_ = nullptr;
    QLabel *lblTotal_ = nullptr;
    QList<QPushButton *> sobreSeleccion_;
    QTimer *pausa_ = nullptr;
    bool mostrandoFallo_ = false;
};
