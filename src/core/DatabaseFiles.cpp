#include "core/DatabaseFiles.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"
#include "core/SqliteLink.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <memory>
#include <optional>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace tarvo {

namespace {

// A connection made by openDatabaseFile, removed when the scope ends.
class ScopedDatabaseFile
{
public:
    explicit ScopedDatabaseFile(QString name) : m_name(std::move(name)) {}
    ~ScopedDatabaseFile() { closeDatabaseFile(m_name); }
    ScopedDatabaseFile(const ScopedDatabaseFile&) = delete;
    ScopedDatabaseFile& operator=(const ScopedDatabaseFile&) = delete;
    QSqlDatabase handle() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

DbOutcome copyFailure(const QString& target, const QString& reason)
{
    return DbOutcome::failure(
        QStringLiteral("Cannot copy the Tarvo database to \"%1\": %2").arg(target, reason));
}

// The page cache of a restore's connection to the live file, in KiB.
constexpr int RestoreCacheKiB = 64 * 1024;
// How much of a file that it reads through SQLite maps into memory (its upper limit): the pages are read
// without a system call each. Only files that nobody writes are mapped: a restore's source (a backup copy
// or a private snapshot) and a fresh copy being checked.
constexpr qint64 ReadMapBytes = 0x7fff0000;

// Hands what is written to a file to the disk while the writing goes on, so that the sync before its
// rename has little left to wait for: a thread of its own asks the system to start writing back every
// few milliseconds until this object goes. Only a hint; nothing depends on it. Only for a private
// temporary: closing a second descriptor of a file drops the process's SQLite locks on it, which must
// never happen to a file that other connections share.
class EarlyWriteback
{
public:
    explicit EarlyWriteback(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)),
          m_thread(QThread::create([this] {
              while (!m_done.loadAcquire()) {
                  ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
                  QThread::msleep(20);
              }
          }))
    {
        if (m_fd >= 0)
            m_thread->start();
    }
    ~EarlyWriteback()
    {
        m_done.storeRelease(1);
        m_thread->wait();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;

private:
    int m_fd;
    QAtomicInt m_done;
    std::unique_ptr<QThread> m_thread;
};

// Creates the file at path and lets copy fill it through a connection of this program's SQLite library.
// The file is a temporary that only this copy knows: it needs no journal and no syncs of its own.
DbOutcome writePrivateCopy(const QString& path, const std::function<DbOutcome(sqlite3*)>& copy)
{
    auto to = openNewDatabaseFile(path);
    if (!to)
        return to.outcome();
    DbOutcome written = DbOutcome::success();
    char* error = nullptr;
    if (sqlite3_exec(*to, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, &error) !=
        SQLITE_OK)
        written = DbOutcome::failure(QString::fromUtf8(error));
    sqlite3_free(error);
    if (written)
        written = copy(*to);
    if (sqlite3_close(*to) != SQLITE_OK && written)
        written = DbOutcome::failure(QStringLiteral("the copy could not be closed"));
    return written;
}

// Writes a snapshot of the database open on source into the empty file at path with the online backup,
// for a copy that is renamed into place after it is synced.
DbOutcome writeSnapshot(const QSqlDatabase& source, const QString& path)
{
    auto from = sqliteHandle(source);
    if (!from)
        return from.outcome();
    return writePrivateCopy(path, [&](sqlite3* to) {
        const EarlyWriteback writeback(path);
        return copyDatabasePages(*from, to);
    });
}

// What SQLite's full integrity check (every page and row, and every index against its table) finds wrong
// in the database file at path, on one line; an empty text when it is sound. A failure: the check could
// not run. The file is read through a memory map, so only a file that nobody writes is checked: a fresh
// copy that only its maker knows, or the backup copy that a restore copies from. Another connection's
// lock on the file is waited for as long as the restore's copy of it waits.
DbResult<QString> damageOf(const QString& path)
{
    auto opened = openExistingDatabaseFile(path);
    if (!opened)
        return opened.failure();
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(*opened, sqlite3_close);
    sqlite3_busy_timeout(db.get(), DefaultBusyTimeoutMs);
    // Only a hint: the check reads the same pages without the map, more slowly.
    sqlite3_exec(db.get(), QByteArray("PRAGMA mmap_size = " + QByteArray::number(ReadMapBytes)).constData(),
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        return DbOutcome::failure(QString::fromUtf8(sqlite3_errmsg(db.get())));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> check(statement, sqlite3_finalize);
    const int stepped = sqlite3_step(statement);
    if (stepped == SQLITE_ROW) {
        // The first problem is enough to refuse the file; SQLite heads it with the database's name.
        QStringList lines =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("***")); });
        const QString found = lines.join(QLatin1String("; "));
        return found == QLatin1String("ok") ? QString() : found;
    }
    // A page so damaged that the check itself stops.
    if (isUnreadableDatabaseCode(stepped))
        return QString::fromUtf8(sqlite3_errmsg(db.get()));
    return DbOutcome::failure(QString::fromUtf8(sqlite3_errmsg(db.get())));
}

// The refusal of a database that damageOf found damaged: the damage, then what was not done and what was
// kept instead.
DbOutcome damagedFailure(const QString& database, const QString& damage, const QString& kept)
{
    return DbOutcome::failure(
        QStringLiteral("The Tarvo database \"%1\" is damaged (%2): %3").arg(database, damage, kept));
}

// damageOf on a thread of its own, from construction on.
class ConcurrentCheck
{
public:
    explicit ConcurrentCheck(const QString& path)
        : m_thread(QThread::create([this, path] { m_damage.emplace(damageOf(path)); }))
    {
        m_thread->start();
    }
    ~ConcurrentCheck() { m_thread->wait(); }
    ConcurrentCheck(const ConcurrentCheck&) = delete;
    ConcurrentCheck& operator=(const ConcurrentCheck&) = delete;

    // Waits for the check.
    const DbResult<QString>& damage()
    {
        m_thread->wait();
        return *m_damage;
    }

private:
    std::optional<DbResult<QString>> m_damage;
    std::unique_ptr<QThread> m_thread;
};

} // namespace

DbOutcome verifyDatabaseFile(const QString& path)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.outcome();
    QString problem;
    {
        const QSqlDatabase db = QSqlDatabase::database(*opened, false);
        auto check = runSql(db, QStringLiteral("PRAGMA quick_check"));
        if (!check)
            problem = check.error();
        else if (!check->next() || check->value(0).toString() != QLatin1String("ok"))
            problem = QStringLiteral("it is damaged (%1)").arg(check->value(0).toString());
    }
    closeDatabaseFile(*opened);
    if (problem.isEmpty())
        return DbOutcome::success();
    return DbOutcome::failure(
        QStringLiteral("The Tarvo database \"%1\" cannot be used: %2.").arg(path, problem));
}

namespace {

// Whether userId has an account in the database; true for an empty user ID.
DbResult<bool> hasAccount(const QSqlDatabase& db, const QString& userId)
{
    if (userId.isEmpty())
        return true;
    auto count =
        querySingleValue(db, QStringLiteral("SELECT count(*) FROM UserID WHERE UserID = ?"), {userId});
    if (!count)
        return count.failure();
    return count->toInt() > 0;
}

} // namespace

DbResult<bool> inspectDatabaseFile(const QString& path, const QString& userId)
{
    auto opened = openDatabaseFileReadOnly(path);
    if (!opened)
        return opened.failure();
    const ScopedDatabaseFile file(*opened);
    return hasAccount(file.handle(), userId);
}

DbResult<bool> prepareDatabaseFile(const QString& path, const QString& userId,
                                   const std::function<void()>& upgradeStarts, int busyTimeoutMs)
{
    auto opened = openDatabaseFile(path, busyTimeoutMs, nullptr);
    if (!opened)
        return opened.failure();
    const ScopedDatabaseFile file(*opened);
    if (upgradeStarts) {
        auto current = schemaIsCurrent(file.handle());
        if (!current)
            return current.failure();
        if (!*current)
            upgradeStarts();
    }
    if (auto upgraded = SchemaUpgrade(file.handle()); !upgraded)
        return DbOutcome::failure(QStringLiteral("Cannot bring the Tarvo database \"%1\" up to date: %2")
                                      .arg(path, withFullStop(upgraded.error())));
    return hasAccount(file.handle(), userId);
}

DbOutcome copyDatabaseFile(const QString& source, const QString& target)
{
    if (isSameFile(source, target))
        return copyFailure(target, QStringLiteral("it is the database being copied"));
    auto opened = openDatabaseFile(source);
    if (!opened)
        return opened.outcome();
    const ScopedDatabaseFile file(*opened);

    const QString folder = folderOf(target);
    if (!QFileInfo(folder).isDir())
        return copyFailure(target, QStringLiteral("the folder does not exist"));
    // The snapshot is written into a temporary beside the target (so that the final rename stays on one
    // file system). The copy gets the access rights of the database it copies (other workstations may
    // share it).
    ReplacingFile copy(target);
    if (!copy.open())
        return copyFailure(target, copy.errorString());
    copy.close();
    if (auto written = writeSnapshot(file.handle(), copy.temporaryPath()); !written)
        return copyFailure(target, written.error());
    // A copy of a damaged database never takes the place of a sound earlier copy (the last good backup):
    // the copy is checked before the rename, and on failure it goes and the target stays as it was.
    auto damage = damageOf(copy.temporaryPath());
    if (!damage)
        return copyFailure(target, QStringLiteral("the copy could not be checked: %1").arg(damage.error()));
    if (!damage->isEmpty())
        return damagedFailure(source, *damage,
                              QStringLiteral("it was not copied to \"%1\"%2")
                                  .arg(target, QFileInfo::exists(target)
                                                   ? QStringLiteral(", and the earlier copy there was kept")
                                                   : QString()));
    copy.setPermissions(QFileInfo(source).permissions());
    if (!copy.commit())
        return copyFailure(target, copy.errorString());
    return DbOutcome::success();
}

DbOutcome snapshotDatabaseFile(const QString& source, const QString& target, int busyTimeoutMs,
                               const std::function<bool()>& goOn, bool* unreadable)
{
    if (unreadable)
        *unreadable = false;
    auto from = openExistingDatabaseFile(source);
    if (!from)
        return from.outcome();
    const DbOutcome written = writePrivateCopy(
        target, [&](sqlite3* to) { return copyDatabaseState(*from, to, busyTimeoutMs, goOn, unreadable); });
    sqlite3_close(*from);
    return written;
}

namespace {

DbOutcome restoreFailure(const QString& live, const QString& reason)
{
    return DbOutcome::failure(
        QStringLiteral("Cannot restore the Tarvo database \"%1\": %2").arg(live, reason));
}

// The copy of restoreDatabaseFile; mayCommit decides at the end whether it is kept.
DbOutcome copyIntoLive(const QString& source, const QString& live, int busyTimeoutMs,
                       const std::function<bool()>& mayCommit)
{
    // An older copy is brought up to date on a private snapshot beside the live file, which is then
    // copied in: the live database takes the upgraded contents in the same single transaction.
    ReplacingFile upgraded(live);
    auto opened = openDatabaseFile(source);
    if (!opened)
        return opened.outcome();
    std::optional<ScopedDatabaseFile> from(std::in_place, *opened);
    auto current = schemaIsCurrent(from->handle());
    if (!current)
        return current.outcome();
    if (!*current) {
        if (!upgraded.open())
            return restoreFailure(live, upgraded.errorString());
        upgraded.close();
        if (auto written = writeSnapshot(from->handle(), upgraded.temporaryPath()); !written)
            return restoreFailure(live, written.error());
        from.reset();
        if (auto prepared = prepareDatabaseFile(upgraded.temporaryPath()); !prepared)
            return prepared.outcome();
        auto reopened = openDatabaseFile(upgraded.temporaryPath());
        if (!reopened)
            return reopened.outcome();
        from.emplace(*reopened);
    }

    auto target = openDatabaseFile(live, busyTimeoutMs, nullptr);
    if (!target)
        return target.outcome();
    const ScopedDatabaseFile to(*target);
    if (auto mapped = execSql(from->handle(), QStringLiteral("PRAGMA mmap_size = %1").arg(ReadMapBytes));
        !mapped)
        return restoreFailure(live, mapped.error());
    auto sourceHandle = sqliteHandle(from->handle());
    if (!sourceHandle)
        return restoreFailure(live, sourceHandle.error());
    auto liveHandle = sqliteHandle(to.handle());
    if (!liveHandle)
        return restoreFailure(live, liveHandle.error());
    // A large page cache: few spills of pages to the file, each of which syncs the journal first. The
    // journal and the synchronous setting stay as they are, so a crash rolls back to the old contents.
    if (auto cache = execSql(to.handle(), QStringLiteral("PRAGMA cache_size = -%1").arg(RestoreCacheKiB));
        !cache)
        return restoreFailure(live, cache.error());
    if (auto copied = copyDatabasePages(*sourceHandle, *liveHandle, mayCommit); !copied)
        return restoreFailure(live, copied.error());
    return DbOutcome::success();
}

} // namespace

DbOutcome restoreDatabaseFile(const QString& source, const QString& live, int busyTimeoutMs)
{
    if (isSameFile(source, live))
        return restoreFailure(live, QStringLiteral("it cannot replace itself"));
    // SQLite's full check of the source, the one every backup copy passes, runs beside the copy (it is
    // mostly work for the processor, the copy mostly for the disk); the copy waits for it before it
    // commits. A damaged source is reported as such, whatever else went wrong with it; a check that could
    // not run is reported when it alone stopped the copy.
    ConcurrentCheck check(source);
    bool unchecked = false;
    const DbOutcome copied = copyIntoLive(source, live, busyTimeoutMs, [&check, &unchecked] {
        unchecked = !check.damage();
        return !unchecked && check.damage()->isEmpty();
    });
    const DbResult<QString>& damage = check.damage();
    if (damage && !damage->isEmpty())
        return damagedFailure(source, *damage,
                              QStringLiteral("it was not restored, and the database in use was kept"));
    if (unchecked)
        return restoreFailure(live, QStringLiteral("the copy could not be checked: %1").arg(damage.error()));
    return copied;
}

DbOutcome compactDatabaseFile(const QString& path, int busyTimeoutMs, bool* inUse)
{
    auto opened = openDatabaseFile(path, busyTimeoutMs, inUse);
    if (!opened)
        return opened.outcome();
    const ScopedDatabaseFile file(*opened);
    QSqlQuery vacuum(file.handle());
    if (vacuum.exec(QStringLiteral("VACUUM")))
        return DbOutcome::success();
    if (inUse)
        *inUse = isBusyError(vacuum.lastError());
    return DbOutcome::failure(vacuum.lastError().text().trimmed());
}

bool isSameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace tarvo
