// Corrections in the registry file on this machine: the row and the
// correction written in one transaction, under the file's write lock.

#include "core/registry/local_registry.h"

#include "core/data/record_set.h"
#include "core/registry/building_key.h"
#include "core/registry/corrections.h"
#include "core/registry/registry_sql.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace RegistroEvaluaciones;

namespace {

QAtomicInt contador;

// One write connection to the file for the time of a correction.
class Escritura {
public:
    explicit Escritura(const QString &archivo)
        : archivo_(archivo), nombre_(QStringLiteral("orv-correccion-%1").arg(contador.fetchAndAddRelaxed(1)))
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre_);
        db_.setDatabaseName(archivo);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db_.open())
            fallar(QStringLiteral("no se puede abrir el archivo"), db_.lastError().text(), Tabla);
    }
    ~Escritura()
    {
        if (enTransaccion_)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre_);
    }
    Escritura(const Escritura &) = delete;
    Escritura &operator=(const Escritura &) = delete;

    QSqlDatabase &db() { return db_; }
    void ejecutar(QSqlQuery &q, const QString &que, const QString &tabla = Tabla)
    {
        if (!q.exec())
            fallar(que, q.lastError().text(), tabla);
    }
    void ejecutar(const QString &sql, const QString &que)
    {
        QSqlQuery q(db_);
        if (!q.exec(sql))
            fallar(que, q.lastError().text(), Tabla);
    }
    void iniciar()
    {
        ejecutar(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("la base de datos está ocupada o no se puede escribir"));
        enTransaccion_ = true;
    }
    void confirmar()
    {
        ejecutar(QStringLiteral("COMMIT"), QStringLiteral("no se pudo confirmar la corrección"));
        enTransaccion_ = false;
    }
    [[noreturn]] void fallar(const QString &que, const QString &detalle, const QString &tabla)
    {
        QString texto = QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").")
                            .arg(que, tabla, archivo_);
        if (!detalle.isEmpty())
            texto += QStringLiteral("\nDetalle: ") + detalle;
        throw ErrorDatos(texto);
    }

private:
    QString archivo_;
    QString nombre_;
    QSqlDatabase db_;
    bool enTransaccion_ = false;
};

}  // namespace

void RegistroLocal::corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                             const QUuid &)
{
    const Correcciones::Pedida pedida = Correcciones::Revisar(columna, valor, motivo);
    const QString numeroSql = CitarIdentificador(Campo(Pos::Numero).columna);
    Escritura e(archivo_);
    e.iniciar();

    QSqlQuery lee(e.db());
    lee.prepare(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %5 = ?")
                    .arg(LectorRegistroSql::listaColumnas(), CitarIdentificador(ColumnaUuid),
                         CitarIdentificador(ColumnaClave), CitarIdentificador(Tabla), numeroSql));
    lee.addBindValue(numero);
    e.ejecutar(lee, QStringLiteral("no se puede leer la tabla"));
    if (!lee.next())
        throw ErrorDatos(QStringLiteral("No se puede corregir la evaluación: no existe la evaluación N.º %1 (%2).")
                             .arg(numero)
                             .arg(descripcion()));
    RegistroEvaluacion r = LectorRegistroSql::registroDeFila(lee);
    const QString uuid = lee.value(NumCampos).toString();
    QString clave = lee.value(NumCampos + 1).toString();
    lee.finish();
    Correcciones::RevisarCambio(pedida, r, numero);
    const QString anterior = Correcciones::Texto(r.campo(pedida.posicion));
    r.establecerCampo(pedida.posicion, pedida.valor);
    if (Correcciones::CambiaClave(pedida.posicion))
        clave = ClaveEdificacion::De(r);

    QSqlQuery escribe(e.db());
    escribe.prepare(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE %4 = ?")
                        .arg(CitarIdentificador(Tabla), CitarIdentificador(Campo(pedida.posicion).columna),
                             CitarIdentificador(ColumnaClave), numeroSql));
    escribe.addBindValue(pedida.valor);
    escribe.addBindValue(clave);
    escribe.addBindValue(numero);
    e.ejecutar(escribe, QStringLiteral("no se puede corregir la evaluación"));

    QStringList columnas, marcas;
    for (const ColumnaCorreccion &c : ColumnasCorrecciones()) {
        columnas << CitarIdentificador(c.nombre);
        marcas << QStringLiteral("?");
    }
    QSqlQuery anota(e.db());
    anota.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(CitarIdentificador(TablaCorrecciones), columnas.join(QStringLiteral(", ")),
                           marcas.join(QStringLiteral(", "))));
    const QVariantList valores = {numero, uuid, Campo(pedida.posicion).columna, anterior, pedida.texto,
                                  pedida.motivo, Correcciones::UsuarioDelEquipo(),
                                  QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)};
    for (const QVariant &v : valores)
        anota.addBindValue(v);
    e.ejecutar(anota, QStringLiteral("no se puede guardar la corrección"), TablaCorrecciones);
    e.confirmar();
}

QVector<Correccion> RegistroLocal::correcciones(int32_t numero)
{
    return Correcciones::Leer(lector(), CitarIdentificador(TablaCorrecciones), QStringLiteral("rowid"), numero);
}
