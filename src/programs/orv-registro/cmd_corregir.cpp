// corregir and historial: correcting an evaluation's identification, and a
// building's evaluations with the corrections of each.

#include "programs/orv-registro/commands.h"

#include "core/data/record_set.h"
#include "core/registry/buildings.h"
#include "core/registry/corrections.h"

#include <limits>

namespace Cli {

using namespace RegistroEvaluaciones;

namespace {

int32_t NumeroDe(const QString &orden, const QStringList &resto)
{
    if (resto.size() != 1)
        FallaUso(QStringLiteral("«%1» necesita un número de evaluación, y solo uno. Vea «orv-registro %1 --ayuda».")
                     .arg(orden));
    bool ok = false;
    const qlonglong n = resto.first().trimmed().toLongLong(&ok);
    if (!ok || n < 1 || n > std::numeric_limits<int32_t>::max())
        FallaUso(QStringLiteral("\"%1\" no es un número de evaluación.").arg(resto.first()));
    return static_cast<int32_t>(n);
}

// "05/12/2026 09:00" from a stored evaluation date; the text as stored when
// it is no date.
QString Fecha(const QString &guardada)
{
    const QDateTime f = QDateTime::fromString(guardada, Qt::ISODate);
    return f.isValid() ? f.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : guardada;
}

QString Valor(const QString &v) { return v.isEmpty() ? QStringLiteral("(vacío)") : QStringLiteral("«%1»").arg(v); }

QString Etiqueta(const QString &columna)
{
    const int p = PosicionDeColumna(columna);
    return p < 0 ? columna : Campo(p).etiqueta;
}

QString LineaCorreccion(const Correccion &c)
{
    return QStringLiteral("    Corregida el %1 por %2: %3 %4 → %5. Motivo: %6")
        .arg(c.fecha.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
             c.usuario.isEmpty() ? QStringLiteral("(sin usuario)") : c.usuario, Etiqueta(c.columna),
             Valor(c.anterior), Valor(c.nuevo), c.motivo);
}

}  // namespace

int Corregir(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("corregir"), argumentos,
                       {QStringLiteral("--campo"), QStringLiteral("--valor"), QStringLiteral("--motivo")});
    const int32_t numero = NumeroDe(QStringLiteral("corregir"), a.resto());
    for (const char *opcion : {"--campo", "--valor", "--motivo"})
        if (!a.tiene(QString::fromLatin1(opcion)))
            FallaUso(QStringLiteral("«corregir» necesita %1. Vea «orv-registro corregir --ayuda».")
                         .arg(QString::fromLatin1(opcion)));
    if (a.valor(QStringLiteral("--motivo")).trimmed().isEmpty())
        FallaUso(QStringLiteral("--motivo no puede estar vacío: toda corrección guarda su motivo."));

    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    registro->corregir(numero, a.valor(QStringLiteral("--campo")), a.valor(QStringLiteral("--valor")),
                       a.valor(QStringLiteral("--motivo")));
    const QVector<Correccion> lista = registro->correcciones(numero);
    if (lista.isEmpty())
        FallaEjecucion(QStringLiteral("la corrección de la evaluación N.º %1 no aparece en la %2.")
                           .arg(numero)
                           .arg(registro->descripcion()));
    const Correccion &c = lista.last();
    Imprimir(QStringLiteral("Evaluación N.º %1 corregida: %2 %3 → %4.\n")
                 .arg(numero)
                 .arg(Etiqueta(c.columna), Valor(c.anterior), Valor(c.nuevo)));
    return Exito;
}

int Historial(const QStringList &argumentos, const Opciones &opciones)
{
    const Argumentos a(QStringLiteral("historial"), argumentos, {});
    const int32_t numero = NumeroDe(QStringLiteral("historial"), a.resto());
    const auto registro = AbrirRegistro(opciones, Acceso::Leer);
    const std::optional<RegistroEvaluacion> propia = registro->porNumero(numero);
    if (!propia)
        FallaEjecucion(QStringLiteral("no hay ninguna evaluación con el número %1 en la %2.")
                           .arg(numero)
                           .arg(registro->descripcion()));
    const QString clave = registro->claveDe(numero);
    QVector<RegistroEvaluacion> historial = clave.isEmpty() ? QVector<RegistroEvaluacion>() : registro->historial(clave);
    QStringList lineas;
    const QString barrio = propia->texto(Pos::Barrio);
    lineas << QStringLiteral("Edificación: %1%2").arg(TextoDireccion(*propia),
                                                        barrio.isEmpty() ? QString() : QStringLiteral(", ") + barrio);
    if (historial.isEmpty()) {
        historial << *propia;
        lineas << QStringLiteral("Sin predio ni dirección, la evaluación N.º %1 no se relaciona con otras.").arg(numero);
    } else {
        lineas << QStringLiteral("%1, la más reciente primero; la vigente es la N.º %2.")
                      .arg(historial.size() == 1 ? QStringLiteral("1 evaluación")
                                                 : QStringLiteral("%1 evaluaciones").arg(historial.size()))
                      .arg(historial.first().numero());
    }
    for (int i = 0; i < historial.size(); ++i) {
        const RegistroEvaluacion &r = historial.at(i);
        QString cambio;
        if (i + 1 < historial.size()) {
            switch (Edificaciones::Cambio(historial.at(i + 1).texto(Pos::Habitabilidad), r.texto(Pos::Habitabilidad))) {
            case Edificaciones::CambioAviso::Peor: cambio = QStringLiteral(" (empeoró)"); break;
            case Edificaciones::CambioAviso::Mejor: cambio = QStringLiteral(" (mejoró)"); break;
            default: break;
            }
        }
        lineas << QStringLiteral("N.º %1  %2  %3%4  %5 (%6)%7")
                      .arg(r.numero())
                      .arg(Fecha(r.texto(Pos::Fecha)), r.texto(Pos::Habitabilidad), cambio, r.texto(Pos::Evaluador),
                           r.texto(Pos::CodigoComision), r.numero() == numero ? QStringLiteral("  ← esta") : QString());
        for (const Correccion &c : registro->correcciones(r.numero()))
            lineas << LineaCorreccion(c);
    }
    Imprimir(lineas.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return Exito;
}

}  // namespace Cli
