// Comment codes from the levels, and their texts from a comment database.

#include "core/data/record_set.h"
#include "core/engine/evaluation_driver.h"
#include "core/engine/fixture.h"
#include "core/engine/result_classification.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

struct Niveles {
    int16_t S, N, G, P, B, E;
};

EstadoEvaluacion Estado(Niveles n, int16_t otrosMasGraves)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.NivelDannoEstructural = n.S;
    e.NivelDannoNoEstructural = n.N;
    e.NivelSuelo = n.G;
    e.NivelPreexistente = n.P;
    e.NivelDannoEdificio = n.B;
    e.NivelEstadoGlobal = n.E;
    e.OtrosMasGraves = otrosMasGraves;
    return e;
}

// Every code's text is "texto de <code>"; "H 22" has two records, the later
// one saying "último"; "EE 13" has none; a record without a code comes first.
void CrearComentarios(const QString &archivo)
{
    auto codigos = [](const QStringList &prefijos, int digitos, const QString &omitir = QString()) {
        QList<QVariantList> filas = {{QVariant(), QStringLiteral("sin código")}};
        for (const QString &prefijo : prefijos)
            for (int i = 0; i < (digitos == 2 ? 25 : 125); ++i) {
                const QString c = prefijo + QString::number(i, 5).rightJustified(digitos, QLatin1Char('0'));
                if (c != omitir)
                    filas << QVariantList{c, QStringLiteral("texto de ") + c};
            }
        return filas;
    };
    Fixture::CrearTabla(archivo, QStringLiteral("Daño Edificio"), codigos({"DE ", "DEOA "}, 2));
    Fixture::CrearTabla(archivo, QStringLiteral("Estado Global"), codigos({"EE "}, 2, QStringLiteral("EE 13")));
    Fixture::CrearTabla(archivo, QStringLiteral("Habitabilidad"),
                        codigos({"H ", "HOA "}, 2) + QList<QVariantList>{{QStringLiteral("H 22"), QStringLiteral("último")}});
    Fixture::CrearTabla(archivo, QStringLiteral("Reparabilidad"), codigos({"R ", "ROA "}, 2));
    Fixture::CrearTabla(archivo, QStringLiteral("Ref Anno"), {{"RANNO0", "antes de 1950"}, {"RANNO1", "1950 a 1982"},
                                                             {"RANNO2", "1983 a 1997"}});
    Fixture::CrearTabla(archivo, QStringLiteral("Medidas de Seguridad"), codigos({"MS ", "MSOA "}, 3));
}

}  // namespace

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

    void tablaQueFalta()
    {
        const QString archivo = dir_.filePath(QStringLiteral("incompleta.sqlite"));
        Fixture::CrearTabla(archivo, QStringLiteral("Daño Edificio"), {{QStringLiteral("DE 00"), QStringLiteral("x")}});
        try {
            LeerTablasComentarios(archivo);
            QFAIL("se leyó una base sin la tabla \"Estado Global\"");
        } catch (const ErrorDatos &error) {
            QVERIFY2(error.mensaje().contains(archivo) && error.mensaje().contains(QStringLiteral("\"Estado Global\"")),
                     qPrintable(error.mensaje()));
        }
    }

    // The codes with and without the "OA" set, the year remark of the period
    // chosen (cleared first: the state holds RANNO1 of an earlier building),
    // and the texts of the codes on the comment labels.
    void codigos()
    {
        // levels S N G P B E, other elements graver, period, codes DE EE H R MS RANNO
        const QList<std::tuple<Niveles, int16_t, int, const char *>> casos = {
            {{1, 2, 0, 3, 2, 2}, 0, 0, "DE 12,EE 20,H 20,R 23,MS 120,"},
            {{1, 2, 0, 3, 1, 1}, 1, 0, "DEOA 12,EE 10,HOA 10,ROA 13,MS 120,RANNO0"},
            {{2, 2, 0, 0, 2, 2}, 1, 0, "DE 22,EE 20,H 20,R 20,MS 220,"},    // structural 2: no "OA"
            {{1, 0, 3, 0, 1, 3}, 1, 1, "DEOA 10,EE 13,H 13,R 30,MS 103,"},  // soil 3: no "OA"
            {{0, 0, 0, 4, 1, 1}, 0, 2, "DE 00,EE 10,H 10,R 14,MS 000,RANNO2"},
            {{0, 0, 0, 0, 0, 0}, 0, 3, "DE 00,EE 00,H 00,R 00,MS 000,"},    // from 1998
            {{0, 0, 0, 0, 0, 0}, 0, -1, "DE 00,EE 00,H 00,R 00,MS 000,"},   // no period chosen
            {{0, 1, 0, 0, 1, 1}, 1, 1, "DEOA 01,EE 10,HOA 10,ROA 10,MSOA 010,RANNO1"},
            {{1, 1, 2, 0, 1, 2}, 1, 0, "DEOA 11,EE 12,HOA 12,R 20,MSOA 112,"},
            {{4, 0, 1, 4, 4, 4}, 0, 0, "DE 40,EE 41,H 41,R 44,MS 401,"}};
        const QString de = QStringLiteral("texto de ");
        const QMap<QString, QString> observaciones = {{"RANNO0", " antes de 1950"}, {"RANNO1", " 1950 a 1982"},
                                                      {"RANNO2", " 1983 a 1997"}};
        for (const auto &[niveles, oa, anno, lista] : casos) {
            const QStringList c = QString::fromLatin1(lista).split(QLatin1Char(','));
            EstadoEvaluacion e = Estado(niveles, oa);
            e.CodRefAnno = QStringLiteral("RANNO1");
            EtiquetasResultados et;
            ComentariosResultados(e, anno, comentarios_, et);
            QCOMPARE((QStringList{e.CodDannoEdificio, e.CodEstadoGlobal, e.CodHabitabilidad, e.CodReparabilidad,
                                  e.CodMedidasSeguridad, e.CodRefAnno}),
                     c);
            QCOMPARE((QStringList{et.lblComDaEdificio, et.lblComEstGlobal, et.lblComHabitabilidad, et.lblComSeguridad,
                                  et.lblComReparaciones}),
                     (QStringList{de + c[0], c[1] == QLatin1String("EE 13") ? QString() : de + c[1], de + c[2],
                                  de + c[4], de + c[3] + observaciones.value(c[5])}));
        }
    }

    void laUltimaGanaYLoQueFaltaNoSeToca()
    {
        QCOMPARE(comentarios_.estadoGlobal.count(QString()), std::size_t(0));  // the record without a code
        EstadoEvaluacion e = Estado({2, 2, 2, 0, 2, 3}, 0);
        EtiquetasResultados et;
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
