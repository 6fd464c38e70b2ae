#pragma once
// Form23: the additional information form: who evaluated and when, the building's
// name, contact, use, cadastral identification, address and the photos of
// the building. "Guardar"
// checks the identification and appends the evaluation to the registry;
// exec() returns Accepted only after the record has been saved. Leaving in
// any other way (Cancelar, Escape, the window's close box) asks first.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/building_data.h"
#include "gui/saving/record_writer.h"

#include <QDialog>
#include <QUuid>
#include <array>

class PanelFotos;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Form23 : public QDialog {
    Q_OBJECT
public:
    Form23(EstadoEvaluacion &estado, const DatosEdificacion &datos, QWidget *padre = nullptr);

    // What the boxes hold now.
    IdentificacionEvaluacion identificacion() const;

    // Handlers of the controls.
    void Option1_Click(int indice);
    void btnGuardaInf_Click(int indice);

    // Escape and the close box come here: the same question as "Cancelar".
    void reject() override;

private:
    void mostrarIdentificacion(const IdentificacionEvaluacion &id);
    bool confirmarSalida();

    EstadoEvaluacion &estado_;
    const DatosEdificacion datos_;
    // The record's identity from the first "Guardar": every later press
    // saves the same evaluation, never a second one.
    const QUuid uuid_ = QUuid::createUuid();

    QLineEdit *txtNombre = nullptr;
    QLineEdit *txtDuenno = nullptr;
    QLineEdit *txtTelefono = nullptr;
    QLineEdit *txtEvaluador = nullptr;
    QLineEdit *txtCodigComi = nullptr;
    QLineEdit *txtUnidades = nullptr;
    QDateTimeEdit *DTEvaluacion = nullptr;
    QComboBox *cboGrupo = nullptr;
    QComboBox *cboUsoBaja = nullptr;
    QLineEdit *txtAvaluo = nullptr;
    QLineEdit *txtNomBarrio = nullptr;
    QLineEdit *txtComuna1 = nullptr;
    QLineEdit *txtComuna2 = nullptr;
    QLineEdit *txtsector = nullptr;
    QLineEdit *txtManzana = nullptr;
    QLineEdit *txtPredio = nullptr;
    QLineEdit *txtMejoraPH = nullptr;
    std::array<QRadioButton *, 6> Option1{};
    QLineEdit *txtNumCalle = nullptr;
    QLineEdit *txtAvenida = nullptr;
    QLineEdit *txtOtro = nullptr;
    QLineEdit *txtNumero = nullptr;
    QLineEdit *txtLatitud = nullptr;
    QLineEdit *txtLongitud = nullptr;
    PanelFotos *frmFotos = nullptr;
    std::array<QPushButton *, 2> btnGuardaInf{};
    // What the evaluator typed into txtNumCalle, txtAvenida and txtOtro,
    // kept while the box is closed and shows "--"; it comes back when the
    // box's street kind is chosen again.
    std::array<QString, 3> calleEscrita_{};
};
