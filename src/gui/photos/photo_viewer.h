#pragma once
// VisorFoto: one stored photo, large, with its caption, the date it was
// taken and the position its camera wrote.

#include "core/registry/photo.h"

#include <QDialog>

class QLabel;

class VisorFoto : public QDialog {
    Q_OBJECT
public:
    // `foto` with its JPEG bytes; `numero` and `total`: "Foto 3 de 8".
    VisorFoto(const FotoEvaluacion &foto, int numero, int total, QWidget *padre = nullptr);

    // What the view says of the photo under it: caption, date, position.
    static QString Descripcion(const FotoEvaluacion &foto, int numero, int total);

protected:
    void resizeEvent(QResizeEvent *evento) override;

private:
    void ajustar();
    QPixmap imagen_;
    QLabel *lblImagen = nullptr;
};
