#include "gui/registry/record_photos.h"

#include "core/data/record_set.h"
#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "gui/photos/photo_panel.h"
#include "gui/photos/photo_viewer.h"
#include "photos/photo_preparation.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr int LadoMiniatura = 120;
const QString Titulo = QStringLiteral("Fotos de la edificación");
}  // namespace

FotosGuardadas::FotosGuardadas(const QVector<FotoEvaluacion> &fotos, Cargador cargar, QWidget *padre)
    : QGroupBox(fotos.isEmpty() ? QStringLiteral("Fotos de la edificación (ninguna)")
                                : QStringLiteral("Fotos de la edificación (%1)").arg(fotos.size()),
                padre),
      fotos_(fotos), cargar_(std::move(cargar))
{
    setObjectName(QStringLiteral("frmFotosGuardadas"));
    lstFotosGuardadas = new QListWidget(this);
    Nombrar(lstFotosGuardadas, QStringLiteral("lstFotosGuardadas"), Titulo);
    lstFotosGuardadas->setViewMode(QListView::IconMode);
    lstFotosGuardadas->setIconSize(QSize(LadoMiniatura, LadoMiniatura));
    lstFotosGuardadas->setGridSize(QSize(LadoMiniatura + 30, LadoMiniatura + 40));
    lstFotosGuardadas->setResizeMode(QListView::Adjust);
    lstFotosGuardadas->setMovement(QListView::Static);
    lstFotosGuardadas->setWordWrap(true);
    lstFotosGuardadas->setMinimumHeight(fotos.isEmpty() ? 0 : LadoMiniatura + 50);
    lstFotosGuardadas->setVisible(!fotos.isEmpty());
    for (int i = 0; i < fotos_.size(); ++i) {
        const FotoEvaluacion &f = fotos_.at(i);
        auto *item = new QListWidgetItem(f.leyenda.isEmpty() ? QStringLiteral("Foto %1").arg(i + 1) : f.leyenda,
                                         lstFotosGuardadas);
        item->setToolTip(VisorFoto::Descripcion(f, i + 1, static_cast<int>(fotos_.size())));
    }
    connect(lstFotosGuardadas, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { abrir(lstFotosGuardadas->row(item)); });

    auto *capa = new QVBoxLayout(this);
    capa->addWidget(lstFotosGuardadas);
    auto *botones = new QHBoxLayout;
    btnAgregarFotosGuardadas = new QPushButton(QStringLiteral("Agregar fotos…"), this);
    Nombrar(btnAgregarFotosGuardadas, QStringLiteral("btnAgregarFotosGuardadas"),
            QStringLiteral("Agregar fotos a esta evaluación"));
    btnQuitarFotoGuardada = new QPushButton(QStringLiteral("Quitar foto…"), this);
    Nombrar(btnQuitarFotoGuardada, QStringLiteral("btnQuitarFotoGuardada"), QStringLiteral("Quitar la foto elegida"));
    for (QPushButton *b : {btnAgregarFotosGuardadas, btnQuitarFotoGuardada}) {
        b->setAutoDefault(false);
        b->setVisible(false);
        botones->addWidget(b);
    }
    botones->addStretch(1);
    capa->addLayout(botones);
    connect(btnAgregarFotosGuardadas, &QPushButton::clicked, this, &FotosGuardadas::agregarFotos);
    connect(btnQuitarFotoGuardada, &QPushButton::clicked, this, &FotosGuardadas::quitarFoto);

    // One photo's bytes per turn of the event loop; its thumbnail drawn on a
    // worker thread; the next photo once it is done.
    connect(&miniatura_, &QFutureWatcher<QImage>::finished, this, [this] {
        const QImage imagen = miniatura_.result();
        if (QListWidgetItem *item = lstFotosGuardadas->item(siguiente_ - 1); item && !imagen.isNull()) {
            item->setIcon(QIcon(QPixmap::fromImage(imagen)));
            ++listas_;
        }
        QTimer::singleShot(0, this, &FotosGuardadas::cargarSiguiente);
    });
    if (!fotos_.isEmpty())
        QTimer::singleShot(0, this, &FotosGuardadas::cargarSiguiente);
}

FotosGuardadas::~FotosGuardadas() { miniatura_.waitForFinished(); }

void FotosGuardadas::cargarSiguiente()
{
    while (siguiente_ < fotos_.size()) {
        const int i = siguiente_++;
        std::optional<FotoEvaluacion> completa;
        try {
            completa = cargar_ ? cargar_(fotos_.at(i).uuid) : std::nullopt;
        } catch (const ErrorDatos &) {
            completa.reset();  // the photo says so when opened
        }
        if (!completa || completa->jpeg.isEmpty())
            continue;
        fotos_[i].jpeg = completa->jpeg;
        miniatura_.setFuture(QtConcurrent::run(
            [jpeg = completa->jpeg] { return PreparacionFotos::Miniatura(jpeg, LadoMiniatura); }));
        return;
    }
}

void FotosGuardadas::abrir(int fila)
{
    if (fila < 0 || fila >= fotos_.size())
        return;
    FotoEvaluacion f = fotos_.at(fila);
    if (f.jpeg.isEmpty()) {
        try {
            if (const auto completa = cargar_ ? cargar_(f.uuid) : std::nullopt)
                f.jpeg = completa->jpeg;
        } catch (const ErrorDatos &e) {
            Mensaje::mostrar(this, e.mensaje(), Mensaje::Botones::Aceptar, Titulo);
            return;
        }
    }
    VisorFoto visor(f, fila + 1, static_cast<int>(fotos_.size()), this);
    visor.exec();
}

void FotosGuardadas::permitirCambios(std::function<bool(QVector<FotoEvaluacion> &)> agregar, Quitador quitar)
{
    agregar_ = std::move(agregar);
    quitar_ = std::move(quitar);
    btnAgregarFotosGuardadas->setVisible(static_cast<bool>(agregar_));
    btnQuitarFotoGuardada->setVisible(static_cast<bool>(quitar_) && !fotos_.isEmpty());
}

void FotosGuardadas::agregarFotos()
{
    QDialog dialogo(this);
    dialogo.setObjectName(QStringLiteral("DialogoAgregarFotos"));
    dialogo.setWindowTitle(QStringLiteral("Agregar fotos a la evaluación"));
    auto *panel = new PanelFotos(&dialogo, static_cast<int>(fotos_.size()));
    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogo);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Guardar fotos"));
    Nombrar(botones->button(QDialogButtonBox::Ok), QStringLiteral("btnGuardarFotos"), QStringLiteral("Guardar fotos"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    Nombrar(botones->button(QDialogButtonBox::Cancel), QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, &dialogo, [&] {
        panel->esperar();
        QVector<FotoEvaluacion> nuevas = panel->fotos();
        if (nuevas.isEmpty()) {
            dialogo.reject();
            return;
        }
        if (agregar_(nuevas))
            dialogo.accept();
    });
    connect(botones, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    auto *capa = new QVBoxLayout(&dialogo);
    capa->addWidget(panel, 1);
    capa->addWidget(botones);
    dialogo.resize(720, 420);
    if (dialogo.exec() == QDialog::Accepted)
        emit cambiadas();
}

void FotosGuardadas::quitarFoto()
{
    const int fila = lstFotosGuardadas->currentRow();
    if (fila < 0 || fila >= fotos_.size()) {
        Mensaje::mostrar(this, QStringLiteral("Elija primero la foto que quiere quitar."), Mensaje::Botones::Aceptar,
                         Titulo);
        return;
    }
    QInputDialog pregunta(this);
    pregunta.setObjectName(QStringLiteral("DialogoQuitarFoto"));
    pregunta.setWindowTitle(QStringLiteral("Quitar foto"));
    pregunta.setLabelText(QStringLiteral("Quitar una foto es una corrección: queda registrada con su motivo, y la foto "
                                         "se conserva en el registro.\nMotivo:"));
    pregunta.setOkButtonText(QStringLiteral("Quitar foto"));
    pregunta.setCancelButtonText(QStringLiteral("Cancelar"));
    if (pregunta.exec() != QDialog::Accepted)
        return;
    const QString motivo = pregunta.textValue().trimmed();
    if (motivo.isEmpty()) {
        Mensaje::mostrar(this, QStringLiteral("Escriba el motivo: quitar una foto es una corrección y guarda su motivo."),
                         Mensaje::Botones::Aceptar, Titulo);
        return;
    }
    if (quitar_(fotos_.at(fila).uuid, motivo))
        emit cambiadas();
}
