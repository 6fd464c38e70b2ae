// Screenshots of the photos of the building: the additional information
// form with photos attached, and a saved evaluation's thumbnails. The
// photos are drawn here: a façade with its windows and a crack.

#include "core/data/data_paths.h"
#include "core/registry/local_registry.h"
#include "gui/photos/photo_panel.h"
#include "gui/registry/registry_actions.h"
#include "gui/registry/registry_record_view.h"
#include "gui/saving/additional_info_form.h"
#include "photos/photo_preparation.h"
#include "reports/sample_records.h"
#include "reports/documents.h"
#include "core/registry/stored_comments.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QTemporaryDir>
#include <functional>

namespace {

// A photo of a façade, `variante` 0..3: the walls' colour, the crack's path.
QImage Fachada(int variante)
{
    QImage imagen(1600, 1200, QImage::Format_RGB32);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient cielo(0, 0, 0, 700);
    cielo.setColorAt(0, QColor(120, 160, 210));
    cielo.setColorAt(1, QColor(210, 225, 240));
    p.fillRect(imagen.rect(), cielo);
    p.fillRect(0, 1000, 1600, 200, QColor(110, 105, 95));
    const QColor muros[] = {QColor(214, 196, 160), QColor(190, 120, 95), QColor(225, 225, 215), QColor(170, 175, 160)};
    const QRect fachada(200 + variante * 40, 250, 1150, 760);
    p.fillRect(fachada, muros[variante % 4]);
    p.setPen(QPen(QColor(80, 70, 60), 6));
    p.drawRect(fachada);
    for (int piso = 0; piso < 3; ++piso)
        for (int v = 0; v < 5; ++v)
            p.fillRect(fachada.left() + 60 + v * 215, fachada.top() + 60 + piso * 240, 130, 150, QColor(60, 80, 100));
    p.setPen(QPen(QColor(40, 30, 25), 9 - variante));
    QPolygon grieta;
    for (int i = 0; i <= 10; ++i)
        grieta << QPoint(fachada.left() + 300 + i * 60 + (i % 2) * 25 * (variante + 1), fachada.top() + 40 + i * 70);
    p.drawPolyline(grieta);
    return imagen;
}

void Esperar(const std::function<bool()> &listo)
{
    QElapsedTimer reloj;
    reloj.start();
    while (!listo() && reloj.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace

// Writes 41-informacion-adicional-fotos, 80-registro-fotos and
// 68-reporte-fotos into `carpetaSalidaFotos`; counts a
// failure in `fallos`.
void CapturarFotos(const std::function<void(QWidget *, const QString &)> &capturar, const QString &carpetaSalidaFotos,
                   int &fallos)
{
    QTemporaryDir carpeta;
    QStringList archivos;
    for (int i = 0; i < 4; ++i) {
        const QString a = carpeta.filePath(QStringLiteral("foto-%1.jpg").arg(i + 1));
        if (!Fachada(i).save(a, "JPEG", 90)) {
            ++fallos;
            return;
        }
        archivos << a;
    }
    const QStringList leyendas = {QStringLiteral("Fachada norte"), QStringLiteral("Grieta diagonal en el muro del eje 2"),
                                  QStringLiteral("Columna del primer piso"), QString()};

    EstadoEvaluacion estado;
    Form23 forma(estado, DatosEdificacion());
    forma.resize(820, 720);
    auto *panel = forma.findChild<PanelFotos *>(QStringLiteral("frmFotos"));
    panel->agregarArchivos(archivos);
    panel->esperar();
    auto *lista = panel->findChild<QListWidget *>(QStringLiteral("lstFotos"));
    lista->setCurrentRow(1);
    capturar(&forma, QStringLiteral("41-informacion-adicional-fotos"));

    // The same photos saved with an evaluation, in its open view.
    QVector<FotoEvaluacion> fotos;
    for (int i = 0; i < archivos.size(); ++i) {
        const ResultadoFoto r = PreparacionFotos::Preparar(archivos.at(i));
        if (!r.correcta()) {
            ++fallos;
            return;
        }
        fotos << *r.foto;
        fotos.last().leyenda = leyendas.at(i);
    }
    try {
        RegistroLocal registro(carpeta.filePath(QStringLiteral("fotos.sqlite")));
        RegistroEvaluacion r = EjemploDocumentos::Registro(0, 2);
        r.fotos = fotos;
        const int32_t numero = registro.agregar(r);
        const std::optional<RegistroEvaluacion> guardada = registro.porNumero(numero);
        AccionesRegistro acciones(RutasDatos::archivoComentarios());
        VistaEvaluacion vista(*guardada, acciones, acciones.comentarios(nullptr));
        FotosGuardadas *miniaturas =
            vista.mostrarFotos(registro.fotos(numero), [&](const QUuid &u) { return registro.foto(u); });
        miniaturas->permitirCambios([](QVector<FotoEvaluacion> &) { return false; },
                                    [](const QUuid &, const QString &) { return false; });
        vista.show();
        Esperar([&] { return miniaturas->miniaturasListas() == fotos.size(); });
        // Scrolled to the photos, as an evaluator who looks for them.
        if (auto *area = vista.findChild<QScrollArea *>(QStringLiteral("areaCampos")))
            area->ensureWidgetVisible(miniaturas);
        capturar(&vista, QStringLiteral("80-registro-fotos"));

        // The report's page of photos, as printed.
        RegistroEvaluacion conFotos = *guardada;
        for (const FotoEvaluacion &f : registro.fotos(numero))
            conFotos.fotos << *registro.foto(f.uuid);
        const QString pdf = carpeta.filePath(QStringLiteral("reporte.pdf"));
        Documentos::GuardarReportesPdf(pdf, {conFotos}, LeerTablasComentarios(RutasDatos::archivoComentarios()));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished();
        const QString paginas = QString::fromUtf8(info.readAllStandardOutput()).section(QStringLiteral("Pages:"), 1).trimmed().section(QLatin1Char('\n'), 0, 0);
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-f"),
                           paginas, QStringLiteral("-l"), paginas, QStringLiteral("-singlefile"), pdf,
                           QDir(carpetaSalidaFotos).filePath(QStringLiteral("68-reporte-fotos"))});
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        ++fallos;
    }
}
