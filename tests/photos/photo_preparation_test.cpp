// Preparing photos: upright by their EXIF orientation, scaled, re-encoded,
// their EXIF date and position kept; every kind of bad file refused with a
// message that names it, the other photos of the same batch kept.

#include "photos/photo_preparation.h"
#include "support/test_support.h"
#include "test_photos.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSettings>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace FotosPrueba;

namespace {

QImage Decodificar(const QByteArray &jpeg)
{
    QBuffer b;
    b.setData(jpeg);
    b.open(QIODevice::ReadOnly);
    QImageReader r(&b, "jpeg");
    r.setAutoTransform(false);
    return r.read();
}

quint32 Crc32(const QByteArray &datos)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : datos) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray Trozo(const char *tipo, const QByteArray &contenido)
{
    QByteArray t;
    QDataStream s(&t, QIODevice::WriteOnly);
    s << quint32(contenido.size());
    const QByteArray cuerpo = QByteArray(tipo) + contenido;
    t += cuerpo;
    QDataStream s2(&t, QIODevice::Append);
    s2 << Crc32(cuerpo);
    return t;
}

// A PNG whose header says 30 000 × 30 000 pixels: decoded, 3.6 GB.
QByteArray PngGigante()
{
    QByteArray ihdr;
    QDataStream s(&ihdr, QIODevice::WriteOnly);
    s << quint32(30000) << quint32(30000) << quint8(8) << quint8(2) << quint8(0) << quint8(0) << quint8(0);
    QByteArray filas = qCompress(QByteArray(30000 * 3 + 1, '\0'));
    filas.remove(0, 4);  // qCompress's length prefix; the rest is a zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Trozo("IHDR", ihdr) + Trozo("IDAT", filas) + Trozo("IEND", {});
}

void Escribir(const QString &archivo, const QByteArray &datos)
{
    QFile f(archivo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(datos), datos.size());
}

}  // namespace

class PruebaPreparacionFotos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    // Stored 400 × 300 with the mark at the top left; the red corner and the
    // size after turning it as each orientation says.
    void enderezaEscalaYConservaExif_data()
    {
        QTest::addColumn<int>("orientacion");
        QTest::addColumn<QSize>("tamanno");
        QTest::addColumn<int>("esquina");
        QTest::newRow("1 tal cual") << 1 << QSize(200, 150) << 0;
        QTest::newRow("3 girada 180°") << 3 << QSize(200, 150) << 2;
        QTest::newRow("6 girada 90° horario") << 6 << QSize(150, 200) << 1;
        QTest::newRow("8 girada 90° antihorario") << 8 << QSize(150, 200) << 3;
        QTest::newRow("2 espejada") << 2 << QSize(200, 150) << 1;
        QTest::newRow("5 transpuesta") << 5 << QSize(150, 200) << 0;
    }
    void enderezaEscalaYConservaExif()
    {
        QFETCH(int, orientacion);
        QFETCH(QSize, tamanno);
        QFETCH(int, esquina);
        QTemporaryDir dir;
        const QString archivo = dir.filePath(QStringLiteral("foto.jpg"));
        EscribirConExif(archivo, 400, 300, orientacion);
        OpcionesFoto o;
        o.ladoMayor = 200;
        const ResultadoFoto r = PreparacionFotos::Preparar(archivo, o);
        QVERIFY2(r.correcta(), qPrintable(r.error));
        const FotoEvaluacion &f = *r.foto;
        QVERIFY(!f.uuid.isNull());
        QCOMPARE(QSize(f.ancho, f.alto), tamanno);
        QCOMPARE(f.sha256, Fotos::Sha256(f.jpeg));
        QCOMPARE(f.bytes, qint64(f.jpeg.size()));
        const QImage guardada = Decodificar(f.jpeg);
        QCOMPARE(guardada.size(), tamanno);
        QCOMPARE(EsquinaRoja(guardada), esquina);
        QCOMPARE(f.tomadaEn, QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        QVERIFY(f.tienePosicion());
        QVERIFY(qAbs(*f.latitud - -10.5) < 1e-9);
        QVERIFY(qAbs(*f.longitud - -25.25) < 1e-9);
    }

    // A large photo keeps its proportions with its long side at the limit;
    // a small one keeps its size; a PNG with transparency becomes an opaque
    // JPEG; a photo without EXIF has no date and no position.
    void tamannosYFormatos()
    {
        QTemporaryDir dir;
        const QString grande = dir.filePath(QStringLiteral("grande.jpg"));
        QVERIFY(Marcada(3000, 1200).save(grande, "JPEG", 90));
        ResultadoFoto r = PreparacionFotos::Preparar(grande);
        QVERIFY2(r.correcta(), qPrintable(r.error));
        QCOMPARE(QSize(r.foto->ancho, r.foto->alto), QSize(2048, 819));
        QCOMPARE(Decodificar(r.foto->jpeg).size(), QSize(2048, 819));
        QCOMPARE(EsquinaRoja(Decodificar(r.foto->jpeg)), 0);
        QVERIFY(!r.foto->tomadaEn.isValid());
        QVERIFY(!r.foto->latitud && !r.foto->longitud);

        const QString chica = dir.filePath(QStringLiteral("chica.png"));
        QImage transparente(300, 200, QImage::Format_ARGB32);
        transparente.fill(Qt::transparent);
        QVERIFY(transparente.save(chica, "PNG"));
        r = PreparacionFotos::Preparar(chica);
        QVERIFY2(r.correcta(), qPrintable(r.error));
        const QImage opaca = Decodificar(r.foto->jpeg);
        QCOMPARE(opaca.size(), QSize(300, 200));
        QVERIFY(qGray(opaca.pixel(150, 100)) > 240);  // transparent shows white

        // The long side an installation chose in its settings; one out of
        // range leaves the usual 2048.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        for (const auto &[ajuste, lado] : {std::pair{1024, 1024}, std::pair{100, 2048}}) {
            QSettings(QStringLiteral("Quenbria"), QStringLiteral("ORV")).setValue(QStringLiteral("fotos/lado_mayor"), ajuste);
            r = PreparacionFotos::Preparar(grande, PreparacionFotos::OpcionesConfiguradas());
            QVERIFY2(r.correcta(), qPrintable(r.error));
            QCOMPARE(r.foto->ancho, lado);
        }
        qunsetenv("XDG_CONFIG_HOME");

        QVERIFY(PreparacionFotos::FormatosAdmitidos().contains(QStringLiteral("jpeg")));
        QVERIFY(PreparacionFotos::FormatosAdmitidos().contains(QStringLiteral("png")));
        QVERIFY(PreparacionFotos::FiltroArchivos().contains(QStringLiteral("*.png")));
    }

    // Each bad file is refused with a message that names it and says why;
    // the good photos of the same batch are prepared all the same, each
    // result in the place of its file.
    void archivosMalos_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QByteArray>("datos");
        QTest::addColumn<QString>("motivo");
        QByteArray jpeg;
        {
            QBuffer b(&jpeg);
            b.open(QIODevice::WriteOnly);
            QVERIFY(Marcada(640, 480).save(&b, "JPEG", 90));
        }
        QTest::newRow("no es imagen") << "informe.jpg" << QByteArray("Acta de la comisión, 555 0100\n") << "no es una imagen";
        QTest::newRow("JPEG cortado") << "cortada.jpg" << jpeg.left(jpeg.size() / 2) << "incompleta";
        QTest::newRow("vacío") << "vacia.jpg" << QByteArray() << "vacío";
        QTest::newRow("bomba PNG") << "bomba.png" << PngGigante() << "30000 × 30000";
    }
    void archivosMalos()
    {
        QFETCH(QString, nombre);
        QFETCH(QByteArray, datos);
        QFETCH(QString, motivo);
        QTemporaryDir dir;
        const QString malo = dir.filePath(nombre);
        Escribir(malo, datos);
        const QString buena1 = dir.filePath(QStringLiteral("buena1.jpg"));
        const QString buena2 = dir.filePath(QStringLiteral("buena2.jpg"));
        QVERIFY(Marcada(320, 240).save(buena1, "JPEG"));
        QVERIFY(Marcada(240, 320).save(buena2, "JPEG"));
        QFuture<ResultadoFoto> futuro = PreparacionFotos::PrepararEnHilos({buena1, malo, buena2});
        futuro.waitForFinished();
        const QList<ResultadoFoto> r = futuro.results();
        QCOMPARE(r.size(), 3);
        QCOMPARE(futuro.progressValue(), 3);
        QVERIFY2(r[0].correcta() && r[2].correcta(), qPrintable(r[0].error + r[2].error));
        QCOMPARE(r[0].archivo, buena1);
        QCOMPARE(QSize(r[2].foto->ancho, r[2].foto->alto), QSize(240, 320));
        QVERIFY(!r[1].correcta());
        QCOMPARE(r[1].archivo, malo);
        QVERIFY2(r[1].error.contains(QStringLiteral("«%1»").arg(nombre)), qPrintable(r[1].error));
        QVERIFY2(r[1].error.contains(motivo), qPrintable(r[1].error));
    }

    // Thumbnails keep the proportions and the upright picture, from any
    // thread; bytes that are no image give none.
    void miniaturas()
    {
        QTemporaryDir dir;
        const QString archivo = dir.filePath(QStringLiteral("girada.jpg"));
        EscribirConExif(archivo, 400, 300, 8);
        const ResultadoFoto r = PreparacionFotos::Preparar(archivo);
        QVERIFY(r.correcta());
        QFuture<QImage> enHilo = QtConcurrent::run([&] { return PreparacionFotos::Miniatura(r.foto->jpeg, 100); });
        const QImage m = enHilo.result();
        QCOMPARE(m.size(), QSize(75, 100));
        QCOMPARE(EsquinaRoja(m), 3);
        QCOMPARE(PreparacionFotos::Miniatura(r.foto->jpeg, 1000).size(), QSize(300, 400));
        QVERIFY(PreparacionFotos::Miniatura("no es una imagen", 100).isNull());
    }

    // A file chosen and then gone (deleted, moved, its disk taken out) before
    // it is read; and the same photo given twice is two photos.
    void archivoQueDesaparece()
    {
        QTemporaryDir dir;
        const QString archivo = dir.filePath(QStringLiteral("desaparece.jpg"));
        QVERIFY(Marcada(200, 100).save(archivo, "JPEG"));
        const ResultadoFoto antes = PreparacionFotos::Preparar(archivo);
        QVERIFY(antes.correcta());
        QVERIFY(QFile::remove(archivo));
        const ResultadoFoto r = PreparacionFotos::Preparar(archivo);
        QVERIFY(!r.correcta());
        QVERIFY2(r.error.contains(QStringLiteral("«desaparece.jpg»")) && r.error.contains(QStringLiteral("ya no está")),
                 qPrintable(r.error));
        const ResultadoFoto otra = PreparacionFotos::PrepararDatos(antes.foto->jpeg, archivo);
        QVERIFY(otra.correcta());
        QVERIFY(otra.foto->uuid != antes.foto->uuid);
    }
};

QTEST_GUILESS_MAIN(PruebaPreparacionFotos)
#include "photo_preparation_test.moc"
