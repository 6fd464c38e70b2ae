// The photos of the building on the additional information form, as an
// evaluator attaches them: files dropped from the desktop, one of them no
// image (named in the message, the others kept), a caption typed, the
// camera's position offered for the empty coordinates, the limit of photos;
// then "Guardar", and the photos read back from the registry file with
// their captions, size and position. The open evaluation of the registry
// window shows their thumbnails and opens one large.

#include "gui/photos/photo_panel.h"
#include "gui/photos/photo_viewer.h"
#include "gui/registry/record_photos.h"
#include "gui/registry/registry_form.h"
#include "reports/sample_records.h"
#include "gui/saving/additional_info_form.h"
#include "gui/saving/form_driver.h"
#include "photos/test_photos.h"
#include "support/gui_test_support.h"

#include "core/data/data_paths.h"
#include "core/registry/local_registry.h"
#include "gui/common/message_box.h"

#include <QLabel>
#include <QInputDialog>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Conducir;

namespace {

// Drops `archivos` on `destino` as a file manager does.
void Soltar(QWidget *destino, const QStringList &archivos)
{
    QMimeData datos;
    QList<QUrl> urls;
    for (const QString &a : archivos)
        urls << QUrl::fromLocalFile(a);
    datos.setUrls(urls);
    const QPoint punto = destino->rect().center();
    QDragEnterEvent entrar(punto, Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(destino, &entrar);
    QVERIFY(entrar.isAccepted());
    QDropEvent soltar(QPointF(punto), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(destino, &soltar);
}

}  // namespace

class PruebaPanelFotos : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;

private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        QVERIFY(carpeta.isValid());
    }
    void init() { Mensaje::limpiar(); }
    void cleanup()
    {
        QCOMPARE(Mensaje::respuestasPendientes(), 0);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join(QLatin1Char('\n'))));
    }

    void fotosDelFormulario()
    {
        const QString conGps = carpeta.filePath(QStringLiteral("fachada.jpg"));
        FotosPrueba::EscribirConExif(conGps, 3000, 2000, 6);  // stored on its side
        const QString sinGps = carpeta.filePath(QStringLiteral("grieta.png"));
        QVERIFY(FotosPrueba::Marcada(640, 480).save(sinGps, "PNG"));
        const QString texto = carpeta.filePath(QStringLiteral("notas.jpg"));
        {
            QFile f(texto);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("esto no es una foto\n");
        }
        const QString registro = carpeta.filePath(QStringLiteral("fotos.sqlite"));
        RutasDatos::establecerArchivoRegistro(registro);

        EstadoEvaluacion estado;
        Ejemplo::LlenarEstado(estado);
        Form23 forma(estado, Ejemplo::Datos());
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        auto *panel = forma.findChild<PanelFotos *>(QStringLiteral("frmFotos"));
        QVERIFY(panel);
        auto *usar = forma.findChild<QPushButton *>(QStringLiteral("btnUsarPosicion"));
        QVERIFY(usar && usar->isVisible() && !usar->isEnabled());

        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Soltar(panel, {conGps, texto, sinGps});
        QTRY_VERIFY_WITH_TIMEOUT(!panel->preparando(), 20000);
        QTRY_COMPARE(Mensaje::textosMostrados().size(), 1);
        const QString aviso = Mensaje::textosMostrados().first();
        QVERIFY2(aviso.contains(QStringLiteral("notas.jpg")) && !aviso.contains(QStringLiteral("fachada")),
                 qPrintable(aviso));
        QCOMPARE(panel->cantidad(), 2);

        // The first photo, chosen, has a position: offered while the
        // coordinates are empty, and copied into them.
        auto *lista = panel->findChild<QListWidget *>(QStringLiteral("lstFotos"));
        lista->setCurrentRow(0);
        Escribir(&forma, QStringLiteral("txtLeyenda"), QStringLiteral("Fachada norte"));
        QVERIFY(usar->isEnabled());
        QTest::mouseClick(usar, Qt::LeftButton);
        QCOMPARE(Caja(&forma, QStringLiteral("txtLatitud"))->text().toDouble(), -10.5);
        QCOMPARE(Caja(&forma, QStringLiteral("txtLongitud"))->text().toDouble(), -25.25);
        QVERIFY(!usar->isEnabled());
        lista->setCurrentRow(1);  // no position
        QVERIFY(!usar->isEnabled());

        Llenar(&forma, Ejemplo::Identificacion());
        Mensaje::limpiar();
        for (int i = 0; i < 2; ++i)  // the confirmation, then "guardada"
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Guardar(&forma);
        QVERIFY2(!forma.isVisible(), qPrintable(Mensaje::textosMostrados().join('\n')));

        RegistroLocal guardado(registro);
        const QVector<FotoEvaluacion> fotos = guardado.fotos(1);
        QCOMPARE(fotos.size(), 2);
        QCOMPARE(fotos.at(0).leyenda, QStringLiteral("Fachada norte"));
        QCOMPARE(fotos.at(1).leyenda, QString());
        // Upright (it was stored on its side) and within 2048 pixels.
        QCOMPARE(std::pair(fotos.at(0).ancho, fotos.at(0).alto), std::pair(1365, 2048));
        QVERIFY(fotos.at(0).tienePosicion() && !fotos.at(1).tienePosicion());
        QCOMPARE(guardado.porNumero(1)->campo(RegistroEvaluaciones::Pos::Latitud).toDouble(), -10.5);

        // The open evaluation: a thumbnail per photo, drawn off the
        // interface thread; the first opens large with what it says.
        FotosGuardadas vista(fotos, [&](const QUuid &u) { return guardado.foto(u); });
        vista.show();
        QTRY_COMPARE_WITH_TIMEOUT(vista.miniaturasListas(), 2, 20000);
        auto *miniaturas = vista.findChild<QListWidget *>(QStringLiteral("lstFotosGuardadas"));
        QVERIFY(!miniaturas->item(0)->icon().isNull());
        QString descripcion;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            auto *visor = qobject_cast<VisorFoto *>(w);
            QVERIFY(visor);
            descripcion = visor->findChild<QLabel *>(QStringLiteral("lblDescripcion"))->text();
            w->close();
        });
        miniaturas->setCurrentRow(0);
        emit miniaturas->itemActivated(miniaturas->item(0));
        QVERIFY(Prueba::ModalAtendido());
        QVERIFY2(descripcion.startsWith(QStringLiteral("Foto 1 de 2 · Fachada norte · tomada el 04/12/2026 10:00")),
                 qPrintable(descripcion));
    }

    // A saved evaluation opened in the registry window takes a photo
    // ("Agregar fotos…", saved at once), shows itself again with it, and
    // loses it again by "Quitar foto…", a correction with its reason: the
    // photo's row stays in the file, the evaluation no longer shows it.
    void fotosDeUnaEvaluacionGuardada()
    {
        const QString archivo = carpeta.filePath(QStringLiteral("guardada.sqlite"));
        {
            RegistroLocal registro(archivo);
            RegistroEvaluacion r = EjemploDocumentos::Registro(0, 2);
            registro.agregar(r);
        }
        const QString nueva = carpeta.filePath(QStringLiteral("nueva.png"));
        QVERIFY(FotosPrueba::Marcada(300, 200).save(nueva, "PNG"));
        RegistroForm f([archivo] { return std::make_unique<RegistroLocal>(archivo); }, RutasDatos::archivoComentarios());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        QList<int> vistas;  // photos each view shows
        auto contar = [&](QWidget *vista) {
            auto *lista = vista->findChild<QListWidget *>(QStringLiteral("lstFotosGuardadas"));
            vistas << (lista ? lista->count() : -1);
            return lista;
        };
        auto pulsar = [](QWidget *w, const char *nombre) {
            auto *b = w->findChild<QPushButton *>(QString::fromLatin1(nombre));
            QVERIFY2(b && b->isVisible(), nombre);
            QTest::mouseClick(b, Qt::LeftButton);
        };
        auto tercera = [&](QWidget *vista) {
            contar(vista);
            vista->close();
        };
        auto motivo = [&](QWidget *w) {
            auto *pregunta = qobject_cast<QInputDialog *>(w);
            QVERIFY(pregunta);
            pregunta->setTextValue(QStringLiteral("Foto de otra edificación"));
            Prueba::AlAbrirseModal(tercera);
            pregunta->accept();
        };
        auto segunda = [&](QWidget *vista) {
            QListWidget *lista = contar(vista);
            QVERIFY(lista);
            lista->setCurrentRow(0);
            Prueba::AlAbrirseModal(motivo);
            pulsar(vista, "btnQuitarFotoGuardada");
        };
        auto agregar = [&](QWidget *dialogo) {
            auto *panel = dialogo->findChild<PanelFotos *>();
            QVERIFY(panel);
            panel->agregarArchivos({nueva});
            panel->esperar();
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);  // saved
            Prueba::AlAbrirseModal(segunda);
            pulsar(dialogo, "btnGuardarFotos");
        };
        Prueba::AlAbrirseModal([&](QWidget *vista) {
            contar(vista);
            Prueba::AlAbrirseModal(agregar);
            pulsar(vista, "btnAgregarFotosGuardadas");
        });
        f.abrirFila(0);
        QTRY_COMPARE(vistas, (QList<int>{0, 1, 0}));
        QCOMPARE(Mensaje::textosMostrados(), QStringList{QStringLiteral("Las fotos han sido guardadas con la evaluación.")});

        RegistroLocal registro(archivo);
        QVERIFY(registro.fotos(1).isEmpty());
        const QVector<Correccion> correcciones = registro.correcciones(1);
        QCOMPARE(correcciones.size(), 1);
        QCOMPARE(correcciones.first().columna, Fotos::CampoCorreccion);
        QCOMPARE(correcciones.first().motivo, QStringLiteral("Foto de otra edificación"));
    }

    // Thirty photos at most: with 29 saved, of three dropped only the
    // first is taken, and the message says so.
    void limiteDeFotos()
    {
        const QString a = carpeta.filePath(QStringLiteral("a.png"));
        QVERIFY(FotosPrueba::Marcada(200, 100).save(a, "PNG"));
        PanelFotos panel(nullptr, 29);
        panel.show();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        panel.agregarArchivos({a, a, a});
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        QVERIFY2(Mensaje::textosMostrados().first().contains(QStringLiteral("a lo sumo 30 fotos")),
                 qPrintable(Mensaje::textosMostrados().first()));
        panel.esperar();
        QCOMPARE(panel.cantidad(), 1);
    }
};

QTEST_MAIN(PruebaPanelFotos)
#include "photo_panel_test.moc"
