// Comment codes from the levels, and their texts from a comment database.

#include "data/record_set.h"
#include "engine/evaluation_driver.h"
#include "engine/fixture.h"
#include "results/result_classification.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

struct Niveles {
    int S, N, G, P, B, E;
};

EstadoEvaluacion Estado(Niveles n, int otrosMasGraves)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.NivelDannoEstructural = static_cast<int16_t>(n.S);
    e.NivelDannoNoEstructural = static_cast<int16_t>(n.N);
    e.NivelSuelo = static_cast<int16_t>(n.G);
    e.NivelPreexistente = static_cast<int16_t>(n.P);
    e.NivelDannoEdificio = static_cast<int16_t>(n.B);
    e.NivelEstadoGlobal = static_cast<int16_t>(n.E);
    e.OtrosMasGraves = static_cast<int16_t>(otrosMasGraves);
    return e;
}

// Every code's text is "texto de <code>"; "H 22" has two records, the later
// one saying "último"; "EE 13" has none; a record without a code comes first.
void CrearComentarios(const QString &archivo)
{
    auto tabla = [&](const char *nombre, QList<QVariantList> filas) {
        filas.prepend({QVariant(), QStringLiteral("sin código")});
        Fixture::CrearTabla(archivo, QString::fromUtf8(nombre), filas);
    };
    auto codigos = [](const QString &prefijo, int digitos, const QString &omitir = QString()) {
        QList<QVariantList> filas;
        const int total = digitos == 2 ? 25 : 125;
        for (int i = 0; i < total; ++i) {
            const QString c = digitos == 2 ? QStringLiteral("%1%2").arg(i / 5).arg(i % 5)
                                           : QStringLiteral("%1%2%3").arg(i / 25).arg(i / 5 % 5).arg(i % 5);
            if (prefijo + c != omitir)
                filas << QVariantList{prefijo + c, QStringLiteral("texto de ") + prefijo + c};
        }
        return filas;
    };
    tabla("Daño Edificio", codigos(QStringLiteral("DE "), 2) + codigos(QStringLiteral("DEOA "), 2));
    tabla("Estado Global", codigos(QStringLiteral("EE "), 2, QStringLiteral("EE 13")));
    tabla("Habitabilidad", codigos(QStringLiteral("H "), 2) + codigos(QStringLiteral("HOA "), 2)
                               + QList<QVariantList>{{QStringLiteral("H 22"), QStringLiteral("último")}});
    tabla("Reparabilidad", codigos(QStringLiteral("R "), 2) + codigos(QStringLiteral("ROA "), 2));
    tabla("Ref Anno", {{QStringLiteral("RANNO0"), QStringLiteral("antes de 1950")},
                       {QStringLiteral("RANNO1"), QStringLiteral("1950 a 1982")},
                       {QStringLiteral("RANNO2"), QStringLiteral("1983 a 1997")}});
    tabla("Medidas de Seguridad", codigos(QStringLiteral("MS "), 3) + codigos(QStringLiteral("MSOA "), 3));
}

}  // namespace

Q_DECLARE_METATYPE(Niveles)

class PruebaClasificacion : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TablasComentarios comentarios_;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        const QString archivo = dir_.filePath(QStringLiteral("Comentarios.sqlite"));
        CrearComentarios(archivo);
        comentarios_ = LeerTablasComentarios(archivo);
    }

    void lecturaDeLasTablas()
    {
        QCOMPARE(comentarios_.habitabilidad.at(QStringLiteral("H 22")), QStringLiteral("último"));
        QCOMPARE(comentarios_.habitabilidad.size(), std::size_t(50));
        QCOMPARE(comentarios_.estadoGlobal.count(QStringLiteral("EE 13")), std::size_t(0));
        QCOMPARE(comentarios_.estadoGlobal.count(QString()), std::size_t(0));  // the record without a code
        QCOMPARE(comentarios_.medidasSeguridad.size(), std::size_t(250));
        QCOMPARE(comentarios_.refAnno.at(QStringLiteral("RANNO2")), QStringLiteral("1983 a 1997"));
    }

    void tablaQueFalta()
    {
        const QString archivo = dir_.filePath(QStringLiteral("incompleta.sqlite"));
        Fixture::CrearTabla(archivo, QStringLiteral("Daño Edificio"), {{QStringLiteral("DE 00"), QStringLiteral("x")}});
        try {
            LeerTablasComentarios(archivo);
            QFAIL("se leyó una base sin la tabla \"Estado Global\"");
        } catch (const ErrorDatos &error) {
            QVERIFY(error.mensaje().contains(archivo));
            QVERIFY(error.mensaje().contains(QStringLiteral("\"Estado Global\"")));
        }
    }

    void codigos_data()
    {
        QTest::addColumn<Niveles>("niveles");
        QTest::addColumn<int>("oa");
        QTest::addColumn<int>("anno");
        QTest::addColumn<QStringList>("codigos");  // DE, EE, H, R, MS, RANNO
        QTest::newRow("ordinario") << Niveles{1, 2, 0, 3, 2, 2} << 0 << 0
                                   << QStringList{"DE 12", "EE 20", "H 20", "R 23", "MS 120", ""};
        QTest::newRow("OA en su rango") << Niveles{1, 2, 0, 3, 1, 1} << 1 << 0
                                        << QStringList{"DEOA 12", "EE 10", "HOA 10", "ROA 13", "MS 120", "RANNO0"};
        QTest::newRow("estructural 2 sin OA") << Niveles{2, 2, 0, 0, 2, 2} << 1 << 0
                                              << QStringList{"DE 22", "EE 20", "H 20", "R 20", "MS 220", ""};
        QTest::newRow("suelo 3 fuera del OA") << Niveles{1, 0, 3, 0, 1, 3} << 1 << 1
                                              << QStringList{"DEOA 10", "EE 13", "H 13", "R 30", "MS 103", ""};
        QTest::newRow("año 1983 a 1997") << Niveles{0, 0, 0, 4, 1, 1} << 0 << 2
                                         << QStringList{"DE 00", "EE 10", "H 10", "R 14", "MS 000", "RANNO2"};
        QTest::newRow("desde 1998") << Niveles{0, 0, 0, 0, 0, 0} << 0 << 3
                                    << QStringList{"DE 00", "EE 00", "H 00", "R 00", "MS 000", ""};
        QTest::newRow("sin año elegido") << Niveles{0, 0, 0, 0, 0, 0} << 0 << -1
                                         << QStringList{"DE 00", "EE 00", "H 00", "R 00", "MS 000", ""};
        QTest::newRow("OA de reparabilidad con año") << Niveles{0, 1, 0, 0, 1, 1} << 1 << 1
                                                     << QStringList{"DEOA 01", "EE 10", "HOA 10", "ROA 10", "MSOA 010", "RANNO1"};
        QTest::newRow("MSOA 112") << Niveles{1, 1, 2, 0, 1, 2} << 1 << 0
                                  << QStringList{"DEOA 11", "EE 12", "HOA 12", "R 20", "MSOA 112", ""};
        QTest::newRow("severo") << Niveles{4, 0, 1, 4, 4, 4} << 0 << 0
                                << QStringList{"DE 40", "EE 41", "H 41", "R 44", "MS 401", ""};
    }
    void codigos()
    {
        QFETCH(Niveles, niveles);
        QFETCH(int, oa);
        QFETCH(int, anno);
        QFETCH(QStringList, codigos);
        EstadoEvaluacion e = Estado(niveles, oa);
        e.CodRefAnno = QStringLiteral("RANNO1");  // from the previous building
        EtiquetasResultados et;
        ComentariosResultados(e, anno, comentarios_, et);
        QCOMPARE((QStringList{e.CodDannoEdificio, e.CodEstadoGlobal, e.CodHabitabilidad, e.CodReparabilidad,
                              e.CodMedidasSeguridad, e.CodRefAnno}),
                 codigos);

        QCOMPARE(et.lblComDaEdificio, QStringLiteral("texto de ") + codigos[0]);
        QCOMPARE(et.lblComEstGlobal, codigos[1] == QLatin1String("EE 13") ? QString() : QStringLiteral("texto de ") + codigos[1]);
        QCOMPARE(et.lblComSeguridad, QStringLiteral("texto de ") + codigos[4]);
        const QString reparacion = QStringLiteral("texto de ") + codigos[3];
        const QMap<QString, QString> anno2texto = {{"RANNO0", "antes de 1950"}, {"RANNO1", "1950 a 1982"}, {"RANNO2", "1983 a 1997"}};
        QCOMPARE(et.lblComReparaciones,
                 codigos[5].isEmpty() ? reparacion : reparacion + QLatin1Char(' ') + anno2texto.value(codigos[5]));
    }

    void laUltimaGanaYLoQueFaltaNoSeToca()
    {
        EstadoEvaluacion e = Estado({2, 2, 2, 0, 2, 3}, 0);
        EtiquetasResultados et;
        et.lblComEstGlobal = QStringLiteral("anterior");
        ComentariosResultados(e, 0, comentarios_, et);
        QCOMPARE(e.CodHabitabilidad, QStringLiteral("H 22"));
        QCOMPARE(et.lblComHabitabilidad, QStringLiteral("último"));
        QCOMPARE(e.CodEstadoGlobal, QStringLiteral("EE 22"));

        e.NivelSuelo = 3;
        e.NivelDannoEdificio = 1;
        ComentariosResultados(e, 0, comentarios_, et);
        QCOMPARE(e.CodEstadoGlobal, QStringLiteral("EE 13"));
        QCOMPARE(et.lblComEstGlobal, QStringLiteral("texto de EE 22"));  // no record for EE 13

        // A level outside the scale builds no code: the previous one stays.
        e.NivelDannoNoEstructural = -1;
        ComentariosResultados(e, 0, comentarios_, et);
        QCOMPARE(e.CodDannoEdificio, QStringLiteral("DE 22"));
        QCOMPARE(e.CodMedidasSeguridad, QStringLiteral("MS 223"));
    }
};

QTEST_GUILESS_MAIN(PruebaClasificacion)
#include "result_classification_test.moc"
