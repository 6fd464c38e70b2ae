#include "core/registry/photo_sql.h"

#include "core/data/record_set.h"

#include <QSqlError>

using namespace RegistroEvaluaciones;

namespace FotosSql {

namespace {

bool EsUuid(int i) { return i == ColFoto::Uuid || i == ColFoto::Evaluacion; }

QString Col(int i) { return CitarIdentificador(ColumnasFotos().at(i).nombre); }

[[noreturn]] void Fallar(const QString &que, const QSqlQuery &q)
{
    throw ErrorDatos(QStringLiteral("Error en la base de datos: no se pueden leer las fotos (%1).\nDetalle: %2")
                         .arg(que, q.lastError().text()));
}

}  // namespace

QString Columnas(Motor motor, bool conBytes, const QString &alias)
{
    QStringList c;
    for (int i = 0; i < ColFoto::Cantidad; ++i) {
        if (i == ColFoto::Jpeg && !conBytes)
            continue;
        QString col = alias + QLatin1Char('.') + Col(i);
        if (motor == Motor::Postgres && EsUuid(i))
            col += QStringLiteral("::text");
        c << col;
    }
    return c.join(QStringLiteral(", "));
}

QString Definicion(Motor motor)
{
    QStringList c;
    for (int i = 0; i < ColFoto::Cantidad; ++i) {
        QString tipo;
        switch (ColumnasFotos().at(i).tipo) {
        case TipoColumnaFoto::Entero: tipo = motor == Motor::Sqlite ? QStringLiteral("INTEGER") : QStringLiteral("integer"); break;
        case TipoColumnaFoto::Texto: tipo = motor == Motor::Sqlite ? QStringLiteral("TEXT") : QStringLiteral("text"); break;
        case TipoColumnaFoto::Real:
            tipo = motor == Motor::Sqlite ? QStringLiteral("REAL") : QStringLiteral("double precision");
            break;
        case TipoColumnaFoto::Bytes: tipo = motor == Motor::Sqlite ? QStringLiteral("BLOB") : QStringLiteral("bytea"); break;
        }
        if (motor == Motor::Postgres && EsUuid(i))
            tipo = QStringLiteral("uuid");
        if (i == ColFoto::Uuid)
            tipo += QStringLiteral(" NOT NULL PRIMARY KEY");
        else if (i == ColFoto::Evaluacion || i == ColFoto::Orden || i == ColFoto::Sha256 || i == ColFoto::Bytes ||
                 i == ColFoto::Jpeg)
            tipo += QStringLiteral(" NOT NULL");
        c << Col(i) + QLatin1Char(' ') + tipo;
    }
    return c.join(QStringLiteral(", "));
}

QString SentenciaInsertar(Motor motor, const QString &tablaSql, int filas)
{
    QStringList columnas, marcas;
    for (int i = 0; i < ColFoto::Cantidad; ++i) {
        columnas << Col(i);
        marcas << (motor == Motor::Postgres && EsUuid(i) ? QStringLiteral("CAST(? AS uuid)") : QStringLiteral("?"));
    }
    const QString fila = QLatin1Char('(') + marcas.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList valores;
    for (int k = 0; k < filas; ++k)
        valores << fila;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(tablaSql, columnas.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")));
}

void Enlazar(QSqlQuery &q, const FotoEvaluacion &f)
{
    const QVariant nulo{QMetaType::fromType<double>()};
    q.addBindValue(Fotos::TextoUuid(f.uuid));
    q.addBindValue(Fotos::TextoUuid(f.evaluacion));
    q.addBindValue(f.orden);
    q.addBindValue(f.leyenda);
    q.addBindValue(f.tomadaEn.isValid() ? QVariant(Fotos::TextoFecha(f.tomadaEn)) : QVariant(QMetaType::fromType<QString>()));
    q.addBindValue(f.latitud ? QVariant(*f.latitud) : nulo);
    q.addBindValue(f.longitud ? QVariant(*f.longitud) : nulo);
    q.addBindValue(f.ancho);
    q.addBindValue(f.alto);
    q.addBindValue(f.sha256);
    q.addBindValue(qint64(f.jpeg.size()));
    q.addBindValue(f.jpeg);
}

FotoEvaluacion DeFila(const QSqlQuery &q, bool conBytes, int primera)
{
    auto v = [&](int i) { return q.value(primera + i); };
    FotoEvaluacion f;
    f.uuid = QUuid(v(ColFoto::Uuid).toString());
    f.evaluacion = QUuid(v(ColFoto::Evaluacion).toString());
    f.orden = v(ColFoto::Orden).toInt();
    f.leyenda = v(ColFoto::Leyenda).toString();
    f.tomadaEn = Fotos::FechaDeTexto(v(ColFoto::FechaToma).toString());
    if (!v(ColFoto::Latitud).isNull() && !v(ColFoto::Longitud).isNull()) {
        f.latitud = v(ColFoto::Latitud).toDouble();
        f.longitud = v(ColFoto::Longitud).toDouble();
    }
    f.ancho = v(ColFoto::Ancho).toInt();
    f.alto = v(ColFoto::Alto).toInt();
    f.sha256 = v(ColFoto::Sha256).toString();
    f.bytes = v(ColFoto::Bytes).toLongLong();
    if (conBytes)
        f.jpeg = v(ColFoto::Jpeg).toByteArray();
    return f;
}

QString Visible(Motor motor, const QString &correccionesSql, QVariantList &valores, const QString &alias)
{
    valores << Fotos::CampoCorreccion;
    const QString campo = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Campo).nombre);
    const QString anterior = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Anterior).nombre);
    return QStringLiteral("NOT EXISTS (SELECT 1 FROM %1 AS c WHERE c.%2 = ? AND c.%3 = %4.%5%6)")
        .arg(correccionesSql, campo, anterior, alias, Col(ColFoto::Uuid),
             motor == Motor::Postgres ? QStringLiteral("::text") : QString());
}

QVector<FotoEvaluacion> Listar(const QSqlDatabase &db, Motor motor, const QString &fotosSql,
                               const QString &correccionesSql, const QString &evaluacion, const QString &que)
{
    QVariantList valores{evaluacion};
    const QString visible = Visible(motor, correccionesSql, valores);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 AS f WHERE f.%3 = %4 AND %5 ORDER BY f.%6")
                  .arg(Columnas(motor, false), fotosSql, Col(ColFoto::Evaluacion),
                       motor == Motor::Postgres ? QStringLiteral("CAST(? AS uuid)") : QStringLiteral("?"), visible,
                       Col(ColFoto::Orden)));
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    if (!q.exec())
        Fallar(que, q);
    QVector<FotoEvaluacion> fotos;
    while (q.next())
        fotos << DeFila(q, false);
    return fotos;
}

std::optional<FotoEvaluacion> Leer(const QSqlDatabase &db, Motor motor, const QString &fotosSql,
                                   const QString &correccionesSql, const QUuid &foto, const QString &que)
{
    QVariantList valores{Fotos::TextoUuid(foto)};
    const QString visible = Visible(motor, correccionesSql, valores);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 AS f WHERE f.%3 = %4 AND %5")
                  .arg(Columnas(motor, true), fotosSql, Col(ColFoto::Uuid),
                       motor == Motor::Postgres ? QStringLiteral("CAST(? AS uuid)") : QStringLiteral("?"), visible));
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    if (!q.exec())
        Fallar(que, q);
    if (!q.next())
        return std::nullopt;
    return DeFila(q, true);
}

void EscribirSqlite(QSqlDatabase &db, const QString &tablaSql, const QVector<FotoEvaluacion> &fotos,
                    const QString &donde)
{
    QSqlQuery busca(db);
    busca.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(Col(ColFoto::Sha256), tablaSql, Col(ColFoto::Uuid)));
    QSqlQuery escribe(db);
    escribe.prepare(SentenciaInsertar(Motor::Sqlite, tablaSql));
    for (const FotoEvaluacion &f : fotos) {
        busca.addBindValue(Fotos::TextoUuid(f.uuid));
        if (!busca.exec())
            throw ErrorDatos(QStringLiteral("Error en la base de datos: no se puede leer la tabla (%1).\nDetalle: %2")
                                 .arg(donde, busca.lastError().text()));
        if (busca.next()) {
            const bool igual = busca.value(0).toString() == f.sha256;
            busca.finish();
            if (igual)
                continue;
            throw ErrorDatos(QStringLiteral("Error en la base de datos: ya hay otra foto con el identificador %1 (%2).")
                                 .arg(Fotos::TextoUuid(f.uuid), donde));
        }
        busca.finish();
        Enlazar(escribe, f);
        if (!escribe.exec())
            throw ErrorDatos(QStringLiteral("Error en la base de datos: no se puede guardar la foto %1 (%2).\nDetalle: %3")
                                 .arg(QString::number(f.orden), donde, escribe.lastError().text()));
    }
}

}  // namespace FotosSql
