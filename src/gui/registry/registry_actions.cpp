#include "gui/registry/registry_actions.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/record_set.h"
#include "core/exchange/csv_export.h"
#include "core/exchange/geojson_export.h"
#include "core/exchange/xlsx_export.h"
#include "core/registry/registry_summary.h"
#include "reports/documents.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

// "Guardar PDF": which of the two documents.
std::optional<AccionesRegistro::Documento> ElegirDocumento(QWidget *padre, int cuantos)
{
    QDialog d(padre);
    d.setObjectName(QStringLiteral("dlgDocumentoPdf"));
    d.setWindowTitle(QStringLiteral("Guardar PDF"));
    auto *capa = new QVBoxLayout(&d);
    auto *marco = new QGroupBox(QStringLiteral("Documento que se guarda"), &d);
    auto *capaMarco = new QVBoxLayout(marco);
    const QString plural = cuantos == 1 ? QString() : QStringLiteral(" (%1 evaluaciones)").arg(cuantos);
    auto *aviso = new QRadioButton(QStringLiteral("Aviso para la entrada de la edificación") + plural, marco);
    Nombrar(aviso, QStringLiteral("optAviso"), aviso->text());
    auto *reporte = new QRadioButton(QStringLiteral("Reporte de la evaluación") + plural, marco);
    Nombrar(reporte, QStringLiteral("optReporte"), reporte->text());
    aviso->setChecked(true);
    capaMarco->addWidget(aviso);
    capaMarco->addWidget(reporte);
    capa->addWidget(marco);
    auto *botones = new QDialogButtonBox(&d);
    auto *aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    Nombrar(aceptar, QStringLiteral("btnAceptar"), aceptar->text());
    auto *cancelar = botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    Nombrar(cancelar, QStringLiteral("btnCancelar"), cancelar->text());
    aceptar->setDefault(true);
    QObject::connect(botones, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(botones, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    capa->addWidget(botones);
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return reporte->isChecked() ? AccionesRegistro::Documento::Reporte : AccionesRegistro::Documento::Aviso;
}

bool Vacio(QWidget *padre, const QVector<RegistroEvaluacion> &registros)
{
    if (!registros.isEmpty())
        return false;
    Mensaje::mostrar(padre, QStringLiteral("Seleccione primero una o más evaluaciones de la tabla."));
    return true;
}

}  // namespace

AccionesRegistro::AccionesRegistro(QString archivoComentarios) : archivoComentarios_(std::move(archivoComentarios))
{
    carpeta_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

const TablasComentarios *AccionesRegistro::comentarios(QWidget *padre)
{
    if (!tablas_) {
        try {
            tablas_ = LeerTablasComentarios(archivoComentarios_);
        } catch (const ErrorDatos &e) {
            Mensaje::mostrar(padre, e.mensaje());
            return nullptr;
        }
    }
    return &*tablas_;
}

QString AccionesRegistro::NombreSugerido(Documento documento, const QVector<RegistroEvaluacion> &registros)
{
    const QString que = documento == Documento::Aviso ? QStringLiteral("Aviso") : QStringLiteral("Reporte");
    if (registros.size() == 1)
        return QStringLiteral("%1 evaluación %2.pdf").arg(que).arg(registros.front().numero());
    return documento == Documento::Aviso ? QStringLiteral("Avisos.pdf") : QStringLiteral("Reportes.pdf");
}

void AccionesRegistro::imprimir(QWidget *padre, Documento documento, const QVector<RegistroEvaluacion> &registros)
{
    if (Vacio(padre, registros))
        return;
    const TablasComentarios *tablas = comentarios(padre);
    if (!tablas)
        return;
    QVector<RegistroEvaluacion> conSusFotos = registros;
    if (documento == Documento::Reporte && !conFotos(padre, conSusFotos))
        return;
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPageSize(QPageSize(QPageSize::A4));
    impresora.setDocName(NombreSugerido(documento, registros).chopped(4));
    QPrintPreviewDialog vista(&impresora, padre);
    vista.setObjectName(QStringLiteral("dlgVistaPrevia"));
    vista.setWindowTitle(documento == Documento::Aviso ? QStringLiteral("Vista previa del aviso")
                                                       : QStringLiteral("Vista previa del reporte"));
    QObject::connect(&vista, &QPrintPreviewDialog::paintRequested, &vista, [&](QPrinter *p) {
        if (documento == Documento::Aviso)
            Documentos::DibujarAvisos(*p, registros, *tablas);
        else
            Documentos::DibujarReportes(*p, conSusFotos, *tablas);
    });
    vista.resize(900, 700);
    vista.exec();
}

QString AccionesRegistro::pedirArchivo(QWidget *padre, const QString &titulo, const QString &sugerido,
                                       const QString &tipo, const QString &sufijo)
{
    if (carpeta_.isEmpty() || !QFileInfo(carpeta_).isDir())
        carpeta_ = QDir::homePath();
    QFileDialog d(padre, titulo, QDir(carpeta_).filePath(sugerido), tipo);
    d.setObjectName(QStringLiteral("dlgArchivo"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(sufijo);
    // The question about an existing file is asked below, as every message is.
    d.setOption(QFileDialog::DontConfirmOverwrite);
    d.selectFile(QDir(carpeta_).filePath(sugerido));
    while (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty()) {
        const QString archivo = d.selectedFiles().constFirst();
        if (QFileInfo::exists(archivo) &&
            Mensaje::mostrar(padre,
                             QStringLiteral("El archivo \"%1\" ya existe. ¿Desea reemplazarlo?")
                                 .arg(QDir::toNativeSeparators(archivo)),
                             Mensaje::Botones::SiNo) != Mensaje::Respuesta::Si)
            continue;
        carpeta_ = QFileInfo(archivo).absolutePath();
        return archivo;
    }
    return QString();
}

bool AccionesRegistro::guardarPdf(QWidget *padre, const QVector<RegistroEvaluacion> &registros)
{
    if (Vacio(padre, registros))
        return false;
    const auto documento = ElegirDocumento(padre, static_cast<int>(registros.size()));
    return documento && guardarPdf(padre, *documento, registros);
}

bool AccionesRegistro::guardarPdf(QWidget *padre, Documento documento, const QVector<RegistroEvaluacion> &registros)
{
    if (Vacio(padre, registros))
        return false;
    const TablasComentarios *tablas = comentarios(padre);
    if (!tablas)
        return false;
    const QString archivo = pedirArchivo(padre,
                                         documento == Documento::Aviso ? QStringLiteral("Guardar el aviso en PDF")
                                                                       : QStringLiteral("Guardar el reporte en PDF"),
                                         NombreSugerido(documento, registros),
                                         QStringLiteral("Documentos PDF (*.pdf)"), QStringLiteral("pdf"));
    if (archivo.isEmpty())
        return false;
    try {
        if (documento == Documento::Aviso)
            Documentos::GuardarAvisosPdf(archivo, registros, *tablas);
        else {
            QVector<RegistroEvaluacion> conSusFotos = registros;
            if (!conFotos(padre, conSusFotos))
                return false;
            Documentos::GuardarReportesPdf(archivo, conSusFotos, *tablas);
        }
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
    return true;
}

bool AccionesRegistro::conFotos(QWidget *padre, QVector<RegistroEvaluacion> &registros) const
{
    if (!cargarFotos_)
        return true;
    try {
        for (RegistroEvaluacion &r : registros)
            r.fotos = cargarFotos_(r);
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
    return true;
}

bool AccionesRegistro::exportarCsv(QWidget *padre, const QVector<RegistroEvaluacion> &registros,
                                   const std::function<void(const QString &)> &todos)
{
    if (!todos && Vacio(padre, registros))
        return false;
    const QString sugerido = registros.size() == 1
        ? QStringLiteral("Evaluación %1.csv").arg(registros.front().numero())
        : QStringLiteral("Registro de Evaluaciones.csv");
    const QString archivo = pedirArchivo(padre, QStringLiteral("Exportar CSV"), sugerido,
                                         QStringLiteral("Valores separados por comas (*.csv)"), QStringLiteral("csv"));
    if (archivo.isEmpty())
        return false;
    try {
        if (todos)
            todos(archivo);
        else
            ExportarCsvArchivo(registros, archivo);
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
    return true;
}

bool AccionesRegistro::exportarGeoJson(QWidget *padre, AlmacenRegistro &almacen, const FiltroRegistro &filtro)
{
    const TablasComentarios *tablas = comentarios(padre);
    if (!tablas)
        return false;
    const QString archivo = pedirArchivo(padre, QStringLiteral("Exportar para SIG"),
                                         QStringLiteral("Registro de Evaluaciones.geojson"),
                                         QStringLiteral("GeoJSON (*.geojson)"), QStringLiteral("geojson"));
    if (archivo.isEmpty())
        return false;
    ResultadoGeoJson r;
    try {
        r = ExportarGeoJson(almacen, filtro, *tablas, archivo);
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
    QString texto = r.exportadas == 1
                        ? QStringLiteral("Se exportó 1 evaluación a \"%1\".")
                        : QStringLiteral("Se exportaron %1 evaluaciones a \"%2\".").arg(r.exportadas);
    texto = texto.arg(QDir::toNativeSeparators(archivo));
    if (const QString aviso = r.aviso(); !aviso.isEmpty())
        texto += QStringLiteral("\r\r") + aviso;
    Mensaje::mostrar(padre, texto);
    return true;
}

bool AccionesRegistro::exportarXlsx(QWidget *padre, AlmacenRegistro &almacen, const FiltroRegistro &filtro)
{
    const QString archivo = pedirArchivo(padre, QStringLiteral("Exportar hoja de cálculo"),
                                         QStringLiteral("Registro de Evaluaciones.xlsx"),
                                         QStringLiteral("Libro de hoja de cálculo (*.xlsx)"), QStringLiteral("xlsx"));
    if (archivo.isEmpty())
        return false;
    ResultadoXlsx r;
    try {
        r = ExportarXlsx(almacen, filtro, archivo);
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
    const QString evaluaciones = r.evaluaciones == 1 ? QStringLiteral("1 evaluación")
                                                     : QStringLiteral("%1 evaluaciones").arg(r.evaluaciones);
    const QString edificaciones = r.edificaciones == 1 ? QStringLiteral("1 edificación")
                                                       : QStringLiteral("%1 edificaciones").arg(r.edificaciones);
    Mensaje::mostrar(padre, QStringLiteral("Se exportaron %1 (%2) y el resumen del evento a \"%3\".")
                                .arg(evaluaciones, edificaciones, QDir::toNativeSeparators(archivo)));
    return true;
}

bool AccionesRegistro::exportarResumenCsv(QWidget *padre, const ResumenRegistro &resumen)
{
    const QString archivo = pedirArchivo(padre, QStringLiteral("Exportar resumen CSV"),
                                         QStringLiteral("Resumen del evento.csv"),
                                         QStringLiteral("Valores separados por comas (*.csv)"), QStringLiteral("csv"));
    if (archivo.isEmpty())
        return false;
    QSaveFile f(archivo);
    const QByteArray datos = ResumenCsv(resumen);
    if (!f.open(QIODevice::WriteOnly) || f.write(datos) != datos.size() || !f.commit()) {
        Mensaje::mostrar(padre, QStringLiteral("No se pudo escribir el archivo \"%1\": %2")
                                    .arg(QDir::toNativeSeparators(archivo), f.errorString()));
        return false;
    }
    return true;
}
