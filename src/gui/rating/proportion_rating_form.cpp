#include "gui/rating/proportion_rating_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/engine/proportion_rating.h"
#include "gui/rating/level_viewer_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// Frames from left (level I) to right (level V) and their bars.
const char *const NombreMarco[5] = {"Frame1", "Frame3", "Frame2", "Frame4", "Frame5"};
const char *const TituloMarco[5] = {"Nivel Daño I", "Nivel Daño II", "Nivel Daño III", "Nivel Daño IV", "Nivel Daño V"};
const char *const NombreBarra[5] = {"HSGrupoI", "HSGrupoII", "HSGrupoIII", "HSGrupoIV", "HSGrupoV"};
const char *const NombreNivel[5] = {"Ninguno / Muy Leve", "Leve", "Moderado", "Fuerte", "Severo"};

// A share as the label shows it: non-negative numbers carry one leading blank.
QString TextoProporcion(int valor)
{
    return valor >= 0 ? QLatin1Char(' ') + QString::number(valor) : QString::number(valor);
}
}  // namespace

Form5::Form5(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Ingreso de datos"));
    setModal(true);

    auto *raiz = new QVBoxLayout(this);
    raiz->setSpacing(10);

    lblVariable_ = new QLabel(this);
    // A screen reader reads the element's title as it shows.
    Nombrar(lblVariable_, QStringLiteral("lblVariable"));
    lblVariable_->setAlignment(Qt::AlignCenter);
    lblVariable_->setWordWrap(true);
    QFont grande = lblVariable_->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.35);
    lblVariable_->setFont(grande);
    lblVariable_->setMinimumHeight(lblVariable_->fontMetrics().height() + 8);
    raiz->addWidget(lblVariable_);

    auto *frmElemento = new QFrame(this);
    Nombrar(frmElemento, QStringLiteral("frmElemento"), QStringLiteral("Proporciones de daño del elemento"));
    frmElemento->setFrameShape(QFrame::StyledPanel);
    frmElemento->setToolTip(QStringLiteral(
        "En cada nivel, picando sobre la barra la proporción aumentará en 5 puntos, con las flechas de los extremos "
        "aumentará o disminuirá 1 punto."));
    auto *marcos = new QHBoxLayout(frmElemento);
    marcos->setSpacing(8);
    raiz->addWidget(frmElemento);

    for (int k = 0; k < 5; ++k) {
        const QString titulo = QString::fromUtf8(TituloMarco[k]);
        const QString nombreNivel = QString::fromUtf8(NombreNivel[k]);
        auto *marco = new QGroupBox(titulo, frmElemento);
        Nombrar(marco, QString::fromLatin1(NombreMarco[k]), titulo);
        auto *v = new QVBoxLayout(marco);
        v->setSpacing(6);

        auto *nombre = new QLabel(nombreNivel, marco);
        Nombrar(nombre, NombreElemento(QStringLiteral("lblNombreNivel"), k));
        nombre->setAlignment(Qt::AlignCenter);
        QFont negrita = nombre->font();
        negrita.setBold(true);
        nombre->setFont(negrita);
        v->addWidget(nombre);

        auto *leyenda = new QLabel(QStringLiteral("Proporción Daño"), marco);
        Nombrar(leyenda, NombreElemento(QStringLiteral("lblProporcion"), k));
        leyenda->setAlignment(Qt::AlignCenter);
        v->addWidget(leyenda);

        auto *barra = new QScrollBar(Qt::Horizontal, marco);
        Nombrar(barra, QString::fromLatin1(NombreBarra[k]),
                QStringLiteral("Proporción Daño, %1 (%2)").arg(titulo, nombreNivel));
        barra->setRange(0, 100);
        barra->setSingleStep(1);
        barra->setPageStep(5);
        barra->setValue(0);
        // The label follows the value once the thumb is released, not while dragging.
        barra->setTracking(false);
        barra->setFocusPolicy(Qt::StrongFocus);
        // Right, Up and Page Up raise the share; Left, Down and Page Down lower it.
        barra->setInvertedControls(false);
        barra->setMinimumWidth(110);
        leyenda->setBuddy(barra);
        HSGrupo_[k] = barra;

        auto *escala = new QHBoxLayout;
        escala->setSpacing(4);
        auto *cero = new QLabel(QStringLiteral("0"), marco);
        Nombrar(cero, NombreElemento(QStringLiteral("lblEscalaMinima"), k));
        auto *cien = new QLabel(QStringLiteral("100"), marco);
        Nombrar(cien, NombreElemento(QStringLiteral("lblEscalaMaxima"), k));
        escala->addWidget(cero);
        escala->addWidget(barra, 1);
        escala->addWidget(cien);
        v->addLayout(escala);

        auto *valor = new QLabel(QStringLiteral("0"), marco);
        Nombrar(valor, NombreElemento(QStringLiteral("lblNivel"), k));
        // Read as the share it shows, labelled by its level's frame.
        RotularValor(valor, marco);
        RotularValor(valor, leyenda);
        valor->setAlignment(Qt::AlignCenter);
        QFont cifra = valor->font();
        cifra.setBold(true);
        cifra.setPointSizeF(cifra.pointSizeF() * 1.25);
        valor->setFont(cifra);
        v->addWidget(valor);
        lblNivel_[k] = valor;

        connect(barra, &QScrollBar::valueChanged, this, [this, k](int x) { HSGrupo_Change(k, x); });
        marcos->addWidget(marco, 1);
    }

    auto *label5 = new QLabel(
        QStringLiteral("Nota: La suma de las proporciones de daño de los cinco niveles deberá ser aproximadamente 100."), this);
    Nombrar(label5, QStringLiteral("Label5"));
    label5->setWordWrap(true);
    raiz->addWidget(label5);

    auto *botones = new QHBoxLayout;
    btnDanno_ = new QPushButton(QStringLiteral("Niveles de Daño"), this);
    Nombrar(btnDanno_, QStringLiteral("btnDanno"), QStringLiteral("Niveles de Daño"));
    btnDanno_->setToolTip(QStringLiteral("Descripción de los Niveles de Daño"));
    // Enter on a focused button presses it; elsewhere it presses "Aceptar".
    btnDanno_->setAutoDefault(true);
    btnAceptar_ = new QPushButton(QStringLiteral("Aceptar"), this);
    Nombrar(btnAceptar_, QStringLiteral("btnAceptar"), QStringLiteral("Aceptar"));
    btnAceptar_->setToolTip(QStringLiteral("Aceptar"));
    btnAceptar_->setDefault(true);
    btnAceptar_->setMinimumWidth(110);
    btnDanno_->setMinimumWidth(140);
    botones->addWidget(btnDanno_);
    botones->addStretch(1);
    botones->addWidget(btnAceptar_);
    raiz->addLayout(botones);

    connect(btnDanno_, &QPushButton::clicked, this, &Form5::btnDanno_Click);
    connect(btnAceptar_, &QPushButton::clicked, this, &Form5::btnAceptar_Click);

    // Keyboard: the bars from level I to V, then the two buttons.
    setTabOrder(HSGrupo_[0], HSGrupo_[1]);
    setTabOrder(HSGrupo_[1], HSGrupo_[2]);
    setTabOrder(HSGrupo_[2], HSGrupo_[3]);
    setTabOrder(HSGrupo_[3], HSGrupo_[4]);
    setTabOrder(HSGrupo_[4], btnDanno_);
    setTabOrder(btnDanno_, btnAceptar_);
    HSGrupo_[0]->setFocus();
}

void Form5::EstablecerVariable(const QString &titulo)
{
    lblVariable_->setText(titulo);
}

void Form5::HSGrupo_Change(int nivel, int valor)
{
    lblNivel_[nivel]->setText(TextoProporcion(valor));
}

void Form5::btnDanno_Click()
{
    AbrirVisorNiveles(this, estado_, QStringLiteral("Estructurales"), QString());
}

void Form5::btnAceptar_Click()
{
    // The shares are those the labels show.
    std::array<int, 5> barras{};
    for (int k = 0; k < 5; ++k)
        barras[k] = lblNivel_[k]->text().trimmed().toInt();

    const CalificacionProporcion c = DerivarNivelProporcion(estado_.VariableActual, barras);
    estado_.Variables.at(estado_.IndiceVariable).Codigo = estado_.VariableActual;
    AplicarCalificacionProporcion(estado_, c);

    Mensaje::mostrar(this, MensajeCalificacion(c.nivel, c.valor));
    const QString advertencia = AdvertenciaEstabilidad(estado_.VariableActual, c.nivel);
    if (!advertencia.isEmpty())
        Mensaje::mostrar(this, advertencia);
    accept();
}
