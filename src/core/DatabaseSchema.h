#pragma once

#include "core/DbResult.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace tarvo {

// The eight tables of a Tarvo database.
const QStringList& requiredTables();

// Creates every table and index in an empty database, and the table of pending assignment-log blocks. Every
// text column ignores letter case in comparisons, LIKE, ORDER BY and DISTINCT.
DbOutcome createSchema(const QSqlDatabase& db);

// The tables of requiredTables() that the database lacks (names match in any letter case).
DbResult<QStringList> missingTables(const QSqlDatabase& db);

// How the text of a failure ends when the database it is about was left as it was.
inline const QString DatabaseUnchanged = QStringLiteral("The database was not changed.");

// Brings an older database up to date: adds City.StartIPRange, City.ToIPRange and IP_Info.Status,
// each on its own when missing, the indexes it lacks and the table of pending assignment-log blocks. Tables,
// columns and indexes are matched in any letter case. When IP records repeat an address, the unique index of
// addresses cannot be made: the upgrade fails naming them and changes nothing. Running it again changes
// nothing.
DbOutcome SchemaUpgrade(const QSqlDatabase& db);

// Whether SchemaUpgrade would find nothing to change.
DbResult<bool> schemaIsCurrent(const QSqlDatabase& db);

} // namespace tarvo
