#pragma once
// PanelFotos: pieces the two photo viewers share.

#include <QString>
#include <cstdint>
#include <functional>

class CuadroFoto;
class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace VisorFotos {
// The frame of a viewer: the dialog's name, title and margins, the group box
// frmDanno with the title strip lblDanno on top and the body row under it.
struct Marco {
    QWidget *frmDanno = nullptr;
    QLabel *lblDanno = nullptr;
    QBoxLayout *contenido = nullptr;  // the column inside frmDanno
    QHBoxLayout *cuerpo = nullptr;    // the body row: the viewer's own side, then the photos
};
Marco CrearMarco(QDialog *visor, const QString &nombre, const QString &tituloMarco, const QString &nombreMarco,
                 const QString &titulo);
// The title strip: bold, large, light text on a dark background, so that
// every level colour stays readable.
QLabel *CrearTitulo(const QString &texto, QWidget *padre);
// The description label: wrapped text, selectable, with a fixed reading width.
QLabel *CrearDescripcion(QWidget *padre);
// Converts a count read from the photo database into a usable count.
int16_t CuentaFotos(double valor);

// Path of photo i (1..) of what the viewer shows.
using RutaDeFoto = std::function<QString(int)>;

// The photo side of a viewer: the picture box and, in its place, "NO HAY
// FOTOS DISPONIBLES"; "Siguiente Foto" under them and "Aceptar" at the foot.
class PanelFotos {
public:
    // Appends the photo column to the body row and the "Aceptar" row under
    // it; "Aceptar" closes `visor` as accepted. The viewer connects
    // "Siguiente Foto" (btnMasFotos) itself.
    void Construir(QDialog *visor, const Marco &marco);

    // Shows photo 1 of `cuenta` and returns its path, with "Siguiente Foto"
    // enabled; with no photos, the notice, the button disabled and an empty path.
    QString Empezar(int cuenta, const RutaDeFoto &ruta);
    // "Siguiente Foto": the photo after `actual`; after the last comes photo 1.
    void Siguiente(int &actual, int cuenta, const RutaDeFoto &ruta);

    QPushButton *btnMasFotos() const { return btnMasFotos_; }
    QPushButton *Command1() const { return Command1_; }

private:
    void Cargar(const QString &ruta);
    void SinFotos();

    CuadroFoto *imgFotos_ = nullptr;
    QLabel *lblNoHay_ = nullptr;
    QPushButton *btnMasFotos_ = nullptr;
    QPushButton *Command1_ = nullptr;
};
}  // namespace VisorFotos
