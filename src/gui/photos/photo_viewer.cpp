#include "gui/photos/photo_viewer.h"

#include "gui/common/widget_support.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

QString VisorFoto::Descripcion(const FotoEvaluacion &foto, int numero, int total)
{
    QStringList partes{QStringLiteral("Foto %1 de %2").arg(numero).arg(total)};
    if (!foto.leyenda.isEmpty())
        partes << foto.leyenda;
    partes << (foto.tomadaEn.isValid()
                   ? QStringLiteral("tomada el %1").arg(foto.tomadaEn.toString(QStringLiteral("dd/MM/yyyy HH:mm")))
                   : QStringLiteral("sin fecha de toma"));
    partes << (foto.tienePosicion() ? QStringLiteral("posición %1, %2")
                                          .arg(QLocale().toString(*foto.latitud, 'f', 6),
                                               QLocale().toString(*foto.longitud, 'f', 6))
                                    : QStringLiteral("sin posición"));
    return partes.join(QStringLiteral(" · "));
}

VisorFoto::VisorFoto(const FotoEvaluacion &foto, int numero, int total, QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("VisorFoto"));
    setWindowTitle(QStringLiteral("Foto %1 de %2").arg(numero).arg(total));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    QImage imagen;
    imagen.loadFromData(foto.jpeg, "JPEG");
    imagen_ = QPixmap::fromImage(imagen);

    lblImagen = new QLabel(this);
    lblImagen->setObjectName(QStringLiteral("lblImagen"));
    lblImagen->setAlignment(Qt::AlignCenter);
    lblImagen->setMinimumSize(200, 150);
    const QString descripcion = Descripcion(foto, numero, total);
    lblImagen->setAccessibleName(descripcion);
    if (imagen_.isNull())
        lblImagen->setText(QStringLiteral("La foto no se puede mostrar."));
    auto *pie = new QLabel(descripcion, this);
    pie->setObjectName(QStringLiteral("lblDescripcion"));
    pie->setTextFormat(Qt::PlainText);
    pie->setWordWrap(true);
    pie->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    pie->setFocusPolicy(Qt::TabFocus);
    pie->setAccessibleName(descripcion);

    auto *botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
    Nombrar(botones->button(QDialogButtonBox::Close), QStringLiteral("btnCerrar"), QStringLiteral("Cerrar"));
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *capa = new QVBoxLayout(this);
    capa->addWidget(lblImagen, 1);
    capa->addWidget(pie);
    capa->addWidget(botones);
    resize(900, 720);
}

void VisorFoto::resizeEvent(QResizeEvent *evento)
{
    QDialog::resizeEvent(evento);
    ajustar();
}

void VisorFoto::ajustar()
{
    if (!imagen_.isNull())
        lblImagen->setPixmap(imagen_.scaled(lblImagen->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
