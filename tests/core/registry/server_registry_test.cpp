// The central registry on a real PostgreSQL server: the prepared schema and
// its roles, numbers and uuids, hostile texts, the failures and their
// messages, the registry ORV_REGISTRO names.

#include "core/registry/sample_evaluation.h"
#include "core/registry/server_fixture.h"
#include "support/test_support.h"

#include "core/registry/buildings.h"
#include "core/registry/local_registry.h"
#include "core/registry/building_cases.h"
#include "core/registry/building_key.h"
#include "core/registry/outbox.h"
#include "core/registry/registry_config.h"
#include "core/registry/registry_summary.h"

#include <QTemporaryDir>

using namespace RegistroEvaluaciones;

namespace {

RegistroEvaluacion Ejemplar(const QString &nombre = QStringLiteral("Edificio Álamo"))
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    id.txtNombre = nombre;
    EstadoEvaluacion estado;
    Ejemplo::LlenarEstado(estado);
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    return ConstruirRegistro(id, estado, Ejemplo::Datos());
}

// What `accion` throws; "(sin error)" when it throws nothing.
template <typename F>
ErrorServidor Fallo(F accion)
{
    try {
        accion();
    } catch (const ErrorServidor &e) {
        return e;
    } catch (const ErrorDatos &e) {
        return ErrorServidor(e.mensaje(), false);
    }
    return ErrorServidor(QStringLiteral("(sin error)"), false);
}

// The failure of saving through `c`.
ErrorServidor FalloAlGuardar(const ConexionServidor &c)
{
    RegistroEvaluacion r = Ejemplar();
    return Fallo([&] { RegistroServidor(c).agregar(r); });
}

}  // namespace

class PruebaServidor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        ClaveRegistro::usarAlmacenDeClaves(false);
        qunsetenv("ORV_REGISTRO");
    }
    void cleanup() { qunsetenv("ORV_REGISTRO"); }

    // Numbers in order, a record sent twice stored once with its number, a
    // number the client puts in ignored, a rolled-back insert leaves no gap;
    // the evaluator role may read and add, nothing else.
    void numerosYUuid()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        QVector<RegistroEvaluacion> lote{Ejemplar(QStringLiteral("A")), Ejemplar(QStringLiteral("B")),
                                         Ejemplar(QStringLiteral("C"))};
        lote[1].establecerCampo(Pos::Numero, 777);
        registro.agregar(lote);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lote[i].numero(), i + 1);
        QVERIFY(!lote[1].uuid.isNull());

        RegistroEvaluacion repetido = lote[1];
        QCOMPARE(registro.agregar(repetido), 2);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 3);
        QCOMPARE(registro.porNumero(2)->texto(Pos::NombreEdificacion), QStringLiteral("B"));

        QCOMPARE(ServidorPrueba::Ejecutar(b.evaluador,
                                          QStringLiteral("BEGIN; INSERT INTO orv.\"Evaluaciones\" (uuid) VALUES "
                                                         "(gen_random_uuid()); ROLLBACK")),
                 QString());
        RegistroEvaluacion d = Ejemplar(QStringLiteral("D"));
        QCOMPARE(registro.agregar(d), 4);
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, 4), QString());
        const QString identidad = ServidorPrueba::Valor(b.administrador,
            QStringLiteral("SELECT uuid::text || '|' || equipo || '|' || (recibido_en >= guardado_en - interval '1 minute')::text "
                           "FROM orv.\"Evaluaciones\" WHERE \"NumeroEvaluacion\" = 4")).toString();
        QCOMPARE(identidad, d.uuid.toString(QUuid::WithoutBraces) + QLatin1Char('|') + d.equipo + QStringLiteral("|true"));

        for (const char *sql : {"UPDATE orv.\"Evaluaciones\" SET \"Habitabilidad\" = 'Habitable'",
                                "DELETE FROM orv.\"Evaluaciones\"", "TRUNCATE orv.\"Evaluaciones\"",
                                "DROP TRIGGER numerar ON orv.\"Evaluaciones\"", "CREATE TABLE orv.otra (x integer)",
                                "CREATE TABLE public.otra (x integer)"}) {
            const QString e = ServidorPrueba::Ejecutar(b.evaluador, QString::fromUtf8(sql));
            QVERIFY2(e.startsWith(QStringLiteral("42501")), qPrintable(QString::fromUtf8(sql) + QStringLiteral(" -> ") + e));
        }
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 4);
        QCOMPARE(registro.porNumero(1)->texto(Pos::Habitabilidad), QStringLiteral("No Habitable"));
    }

    // A registry prepared by the previous version (numbered under an
    // advisory lock on the table) is brought up to date in place: its rows
    // keep their numbers, the next one follows them, an advisory lock on the
    // table no longer stops a save, and preparing it again does nothing.
    void actualizaLaVersionAnterior()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva(false);
        QStringList columnas;
        for (const CampoRegistro &c : Campos())
            columnas << CitarIdentificador(c.columna) + QLatin1Char(' ')
                            + (c.tipo == TipoCampo::Entero ? QStringLiteral("integer")
                                                           : c.tipo == TipoCampo::Real ? QStringLiteral("double precision")
                                                                                       : QStringLiteral("text"))
                            + (c.posicion == Pos::Numero ? QStringLiteral(" NOT NULL UNIQUE") : QString());
        const QString anterior =
            QStringLiteral(
                "DO $$ BEGIN CREATE ROLE orv_administrador NOLOGIN; EXCEPTION WHEN duplicate_object OR unique_violation "
                "THEN NULL; END $$; CREATE SCHEMA orv AUTHORIZATION orv_administrador; SET ROLE orv_administrador; "
                "CREATE TABLE orv.\"Evaluaciones\" (%1, uuid uuid NOT NULL UNIQUE, equipo text, usuario text, "
                "guardado_en timestamptz, recibido_en timestamptz NOT NULL DEFAULT now()); "
                "CREATE FUNCTION orv.numerar_evaluacion() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET "
                "search_path = pg_catalog, pg_temp AS $f$ BEGIN PERFORM "
                "pg_advisory_xact_lock('orv.\"Evaluaciones\"'::regclass::oid::bigint); SELECT "
                "COALESCE(MAX(\"NumeroEvaluacion\"), 0) + 1 INTO NEW.\"NumeroEvaluacion\" FROM orv.\"Evaluaciones\"; "
                "NEW.recibido_en := now(); RETURN NEW; END $f$; "
                "CREATE TRIGGER numerar BEFORE INSERT ON orv.\"Evaluaciones\" FOR EACH ROW EXECUTE FUNCTION "
                "orv.numerar_evaluacion(); GRANT USAGE ON SCHEMA orv TO orv_evaluador; "
                "GRANT SELECT, INSERT ON orv.\"Evaluaciones\" TO orv_evaluador")
                .arg(columnas.join(QStringLiteral(", ")));
        QCOMPARE(ServidorPrueba::Ejecutar(b.administrador, anterior), QString());
        // Two rows saved by the previous version, the second at another
        // house number of the same street.
        const RegistroEvaluacion modelo = Ejemplar();
        for (const auto &[nombre, casa] : {std::pair{"A", "No. 12-30"}, {"B", "14-02"}}) {
            const QString sql =
                QStringLiteral("INSERT INTO orv.\"Evaluaciones\" (uuid, %1, %2, %3, %4, %5, %6, %7, %8, %9, %10) VALUES "
                               "(gen_random_uuid(), '%11', '%12', '%13', '%14', '%15', '%16', '--', '--', '--', '--')")
                    .arg(CitarIdentificador(Campo(Pos::NombreEdificacion).columna),
                         CitarIdentificador(Campo(Pos::Fecha).columna),
                         CitarIdentificador(Campo(Pos::TipoDireccion).columna),
                         CitarIdentificador(Campo(Pos::NumeroCalle).columna),
                         CitarIdentificador(Campo(Pos::NumeroCasa).columna), CitarIdentificador(Campo(Pos::Barrio).columna),
                         CitarIdentificador(Campo(Pos::TipoAvaluo).columna), CitarIdentificador(Campo(Pos::Sector).columna),
                         CitarIdentificador(Campo(Pos::Manzana).columna))
                    .arg(CitarIdentificador(Campo(Pos::Predio).columna), QString::fromLatin1(nombre),
                         QStringLiteral("2026-12-01T10:00:00"), modelo.texto(Pos::TipoDireccion),
                         modelo.texto(Pos::NumeroCalle), QString::fromUtf8(casa), modelo.texto(Pos::Barrio));
            QCOMPARE(ServidorPrueba::Ejecutar(b.evaluador, sql), QString());
        }
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, 2), QString());

        const QStringList hecho = PrepararServidor(b.administrador);
        RegistroServidor registro(b.evaluador);
        QCOMPARE(registro.porNumero(2)->texto(Pos::NombreEdificacion), QStringLiteral("B"));
        QVERIFY2(hecho.join('\n').contains(QStringLiteral("claves calculadas para 2 evaluaciones")),
                 qPrintable(hecho.join('\n')));
        {
            ServidorPrueba::Sesion candado(b.evaluador);
            QCOMPARE(candado.ejecutar(QStringLiteral("SELECT pg_advisory_lock('orv.\"Evaluaciones\"'::regclass::oid::bigint)")),
                     QString());
            ConexionServidor impaciente = b.evaluador;
            impaciente.esperaSentencia = 3;
            RegistroEvaluacion c = Ejemplar(QStringLiteral("C"));
            QCOMPARE(RegistroServidor(impaciente).agregar(c), 3);
        }
        QCOMPARE(ServidorPrueba::Huecos(b.administrador, 3), QString());
        QVERIFY2(hecho.join('\n').contains(QStringLiteral("último número: 2")), qPrintable(hecho.join('\n')));
        QCOMPARE(ServidorPrueba::Valor(b.administrador,
                                       QStringLiteral("SELECT string_agg(COALESCE(usuario_servidor, '-'), ',' ORDER BY "
                                                      "\"NumeroEvaluacion\") FROM orv.\"Evaluaciones\""))
                     .toString(),
                 QStringLiteral("-,-,") + b.evaluador.usuario);
        // Every session of the database ends a transaction left idle.
        QCOMPARE(ServidorPrueba::Valor(b.evaluador, QStringLiteral("SHOW idle_in_transaction_session_timeout")).toString(),
                 QStringLiteral("5s"));
        const QStringList otraVez = PrepararServidor(b.administrador);
        QCOMPARE(otraVez.size(), 1);
        QVERIFY2(otraVez.first().startsWith(QStringLiteral("Permisos")), qPrintable(otraVez.join('\n')));
        // The old rows got the keys the laptop computes: a re-inspection
        // saved now at the first one's address joins its history.
        RegistroEvaluacion d = Ejemplar(QStringLiteral("D"));
        for (int p : {Pos::TipoAvaluo, Pos::Sector, Pos::Manzana, Pos::Predio})
            d.establecerCampo(p, QStringLiteral("--"));
        d.establecerCampo(Pos::NumeroCasa, QStringLiteral("12 - 30"));
        d.establecerCampo(Pos::Fecha, QStringLiteral("2026-12-06T08:00:00"));
        QCOMPARE(registro.agregar(d), 4);
        QList<int> historial;
        for (const RegistroEvaluacion &r : registro.historial(registro.claveDe(4)))
            historial << r.numero();
        QCOMPARE(historial, (QList<int>{4, 1}));
        QVERIFY(!registro.claveDe(2).isEmpty());
        QVERIFY(registro.claveDe(2) != registro.claveDe(1));
    }

    // The buildings of the central registry, as those of the local file:
    // the key computed when saving (the same building typed three ways),
    // its current posting by evaluation date whatever the order of saving,
    // its history newest first, the buildings near a point, and each
    // record placed in its history.
    void edificaciones()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        CasosEdificaciones::Comprobar(registro, Ejemplar());
        if (QTest::currentTestFailed())
            return;
        // Stored with the row, not only answered to the client.
        const QString clave = registro.claveDe(1);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador, QStringLiteral("clave_edificacion = '%1'").arg(clave)), 3);
    }

    // A re-inspection saved while the server is away waits in the outbox
    // and joins its building's history when it arrives: its key is the
    // one the building's first evaluation got.
    void reinspeccionDesdeLaBandeja()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        RegistroEvaluacion primera = Ejemplar(QStringLiteral("Primera"));
        primera.establecerCampo(Pos::Fecha, QStringLiteral("2026-12-01T10:00:00"));
        primera.establecerCampo(Pos::Habitabilidad, QStringLiteral("Habitable"));
        QCOMPARE(registro.agregar(primera), 1);
        RegistroEvaluacion vecina = Ejemplar(QStringLiteral("Vecina"));
        vecina.establecerCampo(Pos::Predio, vecina.texto(Pos::Predio) + QStringLiteral("9"));
        QCOMPARE(registro.agregar(vecina), 2);

        QTemporaryDir equipo;
        BandejaSalida bandeja(equipo.filePath(QStringLiteral("Pendientes de Envío.sqlite")));
        RegistroEvaluacion segunda = Ejemplar(QStringLiteral("Segunda"));
        segunda.establecerCampo(Pos::Fecha, QStringLiteral("2026-12-05T09:00:00"));
        segunda.establecerCampo(Pos::Habitabilidad, QStringLiteral("No Habitable"));
        segunda.unidadesVivienda = 14;
        bandeja.guardar(segunda);
        // Another building on the first one's plot, told apart by its name
        // when it was saved: the key the evaluator chose travels with it.
        RegistroEvaluacion bloqueB = Ejemplar(QStringLiteral("Bloque B"));
        bloqueB.claveEdificacion = ClaveEdificacion::De(bloqueB) + QStringLiteral("|nombre:bloqueb");
        bandeja.guardar(bloqueB);
        ConexionServidor ausente = b.evaluador;
        ausente.puerto = 1;
        RegistroServidor sinServidor(ausente);
        const ResultadoEnvio fallido = bandeja.enviar(sinServidor);
        QVERIFY(fallido.red);
        QCOMPARE(bandeja.cantidad(), 2);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 2);

        const ResultadoEnvio envio = bandeja.enviar(registro);
        QCOMPARE(envio.enviados, 2);
        QCOMPARE(registro.claveDe(envio.numeros.value(bloqueB.uuid)), bloqueB.claveEdificacion);
        QCOMPARE(bandeja.cantidad(), 0);
        const int32_t n = envio.numeros.value(segunda.uuid);
        QCOMPARE(n, 3);
        QVERIFY(!registro.claveDe(1).isEmpty());
        QCOMPARE(registro.claveDe(n), registro.claveDe(1));
        QVERIFY(registro.claveDe(2) != registro.claveDe(1));
        const auto e = registro.edificacion(registro.claveDe(1));
        QCOMPARE(e->evaluaciones, qint64(2));
        QCOMPARE(e->vigente.numero(), n);
        QVector<RegistroEvaluacion> vieja{*registro.porNumero(1)};
        registro.situar(vieja);
        QCOMPARE(vieja[0].reemplazadaPor->numero, n);
        QCOMPARE(vieja[0].reemplazadaPor->habitabilidad, QStringLiteral("No Habitable"));
        // The dwelling units travel with the record; none given stays none.
        QCOMPARE(registro.porNumero(n)->unidadesVivienda, std::optional<int>(14));
        QCOMPARE(registro.porNumero(envio.numeros.value(bloqueB.uuid))->unidadesVivienda, std::nullopt);
    }

    // An evaluator inserts a row by hand with a forged machine, user, times
    // and number, and the uuid of a record still on another laptop: the
    // server keeps the machine, user and time the client said but numbers
    // the row itself and records the login and its own time. The laptop's
    // send of its record is refused as a conflict, in Spanish, with nothing
    // of its batch stored; its outbox keeps the record; the rest of the
    // batch goes in once sent without it, and the same record sent again
    // with the same content keeps its number.
    void unEvaluadorQueFalsifica()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const ConexionServidor falsario =
            ServidorPrueba::NuevoEvaluador(b.administrador, b.evaluador.usuario + QStringLiteral("_f"), QStringLiteral("f"));
        RegistroEvaluacion verdadero = Ejemplar(QStringLiteral("Verdadero"));
        verdadero.sellar();
        QCOMPARE(ServidorPrueba::Ejecutar(
                     falsario, QStringLiteral("INSERT INTO orv.\"Evaluaciones\" (\"NumeroEvaluacion\", \"NombreEdificacion\", "
                                              "uuid, equipo, usuario, guardado_en, recibido_en, usuario_servidor) VALUES "
                                              "(999, 'Falso', '%1', '%2', '%3', '2001-01-01', '2001-01-01', 'nadie')")
                                   .arg(verdadero.uuid.toString(QUuid::WithoutBraces), verdadero.equipo, verdadero.usuario)),
                 QString());
        const QString fila = ServidorPrueba::Valor(
            b.administrador, QStringLiteral("SELECT \"NumeroEvaluacion\" || '|' || usuario_servidor || '|' || equipo || '|' || "
                                            "usuario || '|' || extract(year FROM guardado_en) || '|' || "
                                            "(recibido_en > now() - interval '1 hour') FROM orv.\"Evaluaciones\"")).toString();
        QCOMPARE(fila, QStringLiteral("1|%1|%2|%3|2001|true").arg(falsario.usuario, verdadero.equipo, verdadero.usuario));

        RegistroServidor registro(b.evaluador);
        QVector<RegistroEvaluacion> lote{Ejemplar(QStringLiteral("Otro")), verdadero};
        try {
            registro.agregar(lote);
            QFAIL("el servidor aceptó una evaluación cuyo uuid ya tiene otra");
        } catch (const ErrorRegistroRechazado &e) {
            QVERIFY(!e.red());
            QCOMPARE(e.rechazados().keys(), QList<QUuid>{verdadero.uuid});
            QVERIFY2(e.mensaje().contains(QStringLiteral("mismo identificador y otro contenido")), qPrintable(e.mensaje()));
        }
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 1);
        lote.removeLast();
        registro.agregar(lote);
        QCOMPARE(lote.first().numero(), 2);
        QCOMPARE(registro.agregar(lote.first()), 2);
        QCOMPARE(ServidorPrueba::Valor(b.administrador, QStringLiteral("SELECT usuario_servidor FROM orv.\"Evaluaciones\" "
                                                                       "WHERE \"NumeroEvaluacion\" = 2"))
                     .toString(),
                 b.evaluador.usuario);

        QTemporaryDir equipo;
        BandejaSalida bandeja(equipo.filePath(QStringLiteral("Pendientes de Envío.sqlite")));
        bandeja.guardar(verdadero);
        // The other laptop's send reports the conflict and sets the record
        // aside with the server's reason, never to be sent again in a loop.
        const ResultadoEnvio envio = bandeja.enviar(registro);
        QCOMPARE(envio.enviados, 0);
        QCOMPARE(envio.apartadas, 1);
        const QVector<EvaluacionApartada> apartadas = bandeja.apartadas();
        QCOMPARE(apartadas.size(), 1);
        QVERIFY2(apartadas.first().motivo.contains(QStringLiteral("otro contenido")), qPrintable(apartadas.first().motivo));
        QCOMPARE(bandeja.enviar(registro).enviados, 0);
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 2);
    }

    // PostgreSQL's text cannot hold U+0000: a record with a NUL in a text
    // is refused by itself, naming the field, before anything is sent; the
    // rest of its batch goes in once sent without it.
    void caracterNulo()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        RegistroEvaluacion nulo = Ejemplar(QStringLiteral("Con nulo"));
        nulo.establecerCampo(Pos::Barrio, QStringLiteral("Barrio") + QChar(0) + QStringLiteral("Norte"));
        nulo.sellar();
        QVector<RegistroEvaluacion> lote{Ejemplar(QStringLiteral("Bien")), nulo};
        try {
            registro.agregar(lote);
            QFAIL("se envió un texto con un carácter nulo");
        } catch (const ErrorRegistroRechazado &e) {
            QVERIFY(!e.red());
            QCOMPARE(e.rechazados().keys(), QList<QUuid>{nulo.uuid});
            QVERIFY2(e.mensaje().contains(QStringLiteral("«%1» contiene un carácter nulo").arg(Campo(Pos::Barrio).etiqueta)),
                     qPrintable(e.mensaje()));
        }
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 0);
        lote.removeLast();
        registro.agregar(lote);
        QCOMPARE(lote.first().numero(), 1);
    }

    // The server's summary, every table of it, is the local file's for the
    // same records: comunas cut at their first dash, blanks and dashes alone no value.
    void resumenComoElLocal()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir carpeta;
        RegistroServidor central(b.evaluador);
        RegistroLocal local(carpeta.filePath(QStringLiteral("r.sqlite")));
        for (const char *comuna : {"05-1234567890", "05-99", "12-", "-", " 03 -x", "7", "---"}) {
            RegistroEvaluacion r = Ejemplar(QString::fromUtf8(comuna));
            r.establecerCampo(Pos::Comuna, r.texto(Pos::NombreEdificacion));
            r.establecerCampo(Pos::Barrio, r.texto(Pos::NombreEdificacion));
            local.agregar(r), central.agregar(r);
        }
        const QByteArray resumen = ResumenCsv(central.resumen({}));
        QVERIFY2(resumen.contains("\n05,2,") && resumen.contains("\n12,1,"), resumen.constData());
        QCOMPARE(resumen, ResumenCsv(local.resumen({})));
    }

    // Quotes, semicolons, SQL, accents, emoji and control characters arrive
    // and come back verbatim, and the search finds them literally.
    void textosHostiles()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        const QHash<int, QVariant> textos = {
            {Pos::Barrio, QStringLiteral("O'Brien; DROP TABLE \"Evaluaciones\"; --")},
            {Pos::NombreEdificacion, QStringLiteral("Edificación Ñandú 🏚️ \"comillas\" ‘curvas’")},
            {Pos::Evaluador, QStringLiteral("tab\there\nlínea\r\nretorno\x01\x1f\x7f fin")},
            {Pos::CodigoComision, QStringLiteral("100% _x_ \\ ? :uno $1")},
            {Pos::PersonaContacto, QStringLiteral("'); DELETE FROM orv.\"Evaluaciones\"; SELECT ('")},
            {Pos::Latitud, -12.123456789012345},
            {Pos::Longitud, -97.0000000001}};
        RegistroEvaluacion r = Ejemplar();
        for (auto it = textos.begin(); it != textos.end(); ++it)
            r.establecerCampo(it.key(), it.value());
        const int32_t numero = registro.agregar(r);
        RegistroEvaluacion otro = Ejemplar(QStringLiteral("Sin nada raro"));
        registro.agregar(otro);

        const std::optional<RegistroEvaluacion> leido = registro.porNumero(numero);
        QVERIFY(leido);
        const QVariantList esperado = Ejemplo::Campos();
        for (int i = 1; i < NumCampos; ++i) {
            const QVariant v = textos.contains(i) ? textos.value(i) : esperado.at(i);
            QVERIFY2(leido->campo(i) == v, qPrintable(QStringLiteral("campo %1: %2 / %3")
                                                          .arg(Campo(i).columna, leido->campo(i).toString(), v.toString())));
        }
        auto buscar = [&](const QString &texto) {
            FiltroRegistro f;
            f.texto = texto;
            QStringList nombres;
            for (const RegistroEvaluacion &x : registro.pagina(f, OrdenRegistro{}, 0, 10))
                nombres << x.texto(Pos::NombreEdificacion).left(11);
            return nombres.join('|');
        };
        QCOMPARE(buscar(QStringLiteral("ñANDÚ")), QStringLiteral("Edificación"));
        QCOMPARE(buscar(QStringLiteral("100%")), QStringLiteral("Edificación"));
        QCOMPARE(buscar(QStringLiteral("_x_ \\")), QStringLiteral("Edificación"));
        QCOMPARE(buscar(QStringLiteral("a_o")), QString());
        QCOMPARE(buscar(QStringLiteral("RARO")), QStringLiteral("Sin nada ra"));
        QCOMPARE(registro.contar(FiltroRegistro{}), 2);
    }

    // What each failure says, and that none carries the password; a table of
    // another shape is reported, never altered, and preparing it again
    // creates nothing.
    void fallosDelServidor()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        ConexionServidor mala = b.evaluador;
        mala.clave = QStringLiteral("Secreta-Equivocada-2026");
        const ErrorServidor clave = FalloAlGuardar(mala);
        QVERIFY(!clave.red());
        QVERIFY2(clave.mensaje().contains(QStringLiteral("rechazó el usuario \"%1\" o su contraseña").arg(mala.usuario)),
                 qPrintable(clave.mensaje()));
        QVERIFY(!clave.mensaje().contains(mala.clave));
        QVERIFY(!clave.mensaje().contains(b.evaluador.clave));

        ConexionServidor sinServidor = b.evaluador;
        sinServidor.puerto = 1;
        const ErrorServidor red = FalloAlGuardar(sinServidor);
        QVERIFY(red.red());
        QVERIFY2(red.mensaje().contains(QStringLiteral("no hay conexión con el servidor")), qPrintable(red.mensaje()));
        QVERIFY(!red.mensaje().contains(sinServidor.clave));

        // A login that is no evaluator.
        ConexionServidor ajeno = b.evaluador;
        ajeno.usuario += QStringLiteral("_sin");
        QCOMPARE(ServidorPrueba::Ejecutar(b.administrador,
                                          QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'x'").arg(ajeno.usuario)),
                 QString());
        ajeno.clave = QStringLiteral("x");
        const ErrorServidor permiso = FalloAlGuardar(ajeno);
        QVERIFY(!permiso.red());
        QVERIFY2(permiso.mensaje().contains(QStringLiteral("no tiene permiso")), qPrintable(permiso.mensaje()));
        QCOMPARE(ServidorPrueba::Cantidad(b.administrador), 0);
        const QStringList otraVez = PrepararServidor(b.administrador);
        QVERIFY2(!otraVez.join(' ').contains(QStringLiteral("creada")), qPrintable(otraVez.join('\n')));

        ServidorPrueba::Base otra = ServidorPrueba::Nueva(false);
        const ErrorServidor sinTabla = FalloAlGuardar(otra.administrador);
        QVERIFY(!sinTabla.red());
        QVERIFY2(sinTabla.mensaje().contains(QStringLiteral("orv-registro servidor preparar")),
                 qPrintable(sinTabla.mensaje()));
        QCOMPARE(ServidorPrueba::Ejecutar(otra.administrador,
                                          QStringLiteral("CREATE SCHEMA orv; CREATE TABLE orv.\"Evaluaciones\" "
                                                         "(\"NumeroEvaluacion\" integer, \"Comuna\" text)")),
                 QString());
        const ErrorServidor preparar = Fallo([&] { PrepararServidor(otra.administrador); });
        QVERIFY2(preparar.mensaje().contains(QStringLiteral("otras columnas")), qPrintable(preparar.mensaje()));
        const ErrorServidor probar = Fallo([&] { RegistroServidor(otra.administrador).probar(); });
        QVERIFY(!probar.red());
        QVERIFY2(probar.mensaje().contains(QStringLiteral("no corresponde")), qPrintable(probar.mensaje()));
    }

    // TLS authenticates the server unless told otherwise: without a mode the
    // connection is verify-full with the configured CA (require without
    // one), and both are encrypted; another authority's CA, a missing CA
    // file, a server that cannot prove it knows the password (no SCRAM,
    // hence no channel binding) and a refusal by pg_hba.conf are each told
    // as such, none as a network failure.
    void tlsQueAutenticaAlServidor()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        const QString ca = ServidorPrueba::Carpeta() + QStringLiteral("/ca.crt");
        auto cifrada = [](const ConexionServidor &c) {
            return ServidorPrueba::Valor(c, QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()"))
                .toBool();
        };
        ConexionServidor sinModo = b.evaluador;
        sinModo.modoTls.clear();
        QCOMPARE(sinModo.modoTlsEfectivo(), QStringLiteral("require"));
        QVERIFY(cifrada(sinModo));
        sinModo.certificadoCa = ca;
        QCOMPARE(sinModo.modoTlsEfectivo(), QStringLiteral("verify-full"));
        QVERIFY(cifrada(sinModo));
        RegistroEvaluacion r = Ejemplar();
        QCOMPARE(RegistroServidor(sinModo).agregar(r), 1);

        // The local socket, as "servidor preparar" is run on the server
        // itself: no TLS there, and none asked for.
        ConexionServidor local = b.administrador;
        local.servidor = ServidorPrueba::Carpeta();
        local.modoTls.clear();
        QCOMPARE(ServidorPrueba::Valor(local, QStringLiteral("SELECT 1")).toInt(), 1);

        ConexionServidor desdeUrl;
        QVERIFY(ConexionServidor::desdeUrl(QStringLiteral("postgresql://ana@servidor/orv"), desdeUrl));
        QCOMPARE(desdeUrl.modoTlsEfectivo(), QStringLiteral("require"));
        QVERIFY(ConexionServidor::desdeUrl(QStringLiteral("postgresql://ana@servidor/orv?sslrootcert=/ca.crt"), desdeUrl));
        QCOMPARE(desdeUrl.modoTlsEfectivo(), QStringLiteral("verify-full"));
        QVERIFY(ConexionServidor::desdeUrl(QStringLiteral("postgresql://ana@servidor/orv?sslmode=prefer"), desdeUrl));
        QCOMPARE(desdeUrl.modoTlsEfectivo(), QStringLiteral("prefer"));
        QVERIFY(desdeUrl.url().contains(QStringLiteral("sslmode=prefer")));

        ConexionServidor otraCa = sinModo;
        otraCa.certificadoCa = ServidorPrueba::Carpeta() + QStringLiteral("/otra-ca.crt");
        const ErrorServidor ajena = FalloAlGuardar(otraCa);
        QVERIFY(!ajena.red());
        QVERIFY2(ajena.mensaje().contains(QStringLiteral("conexión cifrada (TLS, modo verify-full)")),
                 qPrintable(ajena.mensaje()));

        // Without a file, libpq looks for ~/.postgresql/root.crt.
        const QByteArray casa = qgetenv("HOME");
        qputenv("HOME", ServidorPrueba::Carpeta().toUtf8() + "/sin-casa");
        for (const QString &archivo : {QStringLiteral("/no/existe/ca.crt"), QString()}) {
            ConexionServidor sinCa = sinModo;
            sinCa.modoTls = QStringLiteral("verify-full");
            sinCa.certificadoCa = archivo;
            const ErrorServidor falta = FalloAlGuardar(sinCa);
            QVERIFY(!falta.red());
            QVERIFY2(falta.mensaje().contains(QStringLiteral("no se encuentra el archivo del certificado de la autoridad")),
                     qPrintable(falta.mensaje()));
            QVERIFY2(!falta.mensaje().contains(QStringLiteral("base de datos")), qPrintable(falta.mensaje()));
        }
        qputenv("HOME", casa);

        // pg_hba.conf of the test server: orv_md5 logs in with md5.
        QCOMPARE(ServidorPrueba::Ejecutar(b.administrador,
                                          QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = "
                                                         "'orv_md5') THEN SET LOCAL password_encryption = 'md5'; CREATE "
                                                         "ROLE orv_md5 LOGIN PASSWORD 'md5-clave'; END IF; END $$")),
                 QString());
        ConexionServidor md5 = b.evaluador;
        md5.usuario = QStringLiteral("orv_md5");
        md5.clave = QStringLiteral("md5-clave");
        md5.modoTls = QStringLiteral("disable");
        QCOMPARE(ServidorPrueba::Valor(md5, QStringLiteral("SELECT current_user")).toString(), md5.usuario);
        md5.modoTls.clear();
        const ErrorServidor enlace = FalloAlGuardar(md5);
        QVERIFY(!enlace.red());
        QVERIFY2(enlace.mensaje().contains(QStringLiteral("enlace de canal")), qPrintable(enlace.mensaje()));

        // ... and refuses orv_rechazado.
        ConexionServidor rechazado = b.evaluador;
        rechazado.usuario = QStringLiteral("orv_rechazado");
        const ErrorServidor hba = FalloAlGuardar(rechazado);
        QVERIFY(!hba.red());
        QVERIFY2(hba.mensaje().contains(QStringLiteral("rechazó la conexión del usuario \"orv_rechazado\"")),
                 qPrintable(hba.mensaje()));
    }

    // ORV_REGISTRO chooses the registry: a server, a file, or nothing usable.
    void registroDelEntorno()
    {
        QTemporaryDir equipo;
        const QString local = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        ServidorPrueba::UsarEnEntorno(ServidorPrueba::Nueva().evaluador);
        QVERIFY(AbrirRegistroConfigurado(local).esServidor());
        qputenv("ORV_REGISTRO", equipo.filePath(QStringLiteral("otro.sqlite")).toUtf8());
        RegistroConfigurado r = AbrirRegistroConfigurado(local);
        QVERIFY(!r.esServidor());
        RegistroEvaluacion x = Ejemplar();
        QCOMPARE(r.guardar(x).numero, 1);
        QVERIFY(QFile::exists(equipo.filePath(QStringLiteral("otro.sqlite"))));
        for (const char *malo : {"postgresql://servidor:5432", "postgresql://u@s/base?sslmode=siempre",
                                 "postgresql://u@s/base?clave=x"}) {
            qputenv("ORV_REGISTRO", malo);
            const QString m = Fallo([&] { AbrirRegistroConfigurado(local); }).mensaje();
            QVERIFY2(m.contains(QStringLiteral("ORV_REGISTRO")), qPrintable(m));
        }
    }
};

QTEST_GUILESS_MAIN(PruebaServidor)
#include "server_registry_test.moc"
