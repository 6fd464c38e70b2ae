#pragma once
// Test photos: JPEGs with a red mark in the stored top-left corner, so that
// turning them upright can be seen, and real EXIF written into them by the
// exiv2 command-line tool.

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace FotosPrueba {

// A w × h photo, blue, with a red quarter at the top left as stored.
inline QImage Marcada(int w, int h)
{
    QImage imagen(w, h, QImage::Format_RGB32);
    imagen.fill(QColor(20, 40, 200));
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x)
            imagen.setPixel(x, y, qRgb(220, 20, 20));
    return imagen;
}

inline bool EsRojo(QRgb c) { return qRed(c) > 150 && qBlue(c) < 100; }

// Which corner of `imagen` is red: 0 top left, 1 top right, 2 bottom right,
// 3 bottom left; -1 when none or more than one is.
inline int EsquinaRoja(const QImage &imagen)
{
    const int w = imagen.width(), h = imagen.height();
    const QRgb c[4] = {imagen.pixel(w / 8, h / 8), imagen.pixel(w - 1 - w / 8, h / 8),
                       imagen.pixel(w - 1 - w / 8, h - 1 - h / 8), imagen.pixel(w / 8, h - 1 - h / 8)};
    int roja = -1;
    for (int i = 0; i < 4; ++i)
        if (EsRojo(c[i])) {
            if (roja != -1)
                return -1;
            roja = i;
        }
    return roja;
}

// Runs exiv2 with `ordenes` (each "set Exif.… value") on `archivo`.
inline void PonerExif(const QString &archivo, const QStringList &ordenes)
{
    const QString exiv2 = QStandardPaths::findExecutable(QStringLiteral("exiv2"));
    QVERIFY2(!exiv2.isEmpty(), "falta la herramienta exiv2 (./dev la instala)");
    QStringList argumentos;
    for (const QString &o : ordenes)
        argumentos << QStringLiteral("-M") + o;
    argumentos << QStringLiteral("mo") << archivo;
    QProcess p;
    p.start(exiv2, argumentos);
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == 0, qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
}

// A marked JPEG of w × h with EXIF orientation `orientacion`, taken on
// 2026-12-04 at 10:00 at 10°30′ S, 25°15′ W (open sea).
inline void EscribirConExif(const QString &archivo, int w, int h, int orientacion)
{
    QVERIFY(Marcada(w, h).save(archivo, "JPEG", 92));
    PonerExif(archivo, {QStringLiteral("set Exif.Image.Orientation %1").arg(orientacion),
                        QStringLiteral("set Exif.Photo.DateTimeOriginal 2026:12:04 10:00:00"),
                        QStringLiteral("set Exif.GPSInfo.GPSLatitude 10/1 30/1 0/1"),
                        QStringLiteral("set Exif.GPSInfo.GPSLatitudeRef S"),
                        QStringLiteral("set Exif.GPSInfo.GPSLongitude 25/1 15/1 0/1"),
                        QStringLiteral("set Exif.GPSInfo.GPSLongitudeRef W")});
}

}  // namespace FotosPrueba
