#pragma once
// DialogoCorreccion: the correction of one field of a saved evaluation's
// identification: which field (only those that may be corrected), its value
// now, the new value and the reason, which every correction keeps.

#include "core/registry/evaluation_record.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

class DialogoCorreccion : public QDialog {
    Q_OBJECT
public:
    explicit DialogoCorreccion(const RegistroEvaluacion &registro, QWidget *padre = nullptr);

    // The chosen field's column, the new value and the reason.
    QString columna() const;
    QString valor() const;
    QString motivo() const;

    void accept() override;

private:
    void mostrarCampo();
    RegistroEvaluacion registro_;
    QComboBox *cboCampo = nullptr;
    QLabel *lblActual = nullptr;
    QLineEdit *txtValor = nullptr;
    QLineEdit *txtMotivo = nullptr;
};
