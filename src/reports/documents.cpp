#include "reports/documents.h"

#include "core/data/record_set.h"
#include "reports/document_pages.h"
#include "reports/document_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <functional>

namespace Documentos {

namespace {

// Margins of the printed documents, in millimetres.
constexpr double MargenAviso = 12;
constexpr double MargenReporte = 15;

using DibujarPagina = std::function<void(QPainter &, const Pagina &, const RegistroEvaluacion &,
                                         const ComentariosRegistro &)>;

// Each record on its own page(s) of one painter.
void Dibujar(QPagedPaintDevice &dispositivo, const QVector<RegistroEvaluacion> &registros,
             const TablasComentarios &tablas, double margen, const DibujarPagina &dibujar)
{
    PrepararPagina(dispositivo, margen);
    QPainter p;
    if (!p.begin(&dispositivo))
        throw ErrorDatos(QStringLiteral("No se pudo empezar a dibujar el documento."));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Pagina pagina(dispositivo);
    bool primera = true;
    for (const RegistroEvaluacion &r : registros) {
        if (!primera)
            dispositivo.newPage();
        primera = false;
        dibujar(p, pagina, r, ComentariosDeRegistro(r, tablas));
    }
    p.end();
}

void GuardarPdf(const QString &archivo, const QVector<RegistroEvaluacion> &registros,
                const TablasComentarios &tablas, const QString &titulo, double margen,
                const DibujarPagina &dibujar)
{
    const QString nombre = QDir::toNativeSeparators(archivo);
    if (registros.isEmpty())
        throw ErrorDatos(QStringLiteral("No hay evaluaciones para guardar en el archivo \"%1\".").arg(nombre));
    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly))
        throw ErrorDatos(QStringLiteral("No se pudo crear el archivo \"%1\": %2").arg(nombre, salida.errorString()));
    {
        QPdfWriter pdf(&salida);
        pdf.setTitle(titulo);
        pdf.setCreator(QStringLiteral("ORV — %1").arg(Municipio));
        pdf.setResolution(600);
        try {
            Dibujar(pdf, registros, tablas, margen, dibujar);
        } catch (const ErrorDatos &) {
            salida.cancelWriting();
            throw ErrorDatos(QStringLiteral("No se pudo escribir el archivo \"%1\".").arg(nombre));
        }
    }
    if (!salida.commit())
        throw ErrorDatos(QStringLiteral("No se pudo escribir el archivo \"%1\": %2").arg(nombre, salida.errorString()));
}

QString TituloAvisos(const QVector<RegistroEvaluacion> &registros)
{
    if (registros.size() == 1)
        return QStringLiteral("Aviso de la evaluación N.º %1").arg(TextoNumero(registros.first()));
    return QStringLiteral("Avisos de %1 evaluaciones").arg(registros.size());
}

QString TituloReportes(const QVector<RegistroEvaluacion> &registros)
{
    if (registros.size() == 1)
        return QStringLiteral("Reporte de la evaluación N.º %1").arg(TextoNumero(registros.first()));
    return QStringLiteral("Reportes de %1 evaluaciones").arg(registros.size());
}

}  // namespace

void DibujarAvisos(QPagedPaintDevice &dispositivo, const QVector<RegistroEvaluacion> &registros,
                   const TablasComentarios &comentarios)
{
    Dibujar(dispositivo, registros, comentarios, MargenAviso, DibujarAviso);
}

void DibujarReportes(QPagedPaintDevice &dispositivo, const QVector<RegistroEvaluacion> &registros,
                     const TablasComentarios &comentarios)
{
    Dibujar(dispositivo, registros, comentarios, MargenReporte, DibujarReporte);
}

QColor ColorHabitabilidad(const QString &habitabilidad) { return ClaseDeHabitabilidad(habitabilidad).fondo; }

QColor ColorLetraHabitabilidad(const QString &habitabilidad) { return ClaseDeHabitabilidad(habitabilidad).letra; }

void GuardarAvisosPdf(const QString &archivo, const QVector<RegistroEvaluacion> &registros,
                      const TablasComentarios &comentarios)
{
    GuardarPdf(archivo, registros, comentarios, TituloAvisos(registros), MargenAviso, DibujarAviso);
}

void GuardarReportesPdf(const QString &archivo, const QVector<RegistroEvaluacion> &registros,
                        const TablasComentarios &comentarios)
{
    GuardarPdf(archivo, registros, comentarios, TituloReportes(registros), MargenReporte, DibujarReporte);
}

}  // namespace Documentos
