// The photos on the central registry: the shared cases, and what only the
// server shows: photos go in parts before their evaluation and the server
// refuses an evaluation while a photo it lists is missing; a resend stores
// each photo once; the evaluator role cannot change or delete a photo, nor
// remove one of another login's evaluation.

#include "core/registry/server_fixture.h"
#include "core/registry/outbox.h"
#include "core/registry/registry_config.h"
#include "core/registry/server_photos.h"
#include "photo_store_cases.h"
#include "support/test_support.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// A photo of `bytes` random bytes: the server checks the hash, not the image.
FotoEvaluacion Pesada(qsizetype bytes)
{
    QByteArray datos(bytes, Qt::Uninitialized);
    QRandomGenerator generador{quint32(bytes)};
    for (char &c : datos)
        c = char(generador.bounded(256));
    FotoEvaluacion f;
    f.jpeg = datos;
    f.leyenda = QStringLiteral("Pesada");
    return f;
}

}  // namespace

class PruebaFotosServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    void guardaYLee()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosFotos::GuardaYLee(registro);
        QCOMPARE(ServidorPrueba::Valor(b.administrador, QStringLiteral("SELECT count(*) FROM orv.\"Fotos\"")).toInt(), 3);
    }
    void nadaAMedias()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosFotos::NadaAMedias(registro);
    }
    void agregaYQuita()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosFotos::AgregaYQuita(registro);
    }

    // Photos larger than one statement go in parts, each its own
    // transaction; the evaluation arrives with all of them. Photos already
    // there (a send whose answer was lost) are not stored again.
    void enPartesYUnaVez()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
        for (int i = 0; i < 4; ++i)
            r.fotos << Pesada(FotosServidor::BytesPorSentencia / 3 + i);
        const int32_t numero = registro.agregar(r);
        QCOMPARE(registro.fotos(numero).size(), 4);
        QCOMPARE(registro.foto(r.fotos.at(3).uuid)->jpeg, r.fotos.at(3).jpeg);
        const QString partes = QStringLiteral("SELECT count(DISTINCT xmin::text) FROM orv.\"Fotos\"");
        QVERIFY(ServidorPrueba::Valor(b.administrador, partes).toInt() >= 2);

        RegistroEvaluacion otraVez = r;
        QCOMPARE(registro.agregar(otraVez), numero);
        RegistroEvaluacion segunda = CasosCorreccion::Evaluacion("20", "2026-12-04 12:00", "Habitable");
        segunda.fotos = CasosFotos::Preparadas(2);
        segunda.sellar();
        Fotos::Completar(segunda.fotos, segunda.uuid, 0, 0, QString());
        // Its photos arrived, its record did not: sent again, whole.
        {
            const QString nombre = Servidor::nuevaConexion("prueba-fotos");
            {
                QSqlDatabase db = Servidor::abrir(b.evaluador, nombre);
                QVERIFY(FotosServidor::Enviar(db, b.evaluador, {segunda}).isEmpty());
            }
            Servidor::cerrar(nombre);
        }
        QCOMPARE(registro.contar({}), 1);
        QVERIFY(registro.foto(segunda.fotos.at(0).uuid));  // a part: its uuid is known to whoever sent it
        const int32_t n2 = registro.agregar(segunda);
        QCOMPARE(registro.fotos(n2).size(), 2);
        QCOMPARE(ServidorPrueba::Valor(b.administrador, QStringLiteral("SELECT count(*) FROM orv.\"Fotos\"")).toInt(), 6);
    }

    // The server itself refuses an evaluation that lists a photo it does
    // not hold, and a photo whose hash is not that of its bytes; the
    // evaluator may add photos but never change or delete one.
    void elServidorVigila()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
        r.sellar();
        const QString sinFoto = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("INSERT INTO orv.\"Evaluaciones\" (uuid, fotos) VALUES ('%1', '{%2}')")
                             .arg(Fotos::TextoUuid(r.uuid), Fotos::TextoUuid(QUuid::createUuid())));
        QVERIFY2(sinFoto.startsWith(QStringLiteral("ORV08")), qPrintable(sinFoto));
        const QString huella = ServidorPrueba::Ejecutar(
            b.evaluador, QStringLiteral("INSERT INTO orv.\"Fotos\" (uuid, evaluacion_uuid, \"Orden\", \"Sha256\", "
                                        "\"Bytes\", \"Jpeg\") VALUES (gen_random_uuid(), '%1', 1, '%2', 3, 'abc')")
                             .arg(Fotos::TextoUuid(r.uuid), Fotos::Sha256("otra")));
        QVERIFY2(huella.startsWith(QStringLiteral("ORV06")), qPrintable(huella));

        r.fotos = CasosFotos::Preparadas(1);
        RegistroServidor registro(b.evaluador);
        const int32_t numero = registro.agregar(r);
        for (const QString &sql : {QStringLiteral("UPDATE orv.\"Fotos\" SET \"Leyenda\" = 'otra'"),
                                   QStringLiteral("DELETE FROM orv.\"Fotos\""),
                                   QStringLiteral("INSERT INTO orv.\"Correcciones\" (\"NumeroEvaluacion\", uuid, \"Campo\", "
                                                  "\"Motivo\", \"Usuario\") VALUES (1, '%1', 'Foto', 'x', 'y')")
                                       .arg(Fotos::TextoUuid(r.uuid))}) {
            const QString error = ServidorPrueba::Ejecutar(b.evaluador, sql);
            QVERIFY2(error.startsWith(QStringLiteral("42501")), qPrintable(sql + QStringLiteral(": ") + error));
        }
        const ConexionServidor otro =
            ServidorPrueba::NuevoEvaluador(b.administrador, b.evaluador.usuario + QStringLiteral("_o"), QStringLiteral("o"));
        RegistroServidor ajeno(otro);
        try {
            ajeno.quitarFoto(r.fotos.first().uuid, QStringLiteral("No corresponde"));
            QFAIL("otro evaluador quitó la foto");
        } catch (const ErrorServidor &e) {
            QVERIFY2(e.mensaje().contains(QStringLiteral("solo puede quitar fotos")), qPrintable(e.mensaje()));
        }
        QCOMPARE(registro.fotos(numero).size(), 1);
        // Preparing again keeps everything.
        PrepararServidor(b.administrador);
        QCOMPARE(registro.fotos(numero).size(), 1);
    }

    // The outbox keeps a record's photos with it, takes more while it
    // waits, and sends them with it; a record whose photo the server holds
    // as another photo is set aside, the others arrive whole.
    void bandejaConFotos()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        QTemporaryDir dir;
        BandejaSalida bandeja(dir.filePath(QStringLiteral("Pendientes de Envío.sqlite")), BandejaSalida::registroDe(b.evaluador));
        RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
        r.fotos = CasosFotos::Preparadas(2);
        bandeja.guardar(r);
        QVector<FotoEvaluacion> mas = CasosFotos::Preparadas(1);
        bandeja.agregarFotos(r.uuid, mas);
        QCOMPARE(mas.first().orden, 3);
        const QVector<FotoEvaluacion> esperan = bandeja.fotos(r.uuid);
        QCOMPARE(esperan.size(), 3);
        QVERIFY(esperan.first().jpeg.isEmpty());
        QCOMPARE(bandeja.foto(esperan.at(2).uuid)->jpeg, mas.first().jpeg);

        RegistroEvaluacion conflicto = CasosCorreccion::Evaluacion("30", "2026-12-04 12:00", "Habitable");
        conflicto.fotos = CasosFotos::Preparadas(1);
        RegistroEvaluacion otra = CasosCorreccion::Evaluacion("32", "2026-12-04 12:30", "Habitable");
        otra.fotos = CasosFotos::Preparadas(1);
        int32_t ya = registro.agregar(otra);
        conflicto.fotos[0].uuid = otra.fotos.at(0).uuid;  // the server holds that uuid as another photo
        conflicto.fotos[0].sha256.clear();
        conflicto.fotos[0].jpeg += "x";
        bandeja.guardar(conflicto);
        RegistroEvaluacion ultima = CasosCorreccion::Evaluacion("34", "2026-12-04 13:00", "Habitable");
        ultima.fotos = CasosFotos::Preparadas(2);
        bandeja.guardar(ultima);

        const ResultadoEnvio envio = bandeja.enviar(registro);
        QVERIFY2(envio.error.isEmpty(), qPrintable(envio.error));
        QCOMPARE(envio.enviados, 2);
        QCOMPARE(envio.apartadas, 1);
        QCOMPARE(envio.pendientes, 0);
        QVERIFY(bandeja.apartadas().first().motivo.contains(Fotos::TextoUuid(otra.fotos.at(0).uuid)));
        QCOMPARE(registro.fotos(envio.numeros.value(r.uuid)).size(), 3);
        QCOMPARE(registro.fotos(envio.numeros.value(ultima.uuid)).size(), 2);
        QCOMPARE(registro.foto(otra.fotos.at(0).uuid)->jpeg, otra.fotos.at(0).jpeg);
        QCOMPARE(registro.fotos(ya).size(), 1);
        QVERIFY(bandeja.fotos(r.uuid).isEmpty());
        QVERIFY_THROWS_EXCEPTION(ErrorDatos, bandeja.agregarFotos(r.uuid, mas));
    }

    // Photos too heavy for one batch of the outbox: the batch ends before
    // the record that would pass the limit, and every record arrives whole.
    void bandejaPesada()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        QTemporaryDir dir;
        BandejaSalida bandeja(dir.filePath(QStringLiteral("Pendientes de Envío.sqlite")), BandejaSalida::registroDe(b.evaluador));
        for (const char *casa : {"40", "42", "44"}) {
            RegistroEvaluacion r = CasosCorreccion::Evaluacion(casa, "2026-12-04 11:00", "Habitable");
            r.fotos << Pesada(25 * 1024 * 1024 + std::atoi(casa));
            bandeja.guardar(r);
        }
        const ResultadoEnvio envio = bandeja.enviar(registro);
        QVERIFY2(envio.error.isEmpty(), qPrintable(envio.error));
        QCOMPARE(envio.enviados, 3);
        QVERIFY(ServidorPrueba::Valor(b.administrador,
                                      QStringLiteral("SELECT count(DISTINCT xmin::text) FROM orv.\"Evaluaciones\""))
                    .toInt() >= 2);
        for (const int32_t n : envio.numeros)
            QCOMPARE(registro.fotos(n).size(), 1);
    }

    // The open evaluation's calls: a pending record takes photos in the
    // outbox, which arrive with it; once numbered, it takes them on the
    // server; a pending record sent meanwhile is refused in the outbox and
    // its photos are found on the server.
    void registroConfigurado()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        ConfiguracionRegistro conf;
        conf.servidor = true;
        conf.conexion = b.evaluador;
        RegistroConfigurado registro = AbrirRegistro(conf, equipo.filePath(QStringLiteral("r.sqlite")));
        RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
        r.fotos = CasosFotos::Preparadas(1);
        registro.bandeja->guardar(r);
        QVERIFY(r.pendiente);
        QVector<FotoEvaluacion> mas = CasosFotos::Preparadas(1);
        registro.agregarFotos(r, mas);
        QCOMPARE(registro.fotos(r).size(), 2);
        QCOMPARE(registro.foto(r, mas.first().uuid)->jpeg, mas.first().jpeg);

        const ResultadoEnvio envio = registro.enviarPendientes();
        QVERIFY2(envio.error.isEmpty(), qPrintable(envio.error));
        QCOMPARE(registro.foto(r, mas.first().uuid)->jpeg, mas.first().jpeg);
        QVERIFY_THROWS_EXCEPTION(ErrorDatos, registro.agregarFotos(r, mas));
        const RegistroEvaluacion guardada = *registro.almacen->porNumero(envio.numeros.value(r.uuid));
        QVector<FotoEvaluacion> otra = CasosFotos::Preparadas(1);
        registro.agregarFotos(guardada, otra);
        QCOMPARE(otra.first().orden, 3);
        QCOMPARE(registro.fotos(guardada).size(), 3);
    }
};

QTEST_GUILESS_MAIN(PruebaFotosServidor)
#include "photo_server_test.moc"
