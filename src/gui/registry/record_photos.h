#pragma once
// FotosGuardadas: the photos of a saved evaluation in its open view:
// thumbnails, made off the interface thread one photo at a time as the
// bytes arrive; each opens large; "Agregar fotos…" adds more to the saved
// evaluation and "Quitar foto…" removes one as a correction with its
// reason, when the caller allows them.

#include "core/registry/photo.h"

#include <QFutureWatcher>
#include <QGroupBox>
#include <QImage>
#include <functional>
#include <optional>

class QListWidget;
class QPushButton;

class FotosGuardadas : public QGroupBox {
    Q_OBJECT
public:
    // The photos listed without their bytes; `cargar` fetches one photo's
    // bytes (on the interface thread, one photo per turn of the event loop).
    using Cargador = std::function<std::optional<FotoEvaluacion>(const QUuid &)>;
    FotosGuardadas(const QVector<FotoEvaluacion> &fotos, Cargador cargar, QWidget *padre = nullptr);
    ~FotosGuardadas() override;

    // "Agregar fotos…": `agregar` gets the photos prepared in a dialog and
    // answers whether they were saved. "Quitar foto…": `quitar` gets the
    // photo and the reason. Either answering true emits cambiadas().
    using Quitador = std::function<bool(const QUuid &, const QString &)>;
    void permitirCambios(std::function<bool(QVector<FotoEvaluacion> &)> agregar, Quitador quitar);

    // How many thumbnails are drawn (tests).
    int miniaturasListas() const { return listas_; }

signals:
    void cambiadas();

private:
    void cargarSiguiente();
    void abrir(int fila);
    void agregarFotos();
    void quitarFoto();

    QVector<FotoEvaluacion> fotos_;
    Cargador cargar_;
    int siguiente_ = 0;
    int listas_ = 0;
    QFutureWatcher<QImage> miniatura_;
    std::function<bool(QVector<FotoEvaluacion> &)> agregar_;
    std::function<bool(const QUuid &, const QString &)> quitar_;
    QListWidget *lstFotosGuardadas = nullptr;
    QPushButton *btnAgregarFotosGuardadas = nullptr;
    QPushButton *btnQuitarFotoGuardada = nullptr;
};
