// Corrections on the central registry: the cases every registry shares,
// and who may correct what: an evaluator only what their own login stored,
// a supervisor anything, nobody by writing the tables directly; and
// corrections typed while the server is away, which wait in the outbox and
// are stored once each.

#include "core/registry/building_key.h"
#include "core/registry/correction_cases.h"
#include "core/registry/server_fixture.h"
#include "core/registry/registry_config.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

class PruebaCorreccionesServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    void mueveDeEdificacion()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosCorreccion::CorregirMueveDeEdificacion(registro, b.evaluador.usuario);
    }

    void rechazos()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosCorreccion::RechazosSinCambios(registro);
    }

    void quienCorrige()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const ConexionServidor otro =
            ServidorPrueba::NuevoEvaluador(b.administrador, b.evaluador.usuario + QStringLiteral("_otro"), QStringLiteral("o"));
        ConexionServidor supervisor = b.evaluador;
        supervisor.usuario += QStringLiteral("_sup");
        supervisor.clave = QStringLiteral("s");
        QCOMPARE(ServidorPrueba::Ejecutar(b.administrador, QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 's' IN ROLE "
                                                                          "orv_supervisor")
                                                               .arg(supervisor.usuario)),
                 QString());
        RegistroServidor mio(b.evaluador), suyo(otro), central(supervisor);
        RegistroEvaluacion propia = CasosCorreccion::Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable");
        RegistroEvaluacion ajena = CasosCorreccion::Evaluacion("14-02", "2026-12-01T11:00:00", "Habitable");
        QCOMPARE(mio.agregar(propia), 1);
        QCOMPARE(suyo.agregar(ajena), 2);

        const QString m = CasosCorreccion::Rechazo([&] {
            mio.corregir(2, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio equivocado"));
        });
        QVERIFY2(m.contains(QStringLiteral("solo puede corregir las evaluaciones que guardó")) && m.contains(otro.usuario)
                     && m.contains(QStringLiteral("Correcciones")),
                 qPrintable(m));
        QVERIFY(central.correcciones(2).isEmpty());
        QCOMPARE(central.porNumero(2)->texto(Pos::Barrio), QStringLiteral("San Martín"));

        // Nobody writes the tables but through the function.
        for (const ConexionServidor &c : {b.evaluador, supervisor})
            for (const char *sql : {"UPDATE orv.\"Evaluaciones\" SET \"Barrio\" = 'El Prado'",
                                    "UPDATE orv.\"Evaluaciones\" SET clave_edificacion = 'x'",
                                    "INSERT INTO orv.\"Correcciones\" (\"NumeroEvaluacion\", uuid, \"Campo\", "
                                    "\"Motivo\", \"Usuario\") SELECT 1, uuid, 'Barrio', 'm', 'nadie' FROM "
                                    "orv.\"Evaluaciones\" LIMIT 1",
                                    "DELETE FROM orv.\"Correcciones\"", "UPDATE orv.\"Correcciones\" SET \"Motivo\" = ''"}) {
                const QString e = ServidorPrueba::Ejecutar(c, QString::fromUtf8(sql));
                QVERIFY2(e.startsWith(QStringLiteral("42501")), qPrintable(c.usuario + ": " + QString::fromUtf8(sql) + " -> " + e));
            }
        // The function checks by itself what the program checks before.
        const QString campo = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Habitabilidad', 'Habitable', 'm', NULL, NULL, NULL)"));
        QVERIFY2(campo.startsWith(QStringLiteral("ORV02")), qPrintable(campo));
        const QString motivo = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Barrio', 'El Prado', ' ', NULL, NULL, NULL)"));
        QVERIFY2(motivo.startsWith(QStringLiteral("ORV03")), qPrintable(motivo));
        // A key computed from a plot and address the row no longer has.
        const QString vieja = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Barrio', 'El Prado', 'm', 'direccion:x', "
                                        "'otra base', NULL)"));
        QVERIFY2(vieja.startsWith(QStringLiteral("ORV06")), qPrintable(vieja));
        QVERIFY(mio.correcciones(1).isEmpty());

        central.corregir(2, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio equivocado"));
        mio.corregir(1, QStringLiteral("Evaluador"), QStringLiteral("Ing. Laura Pérez"), QStringLiteral("Nombre completo"));
        // Through the program the key's base is the row's: the barrio moves it.
        const QString antes = mio.claveDe(1);
        mio.corregir(1, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio equivocado"));
        QVERIFY(mio.claveDe(1) != antes);
        QCOMPARE(mio.claveDe(1), ClaveEdificacion::De(*mio.porNumero(1)));
        QCOMPARE(mio.porNumero(2)->texto(Pos::Barrio), QStringLiteral("El Prado"));
        QCOMPARE(mio.correcciones(2).value(0).usuario, supervisor.usuario);
        QCOMPARE(mio.correcciones(1).value(0).usuario, b.evaluador.usuario);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador, QStringLiteral("usuario_servidor = '%1'").arg(otro.usuario)), 1);

        // The laptop that sent the evaluation before it was corrected sends
        // it again (its answer was lost): stored once, with its number.
        QCOMPARE(suyo.agregar(ajena), 2);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 2);
        QCOMPARE(mio.porNumero(2)->texto(Pos::Barrio), QStringLiteral("El Prado"));
    }

    // With the server away, a correction of a saved evaluation and one of
    // an evaluation still in the outbox both wait on the laptop; when the
    // server is back each arrives once, the second after its evaluation.
    // One sent again (its answer was lost) is not stored twice, and one the
    // server refuses is set aside with its message, not lost nor retried.
    void porLaBandeja()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const QString archivo = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        ConfiguracionRegistro conServidor;
        conServidor.servidor = true;
        conServidor.conexion = b.evaluador;
        ConfiguracionRegistro sinServidor = conServidor;
        sinServidor.conexion.puerto = 1;

        RegistroConfigurado presente = AbrirRegistro(conServidor, archivo);
        RegistroEvaluacion guardada = CasosCorreccion::Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable");
        QCOMPARE(presente.guardar(guardada).numero, 1);
        const ConexionServidor otro =
            ServidorPrueba::NuevoEvaluador(b.administrador, b.evaluador.usuario + QStringLiteral("_otro"), QStringLiteral("o"));
        RegistroEvaluacion ajena = CasosCorreccion::Evaluacion("14-02", "2026-12-01T11:00:00", "Habitable");
        QCOMPARE(RegistroServidor(otro).agregar(ajena), 2);

        RegistroEvaluacion nueva = CasosCorreccion::Evaluacion("16-40", "2026-12-02T09:00:00", "No Habitable");
        {
            RegistroConfigurado ausente = AbrirRegistro(sinServidor, archivo);
            QVERIFY(ausente.guardar(nueva).pendiente);
            const ResultadoCorreccion a = ausente.corregir(guardada, QStringLiteral("NumeroCasa"), QStringLiteral("12-32"),
                                                           QStringLiteral("Número mal leído"));
            QVERIFY(a.pendiente);
            QCOMPARE(a.mensaje, TextosBandeja::CorreccionEnEquipo);
            QVERIFY(ausente.corregir(nueva, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio"))
                        .pendiente);
            QVERIFY(ausente.corregir(ajena, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio"))
                        .pendiente);
            // Checked before it is kept: nothing waits for a field that
            // needs a new evaluation.
            const QString m = CasosCorreccion::Rechazo([&] {
                ausente.corregir(guardada, QStringLiteral("Habitabilidad"), QStringLiteral("Habitable"), QStringLiteral("m"));
            });
            QVERIFY2(m.contains(QStringLiteral("nueva evaluación")), qPrintable(m));
            QCOMPARE(ausente.correccionesPendientes->cantidad(), qint64(3));
            QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 2);
        }

        // The answer of the first send is lost: the server has it, the
        // laptop sends it again.
        const CorreccionPendiente primera = presente.correccionesPendientes->pendientes().first();
        RegistroServidor(b.evaluador).corregir(1, primera.columna, primera.valor, primera.motivo, primera.id);

        const ResultadoEnvio envio = presente.enviarPendientes();
        QVERIFY2(envio.error.isEmpty(), qPrintable(envio.error));
        QCOMPARE(presente.correccionesPendientes->cantidad(), qint64(0));
        RegistroServidor central(b.evaluador);
        QCOMPARE(central.correcciones(1).size(), 1);
        QCOMPARE(central.porNumero(1)->texto(Pos::NumeroCasa), QStringLiteral("12-32"));
        const int32_t n = envio.numeros.value(nueva.uuid);
        QCOMPARE(n, 3);
        QCOMPARE(central.porNumero(n)->texto(Pos::Barrio), QStringLiteral("El Prado"));
        QCOMPARE(central.correcciones(n).size(), 1);
        QCOMPARE(central.claveDe(n), ClaveEdificacion::De(*central.porNumero(n)));
        // Another login's evaluation: refused by the server, kept aside.
        QVERIFY(central.correcciones(2).isEmpty());
        const auto apartadas = presente.correccionesPendientes->apartadas();
        QCOMPARE(apartadas.size(), 1);
        QVERIFY2(apartadas.first().second.contains(QStringLiteral("solo puede corregir")),
                 qPrintable(apartadas.first().second));
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 3);
    }
};

QTEST_GUILESS_MAIN(PruebaCorreccionesServidor)
#include "server_corrections_test.moc"
