#include "core/registry/csv_field.h"

#include <cstring>

namespace CampoTextoCsv {

namespace {

bool Digito(char c) { return c >= '0' && c <= '9'; }

// A number as a spreadsheet reads one: a sign, digits, one decimal point or
// comma, and an exponent.
bool EsNumero(const char *p, qsizetype n)
{
    qsizetype i = 0;
    if (i < n && (p[i] == '-' || p[i] == '+'))
        ++i;
    qsizetype digitos = 0;
    while (i < n && Digito(p[i]))
        ++i, ++digitos;
    if (i < n && (p[i] == '.' || p[i] == ',')) {
        ++i;
        while (i < n && Digito(p[i]))
            ++i, ++digitos;
    }
    if (digitos == 0)
        return false;
    if (i < n && (p[i] == 'e' || p[i] == 'E')) {
        ++i;
        if (i < n && (p[i] == '-' || p[i] == '+'))
            ++i;
        const qsizetype antes = i;
        while (i < n && Digito(p[i]))
            ++i;
        if (i == antes)
            return false;
    }
    return i == n;
}

bool SoloGuiones(const char *p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (p[i] != '-')
            return false;
    return true;
}

}  // namespace

bool PareceFormula(const char *p, qsizetype n)
{
    if (n == 0)
        return false;
    switch (p[0]) {
    case '=':
    case '@':
    case '\t':
    case '\r':
        return true;
    case '+':
    case '-':
        return !SoloGuiones(p, n) && !EsNumero(p, n);
    default:
        return false;
    }
}

void Agregar(QByteArray &linea, const char *p, qsizetype n)
{
    if (n == 0)
        return;
    const bool formula = PareceFormula(p, n);
    bool comillas = (!formula && (p[0] == ' ' || p[0] == '\t')) || p[n - 1] == ' ' || p[n - 1] == '\t';
    for (qsizetype i = 0; i < n && !comillas; ++i) {
        const char c = p[i];
        comillas = c == ',' || c == ';' || c == '"' || c == '\n' || c == '\r';
    }
    if (!comillas) {
        if (formula)
            linea.append('\'');
        linea.append(p, n);
        return;
    }
    linea.append('"');
    if (formula)
        linea.append('\'');
    for (const char *q = p, *fin = p + n; q < fin;) {
        const char *comilla = static_cast<const char *>(std::memchr(q, '"', static_cast<size_t>(fin - q)));
        const char *hasta = comilla ? comilla + 1 : fin;
        linea.append(q, hasta - q);
        if (comilla)
            linea.append('"');
        q = hasta;
    }
    linea.append('"');
}

}  // namespace CampoTextoCsv
