#include "gui/rating/viewer_support.h"

#include "gui/common/widget_support.h"
#include "gui/rating/photo_box.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace VisorFotos {

QLabel *CrearTitulo(const QString &texto, QWidget *padre)
{
    auto *titulo = new QLabel(texto, padre);
    Nombrar(titulo, QStringLiteral("lblDanno"), QStringLiteral("Título"));
    titulo->setAlignment(Qt::AlignCenter);
    titulo->setWordWrap(true);
    titulo->setAutoFillBackground(true);
    QPalette paleta = titulo->palette();
    paleta.setColor(QPalette::Window, QColor(0x14, 0x14, 0x14));
    paleta.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    titulo->setPalette(paleta);
    QFont f = titulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    titulo->setFont(f);
    titulo->setMargin(6);
    titulo->setMinimumHeight(titulo->fontMetrics().height() + 16);
    return titulo;
}

Marco CrearMarco(QDialog *visor, const QString &nombre, const QString &tituloMarco, const QString &nombreMarco,
                 const QString &titulo)
{
    visor->setObjectName(nombre);
    visor->setWindowTitle(QStringLiteral("ORV - Quenbria"));
    visor->setModal(true);

    auto *raiz = new QVBoxLayout(visor);
    // frmDanno stands 120 twips from the left and 80 from the top and follows the form's size.
    raiz->setContentsMargins(Twips(120), Twips(80), Twips(120), Twips(120));

    Marco m;
    m.frmDanno = new QGroupBox(tituloMarco, visor);
    Nombrar(m.frmDanno, QStringLiteral("frmDanno"), nombreMarco);
    raiz->addWidget(m.frmDanno);
    auto *contenido = new QVBoxLayout(m.frmDanno);
    contenido->setSpacing(8);
    m.contenido = contenido;

    m.lblDanno = CrearTitulo(titulo, m.frmDanno);
    contenido->addWidget(m.lblDanno);

    m.cuerpo = new QHBoxLayout;
    m.cuerpo->setSpacing(10);
    contenido->addLayout(m.cuerpo, 1);
    return m;
}

QLabel *CrearDescripcion(QWidget *padre)
{
    auto *descripcion = new QLabel(padre);
    Nombrar(descripcion, QStringLiteral("lblDescripcion"), QStringLiteral("Descripción"));
    descripcion->setWordWrap(true);
    descripcion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    descripcion->setTextFormat(Qt::PlainText);
    descripcion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    descripcion->setFixedWidth(320);
    descripcion->setMargin(4);
    return descripcion;
}

int16_t CuentaFotos(double valor)
{
    if (!(valor > 0.0))
        return 0;
    if (valor >= 32767.0)
        return 32767;
    return static_cast<int16_t>(std::floor(valor));
}

void PanelFotos::Construir(QDialog *visor, const Marco &marco)
{
    QWidget *padre = marco.frmDanno;
    auto *columna = new QVBoxLayout;
    columna->setSpacing(6);
    marco.cuerpo->addLayout(columna, 1);

    auto *area = new QFrame(padre);
    Nombrar(area, QStringLiteral("frmFotos"), QStringLiteral("Fotos"));
    area->setFrameShape(QFrame::StyledPanel);
    auto *rejilla = new QGridLayout(area);
    rejilla->setContentsMargins(2, 2, 2, 2);

    imgFotos_ = new CuadroFoto(area);
    Nombrar(imgFotos_, QStringLiteral("imgFotos"), QStringLiteral("Foto del daño"));
    rejilla->addWidget(imgFotos_, 0, 0);

    lblNoHay_ = new QLabel(QStringLiteral("NO HAY FOTOS DISPONIBLES"), area);
    Nombrar(lblNoHay_, QStringLiteral("lblNoHay"), QStringLiteral("NO HAY FOTOS DISPONIBLES"));
    lblNoHay_->setAlignment(Qt::AlignCenter);
    QFont f = lblNoHay_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    lblNoHay_->setFont(f);
    lblNoHay_->setMinimumSize(imgFotos_->minimumSizeHint());
    lblNoHay_->hide();
    rejilla->addWidget(lblNoHay_, 0, 0);
    // The area keeps its size whichever of the two is shown.
    area->setMinimumSize(imgFotos_->minimumSizeHint() + QSize(8, 8));
    columna->addWidget(area, 1);

    auto *filaFotos = new QHBoxLayout;
    filaFotos->addStretch(1);
    btnMasFotos_ = new QPushButton(QStringLiteral("Siguiente Foto"), padre);
    Nombrar(btnMasFotos_, QStringLiteral("btnMasFotos"), QStringLiteral("Siguiente Foto"));
    btnMasFotos_->setAutoDefault(false);
    btnMasFotos_->setMinimumWidth(130);
    filaFotos->addWidget(btnMasFotos_);
    columna->addLayout(filaFotos);

    auto *filaAceptar = new QHBoxLayout;
    filaAceptar->addStretch(1);
    Command1_ = new QPushButton(QStringLiteral("Aceptar"), padre);
    Nombrar(Command1_, QStringLiteral("Command1"), QStringLiteral("Aceptar"));
    Command1_->setDefault(true);
    Command1_->setMinimumWidth(110);
    filaAceptar->addWidget(Command1_);
    marco.contenido->addLayout(filaAceptar);

    QObject::connect(Command1_, &QPushButton::clicked, visor, &QDialog::accept);
}

QString PanelFotos::Empezar(int cuenta, const RutaDeFoto &ruta)
{
    if (cuenta == 0) {
        SinFotos();
        btnMasFotos_->setEnabled(false);
        return QString();
    }
    const QString primera = ruta(1);
    Cargar(primera);
    btnMasFotos_->setEnabled(true);
    return primera;
}

void PanelFotos::Siguiente(int &actual, int cuenta, const RutaDeFoto &ruta)
{
    ++actual;
    if (actual == cuenta + 1) {
        actual = 1;
        Cargar(ruta(1));
    } else if (actual <= cuenta) {
        Cargar(ruta(actual));
    }
}

void PanelFotos::Cargar(const QString &ruta)
{
    // A counted photo that is missing or unreadable shows the notice instead.
    if (!imgFotos_->cargar(ruta)) {
        SinFotos();
        return;
    }
    lblNoHay_->hide();
    imgFotos_->show();
}

void PanelFotos::SinFotos()
{
    imgFotos_->vaciar();
    imgFotos_->hide();
    lblNoHay_->show();
}

}  // namespace VisorFotos
