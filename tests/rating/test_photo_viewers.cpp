// The photo viewers over a photo database and a photo tree made for the
// test, and the pictures shipped with the program.

#include "app/message_box.h"
#include "app/widget_support.h"
#include "data/data_paths.h"
#include "data/record_set.h"
#include "rating/condition_viewer_form.h"
#include "rating/level_viewer_form.h"
#include "rating/photo_box.h"
#include "rating/photo_keys.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QRadioButton *Nivel(QWidget *f, int k) { return Buscar<QRadioButton>(f, NombreElemento(QStringLiteral("optDanno"), k)); }
CuadroFoto *Cuadro(QWidget *f) { return Buscar<CuadroFoto>(f, QStringLiteral("imgFotos")); }
QLabel *NoHay(QWidget *f) { return Buscar<QLabel>(f, QStringLiteral("lblNoHay")); }
QPushButton *Siguiente(QWidget *f) { return Buscar<QPushButton>(f, QStringLiteral("btnMasFotos")); }

void Clic(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(8, b->height() / 2));
}

// Colour of photo i of level n: every photo of the test tree is told apart by it.
QColor ColorFoto(int nivel, int i) { return QColor(40 * nivel, 60 * i, 200 - 30 * i); }

void EscribirFoto(const QString &ruta, const QColor &color, const QSize &tam = QSize(320, 240))
{
    QDir().mkpath(QFileInfo(ruta).path());
    QImage img(tam, QImage::Format_RGB32);
    img.fill(color);
    QVERIFY(img.save(ruta, "JPG", 95));
}

bool MismoColor(const QImage &img, const QColor &c)
{
    const QColor p = img.pixelColor(img.width() / 2, img.height() / 2);
    return qAbs(p.red() - c.red()) < 8 && qAbs(p.green() - c.green()) < 8 && qAbs(p.blue() - c.blue()) < 8;
}

struct Fila {
    QString clave;
    QVariant a, b;
};

EstadoEvaluacion EstadoNuevo()
{
    EstadoEvaluacion e;
    e.Reiniciar();
    return e;
}
}  // namespace

class PruebaVisoresDeFotos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void cuentasPorNivel();
    void cicloDeFotos();
    void nivelConUnaFoto();
    void cambioDeNivelReiniciaEnUno();
    void siguienteAntesDeElegirNivel();
    void archivoFaltanteOIlegible();
    void fotoEnProporcion();
    void baseDeFotosIlegible_data();
    void baseDeFotosIlegible();
    void visorDeCondicion();
    void condicionSinFilaOCuentaCero_data();
    void condicionSinFilaOCuentaCero();
    void tecladoEnElVisor();
    void fotosEntregadas();

private:
    void CrearBase(const QString &carpeta, const QList<Fila> &niveles, const QList<Fila> &condiciones);
    QTemporaryDir tmp_;
    QString carpeta_;
};

void PruebaVisoresDeFotos::CrearBase(const QString &carpeta, const QList<Fila> &niveles, const QList<Fila> &condiciones)
{
    QDir().mkpath(carpeta);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prueba-fotos"));
        db.setDatabaseName(carpeta + QStringLiteral("/Fotos.sqlite"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &t : {QStringLiteral("Estructurales"), QStringLiteral("No Estructurales")}) {
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE \"%1\" (Clave TEXT, Nivel INTEGER, NumeroFotos INTEGER)").arg(t)));
            for (const Fila &f : niveles) {
                q.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (?, ?, ?)").arg(t));
                q.addBindValue(f.clave);
                q.addBindValue(f.a);
                q.addBindValue(f.b);
                QVERIFY(q.exec());
            }
        }
        for (const QString &t : {QStringLiteral("Suelo"), QStringLiteral("Preexistentes")}) {
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE \"%1\" (Clave TEXT, NumeroFotos INTEGER)").arg(t)));
            for (const Fila &f : condiciones) {
                q.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (?, ?)").arg(t));
                q.addBindValue(f.clave);
                q.addBindValue(f.a);
                QVERIFY(q.exec());
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prueba-fotos"));
}

void PruebaVisoresDeFotos::initTestCase()
{
    Prueba::Preparar();
    QVERIFY(tmp_.isValid());
    carpeta_ = tmp_.filePath(QStringLiteral("orv"));
    // Key "Columnas": level I 0 photos, II 1, III 3, IV no row, V first 9 then
    // 2 (the later row wins); a row of level 7 and rows of other keys are
    // skipped. Level IV of "Vigas" has 4 photos.
    CrearBase(carpeta_,
              {{"Vigas", 4, 4}, {"Columnas", 1, 0}, {"Columnas", 2, 1}, {"Columnas", 3, 3}, {"Columnas", 5, 9},
               {"Columnas", 7, 5}, {"Columnas", 5, 2}, {"Columna", 4, 6}},
              {{"LicAsent", 2, {}}, {"GrietDesli", 0, {}}, {"Calidad", 3, {}}});
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

void PruebaVisoresDeFotos::init()
{
    Mensaje::limpiar();
    RutasDatos::establecerCarpetaInstalacion(carpeta_);
}

void PruebaVisoresDeFotos::cleanupTestCase()
{
    RutasDatos::establecerCarpetaInstalacion(Prueba::CarpetaDatos());
}

void PruebaVisoresDeFotos::cuentasPorNivel()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    // Counts of an element opened earlier never leak into a level without a row.
    e.NumFotosNivel = {0, 8, 8, 8, 8, 8};
    e.NumFotos = 5;
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    QCOMPARE(int(e.NumFotosNivel[1]), 0);
    QCOMPARE(int(e.NumFotosNivel[2]), 1);
    QCOMPARE(int(e.NumFotosNivel[3]), 3);
    QCOMPARE(int(e.NumFotosNivel[4]), 0);
    QCOMPARE(int(e.NumFotosNivel[5]), 2);
    QCOMPARE(int(e.NumFotos), 5);

    e.CarpetaFoto = QStringLiteral("Vigas");
    f.ContarFotos(QStringLiteral("No Estructurales"));
    QCOMPARE(int(e.NumFotosNivel[4]), 4);
    for (int n : {1, 2, 3, 5})
        QCOMPARE(int(e.NumFotosNivel[n]), 0);
    QVERIFY(Mensaje::textosMostrados().isEmpty());
}

void PruebaVisoresDeFotos::cicloDeFotos()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Clic(Nivel(&f, 2));
    const QString fotos = carpeta_ + QStringLiteral("/Fotos Daños");
    QCOMPARE(e.RutaFoto, fotos + QStringLiteral("/Columnas/Nivel3/Columna1.jpg"));
    QVERIFY(Siguiente(&f)->isEnabled());
    // 1, 2, 3, then 1 again; RutaFoto keeps the first photo of the level.
    for (int paso : {1, 2, 3, 1, 2}) {
        QCOMPARE(f.FotoActual(), paso);
        QVERIFY(Cuadro(&f)->isVisible());
        QVERIFY(!NoHay(&f)->isVisible());
        QCOMPARE(Cuadro(&f)->ruta(), fotos + QStringLiteral("/Columnas/Nivel3/Columna%1.jpg").arg(paso));
        QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(3, paso)));
        Clic(Siguiente(&f));
    }
    QCOMPARE(e.RutaFoto, fotos + QStringLiteral("/Columnas/Nivel3/Columna1.jpg"));
}

void PruebaVisoresDeFotos::nivelConUnaFoto()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    Clic(Nivel(&f, 1));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.FotoActual(), 1);
        QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(2, 1)));
        Clic(Siguiente(&f));
    }
    // Level I counts 0 photos: the notice, the button disabled, the description shown.
    Clic(Nivel(&f, 0));
    QVERIFY(NoHay(&f)->isVisible());
    QVERIFY(!Cuadro(&f)->isVisible());
    QVERIFY(!Siguiente(&f)->isEnabled());
    QVERIFY(!Buscar<QLabel>(&f, QStringLiteral("lblDescripcion"))->text().isEmpty());
}

void PruebaVisoresDeFotos::cambioDeNivelReiniciaEnUno()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    Clic(Nivel(&f, 2));
    Clic(Siguiente(&f));
    Clic(Siguiente(&f));
    QCOMPARE(f.FotoActual(), 3);
    // Level IV has no row: no photo, whatever came before.
    Clic(Nivel(&f, 3));
    QCOMPARE(f.FotoActual(), 1);
    QVERIFY(NoHay(&f)->isVisible());
    QVERIFY(!Siguiente(&f)->isEnabled());
    Clic(Nivel(&f, 4));
    QCOMPARE(f.FotoActual(), 1);
    QVERIFY(Siguiente(&f)->isEnabled());
    QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(5, 1)));
    QCOMPARE(e.RutaFoto, carpeta_ + QStringLiteral("/Fotos Daños/Columnas/Nivel5/Columna1.jpg"));
    Clic(Nivel(&f, 2));
    QCOMPARE(f.FotoActual(), 1);
    QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(3, 1)));
}

void PruebaVisoresDeFotos::siguienteAntesDeElegirNivel()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    e.RutaFoto = QStringLiteral("antes");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    QVERIFY(Siguiente(&f)->isEnabled());
    Clic(Siguiente(&f));
    Clic(Siguiente(&f));
    QVERIFY(Cuadro(&f)->imagen().isNull());
    QVERIFY(!NoHay(&f)->isVisible());
    QVERIFY(Buscar<QLabel>(&f, QStringLiteral("lblDescripcion"))->text().isEmpty());
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblDanno"))->text(), QStringLiteral("Nivel"));
    QCOMPARE(e.RutaFoto, QStringLiteral("antes"));
    Clic(Nivel(&f, 2));
    QCOMPARE(f.FotoActual(), 1);
    QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(3, 1)));
}

void PruebaVisoresDeFotos::archivoFaltanteOIlegible()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    // Level V: photo 1 exists, photo 2 is not a picture.
    Clic(Nivel(&f, 4));
    QVERIFY(Cuadro(&f)->isVisible());
    Clic(Siguiente(&f));
    QCOMPARE(f.FotoActual(), 2);
    QVERIFY(NoHay(&f)->isVisible());
    QVERIFY(!Cuadro(&f)->isVisible());
    QVERIFY(Siguiente(&f)->isEnabled());
    Clic(Siguiente(&f));
    QCOMPARE(f.FotoActual(), 1);
    QVERIFY(Cuadro(&f)->isVisible());
    QVERIFY(!NoHay(&f)->isVisible());

    // "Vigas" level IV counts 4 photos in "No Estructurales" and none exists.
    e.CarpetaFoto = QStringLiteral("Vigas");
    e.PrefijoFoto = QStringLiteral("Viga");
    Form10 g(e);
    g.ContarFotos(QStringLiteral("No Estructurales"));
    g.show();
    Clic(Nivel(&g, 3));
    QVERIFY(NoHay(&g)->isVisible());
    QVERIFY(Siguiente(&g)->isEnabled());
    for (int i = 2; i <= 5; ++i) {
        Clic(Siguiente(&g));
        QCOMPARE(g.FotoActual(), i <= 4 ? i : 1);
        QVERIFY(NoHay(&g)->isVisible());
    }
}

void PruebaVisoresDeFotos::fotoEnProporcion()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // A portrait photo (200 x 400) and a landscape one (320 x 240), in two sizes of the form.
    for (const QSize &forma : {f.size(), f.size() + QSize(300, 120)}) {
        f.resize(forma);
        QCoreApplication::processEvents();
        for (int k : {4, 2}) {
            Clic(Nivel(&f, k));
            CuadroFoto *c = Cuadro(&f);
            const QRect area = c->areaImagen();
            QVERIFY(!area.isEmpty());
            QVERIFY(c->rect().contains(area));
            const double razon = double(c->imagen().width()) / c->imagen().height();
            QVERIFY2(qAbs(double(area.width()) / area.height() - razon) < 0.02,
                     qPrintable(QStringLiteral("%1x%2").arg(area.width()).arg(area.height())));
            // It fills the box in one direction.
            QVERIFY(area.width() >= c->contentsRect().width() - 10 || area.height() >= c->contentsRect().height() - 10);
        }
    }
    // The picture box keeps its place when the notice replaces it.
    const QRect antes = Buscar<QWidget>(&f, QStringLiteral("frmFotos"))->geometry();
    Clic(Nivel(&f, 0));
    QCOMPARE(Buscar<QWidget>(&f, QStringLiteral("frmFotos"))->geometry(), antes);
}

void PruebaVisoresDeFotos::baseDeFotosIlegible_data()
{
    QTest::addColumn<int>("caso");
    QTest::newRow("sin archivo") << 0;
    QTest::newRow("archivo que no es una base") << 1;
    QTest::newRow("sin la tabla") << 2;
}

void PruebaVisoresDeFotos::baseDeFotosIlegible()
{
    QFETCH(int, caso);
    QTemporaryDir otra;
    const QString carpeta = otra.filePath(QStringLiteral("orv"));
    QDir().mkpath(carpeta);
    if (caso == 1) {
        QFile f(carpeta + QStringLiteral("/Fotos.sqlite"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    } else if (caso == 2) {
        CrearBase(carpeta, {}, {});
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("quitar"));
        db.setDatabaseName(carpeta + QStringLiteral("/Fotos.sqlite"));
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("DROP TABLE \"Estructurales\""));
        QSqlQuery(db).exec(QStringLiteral("DROP TABLE \"Suelo\""));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("quitar"));
    }
    RutasDatos::establecerCarpetaInstalacion(carpeta);

    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    e.NumFotosNivel = {0, 3, 3, 3, 3, 3};
    // The message names the file and the table; the viewer still opens with
    // its description and without photos.
    QString titulo, descripcion;
    bool noHay = false, habilitado = true;
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    Prueba::AlAbrirseModal([&](QWidget *w) {
        Clic(Nivel(w, 2));
        titulo = Buscar<QLabel>(w, QStringLiteral("lblDanno"))->text();
        descripcion = Buscar<QLabel>(w, QStringLiteral("lblDescripcion"))->text();
        noHay = NoHay(w)->isVisible();
        habilitado = Siguiente(w)->isEnabled();
        Clic(Buscar<QPushButton>(w, QStringLiteral("Command1")));
    });
    AbrirVisorNiveles(nullptr, e, QStringLiteral("Estructurales"), QString());
    QVERIFY(Prueba::ModalAtendido());
    QCOMPARE(Mensaje::textosMostrados().size(), 1);
    const QString mensaje = Mensaje::textosMostrados().first();
    QVERIFY2(mensaje.contains(QStringLiteral("Fotos.sqlite")) && mensaje.contains(QStringLiteral("Estructurales")),
             qPrintable(mensaje));
    QCOMPARE(titulo, QStringLiteral("Nivel III"));
    QVERIFY(!descripcion.isEmpty());
    QVERIFY(noHay);
    QVERIFY(!habilitado);
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(int(e.NumFotosNivel[n]), 0);

    // The same for the condition viewer.
    Mensaje::limpiar();
    e.VariableActual = AsentamientoLicuacion;
    e.CarpetaFoto = QStringLiteral("LicAsent");
    e.PrefijoFoto = QStringLiteral("Asentam");
    e.NumFotos = 2;
    Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
    Prueba::AlAbrirseModal([&](QWidget *w) {
        descripcion = Buscar<QLabel>(w, QStringLiteral("lblDescripcion"))->text();
        noHay = NoHay(w)->isVisible();
        habilitado = Siguiente(w)->isEnabled();
        Clic(Buscar<QPushButton>(w, QStringLiteral("Command1")));
    });
    AbrirVisorCondicion(nullptr, e, QStringLiteral("Suelo"), QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
    QVERIFY(Prueba::ModalAtendido());
    QCOMPARE(Mensaje::textosMostrados().size(), 1);
    QVERIFY(Mensaje::textosMostrados().first().contains(QStringLiteral("Suelo")));
    QVERIFY(descripcion.startsWith(QStringLiteral("En algunos suelos arenosos")));
    QVERIFY(noHay);
    QVERIFY(!habilitado);
    QCOMPARE(int(e.NumFotos), 0);
}

void PruebaVisoresDeFotos::visorDeCondicion()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = AsentamientoLicuacion;
    e.CarpetaFoto = QStringLiteral("LicAsent");
    e.PrefijoFoto = QStringLiteral("Asentam");
    Form14 f(e);
    f.EstablecerTitulo(QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
    f.ContarFotos(QStringLiteral("Suelo"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(int(e.NumFotos), 2);
    QCOMPARE(e.RutaFoto, carpeta_ + QStringLiteral("/Fotos Daños/LicAsent/Asentam1.jpg"));
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblDanno"))->text(), QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
    for (int paso : {1, 2, 1, 2}) {
        QCOMPARE(f.FotoActual(), paso);
        QVERIFY(Cuadro(&f)->isVisible());
        QVERIFY(!NoHay(&f)->isVisible());
        QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(0, paso)));
        Clic(Siguiente(&f));
    }

    // Three counted, only the first on disk.
    e.VariableActual = CalidadMateriales;
    e.CarpetaFoto = QStringLiteral("Calidad");
    e.PrefijoFoto = QStringLiteral("Calidad");
    Form14 g(e);
    g.ContarFotos(QStringLiteral("Preexistentes"));
    g.show();
    QCOMPARE(int(e.NumFotos), 3);
    QVERIFY(Cuadro(&g)->isVisible());
    Clic(Siguiente(&g));
    QVERIFY(NoHay(&g)->isVisible());
    QVERIFY(Siguiente(&g)->isEnabled());
    Clic(Siguiente(&g));
    Clic(Siguiente(&g));
    QCOMPARE(g.FotoActual(), 1);
    QVERIFY(Cuadro(&g)->isVisible());
    QVERIFY(!NoHay(&g)->isVisible());
}

void PruebaVisoresDeFotos::condicionSinFilaOCuentaCero_data()
{
    QTest::addColumn<QString>("clave");
    QTest::newRow("cuenta cero") << "GrietDesli";
    QTest::newRow("sin fila") << "IrregAltura";
}

void PruebaVisoresDeFotos::condicionSinFilaOCuentaCero()
{
    QFETCH(QString, clave);
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Taludes;
    e.CarpetaFoto = clave;
    e.PrefijoFoto = QStringLiteral("X");
    e.NumFotos = 4;
    Form14 f(e);
    f.ContarFotos(QStringLiteral("Suelo"));
    f.show();
    QCOMPARE(int(e.NumFotos), 0);
    QVERIFY(NoHay(&f)->isVisible());
    QVERIFY(!Cuadro(&f)->isVisible());
    QVERIFY(!Siguiente(&f)->isEnabled());
    QVERIFY(!Buscar<QLabel>(&f, QStringLiteral("lblDescripcion"))->text().isEmpty());
}

void PruebaVisoresDeFotos::tecladoEnElVisor()
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = Columnas;
    e.CarpetaFoto = QStringLiteral("Columnas");
    e.PrefijoFoto = QStringLiteral("Columna");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    // Space chooses the focused level, the arrows move to the next ones.
    QCOMPARE(QApplication::focusWidget(), Nivel(&f, 0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(Nivel(&f, 0)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(Nivel(&f, 2)->isChecked());
    QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblDanno"))->text(), QStringLiteral("Nivel III"));
    QVERIFY(MismoColor(Cuadro(&f)->imagen(), ColorFoto(3, 1)));
    // Enter closes the viewer.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QVERIFY(!f.isVisible());
}

void PruebaVisoresDeFotos::fotosEntregadas()
{
    // Every key and level the element buttons use has a row in the shipped
    // photo database, and every photo it counts exists and decodes.
    const QString carpeta = Prueba::CarpetaDatos();
    RutasDatos::establecerCarpetaInstalacion(carpeta);
    int total = 0;
    for (const TablaFotos &t : TablasFotos()) {
        ConjuntoRegistros filas(RutasDatos::archivoFotos(), t.tabla);
        QMap<QString, QMap<int, int>> cuentas;
        for (filas.moverPrimero(); !filas.finDeTabla(); filas.moverSiguiente()) {
            const QString clave = filas.campoTexto(0);
            QVERIFY2(!PrefijoDeClave(clave).isEmpty(), qPrintable(clave));
            if (t.porNivel)
                cuentas[clave][int(filas.campoReal(1))] = int(filas.campoReal(2));
            else
                cuentas[clave][0] = int(filas.campoReal(1));
        }
        for (const ClaveFoto &c : t.claves) {
            const QList<int> niveles = t.porNivel ? QList<int>{1, 2, 3, 4, 5} : QList<int>{0};
            for (int n : niveles) {
                QVERIFY2(cuentas.value(c.carpeta).contains(n), qPrintable(t.tabla + ": " + c.carpeta));
                const int cuenta = cuentas[c.carpeta][n];
                QVERIFY2(cuenta >= 2 && cuenta <= 3, qPrintable(c.carpeta));
                for (int i = 1; i <= cuenta; ++i) {
                    const QString ruta = t.porNivel ? RutaFotoNivel(RutasDatos::carpetaFotos(), c.carpeta, c.prefijo, n, i)
                                                    : RutaFotoCondicion(RutasDatos::carpetaFotos(), c.carpeta, c.prefijo, i);
                    QImageReader lector(ruta);
                    QCOMPARE(lector.format(), QByteArray("jpeg"));
                    const QImage img = lector.read();
                    QVERIFY2(!img.isNull(), qPrintable(ruta));
                    QCOMPARE(img.size(), QSize(640, 480));
                    ++total;
                }
            }
        }
    }
    QVERIFY(total > 200);
}

QTEST_MAIN(PruebaVisoresDeFotos)
#include "test_photo_viewers.moc"
