#pragma once

#include <QString>
#include <QVariant>

namespace tarvo {

// The value bound for a text column: an empty text is stored and compared as an empty text, never as
// a null (a null would match no row).
inline QVariant boundText(const QString& value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

} // namespace tarvo
