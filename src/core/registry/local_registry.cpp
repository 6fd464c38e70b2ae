#include "core/registry/local_registry.h"

#include "core/data/record_set.h"
#include "core/registry/building_key.h"
#include "core/registry/buildings.h"
#include "core/registry/corrections.h"
#include "core/registry/photo_sql.h"
#include "core/registry/registry_sql.h"
#include "core/registry/registry_summary.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QMetaType>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cmath>
#include <limits>

using namespace RegistroEvaluaciones;

namespace {

// The local table: the fields, then the uuid, the building key and the
// dwelling units.
constexpr int PosUuid = NumCampos;
constexpr int PosClave = NumCampos + 1;
constexpr int PosUnidades = NumCampos + 2;
constexpr int NumColumnasLocales = NumCampos + 3;

QAtomicInt contador;

[[noreturn]] void Fallar(const QString &archivo, const QString &que, const QString &detalle)
{
    QString texto =
        QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").").arg(que, Tabla, archivo);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

QString DefinicionColumna(const CampoRegistro &c)
{
    return CitarIdentificador(c.columna) + QLatin1Char(' ') + TipoSqlite(c.tipo)
           + (c.posicion == Pos::Numero ? QStringLiteral(" UNIQUE") : QString());
}

// Gives every record of a file of an earlier version its uuid and its
// building key, inside the caller's transaction.
void CompletarIdentidad(QSqlDatabase &db, const QString &archivo)
{
    QSqlQuery lee(db);
    lee.setForwardOnly(true);
    if (!lee.exec(QStringLiteral("SELECT rowid, %1, %2 FROM %3 WHERE %2 IS NULL OR %4 IS NULL")
                      .arg(LectorRegistroSql::listaColumnas(), CitarIdentificador(ColumnaUuid),
                           CitarIdentificador(Tabla), CitarIdentificador(ColumnaClave)))) {
        const QString detalle = lee.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        Fallar(archivo, QStringLiteral("no se puede leer la tabla"), detalle);
    }
    QSqlQuery escribe(db);
    escribe.prepare(QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, ?), %3 = COALESCE(%3, ?) WHERE rowid = ?")
                        .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaUuid),
                             CitarIdentificador(ColumnaClave)));
    while (lee.next()) {
        const RegistroEvaluacion r = LectorRegistroSql::registroDeFila(lee, 1);
        escribe.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
        escribe.addBindValue(ClaveEdificacion::De(r));
        escribe.addBindValue(lee.value(0));
        if (!escribe.exec()) {
            const QString detalle = escribe.lastError().text();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo, QStringLiteral("no se puede completar la tabla"), detalle);
        }
    }
}

// Makes the table, or brings a table of an earlier version up to date. Runs
// under the write lock, so two programs starting at once do it once.
void PrepararTabla(QSqlDatabase &db, const QString &archivo)
{
    QSqlQuery q(db);
    auto exec = [&](const QString &sql, const char *que) {
        if (!q.exec(sql)) {
            const QString detalle = q.lastError().text();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo, QString::fromUtf8(que), detalle);
        }
    };
    exec(QStringLiteral("BEGIN IMMEDIATE"), "la base de datos está ocupada o no se puede escribir");
    exec(QStringLiteral("PRAGMA table_info(%1)").arg(CitarIdentificador(Tabla)), "no se puede leer la tabla");
    QStringList existentes;
    while (q.next())
        existentes << q.value(1).toString();
    q.finish();

    if (existentes.isEmpty()) {
        QStringList columnas;
        for (const CampoRegistro &c : Campos())
            columnas << DefinicionColumna(c);
        columnas << CitarIdentificador(ColumnaUuid) + QStringLiteral(" TEXT UNIQUE")
                 << CitarIdentificador(ColumnaClave) + QStringLiteral(" TEXT")
                 << CitarIdentificador(ColumnaUnidades) + QStringLiteral(" INTEGER");
        exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(CitarIdentificador(Tabla), columnas.join(QStringLiteral(", "))),
             "no se puede crear la tabla");
    } else {
        // Files of earlier versions: the coordinates (fields 91 and 92), then
        // the uuid, the building key and the dwelling units, added in place.
        const int campos = existentes.size() - int(existentes.contains(ColumnaUuid))
                           - int(existentes.contains(ColumnaClave)) - int(existentes.contains(ColumnaUnidades));
        if (campos != NumCampos && campos != NumCamposAnteriores) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            Fallar(archivo,
                   QStringLiteral("la tabla tiene %1 campos y el registro de evaluaciones necesita %2")
                       .arg(campos)
                       .arg(NumCampos),
                   QString());
        }
        if (campos == NumCamposAnteriores)
            for (int i = NumCamposAnteriores; i < NumCampos; ++i)
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                         .arg(CitarIdentificador(Tabla), DefinicionColumna(Campo(i))),
                     "no se puede agregar las columnas de coordenadas a la tabla");
        if (!existentes.contains(ColumnaUuid) || !existentes.contains(ColumnaClave)) {
            if (!existentes.contains(ColumnaUuid)) {
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT")
                         .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaUuid)),
                     "no se puede agregar la columna del identificador a la tabla");
                exec(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"EvaluacionesUuid\" ON %1 (%2)")
                         .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaUuid)),
                     "no se puede crear un índice de la tabla");
            }
            if (!existentes.contains(ColumnaClave))
                exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT")
                         .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaClave)),
                     "no se puede agregar la columna de la edificación a la tabla");
            CompletarIdentidad(db, archivo);
        }
        if (!existentes.contains(ColumnaUnidades))
            exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER")
                     .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaUnidades)),
                 "no se puede agregar la columna de las unidades de vivienda a la tabla");
    }
    // The window sorts and filters by date and habitability.
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesFecha\" ON %1 (%2)")
             .arg(CitarIdentificador(Tabla), CitarIdentificador(Campo(Pos::Fecha).columna)),
         "no se puede crear un índice de la tabla");
    // By habitability in number order: the newest of one habitability are
    // read first, without sorting them all.
    exec(QStringLiteral("DROP INDEX IF EXISTS \"EvaluacionesHabitabilidad\""), "no se puede cambiar un índice de la tabla");
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesHabitabilidadNumero\" ON %1 (%2, %3)")
             .arg(CitarIdentificador(Tabla), CitarIdentificador(Campo(Pos::Habitabilidad).columna),
                  CitarIdentificador(Campo(Pos::Numero).columna)),
         "no se puede crear un índice de la tabla");
    // The columns the window searches and sorts by, so that a search reads
    // this index instead of the whole table.
    QStringList busqueda;
    for (int p : {Pos::Numero, Pos::TipoDireccion, Pos::NumeroCalle, Pos::Avenida, Pos::OtraVia, Pos::NumeroCasa,
                  Pos::Barrio, Pos::NombreEdificacion, Pos::Evaluador, Pos::CodigoComision, Pos::Fecha,
                  Pos::Habitabilidad, Pos::DannoEdificio, Pos::EstadoGlobal, Pos::Reparabilidad})
        busqueda << CitarIdentificador(Campo(p).columna);
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesBusqueda\" ON %1 (%2)")
             .arg(CitarIdentificador(Tabla), busqueda.join(QStringLiteral(", "))),
         "no se puede crear un índice de la tabla");
    // The evaluations of one building, newest first.
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesEdificacion\" ON %1 (%2, %3, %4)")
             .arg(CitarIdentificador(Tabla), CitarIdentificador(ColumnaClave),
                  CitarIdentificador(Campo(Pos::Fecha).columna), CitarIdentificador(Campo(Pos::Numero).columna)),
         "no se puede crear un índice de la tabla");
    // Evaluations near a point, for the buildings within a few metres.
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"EvaluacionesPosicion\" ON %1 (%2, %3)")
             .arg(CitarIdentificador(Tabla), CitarIdentificador(Campo(Pos::Latitud).columna),
                  CitarIdentificador(Campo(Pos::Longitud).columna)),
         "no se puede crear un índice de la tabla");
    // The corrections, kept for good: the file refuses to change or delete
    // one.
    QStringList correcciones;
    for (int i = 0; i < ColCorreccion::Cantidad; ++i) {
        const ColumnaCorreccion &c = ColumnasCorrecciones().at(i);
        const bool puedeFaltar = i == ColCorreccion::Anterior || i == ColCorreccion::Nuevo || i == ColCorreccion::Usuario;
        correcciones << CitarIdentificador(c.nombre) + QLatin1Char(' ') + TipoSqlite(c.tipo)
                            + (puedeFaltar ? QString() : QStringLiteral(" NOT NULL"));
    }
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
             .arg(CitarIdentificador(TablaCorrecciones), correcciones.join(QStringLiteral(", "))),
         "no se puede crear la tabla de correcciones");
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"CorreccionesNumero\" ON %1 (%2)")
             .arg(CitarIdentificador(TablaCorrecciones),
                  CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Numero).nombre)),
         "no se puede crear un índice de la tabla de correcciones");
    for (const char *accion : {"UPDATE", "DELETE"})
        exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"CorreccionesSin%1\" BEFORE %1 ON %2 BEGIN SELECT "
                            "RAISE(ABORT, 'las correcciones no se modifican ni se borran'); END")
                 .arg(QLatin1String(accion), CitarIdentificador(TablaCorrecciones)),
             "no se puede proteger la tabla de correcciones");
    // The photos of the evaluations, kept for good like the corrections: a
    // removed photo is a correction, its row stays.
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
             .arg(CitarIdentificador(TablaFotos), FotosSql::Definicion(FotosSql::Motor::Sqlite)),
         "no se puede crear la tabla de fotos");
    exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"FotosEvaluacion\" ON %1 (%2, %3)")
             .arg(CitarIdentificador(TablaFotos), CitarIdentificador(ColumnasFotos().at(ColFoto::Evaluacion).nombre),
                  CitarIdentificador(ColumnasFotos().at(ColFoto::Orden).nombre)),
         "no se puede crear un índice de la tabla de fotos");
    for (const char *accion : {"UPDATE", "DELETE"})
        exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"FotosSin%1\" BEFORE %1 ON %2 BEGIN SELECT "
                            "RAISE(ABORT, 'las fotos no se modifican ni se borran'); END")
                 .arg(QLatin1String(accion), CitarIdentificador(TablaFotos)),
             "no se puede proteger la tabla de fotos");
    exec(QStringLiteral("COMMIT"), "no se pudo confirmar la escritura");
}

// A record number when `v` holds a whole number in the 32-bit range.
std::optional<qint64> NumeroUsable(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        n = v.toLongLong();
        break;
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 4.0e9)
            return std::nullopt;
        n = static_cast<qint64>(d);
        break;
    }
    default:
        return std::nullopt;
    }
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return n;
}

// The number of the record about to be appended: the last record's number
// plus one. Numbers only grow, so that is also the largest number plus one,
// which is what a last record without a usable number gets. The caller
// holds the write lock, so nobody else can take the number meanwhile.
int32_t SiguienteNumero(ConjuntoRegistros &rs)
{
    rs.moverUltimo();
    if (rs.finDeTabla())
        return 1;
    std::optional<qint64> mayor = NumeroUsable(rs.campo(0));
    const QVariant maximo = rs.maximoCampo(0);
    if (const auto m = NumeroUsable(maximo)) {
        mayor = std::max(mayor.value_or(*m), *m);
    } else if (!maximo.isNull()) {
        // Something that is not a number sorts above every number: look at
        // every record.
        for (rs.moverPrimero(); !rs.finDeTabla(); rs.moverSiguiente())
            if (const auto n = NumeroUsable(rs.campo(0)))
                mayor = std::max(mayor.value_or(*n), *n);
    }
    const qint64 siguiente = mayor ? std::max<qint64>(*mayor + 1, 1) : 1;
    if (siguiente > std::numeric_limits<int32_t>::max())
        throw ErrorDatos(QStringLiteral("Error en la base de datos: no quedan números de evaluación disponibles (%1).")
                             .arg(rs.descripcion()));
    return static_cast<int32_t>(siguiente);
}

// Writes the photos of `r` in the transaction of `rs` (the records' table of
// the same file).
void GuardarFotos(ConjuntoRegistros &rs, RegistroEvaluacion &r)
{
    if (r.fotos.isEmpty())
        return;
    const QString donde = QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaFotos, rs.archivo());
    Fotos::Completar(r.fotos, r.uuid, 0, 0, donde);
    QSqlDatabase db = rs.baseDatos();
    FotosSql::EscribirSqlite(db, CitarIdentificador(TablaFotos), r.fotos, donde);
}

}  // namespace

namespace RegistroEvaluaciones {

void asegurar(const QString &archivo)
{
    const QFileInfo info(archivo);
    if (!QDir().mkpath(info.absolutePath()))
        Fallar(archivo, QStringLiteral("no se puede crear la carpeta del registro"), info.absolutePath());

    const QString conexion = QStringLiteral("orv-registro-%1").arg(contador.fetchAndAddRelaxed(1));
    QString fallo, detalle;
    std::optional<ErrorDatos> error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(archivo);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            fallo = QStringLiteral("no se puede abrir ni crear el archivo");
            detalle = db.lastError().text();
        } else {
            try {
                PrepararTabla(db, archivo);
            } catch (const ErrorDatos &e) {
                error.emplace(e);
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conexion);
    if (error)
        throw *error;
    if (!fallo.isEmpty())
        Fallar(archivo, fallo, detalle);
}

}  // namespace RegistroEvaluaciones

RegistroLocal::RegistroLocal(QString archivo) : archivo_(std::move(archivo))
{
    asegurar(archivo_);
}

RegistroLocal::~RegistroLocal()
{
    lector_.reset();
    if (!conexion_.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(conexion_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(conexion_);
    }
}

QString RegistroLocal::descripcion() const
{
    return QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(Tabla, archivo_);
}

const LectorRegistroSql &RegistroLocal::lector()
{
    if (!lector_) {
        conexion_ = QStringLiteral("orv-lector-%1").arg(contador.fetchAndAddRelaxed(1));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion_);
        db.setDatabaseName(archivo_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY"));
        if (!db.open())
            Fallar(archivo_, QStringLiteral("no se puede abrir el archivo"), db.lastError().text());
        lector_ = std::make_unique<LectorRegistroSql>(conexion_, CitarIdentificador(Tabla),
                                                      LectorRegistroSql::Motor::Sqlite, descripcion());
    }
    return *lector_;
}

void RegistroLocal::agregar(QVector<RegistroEvaluacion> &lote)
{
    if (lote.isEmpty())
        return;
    ConjuntoRegistros rs(archivo_, Tabla, ConjuntoRegistros::Modo::Escritura);
    if (rs.numeroCampos() != NumColumnasLocales)
        throw ErrorDatos(QStringLiteral("Error en la base de datos: la tabla tiene %1 campos y el registro de "
                                        "evaluaciones necesita %2 (%3).")
                             .arg(rs.numeroCampos())
                             .arg(NumColumnasLocales)
                             .arg(rs.descripcion()));
    QVector<RegistroEvaluacion> escritos = lote;
    rs.iniciarTransaccion();
    try {
        qint64 numero = SiguienteNumero(rs);
        for (RegistroEvaluacion &r : escritos) {
            r.sellar();
            r.pendiente = false;
            if (r.claveEdificacion.isEmpty())
                r.claveEdificacion = ClaveEdificacion::De(r);
            const QString uuid = r.uuid.toString(QUuid::WithoutBraces);
            // Sent twice (an outbox emptied late, a file imported again):
            // stored once, with the number it has.
            if (const auto existente = rs.buscar(PosUuid, uuid, Pos::Numero)) {
                r.establecerCampo(Pos::Numero, *existente);
                // Its photos too are stored once: those it has are skipped.
                GuardarFotos(rs, r);
                continue;
            }
            if (numero > std::numeric_limits<int32_t>::max())
                throw ErrorDatos(
                    QStringLiteral("Error en la base de datos: no quedan números de evaluación disponibles (%1).")
                        .arg(rs.descripcion()));
            r.establecerCampo(Pos::Numero, numero);
            rs.agregarNuevo();
            for (int i = 0; i < NumCampos; ++i)
                rs.establecerCampo(i, r.campo(i));
            rs.establecerCampo(PosUuid, uuid);
            rs.establecerCampo(PosClave, r.claveEdificacion);
            rs.establecerCampo(PosUnidades, r.unidadesVivienda ? QVariant(*r.unidadesVivienda) : QVariant());
            rs.guardar();
            GuardarFotos(rs, r);
            ++numero;
        }
        rs.confirmar();
    } catch (...) {
        rs.deshacer();
        throw;
    }
    lote = std::move(escritos);
}

qint64 RegistroLocal::contar(const FiltroRegistro &filtro) { return lector().contar(filtro); }

QVector<RegistroEvaluacion> RegistroLocal::pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                                                 qint64 desde, int cuantos)
{
    return lector().pagina(filtro, orden, desde, cuantos);
}

std::optional<RegistroEvaluacion> RegistroLocal::porNumero(int32_t numero) { return lector().porNumero(numero); }

void RegistroLocal::recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                             const std::function<bool(const RegistroEvaluacion &)> &cada)
{
    lector().recorrer(filtro, orden, cada);
}

ResumenRegistro RegistroLocal::resumen(const FiltroRegistro &filtro)
{
    return ResumirRegistro(lector(), filtro);
}

std::optional<EdificacionRegistrada> RegistroLocal::edificacion(const QString &clave)
{
    return Edificaciones::Buscar(lector(), clave);
}

QVector<EdificacionRegistrada> RegistroLocal::cercanas(double latitud, double longitud, double metros)
{
    return Edificaciones::Cercanas(lector(), latitud, longitud, metros);
}

QVector<RegistroEvaluacion> RegistroLocal::historial(const QString &clave)
{
    return Edificaciones::Historial(lector(), clave);
}

void RegistroLocal::situar(QVector<RegistroEvaluacion> &registros)
{
    Edificaciones::Situar(lector(), registros);
    Correcciones::Marcar(lector(), CitarIdentificador(TablaCorrecciones), registros);
}

QString RegistroLocal::claveDe(int32_t numero) { return Edificaciones::ClaveDe(lector(), numero); }
