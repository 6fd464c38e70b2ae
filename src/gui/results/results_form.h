#pragma once
// The results form (Form7): the outcome of one evaluation on four tabs, and
// the two ways out — leave without saving, or identify the building and save.
//
// The form computes nothing. It copies the texts the evaluation driver and the
// result classification prepared (EtiquetasResultados) onto its labels, marks
// the labels of categories declared not relevant, and passes the evaluation
// state and the building data on to the additional information form when the
// evaluator saves.

#include "core/engine/evaluation_driver.h"
#include "core/evaluation/building_data.h"

#include <QColor>
#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;

class Form7 : public QDialog {
    Q_OBJECT

public:
    Form7(EstadoEvaluacion &estado, const EtiquetasResultados &etiquetas, const DatosEdificacion &datos,
          QWidget *padre = nullptr);

    // Tabs of SSRes: 0 "Resultados", 1 "Estado", 2 "Habitabilidad", 3 "Reparabilidad".
    // A number outside 0..3 changes nothing.
    void seleccionarCarpeta(int carpeta);
    int carpetaActual() const;
    static constexpr int NumCarpetas = 4;

    // Background of the labels of a category declared not relevant (the
    // inactive caption grey of the classic desktop).
    static QColor colorInactivo();

    // The close box and Escape end here: they ask the question of "Aceptar"
    // and close the form only on Yes.
    void reject() override;

private:
    void btnAceptar_Click(int indice);
    // The three-line question of "Aceptar"; true on Yes.
    bool confirmarSalida();

    QWidget *crearCarpetaResultados(const EtiquetasResultados &e);
    QWidget *crearCarpetaEstado(const EtiquetasResultados &e);
    QWidget *crearCarpetaHabitabilidad(const EtiquetasResultados &e);
    QWidget *crearCarpetaReparabilidad(const EtiquetasResultados &e);

    QLabel *etiquetaValor(const QString &nombre, const QString &texto, const QString &nombreAccesible);
    QWidget *areaComentario(const QString &nombre, const QString &texto, QLabel *rotulo);
    QPushButton *botonCarpeta(const QString &nombre, const QString &texto, int destino);
    static void marcarInactivo(QLabel *etiqueta, bool inactivo);

    EstadoEvaluacion &estado_;
    DatosEdificacion datos_;
    QTabWidget *SSRes = nullptr;
};
