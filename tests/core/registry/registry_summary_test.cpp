// The event summary and the GIS export, checked against counts and values
// taken by this test from the records it saved: every table of the summary
// and its date range, and the GeoJSON file read back by GDAL's ogrinfo and
// parsed feature by feature.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/exchange/geojson_export.h"
#include "core/registry/local_registry.h"
#include "core/registry/registry_summary.h"
#include "core/engine/result_classification.h"
#include "support/test_support.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

const char *const Barrios[] = {"San Martín", "El Prado", "Centro", "-", "", "O'Brien; \"DROP\",\nlínea 2 😀", "  "};
// The stored comuna field and, after it, the comuna it names.
const char *const Comunas[][2] = {{"05-1234567890", "05"}, {"05-99", "05"}, {"12-", "12"}, {"-", ""},
                                  {"---", ""},             {"7", "7"},      {" 03 -x", "03"}};
const char *const Comisiones[] = {"C-17", "C-03", "C-09", "-", "c-17"};
const char *const Habitabilidades[] = {"Habitable", "Uso Restringido", "No Habitable", "Peligro de Colapso", "",
                                       "Otra cosa"};
const char *const Reparabilidades[] = {"Ninguna o Menor", "Reparación", "Refuerzo", "Posible Demolición", ""};
const char *const Estados[] = {"Muy Bueno", "Bueno", "Delicado", "Grave", "Muy Grave", ""};
const char *const Nombres[] = {"Casa \"La Roja\"", "Bodega\\Norte", "Línea 1\nLínea 2\tfin", "Ωμέγα 😀", "\x01控制"};

// A key as the summary groups it: blanks and dashes alone are no value.
QString Clave(const QString &s)
{
    for (QChar c : s)
        if (c != QLatin1Char('-') && c != QLatin1Char(' '))
            return s;
    return QString();
}

// `n` evaluations that differ in every column the summary groups by, with
// placeholders, empty values, hostile texts, and coordinates on most.
QVector<RegistroEvaluacion> Muestra(int n)
{
    // A fixed seed: the same sample on every run.
    auto az = [g = QRandomGenerator(12345)](std::size_t n) mutable { return int(g.bounded(quint32(n))); };
    QVector<RegistroEvaluacion> lote;
    for (int i = 0; i < n; ++i) {
        RegistroEvaluacion r;
        for (int p = 0; p < NumCampos; ++p)
            r.establecerCampo(p, Campo(p).tipo == TipoCampo::Texto ? QVariant(QStringLiteral("--"))
                                                                   : QVariant(qlonglong(i % 7)));
        auto t = [&](int p, const char *s) { r.establecerCampo(p, QString::fromUtf8(s)); };
        t(Pos::Barrio, Barrios[az(std::size(Barrios))]);
        t(Pos::Comuna, Comunas[az(std::size(Comunas))][0]);
        t(Pos::CodigoComision, Comisiones[az(std::size(Comisiones))]);
        t(Pos::Habitabilidad, Habitabilidades[az(std::size(Habitabilidades))]);
        t(Pos::Reparabilidad, Reparabilidades[az(std::size(Reparabilidades))]);
        t(Pos::EstadoGlobal, Estados[az(std::size(Estados))]);
        t(Pos::NombreEdificacion, Nombres[az(std::size(Nombres))]);
        const int dia = az(8);  // 2026-11-28 .. 2026-12-05
        r.establecerCampo(Pos::Fecha, QDateTime(QDate(2026, 11, 28).addDays(dia), QTime(az(24), 30))
                                          .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
        if (i == 5)
            r.establecerCampo(Pos::Fecha, QVariant());
        r.establecerCampo(Pos::IndiceEstructural, 0.25 + i / 1000.0);
        t(Pos::CodigoDannoEdificio, "DE 02");
        t(Pos::CodigoEstadoGlobal, "EE 03");
        t(Pos::CodigoHabitabilidad, "H 01");
        t(Pos::CodigoMedidasSeguridad, i % 2 ? "MS 002" : "sin código");
        t(Pos::CodigoReparabilidad, "R 02");
        // Coordinates on most; some without, one with a latitude alone and
        // one out of range.
        const int caso = az(10);
        if (caso == 0 || i == 1) {
            r.establecerCampo(Pos::Latitud, QVariant());
            r.establecerCampo(Pos::Longitud, QVariant());
        } else if (i == 2) {
            r.establecerCampo(Pos::Latitud, -12.35);
            r.establecerCampo(Pos::Longitud, QVariant());
        } else if (i == 3) {
            r.establecerCampo(Pos::Latitud, 95.0);
            r.establecerCampo(Pos::Longitud, -97.5);
        } else {
            r.establecerCampo(Pos::Latitud, -12.4 + az(10000) / 1e5);
            r.establecerCampo(Pos::Longitud, -97.6 + az(10000) / 1e5);
        }
        lote << r;
    }
    return lote;
}

bool EnRango(const RegistroEvaluacion &r, const FiltroRegistro &f)
{
    const QDate d = QDate::fromString(r.texto(Pos::Fecha).left(10), Qt::ISODate);
    return (!f.desde.isValid() || (d.isValid() && d >= f.desde)) && (!f.hasta.isValid() || (d.isValid() && d <= f.hasta));
}

using Conteos = QMap<QString, qint64>;
using Zonas = QMap<QString, std::array<qint64, 3>>;

Conteos DeConteos(const QVector<ConteoResumen> &c)
{
    Conteos m;
    for (const ConteoResumen &x : c)
        if (x.evaluaciones)
            m[x.valor] += x.evaluaciones;
    return m;
}

Zonas DeZonas(const QVector<ZonaResumen> &z)
{
    Zonas m;
    for (const ZonaResumen &x : z) {
        [&] { QVERIFY2(!m.contains(x.zona), qPrintable(x.zona)); }();
        m[x.zona] = {x.evaluaciones, x.noHabitables, x.peligroColapso};
    }
    return m;
}

}  // namespace

class PruebaResumenRegistro : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    QString archivo;
    QVector<RegistroEvaluacion> guardados;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RegistroLocal registro(archivo);
        guardados = Muestra(400);
        registro.agregar(guardados);
        QCOMPARE(guardados.last().numero(), 400);
    }

    // Every table of the summary equals the count this test makes over the
    // saved records, for the whole registry and for date ranges.
    void resumenIgualAlConteo_data()
    {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::newRow("todo") << QDate() << QDate();
        QTest::newRow("hasta, todo el día") << QDate() << QDate(2026, 11, 29);
        QTest::newRow("un día") << QDate(2026, 12, 3) << QDate(2026, 12, 3);
        QTest::newRow("sin evaluaciones") << QDate(2027, 1, 1) << QDate(2027, 1, 9);
    }
    void resumenIgualAlConteo()
    {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        FiltroRegistro filtro;
        filtro.desde = desde;
        filtro.hasta = hasta;

        qint64 total = 0;
        Conteos hab, rep, est, comision;
        Zonas barrio, comuna;
        QMap<QString, std::array<qint64, 5>> dia;
        QMap<std::pair<QString, QString>, qint64> comisionDia;
        const QStringList nombresHab{QStringLiteral("Habitable"), QStringLiteral("Uso Restringido"),
                                     QStringLiteral("No Habitable"), QStringLiteral("Peligro de Colapso")};
        for (const RegistroEvaluacion &r : std::as_const(guardados)) {
            if (!EnRango(r, filtro))
                continue;
            ++total;
            const QString h = r.texto(Pos::Habitabilidad);
            hab[Clave(h)]++;
            rep[Clave(r.texto(Pos::Reparabilidad))]++;
            est[Clave(r.texto(Pos::EstadoGlobal))]++;
            const bool noHab = h == QStringLiteral("No Habitable"), peligro = h == QStringLiteral("Peligro de Colapso");
            auto sumar = [&](Zonas &z, const QString &k) {
                z[k][0]++;
                z[k][1] += noHab;
                z[k][2] += peligro;
            };
            sumar(barrio, Clave(r.texto(Pos::Barrio)));
            QString nombreComuna;
            for (const auto &c : Comunas)
                if (r.texto(Pos::Comuna) == QString::fromUtf8(c[0]))
                    nombreComuna = QString::fromUtf8(c[1]);
            sumar(comuna, nombreComuna);
            const QString d = r.texto(Pos::Fecha).left(10);
            const qsizetype clase = nombresHab.indexOf(h);
            dia[d][clase < 0 ? 4 : clase]++;
            const QString c = Clave(r.texto(Pos::CodigoComision));
            comision[c]++;
            comisionDia[{c, d}]++;
        }

        RegistroLocal registro(archivo);
        const ResumenRegistro r = registro.resumen(filtro);
        QCOMPARE(r.total, total);
        QCOMPARE(DeConteos(r.porHabitabilidad), hab);
        QCOMPARE(DeConteos(r.porReparabilidad), rep);
        QCOMPARE(DeConteos(r.porEstadoGlobal), est);
        // The placard's order first, each level present even without evaluations.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(r.porHabitabilidad.at(i).valor, nombresHab.at(i));
        QCOMPARE(r.porEstadoGlobal.at(0).valor, QStringLiteral("Muy Bueno"));
        QCOMPARE(DeZonas(r.porBarrio), barrio);
        QCOMPARE(DeZonas(r.porComuna), comuna);
        for (qsizetype i = 1; i < r.porBarrio.size(); ++i)
            QVERIFY(r.porBarrio.at(i - 1).evaluaciones >= r.porBarrio.at(i).evaluaciones);

        QStringList dias;
        for (const DiaResumen &d : r.porDia) {
            dias << d.dia;
            QCOMPARE(d.porHabitabilidad, dia.value(d.dia));
        }
        QCOMPARE(dias, QStringList(dia.keys()));  // every day, oldest first

        Conteos comisionLeida;
        for (const ComisionResumen &c : r.porComision)
            comisionLeida[c.codigo] = c.evaluaciones;
        QCOMPARE(comisionLeida, comision);
        QMap<std::pair<QString, QString>, qint64> comisionDiaLeida;
        for (const ComisionDiaResumen &c : r.porComisionDia)
            comisionDiaLeida[{c.codigo, c.dia}] = c.evaluaciones;
        QCOMPARE(comisionDiaLeida, comisionDia);
    }

    // The GeoJSON file: GDAL reads it as WGS 84 points, one per evaluation
    // with both coordinates; each feature holds that evaluation's values
    // and comments. A file that cannot be written is refused.
    void geojson()
    {
        const QString salida = carpeta.filePath(QStringLiteral("evaluaciones.geojson"));
        const TablasComentarios tablas = LeerTablasComentarios(RutasDatos::archivoComentarios());
        RegistroLocal registro(archivo);
        const ResultadoGeoJson resultado = ExportarGeoJson(registro, FiltroRegistro(), tablas, salida);

        QList<int> sin;
        QMap<int, const RegistroEvaluacion *> con;
        for (const RegistroEvaluacion &r : std::as_const(guardados)) {
            const QVariant la = r.campo(Pos::Latitud), lo = r.campo(Pos::Longitud);
            if (la.isNull() || lo.isNull() || qAbs(la.toDouble()) > 90)
                sin << r.numero();
            else
                con[r.numero()] = &r;
        }
        QVERIFY(sin.contains(2) && sin.contains(3) && sin.contains(4));  // none, latitude alone, out of range
        QCOMPARE(resultado.exportadas, qint64(con.size()));
        QCOMPARE(resultado.sinCoordenadas, qint64(sin.size()));

        const QString info = QString::fromUtf8(Prueba::Ejecutar(QStringLiteral("ogrinfo"), {"-ro", "-al", "-so", salida}));
        QVERIFY2(info.contains(QStringLiteral("Geometry: Point")), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Feature Count: %1\n").arg(con.size())), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("\"WGS 84\"")) && info.contains(QStringLiteral("ID[\"EPSG\",4326]")),
                 qPrintable(info));

        QFile f(salida);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonArray rasgos = doc.object().value(QStringLiteral("features")).toArray();
        QCOMPARE(rasgos.size(), con.size());
        const std::pair<const char *, QString> comentarios[] = {
            {"ComentarioDannoEdificio", tablas.dannoEdificio.at(QStringLiteral("DE 02"))},
            {"ComentarioEstadoGlobal", tablas.estadoGlobal.at(QStringLiteral("EE 03"))},
            {"ComentarioHabitabilidad", tablas.habitabilidad.at(QStringLiteral("H 01"))},
            {"ComentarioReparabilidad", tablas.reparabilidad.at(QStringLiteral("R 02"))},
            {"ComentarioMedidasSeguridad", tablas.medidasSeguridad.at(QStringLiteral("MS 002"))}};
        auto it = con.cbegin();
        for (const QJsonValue &v : rasgos) {
            const RegistroEvaluacion &r = *it.value();
            const QJsonObject rasgo = v.toObject();
            // Longitude first.
            const QJsonArray c = rasgo.value(QStringLiteral("geometry"))[QStringLiteral("coordinates")].toArray();
            QCOMPARE(c.size(), 2);
            QCOMPARE(c.at(0).toDouble(), r.campo(Pos::Longitud).toDouble());
            QCOMPARE(c.at(1).toDouble(), r.campo(Pos::Latitud).toDouble());
            const QJsonObject p = rasgo.value(QStringLiteral("properties")).toObject();
            QCOMPARE(p.size(), NumCampos + 5);
            QCOMPARE(p.value(QStringLiteral("NumeroEvaluacion")).toInteger(), qint64(it.key()));
            for (const CampoRegistro &campo : Campos()) {
                const QJsonValue valor = p.value(campo.columna);
                const QVariant guardado = r.campo(campo.posicion);
                if (guardado.isNull()) {
                    QVERIFY2(valor.isNull(), qPrintable(campo.columna));
                } else if (campo.tipo == TipoCampo::Texto) {
                    QCOMPARE(valor.toString(QStringLiteral("(no es texto)")), guardado.toString());
                } else {
                    QVERIFY2(valor.isDouble(), qPrintable(campo.columna));
                    QCOMPARE(valor.toDouble(), guardado.toDouble());
                }
            }
            for (const auto &[nombre, texto] : comentarios)  // "MS 002" on the even numbers only
                QCOMPARE(p.value(QLatin1String(nombre)).toString(),
                         r.numero() % 2 && &texto == &comentarios[4].second ? QString() : texto);
            ++it;
        }

        // A file that cannot be written: a Spanish message naming it, nothing left behind.
        const QString imposible = carpeta.filePath(QStringLiteral("no existe/evaluaciones.geojson"));
        try {
            ExportarGeoJson(registro, FiltroRegistro(), TablasComentarios(), imposible);
            QFAIL("se esperaba un error");
        } catch (const ErrorDatos &e) {
            QVERIFY2(e.mensaje().startsWith(QStringLiteral("No se pudo escribir la exportación para SIG")) &&
                         e.mensaje().contains(imposible),
                     qPrintable(e.mensaje()));
        }
        QVERIFY(!QFile::exists(imposible));
    }
};

QTEST_GUILESS_MAIN(PruebaResumenRegistro)
#include "registry_summary_test.moc"
