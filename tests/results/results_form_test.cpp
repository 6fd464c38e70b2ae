// The results form driven through its own widgets: what each label shows,
// the marking of categories declared not relevant, the tab buttons, leaving
// with and without the question, and whether long comments can be read.

#include "app/message_box.h"
#include "app/widget_support.h"
#include "results/results_form.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using Mensaje::Respuesta;

namespace {

struct CampoTexto {
    const char *nombre;
    QString EtiquetasResultados::*campo;
};

// Every label the form copies from EtiquetasResultados.
const CampoTexto CamposTexto[] = {
    {"lblDE", &EtiquetasResultados::lblDE},
    {"lblRiesgoEstructural", &EtiquetasResultados::lblRiesgoEstructural},
    {"lblIndiceEstructura", &EtiquetasResultados::lblIndiceEstructura},
    {"lblDNE", &EtiquetasResultados::lblDNE},
    {"lblRiesgoNoEstruct", &EtiquetasResultados::lblRiesgoNoEstruct},
    {"lblIndiceNoestructural", &EtiquetasResultados::lblIndiceNoestructural},
    {"lblES", &EtiquetasResultados::lblES},
    {"lblRiesgoGeotec", &EtiquetasResultados::lblRiesgoGeotec},
    {"lblIndiceSuelo", &EtiquetasResultados::lblIndiceSuelo},
    {"lblCP", &EtiquetasResultados::lblCP},
    {"lblIndicePreexistente", &EtiquetasResultados::lblIndicePreexistente},
    {"lblDaEdificio", &EtiquetasResultados::lblDaEdificio},
    {"lblFinal", &EtiquetasResultados::lblFinal},
    {"lblLingHabitability", &EtiquetasResultados::lblLingHabitability},
    {"lblLingReparability", &EtiquetasResultados::lblLingReparability},
    {"lblComDaEdificio", &EtiquetasResultados::lblComDaEdificio},
    {"lblComEstGlobal", &EtiquetasResultados::lblComEstGlobal},
    {"lblComHabitabilidad", &EtiquetasResultados::lblComHabitabilidad},
    {"lblComSeguridad", &EtiquetasResultados::lblComSeguridad},
    {"lblComReparaciones", &EtiquetasResultados::lblComReparaciones},
};

const char *const ComentariosNombres[] = {"lblComDaEdificio", "lblComEstGlobal", "lblComHabitabilidad",
                                           "lblComSeguridad", "lblComReparaciones"};

// A comment of several long sentences, different for every label.
QString comentarioLargo(const QString &tema, int frases)
{
    QStringList t;
    for (int i = 1; i <= frases; ++i)
        t << QStringLiteral("%1, frase %2: la edificación presenta fisuras diagonales en los muros de carga del "
                            "primer piso y desprendimientos del pañete; se recomienda acordonar el acceso, apuntalar "
                            "las zonas afectadas y solicitar un estudio detallado antes de cualquier reparación.")
                 .arg(tema)
                 .arg(i);
    return t.join(QLatin1Char(' '));
}

// A severely damaged building with every category relevant; each label
// carries a text of its own so that swapped labels show.
EtiquetasResultados ejemplo(int frases = 2)
{
    EtiquetasResultados e;
    e.lblDE = QStringLiteral("Fuerte");
    e.lblRiesgoEstructural = QStringLiteral("Alto");
    e.lblIndiceEstructura = QStringLiteral("0.55");
    e.lblDNE = QStringLiteral("Moderado");
    e.lblRiesgoNoEstruct = QStringLiteral("Bajo, después de medidas");
    e.lblIndiceNoestructural = QStringLiteral("0.3312");
    e.lblES = QStringLiteral("Regulares");
    e.lblRiesgoGeotec = QStringLiteral("Bajo");
    e.lblIndiceSuelo = QStringLiteral("0.2741");
    e.lblCP = QStringLiteral("Malas");
    e.lblIndicePreexistente = QStringLiteral("0.5512");
    e.lblDaEdificio = QStringLiteral("Severo");
    e.lblFinal = QStringLiteral("Muy Grave");
    e.lblLingHabitability = QStringLiteral("Peligro de Colapso");
    e.lblLingReparability = QStringLiteral("Posible Demolición");
    e.lblComDaEdificio = comentarioLargo(QStringLiteral("Daño"), frases);
    e.lblComEstGlobal = comentarioLargo(QStringLiteral("Estado"), frases);
    e.lblComHabitabilidad = comentarioLargo(QStringLiteral("Habitabilidad"), frases);
    e.lblComSeguridad = comentarioLargo(QStringLiteral("Seguridad"), frases);
    e.lblComReparaciones = comentarioLargo(QStringLiteral("Reparación"), frases);
    return e;
}

// What the driver and the evaluate command leave for relevance case 0..3.
EtiquetasResultados ejemploCaso(int caso)
{
    EtiquetasResultados e = ejemplo();
    if (caso == 1 || caso == 3) {
        e.lblCP = QStringLiteral("-");
        e.lblIndicePreexistente = QStringLiteral("-1");
        e.inactivoCP = e.inactivoIndicePreexistente = true;
        e.habilitadoCP = e.habilitadoIndicePreexistente = false;
    }
    if (caso == 2 || caso == 3) {
        e.lblES = QStringLiteral("-");
        e.lblIndiceSuelo = QStringLiteral("-1");
        e.inactivoES = e.inactivoIndiceSuelo = true;
        e.habilitadoES = e.habilitadoIndiceSuelo = false;
    }
    return e;
}

QLabel *etiqueta(QWidget *f, const QString &nombre)
{
    auto *l = Buscar<QLabel>(f, nombre);
    if (!l)
        qWarning("falta la etiqueta %s", qPrintable(nombre));
    return l;
}

QAbstractButton *boton(QWidget *f, const QString &nombre) { return Buscar<QAbstractButton>(f, nombre); }

// Colour the label's background is drawn in, read from a pixel of the empty
// part of the label (its texts here are short and left-aligned).
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

QMap<QString, QString> textosDe(QWidget *f)
{
    QMap<QString, QString> t;
    for (const CampoTexto &c : CamposTexto)
        t[QString::fromLatin1(c.nombre)] = etiqueta(f, QString::fromLatin1(c.nombre))->text();
    return t;
}

void pulsar(QWidget *f, const QString &nombre)
{
    QAbstractButton *b = boton(f, nombre);
    QVERIFY2(b, qPrintable(nombre));
    QVERIFY2(b->isVisible() && b->isEnabled(), qPrintable(nombre));
    QTest::mouseClick(b, Qt::LeftButton);
}

const QString Pregunta = QStringLiteral(
    "Vio las tres carpetas de resultados?\nDesea descargar los resultados de esta evaluación y salir?\n"
    "los resultados de esta evaluación no seran guardados");

}  // namespace

class PruebaFormResultados : public QObject {
    Q_OBJECT

    EstadoEvaluacion estado;
    DatosEdificacion datos{QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("1"),
                           QStringLiteral("Pórticos de concreto"), QStringLiteral("Losa de concreto"),
                           QStringLiteral("Losa maciza")};

private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init() { Mensaje::limpiar(); }
    void cleanup() { QCOMPARE(Mensaje::respuestasPendientes(), 0); }

    void cadaEtiquetaMuestraSuTexto()
    {
        const EtiquetasResultados e = ejemplo();
        Form7 f(estado, e, datos);
        for (const CampoTexto &c : CamposTexto) {
            QLabel *l = etiqueta(&f, QString::fromLatin1(c.nombre));
            QVERIFY2(l, c.nombre);
            QCOMPARE(l->text(), e.*(c.campo));
            QVERIFY2(!l->accessibleName().isEmpty(), c.nombre);
        }
        QCOMPARE(f.carpetaActual(), 0);
    }

    void textosFijos_data()
    {
        QTest::addColumn<QString>("objeto");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("ayuda");
        const QString sin;
        QTest::newRow("titulo") << "Label5" << "RESULTADOS" << sin;
        QTest::newRow("suelo con dos blancos") << "Label29" << "Condiciones del  Suelo" << sin;
        QTest::newRow("preexistentes") << "Label28" << "Condiciones Preexistentes" << sin;
        QTest::newRow("riesgo geotecnico") << "Label10" << "Riesgo Geotécnico" << sin;
        QTest::newRow("estado global") << "Label6" << "Estado global" << sin;
        QTest::newRow("seguridad") << "lblSeguridad" << "Medidas de seguridad" << sin;
        QTest::newRow("reparaciones") << "lblReparaciones" << "Reparaciones" << sin;
        QTest::newRow("ayuda edificio") << "lblDaEdificio" << "Severo"
                                        << "Tiene en cuenta el daño en elementos estructurales y no estructurales.";
        QTest::newRow("ayuda estado global")
            << "lblFinal" << "Muy Grave" << "Tiene en cuenta el daño en el edifcio y el estado del terreno.";
        QTest::newRow("salir") << "btnAceptar(0)" << "Aceptar" << "Regresar a Menu Principal";
        QTest::newRow("guardar") << "btnAceptar(1)" << "Guardar Información" << "Regresar a Menu Principal";
    }
    void textosFijos()
    {
        QFETCH(QString, objeto);
        QFETCH(QString, texto);
        QFETCH(QString, ayuda);
        Form7 f(estado, ejemplo(), datos);
        QWidget *w = Buscar<QWidget>(&f, objeto);
        QVERIFY(w);
        const QString mostrado = w->property("text").toString();
        QCOMPARE(mostrado, texto);
        QCOMPARE(w->toolTip(), ayuda);
    }

    void carpetasYCaption()
    {
        Form7 f(estado, ejemplo(), datos);
        QCOMPARE(f.windowTitle(), QStringLiteral("ORV"));
        auto *tabs = Buscar<QTabWidget>(&f, QStringLiteral("SSRes"));
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"Resultados", "Estado", "Habitabilidad", "Reparabilidad"}));
    }

    // Relevance cases: the driver's "-" and "-1", the inactive grey and the
    // labels the evaluate command disabled; every other label stays as usual.
    void categoriasNoRelevantes_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<bool>("sueloFuera");
        QTest::addColumn<bool>("preexFuera");
        QTest::newRow("0 todo relevante") << 0 << false << false;
        QTest::newRow("1 sin preexistentes") << 1 << false << true;
        QTest::newRow("2 sin suelo") << 2 << true << false;
        QTest::newRow("3 sin ambos") << 3 << true << true;
    }
    void categoriasNoRelevantes()
    {
        QFETCH(int, caso);
        QFETCH(bool, sueloFuera);
        QFETCH(bool, preexFuera);
        Form7 f(estado, ejemploCaso(caso), datos);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        const QColor fondoNormal = fondoPintado(etiqueta(&f, QStringLiteral("lblDE")));
        QVERIFY(fondoNormal != Form7::colorInactivo());
        struct Esperado {
            const char *nombre;
            bool fuera;
            const char *texto;
        };
        const Esperado esperados[] = {
            {"lblES", sueloFuera, "-"},
            {"lblIndiceSuelo", sueloFuera, "-1"},
            {"lblCP", preexFuera, "-"},
            {"lblIndicePreexistente", preexFuera, "-1"},
        };
        for (const Esperado &x : esperados) {
            QLabel *l = etiqueta(&f, QString::fromLatin1(x.nombre));
            QVERIFY2(l, x.nombre);
            QCOMPARE(l->isEnabled(), !x.fuera);
            if (x.fuera) {
                QCOMPARE(l->text(), QString::fromLatin1(x.texto));
                QCOMPARE(fondoPintado(l), Form7::colorInactivo());
                // Greyed, yet still readable on the grey.
                QVERIFY2(contrasteTexto(l) >= 80, x.nombre);
            } else {
                QVERIFY2(l->text() != QLatin1String(x.texto), x.nombre);
                QCOMPARE(fondoPintado(l), fondoNormal);
            }
        }
        // The rest of the first tab is untouched by relevance.
        for (const char *n : {"lblDE", "lblIndiceEstructura", "lblDNE", "lblRiesgoGeotec"}) {
            QVERIFY(etiqueta(&f, QString::fromLatin1(n))->isEnabled());
            QCOMPARE(fondoPintado(etiqueta(&f, QString::fromLatin1(n))), fondoNormal);
        }
    }

    void navegacion()
    {
        Form7 f(estado, ejemplo(), datos);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        // Per tab: the back button (if any) and the forward button (if any).
        const QStringList atras = {QString(), "btnDe", "Command2", "Command4"};
        const QStringList adelante = {"btnSiguente", "Command1", "Command3", QString()};
        const QStringList todos = {"btnSiguente", "btnDe", "Command1", "Command2", "Command3", "Command4"};
        auto comprobarBotones = [&](int carpeta) {
            for (const QString &n : todos) {
                QAbstractButton *b = boton(&f, n);
                QVERIFY2(b, qPrintable(n));
                const bool deEsta = n == atras[carpeta] || n == adelante[carpeta];
                QVERIFY2(b->isVisible() == deEsta, qPrintable(QStringLiteral("%1 en %2").arg(n).arg(carpeta)));
                if (deEsta)
                    QCOMPARE(b->text(), n == atras[carpeta] ? QStringLiteral("<< Devolver")
                                                            : QStringLiteral("Continuar >>"));
            }
            QVERIFY(boton(&f, QStringLiteral("btnAceptar(0)"))->isVisible());
            QVERIFY(boton(&f, QStringLiteral("btnAceptar(1)"))->isVisible());
        };

        QCOMPARE(f.carpetaActual(), 0);
        for (int c = 0; c < 3; ++c) {
            comprobarBotones(c);
            pulsar(&f, adelante[c]);
            QCOMPARE(f.carpetaActual(), c + 1);
        }
        for (int c = 3; c > 0; --c) {
            comprobarBotones(c);
            pulsar(&f, atras[c]);
            QCOMPARE(f.carpetaActual(), c - 1);
        }
        f.seleccionarCarpeta(4);
        QCOMPARE(f.carpetaActual(), 0);
        f.seleccionarCarpeta(-1);
        QCOMPARE(f.carpetaActual(), 0);
        QVERIFY(Mensaje::textosMostrados().isEmpty());
    }

    // "Aceptar", the close box and Escape all ask the same question; only
    // Yes closes, No leaves tab and labels as they were.
    void salir_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("si");
        for (const char *via : {"Aceptar", "cierre", "Escape"}) {
            QTest::addRow("%s Sí", via) << via << true;
            QTest::addRow("%s No", via) << via << false;
        }
    }
    void salir()
    {
        QFETCH(QString, via);
        QFETCH(bool, si);
        Form7 f(estado, ejemploCaso(3), datos);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        pulsar(&f, QStringLiteral("btnSiguente"));
        pulsar(&f, QStringLiteral("Command1"));
        const QMap<QString, QString> antes = textosDe(&f);

        Mensaje::encolarRespuesta(si ? Respuesta::Si : Respuesta::No);
        if (via == QLatin1String("Aceptar")) {
            pulsar(&f, QStringLiteral("btnAceptar(0)"));
        } else if (via == QLatin1String("cierre")) {
            f.close();
        } else {
            QWidget *foco = QApplication::focusWidget();
            QTest::keyClick(foco ? foco : &f, Qt::Key_Escape);
        }

        const QList<Mensaje::Mostrado> m = Mensaje::mostrados();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].texto, Pregunta);
        QCOMPARE(m[0].titulo, QStringLiteral("ORV"));
        QVERIFY(m[0].botones == Mensaje::Botones::SiNo);
        if (si) {
            QVERIFY(!f.isVisible());
            QCOMPARE(f.result(), int(QDialog::Rejected));
        } else {
            QVERIFY(f.isVisible());
            QCOMPARE(f.carpetaActual(), 2);
            QCOMPARE(textosDe(&f), antes);
            QCOMPARE(etiqueta(&f, QStringLiteral("lblCP"))->isEnabled(), false);
        }
    }

    // At the usual window size every comment wraps within its tab and can be
    // scrolled to its last line; level names are never cut.
    void comentariosLegibles()
    {
        EtiquetasResultados e = ejemplo(12);
        e.lblRiesgoEstructural = QStringLiteral("Bajo, después de medidas");
        Form7 f(estado, e, datos);
        f.resize(800, 600);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(f.minimumSizeHint().width() <= 800 && f.minimumSizeHint().height() <= 600);

        for (int c = 0; c < Form7::NumCarpetas; ++c) {
            f.seleccionarCarpeta(c);
            QApplication::processEvents();
            for (QLabel *l : f.findChildren<QLabel *>()) {
                if (!l->isVisible() || l->wordWrap())
                    continue;
                QVERIFY2(l->width() >= l->sizeHint().width() && l->height() >= l->minimumSizeHint().height(),
                         qPrintable(l->objectName() + QStringLiteral(" recortada")));
            }
        }
        for (const char *n : ComentariosNombres) {
            QLabel *l = etiqueta(&f, QString::fromLatin1(n));
            QVERIFY2(l, n);
            for (int c = 0; c < Form7::NumCarpetas && !l->isVisible(); ++c)
                f.seleccionarCarpeta(c);
            QApplication::processEvents();
            QVERIFY2(l->isVisible() && l->wordWrap(), n);
            QScrollArea *area = nullptr;
            for (QWidget *p = l->parentWidget(); p && !area; p = p->parentWidget())
                area = qobject_cast<QScrollArea *>(p);
            QVERIFY2(area, n);
            const QWidget *vista = area->viewport();
            // Nothing runs past the right edge.
            QVERIFY2(l->mapTo(vista, QPoint(l->width(), 0)).x() <= vista->width(), n);
            // The whole text is laid out, and the last line can be scrolled into view.
            QVERIFY2(l->height() >= l->heightForWidth(l->width()), n);
            QScrollBar *barra = area->verticalScrollBar();
            QVERIFY2(area->widget()->height() <= vista->height() + barra->maximum(), n);
            QVERIFY2(barra->maximum() > 0, n);  // twelve sentences do not fit without scrolling
            QVERIFY2(vista->height() >= 3 * l->fontMetrics().lineSpacing(), n);
        }

        // A word of a comment can be selected and copied.
        QLabel *com = etiqueta(&f, QStringLiteral("lblComReparaciones"));
        f.seleccionarCarpeta(3);
        QTest::mouseDClick(com, Qt::LeftButton, {}, QPoint(12, com->fontMetrics().height() / 2 + 2));
        QVERIFY(com->hasSelectedText());
        QVERIFY(com->text().contains(com->selectedText()));
    }
};

QTEST_MAIN(PruebaFormResultados)
#include "results_form_test.moc"
