#include "gui/rating/level_viewer_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/catalog/photo_keys.h"
#include "gui/rating/viewer_support.h"

#include <QButtonGroup>
#include <QGroupBox>
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
    const VisorFotos::Marco marco = VisorFotos::CrearMarco(
        this, QStringLiteral("Form10"), QStringLiteral("DESCRIPCIONES DE LOS NIVELES DE DAÑO"),
        QStringLiteral("Descripciones de los niveles de daño"), QStringLiteral("Nivel"));
    lblDanno_ = marco.lblDanno;
    QWidget *frmDanno = marco.frmDanno;

    auto *izquierda = new QVBoxLayout;
    izquierda->setSpacing(8);
    marco.cuerpo->addLayout(izquierda);

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

    fotos_.Construir(this, marco);

    connect(grupo_, &QButtonGroup::idClicked, this, &Form10::ElegirNivel);
    connect(fotos_.btnMasFotos(), &QPushButton::clicked, this, &Form10::SiguienteFoto);

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
    const QString primera =
        fotos_.Empezar(estado_.NumFotosNivel[nivel], [this, nivel](int i) { return RutaFoto(nivel, i); });
    if (!primera.isEmpty())
        estado_.RutaFoto = primera;
}

void Form10::SiguienteFoto()
{
    const int indice = NivelElegido();
    if (indice < 0) {
        ++fotoActual_;
        return;
    }
    const int nivel = indice + 1;
    fotos_.Siguiente(fotoActual_, estado_.NumFotosNivel[nivel], [this, nivel](int i) { return RutaFoto(nivel, i); });
}

void AbrirVisorNiveles(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo)
{
    Form10 visor(estado, padre);
    if (!titulo.isEmpty())
        visor.EstablecerTitulo(titulo);
    visor.ContarFotos(tabla);
    visor.exec();
}
