// The building key: the same building typed in different ways gets one key,
// other buildings (another plot, another house, another barrio) another,
// and what the form writes for an empty box never makes two evaluations
// look like one building.

#include "core/registry/building_key.h"
#include "support/test_support.h"

#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

struct Identidad {
    QString avaluo, comuna, sector, manzana, predio, mejora;
    QString tipo, calle, avenida, otra, numero, barrio;
};

RegistroEvaluacion Registro(const Identidad &d)
{
    RegistroEvaluacion r;
    const std::pair<int, QString> campos[] = {
        {Pos::TipoAvaluo, d.avaluo}, {Pos::Comuna, d.comuna},   {Pos::Sector, d.sector},
        {Pos::Manzana, d.manzana},   {Pos::Predio, d.predio},   {Pos::MejoraPH, d.mejora},
        {Pos::TipoDireccion, d.tipo}, {Pos::NumeroCalle, d.calle}, {Pos::Avenida, d.avenida},
        {Pos::OtraVia, d.otra},      {Pos::NumeroCasa, d.numero}, {Pos::Barrio, d.barrio}};
    for (const auto &[p, v] : campos)
        r.establecerCampo(p, v);
    return r;
}

// A building with its plot typed in full, on a "Calle".
Identidad Completa()
{
    return {"01", "05-1234567890", "12", "0034", "0056", "001",
            "Calle", "45B", "--", "--", "12-30", "San Martín"};
}

// The same building with no plot: what Form23 writes for empty boxes.
Identidad SinPredio()
{
    Identidad d = Completa();
    d.avaluo = "--";
    d.comuna = "---";
    d.sector = "--";
    d.manzana = "----";
    d.predio = "----";
    d.mejora = "---";
    return d;
}

QString Clave(const Identidad &d) { return ClaveEdificacion::De(Registro(d)); }

}  // namespace

class PruebaClaveEdificacion : public QObject {
    Q_OBJECT

private slots:
    // The plot names the building; the horizontal-property unit does not,
    // and neither does the address once the plot is known.
    void predio()
    {
        const QString clave = Clave(Completa());
        QVERIFY2(clave.startsWith(QStringLiteral("predio:")), qPrintable(clave));
        Identidad otraUnidad = Completa();
        otraUnidad.mejora = "002";
        otraUnidad.numero = "12-32";  // another door of the same building
        QCOMPARE(Clave(otraUnidad), clave);
        Identidad otroPredio = Completa();
        otroPredio.predio = "0057";
        QVERIFY(Clave(otroPredio) != clave);
        Identidad otraComuna = Completa();
        otraComuna.comuna = "05-1234567891";
        QVERIFY(Clave(otraComuna) != clave);
    }

    // A plot with any part left empty is no plot: the address decides.
    void predioIncompleto_data()
    {
        QTest::addColumn<int>("parte");
        QTest::addColumn<QString>("valor");
        QTest::newRow("tipo de avalúo") << int(Pos::TipoAvaluo) << "--";
        QTest::newRow("comuna sin su segunda parte") << int(Pos::Comuna) << "05--";
        QTest::newRow("comuna sin su primera parte") << int(Pos::Comuna) << "--1234567890";
        QTest::newRow("sector") << int(Pos::Sector) << "";
        QTest::newRow("manzana") << int(Pos::Manzana) << "----";
        QTest::newRow("predio pendiente") << int(Pos::Predio) << "Información pendiente";
    }
    void predioIncompleto()
    {
        QFETCH(int, parte);
        QFETCH(QString, valor);
        RegistroEvaluacion r = Registro(Completa());
        r.establecerCampo(parte, valor);
        QCOMPARE(ClaveEdificacion::De(r), Clave(SinPredio()));
        QVERIFY(Clave(SinPredio()).startsWith(QStringLiteral("direccion:")));
    }

    // One address typed in the ways evaluators type it gives one key.
    void direccionNormalizada_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("calle");
        QTest::addColumn<QString>("numero");
        QTest::addColumn<QString>("barrio");
        QTest::newRow("mayúsculas y blancos") << "CALLE" << " 45b " << "12 - 30" << "SAN  MARTIN";
        QTest::newRow("almohadilla") << "Calle" << "45B" << "# 12-30" << "San Martín";
        QTest::newRow("No.") << "Calle" << "45 B" << "No. 12-30" << "san martín";
        QTest::newRow("N.º") << "Calle" << "45B" << "N.º 12-30" << "San Martin";
        QTest::newRow("Nº") << "Calle" << "45B" << "Nº12-30" << "San Martín";
    }
    void direccionNormalizada()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, calle);
        QFETCH(QString, numero);
        QFETCH(QString, barrio);
        Identidad d = SinPredio();
        d.tipo = tipo;
        d.calle = calle;
        d.numero = numero;
        d.barrio = barrio;
        QCOMPARE(Clave(d), Clave(SinPredio()));
    }

    // Another house, street, kind of street or barrio is another building;
    // the street box of the chosen kind is the one that counts.
    void direccionesDistintas()
    {
        const QString base = Clave(SinPredio());
        Identidad otroNumero = SinPredio();
        otroNumero.numero = "12-31";
        Identidad otroBarrio = SinPredio();
        otroBarrio.barrio = "El Prado";
        Identidad carrera = SinPredio();
        carrera.tipo = "Carrera";
        for (const Identidad &d : {otroNumero, otroBarrio, carrera})
            QVERIFY(Clave(d) != base);

        Identidad avenida = SinPredio();
        avenida.tipo = "Avenida";
        avenida.calle = "--";
        avenida.avenida = "Oriental";
        Identidad avenidaOtraCalle = avenida;
        avenidaOtraCalle.calle = "99";  // a box of another kind: not part of the address
        QCOMPARE(Clave(avenidaOtraCalle), Clave(avenida));
        Identidad otraAvenida = avenida;
        otraAvenida.avenida = "Occidental";
        QVERIFY(Clave(otraAvenida) != Clave(avenida));
    }

    // Without a street or a house number the address names no building:
    // no key, so that unrelated evaluations are never linked by placeholders.
    void sinClave_data()
    {
        QTest::addColumn<QString>("calle");
        QTest::addColumn<QString>("numero");
        QTest::newRow("sin número de casa") << "45B" << "-";
        QTest::newRow("número pendiente") << "45B" << "Información pendiente";
        QTest::newRow("sin calle") << "--" << "12-30";
        QTest::newRow("solo signos") << "45B" << "#";
    }
    void sinClave()
    {
        QFETCH(QString, calle);
        QFETCH(QString, numero);
        Identidad d = SinPredio();
        d.calle = calle;
        d.numero = numero;
        QCOMPARE(Clave(d), QString());
    }
};

QTEST_GUILESS_MAIN(PruebaClaveEdificacion)
#include "building_key_test.moc"
