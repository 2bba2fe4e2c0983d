#include "core/DatabaseFiles.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/ProgramFolder.h"
#include "core/Sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Flushes a written file to the disk, so that a rename cannot publish a file whose data is not there.
bool syncFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return ::fsync(file.handle()) == 0;
}

} // namespace

DbResult<bool> prepareDatabaseFile(const QString& path, const QString& userId)
{
    auto opened = openDatabaseFile(path);
    if (!opened)
        return opened.failure();
    const ScopedDatabaseFile file(*opened);
    if (auto upgraded = SchemaUpgrade(file.handle()); !upgraded)
        return DbOutcome::failure(QStringLiteral("Cannot bring the Tarvo database \"%1\" up to date: %2")
                                      .arg(path, upgraded.error()));
    if (userId.isEmpty())
        return true;
    auto count = querySingleValue(file.handle(),
                                  QStringLiteral("SELECT count(*) FROM UserID WHERE UserID = ?"), {userId});
    if (!count)
        return count.failure();
    return count->toInt() > 0;
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
    // SQLite writes the snapshot into an empty file; the temporary file gives it a unique name in the
    // target's folder (so that the final rename stays on one file system).
    QTemporaryFile temporary(joinPath(folder, QStringLiteral(".Tarvodb.XXXXXX.tmp")));
    if (!temporary.open())
        return copyFailure(target, temporary.errorString());
    temporary.close();
    const QString temporaryPath = temporary.fileName();

    if (auto vacuumed = execSql(file.handle(), QStringLiteral("VACUUM INTO ?"), {temporaryPath}); !vacuumed)
        return copyFailure(target, vacuumed.error());
    // The copy gets the access rights of the database it copies (other workstations may share it).
    QFile::setPermissions(temporaryPath, QFileInfo(source).permissions());
    if (!syncFile(temporaryPath))
        return copyFailure(target, QStringLiteral("the copy could not be written to the disk"));
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(target).constData()) != 0)
        return copyFailure(target, QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
    return DbOutcome::success();
}

bool isSameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace tarvo
