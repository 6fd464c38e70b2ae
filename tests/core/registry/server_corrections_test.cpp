// Corrections on the central registry: the cases every registry shares,
// and who may correct what: an evaluator only what their own login stored,
// a supervisor anything, nobody by writing the tables directly.

#include "core/registry/building_key.h"
#include "core/registry/correction_cases.h"
#include "core/registry/server_fixture.h"
#include "support/test_support.h"

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
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Habitabilidad', 'Habitable', 'm', NULL, NULL)"));
        QVERIFY2(campo.startsWith(QStringLiteral("ORV02")), qPrintable(campo));
        const QString motivo = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Barrio', 'El Prado', ' ', NULL, NULL)"));
        QVERIFY2(motivo.startsWith(QStringLiteral("ORV03")), qPrintable(motivo));
        // A key computed from a plot and address the row no longer has.
        const QString vieja = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("SELECT orv.corregir_evaluacion(1, 'Barrio', 'El Prado', 'm', 'direccion:x', "
                                        "'otra base')"));
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
};

QTEST_GUILESS_MAIN(PruebaCorreccionesServidor)
#include "server_corrections_test.moc"
