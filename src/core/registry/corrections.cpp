#include "core/registry/corrections.h"

#include "core/data/record_set.h"
#include "core/registry/coordinates.h"
#include "core/registry/record_builder.h"
#include "core/registry/registry_sql.h"

#include <QDir>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace RegistroEvaluaciones;

namespace Correcciones {

bool Corregible(int p)
{
    switch (p) {
    case Pos::Comuna: case Pos::Barrio: case Pos::TipoAvaluo: case Pos::Sector: case Pos::Manzana:
    case Pos::Predio: case Pos::MejoraPH:
    case Pos::TipoDireccion: case Pos::NumeroCalle: case Pos::Avenida: case Pos::OtraVia: case Pos::NumeroCasa:
    case Pos::NombreEdificacion: case Pos::PersonaContacto: case Pos::Telefono:
    case Pos::Evaluador: case Pos::CodigoComision:
    case Pos::UsoEdificacion: case Pos::UsoPlantaBaja:
    case Pos::Latitud: case Pos::Longitud:
        return true;
    default:
        return false;
    }
}

bool CambiaClave(int p)
{
    switch (p) {
    case Pos::Comuna: case Pos::Barrio: case Pos::TipoAvaluo: case Pos::Sector: case Pos::Manzana:
    case Pos::Predio:
    case Pos::TipoDireccion: case Pos::NumeroCalle: case Pos::Avenida: case Pos::OtraVia: case Pos::NumeroCasa:
        return true;
    default:
        return false;
    }
}

namespace {
[[noreturn]] void Rechazar(const QString &motivo)
{
    throw ErrorDatos(QStringLiteral("No se puede corregir la evaluación: %1.").arg(motivo));
}

QStringList ColumnasCorregibles()
{
    QStringList columnas;
    for (const CampoRegistro &c : Campos())
        if (Corregible(c.posicion))
            columnas << c.columna;
    return columnas;
}
}  // namespace

QString Texto(const QVariant &valor)
{
    if (valor.isNull())
        return QString();
    if (valor.typeId() == QMetaType::Double)
        return QString::number(valor.toDouble(), 'g', 15);
    return valor.toString();
}

Pedida Revisar(const QString &columna, const QString &valor, const QString &motivo)
{
    Pedida p;
    p.posicion = PosicionDeColumna(columna);
    if (p.posicion < 0)
        Rechazar(QStringLiteral("el registro no tiene el campo «%1»; los campos que se pueden corregir son: %2")
                     .arg(columna, ColumnasCorregibles().join(QStringLiteral(", "))));
    const CampoRegistro &campo = Campo(p.posicion);
    if (!Corregible(p.posicion))
        Rechazar(QStringLiteral("el campo «%1» (%2) no es parte de la identificación de la edificación; el número, "
                                "la fecha, los datos de la edificación, las calificaciones, los resultados y los "
                                "códigos no se corrigen: hace falta una nueva evaluación")
                     .arg(campo.etiqueta, campo.columna));
    p.motivo = motivo.trimmed();
    if (p.motivo.isEmpty())
        Rechazar(QStringLiteral("escriba el motivo de la corrección"));
    if (valor.contains(QChar(0)) || motivo.contains(QChar(0)))
        Rechazar(QStringLiteral("el texto contiene un carácter nulo (U+0000)"));
    const QString limpio = valor.trimmed();
    if (campo.tipo == TipoCampo::Real) {
        const bool latitud = p.posicion == Pos::Latitud;
        const Coordenadas c = latitud ? LeerCoordenadas(limpio, QStringLiteral("0"))
                                      : LeerCoordenadas(QStringLiteral("0"), limpio);
        const std::optional<double> leido = latitud ? c.Latitud : c.Longitud;
        if (!c.error.isEmpty() || !leido)
            Rechazar(QStringLiteral("«%1» no es %2 en grados decimales (%3)")
                         .arg(limpio, latitud ? QStringLiteral("una latitud entre -90 y 90")
                                              : QStringLiteral("una longitud entre -180 y 180"),
                              c.error.isEmpty() ? QStringLiteral("falta el número") : c.error));
        p.valor = *leido;
    } else if (p.posicion == Pos::TipoDireccion && !limpio.isEmpty()) {
        // The kinds the form offers: the address is read by its kind.
        if (!TiposDireccion().contains(limpio))
            Rechazar(QStringLiteral("«%1» no es un tipo de vía; los tipos son: %2")
                         .arg(limpio, TiposDireccion().join(QStringLiteral(", "))));
        p.valor = limpio;
    } else {
        p.valor = limpio;
    }
    p.texto = Texto(p.valor);
    return p;
}

void RevisarCambio(const Pedida &pedida, const RegistroEvaluacion &actual, int32_t numero)
{
    if (Texto(actual.campo(pedida.posicion)) == pedida.texto)
        Rechazar(QStringLiteral("el campo «%1» de la evaluación N.º %2 ya es «%3»")
                     .arg(Campo(pedida.posicion).etiqueta)
                     .arg(numero)
                     .arg(pedida.texto));
}

QString UsuarioDelEquipo()
{
    RegistroEvaluacion r;
    r.sellar();
    if (r.usuario.isEmpty())
        r.usuario = QDir::home().dirName();
    return r.usuario;
}

namespace {
// The time of a correction as text: ISO 8601 in UTC with milliseconds, as
// the local file stores it.
QString FechaSql(const LectorRegistroSql &lector, const QString &expresion)
{
    return lector.motor() == LectorRegistroSql::Motor::Postgres
               ? QStringLiteral("to_char(%1 AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')").arg(expresion)
               : expresion;
}
}  // namespace

void Marcar(const LectorRegistroSql &lector, const QString &tablaSql, QVector<RegistroEvaluacion> &registros)
{
    QHash<int32_t, QDateTime> fechas;
    QVector<int32_t> numeros;
    for (RegistroEvaluacion &r : registros) {
        r.corregida = QDateTime();
        if (!r.pendiente && r.numero() > 0)
            numeros << r.numero();
    }
    const QString numero = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Numero).nombre);
    const QString fecha = CitarIdentificador(ColumnasCorrecciones().at(ColCorreccion::Fecha).nombre);
    for (qsizetype inicio = 0; inicio < numeros.size(); inicio += 500) {
        const QVector<int32_t> parte = numeros.mid(inicio, 500);
        QStringList marcas;
        for (qsizetype i = 0; i < parte.size(); ++i)
            marcas << QStringLiteral("?");
        QSqlQuery q(lector.db());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IN (%4) GROUP BY %1")
                      .arg(numero, FechaSql(lector, QStringLiteral("MAX(%1)").arg(fecha)), tablaSql,
                           marcas.join(QStringLiteral(", "))));
        for (int32_t n : parte)
            q.addBindValue(n);
        if (!q.exec())
            lector.fallar(QStringLiteral("no se puede leer las correcciones (tabla \"%1\")").arg(TablaCorrecciones),
                          q.lastError().text());
        while (q.next())
            fechas.insert(q.value(0).toInt(), QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs).toUTC());
    }
    for (RegistroEvaluacion &r : registros)
        if (!r.pendiente && r.numero() > 0)
            r.corregida = fechas.value(r.numero());
}

QVector<Correccion> Leer(const LectorRegistroSql &lector, const QString &tablaSql, const QString &desempate,
                         int32_t numero)
{
    const QVector<ColumnaCorreccion> &cols = ColumnasCorrecciones();
    auto col = [&](int i) { return CitarIdentificador(cols.at(i).nombre); };
    QSqlQuery q(lector.db());
    q.setForwardOnly(true);
    const QString fecha = FechaSql(lector, col(ColCorreccion::Fecha));
    q.prepare(QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7 FROM %8 WHERE %9 = ? ORDER BY %10, %11")
                  .arg(col(ColCorreccion::Campo), col(ColCorreccion::Anterior), col(ColCorreccion::Nuevo),
                       col(ColCorreccion::Motivo), col(ColCorreccion::Usuario), fecha, col(ColCorreccion::Numero),
                       tablaSql, col(ColCorreccion::Numero))
                  .arg(col(ColCorreccion::Fecha), desempate));
    q.addBindValue(numero);
    if (!q.exec())
        lector.fallar(QStringLiteral("no se puede leer las correcciones (tabla \"%1\")").arg(TablaCorrecciones),
                      q.lastError().text());
    QVector<Correccion> lista;
    while (q.next()) {
        Correccion c;
        c.numero = q.value(6).toInt();
        c.columna = q.value(0).toString();
        c.anterior = q.value(1).toString();
        c.nuevo = q.value(2).toString();
        c.motivo = q.value(3).toString();
        c.usuario = q.value(4).toString();
        c.fecha = QDateTime::fromString(q.value(5).toString(), Qt::ISODateWithMs);
        c.fecha = c.fecha.toUTC();
        lista << c;
    }
    if (q.lastError().isValid())
        lector.fallar(QStringLiteral("no se puede leer las correcciones (tabla \"%1\")").arg(TablaCorrecciones),
                      q.lastError().text());
    return lista;
}

}  // namespace Correcciones
