#include "core/SqliteLink.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>

#include <sqlite3.h>

namespace tarvo {

namespace {

QString sqliteText(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// The handle a Qt SQL connection carries, without asking whether the library matches.
DbResult<sqlite3*> driverHandle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return DbOutcome::failure(QStringLiteral("the database connection is not open"));
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return DbOutcome::failure(QStringLiteral("the database driver gives no SQLite connection"));
    auto* connection = *static_cast<sqlite3* const*>(handle.constData());
    if (!connection)
        return DbOutcome::failure(QStringLiteral("the database connection is not open"));
    return connection;
}

// Compares the library behind a Qt SQLite connection with the one this program is linked with: first
// by version through SQL (safe whatever the library), then by identity: the file system layer
// ("VFS") a connection uses is a static object of the library that opened it.
QString compareLibraries(const QSqlDatabase& db)
{
    auto handle = driverHandle(db);
    if (!handle)
        return handle.error();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT sqlite_version(), sqlite_source_id()")) || !query.next())
        return QStringLiteral("the SQLite version of the database driver cannot be read");
    const QString driverVersion = query.value(0).toString();
    const QString ownVersion = QString::fromLatin1(sqlite3_libversion());
    if (driverVersion != ownVersion || query.value(1).toString() != QString::fromLatin1(sqlite3_sourceid()))
        return QStringLiteral("Qt's SQLite driver uses SQLite %1, this program SQLite %2")
            .arg(driverVersion, ownVersion);
    sqlite3_vfs* driverVfs = nullptr;
    if (sqlite3_file_control(*handle, "main", SQLITE_FCNTL_VFS_POINTER, &driverVfs) != SQLITE_OK ||
        driverVfs != sqlite3_vfs_find(driverVfs ? driverVfs->zName : nullptr))
        return QStringLiteral("Qt's SQLite driver and this program use two copies of the SQLite library");
    return {};
}

QString findLinkProblem()
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("tarvo-link-check-%1").arg(counter.fetchAndAddRelaxed(1));
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        problem = db.open() ? compareLibraries(db) : QStringLiteral("Qt's SQLite driver cannot be loaded");
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (problem.isEmpty())
        return {};
    return QStringLiteral(
               "Backup, restore, Move Database and the split of a database file cannot be used, "
               "and a search replaced by a newer one runs on to its end: %1. Install the SQLite "
               "library and the Qt SQLite driver of one release (libsqlite3-0, libqt6sql6-sqlite).")
        .arg(problem);
}

// The busy handler of copyDatabaseState's source: waits for a lock in short sleeps as long as the time-out
// allows and goOn agrees.
struct LockWait
{
    const std::function<bool()>& goOn;
    int timeoutMs;
    QElapsedTimer clock;
};

int waitForLock(void* data, int attempt)
{
    auto& wait = *static_cast<LockWait*>(data);
    if (attempt == 0)
        wait.clock.start();
    if (wait.clock.hasExpired(wait.timeoutMs) || !wait.goOn())
        return 0;
    QThread::msleep(static_cast<unsigned long>(std::min(attempt + 1, 10)));
    return 1;
}

// What the file of the database open on source holds besides the pages SQLite reads from it (pages, as
// the backup counts them), while a read transaction of source holds the file: empty when its length is
// exactly theirs. Under a rollback journal it always is once a transaction has ended (a commit or a
// roll-back truncates the file to its pages), and the read lock keeps any commit out meanwhile; a file
// that is longer holds bytes that a copy of the pages would lose, and one whose length is not a whole
// number of pages ends in a part of a page that such a copy would fill up. In WAL mode the file's length
// follows the checkpoints rather than the pages (a shrunk database keeps its length until a checkpoint),
// and nothing is found. A failure: the file's header or length cannot be read.
DbResult<QString> bytesBesidePages(sqlite3* source, int pages)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(source, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return DbOutcome::failure(QStringLiteral("the database file cannot be reached"));
    // SQLite's own descriptor of the file: nothing is opened or closed beside it.
    unsigned char header[20] = {};
    sqlite3_int64 length = 0;
    if (file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK ||
        file->pMethods->xFileSize(file, &length) != SQLITE_OK)
        return DbOutcome::failure(QStringLiteral("the database file cannot be read"));
    constexpr unsigned char WalVersion = 2; // the header's read and write versions in WAL mode
    if (header[18] == WalVersion)
        return QString();
    // The page size in the header, where 1 stands for 65536; SQLite has refused any other value.
    const int sizeField = header[16] << 8 | header[17];
    const sqlite3_int64 pageSize = sizeField == 1 ? 65536 : sizeField;
    if (length == pages * pageSize)
        return QString();
    return QStringLiteral("the file holds %1 bytes, its database %2 pages of %3 bytes")
        .arg(length)
        .arg(pages)
        .arg(pageSize);
}

} // namespace

QString sqliteLinkProblem()
{
    static const QString problem = findLinkProblem();
    return problem;
}

DbResult<sqlite3*> sqliteHandle(const QSqlDatabase& db)
{
    if (const QString problem = sqliteLinkProblem(); !problem.isEmpty())
        return DbOutcome::failure(problem);
    return driverHandle(db);
}

DbOutcome copyDatabasePages(sqlite3* source, sqlite3* destination, const std::function<bool()>& mayCommit)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup)
        return DbOutcome::failure(sqliteText(destination));
    // Busy waits happen inside the steps, through the connections' busy handlers. The destination's
    // write transaction lasts from the first step to the last.
    int stepped = SQLITE_OK;
    if (mayCommit) {
        // A step of no pages takes the locks and counts the pages; then the pages but the last.
        stepped = sqlite3_backup_step(backup, 0);
        while (stepped == SQLITE_OK && sqlite3_backup_remaining(backup) > 1)
            stepped = sqlite3_backup_step(backup, std::min(sqlite3_backup_remaining(backup) - 1, 4096));
        if (stepped == SQLITE_OK && !mayCommit()) {
            sqlite3_backup_finish(backup); // rolls the destination back
            return DbOutcome::failure(QStringLiteral("the copy was abandoned"));
        }
    }
    // The rest in one step: every page, for a copy without a condition.
    if (stepped == SQLITE_OK)
        stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE) {
        const int code = stepped == SQLITE_OK ? finished : stepped;
        return DbOutcome::failure(QString::fromUtf8(sqlite3_errstr(code)));
    }
    if (finished != SQLITE_OK)
        return DbOutcome::failure(sqliteText(destination));
    return DbOutcome::success();
}

DbOutcome copyDatabaseState(sqlite3* source, sqlite3* destination, int busyTimeoutMs,
                            const std::function<bool()>& goOn, bool* unreadable)
{
    // 1024 pages: 4 MB at the usual page size, a few milliseconds' work between two questions.
    constexpr int PagesPerStep = 1024;
    LockWait wait{goOn, busyTimeoutMs, {}};
    sqlite3_busy_handler(source, waitForLock, &wait);
    // The read of the schema's version takes the shared lock, which the open transaction keeps until its
    // end: no other connection commits meanwhile, so no step finds the source changed.
    DbOutcome copied = DbOutcome::success();
    int failedRead = SQLITE_OK; // the code of a read of the source that failed
    bool besidePages = false;   // whether the file holds bytes besides its database's pages
    if (const int begun = sqlite3_exec(source, "BEGIN; PRAGMA schema_version", nullptr, nullptr, nullptr);
        begun != SQLITE_OK) {
        failedRead = begun;
        copied = DbOutcome::failure(sqliteText(source));
    } else if (sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main"); !backup)
        copied = DbOutcome::failure(sqliteText(destination));
    else {
        // A step of no pages counts the pages; the file's length is compared with theirs under the read
        // transaction that lasts to the copy's end.
        int stepped = sqlite3_backup_step(backup, 0);
        DbResult<QString> beside = QString();
        if (stepped == SQLITE_OK)
            beside = bytesBesidePages(source, sqlite3_backup_pagecount(backup));
        besidePages = beside && !beside->isEmpty();
        while (stepped == SQLITE_OK && beside && !besidePages && goOn())
            stepped = sqlite3_backup_step(backup, PagesPerStep);
        const int finished = sqlite3_backup_finish(backup);
        if (!beside)
            copied = beside.failure();
        else if (besidePages)
            copied = DbOutcome::failure(*beside);
        else if (stepped == SQLITE_OK)
            copied = DbOutcome::failure(QStringLiteral("the copy was abandoned"));
        else if (stepped != SQLITE_DONE) {
            failedRead = stepped;
            copied = DbOutcome::failure(QString::fromUtf8(sqlite3_errstr(stepped)));
        } else if (finished != SQLITE_OK)
            copied = DbOutcome::failure(sqliteText(destination));
    }
    if (!sqlite3_get_autocommit(source))
        sqlite3_exec(source, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_handler(source, nullptr, nullptr);
    if (unreadable)
        *unreadable = besidePages || isUnreadableDatabaseCode(failedRead);
    return copied;
}

bool isUnreadableDatabaseCode(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

namespace {

DbResult<sqlite3*> openOnOwnLibrary(const QString& path, int flags)
{
    if (const QString problem = sqliteLinkProblem(); !problem.isEmpty())
        return DbOutcome::failure(problem);
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (opened != SQLITE_OK) {
        const QString reason = db ? sqliteText(db) : QString::fromUtf8(sqlite3_errstr(opened));
        sqlite3_close(db);
        return DbOutcome::failure(reason);
    }
    return db;
}

} // namespace

DbResult<sqlite3*> openNewDatabaseFile(const QString& path)
{
    return openOnOwnLibrary(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

DbResult<sqlite3*> openExistingDatabaseFile(const QString& path)
{
    return openOnOwnLibrary(path, SQLITE_OPEN_READWRITE);
}

QString rollbackJournalPath(const QString& path)
{
    const QString suffix = QStringLiteral("-journal");
    sqlite3_vfs* vfs = sqliteLinkProblem().isEmpty() ? sqlite3_vfs_find(nullptr) : nullptr;
    if (vfs) {
        QByteArray full(vfs->mxPathname + 1, '\0');
        // A path that went through a symbolic link comes back with a code of its own beside SQLITE_OK.
        if ((vfs->xFullPathname(vfs, QFile::encodeName(path).constData(), static_cast<int>(full.size()),
                                full.data()) &
             0xff) == SQLITE_OK)
            return QFile::decodeName(full.constData()) + suffix;
    }
    const QFileInfo info(path);
    return (info.exists() ? info.canonicalFilePath() : info.absoluteFilePath()) + suffix;
}

QByteArray readFileHead(const QString& path, int size)
{
    if (!sqliteLinkProblem().isEmpty())
        return {};
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs)
        return {};
    // The name must stay valid until the file is closed.
    const QByteArray name = QFile::encodeName(path);
    auto* file = static_cast<sqlite3_file*>(sqlite3_malloc(vfs->szOsFile));
    if (!file)
        return {};
    file->pMethods = nullptr;
    QByteArray head;
    int flags = 0;
    if (vfs->xOpen(vfs, name.constData(), file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) ==
        SQLITE_OK) {
        sqlite3_int64 length = 0;
        if (file->pMethods->xFileSize(file, &length) == SQLITE_OK) {
            head.resize(static_cast<qsizetype>(std::min<sqlite3_int64>(length, size)));
            if (!head.isEmpty() &&
                file->pMethods->xRead(file, head.data(), static_cast<int>(head.size()), 0) != SQLITE_OK)
                head.clear();
        }
    }
    if (file->pMethods)
        file->pMethods->xClose(file);
    sqlite3_free(file);
    return head;
}

} // namespace tarvo
