#pragma once
// VistaEvaluacion: one saved evaluation, read-only: every field with its label, grouped as
// the forms group them, the structural shares as a table of levels, the
// qualitative levels by the captions the evaluator chose from, the results
// in the system's number notation and the five comments; with the actions
// on it (print, PDF, CSV); and the building's history, newest first, with
// every change of posting marked; and the corrections of its
// identification, with the corrected fields marked.

#include "core/registry/corrections.h"
#include "core/registry/evaluation_record.h"
#include "gui/registry/record_photos.h"
#include "gui/registry/registry_actions.h"

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QLabel;

class VistaEvaluacion : public QDialog {
    Q_OBJECT
public:
    // `acciones` and `comentarios` (nullptr: the comments are not shown)
    // outlive the view. `historial`: every evaluation of the building, newest
    // first (core/registry/buildings.h); empty, no history is shown.
    // `correcciones`: those of this evaluation, oldest first; its fields'
    // labels say "(corregido)".
    VistaEvaluacion(const RegistroEvaluacion &registro, AccionesRegistro &acciones,
                    const TablasComentarios *comentarios, QWidget *padre = nullptr,
                    const QVector<RegistroEvaluacion> &historial = {}, const QVector<Correccion> &correcciones = {});

    // What exec() answers after a correction (or a change of its photos): the caller shows the
    // evaluation again, as it now stands.
    static constexpr int Corregida = 2;
    // Offers "Corregir…": the correction dialog, then `corregir` with the
    // chosen column, the new value and the reason; when it answers true the
    // view closes with Corregida.
    using Corrector = std::function<bool(const QString &columna, const QString &valor, const QString &motivo)>;
    void permitirCorreccion(Corrector corregir);
    // Shows the evaluation's photos (listed without their bytes; `cargar`
    // fetches one's bytes). The panel returned takes permitirCambios.
    FotosGuardadas *mostrarFotos(const QVector<FotoEvaluacion> &fotos, FotosGuardadas::Cargador cargar);

    // The text of the change column for an evaluation whose posting went
    // from `anterior` to `nueva`: "Empeoró", "Mejoró" or empty.
    static QString TextoCambio(const QString &anterior, const QString &nueva);

    // The value label of field `posicion` (tests and screen readers).
    QLabel *valor(int posicion) const;

    // The text the view shows for field `posicion` of `registro`.
    static QString TextoValor(const RegistroEvaluacion &registro, int posicion);

private:
    RegistroEvaluacion registro_;
    AccionesRegistro &acciones_;
    QDialogButtonBox *botones_ = nullptr;
    class QVBoxLayout *lugarFotos_ = nullptr;
};
