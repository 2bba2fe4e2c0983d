#include "core/DatabaseFiles.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/ProgramFolder.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

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
    return copyDatabaseFile(source, target, {});
}

DbOutcome copyDatabaseFile(const QString& source, const QString& target,
                           const std::function<DbOutcome(const QString& staged)>& beforeReplacing)
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
    // SQLite writes the snapshot into an empty file beside the target (so that the final rename stays
    // on one file system). The copy gets the access rights of the database it copies (other
    // workstations may share it).
    ReplacingFile copy(target);
    if (!copy.open())
        return copyFailure(target, copy.errorString());
    copy.close();
    if (auto vacuumed = execSql(file.handle(), QStringLiteral("VACUUM INTO ?"), {copy.temporaryPath()});
        !vacuumed)
        return copyFailure(target, vacuumed.error());
    copy.setPermissions(QFileInfo(source).permissions());
    if (beforeReplacing) {
        if (auto ready = beforeReplacing(copy.temporaryPath()); !ready)
            return ready;
    }
    if (!copy.commit())
        return copyFailure(target, copy.errorString());
    return DbOutcome::success();
}

bool isSameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace tarvo
