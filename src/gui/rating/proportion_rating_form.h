#pragma once
// Proportion rating dialog (Form5): the evaluator states which share of a
// structural element shows each of the five damage levels; "Aceptar" derives
// the element's level, stores it with the shares and reports it.

#include "core/evaluation/evaluation_state.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QScrollBar;

class Form5 : public QDialog {
    Q_OBJECT
public:
    // Nothing is written to the state until "Aceptar".
    explicit Form5(EstadoEvaluacion &estado, QWidget *padre = nullptr);

    // Title of the element (lblVariable).
    void EstablecerVariable(const QString &titulo);

private:
    void HSGrupo_Change(int nivel, int valor);
    void btnDanno_Click();
    void btnAceptar_Click();

    EstadoEvaluacion &estado_;
    QLabel *lblVariable_ = nullptr;
    std::array<QScrollBar *, 5> HSGrupo_{};
    std::array<QLabel *, 5> lblNivel_{};
    QPushButton *btnDanno_ = nullptr;
    QPushButton *btnAceptar_ = nullptr;
};
