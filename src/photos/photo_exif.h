#pragma once
// What a photo's EXIF says about how to show it and where and when it was
// taken, read with Exiv2. Serialised inside: callable from any thread.

#include <QByteArray>
#include <QDateTime>
#include <optional>

struct DatosExif {
    // EXIF orientation 1..8 (1: as stored).
    int orientacion = 1;
    // DateTimeOriginal (else DateTimeDigitized, else DateTime), no time zone.
    QDateTime tomadaEn;
    std::optional<double> latitud;
    std::optional<double> longitud;
};

// The EXIF of an image file's bytes; defaults when it has none or it cannot
// be read (a photo without metadata is still a photo).
DatosExif LeerExif(const QByteArray &datos);
