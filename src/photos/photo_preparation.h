#pragma once
// Preparing a photo of the building before it is stored with its
// evaluation: the file is read whole, refused when it is no image, empty,
// truncated or too large to decode safely, decoded (scaled down while
// decoding when the format allows), turned upright by its EXIF orientation,
// scaled so that its long side is at most OpcionesFoto::ladoMayor, and
// encoded as JPEG. The original's EXIF date and GPS position are read with
// Exiv2 and kept in the result's fields.
//
// Every function here may run on any thread (QImage, never a widget); the
// EXIF reading is serialised inside. PrepararFotos runs the files on a pool
// of worker threads sized so that a batch of camera photos stays within a
// few hundred megabytes.

#include "core/registry/photo.h"

#include <QFuture>
#include <QImage>
#include <QString>
#include <QStringList>

struct OpcionesFoto {
    // Long side of the stored photo in pixels.
    int ladoMayor = Fotos::LadoMayorPredeterminado;
    // JPEG quality, 0..100.
    int calidad = Fotos::CalidadJpeg;
    // A file whose header announces more pixels than this is refused before
    // decoding (a decompression bomb); 200 megapixels.
    qint64 maximoPixeles = 200LL * 1000 * 1000;
    // A file larger than this is refused before it is read.
    qint64 maximoBytes = 256LL * 1024 * 1024;
};

// The outcome of one file: the prepared photo, or the Spanish message that
// names the file.
struct ResultadoFoto {
    QString archivo;
    std::optional<FotoEvaluacion> foto;  // uuid made, orden 0, leyenda empty
    QString error;
    bool correcta() const { return foto.has_value(); }
};

namespace PreparacionFotos {

// The options this installation uses: the long side from the settings
// (organisation "Quenbria", application "ORV", key "fotos/lado_mayor",
// 640 to 8192 pixels; otherwise Fotos::LadoMayorPredeterminado).
OpcionesFoto OpcionesConfiguradas();

// The formats read here, as QImageReader names them ("jpeg", "png", ...):
// those of the Qt image plugins installed on this machine.
QStringList FormatosAdmitidos();
// A name filter for a file dialog: "Imágenes (*.jpg *.jpeg *.png ...)".
QString FiltroArchivos();

// Prepares the photo in file `archivo`. Never throws: a refused file gives
// a ResultadoFoto with `error` set.
ResultadoFoto Preparar(const QString &archivo, const OpcionesFoto &opciones = {});
// The same for bytes already read; `nombre` names them in messages.
ResultadoFoto PrepararDatos(const QByteArray &datos, const QString &nombre, const OpcionesFoto &opciones = {});

// Prepares `archivos` on worker threads. The future's results are one per
// file in the same order (QFuture::results or resultAt(i)); its progress
// runs from 0 to archivos.size(), for a QFutureWatcher and a progress bar.
// Cancelling it skips the files not yet started.
QFuture<ResultadoFoto> PrepararEnHilos(const QStringList &archivos, const OpcionesFoto &opciones = {});

// A stored photo's JPEG decoded at most `lado` pixels on its long side, for
// thumbnails and printed pages: the decoder scales while it decodes, so a
// thumbnail of a 2048-pixel photo costs a fraction of decoding it whole. A
// null image when the bytes are no image. Any thread.
QImage Miniatura(const QByteArray &jpeg, int lado);

}  // namespace PreparacionFotos
