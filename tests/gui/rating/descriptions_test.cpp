// The level descriptions and condition texts as the evaluator reads them:
// each element shows the five descriptions of its own group of the
// catalogue, each level its own text, and a long text fits on screen.

#include "gui/common/message_box.h"
#include "gui/rating/condition_viewer_form.h"
#include "core/catalog/damage_descriptions.h"
#include "gui/rating/level_viewer_form.h"
#include "gui/rating/rating_helpers.h"
#include "support/gui_test_support.h"

#include <QSet>
#include <QtTest>

using namespace Calificacion;

namespace {

struct Caso {
    const char *nombre;
    int variable, otro, sistema;
    int grupo;  // 0: the element has no descriptions
};

// Which elements share a group of descriptions; walls of bahareque take the
// group of the structural system.
const Caso Casos[] = {
    {"vigas", Vigas, -1, 0, 1}, {"columnas", Columnas, -1, 0, 1}, {"nudos", Nudos, -1, 0, 1}, {"muros", Muros, -1, 0, 1},
    {"muros confinados", MurosConfinados, -1, 0, 2}, {"muros sin confinar", MurosSinConfinar, -1, 0, 3},
    {"bahareque encementado", MurosBahareque, -1, 4, 4}, {"bahareque no encementado", MurosBahareque, -1, 14, 5},
    {"tapia o adobe", MurosBahareque, -1, 12, 6}, {"bahareque bajo otro sistema", MurosBahareque, -1, 0, 0},
    {"bahareque bajo el sistema 13", MurosBahareque, -1, 13, 0}, {"vigas de acero", VigasAcero, -1, 0, 7},
    {"columnas de acero", ColumnasAcero, -1, 0, 7}, {"conexiones de acero", ConexionesAcero, -1, 0, 7},
    {"vigas de madera", VigasMadera, -1, 0, 8}, {"columnas de madera", ColumnasMadera, -1, 0, 8},
    {"conexiones de madera", ConexionesMadera, -1, 0, 8}, {"entrepiso", Entrepiso, -1, 0, 9},
    {"muros divisorios", MurosDivisorios, -1, 0, 10}, {"muros de fachada", MurosFachada, -1, 0, 10},
    {"escaleras", Escaleras, -1, 0, 11}, {"cielo rasos", -1, CieloRasos, 0, 12},
    {"instalaciones", -1, Instalaciones, 0, 13}, {"cubierta", -1, Cubierta, 0, 14},
    {"tanques", -1, TanquesElevados, 0, 15}, {"taludes, sin descripciones", Taludes, -1, 0, 0},
};

// The five texts the level viewer shows for `c`, the levels chosen in an odd order.
QStringList TextosDe(const Caso &c)
{
    EstadoEvaluacion e = EstadoNuevo();
    e.VariableActual = static_cast<int16_t>(c.variable);
    e.OtroActual = static_cast<int16_t>(c.otro);
    e.TipoEstructura = static_cast<int16_t>(c.sistema);
    e.CarpetaFoto = QStringLiteral("SinFotos");
    Form10 f(e);
    f.ContarFotos(QStringLiteral("Estructurales"));
    f.show();
    if (!QTest::qWaitForWindowExposed(&f) || !Texto(&f, "lblDescripcion").isEmpty())
        return {QStringLiteral("texto antes de elegir un nivel")};
    QStringList textos(5);
    for (int k : {2, 0, 4, 1, 3}) {
        Clic(Nivel(&f, k));
        textos[k] = Texto(&f, "lblDescripcion");
    }
    return textos;
}

}  // namespace

class PruebaDescripciones : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }

    void descripcionesPorGrupo()
    {
        QSet<QString> listas;  // one per group: no two groups read alike
        for (const Caso &c : Casos) {
            const DescripcionesNiveles catalogo = DescripcionesDeGrupo(c.grupo);
            QCOMPARE(TextosDe(c), QStringList(catalogo.begin(), catalogo.end()));
            listas << QStringList(catalogo.begin(), catalogo.end()).join(QLatin1Char('|'));
            // Each level of a group reads differently.
            const QSet<QString> distintos(catalogo.begin(), catalogo.end());
            QVERIFY2(c.grupo > 0 ? distintos.size() == 5 && !distintos.contains(QString()) : distintos == QSet<QString>{QString()},
                     c.nombre);
        }
        QCOMPARE(listas.size(), 16);
    }
    // Conditions 17..22 each show their own text, wrapped to fit; the others none.
    void textosDeCondicion()
    {
        QSet<QString> vistos;
        for (int variable : {17, 18, 19, 20, 21, 22, int(MurosDivisorios)}) {
            EstadoEvaluacion e = EstadoNuevo();
            e.VariableActual = static_cast<int16_t>(variable);
            e.CarpetaFoto = QStringLiteral("SinFotos");
            Form14 f(e);
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            auto *descripcion = Buscar<QLabel>(&f, QStringLiteral("lblDescripcion"));
            QCOMPARE(descripcion->text(), TextoCondicion(variable));
            QCOMPARE(descripcion->text().isEmpty(), variable < 17);
            vistos << descripcion->text();
            QVERIFY(descripcion->wordWrap() && descripcion->height() >= descripcion->heightForWidth(descripcion->width()));
        }
        QCOMPARE(vistos.size(), 7);
    }
};

QTEST_MAIN(PruebaDescripciones)
#include "descriptions_test.moc"
