// The photo viewers over a photo database and a photo tree made for the
// test, and the pictures shipped with the program.

#include "gui/common/message_box.h"
#include "core/catalog/damage_descriptions.h"
#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/engine/fixture.h"
#include "gui/rating/condition_viewer_form.h"
#include "gui/rating/level_viewer_form.h"
#include "gui/rating/photo_box.h"
#include "core/catalog/photo_keys.h"
#include "gui/rating/rating_helpers.h"
#include "support/gui_test_support.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using namespace Calificacion;

namespace {
CuadroFoto *Cuadro(QWidget *f) { return Buscar<CuadroFoto>(f, QStringLiteral("imgFotos")); }

// Colour of photo i of level n: every photo of the test tree is told apart by it.
QColor ColorFoto(int nivel, int i) { return QColor(40 * nivel, 60 * i, 200 - 30 * i); }

void EscribirFoto(const QString &ruta, const QColor &color, const QSize &tam = QSize(320, 240))
{
    QDir().mkpath(QFileInfo(ruta).path());
    QImage img(tam, QImage::Format_RGB32);
    img.fill(color);
    QVERIFY(img.save(ruta, "JPG", 95));
}

// What the viewer shows: "<photo number> <level>.<photo>" for the picture of
// the test tree on screen, "NO HAY" for the notice, "vacío" for neither,
// then "+" or "-" for "Siguiente Foto" enabled or not.
QString Visto(QWidget *f, int foto)
{
    const bool noHay = Buscar<QLabel>(f, QStringLiteral("lblNoHay"))->isVisible();
    const QImage img = Cuadro(f)->imagen();
    QString que = noHay == Cuadro(f)->isVisible() ? QStringLiteral("ambos o ninguno")
                  : noHay                         ? QStringLiteral("NO HAY")
                  : img.isNull()                  ? QStringLiteral("vacío")
                                                  : QStringLiteral("?");
    for (int n = 0; n <= 5 && que == QLatin1String("?"); ++n)
        for (int i = 1; i <= 3; ++i) {
            const QColor p = img.pixelColor(img.width() / 2, img.height() / 2), c = ColorFoto(n, i);
            if (qAbs(p.red() - c.red()) < 8 && qAbs(p.green() - c.green()) < 8 && qAbs(p.blue() - c.blue()) < 8)
                que = QStringLiteral("%1.%2").arg(n).arg(i);
        }
    return QStringLiteral("%1 %2 %3").arg(foto).arg(que, Boton(f, "btnMasFotos")->isEnabled() ? "+" : "-");
}

// The element the level viewer tests show: key "Columnas", prefix "Columna".
EstadoEvaluacion EstadoColumnas()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    return e;
}
}  // namespace

class PruebaVisoresDeFotos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        QVERIFY(tmp_.isValid());
        carpeta_ = tmp_.filePath(QStringLiteral("orv"));
        // Key "Columnas": level I 0 photos, II 1, III 3, IV no row, V first 9 then
        // 2 (the later row wins); a row of level 7 and rows of other keys are
        // skipped. Level IV of "Vigas" has 4 photos. The level tables share
        // their rows, and so do the condition tables.
        QDir().mkpath(carpeta_);
        const QString base = carpeta_ + QStringLiteral("/Fotos.sqlite");
        const QList<QVariantList> niveles = {{"Vigas", 4, 4},    {"Columnas", 1, 0}, {"Columnas", 2, 1}, {"Columnas", 3, 3},
                                             {"Columnas", 5, 9}, {"Columnas", 7, 5}, {"Columnas", 5, 2}, {"Columna", 4, 6}};
        for (const char *tabla : {"Estructurales", "No Estructurales"})
            Fixture::CrearTabla(base, QString::fromLatin1(tabla), niveles);
        for (const char *tabla : {"Suelo", "Preexistentes"})
            Fixture::CrearTabla(base, QString::fromLatin1(tabla), {{"LicAsent", 2}, {"GrietDesli", 0}, {"Calidad", 3}});
        const QString fotos = carpeta_ + QStringLiteral("/Fotos Daños");
        EscribirFoto(RutaFotoNivel(fotos, "Columnas", "Columna", 2, 1), ColorFoto(2, 1));
        for (int i = 1; i <= 3; ++i)
            EscribirFoto(RutaFotoNivel(fotos, "Columnas", "Columna", 3, i), ColorFoto(3, i));
        EscribirFoto(RutaFotoNivel(fotos, "Columnas", "Columna", 5, 1), ColorFoto(5, 1), QSize(200, 400));
        // Photo 2 of level V is counted but its file is not a picture.
        QFile roto(RutaFotoNivel(fotos, "Columnas", "Columna", 5, 2));
        QVERIFY(roto.open(QIODevice::WriteOnly));
        roto.write("esto no es una imagen JPEG");
        roto.close();
        for (int i = 1; i <= 2; ++i)
            EscribirFoto(RutaFotoCondicion(fotos, "LicAsent", "Asentam", i), ColorFoto(0, i));
        // "Calidad" counts 3 photos; only the first exists.
        EscribirFoto(RutaFotoCondicion(fotos, "Calidad", "Calidad", 1), ColorFoto(1, 1));
    }

    void init()
    {
        Mensaje::limpiar();
        RutasDatos::establecerCarpetaInstalacion(carpeta_);
    }

    void cleanupTestCase() { RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos()); }

    void cuentasPorNivel()
    {
        EstadoEvaluacion e = EstadoColumnas();
        // Counts of an element opened earlier never leak into a level without a row.
        e.NumFotosNivel = {0, 8, 8, 8, 8, 8};
        e.NumFotos = 5;
        Form10 f(e);
        f.ContarFotos(QStringLiteral("Estructurales"));
        QCOMPARE(e.NumFotosNivel, (std::array<int16_t, 6>{0, 0, 1, 3, 0, 2}));
        QCOMPARE(int(e.NumFotos), 5);
        e.CarpetaFoto = QStringLiteral("Vigas");
        f.ContarFotos(QStringLiteral("No Estructurales"));
        QCOMPARE(e.NumFotosNivel, (std::array<int16_t, 6>{0, 0, 0, 0, 4, 0}));
    }

    void fotosPorNivel()
    {
        EstadoEvaluacion e = EstadoColumnas();
        e.RutaFoto = QStringLiteral("antes");
        Form10 f(e);
        f.ContarFotos(QStringLiteral("Estructurales"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // "Siguiente Foto" before a level is chosen shows nothing.
        Clic(Boton(&f, "btnMasFotos"));
        QCOMPARE(Visto(&f, f.FotoActual()), QStringLiteral("1 vacío +"));
        QCOMPARE(Texto(&f, "lblDanno") + Texto(&f, "lblDescripcion") + e.RutaFoto, QStringLiteral("Nivelantes"));

        // Level III cycles 1, 2, 3, 1; every level starts at photo 1: II has
        // one photo, I counts 0, IV has no row, V's second photo is not a picture.
        const std::pair<int, const char *> pasos[] = {
            {2, "1 3.1 +"}, {-1, "2 3.2 +"}, {-1, "3 3.3 +"}, {-1, "1 3.1 +"}, {-1, "2 3.2 +"}, {1, "1 2.1 +"}, {-1, "1 2.1 +"},
            {0, "1 NO HAY -"}, {3, "1 NO HAY -"}, {4, "1 5.1 +"}, {-1, "2 NO HAY +"}};
        for (const auto &[k, visto] : pasos) {
            Clic(k < 0 ? static_cast<QAbstractButton *>(Boton(&f, "btnMasFotos")) : Nivel(&f, k));
            QCOMPARE(Visto(&f, f.FotoActual()), QString::fromLatin1(visto));
            if (k == 0)  // the description stays when there is no photo
                QVERIFY(!Texto(&f, "lblDescripcion").isEmpty());
        }
        // RutaFoto holds the first photo of the level chosen last.
        QCOMPARE(e.RutaFoto, carpeta_ + QStringLiteral("/Fotos Daños/Columnas/Nivel5/Columna1.jpg"));
    }

    // No photo database, or a file that is not one.
    void baseDeFotosIlegible()
    {
        for (int caso : {0, 1}) {
            QTemporaryDir otra;
            const QString carpeta = otra.filePath(QStringLiteral("orv"));
            QDir().mkpath(carpeta);
            QFile basura(carpeta + QStringLiteral("/Fotos.sqlite"));
            QVERIFY(caso == 0 || (basura.open(QIODevice::WriteOnly) && basura.write(QByteArray(4096, 'x')) == 4096));
            basura.close();
            RutasDatos::establecerCarpetaInstalacion(carpeta);
            // Each viewer reports the file and the table once, then still opens with
            // its description and without photos; every count is 0.
            EstadoEvaluacion e = EstadoColumnas();
            e.NumFotosNivel = {0, 3, 3, 3, 3, 3};
            e.NumFotos = 2;
            for (const char *tabla : {"Estructurales", "Suelo"}) {
                Mensaje::limpiar();
                Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
                QString visto;
                Prueba::AlAbrirseModal([&](QWidget *w) {
                    if (w->objectName() == QLatin1String("Form10"))
                        Clic(Nivel(w, 2));
                    visto = Texto(w, "lblDanno") + ": " + Texto(w, "lblDescripcion").left(26) + ": " + Visto(w, 1);
                    Clic(Boton(w, "Command1"));
                });
                if (tabla[0] == 'S')
                    e.VariableActual = AsentamientoLicuacion;
                tabla[0] == 'E' ? AbrirVisorNiveles(nullptr, e, QStringLiteral("Estructurales"), QString())
                                : AbrirVisorCondicion(nullptr, e, QStringLiteral("Suelo"), QStringLiteral("ASENTAMIENTOS"));
                QVERIFY(Prueba::ModalAtendido());
                QCOMPARE(Mensaje::textosMostrados().size(), 1);
                const QString mensaje = Mensaje::textosMostrados().first();
                QVERIFY2(mensaje.contains(QStringLiteral("Fotos.sqlite")) && mensaje.contains(QLatin1String(tabla)), qPrintable(mensaje));
                const QString descripcion = tabla[0] == 'E' ? DescripcionesNivel(e)[2] : TextoCondicion(e.VariableActual);
                QCOMPARE(visto, (tabla[0] == 'E' ? QStringLiteral("Nivel III: ") : QStringLiteral("ASENTAMIENTOS: ")) +
                                    descripcion.left(26) + QStringLiteral(": 1 NO HAY -"));
            }
            QCOMPARE(e.NumFotosNivel, (std::array<int16_t, 6>{0, 0, 0, 0, 0, 0}));
            QCOMPARE(int(e.NumFotos), 0);
        }
    }

    // The condition viewer; what it shows on opening, then after each "Siguiente Foto".
    void visorDeCondicion()
    {
        const std::tuple<QString, QString, int, QStringList> casos[] = {
            {"LicAsent", "Suelo", 2, {"1 0.1 +", "2 0.2 +", "1 0.1 +", "2 0.2 +"}},
            {"Calidad", "Preexistentes", 3, {"1 1.1 +", "2 NO HAY +", "3 NO HAY +", "1 1.1 +"}},  // only the first on disk
            {"GrietDesli", "Suelo", 0, {"1 NO HAY -", "1 NO HAY -"}},
            {"IrregAltura", "Suelo", 0, {"1 NO HAY -", "1 NO HAY -"}}};  // no row
        for (const auto &[clave, tabla, cuenta, vistos] : casos) {
            EstadoEvaluacion e = EstadoNuevo();
            e.VariableActual = tabla == QLatin1String("Suelo") ? AsentamientoLicuacion : CalidadMateriales;
            e.CarpetaFoto = clave;
            e.PrefijoFoto = clave == QLatin1String("LicAsent") ? QStringLiteral("Asentam") : clave;
            e.NumFotos = 4;
            e.RutaFoto = QStringLiteral("antes");
            Form14 f(e);
            f.EstablecerTitulo(QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
            f.ContarFotos(tabla);
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QCOMPARE(int(e.NumFotos), cuenta);
            QCOMPARE(e.RutaFoto, cuenta == 0 ? QStringLiteral("antes") : f.RutaFoto(1));
            QCOMPARE(f.RutaFoto(2), carpeta_ + QStringLiteral("/Fotos Daños/%1/%2%3.jpg").arg(clave, e.PrefijoFoto).arg(2));
            QCOMPARE(Texto(&f, "lblDanno"), QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
            QVERIFY(!Texto(&f, "lblDescripcion").isEmpty());
            QStringList pasos;
            for (int i = 0; i < vistos.size(); ++i) {
                pasos << Visto(&f, f.FotoActual());
                Clic(Boton(&f, "btnMasFotos"));
            }
            QCOMPARE(pasos, vistos);
        }
    }

    // Space chooses the focused level, the arrows move to the next ones; Enter closes the viewer.
    void tecladoEnElVisor()
    {
        EstadoEvaluacion e = EstadoColumnas();
        Form10 f(e);
        f.ContarFotos(QStringLiteral("Estructurales"));
        QVERIFY(Activar(&f));
        QCOMPARE(QApplication::focusWidget(), Nivel(&f, 0));
        Teclas(Qt::Key_Space);
        QVERIFY(Nivel(&f, 0)->isChecked());
        Teclas(Qt::Key_Down, 2);
        QCOMPARE(Texto(&f, "lblDanno") + ": " + Visto(&f, f.FotoActual()), QStringLiteral("Nivel III: 1 3.1 +"));
        Teclas(Qt::Key_Return);
        QVERIFY(f.result() == QDialog::Accepted && !f.isVisible());
    }

    void fotosEntregadas()
    {
        // Every key and level the element buttons use has a row in the shipped
        // photo database, and every photo it counts exists and decodes.
        RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos());
        int total = 0;
        for (const TablaFotos &t : TablasFotos()) {
            ConjuntoRegistros filas(RutasDatos::archivoFotos(), t.tabla);
            QMap<QString, QMap<int, int>> cuentas;
            for (filas.moverPrimero(); !filas.finDeTabla(); filas.moverSiguiente()) {
                const QString clave = filas.campoTexto(0);
                QVERIFY2(!PrefijoDeClave(clave).isEmpty(), qPrintable(clave));
                cuentas[clave][t.porNivel ? int(filas.campoReal(1)) : 0] = int(filas.campoReal(t.porNivel ? 2 : 1));
            }
            for (const ClaveFoto &c : t.claves) {
                for (int n : t.porNivel ? QList<int>{1, 2, 3, 4, 5} : QList<int>{0}) {
                    QVERIFY2(cuentas.value(c.carpeta).contains(n), qPrintable(t.tabla + ": " + c.carpeta));
                    const int cuenta = cuentas[c.carpeta][n];
                    QVERIFY2(cuenta >= 2 && cuenta <= 3, qPrintable(c.carpeta));
                    for (int i = 1; i <= cuenta; ++i) {
                        const QString ruta = t.porNivel ? RutaFotoNivel(RutasDatos::carpetaFotos(), c.carpeta, c.prefijo, n, i)
                                                        : RutaFotoCondicion(RutasDatos::carpetaFotos(), c.carpeta, c.prefijo, i);
                        QImageReader lector(ruta);
                        QCOMPARE(lector.format(), QByteArray("jpeg"));
                        QCOMPARE(lector.read().size(), QSize(640, 480));
                        ++total;
                    }
                }
            }
        }
        QVERIFY(total > 200);
    }

private:
    QTemporaryDir tmp_;
    QString carpeta_;
};

QTEST_MAIN(PruebaVisoresDeFotos)
#include "photo_viewers_test.moc"
