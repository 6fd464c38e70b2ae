#include "gui/photos/photo_panel.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString TituloFotos = QStringLiteral("Fotos de la edificación");
constexpr int LadoMiniatura = 96;

QString NombreFoto(const FotoEvaluacion &f, int indice)
{
    return f.leyenda.isEmpty() ? QStringLiteral("Foto %1").arg(indice + 1) : f.leyenda;
}

// The formats as a person names them: "JPEG, PNG, BMP, ...".
QString ListaFormatos()
{
    QStringList nombres;
    for (const QString &f : PreparacionFotos::FormatosAdmitidos()) {
        const QString n = f.toUpper();
        if (n == QLatin1String("JPG"))
            continue;
        nombres << n;
    }
    nombres.removeDuplicates();
    return nombres.join(QStringLiteral(", "));
}

}  // namespace

PanelFotos::PanelFotos(QWidget *padre, int guardadas) : QGroupBox(TituloFotos, padre), guardadas_(guardadas)
{
    setObjectName(QStringLiteral("frmFotos"));
    setAcceptDrops(true);

    lstFotos = new QListWidget(this);
    Nombrar(lstFotos, QStringLiteral("lstFotos"), TituloFotos);
    lstFotos->setViewMode(QListView::IconMode);
    lstFotos->setIconSize(QSize(LadoMiniatura, LadoMiniatura));
    lstFotos->setGridSize(QSize(LadoMiniatura + 28, LadoMiniatura + 34));
    lstFotos->setResizeMode(QListView::Adjust);
    lstFotos->setMovement(QListView::Static);
    lstFotos->setWordWrap(true);
    lstFotos->setMinimumHeight(LadoMiniatura + 44);
    lstFotos->setAcceptDrops(false);

    txtLeyenda = new QLineEdit(this);
    Nombrar(txtLeyenda, QStringLiteral("txtLeyenda"), QStringLiteral("Leyenda de la foto"));
    txtLeyenda->setMaxLength(200);
    txtLeyenda->setPlaceholderText(QStringLiteral("Leyenda de la foto elegida (opcional)"));
    auto *rotulo = new QLabel(QStringLiteral("&Leyenda"), this);
    Etiquetar(rotulo, txtLeyenda);

    btnAgregarFotos = new QPushButton(QStringLiteral("Agregar fotos…"), this);
    Nombrar(btnAgregarFotos, QStringLiteral("btnAgregarFotos"), QStringLiteral("Agregar fotos"));
    btnQuitarFoto = new QPushButton(QStringLiteral("Quitar foto"), this);
    Nombrar(btnQuitarFoto, QStringLiteral("btnQuitarFoto"), QStringLiteral("Quitar la foto elegida"));
    btnUsarPosicion = new QPushButton(QStringLiteral("Usar la posición de la foto"), this);
    Nombrar(btnUsarPosicion, QStringLiteral("btnUsarPosicion"), QStringLiteral("Usar la posición de la foto"));
    btnUsarPosicion->setToolTip(QStringLiteral("Copia a las coordenadas la posición GPS que guardó la cámara"));
    for (QPushButton *b : {btnAgregarFotos, btnQuitarFoto, btnUsarPosicion})
        b->setAutoDefault(false);

    barPreparacion = new QProgressBar(this);
    Nombrar(barPreparacion, QStringLiteral("barPreparacion"), QStringLiteral("Preparación de las fotos"));
    barPreparacion->setFormat(QStringLiteral("Preparando fotos: %v de %m"));
    barPreparacion->setVisible(false);

    lblFormatos = new QLabel(QStringLiteral("Elija los archivos o arrástrelos aquí. Formatos: %1. A lo sumo %2 fotos.")
                                 .arg(ListaFormatos())
                                 .arg(Fotos::MaximoPorEvaluacion),
                             this);
    lblFormatos->setObjectName(QStringLiteral("lblFormatos"));
    lblFormatos->setWordWrap(true);

    auto *leyenda = new QHBoxLayout;
    leyenda->addWidget(rotulo);
    leyenda->addWidget(txtLeyenda, 1);
    auto *botones = new QHBoxLayout;
    botones->addWidget(btnAgregarFotos);
    botones->addWidget(btnQuitarFoto);
    botones->addWidget(btnUsarPosicion);
    botones->addWidget(barPreparacion, 1);
    auto *capa = new QVBoxLayout(this);
    capa->addWidget(lstFotos, 1);
    capa->addLayout(leyenda);
    capa->addLayout(botones);
    capa->addWidget(lblFormatos);

    connect(btnAgregarFotos, &QPushButton::clicked, this, &PanelFotos::elegirArchivos);
    connect(btnQuitarFoto, &QPushButton::clicked, this, &PanelFotos::quitarSeleccionada);
    connect(btnUsarPosicion, &QPushButton::clicked, this, [this] {
        if (const FotoEvaluacion *f = seleccionada(); f && f->tienePosicion())
            emit posicionElegida(*f->latitud, *f->longitud);
        actualizarPosicion();
    });
    connect(lstFotos, &QListWidget::currentRowChanged, this, &PanelFotos::seleccionCambiada);
    connect(txtLeyenda, &QLineEdit::textEdited, this, [this](const QString &texto) {
        const int fila = lstFotos->currentRow();
        if (fila < 0 || fila >= fotos_.size())
            return;
        fotos_[fila].leyenda = texto.trimmed();
        lstFotos->item(fila)->setText(NombreFoto(fotos_.at(fila), fila));
    });
    connect(&vigilante_, &QFutureWatcher<ResultadoFoto>::resultReadyAt, this, &PanelFotos::resultadoListo);
    connect(&vigilante_, &QFutureWatcher<ResultadoFoto>::progressValueChanged, barPreparacion, &QProgressBar::setValue);
    connect(&vigilante_, &QFutureWatcher<ResultadoFoto>::finished, this, &PanelFotos::preparacionTerminada);
    seleccionCambiada();
}

PanelFotos::~PanelFotos()
{
    vigilante_.cancel();
    vigilante_.waitForFinished();
}

void PanelFotos::elegirArchivos()
{
    const QStringList archivos = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Agregar fotos de la edificación"),
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), PreparacionFotos::FiltroArchivos());
    if (!archivos.isEmpty())
        agregarArchivos(archivos);
}

void PanelFotos::agregarArchivos(const QStringList &archivos)
{
    if (preparando()) {
        Mensaje::mostrar(this, QStringLiteral("Espere a que terminen de prepararse las fotos que se están agregando."),
                         Mensaje::Botones::Aceptar, TituloFotos);
        return;
    }
    const int caben = std::max(0, Fotos::MaximoPorEvaluacion - guardadas_ - static_cast<int>(fotos_.size()));
    QStringList tomados = archivos.mid(0, caben);
    if (tomados.size() < archivos.size())
        Mensaje::mostrar(this,
                         QStringLiteral("Una evaluación guarda a lo sumo %1 fotos: %2.")
                             .arg(Fotos::MaximoPorEvaluacion)
                             .arg(caben == 0 ? QStringLiteral("no se agrega ninguna más")
                                             : QStringLiteral("se agregan las primeras %1 de las %2 elegidas")
                                                   .arg(caben)
                                                   .arg(archivos.size())),
                         Mensaje::Botones::Aceptar, TituloFotos);
    if (tomados.isEmpty())
        return;
    errores_.clear();
    llegados_.clear();
    proximo_ = 0;
    barPreparacion->setRange(0, static_cast<int>(tomados.size()));
    barPreparacion->setValue(0);
    barPreparacion->setVisible(true);
    btnAgregarFotos->setEnabled(false);
    preparando_ = true;
    vigilante_.setFuture(PreparacionFotos::PrepararEnHilos(tomados, PreparacionFotos::OpcionesConfiguradas()));
}

void PanelFotos::resultadoListo(int indice)
{
    if (indice < proximo_)
        return;  // already placed by esperar()
    llegados_.insert(indice, vigilante_.resultAt(indice));
    while (llegados_.contains(proximo_))
        colocar(llegados_.take(proximo_++));
}

void PanelFotos::colocar(const ResultadoFoto &r)
{
    if (!r.correcta()) {
        errores_ << r.error;
        return;
    }
    FotoEvaluacion f = *r.foto;
    auto *item = new QListWidgetItem(lstFotos);
    const QImage miniatura = PreparacionFotos::Miniatura(f.jpeg, LadoMiniatura);
    item->setIcon(QIcon(QPixmap::fromImage(miniatura)));
    item->setText(NombreFoto(f, static_cast<int>(fotos_.size())));
    item->setToolTip(QFileInfo(r.archivo).fileName());
    fotos_.append(std::move(f));
    if (lstFotos->currentRow() < 0)
        lstFotos->setCurrentRow(0);
    emit fotosCambiadas();
}

void PanelFotos::preparacionTerminada()
{
    if (!preparando_)
        return;  // esperar() ended it already
    preparando_ = false;
    // The results whose signals have not come yet, in order.
    const int total = vigilante_.future().resultCount();
    for (; proximo_ < total; ++proximo_)
        if (llegados_.contains(proximo_))
            colocar(llegados_.take(proximo_));
        else
            colocar(vigilante_.resultAt(proximo_));
    llegados_.clear();
    barPreparacion->setVisible(false);
    btnAgregarFotos->setEnabled(true);
    seleccionCambiada();
    if (!errores_.isEmpty()) {
        const QString texto = (errores_.size() == 1 ? QStringLiteral("Una foto no se agregó:\n")
                                                    : QStringLiteral("%1 fotos no se agregaron:\n").arg(errores_.size()))
                              + errores_.join(QLatin1Char('\n'));
        errores_.clear();
        Mensaje::mostrar(this, texto, Mensaje::Botones::Aceptar, TituloFotos);
    }
}

void PanelFotos::esperar()
{
    if (!preparando())
        return;
    // The results' signals are queued and may come later (or the future
    // may have finished before they did): every result is placed now, in
    // order; those signals then find them placed.
    vigilante_.waitForFinished();
    preparacionTerminada();
}

void PanelFotos::quitarSeleccionada()
{
    const int fila = lstFotos->currentRow();
    if (fila < 0 || fila >= fotos_.size())
        return;
    delete lstFotos->takeItem(fila);
    fotos_.remove(fila);
    for (int i = fila; i < fotos_.size(); ++i)
        lstFotos->item(i)->setText(NombreFoto(fotos_.at(i), i));
    seleccionCambiada();
    emit fotosCambiadas();
}

const FotoEvaluacion *PanelFotos::seleccionada() const
{
    const int fila = lstFotos->currentRow();
    return fila >= 0 && fila < fotos_.size() ? &fotos_.at(fila) : nullptr;
}

void PanelFotos::seleccionCambiada()
{
    const FotoEvaluacion *f = seleccionada();
    txtLeyenda->setEnabled(f != nullptr);
    txtLeyenda->setText(f ? f->leyenda : QString());
    btnQuitarFoto->setEnabled(f != nullptr);
    actualizarPosicion();
}

void PanelFotos::establecerSinCoordenadas(std::function<bool()> sinCoordenadas)
{
    sinCoordenadas_ = std::move(sinCoordenadas);
    actualizarPosicion();
}

void PanelFotos::actualizarPosicion()
{
    const FotoEvaluacion *f = seleccionada();
    const bool ofrecer = sinCoordenadas_ && f && f->tienePosicion() && sinCoordenadas_();
    btnUsarPosicion->setVisible(static_cast<bool>(sinCoordenadas_));
    btnUsarPosicion->setEnabled(ofrecer);
}

QVector<FotoEvaluacion> PanelFotos::fotos() const { return fotos_; }
int PanelFotos::cantidad() const { return static_cast<int>(fotos_.size()); }
bool PanelFotos::preparando() const { return preparando_; }

void PanelFotos::dragEnterEvent(QDragEnterEvent *evento)
{
    if (evento->mimeData()->hasUrls())
        evento->acceptProposedAction();
}

void PanelFotos::dropEvent(QDropEvent *evento)
{
    QStringList archivos;
    for (const QUrl &u : evento->mimeData()->urls())
        if (u.isLocalFile())
            archivos << u.toLocalFile();
    if (archivos.isEmpty())
        return;
    evento->acceptProposedAction();
    agregarArchivos(archivos);
}
