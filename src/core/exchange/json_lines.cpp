#include "core/exchange/json_lines.h"

#include <QJsonDocument>
#include <algorithm>
#include <cmath>

namespace LineaJson {

void Rechazar(const QString &mensaje)
{
    throw Rechazo{{mensaje}, {}};
}

QJsonObject Objeto(const QByteArray &linea)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(linea, &error);
    if (error.error != QJsonParseError::NoError)
        Rechazar(QStringLiteral("La línea no es JSON válido (error en el carácter %1).").arg(error.offset + 1));
    if (!doc.isObject())
        Rechazar(QStringLiteral("La línea debe ser un objeto JSON."));
    return doc.object();
}

QString Lugar::deClave() const
{
    if (lista)
        return QStringLiteral(" en el elemento %1 de \"%2\"").arg(indice + 1).arg(QLatin1String(lista));
    if (objeto)
        return QStringLiteral(" en \"%1\"").arg(QLatin1String(objeto));
    return QString();
}

QString Lugar::deValor() const
{
    if (objeto && !lista)
        return QStringLiteral(" de \"%1\"").arg(QLatin1String(objeto));
    return deClave();
}

bool LeerEntero(const QJsonValue &v, int minimo, int maximo, int &valor)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= minimo && d <= maximo) || d != std::floor(d))
        return false;
    valor = static_cast<int>(d);
    return true;
}

int Entero(const QJsonValue &v, const char *clave, int minimo, int maximo, const Lugar &lugar)
{
    if (v.isUndefined())
        Rechazar(QStringLiteral("Falta la clave \"%1\"%2.").arg(QLatin1String(clave), lugar.deClave()));
    int valor = 0;
    if (!LeerEntero(v, minimo, maximo, valor))
        Rechazar(QStringLiteral("\"%1\"%2 debe ser un número entero entre %3 y %4.")
                     .arg(QLatin1String(clave), lugar.deValor())
                     .arg(minimo)
                     .arg(maximo));
    return valor;
}

int EnteroOpcional(const QJsonValue &v, const char *clave, int minimo, int maximo, int omision, const Lugar &lugar)
{
    return v.isUndefined() ? omision : Entero(v, clave, minimo, maximo, lugar);
}

QJsonArray Lista(const QJsonValue &v, const char *clave)
{
    if (v.isUndefined())
        return {};
    if (!v.isArray())
        Rechazar(QStringLiteral("\"%1\" debe ser una lista.").arg(QLatin1String(clave)));
    return v.toArray();
}

QJsonObject Subobjeto(const QJsonObject &raiz, const char *nombre)
{
    const QJsonValue v = raiz.value(QLatin1String(nombre));
    if (v.isUndefined())
        return {};
    if (!v.isObject())
        Rechazar(QStringLiteral("\"%1\" debe ser un objeto.").arg(QLatin1String(nombre)));
    return v.toObject();
}

void SoloClaves(const QJsonObject &o, qsizetype presentes, std::initializer_list<QLatin1String> permitidas,
                const Lugar &lugar, const QList<QLatin1String> &otras)
{
    if (presentes == o.size())
        return;
    for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
        const QString clave = it.key();
        if (std::none_of(permitidas.begin(), permitidas.end(), [&](QLatin1String p) { return clave == p; })
            && std::none_of(otras.begin(), otras.end(), [&](QLatin1String p) { return clave == p; }))
            Rechazar(QStringLiteral("Clave desconocida \"%1\"%2.").arg(clave, lugar.deClave()));
    }
}

}  // namespace LineaJson
