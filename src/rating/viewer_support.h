#pragma once
// Pieces the two photo viewers share.

#include <QString>
#include <cstdint>

class CuadroFoto;
class QLabel;
class QWidget;
class QVBoxLayout;

namespace VisorFotos {
// The title strip: bold, large, light text on a dark background, so that
// every level colour stays readable.
QLabel *CrearTitulo(const QString &texto, QWidget *padre);
// The photo area: the picture box and, in its place, "NO HAY FOTOS DISPONIBLES".
QWidget *CrearAreaFoto(QWidget *padre, CuadroFoto **imgFotos, QLabel **lblNoHay);
// The description label: wrapped text, selectable, with a fixed reading width.
QLabel *CrearDescripcion(QWidget *padre);
// Converts a count read from the photo database into a usable count.
int16_t CuentaFotos(double valor);
}  // namespace VisorFotos
