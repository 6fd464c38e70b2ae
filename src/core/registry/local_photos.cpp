// The photos in the registry file on this machine: listed without their
// bytes, fetched one at a time, added to a saved evaluation and removed as
// a correction, each change in one transaction under the file's write lock.

#include "core/registry/local_registry.h"

#include "core/registry/corrections.h"
#include "core/registry/local_write.h"
#include "core/registry/photo_sql.h"

#include <QSqlQuery>

using namespace RegistroEvaluaciones;

namespace {

QString ColF(int i) { return CitarIdentificador(ColumnasFotos().at(i).nombre); }

QString DescripcionFotos(const QString &archivo)
{
    return QStringLiteral("tabla \"%1\" del archivo \"%2\"").arg(TablaFotos, archivo);
}

}  // namespace

QVector<FotoEvaluacion> RegistroLocal::fotos(int32_t numero)
{
    const LectorRegistroSql &l = lector();
    QSqlQuery q(l.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                  .arg(CitarIdentificador(ColumnaUuid), CitarIdentificador(Tabla),
                       CitarIdentificador(Campo(Pos::Numero).columna)));
    q.addBindValue(numero);
    if (!q.exec())
        l.fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    if (!q.next())
        return {};
    const QString uuid = q.value(0).toString();
    q.finish();
    return FotosSql::Listar(l.db(), FotosSql::Motor::Sqlite, CitarIdentificador(TablaFotos),
                            CitarIdentificador(TablaCorrecciones), uuid, DescripcionFotos(archivo_));
}

std::optional<FotoEvaluacion> RegistroLocal::foto(const QUuid &uuid)
{
    return FotosSql::Leer(lector().db(), FotosSql::Motor::Sqlite, CitarIdentificador(TablaFotos),
                          CitarIdentificador(TablaCorrecciones), uuid, DescripcionFotos(archivo_));
}

void RegistroLocal::agregarFotos(int32_t numero, QVector<FotoEvaluacion> &fotos)
{
    if (fotos.isEmpty())
        return;
    EscrituraLocal e(archivo_);
    e.iniciar();
    QSqlQuery lee(e.db());
    lee.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                    .arg(CitarIdentificador(ColumnaUuid), CitarIdentificador(Tabla),
                         CitarIdentificador(Campo(Pos::Numero).columna)));
    lee.addBindValue(numero);
    e.ejecutar(lee, QStringLiteral("no se puede leer la tabla"));
    if (!lee.next())
        throw ErrorDatos(QStringLiteral("No se pueden agregar fotos: no existe la evaluación N.º %1 (%2).")
                             .arg(numero)
                             .arg(descripcion()));
    const QUuid evaluacion(lee.value(0).toString());
    lee.finish();
    // How many it shows (removed ones do not count) and the last order
    // given, removed ones included, so that no two photos share one.
    QVariantList valores{Fotos::TextoUuid(evaluacion)};
    const QString visible = FotosSql::Visible(FotosSql::Motor::Sqlite, CitarIdentificador(TablaCorrecciones), valores);
    QSqlQuery cuenta(e.db());
    cuenta.prepare(QStringLiteral("SELECT COALESCE(SUM(CASE WHEN %1 THEN 1 ELSE 0 END), 0), COALESCE(MAX(f.%2), 0) "
                                  "FROM %3 AS f WHERE f.%4 = ?")
                       .arg(visible, ColF(ColFoto::Orden), CitarIdentificador(TablaFotos), ColF(ColFoto::Evaluacion)));
    cuenta.addBindValue(valores.at(1));
    cuenta.addBindValue(valores.at(0));
    e.ejecutar(cuenta, QStringLiteral("no se puede leer la tabla de fotos"), TablaFotos);
    cuenta.next();
    const int visibles = cuenta.value(0).toInt();
    const int ultimo = cuenta.value(1).toInt();
    cuenta.finish();
    QVector<FotoEvaluacion> nuevas = fotos;
    Fotos::Completar(nuevas, evaluacion, visibles, ultimo, DescripcionFotos(archivo_));
    FotosSql::EscribirSqlite(e.db(), CitarIdentificador(TablaFotos), nuevas, DescripcionFotos(archivo_));
    e.confirmar();
    fotos = std::move(nuevas);
}

void RegistroLocal::quitarFoto(const QUuid &foto, const QString &motivo)
{
    if (motivo.trimmed().isEmpty())
        throw ErrorDatos(QStringLiteral("No se puede quitar la foto: hace falta el motivo."));
    EscrituraLocal e(archivo_);
    e.iniciar();
    QVariantList valores;
    const QString visible = FotosSql::Visible(FotosSql::Motor::Sqlite, CitarIdentificador(TablaCorrecciones), valores);
    QSqlQuery lee(e.db());
    lee.prepare(QStringLiteral("SELECT e.%1, e.%2 FROM %3 AS f JOIN %4 AS e ON e.%2 = f.%5 WHERE f.%6 = ? AND %7")
                    .arg(CitarIdentificador(Campo(Pos::Numero).columna), CitarIdentificador(ColumnaUuid),
                         CitarIdentificador(TablaFotos), CitarIdentificador(Tabla), ColF(ColFoto::Evaluacion),
                         ColF(ColFoto::Uuid), visible));
    lee.addBindValue(Fotos::TextoUuid(foto));
    lee.addBindValue(valores.at(0));
    e.ejecutar(lee, QStringLiteral("no se puede leer la tabla de fotos"), TablaFotos);
    if (!lee.next())
        throw ErrorDatos(QStringLiteral("No se puede quitar la foto: no existe la foto %1 o ya se quitó (%2).")
                             .arg(Fotos::TextoUuid(foto), DescripcionFotos(archivo_)));
    const QVariant numero = lee.value(0);
    const QVariant evaluacion = lee.value(1);
    lee.finish();
    e.anotarCorreccion({numero, evaluacion, Fotos::CampoCorreccion, Fotos::TextoUuid(foto),
                        QVariant(QMetaType::fromType<QString>()), motivo.trimmed(), Correcciones::UsuarioDelEquipo(),
                        QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)});
    e.confirmar();
}
