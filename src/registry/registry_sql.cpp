#include "registry/registry_sql.h"

#include "data/record_set.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace RegistroEvaluaciones;

namespace {
QString Col(int posicion) { return CitarIdentificador(Campo(posicion).columna); }

QVariant Normalizar(const QVariant &v, TipoCampo tipo)
{
    if (v.isNull())
        return QVariant();
    switch (tipo) {
    case TipoCampo::Entero: {
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        if (ok)
            return n;
        // A value written by another program: kept as it is.
        return v;
    }
    case TipoCampo::Real: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? QVariant(d) : v;
    }
    case TipoCampo::Texto:
        return v.toString();
    }
    return v;
}

// LIKE pattern that finds `texto` literally anywhere.
QString Patron(const QString &texto)
{
    QString p = texto;
    p.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    p.replace(QLatin1Char('%'), QLatin1String("\\%"));
    p.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + p + QLatin1Char('%');
}
}  // namespace

LectorRegistroSql::LectorRegistroSql(QString conexion, QString tablaSql, Motor motor, QString descripcion)
    : conexion_(std::move(conexion)), tablaSql_(std::move(tablaSql)), motor_(motor), descripcion_(std::move(descripcion))
{
}

QSqlDatabase LectorRegistroSql::db() const { return QSqlDatabase::database(conexion_, false); }

void LectorRegistroSql::fallar(const QString &que, const QString &detalle) const
{
    QString texto = QStringLiteral("Error en la base de datos: %1 (%2).").arg(que, descripcion_);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    throw ErrorDatos(texto);
}

QString LectorRegistroSql::listaColumnas(const QString &prefijo)
{
    QStringList columnas;
    for (const CampoRegistro &c : Campos())
        columnas << prefijo + CitarIdentificador(c.columna);
    return columnas.join(QStringLiteral(", "));
}

QString LectorRegistroSql::expresionDireccion()
{
    auto c = [](int p) { return QStringLiteral("COALESCE(%1, '')").arg(Col(p)); };
    return QStringLiteral("(%1 || ' ' || CASE %2 WHEN 'Avenida' THEN %3 WHEN 'Otro' THEN %4 ELSE %5 END || ' ' || %6)")
        .arg(c(Pos::TipoDireccion), Col(Pos::TipoDireccion), c(Pos::Avenida), c(Pos::OtraVia), c(Pos::NumeroCalle),
             c(Pos::NumeroCasa));
}

QString LectorRegistroSql::condicion(const FiltroRegistro &filtro, QVariantList &valores) const
{
    QStringList partes;
    const QString texto = filtro.texto.trimmed();
    if (!texto.isEmpty()) {
        const QString como = motor_ == Motor::Postgres ? QStringLiteral("ILIKE") : QStringLiteral("LIKE");
        QStringList expresiones;
        // Only digits (and a sign) can be found in a number.
        if (std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.isDigit() || c == QLatin1Char('-'); }))
            expresiones << QStringLiteral("CAST(%1 AS TEXT)").arg(Col(Pos::Numero));
        if (std::any_of(texto.begin(), texto.end(), [](QChar c) { return c.isSpace(); })) {
            expresiones << expresionDireccion();
        } else {
            // A text without blanks lies inside one part of the address when
            // it lies inside the address: each part is tested as it is,
            // without building the address row by row.
            expresiones << Col(Pos::TipoDireccion)
                        << QStringLiteral("CASE %1 WHEN 'Avenida' THEN %2 WHEN 'Otro' THEN %3 ELSE %4 END")
                               .arg(Col(Pos::TipoDireccion), Col(Pos::Avenida), Col(Pos::OtraVia),
                                    Col(Pos::NumeroCalle))
                        << Col(Pos::NumeroCasa);
        }
        expresiones << Col(Pos::Barrio) << Col(Pos::NombreEdificacion) << Col(Pos::Evaluador)
                    << Col(Pos::CodigoComision);
        // Without letters case does not matter, and a plain search for the
        // text is several times cheaper than a pattern.
        const bool sinLetras = std::none_of(texto.begin(), texto.end(), [](QChar c) { return c.isLetter(); });
        const QString buscar = motor_ == Motor::Postgres ? QStringLiteral("strpos") : QStringLiteral("instr");
        QStringList o;
        for (const QString &e : expresiones) {
            if (sinLetras) {
                o << QStringLiteral("%1(%2, ?) > 0").arg(buscar, e);
                valores << texto;
            } else {
                o << QStringLiteral("%1 %2 ? ESCAPE '\\'").arg(e, como);
                valores << Patron(texto);
            }
        }
        partes << QLatin1Char('(') + o.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    if (!filtro.habitabilidad.isEmpty()) {
        partes << Col(Pos::Habitabilidad) + QStringLiteral(" = ?");
        valores << filtro.habitabilidad;
    }
    // Dates are stored as "yyyy-MM-ddTHH:mm:ss", so text order is time order.
    if (filtro.desde.isValid()) {
        partes << Col(Pos::Fecha) + QStringLiteral(" >= ?");
        valores << filtro.desde.toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (filtro.hasta.isValid()) {
        partes << Col(Pos::Fecha) + QStringLiteral(" < ?");
        valores << filtro.hasta.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (filtro.numeroMenorQue != 0) {
        partes << Col(Pos::Numero) + QStringLiteral(" < ?");
        valores << filtro.numeroMenorQue;
    }
    if (filtro.numeroMayorQue != 0) {
        partes << Col(Pos::Numero) + QStringLiteral(" > ?");
        valores << filtro.numeroMayorQue;
    }
    return partes.isEmpty() ? QString() : QStringLiteral(" WHERE ") + partes.join(QStringLiteral(" AND "));
}

QString LectorRegistroSql::orden(const OrdenRegistro &o) const
{
    const QString sentido = o.descendente ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    QString expresion;
    if (o.campo == OrdenRegistro::OrdenDireccion)
        expresion = expresionDireccion();
    else if (o.campo >= 0 && o.campo < NumCampos)
        expresion = Col(o.campo);
    else
        expresion = Col(Pos::Numero);
    QString sql = QStringLiteral(" ORDER BY ") + expresion + sentido;
    if (o.campo != Pos::Numero)
        sql += QStringLiteral(", ") + Col(Pos::Numero) + sentido;
    return sql;
}

RegistroEvaluacion LectorRegistroSql::registroDeFila(const QSqlQuery &q, int primera)
{
    RegistroEvaluacion r;
    for (int i = 0; i < NumCampos; ++i)
        r.valores[i] = Normalizar(q.value(primera + i), Campo(i).tipo);
    return r;
}

qint64 LectorRegistroSql::contar(const FiltroRegistro &filtro) const
{
    QVariantList valores;
    const QString donde = condicion(filtro, valores);
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(tablaSql_, donde));
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    return q.value(0).toLongLong();
}

QVector<RegistroEvaluacion> LectorRegistroSql::pagina(const FiltroRegistro &filtro, const OrdenRegistro &o,
                                                     qint64 desde, int cuantos) const
{
    QVector<RegistroEvaluacion> registros;
    if (cuantos <= 0)
        return registros;
    QVariantList valores;
    const QString donde = condicion(filtro, valores);
    QSqlQuery q(db());
    q.setForwardOnly(true);
    // The page's numbers first, from the narrow columns the selection and
    // the order need (a covering index where the store has one), then the
    // whole rows of those numbers only.
    const QString numero = Col(Pos::Numero);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (SELECT %3 FROM %2%4%5 LIMIT ? OFFSET ?)%5")
                  .arg(listaColumnas(), tablaSql_, numero, donde, orden(o)));
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    q.addBindValue(cuantos);
    q.addBindValue(std::max<qint64>(desde, 0));
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    registros.reserve(cuantos);
    while (q.next())
        registros.append(registroDeFila(q));
    return registros;
}

std::optional<RegistroEvaluacion> LectorRegistroSql::porNumero(int32_t numero) const
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(listaColumnas(), tablaSql_, Col(Pos::Numero)));
    q.addBindValue(numero);
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    if (!q.next())
        return std::nullopt;
    return registroDeFila(q);
}

void LectorRegistroSql::recorrer(const FiltroRegistro &filtro, const OrdenRegistro &o,
                                 const std::function<bool(const RegistroEvaluacion &)> &cada) const
{
    QVariantList valores;
    const QString donde = condicion(filtro, valores);
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2%3%4").arg(listaColumnas(), tablaSql_, donde, orden(o)));
    for (const QVariant &v : std::as_const(valores))
        q.addBindValue(v);
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    while (q.next())
        if (!cada(registroDeFila(q)))
            break;
    if (q.lastError().isValid())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
}
