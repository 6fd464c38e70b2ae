#include "photos/photo_preparation.h"

#include "photos/photo_exif.h"

#include <QBuffer>
#include <QSettings>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QTransform>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace {

// The pool the photos are prepared on: a decoded camera photo takes some
// 50 MB, so no more than three at once, whatever the machine.
QThreadPool &Hilos()
{
    static QThreadPool *hilos = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 3));
        p->setExpiryTimeout(5000);
        return p;
    }();
    return *hilos;
}

// No image may make QImageReader allocate more than this, whatever its
// header says (the pixel limit refuses earlier, with a clearer message).
void LimitarMemoria()
{
    static const bool hecho = [] {
        QImageReader::setAllocationLimit(320);
        return true;
    }();
    Q_UNUSED(hecho);
}

ResultadoFoto Error(const QString &nombre, const QString &que)
{
    ResultadoFoto r;
    r.archivo = nombre;
    r.error = QStringLiteral("La foto «%1» no se agregó: %2.").arg(QFileInfo(nombre).fileName(), que);
    return r;
}

// A JPEG whose last scan is not followed by its end marker was cut short:
// the decoder would fill the missing part with grey without a complaint.
bool JpegCompleto(const QByteArray &datos)
{
    const qsizetype fin = datos.lastIndexOf(QByteArrayView("\xFF\xD9", 2));
    const qsizetype barrido = datos.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return fin > barrido && barrido >= 0;
}

// The image turned as EXIF orientation `o` says, so that it shows upright.
QImage Enderezar(QImage imagen, int o)
{
    switch (o) {
    case 2: return imagen.mirrored(true, false);
    case 3: return imagen.mirrored(true, true);
    case 4: return imagen.mirrored(false, true);
    case 5: return imagen.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return imagen.transformed(QTransform().rotate(90));
    case 7: return imagen.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8: return imagen.transformed(QTransform().rotate(270));
    default: return imagen;
    }
}

}  // namespace

namespace PreparacionFotos {

QStringList FormatosAdmitidos()
{
    QStringList formatos;
    for (const QByteArray &f : QImageReader::supportedImageFormats())
        formatos << QString::fromLatin1(f).toLower();
    formatos.removeDuplicates();
    formatos.sort();
    return formatos;
}

QString FiltroArchivos()
{
    QStringList patrones;
    for (const QString &f : FormatosAdmitidos())
        patrones << QStringLiteral("*.") + f << QStringLiteral("*.") + f.toUpper();
    return QStringLiteral("Imágenes (%1)").arg(patrones.join(QLatin1Char(' ')));
}

ResultadoFoto PrepararDatos(const QByteArray &datos, const QString &nombre, const OpcionesFoto &opciones)
{
    LimitarMemoria();
    if (datos.isEmpty())
        return Error(nombre, QStringLiteral("el archivo está vacío"));
    QByteArray copia = datos;  // shares the bytes; QBuffer wants a non-const array
    QBuffer entrada(&copia);
    entrada.open(QIODevice::ReadOnly);
    QImageReader lector(&entrada);
    lector.setDecideFormatFromContent(true);
    lector.setAutoTransform(false);
    if (!lector.canRead())
        return Error(nombre, QStringLiteral("no es una imagen o su formato no se admite (se admiten: %1)")
                                 .arg(FormatosAdmitidos().join(QStringLiteral(", "))));
    const QByteArray formato = lector.format().toLower();
    const QSize tamanno = lector.size();
    if (!tamanno.isValid() || tamanno.isEmpty())
        return Error(nombre, QStringLiteral("la imagen está dañada: no se puede leer su tamaño"));
    const qint64 pixeles = qint64(tamanno.width()) * tamanno.height();
    if (pixeles > opciones.maximoPixeles)
        return Error(nombre, QStringLiteral("la imagen mide %1 × %2 píxeles, más de los %3 megapíxeles que se admiten; "
                                            "redúzcala antes de agregarla")
                                 .arg(tamanno.width())
                                 .arg(tamanno.height())
                                 .arg(opciones.maximoPixeles / 1000000));
    if ((formato == "jpeg" || formato == "jpg") && !JpegCompleto(datos))
        return Error(nombre, QStringLiteral("la imagen JPEG está incompleta (el archivo está cortado)"));

    const DatosExif exif = LeerExif(datos);

    // Scaled while decoding when the format can (JPEG decodes at a fraction
    // of its size), then to the exact size.
    const int lado = std::max(1, opciones.ladoMayor);
    QSize objetivo = tamanno;
    if (std::max(tamanno.width(), tamanno.height()) > lado)
        objetivo = tamanno.scaled(lado, lado, Qt::KeepAspectRatio);
    if (objetivo != tamanno && lector.supportsOption(QImageIOHandler::ScaledSize)) {
        lector.setScaledSize(objetivo);
        lector.setQuality(100);  // smooth scaling after the decoder's own
    }
    QImage imagen;
    if (!lector.read(&imagen) || imagen.isNull())
        return Error(nombre, QStringLiteral("la imagen está dañada o incompleta (%1)").arg(lector.errorString()));
    entrada.close();
    if (imagen.size() != objetivo)
        imagen = imagen.scaled(objetivo, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    imagen = Enderezar(std::move(imagen), exif.orientacion);
    if (imagen.hasAlphaChannel()) {
        // JPEG has no transparency: what was transparent shows white.
        QImage opaca(imagen.size(), QImage::Format_RGB32);
        opaca.fill(Qt::white);
        QPainter pintor(&opaca);
        pintor.drawImage(0, 0, imagen);
        pintor.end();
        imagen = std::move(opaca);
    } else if (imagen.format() != QImage::Format_RGB32 && imagen.format() != QImage::Format_RGB888 &&
               imagen.format() != QImage::Format_Grayscale8) {
        imagen = imagen.convertToFormat(QImage::Format_RGB32);
    }

    QByteArray jpeg;
    {
        QBuffer salida(&jpeg);
        salida.open(QIODevice::WriteOnly);
        QImageWriter escritor(&salida, "jpeg");
        escritor.setQuality(std::clamp(opciones.calidad, 0, 100));
        if (!escritor.write(imagen))
            return Error(nombre, QStringLiteral("no se pudo convertir a JPEG (%1)").arg(escritor.errorString()));
    }
    ResultadoFoto r;
    r.archivo = nombre;
    FotoEvaluacion f;
    f.uuid = QUuid::createUuid();
    f.ancho = imagen.width();
    f.alto = imagen.height();
    imagen = QImage();
    f.sha256 = Fotos::Sha256(jpeg);
    f.bytes = jpeg.size();
    f.jpeg = std::move(jpeg);
    f.tomadaEn = exif.tomadaEn;
    f.latitud = exif.latitud;
    f.longitud = exif.longitud;
    r.foto = std::move(f);
    return r;
}

ResultadoFoto Preparar(const QString &archivo, const OpcionesFoto &opciones)
{
    const QFileInfo info(archivo);
    if (!info.exists())
        return Error(archivo, QStringLiteral("el archivo ya no está (se borró, se movió o se desconectó su disco)"));
    if (info.isDir())
        return Error(archivo, QStringLiteral("es una carpeta, no un archivo"));
    if (info.size() > opciones.maximoBytes)
        return Error(archivo, QStringLiteral("el archivo ocupa %1 MB, más de los %2 MB que se admiten")
                                  .arg(info.size() / (1024 * 1024))
                                  .arg(opciones.maximoBytes / (1024 * 1024)));
    QFile archivoFoto(archivo);
    if (!archivoFoto.open(QIODevice::ReadOnly))
        return Error(archivo, QStringLiteral("no se puede abrir el archivo (%1)").arg(archivoFoto.errorString()));
    const qint64 esperado = archivoFoto.size();
    QByteArray datos = archivoFoto.read(std::min(esperado, opciones.maximoBytes) + 1);
    const bool fallo = archivoFoto.error() != QFileDevice::NoError;
    const QString detalle = archivoFoto.errorString();
    archivoFoto.close();
    if (fallo)
        return Error(archivo, QStringLiteral("no se pudo leer el archivo entero (%1); ¿se borró o se desconectó su "
                                             "disco mientras se leía?")
                                  .arg(detalle));
    if (datos.size() != esperado || !QFileInfo::exists(archivo))
        return Error(archivo, QStringLiteral("el archivo cambió o desapareció mientras se leía; vuelva a agregarlo"));
    return PrepararDatos(datos, archivo, opciones);
}

OpcionesFoto OpcionesConfiguradas()
{
    OpcionesFoto o;
    const QSettings ajustes(QStringLiteral("Quenbria"), QStringLiteral("ORV"));
    bool ok = false;
    const int lado = ajustes.value(QStringLiteral("fotos/lado_mayor")).toInt(&ok);
    if (ok && lado >= 640 && lado <= 8192)
        o.ladoMayor = lado;
    return o;
}

QImage Miniatura(const QByteArray &jpeg, int lado)
{
    LimitarMemoria();
    QByteArray copia = jpeg;
    QBuffer entrada(&copia);
    entrada.open(QIODevice::ReadOnly);
    QImageReader lector(&entrada);
    lector.setAutoTransform(false);  // stored upright
    const QSize tamanno = lector.size();
    if (!tamanno.isValid() || tamanno.isEmpty())
        return QImage();
    lado = std::max(1, lado);
    if (std::max(tamanno.width(), tamanno.height()) > lado)
        lector.setScaledSize(tamanno.scaled(lado, lado, Qt::KeepAspectRatio));
    QImage imagen;
    if (!lector.read(&imagen))
        return QImage();
    return imagen;
}

QFuture<ResultadoFoto> PrepararEnHilos(const QStringList &archivos, const OpcionesFoto &opciones)
{
    return QtConcurrent::mapped(&Hilos(), archivos,
                                [opciones](const QString &archivo) { return Preparar(archivo, opciones); });
}

}  // namespace PreparacionFotos
