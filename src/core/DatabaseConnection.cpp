#include "core/DatabaseConnection.h"

#include "core/DatabaseSchema.h"
#include "core/Sql.h"
#include "core/SqliteLink.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace tarvo {

namespace {

QString newConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tarvo-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Why a file that SQLite does not take for a database is none, judged from its first bytes (read
// through SQLite, see readFileHead); sqliteError when they look like SQLite's or cannot be read.
QString headerProblem(const QString& path, const QString& sqliteError)
{
    const QByteArray head = readFileHead(path, 32);
    if (head.mid(4).startsWith("Standard Jet DB") || head.mid(4).startsWith("Standard ACE DB"))
        return QStringLiteral("it is a Microsoft Access (Jet) database; Tarvo needs an SQLite database. "
                              "Export the data or start from the delivered database");
    if (head.isEmpty() || head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return sqliteError;
    return QStringLiteral("it is not an SQLite database");
}

// SQLite's code for a file that is not a database.
bool isNotADatabase(const QSqlError& error)
{
    return error.nativeErrorCode() == QLatin1String("26");
}

DbFailure refuse(const QString& path, const QString& reason)
{
    return DbOutcome::failure(
        QStringLiteral("Cannot open the Tarvo database \"%1\": %2").arg(path, withFullStop(reason)));
}

// Opens an existing file under a new connection name. The first statement reads the file: it finds out
// whether the file is a database and whether another connection locks it.
DbResult<QString> openExisting(const QString& path, int busyTimeoutMs, bool* locked, bool readOnly)
{
    if (locked)
        *locked = false;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return refuse(path, QStringLiteral("the file does not exist"));
    if (!info.isFile())
        return refuse(path, QStringLiteral("it is not a file"));
    if (info.size() == 0)
        return refuse(path, QStringLiteral("the file is empty"));

    const QString name = newConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // mode=rw opens an existing file and never creates one; mode=ro never writes to it. A journal
        // beside the file (the file a symbolic link names, where SQLite keeps it) may be what a workstation
        // killed in the middle of a save left: the first read rolls it back, which needs write access. That
        // restores the file as it was before the save; a look that only reads writes nothing else.
        const QString journal = rollbackJournalPath(info.absoluteFilePath());
        const bool journalLeft = QFileInfo::exists(journal);
        const bool recoverable = readOnly && journalLeft;
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(readOnly && !recoverable ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open()) {
            const QString reason = databaseErrorText(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return refuse(path, reason);
        }
        // A rollback journal beside the file: the file may sit on a network share, where WAL cannot work.
        // A read-only look leaves the journal as it is.
        QString failure;
        if (QSqlQuery first(db); !first.exec(readOnly ? QStringLiteral("SELECT count(*) FROM sqlite_master")
                                                      : QStringLiteral("PRAGMA journal_mode=DELETE"))) {
            failure = databaseErrorText(first.lastError());
            if (isNotADatabase(first.lastError()))
                failure = headerProblem(path, failure);
            // The rollback of a journal ends with its removal, which needs the right to write its folder.
            else if (journalLeft && !isBusyError(first.lastError()) &&
                     !QFileInfo(QFileInfo(journal).absolutePath()).isWritable())
                failure = QStringLiteral("it was left by a save that did not finish, and its folder must be "
                                         "writable to recover it");
            if (locked)
                *locked = isBusyError(first.lastError());
        }
        if (failure.isEmpty()) {
            auto missing = missingTables(db);
            if (!missing)
                failure = missing.error();
            else if (!missing->isEmpty())
                failure = QStringLiteral("it lacks the table(s) %1").arg(missing->join(QLatin1String(", ")));
        }
        if (!failure.isEmpty()) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return refuse(path, failure);
        }
    }
    return name;
}

} // namespace

DbResult<QString> openDatabaseFile(const QString& path)
{
    return openDatabaseFile(path, DefaultBusyTimeoutMs, nullptr);
}

DbResult<QString> openDatabaseFile(const QString& path, int busyTimeoutMs, bool* locked)
{
    return openExisting(path, busyTimeoutMs, locked, false);
}

DbResult<QString> openDatabaseFileReadOnly(const QString& path)
{
    return openExisting(path, DefaultBusyTimeoutMs, nullptr, true);
}

void closeDatabaseFile(const QString& connectionName)
{
    if (connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

DatabaseConnection::DatabaseConnection() = default;

DatabaseConnection::~DatabaseConnection()
{
    close();
}

DbOutcome DatabaseConnection::open(const QString& path)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.outcome();
    adopt(*opened, path);
    return DbOutcome::success();
}

void DatabaseConnection::adopt(const QString& connectionName, const QString& path)
{
    close();
    m_connectionName = connectionName;
    m_path = path;
}

void DatabaseConnection::close()
{
    closeDatabaseFile(m_connectionName);
    m_connectionName.clear();
    m_path.clear();
}

bool DatabaseConnection::isOpen() const
{
    return !m_connectionName.isEmpty() && handle().isOpen();
}

QSqlDatabase DatabaseConnection::handle() const
{
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

DbOutcome DatabaseConnection::checkFile(const QString& path)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.outcome();
    closeDatabaseFile(*opened);
    return DbOutcome::success();
}

} // namespace tarvo
