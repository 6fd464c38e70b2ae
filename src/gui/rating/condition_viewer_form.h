#pragma once
// Condition photo viewer (Form14): the explanation of a soil or
// pre-existing condition with its example photos, shown one after the other
// with "Siguiente Foto".

#include "core/evaluation/evaluation_state.h"
#include "gui/rating/viewer_support.h"

#include <QDialog>

class QLabel;

class Form14 : public QDialog {
    Q_OBJECT
public:
    // Loads the explanation of VariableActual (17..22; empty for any other).
    explicit Form14(EstadoEvaluacion &estado, QWidget *padre = nullptr);

    // Title of the viewer (lblDanno), "variable" until set.
    void EstablecerTitulo(const QString &titulo);
    // Counts the photos of CarpetaFoto in the photo database table (NumFotos)
    // and shows the first one, or "NO HAY FOTOS DISPONIBLES". A key without a
    // row counts 0; a database that cannot be read is reported and counts 0.
    void ContarFotos(const QString &tabla);
    // The same as "Siguiente Foto".
    void SiguienteFoto();

    int FotoActual() const { return fotoActual_; }
    const QString &Descripcion() const { return descripcionCondicion_; }
    QString RutaFoto(int i) const;

private:
    EstadoEvaluacion &estado_;
    QString descripcionCondicion_;
    int fotoActual_ = 1;
    QLabel *lblDanno_ = nullptr;
    QLabel *lblDescripcion_ = nullptr;
    VisorFotos::PanelFotos fotos_;
};

// Opens the condition viewer modally: photo table "Suelo" or "Preexistentes".
void AbrirVisorCondicion(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo);
