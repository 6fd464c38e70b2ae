#include "core/exchange/csv_export.h"

#include "core/data/record_set.h"
#include "core/exchange/photo_files.h"
#include "core/registry/csv_field.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>
#include <functional>

using namespace RegistroEvaluaciones;

namespace {

void AgregarCampo(QByteArray &linea, const QByteArray &b) { CampoTextoCsv::Agregar(linea, b); }

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

// Writes the header, then every record `recorrer` hands to its callback.
void Volcar(const std::function<void(const std::function<bool(const RegistroEvaluacion &)> &)> &recorrer,
            QIODevice &salida, const QString &nombre, const QHash<int32_t, QStringList> *fotos = nullptr)
{
    QByteArray bloque;
    constexpr qsizetype Tope = 1 << 16;
    bloque.reserve(Tope + 4096);
    for (int i = 0; i < NumCampos; ++i) {
        if (i)
            bloque += ',';
        AgregarCampo(bloque, Campo(i).columna.toUtf8());
    }
    if (fotos) {
        for (const QString &c : {ArchivosFotos::ColumnaFoto, ArchivosFotos::ColumnaFotos}) {
            bloque += ',';
            AgregarCampo(bloque, c.toUtf8());
        }
    }
    bloque += "\r\n";
    recorrer([&](const RegistroEvaluacion &r) {
        for (int i = 0; i < NumCampos; ++i) {
            if (i)
                bloque += ',';
            AgregarCampo(bloque, TextoCampo(r.campo(i)));
        }
        if (fotos) {
            const QStringList rutas = fotos->value(r.numero());
            bloque += ',';
            AgregarCampo(bloque, rutas.value(0).toUtf8());
            bloque += ',';
            AgregarCampo(bloque, rutas.join(QLatin1Char(';')).toUtf8());
        }
        bloque += "\r\n";
        if (bloque.size() >= Tope)
            Escribir(salida, bloque, nombre);
        return true;
    });
    Escribir(salida, bloque, nombre);
}

auto DelAlmacen(AlmacenRegistro &almacen, const FiltroRegistro &filtro)
{
    return [&almacen, &filtro](const std::function<bool(const RegistroEvaluacion &)> &cada) {
        almacen.recorrer(filtro, OrdenRegistro{Pos::Numero, false}, cada);
    };
}

auto DeLista(const QVector<RegistroEvaluacion> &registros)
{
    return [&registros](const std::function<bool(const RegistroEvaluacion &)> &cada) {
        for (const RegistroEvaluacion &r : registros)
            if (!cada(r))
                break;
    };
}

template <typename Recorrer>
void AArchivo(const Recorrer &recorrer, const QString &archivo)
{
    const QString nombre = QStringLiteral("el archivo \"%1\"").arg(QDir::toNativeSeparators(archivo));
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly))
        throw ErrorDatos(QStringLiteral("No se puede crear %1: %2.").arg(nombre, f.errorString()));
    Volcar(recorrer, f, nombre);
    if (!f.commit())
        throw ErrorDatos(QStringLiteral("No se puede guardar %1: %2.").arg(nombre, f.errorString()));
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
    Volcar(DelAlmacen(almacen, filtro), salida, QStringLiteral("la exportación"));
}

void ExportarCsv(AlmacenRegistro &almacen, const FiltroRegistro &filtro, QIODevice &salida,
                 const QHash<int32_t, QStringList> &fotos)
{
    Volcar(DelAlmacen(almacen, filtro), salida, QStringLiteral("la exportación"), &fotos);
}

void ExportarCsvArchivo(AlmacenRegistro &almacen, const FiltroRegistro &filtro, const QString &archivo)
{
    AArchivo(DelAlmacen(almacen, filtro), archivo);
}

void ExportarCsv(const QVector<RegistroEvaluacion> &registros, QIODevice &salida)
{
    Volcar(DeLista(registros), salida, QStringLiteral("la exportación"));
}

void ExportarCsvArchivo(const QVector<RegistroEvaluacion> &registros, const QString &archivo)
{
    AArchivo(DeLista(registros), archivo);
}
