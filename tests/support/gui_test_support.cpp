#include "support/gui_test_support.h"

#include "gui/common/message_box.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QtTest>

namespace Prueba {

namespace {
bool atendido = false;
}

void PrepararFormularios()
{
    Preparar();
    Mensaje::activarModoPrueba(true);
    Mensaje::limpiar();
    Mensaje::alInesperado([](const QString &d) { QTest::qFail(qPrintable(d), __FILE__, __LINE__); });
}

void Teclear(QWidget *control, const QString &texto)
{
    for (const QChar c : texto) {
        if (c.unicode() < 128 && c.isPrint()) {
            QTest::keyClick(control, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void AlAbrirseModal(std::function<void(QWidget *)> accion, int limiteMs)
{
    atendido = false;
    QPointer<QWidget> previo = QApplication::activeModalWidget();
    auto *temporizador = new QTimer;
    temporizador->setInterval(10);
    QElapsedTimer reloj;
    reloj.start();
    QObject::connect(temporizador, &QTimer::timeout, temporizador, [=]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != previo && modal->isVisible()) {
            temporizador->stop();
            temporizador->deleteLater();
            atendido = true;
            accion(modal);
            return;
        }
        if (reloj.elapsed() > limiteMs) {
            temporizador->stop();
            temporizador->deleteLater();
        }
    });
    temporizador->start();
}

bool ModalAtendido() { return atendido; }

QString NombreAccesible(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QStringLiteral("(sin interfaz)");
}

QStringList RotulosAccesibles(QWidget *w)
{
    QStringList rotulos;
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    if (!i)
        return rotulos;
    for (const auto &[otro, relacion] : i->relations(QAccessible::Label))
        if (otro && otro->object())
            rotulos << otro->object()->objectName();
    return rotulos;
}

QStringList RecorridoConTab(int limite)
{
    QStringList recorrido;
    QWidget *inicio = QApplication::focusWidget();
    for (int i = 0; i < limite && inicio; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        recorrido << w->objectName() + QStringLiteral(": ") + NombreAccesible(w);
        if (w == inicio)
            break;
    }
    return recorrido;
}

}  // namespace Prueba

void Prueba::ElegirArchivoAlGuardar(const QString &archivo)
{
    AlAbrirseModal([archivo](QWidget *w) {
        auto *d = qobject_cast<QFileDialog *>(w);
        QVERIFY2(d, qPrintable(w->objectName()));
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
        QTest::qWait(50);
        auto *nombre = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(nombre);
        nombre->setText(archivo);
        QMetaObject::invokeMethod(d, "accept");
    });
}

