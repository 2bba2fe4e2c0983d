#pragma once

#include <QString>

namespace tarvo {

// Doubles every single quote of a text that is to stand inside an SQL literal. Queries bind their
// values; this stays for the few texts that are shown or logged as SQL.
inline QString SQLQuote(const QString& text)
{
    QString quoted = text;
    return quoted.replace(QLatin1Char('\''), QLatin1String("''"));
}

} // namespace tarvo
