#include "core/evaluation/storey_check.h"

bool LeerEntero(const QString &texto, int &valor)
{
    const QString t = texto.trimmed();
    if (t.isEmpty() || t.size() > 4)
        return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    valor = t.toInt();
    return true;
}

QString RevisarPisos(const QString &pisos, const QString &sotanos, const QString &total, const QString &mayorDanno)
{
    int np = 0, ns = 0, pt = 0, pmd = 0;
    const bool bienFormado = LeerEntero(pisos, np) && LeerEntero(sotanos, ns) && LeerEntero(total, pt)
                             && LeerEntero(mayorDanno, pmd) && np >= 1 && np <= 200 && ns >= 0 && ns <= 50
                             && pmd >= 1 && pt >= 1 && pt <= 250;
    if (!bienFormado)
        return QStringLiteral("Ingrese correctamente el número de pisos, sótanos, piso de mayor daño y número total de pisos");
    if (np + ns != pt)
        return QStringLiteral("El número total de pisos debe ser igual a la suma del número de sotanos y el número de "
                              "pisos sobre el terreno.");
    if (pt < pmd)
        return QStringLiteral("Corrija los valores de número total de pisos y piso de mayor daño, el valor del último siempre ")
               + QLatin1Char('\n')
               + QStringLiteral("debe ser menor o igual que el primero, los dos son números enteros, no deben usarse puntos ni comas.");
    return QString();
}
