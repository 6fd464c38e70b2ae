#pragma once
// AccionesRegistro: what the registry window and the view of one evaluation do with saved
// evaluations: print the placard or the report (with a preview and the
// print dialog), save either as PDF, export them as CSV, as a spreadsheet
// or for a GIS, export the event summary. Every failure is a
// Spanish message; the window stays usable.

#include "core/registry/evaluation_record.h"
#include "core/engine/result_classification.h"

#include <QString>
#include <QVector>
#include <functional>
#include <optional>

class AlmacenRegistro;
class QWidget;
struct FiltroRegistro;
struct ResumenRegistro;

class AccionesRegistro {
public:
    enum class Documento { Aviso, Reporte };

    // `archivoComentarios`: the comment texts (read on first use).
    explicit AccionesRegistro(QString archivoComentarios);

    // The comment tables, or nullptr after a message saying why not.
    const TablasComentarios *comentarios(QWidget *padre);

    void imprimir(QWidget *padre, Documento documento, const QVector<RegistroEvaluacion> &registros);
    // Asks which document, then the file; true when a file was written.
    bool guardarPdf(QWidget *padre, const QVector<RegistroEvaluacion> &registros);
    bool guardarPdf(QWidget *padre, Documento documento, const QVector<RegistroEvaluacion> &registros);
    // The given records, or, with `todos` set, the whole selection it writes.
    bool exportarCsv(QWidget *padre, const QVector<RegistroEvaluacion> &registros,
                     const std::function<void(const QString &)> &todos = {});

    // "Exportar para SIG": the records `filtro` selects in `almacen` as GeoJSON;
    // the evaluations without coordinates are named in the closing message.
    bool exportarGeoJson(QWidget *padre, AlmacenRegistro &almacen, const FiltroRegistro &filtro);
    // "Exportar hoja de cálculo": the records `filtro` selects in `almacen`
    // as an XLSX workbook, with the buildings and the event summary.
    bool exportarXlsx(QWidget *padre, AlmacenRegistro &almacen, const FiltroRegistro &filtro);
    // The tables of the event summary as CSV.
    bool exportarResumenCsv(QWidget *padre, const ResumenRegistro &resumen);

    // How the report gets the photos of an evaluation, with their bytes
    // (none is printed without it). Throws ErrorDatos.
    using CargadorFotos = std::function<QVector<FotoEvaluacion>(const RegistroEvaluacion &)>;
    void establecerFotos(CargadorFotos cargar) { cargarFotos_ = std::move(cargar); }

    // The file name a save dialog proposes for these records.
    static QString NombreSugerido(Documento documento, const QVector<RegistroEvaluacion> &registros);

private:
    // The file to write, asked with a save dialog; empty when cancelled.
    QString pedirArchivo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &tipo,
                         const QString &sufijo);

    QString archivoComentarios_;
    std::optional<TablasComentarios> tablas_;
    // The records with their photos, for the report; false after a message.
    bool conFotos(QWidget *padre, QVector<RegistroEvaluacion> &registros) const;

    QString carpeta_;  // where the last file went
    CargadorFotos cargarFotos_;
};
