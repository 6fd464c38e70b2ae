#include "core/registry/registry_sql.h"

#include "core/data/record_set.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVarLengthArray>
#include <algorithm>
#include <sqlite3.h>

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

constexpr unsigned char MinusculaAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Whether the UTF-8 text `t` holds `aguja` (already in ASCII lower case),
// with ASCII letters in either case and every other character as it is:
// what LIKE '%aguja%' finds, without LIKE's pattern machinery.
bool ContieneAscii(const unsigned char *t, int n, const QByteArray &aguja)
{
    const int m = int(aguja.size());
    if (m == 0)
        return true;
    const auto *a = reinterpret_cast<const unsigned char *>(aguja.constData());
    const unsigned char primera = a[0];
    const unsigned char otra = primera >= 'a' && primera <= 'z' ? primera - ('a' - 'A') : primera;
    for (int i = 0; i + m <= n; ++i) {
        if (t[i] != primera && t[i] != otra)
            continue;
        int j = 1;
        while (j < m && MinusculaAscii(t[i + j]) == a[j])
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

// orv_contiene(texto, unidos, valor1, valor2, ...): 1 when one of the values
// holds the text (see ContieneAscii), 0 otherwise; a NULL value holds
// nothing. The first `unidos` values are taken as one text, joined by blanks
// (the address from its parts), NULL as empty.
// One call per row instead of one LIKE per column: the search of the window
// scans the registry several times faster.
void FuncionContiene(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // The text is the same for every row of a statement: folded once and
    // kept with the statement.
    QByteArray local;
    const auto *aguja = static_cast<const QByteArray *>(sqlite3_get_auxdata(ctx, 0));
    if (!aguja) {
        const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        local = QByteArray(t ? t : "", t ? sqlite3_value_bytes(argv[0]) : 0);
        for (char &c : local)
            c = char(MinusculaAscii(static_cast<unsigned char>(c)));
        aguja = &local;
        sqlite3_set_auxdata(ctx, 0, new QByteArray(local), [](void *p) { delete static_cast<QByteArray *>(p); });
    }
    int i = 2;
    if (argc >= 2) {
        const int unidos = std::clamp(sqlite3_value_int(argv[1]), 0, argc - 2);
        if (unidos > 0) {
            QVarLengthArray<unsigned char, 512> junto;
            for (; i < 2 + unidos; ++i) {
                if (i > 2)
                    junto.append(' ');
                const unsigned char *t = sqlite3_value_text(argv[i]);
                if (t)
                    junto.append(t, sqlite3_value_bytes(argv[i]));
            }
            if (ContieneAscii(junto.constData(), int(junto.size()), *aguja)) {
                sqlite3_result_int(ctx, 1);
                return;
            }
        }
    }
    for (; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const unsigned char *t = sqlite3_value_text(argv[i]);
        if (t && ContieneAscii(t, sqlite3_value_bytes(argv[i]), *aguja)) {
            sqlite3_result_int(ctx, 1);
            return;
        }
    }
    sqlite3_result_int(ctx, 0);
}

// Makes orv_contiene known to the SQLite connection `db`.
bool RegistrarContiene(const QSqlDatabase &db)
{
    sqlite3 *h = ManejadorSqlite(db);
    return h && sqlite3_create_function_v2(h, "orv_contiene", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                           FuncionContiene, nullptr, nullptr, nullptr) == SQLITE_OK;
}
}  // namespace

sqlite3 *ManejadorSqlite(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

LectorRegistroSql::LectorRegistroSql(QString conexion, QString tablaSql, Motor motor, QString descripcion)
    : conexion_(std::move(conexion)), tablaSql_(std::move(tablaSql)), motor_(motor), descripcion_(std::move(descripcion))
{
    contiene_ = motor_ == Motor::Sqlite && RegistrarContiene(db());
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

QStringList LectorRegistroSql::partesDireccion()
{
    auto c = [](int p) { return QStringLiteral("COALESCE(%1, '')").arg(Col(p)); };
    return {c(Pos::TipoDireccion),
            QStringLiteral("CASE %1 WHEN 'Avenida' THEN %2 WHEN 'Otro' THEN %3 ELSE %4 END")
                .arg(Col(Pos::TipoDireccion), c(Pos::Avenida), c(Pos::OtraVia), c(Pos::NumeroCalle)),
            c(Pos::NumeroCasa)};
}

QString LectorRegistroSql::expresionDireccion()
{
    return QLatin1Char('(') + partesDireccion().join(QStringLiteral(" || ' ' || ")) + QLatin1Char(')');
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
        const bool conBlancos = std::any_of(texto.begin(), texto.end(), [](QChar c) { return c.isSpace(); });
        if (!conBlancos) {
            // A text without blanks lies inside one part of the address when
            // it lies inside the address: each part is tested as it is,
            // without building the address row by row.
            expresiones << Col(Pos::TipoDireccion) << partesDireccion().at(1) << Col(Pos::NumeroCasa);
        } else if (!contiene_) {
            expresiones << expresionDireccion();
        }
        expresiones << Col(Pos::Barrio) << Col(Pos::NombreEdificacion) << Col(Pos::Evaluador)
                    << Col(Pos::CodigoComision);
        if (contiene_) {
            // The parts of the address go first, joined by the function.
            const QStringList unidas = conBlancos ? partesDireccion() : QStringList();
            partes << QStringLiteral("orv_contiene(?, %1, %2)")
                          .arg(unidas.size())
                          .arg((unidas + expresiones).join(QStringLiteral(", ")));
            valores << texto;
            expresiones.clear();
        }
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
        if (!o.isEmpty())
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
    if (filtro.soloVigentes)
        partes << QStringLiteral("NOT EXISTS (SELECT 1 FROM %1 AS posterior WHERE posterior.%2 = %1.%2 AND "
                                 "posterior.%2 <> '' AND (posterior.%3 > %1.%3 OR (posterior.%3 = %1.%3 AND "
                                 "posterior.%4 > %1.%4)))")
                      .arg(tablaSql_, CitarIdentificador(ColumnaClave), Col(Pos::Fecha), Col(Pos::Numero));
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
    q.prepare(QStringLiteral("SELECT %1, %4 FROM %2 WHERE %3 = ?")
                  .arg(listaColumnas(), tablaSql_, Col(Pos::Numero), CitarIdentificador(ColumnaUnidades)));
    q.addBindValue(numero);
    if (!q.exec())
        fallar(QStringLiteral("no se puede leer la tabla"), q.lastError().text());
    if (!q.next())
        return std::nullopt;
    RegistroEvaluacion r = registroDeFila(q);
    if (!q.value(NumCampos).isNull())
        r.unidadesVivienda = q.value(NumCampos).toInt();
    return r;
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
