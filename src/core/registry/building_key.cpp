#include "core/registry/building_key.h"

#include <QRegularExpression>
#include <QStringList>

using namespace RegistroEvaluaciones;

namespace ClaveEdificacion {

namespace {

// True when `texto` is only dashes (the form's placeholders) or blank.
bool SoloGuiones(const QString &texto)
{
    for (const QChar c : texto)
        if (c != QLatin1Char('-') && !c.isSpace())
            return false;
    return true;
}

QString SinAcentos(const QString &texto)
{
    const QString descompuesto = texto.normalized(QString::NormalizationForm_D);
    QString limpio;
    limpio.reserve(descompuesto.size());
    for (const QChar c : descompuesto)
        if (c.category() != QChar::Mark_NonSpacing)
            limpio += c;
    return limpio;
}

}  // namespace

QString Normalizar(const QString &texto)
{
    const QString recortado = texto.trimmed();
    if (SoloGuiones(recortado) || recortado.compare(QStringLiteral("Información pendiente"), Qt::CaseInsensitive) == 0)
        return QString();
    QString t = SinAcentos(recortado).toLower();
    // Number signs: "#", "n.º", "nº", "n°", "no." and "no" before a digit.
    static const QRegularExpression signos(QStringLiteral(
        "#|\\bn\\s*\\.?\\s*[º°o]\\s*\\.?(?=\\s*\\d)|\\bnum(ero)?\\.?(?=\\s*\\d)|\\bn\\.(?=\\s*\\d)"));
    t.replace(signos, QStringLiteral(" "));
    // Blanks are left out: "45 B" and "45B", "12 - 30" and "12-30" are
    // one street and one door.
    t.removeIf([](QChar c) { return c.isSpace(); });
    return SoloGuiones(t) ? QString() : t;
}

QString De(const RegistroEvaluacion &r)
{
    // The plot: the comuna is stored as its two boxes joined by a dash, and
    // counts only when neither box holds a placeholder.
    const QString comuna = r.texto(Pos::Comuna).trimmed();
    bool comunaEscrita = !comuna.isEmpty();
    for (const QString &parte : comuna.split(QLatin1Char('-')))
        comunaEscrita = comunaEscrita && !Normalizar(parte).isEmpty();
    QStringList predio{Normalizar(r.texto(Pos::TipoAvaluo)), comunaEscrita ? Normalizar(comuna) : QString(),
                       Normalizar(r.texto(Pos::Sector)), Normalizar(r.texto(Pos::Manzana)),
                       Normalizar(r.texto(Pos::Predio))};
    if (std::none_of(predio.cbegin(), predio.cend(), [](const QString &p) { return p.isEmpty(); }))
        return QStringLiteral("predio:") + predio.join(QLatin1Char('|'));

    const QString tipo = Normalizar(r.texto(Pos::TipoDireccion));
    const int posicionVia = tipo == QLatin1String("avenida") ? Pos::Avenida
                            : tipo == QLatin1String("otro")  ? Pos::OtraVia
                                                             : Pos::NumeroCalle;
    const QString via = Normalizar(r.texto(posicionVia));
    const QString numero = Normalizar(r.texto(Pos::NumeroCasa));
    if (tipo.isEmpty() || via.isEmpty() || numero.isEmpty())
        return QString();
    return QStringLiteral("direccion:") +
           QStringList{tipo, via, numero, Normalizar(r.texto(Pos::Barrio))}.join(QLatin1Char('|'));
}

}  // namespace ClaveEdificacion
