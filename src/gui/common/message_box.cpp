#include "gui/common/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace Mensaje {

namespace {
struct Prueba {
    bool activo = false;
    QList<Respuesta> cola;
    QList<Mostrado> mostrados;
    QStringList inesperados;
    std::function<void(const QString &)> manejador;
    std::function<void(const Mostrado &)> observador;
};
Prueba &prueba()
{
    static Prueba p;
    return p;
}

Respuesta respuestaPorDefecto(Botones b)
{
    switch (b) {
    case Botones::Aceptar: return Respuesta::Aceptar;
    case Botones::AceptarCancelar: return Respuesta::Cancelar;
    case Botones::SiNo: return Respuesta::No;
    }
    return Respuesta::Cancelar;
}
}  // namespace

QString textoEnPantalla(const QString &texto)
{
    QString t = texto;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

Respuesta mostrar(QWidget *padre, const QString &texto, Botones botones, const QString &titulo)
{
    Prueba &p = prueba();
    if (p.activo) {
        p.mostrados.append({texto, titulo, botones});
        if (p.observador)
            p.observador(p.mostrados.last());
        if (p.cola.isEmpty()) {
            const QString d = QStringLiteral("Mensaje inesperado: \"%1\"").arg(texto);
            p.inesperados << d;
            if (p.manejador)
                p.manejador(d);
            return respuestaPorDefecto(botones);
        }
        return p.cola.takeFirst();
    }

    QMessageBox caja(padre);
    caja.setWindowTitle(titulo);
    caja.setText(textoEnPantalla(texto));
    caja.setIcon(QMessageBox::NoIcon);
    caja.setTextFormat(Qt::PlainText);
    QPushButton *si = nullptr, *no = nullptr, *aceptar = nullptr, *cancelar = nullptr;
    switch (botones) {
    case Botones::Aceptar:
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        caja.setEscapeButton(aceptar);
        break;
    case Botones::AceptarCancelar:
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        caja.setEscapeButton(cancelar);
        break;
    case Botones::SiNo:
        si = caja.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        caja.setEscapeButton(no);
        break;
    }
    caja.exec();
    QAbstractButton *pulsado = caja.clickedButton();
    if (pulsado && pulsado == si)
        return Respuesta::Si;
    if (pulsado && pulsado == aceptar)
        return Respuesta::Aceptar;
    if (botones == Botones::SiNo)
        return Respuesta::No;
    (void)no;
    (void)cancelar;
    return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::Cancelar;
}

void activarModoPrueba(bool activo) { prueba().activo = activo; }
bool modoPrueba() { return prueba().activo; }
void encolarRespuesta(Respuesta r) { prueba().cola.append(r); }
int respuestasPendientes() { return prueba().cola.size(); }
QList<Mostrado> mostrados() { return prueba().mostrados; }
QStringList textosMostrados()
{
    QStringList t;
    for (const Mostrado &m : prueba().mostrados)
        t << m.texto;
    return t;
}
void limpiar()
{
    Prueba &p = prueba();
    p.cola.clear();
    p.mostrados.clear();
    p.inesperados.clear();
    p.observador = nullptr;
}
void alInesperado(std::function<void(const QString &)> manejador) { prueba().manejador = std::move(manejador); }
QStringList inesperados() { return prueba().inesperados; }
void alMostrar(std::function<void(const Mostrado &)> observador) { prueba().observador = std::move(observador); }

}  // namespace Mensaje
