#pragma once
// Qualitative rating dialog (Form9): the evaluator chooses one of five
// ordered options; its position 0..4 is stored as the level of the variable
// or of the other non-structural element on "Aceptar".

#include "core/evaluation/evaluation_state.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class Form9 : public QDialog {
    Q_OBJECT
public:
    // Opens with the first option chosen; nothing is written until "Aceptar".
    explicit Form9(EstadoEvaluacion &estado, QWidget *padre = nullptr);

    // lblTipo, frmCalificacion and the captions of Option1(0..4).
    void EstablecerTextos(const QString &titulo, const QString &marco, const QStringList &opciones);
    int OpcionElegida() const;

private:
    void btnAceptar_Click();
    void btnDanno_Click();

    EstadoEvaluacion &estado_;
    QLabel *lblTipo_ = nullptr;
    QGroupBox *frmCalificacion_ = nullptr;
    std::array<QRadioButton *, 5> Option1_{};
    QButtonGroup *grupo_ = nullptr;
    QPushButton *btnAceptar_ = nullptr;
    QPushButton *btnDanno_ = nullptr;
};
