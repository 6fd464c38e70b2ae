// aviso and reporte: the printed documents of saved evaluations, as PDF.

#include "programs/orv-registro/commands.h"

#include "core/data/record_set.h"
#include "reports/documents.h"
#include "core/engine/result_classification.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

namespace Cli {

namespace {

struct Pedido {
    QString archivo;
    QVector<RegistroEvaluacion> registros;
    TablasComentarios comentarios;
};

// The numbers and the PDF of the command line; every number must be in the
// registry. Nothing is written before all of that is known.
Pedido LeerPedido(const QString &orden, const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(orden, argumentos, {QStringLiteral("-o"), QStringLiteral("--salida")});
    Pedido p;
    p.archivo = a.tiene(QStringLiteral("--salida")) ? a.valor(QStringLiteral("--salida")) : a.valor(QStringLiteral("-o"));
    if (p.archivo.isEmpty() || p.archivo == QLatin1String("-"))
        FallaUso(QStringLiteral("«%1» necesita el archivo PDF a escribir: -o ARCHIVO.pdf.").arg(orden));
    if (a.resto().isEmpty())
        FallaUso(QStringLiteral("«%1» necesita al menos un número de evaluación.").arg(orden));

    QVector<int32_t> numeros;
    for (const QString &texto : a.resto()) {
        bool ok = false;
        const qlonglong n = texto.trimmed().toLongLong(&ok);
        if (!ok || n < 1 || n > std::numeric_limits<int32_t>::max())
            FallaUso(QStringLiteral("\"%1\" no es un número de evaluación.").arg(texto));
        numeros << static_cast<int32_t>(n);
    }

    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    QStringList faltan;
    for (int32_t n : numeros) {
        if (auto r = registro->porNumero(n))
            p.registros << *r;
        else
            faltan << QString::number(n);
    }
    if (!faltan.isEmpty())
        FallaEjecucion((faltan.size() == 1 ? QStringLiteral("no hay ninguna evaluación con el número %1 en la %2.")
                                           : QStringLiteral("no hay evaluaciones con los números %1 en la %2."))
                           .arg(faltan.join(QStringLiteral(", ")), registro->descripcion())
                       + QStringLiteral(" No se escribió \"%1\".").arg(p.archivo));

    // A placard says what it replaces, and whether a newer evaluation replaced it.
    registro->situar(p.registros);
    // The report prints the photos of each evaluation.
    if (orden == QLatin1String("reporte"))
        for (RegistroEvaluacion &r : p.registros)
            for (const FotoEvaluacion &f : registro->fotos(r.numero()))
                if (const std::optional<FotoEvaluacion> completa = registro->foto(f.uuid))
                    r.fotos << *completa;
    p.comentarios = ComentariosDe(opciones);
    return p;
}

}  // namespace

TablasComentarios ComentariosDe(const Opciones &opciones)
{
    const QString comentarios = QDir(CarpetaDatos(opciones)).filePath(QStringLiteral("Comentarios.sqlite"));
    if (!QFileInfo::exists(comentarios))
        FallaEjecucion(QStringLiteral("no existe la base de comentarios \"%1\"; indique la carpeta de datos con "
                                      "--datos.")
                           .arg(comentarios));
    return LeerTablasComentarios(comentarios);
}

int Aviso(const QStringList &argumentos, const Opciones &opciones)
{
    const Pedido p = LeerPedido(QStringLiteral("aviso"), argumentos, opciones);
    Documentos::GuardarAvisosPdf(p.archivo, p.registros, p.comentarios);
    return Exito;
}

int Reporte(const QStringList &argumentos, const Opciones &opciones)
{
    const Pedido p = LeerPedido(QStringLiteral("reporte"), argumentos, opciones);
    Documentos::GuardarReportesPdf(p.archivo, p.registros, p.comentarios);
    return Exito;
}

}  // namespace Cli
