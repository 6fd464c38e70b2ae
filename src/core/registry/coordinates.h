#pragma once
// The building's position as the evaluator types it: latitude and longitude
// in decimal degrees (WGS 84), both or neither.

#include <QString>
#include <optional>

struct Coordenadas {
    std::optional<double> Latitud;
    std::optional<double> Longitud;
    // Empty when both texts are usable; otherwise the Spanish message that
    // tells the evaluator what to mend (the values are then unset).
    QString error;
};

// Reads the two boxes. Blanks around a number are ignored; a comma or a
// point is the decimal mark ("-12,3741" and "-12.3741" are the same); a sign may
// lead. Both empty gives no position; one empty, a text that is not a
// number, a latitude outside -90..90 or a longitude outside -180..180 gives
// an error.
Coordenadas LeerCoordenadas(const QString &latitud, const QString &longitud);
