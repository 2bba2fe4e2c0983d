#pragma once

#include "core/DbResult.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

class QSqlError;

namespace tarvo {

// A database error as the user reads it: the driver's text and the database's text as two sentences,
// each ending with a period; only one of them when the other is empty or says the same.
QString databaseErrorText(const QSqlError& error);

// Whether an error is SQLite's "busy" or "locked": another connection holds the database.
bool isBusyError(const QSqlError& error);

// Prepares a statement, binds the values in order and runs it. The query comes back positioned before
// its first row. Every store runs its SQL through here, so that no value is ever joined into SQL text.
DbResult<QSqlQuery> runSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// Runs a statement that returns no rows.
DbOutcome execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// The first column of the first row, or an invalid value when there is no row.
DbResult<QVariant> querySingleValue(const QSqlDatabase& db, const QString& sql,
                                    const QVariantList& values = {});

// A write transaction taken at once (BEGIN IMMEDIATE), so that a check and the write that depends on it
// cannot interleave with another workstation's. Rolled back on destruction unless committed.
class WriteTransaction
{
public:
    explicit WriteTransaction(QSqlDatabase db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    DbOutcome begin();
    DbOutcome commit();
    void rollback();

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

} // namespace tarvo
