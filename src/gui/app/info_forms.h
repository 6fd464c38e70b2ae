#pragma once
// The informational forms of the main menu: the backdrop (Form4), the scope
// (Form6), the acknowledgements (Form3) and the about box (frmAbout).

#include <QDialog>
#include <QWidget>

// An empty window behind the menu. Closing it ends the program (the menu
// connects to cerrando()).
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget *padre = nullptr);

signals:
    void cerrando();

protected:
    void closeEvent(QCloseEvent *evento) override;
};

class Form6 : public QDialog {
    Q_OBJECT
public:
    explicit Form6(QWidget *padre = nullptr);
};

class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget *padre = nullptr);
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *padre = nullptr);
    // "Versión 1.0.0   Agosto de 2003" for version 1.0.0.
    static QString LineaVersion(int mayor, int menor, int revision);
};

// A simple drawing of a building used on the menu and the about box.
QPixmap DibujoEdificio(int ancho, int alto, bool danado);
