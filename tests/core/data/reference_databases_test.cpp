// The shipped databases as the build makes them from reference/, read through
// the record set the program uses: every comment code once and in agreement
// with the levels, and the record set's behaviour on files that are damaged
// or missing.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/engine/fixture.h"
#include "core/engine/rule_tables.h"
#include "support/test_support.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<QPair<QString, QString>> LeerTabla(const QString &tabla)
{
    ConjuntoRegistros rs(RutasDatos::archivoComentarios(), tabla);
    QList<QPair<QString, QString>> filas;
    rs.moverPrimero();
    while (!rs.finDeTabla()) {
        filas.append({rs.campoTexto(0), rs.campoTexto(1)});
        rs.moverSiguiente();
    }
    return filas;
}

QStringList Codigos(const QString &prefijo, int digitos, int maximo = 4)
{
    QStringList c;
    for (int n = 0; n < (digitos == 1 ? 5 : digitos == 2 ? 25 : 125); ++n) {
        const QString d = QString::number(n, 5).rightJustified(digitos, QLatin1Char('0'));
        if (std::all_of(d.begin(), d.end(), [=](QChar ch) { return ch.digitValue() <= maximo; }))
            c << prefijo + d;
    }
    return c;
}

// The level names as the comments write them, lower case.
const QStringList NombresDanno = {"muy leve", "leve", "moderado", "fuerte", "severo"};
const QStringList NombresEstado = {"muy bueno", "bueno", "delicado", "grave", "muy grave"};

}  // namespace

class PruebaBasesDeReferencia : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    void cadaCodigoTieneUnComentarioPropio_data()
    {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("danno") << "Daño Edificio" << Codigos("DE ", 2) + Codigos("DEOA 0", 1, 2) + Codigos("DEOA 1", 1, 2);
        QTest::newRow("estado") << "Estado Global" << Codigos("EE ", 2);
        QTest::newRow("habitabilidad") << "Habitabilidad" << Codigos("H ", 2) + Codigos("HOA 0", 1, 2) + Codigos("HOA 1", 1, 2);
        QTest::newRow("reparabilidad") << "Reparabilidad" << Codigos("R ", 2) + Codigos("ROA 0", 1) + Codigos("ROA 1", 1);
        QTest::newRow("anno") << "Ref Anno" << QStringList{"RANNO0", "RANNO1", "RANNO2"};
        QTest::newRow("seguridad") << "Medidas de Seguridad"
                                   << Codigos("MS ", 3) + Codigos("MSOA 00", 1, 2) + Codigos("MSOA 01", 1, 2)
                                          + Codigos("MSOA 10", 1, 2) + Codigos("MSOA 11", 1, 2);
    }

    void cadaCodigoTieneUnComentarioPropio()
    {
        QFETCH(QString, tabla);
        QFETCH(QStringList, codigos);
        const auto filas = LeerTabla(tabla);
        QStringList vistos;
        QSet<QString> textos;
        for (const auto &[codigo, texto] : filas) {
            vistos << codigo;
            QVERIFY2(texto.trimmed().size() > 80, qPrintable(codigo));
            QVERIFY2(!textos.contains(texto), qPrintable(QStringLiteral("texto repetido en ") + codigo));
            textos.insert(texto);
        }
        QStringList ordenados = vistos, esperados = codigos;
        ordenados.sort();
        esperados.sort();
        QCOMPARE(ordenados, esperados);  // each code exactly once
    }
    // A comment never contradicts the level names shown beside it.
    void losComentariosConcuerdanConLosNiveles()
    {
        const QRegularExpression danno(QStringLiteral("(?:daño del edificio se califica como|calificación del edificio a) (muy leve|leve|moderado|fuerte|severo)"));
        for (const auto &[codigo, texto] : LeerTabla(QStringLiteral("Daño Edificio"))) {
            const QString d = codigo.right(2);
            const int nivel = ReglaDannoEdificio(int16_t(d[0].digitValue()), int16_t(d[1].digitValue()));
            const auto m = danno.match(texto);
            QVERIFY2(m.hasMatch(), qPrintable(codigo));
            QCOMPARE(m.captured(1), NombresDanno[nivel]);
        }
        const QRegularExpression estado(QStringLiteral("estado global resulta (muy bueno|bueno|delicado|grave|muy grave)"));
        for (const auto &[codigo, texto] : LeerTabla(QStringLiteral("Estado Global"))) {
            const QString d = codigo.right(2);
            const auto m = estado.match(texto);
            QVERIFY2(m.hasMatch(), qPrintable(codigo));
            QCOMPARE(m.captured(1), NombresEstado[ReglaEstadoGlobal(int16_t(d[0].digitValue()), int16_t(d[1].digitValue()))]);
        }
        for (const auto &[codigo, texto] : LeerTabla(QStringLiteral("Habitabilidad"))) {
            const QString d = codigo.right(2);
            const int nivel = ReglaHabitabilidad(int16_t(d[0].digitValue()), int16_t(d[1].digitValue()));
            QCOMPARE(texto.contains(QStringLiteral("no es habitable")), nivel == 2);
            QCOMPARE(texto.contains(QStringLiteral("uso queda restringido")), nivel == 1);
            QCOMPARE(texto.contains(QStringLiteral("edificio es habitable")), nivel == 0);
        }
        const QStringList marcas = {"no requiere intervención estructural", "Se requiere reparación", "Se requiere refuerzo",
                                    "deba demolerse"};
        for (const auto &[codigo, texto] : LeerTabla(QStringLiteral("Reparabilidad"))) {
            const QString d = codigo.right(2);
            const int nivel = ReglaReparabilidad(int16_t(d[0].digitValue()), int16_t(d[1].digitValue()));
            for (int k = 0; k < 4; ++k)
                QVERIFY2(texto.contains(marcas[k]) == (k == nivel), qPrintable(codigo + QStringLiteral(": ") + marcas[k]));
        }
        // Safety measures call a geotechnical engineer whenever the soil is Regulares or worse.
        for (const auto &[codigo, texto] : LeerTabla(QStringLiteral("Medidas de Seguridad"))) {
            const int suelo = codigo.right(1).toInt();
            if (suelo >= 2)
                QVERIFY2(texto.contains(QStringLiteral("ingeniero geotécnico")), qPrintable(codigo));
        }
    }

    void conjuntoDeRegistrosSobreArchivosMalos()
    {
        QTemporaryDir carpeta;
        const QString ausente = carpeta.filePath(QStringLiteral("no-existe.sqlite"));
        try {
            ConjuntoRegistros rs(ausente, QStringLiteral("PesosSistema"));
            QFAIL("un archivo ausente debe fallar");
        } catch (const ErrorDatos &e) {
            QVERIFY(e.mensaje().contains(ausente));
            QVERIFY(e.mensaje().contains(QStringLiteral("\"PesosSistema\"")));
        }
        QVERIFY(!QFile::exists(ausente));  // reading never creates the file

        try {
            ConjuntoRegistros rs(RutasDatos::archivoReferencia(), QStringLiteral("NoHay"));
            QFAIL("una tabla ausente debe fallar");
        } catch (const ErrorDatos &e) {
            QVERIFY(e.mensaje().contains(QStringLiteral("no existe la tabla")));
        }

        // A text that cannot be read as a number names the record's field.
        const QString archivo = carpeta.filePath(QStringLiteral("malo.sqlite"));
        Fixture::CrearTabla(archivo, QStringLiteral("PesosNoest"), {{0.5, QStringLiteral("pesado")}});
        ConjuntoRegistros rs(archivo, QStringLiteral("PesosNoest"));
        rs.moverPrimero();
        QCOMPARE(rs.campoReal(0), 0.5);
        try {
            rs.campoReal(1);
            QFAIL("un texto no es un peso");
        } catch (const ErrorDatos &e) {
            QVERIFY(e.mensaje().contains(QStringLiteral("campo 1")));
            QVERIFY(e.mensaje().contains(archivo));
        }
        rs.moverSiguiente();
        QVERIFY(rs.finDeTabla());
        QVERIFY_THROWS_EXCEPTION(ErrorDatos, rs.campo(0));
    }
};

QTEST_MAIN(PruebaBasesDeReferencia)
#include "reference_databases_test.moc"
