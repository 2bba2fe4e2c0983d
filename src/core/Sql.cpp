#include "core/Sql.h"

#include <QSqlError>

namespace tarvo {

namespace {
// A text as a sentence: trimmed, starting with a capital and ending with a full stop.
QString asSentence(const QString& text)
{
    QString sentence = text.trimmed();
    if (sentence.isEmpty())
        return sentence;
    sentence[0] = sentence.at(0).toUpper();
    if (!sentence.endsWith(QLatin1Char('.')) && !sentence.endsWith(QLatin1Char('!')) &&
        !sentence.endsWith(QLatin1Char('?')))
        sentence += QLatin1Char('.');
    return sentence;
}
} // namespace

QString databaseErrorText(const QSqlError& error)
{
    const QString driver = asSentence(error.driverText());
    const QString database = asSentence(error.databaseText());
    if (driver.isEmpty() && database.isEmpty())
        return QStringLiteral("Unknown database error.");
    if (database.isEmpty() || driver.compare(database, Qt::CaseInsensitive) == 0)
        return driver;
    if (driver.isEmpty())
        return database;
    return driver + QLatin1Char(' ') + database;
}

bool isBusyError(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

DbResult<QSqlQuery> runSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    if (!db.isOpen())
        return DbOutcome::failure(QStringLiteral("No database is open."));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return DbOutcome::failure(databaseErrorText(query.lastError()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return DbOutcome::failure(databaseErrorText(query.lastError()));
    return query;
}

DbOutcome execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    return runSql(db, sql, values).outcome();
}

DbResult<QVariant> querySingleValue(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    auto query = runSql(db, sql, values);
    if (!query)
        return query.failure();
    if (!query->next())
        return QVariant();
    return query->value(0);
}

WriteTransaction::WriteTransaction(QSqlDatabase db) : m_db(std::move(db)) {}

WriteTransaction::~WriteTransaction()
{
    rollback();
}

DbOutcome WriteTransaction::begin()
{
    DbOutcome outcome = execSql(m_db, QStringLiteral("BEGIN IMMEDIATE"));
    m_open = outcome.ok();
    return outcome;
}

DbOutcome WriteTransaction::commit()
{
    if (!m_open)
        return DbOutcome::failure(QStringLiteral("No transaction is open."));
    DbOutcome outcome = execSql(m_db, QStringLiteral("COMMIT"));
    if (outcome)
        m_open = false;
    return outcome;
}

void WriteTransaction::rollback()
{
    if (m_open) {
        execSql(m_db, QStringLiteral("ROLLBACK"));
        m_open = false;
    }
}

} // namespace tarvo
