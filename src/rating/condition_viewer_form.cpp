#include "rating/condition_viewer_form.h"

#include "app/message_box.h"
#include "app/widget_support.h"
#include "data/data_paths.h"
#include "data/record_set.h"
#include "rating/damage_descriptions.h"
#include "rating/photo_box.h"
#include "rating/photo_keys.h"
#include "rating/viewer_support.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Form14::Form14(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(QStringLiteral("ORV - Quenbria"));
    setModal(true);

    auto *raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(Twips(120), Twips(80), Twips(120), Twips(120));

    auto *frmDanno = new QGroupBox(QStringLiteral("DESCRIPCIÓN"), this);
    Nombrar(frmDanno, QStringLiteral("frmDanno"), QStringLiteral("Descripción"));
    raiz->addWidget(frmDanno);
    auto *contenido = new QVBoxLayout(frmDanno);
    contenido->setSpacing(8);

    lblDanno_ = VisorFotos::CrearTitulo(QStringLiteral("variable"), frmDanno);
    contenido->addWidget(lblDanno_);

    auto *cuerpo = new QHBoxLayout;
    cuerpo->setSpacing(10);
    contenido->addLayout(cuerpo, 1);

    lblDescripcion_ = VisorFotos::CrearDescripcion(frmDanno);
    lblDescripcion_->setFixedWidth(360);
    cuerpo->addWidget(lblDescripcion_);

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

    connect(btnMasFotos_, &QPushButton::clicked, this, &Form14::SiguienteFoto);
    connect(Command1_, &QPushButton::clicked, this, &QDialog::accept);

    // Form_Load: the explanation of the condition, photo 1.
    descripcionCondicion_ = TextoCondicion(estado_.VariableActual);
    lblDescripcion_->setText(descripcionCondicion_);
    fotoActual_ = 1;
    Command1_->setFocus();
}

void Form14::EstablecerTitulo(const QString &titulo)
{
    lblDanno_->setText(titulo);
}

QString Form14::RutaFoto(int i) const
{
    return RutaFotoCondicion(RutasDatos::carpetaFotos(), estado_.CarpetaFoto, estado_.PrefijoFoto, i);
}

void Form14::ContarFotos(const QString &tabla)
{
    // A key without a row counts 0 photos, never an earlier element's count.
    estado_.NumFotos = 0;
    try {
        ConjuntoRegistros fotos(RutasDatos::archivoFotos(), tabla);
        fotos.moverPrimero();
        while (!fotos.finDeTabla()) {
            if (fotos.campoTexto(0) == estado_.CarpetaFoto)
                estado_.NumFotos = VisorFotos::CuentaFotos(fotos.campoReal(1));
            fotos.moverSiguiente();
        }
    } catch (const ErrorDatos &error) {
        estado_.NumFotos = 0;
        Mensaje::mostrar(this, error.mensaje());
    }

    if (estado_.NumFotos == 0) {
        SinFotos();
        btnMasFotos_->setEnabled(false);
        return;
    }
    estado_.RutaFoto = RutaFoto(1);
    CargarFoto(estado_.RutaFoto);
    btnMasFotos_->setEnabled(true);
}

void Form14::SiguienteFoto()
{
    ++fotoActual_;
    const int n = estado_.NumFotos;
    if (fotoActual_ == n + 1) {
        fotoActual_ = 1;
        CargarFoto(RutaFoto(1));
    } else if (fotoActual_ <= n) {
        CargarFoto(RutaFoto(fotoActual_));
    }
}

void Form14::CargarFoto(const QString &ruta)
{
    // A counted photo that is missing or unreadable shows the notice instead.
    if (!imgFotos_->cargar(ruta)) {
        SinFotos();
        return;
    }
    lblNoHay_->hide();
    imgFotos_->show();
}

void Form14::SinFotos()
{
    imgFotos_->vaciar();
    imgFotos_->hide();
    lblNoHay_->show();
}

void AbrirVisorCondicion(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo)
{
    Form14 visor(estado, padre);
    visor.EstablecerTitulo(titulo);
    visor.ContarFotos(tabla);
    visor.exec();
}
