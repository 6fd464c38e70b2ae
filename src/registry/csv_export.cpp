#include "registry/csv_export.h"

#include "data/record_set.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>

using namespace RegistroEvaluaciones;

namespace {

bool NecesitaComillas(const QByteArray &b)
{
    if (b.isEmpty())
        return false;
    if (b.front() == ' ' || b.front() == '\t' || b.back() == ' ' || b.back() == '\t')
        return true;
    for (const char c : b)
        if (c == ',' || c == ';' || c == '"' || c == '\n' || c == '\r')
            return true;
    return false;
}

void AgregarCampo(QByteArray &linea, const QByteArray &b)
{
    if (!NecesitaComillas(b)) {
        linea += b;
        return;
    }
    linea += '"';
    for (const char c : b) {
        if (c == '"')
            linea += '"';
        linea += c;
    }
    linea += '"';
}

QByteArray TextoCampo(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QByteArray();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        // Shortest text that reads back as the same number, always with a point.
        return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QByteArray::number(v.toLongLong());
    default:
        return v.toString().toUtf8();
    }
}

void Escribir(QIODevice &salida, QByteArray &bloque, const QString &nombre)
{
    if (salida.write(bloque) != bloque.size())
        throw ErrorDatos(QStringLiteral("No se puede escribir %1: %2.").arg(nombre, salida.errorString()));
    bloque.clear();
}

void Volcar(AlmacenRegistro &almacen, const FiltroRegistro &filtro, QIODevice &salida, const QString &nombre)
{
    QByteArray bloque;
    constexpr qsizetype Tope = 1 << 16;
    bloque.reserve(Tope + 4096);
    for (int i = 0; i < NumCampos; ++i) {
        if (i)
            bloque += ',';
        AgregarCampo(bloque, Campo(i).columna.toUtf8());
    }
    bloque += "\r\n";
    almacen.recorrer(filtro, OrdenRegistro{Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
        for (int i = 0; i < NumCampos; ++i) {
            if (i)
                bloque += ',';
            AgregarCampo(bloque, TextoCampo(r.campo(i)));
        }
        bloque += "\r\n";
        if (bloque.size() >= Tope)
            Escribir(salida, bloque, nombre);
        return true;
    });
    Escribir(salida, bloque, nombre);
}

}  // namespace

QByteArray CampoCsv(const QVariant &valor)
{
    QByteArray b;
    AgregarCampo(b, TextoCampo(valor));
    return b;
}

void ExportarCsv(AlmacenRegistro &almacen, const FiltroRegistro &filtro, QIODevice &salida)
{
    Volcar(almacen, filtro, salida, QStringLiteral("la exportación"));
}

void ExportarCsvArchivo(AlmacenRegistro &almacen, const FiltroRegistro &filtro, const QString &archivo)
{
    const QString nombre = QStringLiteral("el archivo \"%1\"").arg(QDir::toNativeSeparators(archivo));
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly))
        throw ErrorDatos(QStringLiteral("No se puede crear %1: %2.").arg(nombre, f.errorString()));
    Volcar(almacen, filtro, f, nombre);
    if (!f.commit())
        throw ErrorDatos(QStringLiteral("No se puede guardar %1: %2.").arg(nombre, f.errorString()));
}
