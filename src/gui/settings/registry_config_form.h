#pragma once
// ConfiguracionRegistroForm: "Configuración del registro": where this machine saves its evaluations,
// the local file or the central registry on a PostgreSQL server, with
// "Probar conexión". The password goes to the desktop's key store.

#include "core/registry/registry_config.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QThread;

class ConfiguracionRegistroForm : public QDialog {
    Q_OBJECT
public:
    explicit ConfiguracionRegistroForm(QWidget *padre = nullptr);

    // The configuration as the controls show it (the password apart).
    ConfiguracionRegistro configuracion() const;
    ConexionServidor conexionConClave() const;

    void ProbarConexion_Click();
    void Guardar_Click();

private:
    void actualizar();

    QRadioButton *optArchivo_;
    QRadioButton *optServidor_;
    QLineEdit *txtServidor_;
    QSpinBox *txtPuerto_;
    QLineEdit *txtBase_;
    QLineEdit *txtUsuario_;
    QLineEdit *txtClave_;
    QComboBox *cboTls_;
    QLineEdit *txtCertificado_;
    QPushButton *btnCertificado_;
    QPushButton *btnProbar_;
    QLabel *lblEntorno_;
    QLabel *lblTls_;
};

namespace RegistroEnSegundoPlano {
// After the menu is shown: sends the outbox from a thread of its own, with
// a connection of its own, so the menu never waits for the network. A
// failure other than the network is shown to the user over `padre`.
// Returns the thread (already started), or null with nothing to send.
QThread *EnviarPendientes(QWidget *padre);
// Lets the program ask for the central registry's password once per run
// when the key store has none.
void InstalarPreguntaDeClave(QWidget *padre);
}  // namespace RegistroEnSegundoPlano
