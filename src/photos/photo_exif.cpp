#include "photos/photo_exif.h"

#include <QMutex>
#include <QString>
#include <cmath>
#include <exception>

// Exiv2 0.27 still declares std::auto_ptr in its interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

QMutex &Cerrojo()
{
    static QMutex cerrojo;
    return cerrojo;
}

const Exiv2::Exifdatum *Buscar(const Exiv2::ExifData &exif, const char *clave)
{
    const auto it = exif.findKey(Exiv2::ExifKey(clave));
    if (it == exif.end() || it->count() == 0)
        return nullptr;
    return &*it;
}

QDateTime Fecha(const Exiv2::ExifData &exif)
{
    for (const char *clave : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"}) {
        const Exiv2::Exifdatum *d = Buscar(exif, clave);
        if (!d)
            continue;
        const QString texto = QString::fromStdString(d->toString()).trimmed();
        QDateTime fecha = QDateTime::fromString(texto.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        if (fecha.isValid())
            return fecha;
    }
    return QDateTime();
}

// Degrees from the three rationals (degrees, minutes, seconds) and the
// reference letter that gives the sign.
std::optional<double> Grados(const Exiv2::ExifData &exif, const char *clave, const char *claveRef, char negativo,
                             double limite)
{
    const Exiv2::Exifdatum *d = Buscar(exif, clave);
    const Exiv2::Exifdatum *ref = Buscar(exif, claveRef);
    if (!d || !ref || d->count() < 1)
        return std::nullopt;
    double grados = 0, divisor = 1;
    for (long i = 0; i < std::min<long>(3, d->count()); ++i) {
        const Exiv2::Rational r = d->toRational(i);
        if (r.second == 0)
            return std::nullopt;
        grados += double(r.first) / double(r.second) / divisor;
        divisor *= 60;
    }
    const std::string letra = ref->toString();
    if (!letra.empty() && (letra[0] == negativo || letra[0] == negativo + ('a' - 'A')))
        grados = -grados;
    if (!std::isfinite(grados) || std::fabs(grados) > limite)
        return std::nullopt;
    return grados;
}

}  // namespace

DatosExif LeerExif(const QByteArray &datos)
{
    DatosExif resultado;
    if (datos.isEmpty())
        return resultado;
    QMutexLocker bloqueo(&Cerrojo());
    static const bool silencio = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    Q_UNUSED(silencio);
    try {
        Exiv2::Image::AutoPtr imagen =
            Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte *>(datos.constData()), long(datos.size()));
        if (!imagen.get())
            return resultado;
        imagen->readMetadata();
        const Exiv2::ExifData &exif = imagen->exifData();
        if (exif.empty())
            return resultado;
        if (const Exiv2::Exifdatum *o = Buscar(exif, "Exif.Image.Orientation")) {
            const long valor = o->toLong();
            if (valor >= 1 && valor <= 8)
                resultado.orientacion = int(valor);
        }
        resultado.tomadaEn = Fecha(exif);
        const auto latitud = Grados(exif, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", 'S', 90);
        const auto longitud = Grados(exif, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", 'W', 180);
        if (latitud && longitud) {
            resultado.latitud = latitud;
            resultado.longitud = longitud;
        }
    } catch (const Exiv2::AnyError &) {
        return DatosExif();
    } catch (const std::exception &) {
        return DatosExif();
    }
    return resultado;
}
#pragma GCC diagnostic pop
