#pragma once

#include "core/DbResult.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <utility>

namespace tarvo {

struct UnitOwner;

// The value bound for a text column: an empty text is stored and compared as an empty text, never as
// a null (a null would match no row).
inline QVariant boundText(const QString& value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

// The columns a write sets, with their values.
using Columns = QList<std::pair<QString, QVariant>>;

// Adds a row (rowId 0; *newRowId receives its rowid) or rewrites the columns of the row with that rowid.
DbOutcome writeRow(const QSqlDatabase& db, const QString& table, qint64 rowId, const Columns& columns,
                   qint64* newRowId = nullptr);

// The condition on the owner place of units (the state only when the place has one), its values
// appended to values.
QString ownerCondition(const UnitOwner& owner, QVariantList& values);

} // namespace tarvo
