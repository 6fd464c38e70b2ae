#pragma once
// The evaluation form (Form1): building information, structural system,
// element buttons, category buttons, and the "Evaluar" / "Cancelar" commands.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/building_data.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class Form1 : public QDialog {
    Q_OBJECT
public:
    explicit Form1(EstadoEvaluacion &estado, QWidget *padre = nullptr);

    // Handlers, callable as the evaluator's clicks are.
    void cboTipoEstructura_Click();
    void btnOtrosArquitectonicos_Click();
    void PulsarElemento(const QString &boton);
    void btnMenu_Click(int indice);
    void BotonCategoria(const QString &boton);

    // The storey texts and list texts the registry stores.
    DatosEdificacion Datos() const;
    // Index 0..3 of the chosen construction period, -1 when none.
    int IndiceAnno() const;

    QTabWidget *MPNuevo() const { return mpNuevo_; }
    QPushButton *Boton(const QString &nombre) const { return botones_.value(nombre); }

protected:
    void reject() override;
    void closeEvent(QCloseEvent *evento) override;

private:
    void ConstruirIdentificacion(QWidget *carpeta);
    void ConstruirEstructurales(QWidget *carpeta);
    void ConstruirNoEstructurales(QWidget *carpeta);
    void ConstruirSuelo(QWidget *carpeta);
    void ConstruirPreexistentes(QWidget *carpeta);
    QPushButton *BotonNavegacion(QWidget *padre, const QString &nombre, bool adelante, int carpeta);
    QPushButton *BotonElemento(QWidget *padre, const QString &nombre);
    QPushButton *BotonCategoriaNuevo(QWidget *padre, const QString &nombre, const QString &texto, const QString &ayuda);
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    bool ConfirmarCancelar();
    void Evaluar();

    EstadoEvaluacion &estado_;
    QTabWidget *mpNuevo_ = nullptr;
    QLineEdit *txtNPisos_ = nullptr, *txtNSotanos_ = nullptr, *txtPMayorDanno_ = nullptr, *txtPisosTotal_ = nullptr;
    QList<QRadioButton *> optLocalizacion_, optAnno_, optInspeccion_, optEstabEvaluador_;
    QComboBox *cboTipoEstructura_ = nullptr, *cboCubierta_ = nullptr, *cboEntrepiso_ = nullptr;
    QCheckBox *check1_ = nullptr, *check2_ = nullptr, *check3_ = nullptr;
    QHash<QString, QPushButton *> botones_;
    bool cerrando_ = false;
};
