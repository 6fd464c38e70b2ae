#include "core/exchange/csv_export_local.h"

#include "core/data/record_set.h"
#include "core/exchange/csv_export.h"
#include "core/registry/csv_field.h"

#include <QIODevice>
#include <charconv>
#include <cmath>
#include <sqlite3.h>

using namespace RegistroEvaluaciones;

namespace {

constexpr qsizetype Tope = 1 << 16;

class Bloque {
public:
    explicit Bloque(QIODevice &salida) : salida_(salida) { b_.reserve(Tope + 4096); }

    void agregar(const char *p, qsizetype n) { b_.append(p, n); }
    void agregar(char c) { b_.append(c); }

    // A text field, as every CSV of the program writes one.
    void texto(const char *p, qsizetype n) { CampoTextoCsv::Agregar(b_, p, n); }

    void entero(sqlite3_int64 n)
    {
        char t[32];
        const auto r = std::to_chars(t, t + sizeof t, n);
        b_.append(t, r.ptr - t);
    }

    // The shortest text that reads back as the same number, with a point.
    void real(double d)
    {
        const QByteArray t = QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
        b_.append(t);
    }

    void finFila()
    {
        b_.append("\r\n", 2);
        if (b_.size() >= Tope)
            vaciar();
    }

    void vaciar()
    {
        if (salida_.write(b_) != b_.size())
            throw ErrorDatos(QStringLiteral("No se puede escribir la exportación: %1.").arg(salida_.errorString()));
        b_.resize(0);
    }

private:
    QIODevice &salida_;
    QByteArray b_;
};

class Consulta {
public:
    ~Consulta() { sqlite3_finalize(s_); }
    sqlite3_stmt *s_ = nullptr;
};

}  // namespace

void ExportarCsvLocal(RegistroLocal &registro, const FiltroRegistro &filtro, QIODevice &salida)
{
    const LectorRegistroSql &lector = registro.lector();
    sqlite3 *db = ManejadorSqlite(lector.db());
    if (!db)
        lector.fallar(QStringLiteral("no se puede leer la tabla"), QStringLiteral("la conexión no es de SQLite"));

    QVariantList valores;
    const QString donde = lector.condicion(filtro, valores);
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 ASC")
                               .arg(LectorRegistroSql::listaColumnas(), lector.tablaSql(), donde,
                                    CitarIdentificador(Campo(Pos::Numero).columna))
                               .toUtf8();
    Consulta c;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &c.s_, nullptr) != SQLITE_OK)
        lector.fallar(QStringLiteral("no se puede leer la tabla"), QString::fromUtf8(sqlite3_errmsg(db)));
    QList<QByteArray> textos;  // alive until the query ends
    for (qsizetype i = 0; i < valores.size(); ++i) {
        const QVariant &v = valores.at(i);
        int r = SQLITE_OK;
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            r = sqlite3_bind_int64(c.s_, static_cast<int>(i + 1), v.toLongLong());
        } else {
            textos << v.toString().toUtf8();
            r = sqlite3_bind_text(c.s_, static_cast<int>(i + 1), textos.last().constData(),
                                  static_cast<int>(textos.last().size()), SQLITE_STATIC);
        }
        if (r != SQLITE_OK)
            lector.fallar(QStringLiteral("no se puede leer la tabla"), QString::fromUtf8(sqlite3_errmsg(db)));
    }

    Bloque b(salida);
    for (int i = 0; i < NumCampos; ++i) {
        if (i)
            b.agregar(',');
        const QByteArray titulo = CampoCsv(Campo(i).columna);
        b.agregar(titulo.constData(), titulo.size());
    }
    b.finFila();

    TipoCampo tipos[NumCampos];
    for (int i = 0; i < NumCampos; ++i)
        tipos[i] = Campo(i).tipo;
    int paso;
    while ((paso = sqlite3_step(c.s_)) == SQLITE_ROW) {
        for (int i = 0; i < NumCampos; ++i) {
            if (i)
                b.agregar(',');
            switch (sqlite3_column_type(c.s_, i)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                if (tipos[i] == TipoCampo::Real)
                    b.real(static_cast<double>(sqlite3_column_int64(c.s_, i)));
                else
                    b.entero(sqlite3_column_int64(c.s_, i));
                break;
            case SQLITE_FLOAT: {
                const double d = sqlite3_column_double(c.s_, i);
                // A whole number in an integer field reads as that integer.
                if (tipos[i] == TipoCampo::Entero && d == std::floor(d) && std::fabs(d) < 9.2e18)
                    b.entero(static_cast<sqlite3_int64>(d));
                else
                    b.real(d);
                break;
            }
            default: {
                const char *p = reinterpret_cast<const char *>(sqlite3_column_text(c.s_, i));
                b.texto(p, sqlite3_column_bytes(c.s_, i));
            }
            }
        }
        b.finFila();
    }
    if (paso != SQLITE_DONE)
        lector.fallar(QStringLiteral("no se puede leer la tabla"), QString::fromUtf8(sqlite3_errmsg(db)));
    b.vaciar();
}
