#include "core/registry/terminal_text.h"

QString TextoParaTerminal(const QString &texto)
{
    QString t = texto;
    for (QChar &c : t) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\t')
            c = QLatin1Char(' ');
        else if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            c = QChar(0xFFFD);
    }
    return t;
}
