#include "rating/level_viewer_form.h"

#include "app/message_box.h"
#include "app/widget_support.h"
#include "data/data_paths.h"
#include "data/record_set.h"
#include "rating/photo_box.h"
#include "rating/photo_keys.h"
#include "rating/viewer_support.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
const char *const CaptionOpcion[5] = {"Nivel I - Ninguno/Muy Leve", "Nivel II - Leve", "Nivel III - Moderado",
                                      "Nivel IV - Fuerte", "Nivel V - Severo"};
const char *const TituloNivel[5] = {"Nivel I", "Nivel II", "Nivel III", "Nivel IV", "Nivel V"};
// Colours as 0x00BBGGRR values.
const int ValorColorNivel[5] = {32768, 32768, 65535, 33023, 255};
}  // namespace

QColor ColorNivel(int nivel)
{
    if (nivel < 0 || nivel > 4)
        return QColor();
    const int v = ValorColorNivel[nivel];
    return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
}

Form10::Form10(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("ORV - Quenbria"));
    setModal(true);

    auto *raiz = new QVBoxLayout(this);
    // frmDanno stands 120 twips from the left and 80 from the top and follows the form's size.
    raiz->setContentsMargins(Twips(120), Twips(80), Twips(120), Twips(120));

    auto *frmDanno = new QGroupBox(QStringLiteral("DESCRIPCIONES DE LOS NIVELES DE DAÑO"), this);
    Nombrar(frmDanno, QStringLiteral("frmDanno"), QStringLiteral("Descripciones de los niveles de daño"));
    raiz->addWidget(frmDanno);
    auto *contenido = new QVBoxLayout(frmDanno);
    contenido->setSpacing(8);

    lblDanno_ = VisorFotos::CrearTitulo(QStringLiteral("Nivel"), frmDanno);
    contenido->addWidget(lblDanno_);

    auto *cuerpo = new QHBoxLayout;
    cuerpo->setSpacing(10);
    contenido->addLayout(cuerpo, 1);

    auto *izquierda = new QVBoxLayout;
    izquierda->setSpacing(8);
    cuerpo->addLayout(izquierda);

    // The level choice stands on a dark panel: the level colours (dark green
    // to yellow) are readable only there.
    auto *frmNiveles = new QGroupBox(QStringLiteral("NIVELES DE DAÑO"), frmDanno);
    Nombrar(frmNiveles, QStringLiteral("frmNiveles"), QStringLiteral("Niveles de daño"));
    frmNiveles->setToolTip(QStringLiteral("Escoja un Nivel de Daño"));
    frmNiveles->setAutoFillBackground(true);
    {
        QPalette p = frmNiveles->palette();
        p.setColor(QPalette::Window, QColor(0x14, 0x14, 0x14));
        p.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
        frmNiveles->setPalette(p);
    }
    frmNiveles->setFixedWidth(320);
    auto *opciones = new QVBoxLayout(frmNiveles);
    opciones->setSpacing(6);
    grupo_ = new QButtonGroup(this);
    for (int k = 0; k < 5; ++k) {
        auto *opcion = new QRadioButton(QString::fromUtf8(CaptionOpcion[k]), frmNiveles);
        Nombrar(opcion, NombreElemento(QStringLiteral("optDanno"), k), QString::fromUtf8(CaptionOpcion[k]));
        QPalette p = opcion->palette();
        p.setColor(QPalette::WindowText, ColorNivel(k));
        p.setColor(QPalette::ButtonText, ColorNivel(k));
        opcion->setPalette(p);
        QFont f = opcion->font();
        f.setBold(true);
        opcion->setFont(f);
        grupo_->addButton(opcion, k);
        opciones->addWidget(opcion);
        optDanno_[k] = opcion;
    }
    izquierda->addWidget(frmNiveles);

    lblDescripcion_ = VisorFotos::CrearDescripcion(frmDanno);
    izquierda->addWidget(lblDescripcion_, 1);

    auto *derecha = new QVBoxLayout;
    derecha->setSpacing(6);
    cuerpo->addLayout(derecha, 1);
    derecha->addWidget(VisorFotos::CrearAreaFoto(frmDanno, &imgFotos_, &lblNoHay_), 1);

    auto *filaFotos = new QHBoxLayout;
    filaFotos->addStretch(1);
    btnMasFotos_ = new QPushButton(QStringLiteral("Siguiente Foto"), frmDanno);
    Nombrar(btnMasFotos_, QStringLiteral("btnMasFotos"), QStringLiteral("Siguiente Foto"));
    btnMasFotos_->setAutoDefault(false);
    btnMasFotos_->setMinimumWidth(130);
    filaFotos->addWidget(btnMasFotos_);
    derecha->addLayout(filaFotos);

    auto *filaAceptar = new QHBoxLayout;
    filaAceptar->addStretch(1);
    Command1_ = new QPushButton(QStringLiteral("Aceptar"), frmDanno);
    Nombrar(Command1_, QStringLiteral("Command1"), QStringLiteral("Aceptar"));
    Command1_->setDefault(true);
    Command1_->setMinimumWidth(110);
    filaAceptar->addWidget(Command1_);
    contenido->addLayout(filaAceptar);

    connect(grupo_, &QButtonGroup::idClicked, this, &Form10::ElegirNivel);
    connect(btnMasFotos_, &QPushButton::clicked, this, &Form10::SiguienteFoto);
    connect(Command1_, &QPushButton::clicked, this, &QDialog::accept);

    // Form_Load: the element's descriptions, no photo yet.
    descripcionNivel_ = DescripcionesNivel(estado_);
    fotoActual_ = 0;
    optDanno_[0]->setFocus();
}

void Form10::EstablecerTitulo(const QString &titulo)
{
    lblDanno_->setText(titulo);
}

void Form10::ContarFotos(const QString &tabla)
{
    // Every level starts at 0, so that a level without a row never shows the
    // count of an element opened earlier.
    for (int n = 1; n <= 5; ++n)
        estado_.NumFotosNivel[n] = 0;
    try {
        ConjuntoRegistros fotos(RutasDatos::archivoFotos(), tabla);
        fotos.moverPrimero();
        while (!fotos.finDeTabla()) {
            if (fotos.campoTexto(0) == estado_.CarpetaFoto) {
                const double nivel = fotos.campoReal(1);
                if (nivel >= 1.0 && nivel <= 5.0 && nivel == std::floor(nivel))
                    estado_.NumFotosNivel[static_cast<int>(nivel)] = VisorFotos::CuentaFotos(fotos.campoReal(2));
            }
            fotos.moverSiguiente();
        }
    } catch (const ErrorDatos &error) {
        for (int n = 1; n <= 5; ++n)
            estado_.NumFotosNivel[n] = 0;
        Mensaje::mostrar(this, error.mensaje());
    }
}

QString Form10::RutaFoto(int nivel, int i) const
{
    return RutaFotoNivel(RutasDatos::carpetaFotos(), estado_.CarpetaFoto, estado_.PrefijoFoto, nivel, i);
}

int Form10::NivelElegido() const
{
    for (int k = 0; k < 5; ++k)
        if (optDanno_[k]->isChecked())
            return k;
    return -1;
}

void Form10::ElegirNivel(int indice)
{
    if (indice < 0 || indice > 4)
        return;
    if (!optDanno_[indice]->isChecked())
        optDanno_[indice]->setChecked(true);
    const int nivel = indice + 1;

    lblDanno_->setText(QString::fromLatin1(TituloNivel[indice]));
    QPalette p = lblDanno_->palette();
    p.setColor(QPalette::WindowText, ColorNivel(indice));
    lblDanno_->setPalette(p);

    lblDescripcion_->setText(descripcionNivel_[indice]);
    fotoActual_ = 1;
    if (estado_.NumFotosNivel[nivel] == 0) {
        SinFotos();
        btnMasFotos_->setEnabled(false);
        return;
    }
    estado_.RutaFoto = RutaFoto(nivel, 1);
    CargarFoto(estado_.RutaFoto);
    btnMasFotos_->setEnabled(true);
}

void Form10::SiguienteFoto()
{
    ++fotoActual_;
    const int indice = NivelElegido();
    if (indice < 0)
        return;
    const int nivel = indice + 1;
    const int n = estado_.NumFotosNivel[nivel];
    if (fotoActual_ == n + 1) {
        fotoActual_ = 1;
        CargarFoto(RutaFoto(nivel, 1));
    } else if (fotoActual_ <= n) {
        CargarFoto(RutaFoto(nivel, fotoActual_));
    }
}

void Form10::CargarFoto(const QString &ruta)
{
    // A counted photo that is missing or unreadable shows the notice instead.
    if (!imgFotos_->cargar(ruta)) {
        SinFotos();
        return;
    }
    lblNoHay_->hide();
    imgFotos_->show();
}

void Form10::SinFotos()
{
    imgFotos_->vaciar();
    imgFotos_->hide();
    lblNoHay_->show();
}

void AbrirVisorNiveles(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo)
{
    Form10 visor(estado, padre);
    if (!titulo.isEmpty())
        visor.EstablecerTitulo(titulo);
    visor.ContarFotos(tabla);
    visor.exec();
}
