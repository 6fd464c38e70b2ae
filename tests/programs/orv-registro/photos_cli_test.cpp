// orv-registro with photos, as a user runs it: «fotos» writes an
// evaluation's photos with their captions, «exportar --fotos» writes each
// evaluation's photos beside the exported file and names them in a column,
// «importar» reads the photos a line lists from the file's folder.

#include "cli_runner.h"
#include "photos/photo_preparation.h"
#include "photos/test_photos.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace OrdenPrueba;

namespace {

QByteArray Leer(const QString &archivo)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FotoEvaluacion Preparada(const QString &archivo, const QString &leyenda)
{
    const ResultadoFoto r = PreparacionFotos::Preparar(archivo);
    if (!r.correcta())
        qFatal("%s", qPrintable(r.error));
    FotoEvaluacion f = *r.foto;
    f.leyenda = leyenda;
    return f;
}

}  // namespace

class PruebaFotosCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString registro_;
    QVector<FotoEvaluacion> fotos_;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        const QString original = dir_.filePath(QStringLiteral("original.jpg"));
        FotosPrueba::EscribirConExif(original, 400, 300, 6);
        QVERIFY(FotosPrueba::Marcada(300, 200).save(dir_.filePath(QStringLiteral("otra.jpg")), "JPEG"));
        RegistroEvaluacion con = Registro({QStringLiteral("Con fotos"), {}, {}, {}, {}});
        con.fotos = {Preparada(original, QStringLiteral("Fachada principal")),
                     Preparada(dir_.filePath(QStringLiteral("otra.jpg")), QStringLiteral("Grieta en la columna, 2.º piso"))};
        RegistroEvaluacion sin = Registro({QStringLiteral("Sin fotos"), {}, {}, {}, {}});
        for (RegistroEvaluacion *r : {&con, &sin}) {  // open sea
            r->establecerCampo(Pos::Latitud, -10.4);
            r->establecerCampo(Pos::Longitud, -25.3);
        }
        QVector<RegistroEvaluacion> lote{con, sin};
        RegistroLocal(dir_.filePath(QStringLiteral("registro.sqlite"))).agregar(lote);
        registro_ = dir_.filePath(QStringLiteral("registro.sqlite"));
        fotos_ = lote.first().fotos;
    }

    void fotosDeUnaEvaluacion()
    {
        const QString carpeta = dir_.filePath(QStringLiteral("salida"));
        const Resultado r = Correr({QStringLiteral("--registro"), registro_, QStringLiteral("fotos"), QStringLiteral("1"),
                                    QStringLiteral("-o"), carpeta});
        QVERIFY2(r.codigo == 0, qPrintable(r.error));
        QCOMPARE(Leer(carpeta + QStringLiteral("/01-fachada-principal.jpg")), fotos_.at(0).jpeg);
        QCOMPARE(Leer(carpeta + QStringLiteral("/02-grieta-en-la-columna-2-o-piso.jpg")), fotos_.at(1).jpeg);
        const QList<QStringList> indice = Prueba::LeerCsvConPython(carpeta + QStringLiteral("/leyendas.csv"));
        QCOMPARE(indice.size(), 3);
        QCOMPARE(indice.at(1).at(2), QStringLiteral("Fachada principal"));
        QCOMPARE(indice.at(1).at(3), QStringLiteral("2026-12-04T10:00:00"));
        QCOMPARE(indice.at(1).at(4).toDouble(), -10.5);
        QCOMPARE(indice.at(2).at(4), QString());

        const Resultado sin = Correr({QStringLiteral("--registro"), registro_, QStringLiteral("fotos"), QStringLiteral("2"),
                                      QStringLiteral("-o"), dir_.filePath(QStringLiteral("vacia"))});
        QCOMPARE(sin.codigo, 0);
        QVERIFY(sin.error.contains(QStringLiteral("no tiene fotos")));
        QVERIFY(!QDir(dir_.filePath(QStringLiteral("vacia"))).exists());
        const Resultado nada = Correr({QStringLiteral("--registro"), registro_, QStringLiteral("fotos"),
                                       QStringLiteral("9"), QStringLiteral("-o"), carpeta});
        QVERIFY(nada.codigo != 0);
        QVERIFY2(nada.error.contains(QStringLiteral("N.º 9")), qPrintable(nada.error));
    }

    // The paths in the file are relative to its folder and lead to the
    // photos; an evaluation without photos has the columns empty.
    void exportarConFotos()
    {
        const QString salida = dir_.filePath(QStringLiteral("sig"));
        QVERIFY(QDir().mkpath(salida));
        const Resultado csv = Correr({QStringLiteral("--registro"), registro_, QStringLiteral("exportar"),
                                      QStringLiteral("-o"), salida + QStringLiteral("/evaluaciones.csv"),
                                      QStringLiteral("--fotos"), salida + QStringLiteral("/fotos")});
        QVERIFY2(csv.codigo == 0, qPrintable(csv.error));
        const QList<QStringList> filas = Prueba::LeerCsvConPython(salida + QStringLiteral("/evaluaciones.csv"));
        QCOMPARE(filas.size(), 3);
        const qsizetype foto = filas.at(0).indexOf(QStringLiteral("Foto"));
        const qsizetype todas = filas.at(0).indexOf(QStringLiteral("Fotos"));
        QVERIFY(foto > 0 && todas == foto + 1);
        QCOMPARE(filas.at(1).at(foto), QStringLiteral("fotos/1/01-fachada-principal.jpg"));
        const QStringList rutas = filas.at(1).at(todas).split(QLatin1Char(';'));
        QCOMPARE(rutas.size(), 2);
        QCOMPARE(Leer(salida + QLatin1Char('/') + rutas.at(1)), fotos_.at(1).jpeg);
        QCOMPARE(filas.at(2).at(foto), QString());

        QVERIFY(QDir(salida).mkpath(QStringLiteral("mapa")));
        const Resultado sig = Correr({QStringLiteral("--registro"), registro_, QStringLiteral("exportar"),
                                      QStringLiteral("--formato"), QStringLiteral("geojson"), QStringLiteral("-o"),
                                      salida + QStringLiteral("/mapa/evaluaciones.geojson"), QStringLiteral("--fotos"),
                                      salida + QStringLiteral("/fotos")});
        QVERIFY2(sig.codigo == 0, qPrintable(sig.error));
        const QJsonObject mapa = QJsonDocument::fromJson(Leer(salida + QStringLiteral("/mapa/evaluaciones.geojson"))).object();
        const QJsonObject propiedades =
            mapa.value(QStringLiteral("features")).toArray().at(0).toObject().value(QStringLiteral("properties")).toObject();
        QCOMPARE(propiedades.value(QStringLiteral("Foto")).toString(), QStringLiteral("../fotos/1/01-fachada-principal.jpg"));
        const QJsonObject segunda =
            mapa.value(QStringLiteral("features")).toArray().at(1).toObject().value(QStringLiteral("properties")).toObject();
        QVERIFY(segunda.value(QStringLiteral("Foto")).isNull());
    }

    // A line's photos, relative to the file's folder, stored with its
    // evaluation (upright, with the camera's date); the same file imported
    // again stores nothing twice; a missing photo refuses its line by name.
    void importarConFotos()
    {
        QTemporaryDir carpeta;
        QVERIFY(QDir(carpeta.path()).mkpath(QStringLiteral("fotos")));
        FotosPrueba::EscribirConExif(carpeta.filePath(QStringLiteral("fotos/123-fachada.jpg")), 400, 300, 6);
        QJsonObject linea = LineaImportar(Ejemplo::Identificacion());
        linea.insert(QStringLiteral("fotos"),
                     QJsonArray{QJsonObject{{"archivo", "fotos/123-fachada.jpg"}, {"leyenda", "Fachada"}}});
        QJsonObject falta = LineaImportar(Ejemplo::Identificacion());
        falta.insert(QStringLiteral("fotos"), QJsonArray{QJsonObject{{"archivo", "fotos/no-esta.jpg"}}});
        QJsonObject clave = LineaImportar(Ejemplo::Identificacion());
        clave.insert(QStringLiteral("fotos"), QJsonArray{QJsonObject{{"archivo", "fotos/123-fachada.jpg"}, {"titulo", "x"}}});
        QJsonObject noLista = LineaImportar(Ejemplo::Identificacion());
        noLista.insert(QStringLiteral("fotos"), QStringLiteral("fotos/123-fachada.jpg"));
        QFile f(carpeta.filePath(QStringLiteral("lote.jsonl")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Jsonl({linea, falta, clave, noLista}));
        f.close();
        const QString registro = carpeta.filePath(QStringLiteral("registro.sqlite"));
        for (int vez = 0; vez < 2; ++vez) {
            // From another folder: the paths start at the file's.
            const Resultado r = Correr({QStringLiteral("--registro"), registro, QStringLiteral("importar"), f.fileName()},
                                       {}, {}, dir_.path());
            QCOMPARE(r.codigo, 1);  // a line was refused
            const QList<QByteArray> respuestas = r.salida.trimmed().split('\n');
            QCOMPARE(respuestas.size(), 4);
            QCOMPARE(QJsonDocument::fromJson(respuestas.at(0)).object().value(QStringLiteral("numero")).toInt(), 1);
            const QString error = QString::fromUtf8(respuestas.at(1));
            QVERIFY2(error.contains(QStringLiteral("no-esta.jpg")), qPrintable(error));
            QVERIFY2(QString::fromUtf8(respuestas.at(2)).contains(QStringLiteral("no admite")),
                     respuestas.at(2).constData());
            QVERIFY2(QString::fromUtf8(respuestas.at(3)).contains(QStringLiteral("debe ser una lista")),
                     respuestas.at(3).constData());
        }
        RegistroLocal local(registro);
        QCOMPARE(local.contar({}), 1);
        const QVector<FotoEvaluacion> guardadas = local.fotos(1);
        QCOMPARE(guardadas.size(), 1);
        QCOMPARE(guardadas.first().leyenda, QStringLiteral("Fachada"));
        QCOMPARE(QSize(guardadas.first().ancho, guardadas.first().alto), QSize(300, 400));
        QCOMPARE(guardadas.first().tomadaEn, QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
    }
};

QTEST_MAIN(PruebaFotosCli)
#include "photos_cli_test.moc"
