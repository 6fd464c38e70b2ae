#include "core/registry/server_registry.h"

#include "core/registry/registry_summary.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

using namespace RegistroEvaluaciones;

namespace RegistroCentral {

QString TablaSql() { return CitarIdentificador(Esquema) + QLatin1Char('.') + CitarIdentificador(Tabla); }

const QStringList &ColumnasIdentidad()
{
    static const QStringList columnas = {QStringLiteral("uuid"), QStringLiteral("equipo"), QStringLiteral("usuario"),
                                         QStringLiteral("guardado_en"), QStringLiteral("recibido_en")};
    return columnas;
}

}  // namespace RegistroCentral

namespace {

QString TipoPostgres(TipoCampo tipo)
{
    switch (tipo) {
    case TipoCampo::Entero: return QStringLiteral("integer");
    case TipoCampo::Texto: return QStringLiteral("text");
    case TipoCampo::Real: return QStringLiteral("double precision");
    }
    return QString();
}

// INSERT of `filas` records: every field but the number, which the
// server's trigger gives, and the identity; a uuid already held stores
// nothing. Returns the uuid and the number of each row stored.
QString SentenciaInsertar(int filas)
{
    QStringList columnas, marcas;
    for (const CampoRegistro &c : Campos()) {
        if (c.posicion == Pos::Numero)
            continue;
        columnas << CitarIdentificador(c.columna);
        marcas << QStringLiteral("?");
    }
    columnas << QStringLiteral("uuid") << QStringLiteral("equipo") << QStringLiteral("usuario")
             << QStringLiteral("guardado_en");
    marcas << QStringLiteral("CAST(? AS uuid)") << QStringLiteral("?") << QStringLiteral("?")
           << QStringLiteral("CAST(? AS timestamptz)");
    const QString fila = QLatin1Char('(') + marcas.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList valores;
    for (int i = 0; i < filas; ++i)
        valores << fila;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3 ON CONFLICT (uuid) DO NOTHING RETURNING uuid::text, %4")
        .arg(RegistroCentral::TablaSql(), columnas.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")),
             CitarIdentificador(Campo(Pos::Numero).columna));
}

// Rows per INSERT statement: few round trips, well under the server's limit
// of bound values.
constexpr int FilasPorSentencia = 50;

QString TextoUuid(const QUuid &u) { return u.toString(QUuid::WithoutBraces); }

}  // namespace

RegistroServidor::RegistroServidor(ConexionServidor conexion)
    : conexion_(std::move(conexion)), nombreConexion_(Servidor::nuevaConexion("orv-servidor"))
{
}

RegistroServidor::~RegistroServidor()
{
    lector_.reset();
    Servidor::cerrar(nombreConexion_);
}

QString RegistroServidor::descripcion() const
{
    return QStringLiteral("tabla \"%1\" del servidor \"%2\"").arg(Tabla, conexion_.nombre());
}

const LectorRegistroSql &RegistroServidor::lector()
{
    if (!lector_)
        lector_ = std::make_unique<LectorRegistroSql>(nombreConexion_, RegistroCentral::TablaSql(),
                                                      LectorRegistroSql::Motor::Postgres, descripcion());
    return *lector_;
}

template <typename F> auto RegistroServidor::conConexion(F accion) -> decltype(accion())
{
    const bool abierta =
        QSqlDatabase::contains(nombreConexion_) && QSqlDatabase::database(nombreConexion_, false).isOpen();
    if (!abierta)
        Servidor::abrir(conexion_, nombreConexion_);
    auto conexionPerdida = [this] {
        // A failed read does not say why; a connection that cannot run the
        // simplest statement is lost.
        QSqlQuery q(QSqlDatabase::database(nombreConexion_, false));
        return !q.exec(QStringLiteral("SELECT 1"));
    };
    try {
        return accion();
    } catch (const ErrorServidor &e) {
        if (!e.red())
            throw;
        Servidor::cerrar(nombreConexion_);
        if (!abierta)
            throw;
    } catch (const ErrorDatos &) {
        if (!conexionPerdida())
            throw;
        Servidor::cerrar(nombreConexion_);
        if (!abierta)
            throw ErrorServidor(QStringLiteral("Error en el registro central: se perdió la conexión con el servidor "
                                               "(%1).")
                                    .arg(descripcion()),
                                true);
    }
    // The connection was lost since its last use (the server restarted,
    // the network came back): once more on a new one.
    Servidor::abrir(conexion_, nombreConexion_);
    try {
        return accion();
    } catch (const ErrorServidor &e) {
        if (e.red())
            Servidor::cerrar(nombreConexion_);
        throw;
    } catch (const ErrorDatos &) {
        if (conexionPerdida()) {
            Servidor::cerrar(nombreConexion_);
            throw ErrorServidor(QStringLiteral("Error en el registro central: se perdió la conexión con el servidor "
                                               "(%1).")
                                    .arg(descripcion()),
                                true);
        }
        throw;
    }
}

void RegistroServidor::probar()
{
    conConexion([this] {
        QSqlQuery q(QSqlDatabase::database(nombreConexion_, false));
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = '%1' "
                                   "AND table_name = '%2' ORDER BY ordinal_position")
                        .arg(RegistroCentral::Esquema, Tabla)))
            throw Servidor::error(conexion_, QStringLiteral("no se puede leer la tabla"), q.lastError());
        QStringList columnas;
        while (q.next())
            columnas << q.value(0).toString();
        QStringList esperadas;
        for (const CampoRegistro &c : Campos())
            esperadas << c.columna;
        esperadas << RegistroCentral::ColumnasIdentidad();
        if (columnas.isEmpty())
            throw ErrorServidor(QStringLiteral("Error en el registro central: el servidor no tiene la tabla del "
                                               "registro o el usuario \"%1\" no puede verla; el administrador debe "
                                               "prepararla con \"orv-registro servidor preparar\" (%2).")
                                    .arg(conexion_.usuario, descripcion()),
                                false);
        if (columnas.mid(0, esperadas.size()) != esperadas)
            throw ErrorServidor(QStringLiteral("Error en el registro central: la tabla del servidor no corresponde a "
                                               "esta versión del programa (%1 columnas; se esperan %2 en el orden del "
                                               "registro) (%3).")
                                    .arg(columnas.size())
                                    .arg(esperadas.size())
                                    .arg(descripcion()),
                                false);
        return 0;
    });
}

void RegistroServidor::insertar(QVector<RegistroEvaluacion> &lote)
{
    QSqlDatabase db = QSqlDatabase::database(nombreConexion_, false);
    auto fallar = [&](const QString &que, const QSqlError &e) {
        const ErrorServidor error = Servidor::error(conexion_, que, e);
        db.rollback();
        throw error;
    };
    if (!db.transaction())
        fallar(QStringLiteral("no se puede iniciar la escritura"), db.lastError());
    QSqlQuery q(db);
    q.setForwardOnly(true);
    int preparadas = 0;
    QHash<QString, int32_t> numeros;
    for (qsizetype inicio = 0; inicio < lote.size(); inicio += FilasPorSentencia) {
        const int filas = static_cast<int>(std::min<qsizetype>(FilasPorSentencia, lote.size() - inicio));
        if (filas != preparadas) {
            if (!q.prepare(SentenciaInsertar(filas)))
                fallar(QStringLiteral("no se puede preparar la escritura"), q.lastError());
            preparadas = filas;
        }
        int i = 0;
        for (int k = 0; k < filas; ++k) {
            const RegistroEvaluacion &r = lote.at(inicio + k);
            for (const CampoRegistro &c : Campos()) {
                if (c.posicion == Pos::Numero)
                    continue;
                q.bindValue(i++, r.campo(c.posicion));
            }
            q.bindValue(i++, TextoUuid(r.uuid));
            q.bindValue(i++, r.equipo);
            q.bindValue(i++, r.usuario);
            q.bindValue(i++, r.guardadoEn.toUTC().toString(Qt::ISODateWithMs));
        }
        if (!q.exec())
            fallar(QStringLiteral("no se puede guardar la evaluación"), q.lastError());
        while (q.next())
            numeros.insert(q.value(0).toString(), q.value(1).toInt());
        q.finish();
    }
    // Records already received, in an earlier send whose answer was lost.
    QSqlQuery existente(db);
    existente.setForwardOnly(true);
    for (RegistroEvaluacion &r : lote) {
        const QString uuid = TextoUuid(r.uuid);
        if (!numeros.contains(uuid)) {
            if (!existente.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE uuid = CAST(? AS uuid)")
                                       .arg(CitarIdentificador(Campo(Pos::Numero).columna), RegistroCentral::TablaSql())))
                fallar(QStringLiteral("no se puede leer la tabla"), existente.lastError());
            existente.addBindValue(uuid);
            if (!existente.exec() || !existente.next())
                fallar(QStringLiteral("no se puede leer la tabla"), existente.lastError());
            numeros.insert(uuid, existente.value(0).toInt());
            existente.finish();
        }
        r.establecerCampo(Pos::Numero, numeros.value(uuid));
    }
    if (!db.commit())
        fallar(QStringLiteral("no se pudo confirmar la escritura"), db.lastError());
}

void RegistroServidor::agregar(QVector<RegistroEvaluacion> &lote)
{
    if (lote.isEmpty())
        return;
    QVector<RegistroEvaluacion> escritos = lote;
    for (RegistroEvaluacion &r : escritos) {
        r.sellar();
        r.pendiente = false;
    }
    conConexion([&] {
        QVector<RegistroEvaluacion> intento = escritos;
        insertar(intento);
        escritos = std::move(intento);
        return 0;
    });
    lote = std::move(escritos);
}

qint64 RegistroServidor::contar(const FiltroRegistro &filtro)
{
    return conConexion([&] { return lector().contar(filtro); });
}

QVector<RegistroEvaluacion> RegistroServidor::pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                                                     qint64 desde, int cuantos)
{
    return conConexion([&] { return lector().pagina(filtro, orden, desde, cuantos); });
}

std::optional<RegistroEvaluacion> RegistroServidor::porNumero(int32_t numero)
{
    return conConexion([&] { return lector().porNumero(numero); });
}

void RegistroServidor::recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                                const std::function<bool(const RegistroEvaluacion &)> &cada)
{
    // Once a record has been handed on, a lost connection is not read again
    // from the start: the caller would get those records twice.
    bool empezado = false;
    conConexion([&] {
        if (empezado)
            throw ErrorServidor(QStringLiteral("Error en el registro central: se perdió la conexión con el servidor "
                                               "durante la lectura; no se continuó para no repetir evaluaciones (%1).")
                                    .arg(descripcion()),
                                true);
        lector().recorrer(filtro, orden, [&](const RegistroEvaluacion &r) {
            empezado = true;
            return cada(r);
        });
        return 0;
    });
}

QStringList PrepararServidor(const ConexionServidor &administrador)
{
    using namespace RegistroCentral;
    const QString nombre = Servidor::nuevaConexion("orv-preparar");
    QStringList hecho;
    std::optional<ErrorServidor> error;
    {
        QSqlDatabase db = Servidor::abrir(administrador, nombre);
        QSqlQuery q(db);
        auto exec = [&](const QString &sql, const QString &que) {
            if (!q.exec(sql)) {
                const ErrorServidor e = Servidor::error(administrador, que, q.lastError());
                db.rollback();
                throw e;
            }
        };
        auto existe = [&](const QString &sql) {
            exec(sql, QStringLiteral("no se puede leer el catálogo del servidor"));
            return q.next();
        };
        try {
            q.exec(QStringLiteral("SET client_min_messages = warning"));
            if (!db.transaction())
                throw Servidor::error(administrador, QStringLiteral("no se puede iniciar la preparación"),
                                      db.lastError());
            const QString tabla = TablaSql();
            const QString numero = CitarIdentificador(Campo(Pos::Numero).columna);
            for (const QString &papel : {PapelAdministrador, PapelEvaluador}) {
                if (existe(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = '%1'").arg(papel)))
                    continue;
                // Another preparation at the same moment may make it first.
                exec(QStringLiteral("DO $$ BEGIN CREATE ROLE %1 NOLOGIN; EXCEPTION WHEN duplicate_object OR "
                                    "unique_violation THEN NULL; END $$")
                         .arg(papel),
                     QStringLiteral("no se puede crear el papel %1").arg(papel));
                hecho << QStringLiteral("Papel %1 creado.").arg(papel);
            }
            // Whoever prepares must be able to act as the owner.
            if (!existe(QStringLiteral("SELECT 1 WHERE pg_has_role(CURRENT_USER, '%1', 'MEMBER')").arg(PapelAdministrador)))
                exec(QStringLiteral("GRANT %1 TO CURRENT_USER").arg(PapelAdministrador),
                     QStringLiteral("no se puede asumir el papel %1").arg(PapelAdministrador));
            const bool habiaEsquema =
                existe(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = '%1'").arg(Esquema));
            exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1 AUTHORIZATION %2")
                     .arg(CitarIdentificador(Esquema), PapelAdministrador),
                 QStringLiteral("no se puede crear el esquema"));
            if (!habiaEsquema)
                hecho << QStringLiteral("Esquema %1 creado.").arg(Esquema);
            exec(QStringLiteral("SET LOCAL ROLE %1").arg(PapelAdministrador),
                 QStringLiteral("no se puede asumir el papel %1").arg(PapelAdministrador));

            const bool habiaTabla = existe(
                QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = '%1' AND tablename = '%2'").arg(Esquema, Tabla));
            if (!habiaTabla) {
                QStringList columnas;
                for (const CampoRegistro &c : Campos())
                    columnas << CitarIdentificador(c.columna) + QLatin1Char(' ') + TipoPostgres(c.tipo)
                                    + (c.posicion == Pos::Numero ? QStringLiteral(" NOT NULL UNIQUE") : QString());
                columnas << QStringLiteral("uuid uuid NOT NULL UNIQUE") << QStringLiteral("equipo text")
                         << QStringLiteral("usuario text") << QStringLiteral("guardado_en timestamptz")
                         << QStringLiteral("recibido_en timestamptz NOT NULL DEFAULT now()");
                exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(tabla, columnas.join(QStringLiteral(", "))),
                     QStringLiteral("no se puede crear la tabla"));
                hecho << QStringLiteral("Tabla %1 creada.").arg(tabla);
            }
            // The columns must be those of this version, in their positions.
            exec(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = '%1' AND "
                                "table_name = '%2' ORDER BY ordinal_position")
                     .arg(Esquema, Tabla),
                 QStringLiteral("no se puede leer la tabla"));
            QStringList hay, esperadas;
            while (q.next())
                hay << q.value(0).toString();
            for (const CampoRegistro &c : Campos())
                esperadas << c.columna;
            esperadas << ColumnasIdentidad();
            if (hay != esperadas) {
                db.rollback();
                throw ErrorServidor(QStringLiteral("Error en el registro central: la tabla %1 del servidor \"%2\" ya "
                                                   "existe con otras columnas (%3; se esperan %4); no se modificó.")
                                        .arg(tabla, administrador.nombre())
                                        .arg(hay.size())
                                        .arg(esperadas.size()),
                                    false);
            }
            // The window sorts by date, then by number.
            exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesFechaNumero\" ON %1 (%2, %3)")
                     .arg(tabla, CitarIdentificador(Campo(Pos::Fecha).columna), numero),
                 QStringLiteral("no se puede crear un índice"));
            exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesHabitabilidad\" ON %1 (%2)")
                     .arg(tabla, CitarIdentificador(Campo(Pos::Habitabilidad).columna)),
                 QStringLiteral("no se puede crear un índice"));
            // The number: the largest plus one, under a lock held until the
            // inserting transaction ends, so numbers follow the order of
            // arrival, are never shared and leave no gap when a
            // transaction is rolled back. The received time is the server's.
            exec(QStringLiteral(
                     "CREATE OR REPLACE FUNCTION %1.numerar_evaluacion() RETURNS trigger LANGUAGE plpgsql "
                     "SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$ BEGIN "
                     "PERFORM pg_advisory_xact_lock('%2'::regclass::oid::bigint); "
                     "SELECT COALESCE(MAX(%3), 0) + 1 INTO NEW.%3 FROM %4; "
                     "NEW.recibido_en := now(); RETURN NEW; END $f$")
                     .arg(CitarIdentificador(Esquema), QString(tabla).replace(QLatin1Char('\''), QLatin1String("''")),
                          numero, tabla),
                 QStringLiteral("no se puede crear la función de numeración"));
            exec(QStringLiteral("REVOKE ALL ON FUNCTION %1.numerar_evaluacion() FROM PUBLIC")
                     .arg(CitarIdentificador(Esquema)),
                 QStringLiteral("no se puede fijar los permisos"));
            exec(QStringLiteral("DROP TRIGGER IF EXISTS numerar ON %1").arg(tabla),
                 QStringLiteral("no se puede crear el disparador de numeración"));
            exec(QStringLiteral("CREATE TRIGGER numerar BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION "
                                "%2.numerar_evaluacion()")
                     .arg(tabla, CitarIdentificador(Esquema)),
                 QStringLiteral("no se puede crear el disparador de numeración"));
            exec(QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC").arg(tabla), QStringLiteral("no se puede fijar los permisos"));
            exec(QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(tabla, PapelEvaluador),
                 QStringLiteral("no se puede fijar los permisos"));
            exec(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(CitarIdentificador(Esquema), PapelEvaluador),
                 QStringLiteral("no se puede fijar los permisos"));
            exec(QStringLiteral("GRANT SELECT, INSERT ON %1 TO %2").arg(tabla, PapelEvaluador),
                 QStringLiteral("no se puede fijar los permisos"));
            if (!db.commit())
                throw Servidor::error(administrador, QStringLiteral("no se pudo confirmar la preparación"),
                                      db.lastError());
            hecho << QStringLiteral("Permisos: %1 puede agregar y leer evaluaciones, no modificarlas ni borrarlas.")
                         .arg(PapelEvaluador);
        } catch (const ErrorServidor &e) {
            error.emplace(e);
        }
    }
    Servidor::cerrar(nombre);
    if (error)
        throw *error;
    return hecho;
}

ResumenRegistro RegistroServidor::resumen(const FiltroRegistro &filtro)
{
    return conConexion([&] { return ResumirRegistro(lector(), filtro); });
}
