#include "reports/document_texts.h"

#include "core/engine/fuzzy_scale.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

using namespace RegistroEvaluaciones;

namespace Documentos {

QString TextoAdvertencia()
{
    return QStringLiteral("Advertencia: los resultados de este programa son una clasificación preliminar basada en una "
                          "inspección visual. No reemplazan el estudio detallado de un ingeniero estructural, que es "
                          "necesario para decidir la rehabilitación definitiva de una edificación.");
}

QString AvisoReplicas()
{
    return QStringLiteral("Las réplicas pueden aumentar el daño. Después de una réplica fuerte, cuando el movimiento "
                          "haya terminado, salga de la edificación y solicite una nueva inspección antes de volver a "
                          "usarla.");
}

QString AvisoOficial()
{
    return QStringLiteral("Aviso oficial del Municipio de Quenbria. No lo retire ni lo altere.");
}

QString TextoNumero(const RegistroEvaluacion &r)
{
    if (r.pendiente)
        return QStringLiteral("pendiente");
    return QString::number(r.numero());
}

QString TextoFechaHora(const RegistroEvaluacion &r)
{
    const QString guardada = r.texto(Pos::Fecha).trimmed();
    const QDateTime fecha = QDateTime::fromString(guardada, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    if (!fecha.isValid())
        return guardada;
    return fecha.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString TextoEscrito(const QString &valor)
{
    // The boxes hold one line: a line break or tab pasted in prints as a blank.
    const QString t = valor.simplified();
    for (const QChar c : t)
        if (c != QLatin1Char('-') && !c.isSpace())
            return t;
    return QString();
}

QString TextoCodigoCatastral(const RegistroEvaluacion &r)
{
    QStringList partes;
    for (const int p : {Pos::Comuna, Pos::TipoAvaluo, Pos::Sector, Pos::Manzana, Pos::Predio, Pos::MejoraPH}) {
        QString parte = TextoEscrito(r.texto(p));
        // The comuna is stored as its two boxes joined by "-"; one box left
        // empty leaves a dash at an end.
        while (parte.startsWith(QLatin1Char('-')))
            parte.remove(0, 1);
        while (parte.endsWith(QLatin1Char('-')))
            parte.chop(1);
        if (!parte.trimmed().isEmpty())
            partes << parte.trimmed();
    }
    return partes.join(QLatin1Char('-'));
}

QString TextoCampo(const RegistroEvaluacion &r, int posicion)
{
    const QVariant &v = r.campo(posicion);
    if (v.isNull() || !v.isValid())
        return QString();
    switch (Campo(posicion).tipo) {
    case TipoCampo::Real: {
        bool ok = false;
        const double x = v.toDouble(&ok);
        if (!ok)
            return TextoEscrito(v.toString());
        if (Campo(posicion).grupo == GrupoCampo::Coordenadas)
            return QLocale().toString(x, 'f', 6);
        return IndiceImpreso(x);
    }
    case TipoCampo::Entero:
        return v.toString();
    case TipoCampo::Texto:
        return TextoEscrito(v.toString());
    }
    return v.toString();
}

}  // namespace Documentos
