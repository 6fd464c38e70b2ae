#pragma once
// The main menu (Form2): start-up form and home screen of the program.

#include "core/evaluation/evaluation_state.h"

#include <QPointer>
#include <QThread>
#include <QWidget>

class QPushButton;
class Form4;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(EstadoEvaluacion &estado, QWidget *padre = nullptr);
    ~Form2() override;

    // Opens the reference and registry databases once, reporting a failure
    // in a message; the menu stays usable either way. Returns true when all opened.
    bool VerificarBasesDeDatos();

    void btnEvaluar_Click();
    void btnRegistro_Click();
    void btnAlcanceORV_Click();
    void btnAcerca_Click();
    void btnReconocimientos_Click();
    void btnSalir_Click();
    void btnConfiguracion_Click();

    Form4 *fondo() const { return form4_; }

protected:
    void showEvent(QShowEvent *evento) override;
    // The window's close box (or Alt+F4) ends the program as "Salir" does.
    void closeEvent(QCloseEvent *evento) override;

private:
    EstadoEvaluacion &estado_;
    Form4 *form4_ = nullptr;
    bool verificado_ = false;
    QPointer<QThread> envio_;  // the outbox being sent at start-up
    bool saliendo_ = false;
};
