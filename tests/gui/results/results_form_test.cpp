// The results form driven through its own widgets: what each label shows,
// the marking of categories declared not relevant, the tab buttons, leaving
// with and without saving, and whether long comments can be read. Whole
// evaluations onto this form, and saving from it, run in the journey tests.

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "gui/rating/rating_helpers.h"
#include "gui/results/results_form.h"
#include "support/gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>

using Calificacion::Clic;
using Mensaje::Respuesta;

namespace {

// Every label the form copies from EtiquetasResultados, the comments last,
// with the caption a screen reader gives as what labels it.
using E = EtiquetasResultados;
struct Campo {
    const char *nombre;
    QString E::*texto;
    const char *rotulo;
};
const Campo Campos[] = {
    {"lblDE", &E::lblDE, "Label1"}, {"lblRiesgoEstructural", &E::lblRiesgoEstructural, "Label8"},
    {"lblIndiceEstructura", &E::lblIndiceEstructura, "Label1"}, {"lblDNE", &E::lblDNE, "Label2"},
    {"lblRiesgoNoEstruct", &E::lblRiesgoNoEstruct, "Label9"}, {"lblIndiceNoestructural", &E::lblIndiceNoestructural, "Label2"},
    {"lblES", &E::lblES, "Label29"}, {"lblRiesgoGeotec", &E::lblRiesgoGeotec, "Label10"},
    {"lblIndiceSuelo", &E::lblIndiceSuelo, "Label29"}, {"lblCP", &E::lblCP, "Label28"},
    {"lblIndicePreexistente", &E::lblIndicePreexistente, "Label28"}, {"lblDaEdificio", &E::lblDaEdificio, "Label4"},
    {"lblFinal", &E::lblFinal, "Label6"}, {"lblLingHabitability", &E::lblLingHabitability, "Label3"},
    {"lblLingReparability", &E::lblLingReparability, "Label7"}, {"lblComDaEdificio", &E::lblComDaEdificio, "Label4"},
    {"lblComEstGlobal", &E::lblComEstGlobal, "Label6"}, {"lblComHabitabilidad", &E::lblComHabitabilidad, "lblHabitabilidad"},
    {"lblComSeguridad", &E::lblComSeguridad, "lblSeguridad"}, {"lblComReparaciones", &E::lblComReparaciones, "lblReparaciones"}};
constexpr int PrimerComentario = 15;

// Every label shows its own name, so that swapped labels show; the comments
// go on with `frases` long sentences.
EtiquetasResultados ejemplo(int frases = 2)
{
    EtiquetasResultados e;
    for (int i = 0; i < int(std::size(Campos)); ++i) {
        QStringList t{QString::fromLatin1(Campos[i].nombre)};
        for (int k = 1; i >= PrimerComentario && k <= frases; ++k)
            t << QStringLiteral("Frase %1: la edificación presenta fisuras diagonales en los muros de carga del primer piso; "
                                "se recomienda acordonar el acceso, apuntalar las zonas afectadas y solicitar un estudio "
                                "detallado antes de cualquier reparación.").arg(k);
        e.*Campos[i].texto = t.join(QLatin1Char(' '));
    }
    return e;
}

QLabel *etiqueta(QWidget *f, const char *nombre) { return Buscar<QLabel>(f, QString::fromLatin1(nombre)); }
QAbstractButton *boton(QWidget *f, const char *nombre) { return Buscar<QAbstractButton>(f, QString::fromLatin1(nombre)); }

// Background colour as painted, read from the empty right end of the label.
QColor fondoPintado(QLabel *l)
{
    const QImage img = l->grab().toImage();
    return img.pixelColor(img.width() - 4, img.height() / 2);
}

// How much darker than the background the darkest pixel of the text is.
int contrasteTexto(QLabel *l)
{
    const QImage img = l->grab().toImage();
    int minimo = 255;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            minimo = qMin(minimo, img.pixelColor(x, y).lightness());
    return fondoPintado(l).lightness() - minimo;
}

QStringList textosDe(QWidget *f)
{
    QStringList t;
    for (const auto &c : Campos)
        t << etiqueta(f, c.nombre)->text();
    return t;
}

}  // namespace

class PruebaFormResultados : public QObject {
    Q_OBJECT

    EstadoEvaluacion estado;
    DatosEdificacion datos{"3", "0", "3", "1", "Pórticos de concreto", "Losa de concreto", "Losa maciza"};

    // A results form on screen, on the tab given.
    void mostrar(Form7 &f, int carpeta = 0)
    {
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.seleccionarCarpeta(carpeta);
    }

private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }
    void cleanup() { QCOMPARE(Mensaje::respuestasPendientes(), 0); }
    // A screen reader hears every result, index and comment as it shows,
    // labelled by its caption; Tab reaches only named controls, on every tab.
    void lectorDePantalla()
    {
        Form7 f(estado, ejemplo(), datos);
        for (const Campo &c : Campos) {
            QLabel *l = etiqueta(&f, c.nombre);
            QCOMPARE(Prueba::NombreAccesible(l), l->text().simplified());
            QVERIFY2(Prueba::RotulosAccesibles(l).contains(QString::fromLatin1(c.rotulo)), c.nombre);
        }
        for (QLabel *l : f.findChildren<QLabel *>())
            QCOMPARE(Prueba::NombreAccesible(l).simplified(), l->text().simplified());

        mostrar(f);
        QApplication::setActiveWindow(&f);
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QStringList comentarios;
        for (int c = 0; c < Form7::NumCarpetas; ++c) {
            f.seleccionarCarpeta(c);
            boton(&f, "btnAceptar(0)")->setFocus();
            const QStringList recorrido = Prueba::RecorridoConTab();
            QVERIFY(recorrido.size() >= 3);
            for (const QString &paso : recorrido) {
                QVERIFY2(!paso.endsWith(QStringLiteral(": ")) && !paso.startsWith(QStringLiteral("area_")),
                         qPrintable(recorrido.join(QLatin1String(" / "))));
                if (paso.startsWith(QStringLiteral("lblCom")))
                    comentarios << paso.section(QLatin1Char(':'), 0, 0);
            }
        }
        // The five comments take the focus.
        comentarios.removeDuplicates();
        QCOMPARE(comentarios.size(), 5);
    }

    // A category declared not relevant shows its "-" and "-1" grey and
    // disabled, yet legible; the other keeps the background of every result.
    void noRelevante()
    {
        for (const bool sinSuelo : {true, false}) {
            EtiquetasResultados e = ejemplo();
            e.lblES = e.lblCP = QStringLiteral("-");
            e.lblIndiceSuelo = e.lblIndicePreexistente = QStringLiteral("-1");
            e.inactivoES = e.inactivoIndiceSuelo = e.habilitadoCP = e.habilitadoIndicePreexistente = sinSuelo;
            e.habilitadoES = e.habilitadoIndiceSuelo = e.inactivoCP = e.inactivoIndicePreexistente = !sinSuelo;
            Form7 f(estado, e, datos);
            mostrar(f);
            const QColor normal = fondoPintado(etiqueta(&f, "lblDE"));
            QVERIFY(normal != Form7::colorInactivo());
            const std::pair<const char *, bool> marcas[] = {{"lblES", sinSuelo},  {"lblIndiceSuelo", sinSuelo},
                                                             {"lblCP", !sinSuelo}, {"lblIndicePreexistente", !sinSuelo},
                                                             {"lblDE", false},     {"lblIndiceEstructura", false}};
            for (const auto &[nombre, fuera] : marcas) {
                QLabel *l = etiqueta(&f, nombre);
                QVERIFY2(l->isEnabled() == !fuera, nombre);
                QCOMPARE(fondoPintado(l), fuera ? Form7::colorInactivo() : normal);
                QVERIFY2(!fuera || contrasteTexto(l) >= 80, nombre);
            }
        }
    }

    // Forward with "Continuar >>", back with "<< Devolver"; each tab carries
    // only its own buttons, so nothing leads before the first tab or past the
    // last one. The two buttons below the tabs show on every tab.
    void navegacion()
    {
        Form7 f(estado, ejemplo(), datos);
        mostrar(f);
        const char *const atras[] = {nullptr, "btnDe", "Command2", "Command4"};
        const char *const adelante[] = {"btnSiguente", "Command1", "Command3", nullptr};
        auto comprobarBotones = [&](int carpeta) {
            for (int c = 0; c < Form7::NumCarpetas; ++c)
                for (const char *n : {atras[c], adelante[c]})
                    if (n)
                        QVERIFY2(boton(&f, n)->isVisible() == (c == carpeta), n);
            QVERIFY(boton(&f, "btnAceptar(0)")->isVisible() && boton(&f, "btnAceptar(1)")->isVisible());
        };
        for (int c = 0; c < 3; ++c) {
            comprobarBotones(c);
            Clic(&f, adelante[c]);
            QCOMPARE(f.carpetaActual(), c + 1);
        }
        for (int c = 3; c > 0; --c) {
            comprobarBotones(c);
            Clic(&f, atras[c]);
            QCOMPARE(f.carpetaActual(), c - 1);
        }
        f.seleccionarCarpeta(4);
        QCOMPARE(f.carpetaActual(), 0);
    }

    // "Aceptar", the close box and Escape all ask the same question; only
    // Yes closes, No leaves tab and labels as they were.
    void salir()
    {
        QStringList preguntas;
        for (const char *via : {"Aceptar", "cierre", "Escape"})
            for (const bool si : {false, true}) {
                Form7 f(estado, ejemplo(), datos);
                mostrar(f, 2);
                const QStringList antes = textosDe(&f);
                Mensaje::limpiar();
                Mensaje::encolarRespuesta(si ? Respuesta::Si : Respuesta::No);
                if (via[0] == 'A')
                    Clic(&f, "btnAceptar(0)");
                else if (via[0] == 'c')
                    f.close();
                else
                    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_Escape);
                const QList<Mensaje::Mostrado> m = Mensaje::mostrados();
                QCOMPARE(m.size(), 1);
                QVERIFY2(m[0].botones == Mensaje::Botones::SiNo, via);
                preguntas << m[0].texto;
                QCOMPARE(f.isVisible(), !si);
                QCOMPARE(si ? f.result() : f.carpetaActual(), si ? int(QDialog::Rejected) : 2);
                if (!si)
                    QCOMPARE(textosDe(&f), antes);
            }
        QCOMPARE(QSet<QString>(preguntas.begin(), preguntas.end()).size(), 1);
    }

    // "Guardar Información" opens the additional information form over this
    // one; cancelling there comes back to the same tab with the same labels,
    // and the evaluator can try again.
    void guardarCancelado()
    {
        Form7 f(estado, ejemplo(), datos);
        mostrar(f, 3);
        const QStringList antes = textosDe(&f);
        for (int vez = 1; vez <= 2; ++vez) {
            QString titulo;
            Prueba::AlAbrirseModal([&](QWidget *w) {
                titulo = w->windowTitle();
                Mensaje::encolarRespuesta(Respuesta::Aceptar);  // its own "Cancelar" question
                QTest::mouseClick(boton(w, "btnGuardaInf(1)"), Qt::LeftButton);
            });
            Clic(&f, "btnAceptar(1)");
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(titulo, QStringLiteral("Información Adicional"));
            QVERIFY(f.isVisible());
            QCOMPARE(f.carpetaActual(), 3);
            QCOMPARE(textosDe(&f), antes);
            QCOMPARE(Mensaje::textosMostrados().size(), vez);  // only the other form's question
        }
    }

    // At 800 x 600 a comment of twenty sentences wraps within its tab, and
    // the page keys on it, once it has the focus, scroll it.
    void comentarioLargo()
    {
        Form7 f(estado, ejemplo(20), datos);
        f.resize(800, 600);
        mostrar(f, 3);
        QLabel *com = etiqueta(&f, "lblComReparaciones");
        QScrollArea *area = nullptr;
        for (QWidget *p = com->parentWidget(); p && !area; p = p->parentWidget())
            area = qobject_cast<QScrollArea *>(p);
        QVERIFY(area && area->verticalScrollBar()->maximum() > 0);
        QVERIFY(com->mapTo(area->viewport(), QPoint(com->width(), 0)).x() <= area->viewport()->width());
        com->setFocus();
        QTest::keyClick(com, Qt::Key_PageDown);
        QVERIFY(area->verticalScrollBar()->value() > 0);
        QTest::keyClick(com, Qt::Key_Home);
        QCOMPARE(area->verticalScrollBar()->value(), 0);
    }
};

QTEST_MAIN(PruebaFormResultados)
#include "results_form_test.moc"
