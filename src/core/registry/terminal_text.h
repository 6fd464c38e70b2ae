#pragma once
// Stored text on a terminal. A text typed into the forms or imported may
// hold control characters; written as they are, an escape sequence could
// move the cursor, retitle the window or hide lines of the listing. No widgets.

#include <QString>

// `texto` on one line for a terminal: line breaks and tabs become blanks,
// any other control character (C0, DEL, C1) becomes U+FFFD, which a reader
// sees and no terminal obeys.
QString TextoParaTerminal(const QString &texto);
