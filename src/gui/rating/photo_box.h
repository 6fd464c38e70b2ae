#pragma once
// The picture box of the photo viewers: shows one picture scaled to fit the
// box without distorting it, centred on a neutral background.

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

class CuadroFoto : public QWidget {
    Q_OBJECT
public:
    explicit CuadroFoto(QWidget *padre = nullptr);

    // Reads the file; false (and an empty box) when it is missing or not a picture.
    bool cargar(const QString &ruta);
    void vaciar();

    const QString &ruta() const { return ruta_; }
    const QImage &imagen() const { return imagen_; }
    // Where the picture is drawn inside the box (empty when there is none).
    QRect areaImagen() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    QString ruta_;
    QImage imagen_;
    QPixmap escalada_;
};
