// Every description, condition text and viewer title as the evaluator reads
// it on screen.

#include "app/message_box.h"
#include "expected_texts.h"
#include "rating/condition_viewer_form.h"
#include "rating/level_viewer_form.h"
#include "rating_helpers.h"
#include "test_support.h"

#include <QGroupBox>
#include <QtTest>

using namespace Calificacion;

namespace {
QString Titulo(QWidget *f, const char *marco) { return Buscar<QGroupBox>(f, QString::fromLatin1(marco))->title(); }
}  // namespace

class PruebaDescripciones : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init() { Mensaje::limpiar(); }

    void descripcionesDeNivel_data()
    {
        QTest::addColumn<int>("variable");
        QTest::addColumn<int>("otro");
        QTest::addColumn<int>("sistema");
        QTest::addColumn<int>("grupo");  // 1..15, 0 = no descriptions
        const char *const nombres[14] = {"vigas", "columnas", "nudos", "muros", "muros confinados", "muros sin confinar",
                                         "bahareque", "vigas de acero", "columnas de acero", "conexiones de acero",
                                         "vigas de madera", "columnas de madera", "conexiones de madera", "entrepiso"};
        const int grupos[14] = {1, 1, 1, 1, 2, 3, 0, 7, 7, 7, 8, 8, 8, 9};
        for (int c = 0; c < 14; ++c)
            if (c != MurosBahareque)
                QTest::newRow(nombres[c]) << c << -1 << 0 << grupos[c];
        QTest::newRow("bahareque encementado (4)") << int(MurosBahareque) << -1 << 4 << 4;
        QTest::newRow("bahareque no encementado (14)") << int(MurosBahareque) << -1 << 14 << 5;
        QTest::newRow("tapia o adobe (12)") << int(MurosBahareque) << -1 << 12 << 6;
        QTest::newRow("bahareque bajo otro sistema: vacio") << int(MurosBahareque) << -1 << 0 << 0;
        QTest::newRow("bahareque bajo el sistema 13: vacio") << int(MurosBahareque) << -1 << 13 << 0;
        QTest::newRow("muros divisorios") << int(MurosDivisorios) << -1 << 0 << 10;
        QTest::newRow("muros de fachada") << int(MurosFachada) << -1 << 0 << 10;
        QTest::newRow("escaleras") << int(Escaleras) << -1 << 0 << 11;
        QTest::newRow("cielo rasos") << -1 << int(CieloRasos) << 0 << 12;
        QTest::newRow("instalaciones") << -1 << int(Instalaciones) << 0 << 13;
        QTest::newRow("cubierta") << -1 << int(Cubierta) << 0 << 14;
        QTest::newRow("tanques") << -1 << int(TanquesElevados) << 0 << 15;
        QTest::newRow("condicion: sin descripciones") << int(Taludes) << -1 << 0 << 0;
    }

    void descripcionesDeNivel()
    {
        QFETCH(int, variable);
        QFETCH(int, otro);
        QFETCH(int, sistema);
        QFETCH(int, grupo);
        EstadoEvaluacion e = EstadoNuevo();
        e.VariableActual = static_cast<int16_t>(variable);
        e.OtroActual = static_cast<int16_t>(otro);
        e.TipoEstructura = static_cast<int16_t>(sistema);
        e.CarpetaFoto = QStringLiteral("SinFotos");
        Form10 f(e);
        f.ContarFotos(QStringLiteral("Estructurales"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(Texto(&f, "lblDescripcion").isEmpty());
        // Levels chosen in an odd order: each shows its own text.
        for (int k : {2, 0, 4, 1, 3}) {
            Clic(Nivel(&f, k));
            QCOMPARE(Texto(&f, "lblDescripcion"), grupo == 0 ? QString() : QString::fromUtf8(Esperado::Descripciones[grupo - 1][k]));
        }
    }

    void controlesDelVisorDeNiveles()
    {
        EstadoEvaluacion e = EstadoNuevo();
        e.VariableActual = Columnas;
        e.CarpetaFoto = QStringLiteral("SinFotos");
        Form10 f(e);
        f.show();
        QCOMPARE((QStringList{f.windowTitle(), Titulo(&f, "frmDanno"), Titulo(&f, "frmNiveles"),
                              Buscar<QWidget>(&f, QStringLiteral("frmNiveles"))->toolTip(), Texto(&f, "lblDanno"),
                              Texto(&f, "lblNoHay"), Boton(&f, "btnMasFotos")->text(), Boton(&f, "Command1")->text()}),
                 (QStringList{"ORV - Quenbria", "DESCRIPCIONES DE LOS NIVELES DE DAÑO", "NIVELES DE DAÑO", "Escoja un Nivel de Daño",
                              "Nivel", "NO HAY FOTOS DISPONIBLES", "Siguiente Foto", "Aceptar"}));
        const QStringList opciones{"Nivel I - Ninguno/Muy Leve", "Nivel II - Leve", "Nivel III - Moderado",
                                   "Nivel IV - Fuerte", "Nivel V - Severo"};
        // Dark green, dark green, yellow, orange, red: on the option, then on the title.
        const QList<QColor> colores{QColor(0, 128, 0), QColor(0, 128, 0), QColor(255, 255, 0), QColor(255, 128, 0),
                                    QColor(255, 0, 0)};
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(Nivel(&f, k)->text(), opciones[k]);
            QVERIFY(!Nivel(&f, k)->isChecked());
            QCOMPARE(Nivel(&f, k)->palette().color(QPalette::WindowText), colores[k]);
            Clic(Nivel(&f, k));
            QCOMPARE(Texto(&f, "lblDanno"), opciones[k].section(QStringLiteral(" - "), 0, 0));
            QCOMPARE(Buscar<QLabel>(&f, QStringLiteral("lblDanno"))->palette().color(QPalette::WindowText), colores[k]);
        }

        // A title given by the caller replaces "Nivel" until a level is chosen.
        Form10 g(e);
        g.EstablecerTitulo(QStringLiteral("MUROS DE FACHADA Y ANTEPECHOS"));
        QCOMPARE(Texto(&g, "lblDanno"), QStringLiteral("MUROS DE FACHADA Y ANTEPECHOS"));
    }

    void textosDeCondicion_data()
    {
        QTest::addColumn<int>("variable");
        for (int c = 17; c <= 22; ++c)
            QTest::newRow(qPrintable(QString::number(c))) << c;
        QTest::newRow("14: sin texto") << int(MurosDivisorios);
    }

    void textosDeCondicion()
    {
        QFETCH(int, variable);
        EstadoEvaluacion e = EstadoNuevo();
        e.VariableActual = static_cast<int16_t>(variable);
        e.CarpetaFoto = QStringLiteral("SinFotos");
        Form14 f(e);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.windowTitle() + Titulo(&f, "frmDanno") + Texto(&f, "lblDanno"), QStringLiteral("ORV - QuenbriaDESCRIPCIÓNvariable"));
        auto *descripcion = Buscar<QLabel>(&f, QStringLiteral("lblDescripcion"));
        QCOMPARE(descripcion->text(), variable >= 17 ? QString::fromUtf8(Esperado::Condiciones[variable - 17]) : QString());
        QCOMPARE(f.Descripcion(), descripcion->text());
        // The long text wraps inside the form: all of it fits on screen.
        QVERIFY(descripcion->wordWrap());
        QVERIFY(descripcion->height() >= descripcion->heightForWidth(descripcion->width()));
    }
};

QTEST_MAIN(PruebaDescripciones)
#include "test_descriptions.moc"
