#pragma once
// Damage level viewer (Form10): the five damage levels of the element being
// rated, each with its description and its example photos, counted in the
// photo database and shown one after the other with "Siguiente Foto".

#include "core/evaluation/evaluation_state.h"
#include "core/catalog/damage_descriptions.h"
#include "gui/rating/viewer_support.h"

#include <QColor>
#include <QDialog>
#include <array>

class QButtonGroup;
class QLabel;
class QRadioButton;

// Text colour of damage level 0..4 (dark green, dark green, yellow, orange, red).
QColor ColorNivel(int nivel);

class Form10 : public QDialog {
    Q_OBJECT
public:
    // Loads the descriptions of the current element (VariableActual,
    // OtroActual, TipoEstructura); no level is chosen yet.
    explicit Form10(EstadoEvaluacion &estado, QWidget *padre = nullptr);

    // Title of the viewer (lblDanno), "Nivel" until set.
    void EstablecerTitulo(const QString &titulo);
    // Counts the photos of CarpetaFoto per level in the photo database table
    // (NumFotosNivel). A level without a row counts 0; a database that cannot
    // be read is reported and counts 0 everywhere.
    void ContarFotos(const QString &tabla);
    // The same as clicking optDanno(indice).
    void ElegirNivel(int indice);
    // The same as "Siguiente Foto".
    void SiguienteFoto();

    int FotoActual() const { return fotoActual_; }
    const DescripcionesNiveles &Descripciones() const { return descripcionNivel_; }
    // Path of photo i of level 1..5 of the current element.
    QString RutaFoto(int nivel, int i) const;

private:
    int NivelElegido() const;

    EstadoEvaluacion &estado_;
    DescripcionesNiveles descripcionNivel_;
    int fotoActual_ = 0;
    QLabel *lblDanno_ = nullptr;
    std::array<QRadioButton *, 5> optDanno_{};
    QButtonGroup *grupo_ = nullptr;
    QLabel *lblDescripcion_ = nullptr;
    VisorFotos::PanelFotos fotos_;
};

// Opens the level viewer modally for the current element: photo table
// "Estructurales" or "No Estructurales"; an empty title keeps "Nivel".
void AbrirVisorNiveles(QWidget *padre, EstadoEvaluacion &estado, const QString &tabla, const QString &titulo);
