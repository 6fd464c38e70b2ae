#include "gui/rating/qualitative_rating_form.h"

#include "gui/common/widget_support.h"
#include "gui/rating/condition_viewer_form.h"
#include "core/catalog/damage_descriptions.h"
#include "gui/rating/level_viewer_form.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Form9::Form9(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("ORV"));
    setModal(true);

    auto *raiz = new QVBoxLayout(this);
    raiz->setSpacing(12);

    lblTipo_ = new QLabel(this);
    // A screen reader reads the element's title as it shows.
    Nombrar(lblTipo_, QStringLiteral("lblTipo"));
    lblTipo_->setAlignment(Qt::AlignCenter);
    lblTipo_->setWordWrap(true);
    QFont grande = lblTipo_->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.3);
    lblTipo_->setFont(grande);
    lblTipo_->setMinimumWidth(440);
    lblTipo_->setMinimumHeight(2 * lblTipo_->fontMetrics().height() + 6);
    raiz->addWidget(lblTipo_);

    auto *cuerpo = new QHBoxLayout;
    cuerpo->setSpacing(12);
    raiz->addLayout(cuerpo);

    frmCalificacion_ = new QGroupBox(QStringLiteral("Calificación"), this);
    Nombrar(frmCalificacion_, QStringLiteral("frmCalificacion"), QStringLiteral("Calificación"));
    auto *opciones = new QVBoxLayout(frmCalificacion_);
    opciones->setSpacing(8);
    grupo_ = new QButtonGroup(this);
    grupo_->setExclusive(true);
    for (int k = 0; k < 5; ++k) {
        auto *opcion = new QRadioButton(frmCalificacion_);
        Nombrar(opcion, NombreElemento(QStringLiteral("Option1"), k));
        opcion->setMinimumWidth(180);
        grupo_->addButton(opcion, k);
        opciones->addWidget(opcion);
        Option1_[k] = opcion;
    }
    Option1_[0]->setChecked(true);
    cuerpo->addWidget(frmCalificacion_, 1);

    auto *frmDefinicion = new QFrame(this);
    Nombrar(frmDefinicion, QStringLiteral("frmDefinicion"), QStringLiteral("Acciones"));
    frmDefinicion->setFrameShape(QFrame::StyledPanel);
    auto *acciones = new QVBoxLayout(frmDefinicion);
    acciones->setSpacing(10);
    btnAceptar_ = new QPushButton(QStringLiteral("Aceptar"), frmDefinicion);
    Nombrar(btnAceptar_, QStringLiteral("btnAceptar"), QStringLiteral("Aceptar"));
    btnAceptar_->setToolTip(QStringLiteral("Guardar Pesos y Calificación"));
    btnAceptar_->setDefault(true);
    btnDanno_ = new QPushButton(QStringLiteral("Ver Daños"), frmDefinicion);
    Nombrar(btnDanno_, QStringLiteral("btnDanno"), QStringLiteral("Ver Daños"));
    // Enter on a focused button presses it; elsewhere it presses "Aceptar".
    btnDanno_->setAutoDefault(true);
    btnAceptar_->setMinimumWidth(120);
    btnDanno_->setMinimumWidth(120);
    acciones->addStretch(1);
    acciones->addWidget(btnAceptar_);
    acciones->addWidget(btnDanno_);
    acciones->addStretch(1);
    cuerpo->addWidget(frmDefinicion);

    connect(btnAceptar_, &QPushButton::clicked, this, &Form9::btnAceptar_Click);
    connect(btnDanno_, &QPushButton::clicked, this, &Form9::btnDanno_Click);

    // Keyboard: the options first (arrows move the choice), then "Aceptar"
    // and "Ver Daños", in the order they were created.
    Option1_[0]->setFocus();
}

void Form9::EstablecerTextos(const QString &titulo, const QString &marco, const QStringList &opciones)
{
    lblTipo_->setText(titulo);
    frmCalificacion_->setTitle(marco);
    frmCalificacion_->setAccessibleName(marco);
    for (int k = 0; k < 5; ++k) {
        Option1_[k]->setText(opciones.value(k));
        Option1_[k]->setAccessibleName(opciones.value(k));
    }
}

int Form9::OpcionElegida() const
{
    for (int k = 0; k < 5; ++k)
        if (Option1_[k]->isChecked())
            return k;
    return -1;
}

void Form9::btnAceptar_Click()
{
    const int elegida = OpcionElegida();
    if (estado_.OtroActual != -1) {
        OtroCalificado &otro = estado_.OtrosNoEstructurales.at(estado_.IndiceOtro);
        if (estado_.OtrosElegidos == 1) {
            otro.Codigo = estado_.OtroActual;
            if (elegida >= 0)
                otro.Nivel = static_cast<int16_t>(elegida);
        }
        const int slot = SlotCualitativoOtro(otro.Codigo);
        if (slot >= 0)
            estado_.NivelesCualitativos[slot] = otro.Nivel;
    } else {
        VariableCalificada &variable = estado_.Variables.at(estado_.IndiceVariable);
        variable.Codigo = estado_.VariableActual;
        if (elegida >= 0)
            variable.Nivel = static_cast<int16_t>(elegida);
        const int slot = SlotCualitativoVariable(variable.Codigo);
        if (slot >= 0)
            estado_.NivelesCualitativos[slot] = variable.Nivel;
    }
    accept();
}

void Form9::btnDanno_Click()
{
    const auto abrir = [this](const VisorDannos &visor) {
        if (visor.tipo == TipoVisor::Niveles)
            AbrirVisorNiveles(this, estado_, visor.tabla, visor.titulo);
        else if (visor.tipo == TipoVisor::Condicion)
            AbrirVisorCondicion(this, estado_, visor.tabla, visor.titulo);
    };
    abrir(VisorDeVariable(estado_.VariableActual));
    abrir(VisorDeOtro(estado_.OtroActual));
}
