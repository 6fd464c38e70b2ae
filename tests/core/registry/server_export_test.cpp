// Reading the central registry record by record (the CSV export of the
// registry window) when the connection is lost part of the way.

#include "core/registry/server_fixture.h"
#include "core/registry/sample_evaluation.h"
#include "support/test_support.h"

#include "core/exchange/csv_export.h"
#include "core/exchange/xlsx_export.h"
#include "core/registry/registry_summary.h"
#include "core/registry/record_builder.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>

namespace {

// The export's output; at its first write the evaluator's sessions on the
// server are ended, as a lost link ends them.
class SalidaQueCorta : public QBuffer {
public:
    explicit SalidaQueCorta(ServidorPrueba::Base b) : b_(std::move(b)) {}
    bool cortada = false;

protected:
    qint64 writeData(const char *datos, qint64 n) override
    {
        if (!cortada) {
            cortada = true;
            ServidorPrueba::Valor(b_.administrador,
                                  QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                                 "WHERE usename = '%1'")
                                      .arg(b_.evaluador.usuario));
        }
        return QBuffer::writeData(datos, n);
    }

private:
    ServidorPrueba::Base b_;
};

// The server's registry, whose link is lost once the first evaluation has
// been read back.
class RegistroQueCorta : public AlmacenRegistro {
public:
    RegistroQueCorta(RegistroServidor &servidor, ServidorPrueba::Base b) : servidor_(servidor), b_(std::move(b)) {}
    bool cortada = false;

    QString descripcion() const override { return servidor_.descripcion(); }
    void agregar(QVector<RegistroEvaluacion> &lote) override { servidor_.agregar(lote); }
    qint64 contar(const FiltroRegistro &filtro) override { return servidor_.contar(filtro); }
    QVector<RegistroEvaluacion> pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden, qint64 desde,
                                       int cuantos) override
    {
        return servidor_.pagina(filtro, orden, desde, cuantos);
    }
    std::optional<RegistroEvaluacion> porNumero(int32_t numero) override { return servidor_.porNumero(numero); }
    ResumenRegistro resumen(const FiltroRegistro &filtro) override { return servidor_.resumen(filtro); }
    void recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                  const std::function<bool(const RegistroEvaluacion &)> &cada) override
    {
        servidor_.recorrer(filtro, orden, [&](const RegistroEvaluacion &r) {
            if (!cortada) {
                cortada = true;
                ServidorPrueba::Valor(b_.administrador,
                                      QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                                     "WHERE usename = '%1'")
                                          .arg(b_.evaluador.usuario));
            }
            return cada(r);
        });
    }

private:
    RegistroServidor &servidor_;
    ServidorPrueba::Base b_;
};

}  // namespace

class PruebaExportarServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    // The connection ends after the first block of the CSV is written: the
    // export fails with a Spanish message instead of starting again, and
    // what it wrote holds each evaluation at most once.
    void conexionPerdidaAMitad()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        EstadoEvaluacion estado;
        Ejemplo::LlenarEstado(estado);
        const RegistroEvaluacion modelo = ConstruirRegistro(Ejemplo::Identificacion(), estado, Ejemplo::Datos());
        QVector<RegistroEvaluacion> lote(20000, modelo);
        RegistroServidor servidor(b.evaluador);
        servidor.agregar(lote);

        SalidaQueCorta salida(b);
        QVERIFY(salida.open(QIODevice::WriteOnly));
        QString error;
        try {
            ExportarCsv(servidor, FiltroRegistro{}, salida);
        } catch (const ErrorDatos &e) {
            error = e.mensaje();
        }
        QVERIFY(salida.cortada);
        QSet<QByteArray> numeros;
        const QList<QByteArray> filas = salida.data().split('\n');
        for (qsizetype i = 1; i < filas.size(); ++i) {
            const QByteArray numero = filas.at(i).left(filas.at(i).indexOf(','));
            if (numero.isEmpty())
                continue;
            QVERIFY2(!numeros.contains(numero), numero.constData());
            numeros.insert(numero);
        }
        QVERIFY2(error.contains(QStringLiteral("se perdió la conexión")), qPrintable(error));
        QVERIFY(numeros.size() < 20000);

        // The workbook: the same loss ends it with the server named, no
        // workbook, and the earlier file of that name as it was.
        RegistroServidor otra(b.evaluador);
        RegistroQueCorta cortada(otra, b);
        QTemporaryDir carpeta;
        const QString libro = carpeta.filePath(QStringLiteral("registro.xlsx"));
        {
            QFile f(libro);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("anterior") == 8);
        }
        error.clear();
        try {
            ExportarXlsx(cortada, FiltroRegistro{}, libro);
        } catch (const ErrorDatos &e) {
            error = e.mensaje();
        }
        QVERIFY(cortada.cortada);
        QVERIFY2(error.contains(QStringLiteral("se perdió la conexión")) && error.contains(QStringLiteral("servidor")),
                 qPrintable(error));
        QFile f(libro);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("anterior"));
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("registro.xlsx")});
    }
};

QTEST_GUILESS_MAIN(PruebaExportarServidor)
#include "server_export_test.moc"
