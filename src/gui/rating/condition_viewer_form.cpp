#include "gui/rating/condition_viewer_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/catalog/damage_descriptions.h"
#include "core/catalog/photo_keys.h"
#include "gui/rating/viewer_support.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

Form14::Form14(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    const VisorFotos::Marco marco = VisorFotos::CrearMarco(this, QStringLiteral("Form14"), QStringLiteral("DESCRIPCIÓN"),
                                                           QStringLiteral("Descripción"), QStringLiteral("variable"));
    lblDanno_ = marco.lblDanno;

    lblDescripcion_ = VisorFotos::CrearDescripcion(marco.frmDanno);
    lblDescripcion_->setFixedWidth(360);
    marco.cuerpo->addWidget(lblDescripcion_);

    fotos_.Construir(this, marco);
    connect(fotos_.btnMasFotos(), &QPushButton::clicked, this, &Form14::SiguienteFoto);

    // Form_Load: the explanation of the condition, photo 1.
    descripcionCondicion_ = TextoCondicion(estado_.VariableActual);
    lblDescripcion_->setText(descripcionCondicion_);
    fotoActual_ = 1;
    fotos_.Command1()->setFocus();
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

    const QString primera = fotos_.Empezar(estado_.NumFotos, [this](int i) { return RutaFoto(i); });
    if (!primera.isEmpty())
        estado_.RutaFoto = primera;
}

void Form14::SiguienteFoto()
{
    fotos_.Siguiente(fotoActual_, estado_.NumFotos, [this](int i) { return RutaFoto(i); });
}

void AbrirVisorCondicion(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo)
{
    Form14 visor(estado, padre);
    visor.EstablecerTitulo(titulo);
    visor.ContarFotos(tabla);
    visor.exec();
}
