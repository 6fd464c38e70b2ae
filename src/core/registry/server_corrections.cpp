#include "core/registry/server_corrections.h"

#include "core/data/record_set.h"
#include "core/registry/building_key.h"
#include "core/registry/corrections.h"
#include "core/registry/registry_sql.h"
#include "core/registry/server_registry.h"

#include <QSqlError>

using namespace RegistroEvaluaciones;

namespace {

// The row's key parts changed between the laptop's reading and the
// function's lock: the key the laptop computed may be stale.
const QString EstadoCambiada = QStringLiteral("ORV06");

// The parts of the building key of a row as one text, the same in C++ and
// in SQL: each part (empty for none) joined by U+001F.
QString BaseDeClave(const RegistroEvaluacion &r)
{
    QStringList partes;
    for (const CampoRegistro &c : Campos())
        if (Correcciones::CambiaClave(c.posicion))
            partes << r.texto(c.posicion);
    return partes.join(QChar(0x1f));
}

QString BaseDeClaveSql(const QString &alias)
{
    QStringList partes;
    for (const CampoRegistro &c : Campos())
        if (Correcciones::CambiaClave(c.posicion))
            partes << QStringLiteral("COALESCE(%1.%2, '')").arg(alias, CitarIdentificador(c.columna));
    return QStringLiteral("concat_ws(chr(31), %1)").arg(partes.join(QStringLiteral(", ")));
}

// SQLSTATEs the correction function raises, each with a Spanish message.
const QStringList &EstadosPropios()
{
    static const QStringList estados = {QStringLiteral("ORV02"), QStringLiteral("ORV03"), QStringLiteral("ORV04"),
                                        QStringLiteral("ORV05"), EstadoCambiada};
    return estados;
}

QString Col(int i) { return CitarIdentificador(ColumnasCorrecciones().at(i).nombre); }

}  // namespace

namespace RegistroCentral {
QString TablaCorreccionesSql()
{
    return CitarIdentificador(Esquema) + QLatin1Char('.') + CitarIdentificador(TablaCorrecciones);
}
}  // namespace RegistroCentral

QStringList PrepararCorrecciones(QSqlQuery &q, const ConexionServidor &administrador)
{
    using namespace RegistroCentral;
    QStringList hecho;
    auto exec = [&](const QString &sql, const QString &que) {
        if (!q.exec(sql))
            throw Servidor::error(administrador, que, q.lastError());
    };
    const QString tabla = TablaCorreccionesSql();
    exec(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = '%1' AND tablename = '%2'")
             .arg(Esquema, TablaCorrecciones),
         QStringLiteral("no se puede leer el catálogo del servidor"));
    if (!q.next()) {
        QStringList columnas;
        for (int i = 0; i < ColCorreccion::Cantidad; ++i) {
            QString tipo = QStringLiteral("text NOT NULL");
            if (i == ColCorreccion::Numero)
                tipo = QStringLiteral("integer NOT NULL");
            else if (i == ColCorreccion::Uuid)
                tipo = QStringLiteral("uuid NOT NULL");
            else if (i == ColCorreccion::Fecha)
                tipo = QStringLiteral("timestamptz NOT NULL DEFAULT now()");
            else if (i == ColCorreccion::Anterior || i == ColCorreccion::Nuevo)
                tipo = QStringLiteral("text");
            columnas << Col(i) + QLatin1Char(' ') + tipo;
        }
        // The order of corrections made at the same moment.
        columnas << QStringLiteral("id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
        exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(tabla, columnas.join(QStringLiteral(", "))),
             QStringLiteral("no se puede crear la tabla de correcciones"));
        hecho << QStringLiteral("Tabla %1 creada.").arg(tabla);
    }
    // The correction's own identity, made where it was typed: sent twice,
    // stored once. Rows of earlier versions have none.
    exec(QStringLiteral("SELECT 1 FROM information_schema.columns WHERE table_schema = '%1' AND table_name = '%2' AND "
                        "column_name = 'id_correccion'")
             .arg(Esquema, TablaCorrecciones),
         QStringLiteral("no se puede leer el catálogo del servidor"));
    if (!q.next()) {
        exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN id_correccion uuid UNIQUE").arg(tabla),
             QStringLiteral("no se puede agregar una columna a la tabla de correcciones"));
        hecho << QStringLiteral("Columna id_correccion agregada a la tabla %1.").arg(tabla);
    }
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"CorreccionesNumero\" ON %1 (%2)").arg(tabla, Col(ColCorreccion::Numero)),
         QStringLiteral("no se puede crear un índice"));

    // The fields a correction may change, with their SQL types.
    QStringList tipos;
    for (const CampoRegistro &c : Campos())
        if (Correcciones::Corregible(c.posicion))
            tipos << QStringLiteral("WHEN '%1' THEN '%2'")
                         .arg(c.columna, c.tipo == TipoCampo::Real ? QStringLiteral("double precision")
                                                                   : QStringLiteral("text"));
    const QString evaluaciones = TablaSql();
    const QString numero = CitarIdentificador(Campo(Pos::Numero).columna);
    QStringList columnas;
    for (int i = 0; i < ColCorreccion::Cantidad; ++i)
        columnas << Col(i);
    // Versions before the correction's identity had the function without it.
    exec(QStringLiteral("DROP FUNCTION IF EXISTS %1.corregir_evaluacion(integer, text, text, text, text, text)")
             .arg(CitarIdentificador(Esquema)),
         QStringLiteral("no se puede reemplazar la función de correcciones"));
    exec(QStringLiteral(
             "CREATE OR REPLACE FUNCTION %1.corregir_evaluacion(p_numero integer, p_campo text, p_valor text, "
             "p_motivo text, p_clave text, p_base text, p_id uuid) RETURNS void LANGUAGE plpgsql SECURITY DEFINER "
             "SET search_path = pg_catalog, pg_temp AS $f$ "
             "DECLARE tipo text; dueno text; id uuid; anterior text; base text; BEGIN "
             "tipo := CASE p_campo %2 ELSE NULL END; "
             "IF tipo IS NULL THEN RAISE EXCEPTION USING ERRCODE = 'ORV02', MESSAGE = format('el campo «%s» no se "
             "puede corregir: hace falta una nueva evaluación', p_campo); END IF; "
             "IF COALESCE(btrim(p_motivo), '') = '' THEN RAISE EXCEPTION USING ERRCODE = 'ORV03', MESSAGE = "
             "'la corrección necesita un motivo'; END IF; "
             "SELECT t.usuario_servidor, t.uuid, %8 INTO dueno, id, base FROM %3 AS t WHERE t.%4 = p_numero FOR UPDATE; "
             "IF NOT FOUND THEN RAISE EXCEPTION USING ERRCODE = 'ORV04', MESSAGE = format('no existe la evaluación "
             "N.º %s', p_numero); END IF; "
             "IF dueno IS DISTINCT FROM session_user AND NOT pg_has_role(session_user, '%5', 'MEMBER') THEN "
             "RAISE EXCEPTION USING ERRCODE = 'ORV05', MESSAGE = format('el usuario «%s» solo puede corregir las "
             "evaluaciones que guardó él mismo, y la N.º %s la guardó %s; puede corregirla un supervisor', "
             "session_user, p_numero, COALESCE('«' || dueno || '»', 'una versión anterior del registro')); END IF; "
             "IF p_clave IS NOT NULL AND base IS DISTINCT FROM p_base THEN RAISE EXCEPTION USING ERRCODE = '%9', "
             "MESSAGE = format('la evaluación N.º %s cambió mientras se corregía; vuelva a intentarlo', p_numero); "
             "END IF; "
             "IF p_id IS NOT NULL AND EXISTS (SELECT 1 FROM %6 AS c WHERE c.id_correccion = p_id) THEN RETURN; END IF; "
             "EXECUTE format('SELECT %I::text FROM %3 WHERE %4 = $1', p_campo) INTO anterior USING p_numero; "
             "EXECUTE format('UPDATE %3 SET %I = CAST($1 AS %s), clave_edificacion = COALESCE($2, "
             "clave_edificacion) WHERE %4 = $3', p_campo, tipo) "
             "USING CASE WHEN tipo = 'text' THEN p_valor ELSE NULLIF(btrim(p_valor), '') END, p_clave, p_numero; "
             "INSERT INTO %6 (%7, id_correccion) VALUES (p_numero, id, p_campo, anterior, p_valor, p_motivo, session_user, "
             "now(), p_id); "
             "END $f$")
             .arg(CitarIdentificador(Esquema), tipos.join(QLatin1Char(' ')), evaluaciones, numero, PapelSupervisor,
                  tabla, columnas.join(QStringLiteral(", ")), BaseDeClaveSql(QStringLiteral("t")), EstadoCambiada),
         QStringLiteral("no se puede crear la función de correcciones"));
    exec(QStringLiteral("REVOKE ALL ON FUNCTION %1.corregir_evaluacion(integer, text, text, text, text, text, uuid) FROM PUBLIC")
             .arg(CitarIdentificador(Esquema)),
         QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("GRANT EXECUTE ON FUNCTION %1.corregir_evaluacion(integer, text, text, text, text, text, uuid) TO %2")
             .arg(CitarIdentificador(Esquema), PapelEvaluador),
         QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC").arg(tabla), QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(tabla, PapelEvaluador), QStringLiteral("no se puede fijar los permisos"));
    exec(QStringLiteral("GRANT SELECT ON %1 TO %2").arg(tabla, PapelEvaluador), QStringLiteral("no se puede fijar los permisos"));
    return hecho;
}

void CorregirEnServidor(const LectorRegistroSql &lector, const ConexionServidor &conexion, int32_t numero,
                        const Correcciones::Pedida &pedida, const QUuid &id)
{
    const QVariant idTexto = id.isNull() ? QVariant(QMetaType::fromType<QString>())
                                         : QVariant(id.toString(QUuid::WithoutBraces));
    // Already stored (a send whose answer was lost): nothing to do, and the
    // value it set is no reason to refuse it now.
    if (!id.isNull()) {
        QSqlQuery hay(lector.db());
        hay.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE id_correccion = CAST(? AS uuid)")
                        .arg(RegistroCentral::TablaCorreccionesSql()));
        hay.addBindValue(idTexto);
        if (!hay.exec())
            throw Servidor::error(conexion, QStringLiteral("no se puede leer las correcciones"), hay.lastError());
        if (hay.next())
            return;
    }
    // Read, computed and written again when another correction changed the
    // row's plot or address in between.
    for (int intento = 1;; ++intento) {
        const std::optional<RegistroEvaluacion> actual = lector.porNumero(numero);
        if (!actual)
            throw ErrorServidor(QStringLiteral("No se puede corregir la evaluación: no existe la evaluación N.º %1 "
                                               "(tabla \"%2\" del servidor \"%3\").")
                                    .arg(numero)
                                    .arg(Tabla, conexion.nombre()),
                                false, QStringLiteral("ORV04"));
        Correcciones::RevisarCambio(pedida, *actual, numero);
        // The key the laptop computes, as when saving; none when the field
        // is not part of it (the row keeps its key).
        QVariant clave{QMetaType::fromType<QString>()};
        if (Correcciones::CambiaClave(pedida.posicion)) {
            RegistroEvaluacion corregido = *actual;
            corregido.establecerCampo(pedida.posicion, pedida.valor);
            clave = ClaveEdificacion::De(corregido);
        }
        QSqlQuery q(lector.db());
        q.prepare(QStringLiteral("SELECT %1.corregir_evaluacion(?, ?, ?, ?, ?, ?, CAST(? AS uuid))")
                      .arg(CitarIdentificador(RegistroCentral::Esquema)));
        q.addBindValue(numero);
        q.addBindValue(Campo(pedida.posicion).columna);
        q.addBindValue(pedida.texto);
        q.addBindValue(pedida.motivo);
        q.addBindValue(clave);
        q.addBindValue(BaseDeClave(*actual));
        q.addBindValue(idTexto);
        if (q.exec())
            return;
        const QSqlError e = q.lastError();
        if (e.nativeErrorCode() == EstadoCambiada && intento < 3)
            continue;
        if (EstadosPropios().contains(e.nativeErrorCode()))
            throw ErrorServidor(QStringLiteral("No se puede corregir la evaluación: %1 (tabla \"%2\" del servidor "
                                               "\"%3\").")
                                    .arg(e.databaseText().trimmed(), TablaCorrecciones, conexion.nombre()),
                                false, e.nativeErrorCode());
        throw Servidor::error(conexion, QStringLiteral("no se puede corregir la evaluación"), e);
    }
}
