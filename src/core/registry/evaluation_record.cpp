#include "core/registry/evaluation_record.h"

#include <QSysInfo>
#include <QtGlobal>

void RegistroEvaluacion::sellar()
{
    if (uuid.isNull())
        uuid = QUuid::createUuid();
    if (equipo.isEmpty())
        equipo = QSysInfo::machineHostName();
    if (usuario.isEmpty()) {
        usuario = qEnvironmentVariable("USER");
        if (usuario.isEmpty())
            usuario = qEnvironmentVariable("USERNAME");
    }
    if (!guardadoEn.isValid())
        guardadoEn = QDateTime::currentDateTimeUtc();
}

namespace {
bool EsMarca(const QString &s)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return true;
    for (const QChar c : t)
        if (c != QLatin1Char('-'))
            return false;
    return true;
}
}  // namespace

QString TextoDireccion(const RegistroEvaluacion &r)
{
    using namespace RegistroEvaluaciones;
    const QString tipo = r.texto(Pos::TipoDireccion);
    int caja = Pos::NumeroCalle;
    if (tipo == QLatin1String("Avenida"))
        caja = Pos::Avenida;
    else if (tipo == QLatin1String("Otro"))
        caja = Pos::OtraVia;
    QStringList partes;
    const QString calle = r.texto(caja);
    const QString numero = r.texto(Pos::NumeroCasa);
    if (EsMarca(calle) && EsMarca(numero))
        return QString();
    // "Otro" is no street kind of its own: its box names the street.
    if (!tipo.isEmpty() && caja != Pos::OtraVia)
        partes << tipo;
    if (!EsMarca(calle))
        partes << calle.trimmed();
    if (!EsMarca(numero))
        partes << numero.trimmed();
    return partes.join(QLatin1Char(' '));
}
