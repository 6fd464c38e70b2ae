#include "core/engine/fuzzy_scale.h"

#include <QLocale>
#include <cmath>

namespace {
// Peaks of the five triangles of the fuzzy set.
constexpr double Pico[5] = {0.03, 0.17, 0.33, 0.55, 0.78};
// Centres of the levels for the nearest-level lookup.
constexpr double Centro[5] = {0.07, 0.17, 0.33, 0.55, 0.76};

// Level names are static texts: naming a level allocates nothing.
template <std::size_t N>
QString nombre(int nivel, const QString (&nombres)[N])
{
    if (nivel < 0 || nivel >= static_cast<int>(N))
        return QString();
    return nombres[nivel];
}

using CincoNombres = QString[5];  // a list shared by two scales

// The soil and the pre-existing conditions are named alike.
const CincoNombres &NombresCondiciones()
{
    static const QString nombres[] = {
        QStringLiteral("Muy Buenas"),
        QStringLiteral("Buenas"),
        QStringLiteral("Regulares"),
        QStringLiteral("Malas"),
        QStringLiteral("Muy Malas")};
    return nombres;
}

// The structural and the geotechnical risk are named alike.
const CincoNombres &NombresRiesgoMuyAlto()
{
    static const QString nombres[] = {
        QStringLiteral("Bajo"),
        QStringLiteral("Bajo"),
        QStringLiteral("Bajo, después de medidas"),
        QStringLiteral("Alto"),
        QStringLiteral("Muy Alto")};
    return nombres;
}
}  // namespace

double PendienteRecta(double x1, double y1, double x2, double y2)
{
    return (y2 - y1) / (x2 - x1);
}

double InterceptoRecta(double x1, double y1, double x2, double y2)
{
    return y1 - PendienteRecta(x1, y1, x2, y2) * x1;
}

double InterseccionX(double m1, double b1, double m2, double b2)
{
    // Parallel lines (both slopes zero of either sign included) meet nowhere.
    if (m1 == m2)
        return 0.0;
    return (b2 - b1) / (m1 - m2);
}

double InterseccionY(double m1, double b1, double m2, double b2)
{
    if (m1 == m2)
        return 0.0;
    return m1 * InterseccionX(m1, b1, m2, b2) + b1;
}

double ValorDifuso(const Membresias &P)
{
    double X[4], Y[4];
    for (int j = 0; j < 4; ++j) {
        // Falling side of level j and rising side of level j+1.
        const double m1 = PendienteRecta(Pico[j + 1], 0.0, Pico[j], P[j]);
        const double b1 = InterceptoRecta(Pico[j + 1], 0.0, Pico[j], P[j]);
        const double m2 = PendienteRecta(Pico[j], 0.0, Pico[j + 1], P[j + 1]);
        const double b2 = InterceptoRecta(Pico[j], 0.0, Pico[j + 1], P[j + 1]);
        X[j] = InterseccionX(m1, b1, m2, b2);
        Y[j] = InterseccionY(m1, b1, m2, b2);
    }

    double S = 0.0, T = 0.0;
    auto pieza = [&](double area, double centroide) {
        S += centroide * area;
        T += area;
    };
    pieza((P[0] - Y[0]) * 0.03, 0.015);
    pieza(Y[0] * 0.17, 0.085);
    pieza(Y[1] * 0.16, 0.25);
    pieza(Y[2] * 0.22, 0.44);
    pieza(Y[3] * 0.45, 0.775);
    pieza((P[4] - Y[3]) * 0.22, 0.89);
    for (int j = 0; j < 4; ++j) {
        pieza((P[j] - Y[j]) * (X[j] - Pico[j]) / 2.0, (X[j] - Pico[j]) * (1.0 / 3.0) + Pico[j]);
        pieza((P[j + 1] - Y[j]) * (Pico[j + 1] - X[j]) / 2.0, (Pico[j + 1] - X[j]) * (2.0 / 3.0) + X[j]);
    }
    return T != 0.0 ? S / T : S;
}

int16_t NivelMasCercanoDe(double x)
{
    int16_t mejor = 0;
    double distancia = std::fabs(Centro[0] - x);
    for (int16_t k = 1; k < 5; ++k) {
        const double d = std::fabs(Centro[k] - x);
        if (d < distancia) {
            distancia = d;
            mejor = k;
        }
    }
    return mejor;
}

void NivelMasCercano(EstadoEvaluacion &estado, double x)
{
    estado.NivelCalculado = NivelMasCercanoDe(x);
}

QString NombreNivelDanno(int n)
{
    static const QString nombres[] = {
        QStringLiteral("Muy Leve"),
        QStringLiteral("Leve"),
        QStringLiteral("Moderado"),
        QStringLiteral("Fuerte"),
        QStringLiteral("Severo")};
    return nombre(n, nombres);
}

QString NombreEstadoGlobal(int n)
{
    static const QString nombres[] = {
        QStringLiteral("Muy Bueno"),
        QStringLiteral("Bueno"),
        QStringLiteral("Delicado"),
        QStringLiteral("Grave"),
        QStringLiteral("Muy Grave")};
    return nombre(n, nombres);
}

QString NombreCondicionesPreexistentes(int n)
{
    return nombre(n, NombresCondiciones());
}

QString NombreCondicionesSuelo(int n)
{
    return nombre(n, NombresCondiciones());
}

QString NombreHabitabilidad(int n)
{
    static const QString nombres[] = {
        QStringLiteral("Habitable"),
        QStringLiteral("Uso Restringido"),
        QStringLiteral("No Habitable"),
        QStringLiteral("Peligro de Colapso")};
    return nombre(n, nombres);
}

QString NombreReparabilidad(int n)
{
    static const QString nombres[] = {
        QStringLiteral("Ninguna o Menor"),
        QStringLiteral("Reparación"),
        QStringLiteral("Refuerzo"),
        QStringLiteral("Posible Demolición")};
    return nombre(n, nombres);
}

QString NombreRiesgoEstructural(int n)
{
    return nombre(n, NombresRiesgoMuyAlto());
}

QString NombreRiesgoNoEstructural(int n)
{
    static const QString nombres[] = {
        QStringLiteral("Bajo"),
        QStringLiteral("Bajo"),
        QStringLiteral("Bajo, después de medidas"),
        QStringLiteral("Alto"),
        QStringLiteral("Alto")};
    return nombre(n, nombres);
}

QString NombreRiesgoGeotecnico(int n)
{
    return nombre(n, NombresRiesgoMuyAlto());
}

qint64 IndiceDiezmilesimas(double valor)
{
    // nearbyint rounds in the current mode: to nearest, halves to even.
    return static_cast<qint64>(std::nearbyint(valor * 10000.0));
}

double IndiceCuatroDecimales(double valor)
{
    return static_cast<double>(IndiceDiezmilesimas(valor)) / 10000.0;
}

QString IndiceImpreso(double valor)
{
    return IndiceImpreso(valor, QLocale().decimalPoint());
}

QString IndiceImpreso(double valor, const QString &separador)
{
    const qint64 n = IndiceDiezmilesimas(valor);
    const quint64 absoluto = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);

    // Built in place: one allocation for the whole text.
    QChar texto[64];
    int largo = 0;
    if (n < 0)
        texto[largo++] = QLatin1Char('-');
    char entero[24];
    int cifras = 0;
    quint64 parteEntera = absoluto / 10000;
    do {
        entero[cifras++] = static_cast<char>('0' + parteEntera % 10);
        parteEntera /= 10;
    } while (parteEntera != 0);
    while (cifras > 0)
        texto[largo++] = QLatin1Char(entero[--cifras]);

    int fraccion = static_cast<int>(absoluto % 10000);
    if (fraccion != 0) {
        int decimales = 4;
        while (fraccion % 10 == 0) {  // no trailing zeros
            fraccion /= 10;
            --decimales;
        }
        const QStringView punto = QStringView(separador).left(16);
        for (QChar c : punto)
            texto[largo++] = c;
        for (int k = decimales - 1; k >= 0; --k) {
            texto[largo + k] = QLatin1Char(static_cast<char>('0' + fraccion % 10));
            fraccion /= 10;
        }
        largo += decimales;
    }
    return QString(texto, largo);
}
