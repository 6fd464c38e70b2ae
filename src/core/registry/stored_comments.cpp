#include "core/registry/stored_comments.h"

#include "core/evaluation/building_options.h"

using namespace RegistroEvaluaciones;

namespace {
QString Buscar(const TablaComentarios &tabla, const QString &codigo)
{
    const auto it = tabla.find(codigo);
    return it == tabla.end() ? QString() : it->second;
}
}  // namespace

QString CodigoRefAnnoDeRegistro(const RegistroEvaluacion &r)
{
    // "R EP" or "ROA EP": E is the global state level.
    const QString codigo = r.texto(Pos::CodigoReparabilidad);
    const qsizetype blanco = codigo.indexOf(QLatin1Char(' '));
    if (blanco < 0 || blanco + 1 >= codigo.size())
        return QString();
    const QChar estado = codigo.at(blanco + 1);
    if (estado != QLatin1Char('0') && estado != QLatin1Char('1'))
        return QString();
    const int periodo = OpcionesEdificacion::Anno().indexOf(r.texto(Pos::AnnoConstruccion));
    if (periodo < 0 || periodo > 2)
        return QString();
    return QStringLiteral("RANNO") + QString::number(periodo);
}

ComentariosRegistro ComentariosDeRegistro(const RegistroEvaluacion &r, const TablasComentarios &t)
{
    ComentariosRegistro c;
    c.dannoEdificio = Buscar(t.dannoEdificio, r.texto(Pos::CodigoDannoEdificio));
    c.estadoGlobal = Buscar(t.estadoGlobal, r.texto(Pos::CodigoEstadoGlobal));
    c.habitabilidad = Buscar(t.habitabilidad, r.texto(Pos::CodigoHabitabilidad));
    c.reparabilidad = Buscar(t.reparabilidad, r.texto(Pos::CodigoReparabilidad));
    const QString anno = CodigoRefAnnoDeRegistro(r);
    if (!anno.isEmpty()) {
        const auto it = t.refAnno.find(anno);
        if (it != t.refAnno.end())
            c.reparabilidad += QLatin1Char(' ') + it->second;
    }
    c.medidasSeguridad = Buscar(t.medidasSeguridad, r.texto(Pos::CodigoMedidasSeguridad));
    return c;
}
