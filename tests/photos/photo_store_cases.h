#pragma once
// The photos kept with their evaluations, the same cases for the registry
// file and the central registry: each takes an empty registry and real
// photos prepared from JPEGs with EXIF.

#include "core/registry/correction_cases.h"
#include "photos/photo_preparation.h"
#include "test_photos.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace CasosFotos {

using namespace RegistroEvaluaciones;

// `n` prepared photos: the first stored 400 × 300 with EXIF orientation 6,
// date and position; the others plain, of sizes that tell them apart.
inline QVector<FotoEvaluacion> Preparadas(int n)
{
    QTemporaryDir dir;
    QVector<FotoEvaluacion> fotos;
    OpcionesFoto o;
    o.ladoMayor = 320;
    for (int i = 0; i < n; ++i) {
        const QString archivo = dir.filePath(QStringLiteral("foto%1.jpg").arg(i));
        if (i == 0)
            FotosPrueba::EscribirConExif(archivo, 400, 300, 6);
        else
            FotosPrueba::Marcada(200 + i, 100).save(archivo, "JPEG");
        const ResultadoFoto r = PreparacionFotos::Preparar(archivo, o);
        if (!r.correcta())
            qFatal("%s", qPrintable(r.error));
        FotoEvaluacion f = *r.foto;
        f.leyenda = i == 0 ? QStringLiteral("Fachada") : QStringLiteral("Detalle %1").arg(i);
        fotos << f;
    }
    return fotos;
}

inline QImage Imagen(const QByteArray &jpeg)
{
    QBuffer b;
    b.setData(jpeg);
    b.open(QIODevice::ReadOnly);
    QImageReader r(&b, "jpeg");
    r.setAutoTransform(false);
    return r.read();
}

// Saved with its evaluation and read back: the list without bytes, each
// photo fetched with them, upright, with its size, date and position; the
// registry's records and pages carry no photos; sent again, stored once.
inline void GuardaYLee(AlmacenRegistro &registro)
{
    RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
    r.fotos = Preparadas(3);
    const RegistroEvaluacion original = r;
    const int32_t numero = registro.agregar(r);
    QVERIFY(numero > 0);
    const QVector<FotoEvaluacion> lista = registro.fotos(numero);
    QCOMPARE(lista.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const FotoEvaluacion &f = lista.at(i);
        QCOMPARE(f.orden, i + 1);
        QCOMPARE(f.uuid, original.fotos.at(i).uuid);
        QCOMPARE(f.evaluacion, r.uuid);
        QCOMPARE(f.leyenda, original.fotos.at(i).leyenda);
        QVERIFY(f.jpeg.isEmpty());
        QCOMPARE(f.bytes, qint64(original.fotos.at(i).jpeg.size()));
        const std::optional<FotoEvaluacion> entera = registro.foto(f.uuid);
        QVERIFY(entera);
        QCOMPARE(entera->jpeg, original.fotos.at(i).jpeg);
        QCOMPARE(Fotos::Sha256(entera->jpeg), f.sha256);
    }
    const FotoEvaluacion primera = *registro.foto(lista.first().uuid);
    const QImage imagen = Imagen(primera.jpeg);
    QCOMPARE(imagen.size(), QSize(240, 320));
    QCOMPARE(QSize(primera.ancho, primera.alto), QSize(240, 320));
    QCOMPARE(FotosPrueba::EsquinaRoja(imagen), 1);
    QCOMPARE(primera.tomadaEn, QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
    QVERIFY(primera.tienePosicion());
    QVERIFY(qAbs(*primera.latitud + 10.5) < 1e-9 && qAbs(*primera.longitud + 25.25) < 1e-9);
    QVERIFY(!lista.at(1).tienePosicion() && !lista.at(1).tomadaEn.isValid());

    QVERIFY(registro.porNumero(numero)->fotos.isEmpty());
    QVERIFY(registro.pagina({}, {}, 0, 10).first().fotos.isEmpty());

    RegistroEvaluacion otraVez = r;  // sealed: the same uuid, the same photos
    QCOMPARE(registro.agregar(otraVez), numero);
    QCOMPARE(registro.contar({}), 1);
    QCOMPARE(registro.fotos(numero).size(), 3);
    QVERIFY(!registro.foto(QUuid::createUuid()));
}

// A batch with one bad photo leaves neither its records nor their photos;
// a uuid held with another photo is refused the same way.
inline void NadaAMedias(AlmacenRegistro &registro)
{
    RegistroEvaluacion buena = CasosCorreccion::Evaluacion("10", "2026-12-04 11:00", "Habitable");
    buena.fotos = Preparadas(2);
    RegistroEvaluacion mala = CasosCorreccion::Evaluacion("12", "2026-12-04 11:30", "Habitable");
    mala.fotos = Preparadas(1);
    mala.fotos[0].sha256 = Fotos::Sha256("otra cosa");
    QVector<RegistroEvaluacion> lote{buena, mala};
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.agregar(lote));
    QCOMPARE(registro.contar({}), 0);
    QVERIFY(!registro.foto(buena.fotos.at(0).uuid));

    RegistroEvaluacion primera = CasosCorreccion::Evaluacion("14", "2026-12-04 12:00", "Habitable");
    primera.fotos = Preparadas(1);
    const int32_t numero = registro.agregar(primera);
    RegistroEvaluacion ajena = CasosCorreccion::Evaluacion("16", "2026-12-04 12:30", "Habitable");
    ajena.fotos = Preparadas(2);
    ajena.fotos[1].uuid = primera.fotos.at(0).uuid;  // the same uuid, another photo
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.agregar(ajena));
    QCOMPARE(registro.contar({}), 1);
    QVERIFY(!registro.foto(ajena.fotos.at(0).uuid));
    QCOMPARE(registro.fotos(numero).size(), 1);

    RegistroEvaluacion demasiadas = CasosCorreccion::Evaluacion("18", "2026-12-04 13:00", "Habitable");
    demasiadas.fotos = QVector<FotoEvaluacion>(Fotos::MaximoPorEvaluacion + 1, primera.fotos.at(0));
    for (FotoEvaluacion &f : demasiadas.fotos)
        f.uuid = QUuid::createUuid();
    try {
        registro.agregar(demasiadas);
        QFAIL("se guardaron 31 fotos");
    } catch (const ErrorDatos &e) {
        QVERIFY2(e.mensaje().contains(QStringLiteral("30 fotos")), qPrintable(e.mensaje()));
    }
    QCOMPARE(registro.contar({}), 1);
}

// Photos added to a saved evaluation follow its last one, up to the limit;
// a photo removed with its reason is a correction, no longer shown, and
// its place is not given again.
inline void AgregaYQuita(AlmacenRegistro &registro)
{
    RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
    r.fotos = Preparadas(2);
    const int32_t numero = registro.agregar(r);
    QVector<FotoEvaluacion> mas = Preparadas(2);
    mas[1].leyenda = QStringLiteral("Grieta en la columna");
    registro.agregarFotos(numero, mas);
    QCOMPARE(mas.at(0).orden, 3);
    QCOMPARE(mas.at(1).orden, 4);
    QVector<FotoEvaluacion> lista = registro.fotos(numero);
    QCOMPARE(lista.size(), 4);
    QCOMPARE(lista.last().leyenda, QStringLiteral("Grieta en la columna"));

    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.quitarFoto(lista.at(1).uuid, QStringLiteral("  ")));
    registro.quitarFoto(lista.at(1).uuid, QStringLiteral("Foto de otra edificación"));
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.quitarFoto(lista.at(1).uuid, QStringLiteral("otra vez")));
    QVERIFY(!registro.foto(lista.at(1).uuid));
    const QVector<FotoEvaluacion> quedan = registro.fotos(numero);
    QCOMPARE(quedan.size(), 3);
    QCOMPARE(quedan.at(1).uuid, lista.at(2).uuid);
    const QVector<Correccion> correcciones = registro.correcciones(numero);
    QCOMPARE(correcciones.size(), 1);
    QCOMPARE(correcciones.first().columna, Fotos::CampoCorreccion);
    QCOMPARE(correcciones.first().anterior, Fotos::TextoUuid(lista.at(1).uuid));
    QCOMPARE(correcciones.first().motivo, QStringLiteral("Foto de otra edificación"));

    QVector<FotoEvaluacion> otra = Preparadas(1);
    registro.agregarFotos(numero, otra);
    QCOMPARE(otra.first().orden, 5);

    // 4 shown: 26 more fit, 27 do not, and nothing is written.
    QVector<FotoEvaluacion> muchas(Fotos::MaximoPorEvaluacion - 3, otra.first());
    for (FotoEvaluacion &f : muchas) {
        f.uuid = QUuid();
        f.orden = 0;
    }
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.agregarFotos(numero, muchas));
    QCOMPARE(registro.fotos(numero).size(), 4);
    muchas.removeLast();
    registro.agregarFotos(numero, muchas);
    QCOMPARE(registro.fotos(numero).size(), Fotos::MaximoPorEvaluacion);

    QVector<FotoEvaluacion> sinEvaluacion = Preparadas(1);
    QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.agregarFotos(numero + 100, sinEvaluacion));
}

}  // namespace CasosFotos
