// The central registry on a real PostgreSQL server: the prepared schema and
// its roles, numbers and uuids, hostile texts, the failures and their
// messages, the outbox, a connection killed in the middle of a send.

#include "sample_evaluation.h"
#include "server_fixture.h"
#include "test_support.h"

#include "registry/registry_config.h"

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

qint64 Cantidad(const ConexionServidor &c)
{
    return ServidorPrueba::Valor(c, QStringLiteral("SELECT COUNT(*) FROM orv.\"Evaluaciones\"")).toLongLong();
}

// "" when the numbers are exactly 1..n, each once.
QString Huecos(const ConexionServidor &c)
{
    const QVariant v = ServidorPrueba::Valor(
        c, QStringLiteral("SELECT COUNT(*)::text || ' ' || COUNT(DISTINCT \"NumeroEvaluacion\")::text || ' ' || "
                          "COALESCE(MIN(\"NumeroEvaluacion\"), 0)::text || ' ' || "
                          "COALESCE(MAX(\"NumeroEvaluacion\"), 0)::text || ' ' || COUNT(DISTINCT uuid)::text "
                          "FROM orv.\"Evaluaciones\""));
    const QStringList p = v.toString().split(QLatin1Char(' '));
    const QString n = p.value(0);
    const QString esperado = n == QLatin1String("0") ? QStringLiteral("0 0 0 0 0")
                                                     : QStringLiteral("%1 %1 1 %1 %1").arg(n);
    return v.toString() == esperado ? QString() : QStringLiteral("filas, distintos, mínimo, máximo, uuids: ") + v.toString();
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

    // The schema as "servidor preparar" leaves it, twice; what the
    // evaluator role may and may not do; a table of another shape.
    void esquemaYPapeles()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva(false);
        const QStringList primera = PrepararServidor(b.administrador);
        QVERIFY2(primera.join(' ').contains(QStringLiteral("Tabla")), qPrintable(primera.join('\n')));
        const QStringList segunda = PrepararServidor(b.administrador);
        QVERIFY2(!segunda.join(' ').contains(QStringLiteral("creada")), qPrintable(segunda.join('\n')));

        const QString tipos = ServidorPrueba::Valor(b.administrador,
            QStringLiteral("SELECT string_agg(column_name || ':' || data_type, ',' ORDER BY ordinal_position) FROM "
                           "information_schema.columns WHERE table_schema = 'orv' AND table_name = 'Evaluaciones'"))
                                  .toString();
        const QStringList columnas = tipos.split(QLatin1Char(','));
        QCOMPARE(columnas.size(), NumCampos + 5);
        const QHash<TipoCampo, QString> nombres = {{TipoCampo::Entero, QStringLiteral("integer")},
                                                   {TipoCampo::Texto, QStringLiteral("text")},
                                                   {TipoCampo::Real, QStringLiteral("double precision")}};
        for (int i = 0; i < NumCampos; ++i)
            QCOMPARE(columnas.at(i), Campo(i).columna + QLatin1Char(':') + nombres.value(Campo(i).tipo));
        QCOMPARE(columnas.mid(NumCampos).join(','),
                 QStringLiteral("uuid:uuid,equipo:text,usuario:text,guardado_en:timestamp with time zone,"
                                "recibido_en:timestamp with time zone"));
        QCOMPARE(ServidorPrueba::Valor(b.administrador, QStringLiteral("SELECT tableowner FROM pg_tables WHERE "
                                                                       "schemaname = 'orv'"))
                     .toString(),
                 QStringLiteral("orv_administrador"));

        RegistroServidor registro(b.evaluador);
        registro.probar();
        RegistroEvaluacion r = Ejemplar();
        QCOMPARE(registro.agregar(r), 1);
        // The server refuses everything but reading and adding.
        const QString refusals[] = {
            QStringLiteral("UPDATE orv.\"Evaluaciones\" SET \"Habitabilidad\" = 'Habitable'"),
            QStringLiteral("DELETE FROM orv.\"Evaluaciones\""),
            QStringLiteral("TRUNCATE orv.\"Evaluaciones\""),
            QStringLiteral("DROP TRIGGER numerar ON orv.\"Evaluaciones\""),
            QStringLiteral("CREATE TABLE orv.otra (x integer)"),
            QStringLiteral("CREATE TABLE public.otra (x integer)")};
        for (const QString &sql : refusals) {
            const QString e = ServidorPrueba::Ejecutar(b.evaluador, sql);
            QVERIFY2(e.startsWith(QStringLiteral("42501")), qPrintable(sql + QStringLiteral(" -> ") + e));
        }
        QCOMPARE(Cantidad(b.administrador), 1);
        QCOMPARE(registro.porNumero(1)->texto(Pos::Habitabilidad), QStringLiteral("No Habitable"));

        // A table of another shape is reported, never altered.
        ServidorPrueba::Base otra = ServidorPrueba::Nueva(false);
        QCOMPARE(ServidorPrueba::Ejecutar(otra.administrador,
                                          QStringLiteral("CREATE SCHEMA orv; CREATE TABLE orv.\"Evaluaciones\" "
                                                         "(\"NumeroEvaluacion\" integer, \"Comuna\" text)")),
                 QString());
        try {
            PrepararServidor(otra.administrador);
            QFAIL("una tabla de otra forma se aceptó");
        } catch (const ErrorServidor &e) {
            QVERIFY2(e.mensaje().contains(QStringLiteral("otras columnas")), qPrintable(e.mensaje()));
        }
        RegistroServidor distinto(otra.administrador);
        try {
            distinto.probar();
            QFAIL("una tabla de otra forma se aceptó");
        } catch (const ErrorServidor &e) {
            QVERIFY(!e.red());
            QVERIFY2(e.mensaje().contains(QStringLiteral("no corresponde")), qPrintable(e.mensaje()));
        }
    }

    // Numbers in order, a record sent twice stored once with its number, a
    // number the client puts in ignored, a rolled-back insert leaves no gap.
    void numerosYUuid()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        RegistroServidor registro(b.evaluador);
        QVector<RegistroEvaluacion> lote{Ejemplar(QStringLiteral("A")), Ejemplar(QStringLiteral("B")),
                                         Ejemplar(QStringLiteral("C"))};
        lote[1].establecerCampo(Pos::Numero, 777);
        registro.agregar(lote);
        QCOMPARE(lote[0].numero(), 1);
        QCOMPARE(lote[1].numero(), 2);
        QCOMPARE(lote[2].numero(), 3);
        QVERIFY(!lote[1].uuid.isNull());

        RegistroEvaluacion repetido = lote[1];
        repetido.establecerCampo(Pos::NombreEdificacion, QStringLiteral("otro nombre"));
        QCOMPARE(registro.agregar(repetido), 2);
        QCOMPARE(Cantidad(b.administrador), 3);
        QCOMPARE(registro.porNumero(2)->texto(Pos::NombreEdificacion), QStringLiteral("B"));

        QCOMPARE(ServidorPrueba::Ejecutar(b.evaluador,
                                          QStringLiteral("BEGIN; INSERT INTO orv.\"Evaluaciones\" (uuid) VALUES "
                                                         "(gen_random_uuid()); ROLLBACK")),
                 QString());
        RegistroEvaluacion d = Ejemplar(QStringLiteral("D"));
        QCOMPARE(registro.agregar(d), 4);
        QCOMPARE(Huecos(b.administrador), QString());
        const QString identidad = ServidorPrueba::Valor(b.administrador,
            QStringLiteral("SELECT uuid::text || '|' || equipo || '|' || (recibido_en >= guardado_en - interval '1 minute')::text "
                           "FROM orv.\"Evaluaciones\" WHERE \"NumeroEvaluacion\" = 4")).toString();
        QCOMPARE(identidad, d.uuid.toString(QUuid::WithoutBraces) + QLatin1Char('|') + d.equipo + QStringLiteral("|true"));
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
            {Pos::Latitud, 4.123456789012345},
            {Pos::Longitud, -74.0000000001}};
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

    // What each failure says, and that none carries the password.
    void fallosDelServidor()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        auto fallo = [](ConexionServidor c) -> ErrorServidor {
            RegistroServidor registro(c);
            RegistroEvaluacion r = Ejemplar();
            try {
                registro.agregar(r);
            } catch (const ErrorServidor &e) {
                return e;
            }
            return ErrorServidor(QStringLiteral("se guardó"), false);
        };
        ConexionServidor mala = b.evaluador;
        mala.clave = QStringLiteral("Secreta-Equivocada-2026");
        const ErrorServidor clave = fallo(mala);
        QVERIFY(!clave.red());
        QVERIFY2(clave.mensaje().contains(QStringLiteral("rechazó el usuario \"%1\" o su contraseña").arg(mala.usuario)),
                 qPrintable(clave.mensaje()));
        QVERIFY(!clave.mensaje().contains(mala.clave));
        QVERIFY(!clave.mensaje().contains(b.evaluador.clave));

        ConexionServidor sinServidor = b.evaluador;
        sinServidor.puerto = 1;
        const ErrorServidor red = fallo(sinServidor);
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
        const ErrorServidor permiso = fallo(ajeno);
        QVERIFY(!permiso.red());
        QVERIFY2(permiso.mensaje().contains(QStringLiteral("no tiene permiso")), qPrintable(permiso.mensaje()));

        ServidorPrueba::Base vacia = ServidorPrueba::Nueva(false);
        const ErrorServidor sinTabla = fallo(vacia.administrador);
        QVERIFY(!sinTabla.red());
        QVERIFY2(sinTabla.mensaje().contains(QStringLiteral("orv-registro servidor preparar")),
                 qPrintable(sinTabla.mensaje()));
        QCOMPARE(Cantidad(b.administrador), 0);
    }

    // Saving through the configured registry: to the outbox when the server
    // is away or refuses, sent later; ORV_REGISTRO chooses the registry.
    void bandejaDeSalida()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const QString local = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));

        ConexionServidor lejos = b.evaluador;
        lejos.puerto = 1;
        ServidorPrueba::UsarEnEntorno(lejos);
        RegistroEvaluacion primero = Ejemplar(QStringLiteral("Primero"));
        {
            RegistroConfigurado r = AbrirRegistroConfigurado(local);
            QVERIFY(r.esServidor());
            const ResultadoGuardado g = r.guardar(primero);
            QVERIFY(g.pendiente);
            QCOMPARE(g.numero, 0);
            QCOMPARE(g.mensaje, TextosBandeja::GuardadaEnEquipo);
            const QVector<RegistroEvaluacion> p = r.bandeja->pendientes();
            QCOMPARE(p.size(), 1);
            QVERIFY(p[0].pendiente);
            QVERIFY(p[0].campo(Pos::Numero).isNull());
            QCOMPARE(p[0].uuid, primero.uuid);
            QCOMPARE(p[0].texto(Pos::NombreEdificacion), QStringLiteral("Primero"));
            QCOMPARE(p[0].guardadoEn, primero.guardadoEn);
        }
        QCOMPARE(BandejaSalida(BandejaSalida::archivoPara(local)).cantidad(), 1);

        // The server refuses: a clear message, the record stays.
        ConexionServidor ajeno = b.evaluador;
        ajeno.usuario += QStringLiteral("_sin");
        ajeno.clave = QStringLiteral("y");
        ServidorPrueba::Ejecutar(b.administrador, QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'y'").arg(ajeno.usuario));
        ServidorPrueba::UsarEnEntorno(ajeno);
        RegistroEvaluacion segundo = Ejemplar(QStringLiteral("Segundo"));
        {
            RegistroConfigurado r = AbrirRegistroConfigurado(local);
            const ResultadoGuardado g = r.guardar(segundo);
            QVERIFY(g.pendiente);
            QVERIFY2(g.mensaje.contains(QStringLiteral("no tiene permiso")), qPrintable(g.mensaje));
            QVERIFY(g.mensaje.endsWith(TextosBandeja::QuedaPendiente));
            QCOMPARE(r.bandeja->cantidad(), 2);
        }

        // The server reachable: both leave the outbox, in the order saved;
        // the next save gets its number at once.
        ServidorPrueba::UsarEnEntorno(b.evaluador);
        {
            RegistroConfigurado r = AbrirRegistroConfigurado(local);
            const ResultadoEnvio e = r.enviarPendientes();
            QCOMPARE(e.error, QString());
            QCOMPARE(e.enviados, 2);
            QCOMPARE(e.pendientes, 0);
            QCOMPARE(e.numeros.value(primero.uuid), 1);
            QCOMPARE(e.numeros.value(segundo.uuid), 2);
            RegistroEvaluacion tercero = Ejemplar(QStringLiteral("Tercero"));
            const ResultadoGuardado g = r.guardar(tercero);
            QVERIFY(!g.pendiente);
            QCOMPARE(g.numero, 3);
            QCOMPARE(r.almacen->porNumero(1)->texto(Pos::NombreEdificacion), QStringLiteral("Primero"));
            QCOMPARE(r.bandeja->cantidad(), 0);
        }

        // ORV_REGISTRO naming a file, or nothing usable.
        qputenv("ORV_REGISTRO", equipo.filePath(QStringLiteral("otro.sqlite")).toUtf8());
        {
            RegistroConfigurado r = AbrirRegistroConfigurado(local);
            QVERIFY(!r.esServidor());
            RegistroEvaluacion x = Ejemplar();
            QCOMPARE(r.guardar(x).numero, 1);
            QVERIFY(QFile::exists(equipo.filePath(QStringLiteral("otro.sqlite"))));
        }
        for (const char *malo : {"postgresql://servidor:5432", "postgresql://u@s/base?sslmode=siempre",
                                 "postgresql://u@s/base?clave=x"}) {
            qputenv("ORV_REGISTRO", malo);
            try {
                AbrirRegistroConfigurado(local);
                QFAIL(malo);
            } catch (const ErrorDatos &e) {
                QVERIFY2(e.mensaje().contains(QStringLiteral("ORV_REGISTRO")), qPrintable(e.mensaje()));
            }
        }
    }
};

QTEST_GUILESS_MAIN(PruebaServidor)
#include "server_registry_test.moc"
