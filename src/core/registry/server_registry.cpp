#include "core/registry/server_registry.h"


#include "core/registry/building_key.h"
#include "core/registry/buildings.h"
#include "core/registry/registry_summary.h"
#include "core/registry/server_corrections.h"
#include "core/registry/server_photos.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>
#include <vector>

using namespace RegistroEvaluaciones;

namespace RegistroCentral {

QString TablaSql() { return CitarIdentificador(Esquema) + QLatin1Char('.') + CitarIdentificador(Tabla); }

const QStringList &ColumnasIdentidad()
{
    static const QStringList columnas = {QStringLiteral("uuid"),        QStringLiteral("equipo"),
                                         QStringLiteral("usuario"),     QStringLiteral("guardado_en"),
                                         QStringLiteral("recibido_en"), QStringLiteral("usuario_servidor"),
                                         ColumnaClave,                  ColumnaUnidades,
                                         QStringLiteral("fotos")};
    return columnas;
}

}  // namespace RegistroCentral

namespace {

// The dwelling units: none, or a whole number the form accepts.
const QString UnidadesSql = QStringLiteral(" integer CHECK (unidades_vivienda BETWEEN 0 AND %1)")
                                .arg(UnidadesViviendaMaximas);

QString TipoPostgres(TipoCampo tipo)
{
    switch (tipo) {
    case TipoCampo::Entero: return QStringLiteral("integer");
    case TipoCampo::Texto: return QStringLiteral("text");
    case TipoCampo::Real: return QStringLiteral("double precision");
    }
    return QString();
}

// One statement for `filas` records: the INSERT of every field but the
// number, which the server's trigger gives, and the identity; the trigger
// skips a uuid already held. The statement answers the uuid and number of
// each row it stored and of each uuid of the batch the server held before
// (the last value bound: an array of the batch's uuids), so a batch needs
// no second statement and the client holds nothing between statements.
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
             << QStringLiteral("guardado_en") << CitarIdentificador(ColumnaClave) << CitarIdentificador(ColumnaUnidades)
             << QStringLiteral("fotos");
    marcas << QStringLiteral("CAST(? AS uuid)") << QStringLiteral("?") << QStringLiteral("?")
           << QStringLiteral("CAST(? AS timestamptz)") << QStringLiteral("?") << QStringLiteral("CAST(? AS integer)")
           << QStringLiteral("CAST(? AS uuid[])");
    const QString fila = QLatin1Char('(') + marcas.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList valores;
    for (int i = 0; i < filas; ++i)
        valores << fila;
    const QString numero = CitarIdentificador(Campo(Pos::Numero).columna);
    // The SELECT reads the table as it was when the statement began: the
    // rows held before, not those the INSERT adds.
    return QStringLiteral("WITH nuevas AS (INSERT INTO %1 (%2) VALUES %3 RETURNING uuid, %4) "
                          "SELECT uuid::text, %4 FROM nuevas UNION ALL "
                          "SELECT uuid::text, %4 FROM %1 WHERE uuid = ANY (CAST(? AS uuid[]))")
        .arg(RegistroCentral::TablaSql(), columnas.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")),
             numero);
}

// Rows per statement: a batch of the outbox (500) goes in one statement,
// well under the server's limit of 65 535 bound values.
constexpr int FilasPorSentencia = 500;

// What `servidor preparar` sets for every session of the registry's
// database: a session idle inside a transaction is ended after a few
// seconds (the program never leaves one open), and a statement gives up
// waiting for a lock before the program's own statement time limit.
const std::vector<std::pair<QString, QString>> &LimitesDeSesion()
{
    static const std::vector<std::pair<QString, QString>> limites = {
        {QStringLiteral("idle_in_transaction_session_timeout"), QStringLiteral("5s")},
        {QStringLiteral("lock_timeout"), QStringLiteral("10s")}};
    return limites;
}

QString ContadorSql()
{
    return CitarIdentificador(RegistroCentral::Esquema) + QStringLiteral(".numeracion");
}

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

namespace {

// The SQLSTATE the numbering trigger raises for a uuid already held with
// other content; its message names the uuid.
const QLatin1String EstadoUuidAjeno("ORV01");

// Why the server cannot store `r`, empty when it can: PostgreSQL's text
// cannot hold the character U+0000.
QString MotivoNoAdmitido(const RegistroEvaluacion &r)
{
    QStringList campos;
    for (const CampoRegistro &c : Campos())
        if (c.tipo == TipoCampo::Texto && r.texto(c.posicion).contains(QChar(0)))
            campos << c.etiqueta;
    if (r.equipo.contains(QChar(0)))
        campos << QStringLiteral("equipo");
    if (r.usuario.contains(QChar(0)))
        campos << QStringLiteral("usuario");
    for (const FotoEvaluacion &f : r.fotos)
        if (f.leyenda.contains(QChar(0)))
            campos << QStringLiteral("leyenda de la foto %1").arg(f.orden);
    if (campos.isEmpty())
        return QString();
    return QStringLiteral("el campo «%1» contiene un carácter nulo (U+0000), que el registro central no admite; "
                          "corríjalo en el origen de la evaluación")
        .arg(campos.join(QStringLiteral("», «")));
}

}  // namespace

ErrorRegistroRechazado RegistroServidor::rechazo(const QHash<QUuid, QString> &rechazados) const
{
    QStringList lineas;
    for (auto it = rechazados.cbegin(); it != rechazados.cend(); ++it)
        lineas << QStringLiteral("Evaluación %1: %2.").arg(TextoUuid(it.key()), it.value());
    lineas.sort();
    return ErrorRegistroRechazado(QStringLiteral("Error en el registro central: el servidor no admite %1 (no se guardó "
                                                 "ninguna evaluación de este envío) (%2).\n%3")
                                      .arg(rechazados.size() == 1 ? QStringLiteral("una evaluación")
                                                                  : QStringLiteral("%1 evaluaciones").arg(rechazados.size()),
                                           descripcion(), lineas.join(QLatin1Char('\n'))),
                                  rechazados);
}

void RegistroServidor::insertar(QVector<RegistroEvaluacion> &lote)
{
    QHash<QUuid, QString> rechazados;
    for (const RegistroEvaluacion &r : std::as_const(lote))
        if (const QString motivo = MotivoNoAdmitido(r); !motivo.isEmpty())
            rechazados.insert(r.uuid, motivo);
    if (!rechazados.isEmpty())
        throw rechazo(rechazados);
    QSqlDatabase db = QSqlDatabase::database(nombreConexion_, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    int preparadas = 0;
    for (qsizetype inicio = 0; inicio < lote.size(); inicio += FilasPorSentencia) {
        const int filas = static_cast<int>(std::min<qsizetype>(FilasPorSentencia, lote.size() - inicio));
        // The photos first, in parts; the records' statement then finds
        // every photo it lists, or the server refuses it.
        const QHash<QUuid, QString> porFotos = FotosServidor::Enviar(db, conexion_, lote.mid(inicio, filas));
        if (!porFotos.isEmpty())
            throw rechazo(porFotos);
        QHash<QString, int32_t> numeros;
        // A uuid that another connection stores while this statement runs
        // is in neither part of the answer: the same statement again finds
        // it among the rows held before.
        for (int intento = 0; intento < 3; ++intento) {
            if (filas != preparadas) {
                if (!q.prepare(SentenciaInsertar(filas)))
                    throw Servidor::error(conexion_, QStringLiteral("no se puede preparar la escritura"), q.lastError());
                preparadas = filas;
            }
            int i = 0;
            QStringList uuids;
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
                q.bindValue(i++, r.claveEdificacion);
                q.bindValue(i++, r.unidadesVivienda ? QVariant(*r.unidadesVivienda) : QVariant(QMetaType(QMetaType::Int)));
                QStringList fotos;
                for (const FotoEvaluacion &f : r.fotos)
                    fotos << TextoUuid(f.uuid);
                q.bindValue(i++, QLatin1Char('{') + fotos.join(QLatin1Char(',')) + QLatin1Char('}'));
                uuids << TextoUuid(r.uuid);
            }
            q.bindValue(i++, QLatin1Char('{') + uuids.join(QLatin1Char(',')) + QLatin1Char('}'));
            // One statement, committed on its own: nothing stays locked
            // on the server once it has answered.
            if (!q.exec()) {
                const QSqlError e = q.lastError();
                if (e.nativeErrorCode() == EstadoUuidAjeno) {
                    static const QRegularExpression patron(QStringLiteral(
                        "[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"));
                    const QUuid uuid(patron.match(e.databaseText()).captured());
                    if (!uuid.isNull())
                        throw rechazo({{uuid, QStringLiteral("el registro central ya tiene otra evaluación con el mismo "
                                                             "identificador y otro contenido; no se envía: consulte al "
                                                             "centro de operaciones cuál es la verdadera")}});
                }
                throw Servidor::error(conexion_, QStringLiteral("no se puede guardar la evaluación"), e);
            }
            while (q.next())
                numeros.insert(q.value(0).toString(), q.value(1).toInt());
            q.finish();
            bool todos = true;
            for (const QString &u : std::as_const(uuids))
                todos = todos && numeros.contains(u);
            if (todos)
                break;
        }
        for (int k = 0; k < filas; ++k) {
            RegistroEvaluacion &r = lote[inicio + k];
            const auto n = numeros.constFind(TextoUuid(r.uuid));
            if (n == numeros.cend())
                throw ErrorServidor(QStringLiteral("Error en el registro central: el servidor no devolvió el número de "
                                                   "la evaluación %1 (%2).")
                                        .arg(TextoUuid(r.uuid), descripcion()),
                                    false);
            r.establecerCampo(Pos::Numero, *n);
        }
    }
}

void RegistroServidor::agregar(QVector<RegistroEvaluacion> &lote)
{
    if (lote.isEmpty())
        return;
    QVector<RegistroEvaluacion> escritos = lote;
    for (RegistroEvaluacion &r : escritos) {
        r.sellar();
        r.pendiente = false;
        // Computed here, as the local file does, from the record as it
        // arrives: a record that waited in the outbox gets the key it
        // would have got when it was saved.
        if (r.claveEdificacion.isEmpty())
            r.claveEdificacion = ClaveEdificacion::De(r);
        Fotos::Completar(r.fotos, r.uuid, 0, 0, descripcion());
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

namespace {

// Gives every row without a building key the key computed from its fields,
// inside the preparation's transaction. Returns how many rows got one.
qint64 CompletarClaves(QSqlDatabase &db, const ConexionServidor &administrador)
{
    QSqlQuery lee(db);
    lee.setForwardOnly(true);
    if (!lee.exec(QStringLiteral("SELECT %1, uuid::text FROM %2 WHERE %3 IS NULL")
                      .arg(LectorRegistroSql::listaColumnas(), RegistroCentral::TablaSql(),
                           CitarIdentificador(ColumnaClave))))
        throw Servidor::error(administrador, QStringLiteral("no se puede leer la tabla"), lee.lastError());
    QVector<std::pair<QString, QString>> claves;  // uuid, key
    while (lee.next())
        claves.append({lee.value(NumCampos).toString(), ClaveEdificacion::De(LectorRegistroSql::registroDeFila(lee))});
    lee.finish();
    QSqlQuery escribe(db);
    escribe.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE uuid = CAST(? AS uuid)")
                        .arg(RegistroCentral::TablaSql(), CitarIdentificador(ColumnaClave)));
    for (const auto &[uuid, clave] : std::as_const(claves)) {
        escribe.addBindValue(clave);
        escribe.addBindValue(uuid);
        if (!escribe.exec())
            throw Servidor::error(administrador, QStringLiteral("no se puede completar la tabla"), escribe.lastError());
    }
    return claves.size();
}

}  // namespace

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
        auto valorTexto = [&](const QString &sql) {
            exec(sql, QStringLiteral("no se puede leer la tabla"));
            return q.next() ? q.value(0).toString() : QString();
        };
        try {
            q.exec(QStringLiteral("SET client_min_messages = warning"));
            if (!db.transaction())
                throw Servidor::error(administrador, QStringLiteral("no se puede iniciar la preparación"),
                                      db.lastError());
            const QString tabla = TablaSql();
            const QString numero = CitarIdentificador(Campo(Pos::Numero).columna);
            for (const QString &papel : {PapelAdministrador, PapelEvaluador, PapelSupervisor}) {
                if (existe(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = '%1'").arg(papel)))
                    continue;
                // Another preparation at the same moment may make it first.
                exec(QStringLiteral("DO $$ BEGIN CREATE ROLE %1 NOLOGIN; EXCEPTION WHEN duplicate_object OR "
                                    "unique_violation THEN NULL; END $$")
                         .arg(papel),
                     QStringLiteral("no se puede crear el papel %1").arg(papel));
                hecho << QStringLiteral("Papel %1 creado.").arg(papel);
            }
            // A supervisor does what an evaluator does, and corrects any
            // evaluation.
            if (!existe(QStringLiteral("SELECT 1 FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.roleid JOIN "
                                       "pg_roles s ON s.oid = m.member WHERE r.rolname = '%1' AND s.rolname = '%2'")
                            .arg(PapelEvaluador, PapelSupervisor)))
                exec(QStringLiteral("GRANT %1 TO %2").arg(PapelEvaluador, PapelSupervisor),
                     QStringLiteral("no se puede dar el papel %1 a %2").arg(PapelEvaluador, PapelSupervisor));
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
            // No session may keep the registry waiting: one idle inside a
            // transaction is ended, and a statement waits for a lock only
            // so long. Set for every login of this database (as ALTER ROLE
            // ALL IN DATABASE would): settings of the group role
            // orv_evaluador would not reach its members.
            for (const auto &[parametro, valor] : LimitesDeSesion()) {
                if (existe(QStringLiteral("SELECT 1 FROM pg_db_role_setting s JOIN pg_database d ON d.oid = s.setdatabase "
                                          "WHERE d.datname = current_database() AND s.setrole = 0 AND '%1=%2' = ANY "
                                          "(s.setconfig)")
                               .arg(parametro, valor)))
                    continue;
                exec(QStringLiteral("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET %2 = %L', current_database(), "
                                    "'%3'); END $$")
                         .arg(parametro, valor),
                     QStringLiteral("no se puede fijar los límites de las sesiones"));
                hecho << QStringLiteral("Límite de las sesiones: %1 = %2.").arg(parametro, valor);
            }
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
                         << QStringLiteral("recibido_en timestamptz NOT NULL DEFAULT now()")
                         << QStringLiteral("usuario_servidor text")
                         << CitarIdentificador(ColumnaClave) + QStringLiteral(" text")
                         << CitarIdentificador(ColumnaUnidades) + UnidadesSql;
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
            // Tables of earlier versions lack the login that stored each
            // row (their rows keep none) and the building key (computed
            // here for every row, as the laptop computes it when saving).
            const int posUsuarioServidor = esperadas.indexOf(QStringLiteral("usuario_servidor"));
            if (hay == esperadas.mid(0, posUsuarioServidor)) {
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN usuario_servidor text").arg(tabla),
                     QStringLiteral("no se puede agregar una columna a la tabla"));
                hay << esperadas.at(posUsuarioServidor);
                hecho << QStringLiteral("Columna usuario_servidor agregada a la tabla %1.").arg(tabla);
            }
            if (hay.size() < esperadas.size() && hay == esperadas.mid(0, hay.size())
                && esperadas.at(hay.size()) == ColumnaClave) {
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 text").arg(tabla, CitarIdentificador(ColumnaClave)),
                     QStringLiteral("no se puede agregar una columna a la tabla"));
                hay << ColumnaClave;
                const qint64 claves = CompletarClaves(db, administrador);
                hecho << QStringLiteral("Columna %1 agregada a la tabla %2 (claves calculadas para %3 evaluaciones).")
                             .arg(ColumnaClave, tabla)
                             .arg(claves);
            }
            if (hay.size() < esperadas.size() && hay == esperadas.mid(0, hay.size())
                && esperadas.at(hay.size()) == ColumnaUnidades) {
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2%3").arg(tabla, CitarIdentificador(ColumnaUnidades), UnidadesSql),
                     QStringLiteral("no se puede agregar una columna a la tabla"));
                hay << ColumnaUnidades;
                hecho << QStringLiteral("Columna %1 agregada a la tabla %2.").arg(ColumnaUnidades, tabla);
            }
            // The photos each evaluation arrived with; rows of earlier
            // versions arrived without any.
            const int posFotos = esperadas.indexOf(QStringLiteral("fotos"));
            if (hay == esperadas.mid(0, posFotos)) {
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN fotos uuid[]").arg(tabla),
                     QStringLiteral("no se puede agregar una columna a la tabla"));
                hay << esperadas.at(posFotos);
                hecho << QStringLiteral("Columna fotos agregada a la tabla %1.").arg(tabla);
            }
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
            // The evaluations of one building, newest first; those near a point.
            exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesEdificacion\" ON %1 (%2, %3, %4)")
                     .arg(tabla, CitarIdentificador(ColumnaClave), CitarIdentificador(Campo(Pos::Fecha).columna),
                          numero),
                 QStringLiteral("no se puede crear un índice"));
            exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesPosicion\" ON %1 (%2, %3)")
                     .arg(tabla, CitarIdentificador(Campo(Pos::Latitud).columna),
                          CitarIdentificador(Campo(Pos::Longitud).columna)),
                 QStringLiteral("no se puede crear un índice"));
            // The number comes from a counter row that only the numbering
            // function touches: the evaluators have no right on its table,
            // so they cannot lock it but by inserting, and an insert holds
            // it only until its statement's transaction ends. The counter
            // is updated in the inserting transaction, so a rolled-back
            // insert gives its number back. A registry of the previous
            // version (numbered under an advisory lock) keeps its rows and
            // numbers: the counter starts at its largest number.
            hecho << PrepararCorrecciones(q, administrador);
            hecho << PrepararFotosServidor(q, administrador);
            const QString contador = ContadorSql();
            const bool habiaContador = existe(
                QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = '%1' AND tablename = 'numeracion'").arg(Esquema));
            exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (unica boolean PRIMARY KEY DEFAULT true CHECK (unica), "
                                "ultimo integer NOT NULL)")
                     .arg(contador),
                 QStringLiteral("no se puede crear el contador de números"));
            exec(QStringLiteral("INSERT INTO %1 (ultimo) SELECT COALESCE(MAX(%2), 0) FROM %3 ON CONFLICT (unica) DO "
                                "NOTHING")
                     .arg(contador, numero, tabla),
                 QStringLiteral("no se puede crear el contador de números"));
            exec(QStringLiteral("UPDATE %1 SET ultimo = m FROM (SELECT MAX(%2) AS m FROM %3) AS t WHERE m > ultimo")
                     .arg(contador, numero, tabla),
                 QStringLiteral("no se puede crear el contador de números"));
            if (!habiaContador)
                hecho << QStringLiteral("Contador de números creado (último número: %1).")
                             .arg(valorTexto(QStringLiteral("SELECT ultimo FROM %1").arg(contador)));
            exec(QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC").arg(contador), QStringLiteral("no se puede fijar los permisos"));
            exec(QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(contador, PapelEvaluador),
                 QStringLiteral("no se puede fijar los permisos"));
            // A uuid already held with the same content, or with the
            // content a correction changed since, is skipped (the client
            // reads its number), after the counter is locked: two
            // sends of one record at the same moment store it once, and
            // neither takes a number. The same evaluation is the same fields;
            // the machine, user and time of saving may differ (a file of
            // evaluations imported again, on this laptop or another). Held
            // with another evaluation, it is refused (ORV01, the uuid in the
            // message). The login and the time are the server's, whatever the
            // client sent; the laptop's machine, user and time stay as the
            // laptop said.
            QStringList suyos, nuevos;
            for (const CampoRegistro &c : Campos()) {
                if (c.posicion == Pos::Numero)
                    continue;
                const QString col = CitarIdentificador(c.columna);
                suyos << (c.tipo == TipoCampo::Texto ? QStringLiteral("NULLIF(t.%1, '')") : QStringLiteral("t.%1")).arg(col);
                nuevos << (c.tipo == TipoCampo::Texto ? QStringLiteral("NULLIF(NEW.%1, '')") : QStringLiteral("NEW.%1")).arg(col);
            }
            exec(QStringLiteral(
                     "CREATE OR REPLACE FUNCTION %1.numerar_evaluacion() RETURNS trigger LANGUAGE plpgsql "
                     "SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$ "
                     "DECLARE n integer; igual boolean; BEGIN "
                     "SELECT ultimo INTO STRICT n FROM %2 FOR UPDATE; "
                     "SELECT ROW(%5) IS NOT DISTINCT FROM ROW(%6) INTO igual FROM %3 AS t WHERE t.uuid = NEW.uuid; "
                     "IF FOUND THEN "
                     "IF igual OR EXISTS (SELECT 1 FROM %8 AS c WHERE c.uuid = NEW.uuid) THEN RETURN NULL; END IF; "
                     "RAISE EXCEPTION USING ERRCODE = '%7', MESSAGE = format('la evaluación %s ya está en el registro "
                     "central con otro contenido', NEW.uuid); "
                     "END IF; "
                     "IF EXISTS (SELECT 1 FROM unnest(NEW.fotos) AS u(id) WHERE NOT EXISTS (SELECT 1 FROM %9 AS f "
                     "WHERE f.uuid = u.id AND f.evaluacion_uuid = NEW.uuid)) THEN RAISE EXCEPTION USING ERRCODE = "
                     "'ORV08', MESSAGE = format('faltan fotos de la evaluación %s; se enviarán de nuevo', NEW.uuid); "
                     "END IF; "
                     "UPDATE %2 SET ultimo = n + 1; "
                     "NEW.%4 := n + 1; NEW.recibido_en := now(); NEW.usuario_servidor := session_user; "
                     "RETURN NEW; END $f$")
                     .arg(CitarIdentificador(Esquema), contador, tabla, numero, suyos.join(QStringLiteral(", ")),
                          nuevos.join(QStringLiteral(", ")), EstadoUuidAjeno, TablaCorreccionesSql(), TablaFotosSql()),
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
            hecho << QStringLiteral("Permisos: %1 puede agregar y leer evaluaciones, no modificarlas ni borrarlas; "
                                    "corrige la identificación de las que guardó su usuario, y %2 la de cualquiera.")
                         .arg(PapelEvaluador, PapelSupervisor);
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

std::optional<EdificacionRegistrada> RegistroServidor::edificacion(const QString &clave)
{
    return conConexion([&] { return Edificaciones::Buscar(lector(), clave); });
}

QVector<EdificacionRegistrada> RegistroServidor::cercanas(double latitud, double longitud, double metros)
{
    return conConexion([&] { return Edificaciones::Cercanas(lector(), latitud, longitud, metros); });
}

QVector<RegistroEvaluacion> RegistroServidor::historial(const QString &clave)
{
    return conConexion([&] { return Edificaciones::Historial(lector(), clave); });
}

void RegistroServidor::situar(QVector<RegistroEvaluacion> &registros)
{
    conConexion([&] {
        QVector<RegistroEvaluacion> situados = registros;
        Edificaciones::Situar(lector(), situados);
        Correcciones::Marcar(lector(), RegistroCentral::TablaCorreccionesSql(), situados);
        registros = std::move(situados);
        return 0;
    });
}

QString RegistroServidor::claveDe(int32_t numero)
{
    return conConexion([&] { return Edificaciones::ClaveDe(lector(), numero); });
}

void RegistroServidor::corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                                const QUuid &id)
{
    const Correcciones::Pedida pedida = Correcciones::Revisar(columna, valor, motivo);
    conConexion([&] {
        CorregirEnServidor(lector(), conexion_, numero, pedida, id);
        return 0;
    });
}

std::optional<int32_t> RegistroServidor::numeroDe(const QUuid &uuid)
{
    return conConexion([&]() -> std::optional<int32_t> {
        QSqlQuery q(QSqlDatabase::database(nombreConexion_, false));
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE uuid = CAST(? AS uuid)")
                      .arg(CitarIdentificador(Campo(Pos::Numero).columna), RegistroCentral::TablaSql()));
        q.addBindValue(uuid.toString(QUuid::WithoutBraces));
        if (!q.exec())
            throw Servidor::error(conexion_, QStringLiteral("no se puede leer la tabla"), q.lastError());
        if (!q.next())
            return std::nullopt;
        return q.value(0).toInt();
    });
}

QVector<Correccion> RegistroServidor::correcciones(int32_t numero)
{
    return conConexion([&] {
        return Correcciones::Leer(lector(), RegistroCentral::TablaCorreccionesSql(), QStringLiteral("id"), numero);
    });
}

QVector<FotoEvaluacion> RegistroServidor::fotos(int32_t numero)
{
    return conConexion([&] { return FotosServidor::Listar(lector(), numero); });
}

std::optional<FotoEvaluacion> RegistroServidor::foto(const QUuid &uuid)
{
    return conConexion([&] { return FotosServidor::Leer(lector(), uuid); });
}

void RegistroServidor::agregarFotos(int32_t numero, QVector<FotoEvaluacion> &fotos)
{
    conConexion([&] {
        QVector<FotoEvaluacion> intento = fotos;
        FotosServidor::Agregar(lector(), conexion_, numero, intento);
        fotos = std::move(intento);
        return 0;
    });
}

void RegistroServidor::quitarFoto(const QUuid &foto, const QString &motivo)
{
    conConexion([&] {
        FotosServidor::Quitar(lector(), conexion_, foto, motivo);
        return 0;
    });
}
