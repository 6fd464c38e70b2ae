#pragma once
// FotoEvaluacion: one photo of the building kept with its evaluation, as the
// registry stores it (table "Fotos", RegistroEvaluaciones::ColumnasFotos):
// already prepared (upright, scaled, re-encoded as JPEG by
// photos/photo_preparation.h), with the date and position its camera wrote.
// Plain data: the stores, the outbox and the exports handle it without Qt Gui.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVector>
#include <optional>

struct FotoEvaluacion {
    // Made when the photo is prepared; a photo sent twice is stored once.
    QUuid uuid;
    // The evaluation's uuid (RegistroEvaluacion::uuid); the stores fill it
    // when they write the photo with its evaluation.
    QUuid evaluacion;
    // 1, 2, ... within the evaluation; the stores number photos written with
    // 0 after the evaluation's last one, in the order given.
    int orden = 0;
    QString leyenda;
    // When it was taken, as the camera wrote it (EXIF date, no time zone:
    // Qt::LocalTime with the clock's digits); invalid when the file had none.
    QDateTime tomadaEn;
    // Where it was taken (EXIF GPS, WGS 84 degrees, south and west negative).
    std::optional<double> latitud;
    std::optional<double> longitud;
    // Size of the stored JPEG in pixels (after turning it upright).
    int ancho = 0;
    int alto = 0;
    // SHA-256 of `jpeg`, 64 lower-case hexadecimal digits.
    QString sha256;
    // The JPEG bytes. Empty in lists (AlmacenRegistro::fotos): fetch them
    // with AlmacenRegistro::foto.
    QByteArray jpeg;
    // Size of the JPEG in bytes, also in lists without the bytes.
    qint64 bytes = 0;

    bool tienePosicion() const { return latitud.has_value() && longitud.has_value(); }
};

namespace Fotos {

// An evaluation keeps at most this many photos (removed ones do not count).
inline constexpr int MaximoPorEvaluacion = 30;
// The long side of a stored photo, unless the configuration says otherwise.
inline constexpr int LadoMayorPredeterminado = 2048;
// The JPEG quality of a stored photo.
inline constexpr int CalidadJpeg = 85;
// The column a photo's removal names in the table of corrections; the
// correction's former value is the photo's uuid (Fotos::TextoUuid), its new
// value empty.
inline const QString CampoCorreccion = QStringLiteral("Foto");

// SHA-256 of `datos` as 64 lower-case hexadecimal digits.
QString Sha256(const QByteArray &datos);
// A uuid as every table writes it: lower case, no braces.
QString TextoUuid(const QUuid &uuid);
// The date taken as the tables store it ("2026-12-04T10:00:00"), and back;
// empty text for an invalid date and the other way round.
QString TextoFecha(const QDateTime &fecha);
QDateTime FechaDeTexto(const QString &texto);

// Checks photos about to be written with an evaluation that already holds
// `guardadas` photos: at most MaximoPorEvaluacion in all, each with its
// JPEG bytes, a uuid and a hash that matches the bytes, no uuid twice.
// Fills the missing uuid and sha256 and the order of those with 0 (after
// `ultimoOrden`), and sets `evaluacion` and `bytes`. Throws ErrorDatos
// (core/data/record_set.h) with a Spanish message; `donde` names the file
// or server in it.
void Completar(QVector<FotoEvaluacion> &fotos, const QUuid &evaluacion, int guardadas, int ultimoOrden,
               const QString &donde);

}  // namespace Fotos
