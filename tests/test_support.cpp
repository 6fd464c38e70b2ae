#include "test_support.h"

#include "app/message_box.h"
#include "data/data_paths.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtTest>

namespace Prueba {

namespace {
bool atendido = false;
}

void Preparar()
{
    QLocale::setDefault(QLocale::c());
    Mensaje::activarModoPrueba(true);
    Mensaje::limpiar();
    Mensaje::alInesperado([](const QString &d) { QTest::qFail(qPrintable(d), __FILE__, __LINE__); });
    RutasDatos::establecerCarpetaInstalacion(QStringLiteral(ORV_TEST_DATA_DIR));
    static QTemporaryDir carpeta;
    RutasDatos::establecerArchivoRegistro(carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite")));
}

QString CarpetaDatos() { return QStringLiteral(ORV_TEST_DATA_DIR); }

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

QByteArray Prueba::Ejecutar(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qWarning("%s falló: %s", qPrintable(programa), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

QList<QStringList> Prueba::LeerCsvConPython(const QString &archivo)
{
    const QByteArray json = Ejecutar(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import csv, json, sys\n"
                        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                        "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
         archivo});
    QList<QStringList> filas;
    for (const QJsonValue &fila : QJsonDocument::fromJson(json).array()) {
        QStringList campos;
        for (const QJsonValue &c : fila.toArray())
            campos << c.toString();
        filas << campos;
    }
    return filas;
}
