// listar and exportar.

#include "programs/orv-registro/commands.h"

#include "core/exchange/csv_export.h"
#include "core/exchange/csv_export_local.h"
#include "core/exchange/xlsx_export.h"
#include "core/exchange/photo_files.h"
#include "core/registry/evaluation_record.h"
#include "core/registry/terminal_text.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QTextStream>
#include <optional>
#include <cstdio>

namespace Cli {

namespace {

using namespace RegistroEvaluaciones;

// One line of the listing: the columns the registry window shows first.
struct Fila {
    QString valores[8];
};

Fila FilaDe(const RegistroEvaluacion &r)
{
    QString fecha = r.texto(Pos::Fecha);
    fecha.replace(QLatin1Char('T'), QLatin1Char(' '));
    return {{QString::number(r.numero()), fecha.left(16), TextoDireccion(r), r.texto(Pos::Barrio),
             r.texto(Pos::NombreEdificacion), r.texto(Pos::Evaluador), r.texto(Pos::CodigoComision),
             r.texto(Pos::Habitabilidad)}};
}

const QString Titulos[8] = {QStringLiteral("Número"),   QStringLiteral("Fecha"),     QStringLiteral("Dirección"),
                            QStringLiteral("Barrio"),   QStringLiteral("Nombre"),    QStringLiteral("Evaluador"),
                            QStringLiteral("Comisión"), QStringLiteral("Habitabilidad")};
// Widths of the readable table; the last column takes what it needs.
constexpr int Anchos[8] = {7, 16, 28, 16, 24, 20, 9, 0};

// `s` in `ancho` characters as a reader counts them (a character outside
// the basic plane is one), cut with "…" or padded with blanks.
QString Ajustar(const QString &s, int ancho)
{
    const QList<uint> puntos = s.toUcs4();
    if (puntos.size() > ancho) {
        QList<uint> cortado = puntos.first(ancho - 1);
        return QString::fromUcs4(reinterpret_cast<const char32_t *>(cortado.constData()), cortado.size())
               + QChar(0x2026);
    }
    return s + QString(ancho - puntos.size(), QLatin1Char(' '));
}

QString LineaTabla(const QString (&valores)[8])
{
    QString linea;
    for (int i = 0; i < 8; ++i) {
        const QString v = TextoParaTerminal(valores[i]);
        linea += Anchos[i] ? Ajustar(v, Anchos[i]) + QStringLiteral("  ") : v;
    }
    while (linea.endsWith(QLatin1Char(' ')))
        linea.chop(1);
    return linea + QLatin1Char('\n');
}

QString LineaTsv(const QString (&valores)[8])
{
    QStringList partes;
    for (const QString &v : valores)
        partes << TextoParaTerminal(v);
    return partes.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

}  // namespace

int Listar(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("listar"), argumentos, OpcionesFiltro,
                       {QStringLiteral("--tsv"), QStringLiteral("--vigentes")});
    if (!a.resto().isEmpty())
        FallaUso(QStringLiteral("«listar» no admite \"%1\". Vea «orv-registro listar --ayuda».").arg(a.resto().first()));
    const FiltroRegistro filtro = LeerFiltro(a);
    const bool tsv = a.tiene(QStringLiteral("--tsv"));
    const auto registro = AbrirRegistro(opciones, Acceso::Leer);

    Escribir(QString(), [&](QIODevice &salida) {
        QByteArray bloque;
        auto vaciar = [&] {
            if (salida.write(bloque) != bloque.size())
                FallaEjecucion(QStringLiteral("no se puede escribir en la salida estándar."));
            bloque.clear();
        };
        bloque += (tsv ? LineaTsv(Titulos) : LineaTabla(Titulos)).toUtf8();
        qint64 cuantas = 0;
        registro->recorrer(filtro, OrdenRegistro{}, [&](const RegistroEvaluacion &r) {
            const Fila f = FilaDe(r);
            bloque += (tsv ? LineaTsv(f.valores) : LineaTabla(f.valores)).toUtf8();
            if (bloque.size() > (1 << 16))
                vaciar();
            ++cuantas;
            return true;
        });
        if (!tsv)
            bloque += (cuantas == 1 ? QStringLiteral("1 evaluación\n")
                                    : QStringLiteral("%1 evaluaciones\n").arg(cuantas))
                          .toUtf8();
        vaciar();
    });
    return Exito;
}

int Exportar(const QStringList &argumentos, const Opciones &opciones)
{
    QStringList conValor = OpcionesFiltro;
    conValor << QStringLiteral("--formato") << QStringLiteral("-o") << QStringLiteral("--salida") << QStringLiteral("--fotos");
    const Argumentos a(QStringLiteral("exportar"), argumentos, conValor, {QStringLiteral("--vigentes")});
    if (!a.resto().isEmpty())
        FallaUso(QStringLiteral("«exportar» no admite \"%1\". Vea «orv-registro exportar --ayuda».")
                     .arg(a.resto().first()));
    const QString formato = a.tiene(QStringLiteral("--formato")) ? a.valor(QStringLiteral("--formato")).toLower()
                                                                  : QStringLiteral("csv");
    if (formato != QLatin1String("csv") && formato != QLatin1String("geojson") && formato != QLatin1String("xlsx"))
        FallaUso(QStringLiteral("el formato \"%1\" no existe; los formatos son: csv, xlsx, geojson.").arg(formato));
    const FiltroRegistro filtro = LeerFiltro(a);
    QString archivo = a.valor(QStringLiteral("-o"));
    if (a.tiene(QStringLiteral("--salida")))
        archivo = a.valor(QStringLiteral("--salida"));
    if ((a.tiene(QStringLiteral("-o")) || a.tiene(QStringLiteral("--salida"))) && archivo.isEmpty())
        FallaUso(QStringLiteral("-o necesita el nombre de un archivo."));
    const QString carpetaFotos = a.valor(QStringLiteral("--fotos"));
    if (a.tiene(QStringLiteral("--fotos")) && carpetaFotos.isEmpty())
        FallaUso(QStringLiteral("--fotos necesita el nombre de una carpeta."));
    // The photos first, each evaluation's in a folder named by its number;
    // the file names them relative to its own folder.
    std::optional<QHash<int32_t, QStringList>> fotos;
    if (!carpetaFotos.isEmpty()) {
        const QString base = archivo.isEmpty() || archivo == QLatin1String("-") ? QDir::currentPath()
                                                                                 : QFileInfo(archivo).absolutePath();
        const auto registro = AbrirRegistro(opciones, Acceso::Leer);
        fotos = ArchivosFotos::EscribirSeleccion(*registro, filtro, QFileInfo(carpetaFotos).absoluteFilePath(), base);
    }
    if (formato == QLatin1String("geojson"))
        return ExportarSig(filtro, archivo, opciones, fotos ? &*fotos : nullptr);
    if (formato == QLatin1String("xlsx")) {
        if (archivo.isEmpty() || archivo == QLatin1String("-"))
            FallaUso(QStringLiteral("«exportar --formato xlsx» necesita el archivo a escribir: -o ARCHIVO.xlsx."));
        if (fotos)
            FallaUso(QStringLiteral("--fotos va con --formato csv o geojson: una hoja de cálculo no muestra las fotos."));
        const auto registro = AbrirRegistro(opciones, Acceso::Leer);
        ExportarXlsx(*registro, filtro, archivo);
        return Exito;
    }

    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    Escribir(archivo, [&](QIODevice &salida) {
        if (fotos) {
            ExportarCsv(*registro, filtro, salida, *fotos);
            return;
        }
        // A file on this machine is read the fast way; any other store record by record.
        if (auto *local = dynamic_cast<RegistroLocal *>(registro.get()))
            ExportarCsvLocal(*local, filtro, salida);
        else
            ExportarCsv(*registro, filtro, salida);
    });
    return Exito;
}

}  // namespace Cli
