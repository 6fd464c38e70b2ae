#pragma once
// PanelFotos: "Fotos de la edificación": the photos an evaluator attaches to
// an evaluation, chosen with a file dialog or dropped from the desktop. Each
// file is prepared on worker threads (photos/photo_preparation.h) while the
// form stays in use, with a progress bar; a file that cannot be used is
// named in one message and the others are kept. Each photo may take a
// caption. At most Fotos::MaximoPorEvaluacion photos in all.

#include "core/registry/photo.h"
#include "photos/photo_preparation.h"

#include <QFutureWatcher>
#include <QGroupBox>
#include <QMap>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

class PanelFotos : public QGroupBox {
    Q_OBJECT
public:
    // `guardadas`: photos the evaluation already has (they count against
    // the limit; they are not shown here).
    explicit PanelFotos(QWidget *padre = nullptr, int guardadas = 0);
    ~PanelFotos() override;

    // Prepares and adds the files, in this order, after the photos shown.
    // Files past the limit are left out with a message.
    void agregarArchivos(const QStringList &archivos);
    // The photos as they stand: in the order shown, with their captions.
    QVector<FotoEvaluacion> fotos() const;
    int cantidad() const;
    // True from agregarArchivos until every file's result is placed.
    bool preparando() const;
    // Waits until the files being prepared are done (the caller is about
    // to save); the message about refused files is shown.
    void esperar();

    // Whether to offer "Usar la posición de la foto": asked again whenever
    // the selection changes and when the caller calls actualizarPosicion().
    void establecerSinCoordenadas(std::function<bool()> sinCoordenadas);
    void actualizarPosicion();

signals:
    // "Usar la posición de la foto": the selected photo's position.
    void posicionElegida(double latitud, double longitud);
    // A photo was added or removed.
    void fotosCambiadas();

protected:
    void dragEnterEvent(QDragEnterEvent *evento) override;
    void dropEvent(QDropEvent *evento) override;

private:
    void elegirArchivos();
    void quitarSeleccionada();
    void seleccionCambiada();
    void resultadoListo(int indice);
    void colocar(const ResultadoFoto &resultado);
    void preparacionTerminada();
    const FotoEvaluacion *seleccionada() const;

    int guardadas_ = 0;
    QVector<FotoEvaluacion> fotos_;  // in the list's order
    QStringList errores_;
    // Results arrive as the workers finish them; they are placed in the
    // order the files were given.
    QMap<int, ResultadoFoto> llegados_;
    int proximo_ = 0;
    bool preparando_ = false;  // from agregarArchivos until every result is placed
    QFutureWatcher<ResultadoFoto> vigilante_;
    std::function<bool()> sinCoordenadas_;
    QListWidget *lstFotos = nullptr;
    QLineEdit *txtLeyenda = nullptr;
    QPushButton *btnAgregarFotos = nullptr;
    QPushButton *btnQuitarFoto = nullptr;
    QPushButton *btnUsarPosicion = nullptr;
    QProgressBar *barPreparacion = nullptr;
    QLabel *lblFormatos = nullptr;
};
