// Corrections in the registry file on this machine: the row and the
// correction written in one transaction, under the file's write lock.

#include "core/registry/local_registry.h"

#include "core/data/record_set.h"
#include "core/registry/building_key.h"
#include "core/registry/corrections.h"
#include "core/registry/local_write.h"
#include "core/registry/registry_sql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace RegistroEvaluaciones;

void RegistroLocal::corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                             const QUuid &)
{
    const Correcciones::Pedida pedida = Correcciones::Revisar(columna, valor, motivo);
    const QString numeroSql = CitarIdentificador(Campo(Pos::Numero).columna);
    EscrituraLocal e(archivo_);
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

    e.anotarCorreccion({numero, uuid, Campo(pedida.posicion).columna, anterior, pedida.texto, pedida.motivo,
                        Correcciones::UsuarioDelEquipo(), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)});
    e.confirmar();
}

QVector<Correccion> RegistroLocal::correcciones(int32_t numero)
{
    return Correcciones::Leer(lector(), CitarIdentificador(TablaCorrecciones), QStringLiteral("rowid"), numero);
}
