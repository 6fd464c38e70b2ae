// "Guardar" into the central registry when something fails after the
// evaluation reached the outbox: the evaluator reads saved and pending,
// and the evaluation is on the server once.

#include "gui/saving/form_driver.h"
#include "core/registry/server_fixture.h"
#include "support/gui_test_support.h"

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/outbox.h"
#include "core/registry/registry_config.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

using Mensaje::Respuesta;

namespace {

// Makes every removal from the outbox `archivo` fail as a full disk makes it fail.
void BorradoImposible(const QString &archivo, bool imposible)
{
    const QString nombre = QStringLiteral("prueba-bandeja");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setDatabaseName(archivo);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(imposible ? QStringLiteral("CREATE TRIGGER sin_espacio BEFORE DELETE ON \"Pendientes\" BEGIN "
                                                  "SELECT RAISE(FAIL, 'database or disk is full'); END")
                                 : QStringLiteral("DROP TRIGGER sin_espacio")));
    }
    QSqlDatabase::removeDatabase(nombre);
}

}  // namespace

class PruebaGuardarServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        ClaveRegistro::usarAlmacenDeClaves(false);
    }
    void cleanup()
    {
        QCOMPARE(Mensaje::respuestasPendientes(), 0);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join(QLatin1Char('\n'))));
    }

    // The server commits the evaluation, then removing it from the outbox
    // fails: "Guardar" reads saved and pending, the form closes, and the
    // next send leaves one record on the server and an empty outbox. The
    // same evaluation saved again under the form's identity is not a
    // second record either.
    void borradoFallido()
    {
        const ServidorPrueba::Base b = ServidorPrueba::Nueva();
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        QTemporaryDir carpeta;
        RutasDatos::establecerArchivoRegistro(carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite")));
        const QString archivoBandeja = BandejaSalida::archivoPara(RutasDatos::archivoRegistro());
        BandejaSalida(archivoBandeja).cantidad();
        BorradoImposible(archivoBandeja, true);

        EstadoEvaluacion estado;
        Ejemplo::LlenarEstado(estado);
        const DatosEdificacion datos = Ejemplo::Datos();
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        Conducir::Llenar(&forma, Ejemplo::Identificacion());
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);  // the confirmation
        Mensaje::encolarRespuesta(Respuesta::Aceptar);  // the outcome
        Conducir::Guardar(&forma);
        const QStringList mensajes = Mensaje::textosMostrados();
        QCOMPARE(mensajes.size(), 2);
        QVERIFY2(!mensajes.at(1).contains(TextosRegistro::NoGuardada) && mensajes.at(1).endsWith(TextosBandeja::QuedaPendiente),
                 qPrintable(mensajes.at(1)));
        QVERIFY(!forma.isVisible());
        QCOMPARE(forma.result(), int(QDialog::Accepted));
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 1);
        QCOMPARE(BandejaSalida(archivoBandeja).cantidad(), 1);

        // Saved again with one identity while the outbox still cannot shrink.
        const QUuid uuid = QUuid::createUuid();
        for (int vez = 0; vez < 2; ++vez) {
            IdentificacionEvaluacion id = Ejemplo::Identificacion();
            id.txtNombre = QStringLiteral("Casa Repetida");
            Mensaje::limpiar();
            Mensaje::encolarRespuesta(Respuesta::Si);  // a new inspection of the building saved above
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            QVERIFY(GuardarEvaluacion(nullptr, id, estado, datos, {}, uuid));
            QVERIFY2(Mensaje::textosMostrados().first().startsWith(QStringLiteral("Esta edificación ya tiene")),
                     qPrintable(Mensaje::textosMostrados().first()));
            QVERIFY2(Mensaje::textosMostrados().last().endsWith(TextosBandeja::QuedaPendiente),
                     qPrintable(Mensaje::textosMostrados().last()));
        }
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador, QStringLiteral("\"NombreEdificacion\" = 'Casa Repetida'")), 1);

        // The disk has room again: the next send empties the outbox, and
        // nothing is stored twice.
        BorradoImposible(archivoBandeja, false);
        RegistroConfigurado registro = AbrirRegistroConfigurado();
        const ResultadoEnvio envio = registro.enviarPendientes();
        QVERIFY2(envio.error.isEmpty(), qPrintable(envio.error));
        QCOMPARE(envio.pendientes, 0);
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 2);
        QCOMPARE(ServidorPrueba::Huecos(b.evaluador, 2), QString());
    }
};

QTEST_MAIN(PruebaGuardarServidor)
#include "record_writer_server_test.moc"
