// The registry window's item model on its own, watched by Qt's
// QAbstractItemModelTester while it is filled, filtered, sorted, read
// across more pages than it keeps and reloaded with new records; and a
// store that fails while the view reads.

#include "core/registry/local_registry.h"
#include "gui/registry/registry_model.h"
#include "reports/sample_records.h"
#include "support/gui_test_support.h"

#include <QAbstractItemModelTester>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

using namespace RegistroEvaluaciones;

namespace {

// n evaluations in barrios "Norte" (every third) and "Sur", habitabilities
// in turn, one a minute from 1 December 2026.
QVector<RegistroEvaluacion> Lote(int n)
{
    QVector<RegistroEvaluacion> lote;
    for (int i = 0; i < n; ++i) {
        RegistroEvaluacion r = EjemploDocumentos::Registro(0, i % 4);
        r.establecerCampo(Pos::Barrio, i % 3 == 0 ? QStringLiteral("Norte") : QStringLiteral("Sur"));
        r.establecerCampo(Pos::Fecha,
                          QDateTime(QDate(2026, 12, 1), QTime(8, 0)).addSecs(60 * i).toString(Qt::ISODate));
        lote << r;
    }
    return lote;
}

// Every number the model shows, row by row (reads every page).
QList<int> Numeros(const ModeloRegistro &m)
{
    QList<int> n;
    for (int fila = 0; fila < m.rowCount(); ++fila)
        n << m.index(fila, 0).data().toInt();
    return n;
}

}  // namespace

class PruebaModeloRegistro : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;

private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }

    // Filled from a store of more pages than the model keeps, then searched,
    // sorted by every column both ways and reloaded: the tester finds nothing
    // wrong, every row is a stored evaluation, none twice, in the order asked.
    void recorreFiltraOrdenaYRecarga()
    {
        const QString archivo = carpeta.filePath(QStringLiteral("modelo.sqlite"));
        RegistroLocal almacen(archivo);
        QVector<RegistroEvaluacion> lote = Lote(1500);
        almacen.agregar(lote);

        ModeloRegistro modelo;
        QAbstractItemModelTester tester(&modelo, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(modelo.rowCount(), 0);  // no store yet
        modelo.establecerAlmacen(&almacen);
        QCOMPARE(modelo.rowCount(), 1500);
        QCOMPARE(modelo.columnCount(), ModeloRegistro::Columnas().size());

        QList<int> todos = Numeros(modelo);
        QCOMPARE(todos.first(), 1500);  // newest first
        QCOMPARE(todos.last(), 1);
        QCOMPARE(std::set<int>(todos.begin(), todos.end()).size(), size_t(1500));

        FiltroRegistro filtro;
        filtro.texto = QStringLiteral("norte");
        modelo.establecerFiltro(filtro);
        QCOMPARE(modelo.rowCount(), 500);
        for (int n : Numeros(modelo))
            QVERIFY2(n % 3 == 1, qPrintable(QString::number(n)));  // the first of every three

        for (int columna = 0; columna < modelo.columnCount(); ++columna) {
            for (Qt::SortOrder orden : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                modelo.sort(columna, orden);
                QCOMPARE(modelo.rowCount(), 500);
                QStringList textos;
                QList<int> numeros;
                for (int fila = 0; fila < modelo.rowCount(); ++fila) {
                    numeros << modelo.index(fila, 0).data().toInt();
                    textos << modelo.index(fila, columna).data().toString();
                }
                QCOMPARE(std::set<int>(numeros.begin(), numeros.end()).size(), size_t(500));
                if (columna == 0) {
                    QCOMPARE(numeros.first(), orden == Qt::AscendingOrder ? 1 : 1498);
                    QVERIFY(std::is_sorted(numeros.begin(), numeros.end(),
                                           [&](int a, int b) { return orden == Qt::AscendingOrder ? a < b : a > b; }));
                }
                if (columna == 1) {  // one a minute: the date orders as the number
                    QCOMPARE(numeros.first(), orden == Qt::AscendingOrder ? 1 : 1498);
                }
            }
        }

        // New records show after a reload, at their place in the order.
        modelo.sort(0, Qt::DescendingOrder);
        QVector<RegistroEvaluacion> mas = Lote(3);
        almacen.agregar(mas);
        QCOMPARE(modelo.rowCount(), 500);
        QSignalSpy total(&modelo, &ModeloRegistro::totalCambiado);
        modelo.recargar();
        QCOMPARE(modelo.rowCount(), 501);  // 1501 is in "Norte"
        QCOMPARE(modelo.index(0, 0).data().toInt(), 1501);
        QVERIFY(!total.isEmpty());
        QCOMPARE(total.last().first().toLongLong(), 501);
    }

    // A table dropped by another program while the view reads pages it has
    // not read yet: one Spanish message naming the table and the file, and
    // the model stays consistent for the tester.
    void almacenQueFalla()
    {
        const QString archivo = carpeta.filePath(QStringLiteral("falla.sqlite"));
        RegistroLocal almacen(archivo);
        QVector<RegistroEvaluacion> lote = Lote(350);
        almacen.agregar(lote);

        ModeloRegistro modelo;
        QAbstractItemModelTester tester(&modelo, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy fallos(&modelo, &ModeloRegistro::fallo);
        modelo.establecerAlmacen(&almacen);
        QCOMPARE(modelo.rowCount(), 350);
        QCOMPARE(modelo.index(0, 0).data().toInt(), 350);

        {
            QSqlDatabase otro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro programa"));
            otro.setDatabaseName(archivo);
            QVERIFY(otro.open());
            QSqlQuery q(otro);
            QVERIFY(q.exec(QStringLiteral("DROP TABLE Evaluaciones")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("otro programa"));
        for (int fila = 0; fila < modelo.rowCount(); ++fila)
            modelo.index(fila, 3).data();
        QCOMPARE(fallos.size(), 1);
        const QString m = fallos.first().first().toString();
        QVERIFY2(m.contains(QStringLiteral("\"Evaluaciones\"")) && m.contains(QStringLiteral("falla.sqlite")),
                 qPrintable(m));
        QVERIFY(!modelo.registro(349));
    }
};

QTEST_MAIN(PruebaModeloRegistro)
#include "registry_model_test.moc"
