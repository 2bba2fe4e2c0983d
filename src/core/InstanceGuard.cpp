#include "core/InstanceGuard.h"

#include "core/ProgramFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace tarvo {

LockFileInstanceGuard::LockFileInstanceGuard(QString lockPath) : m_lockPath(std::move(lockPath)) {}

LockFileInstanceGuard::~LockFileInstanceGuard() = default;

bool LockFileInstanceGuard::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock is stale only when its process is gone, never because it is old: a program may run for
    // weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // Only a lock held by a running instance says that the program is already open. A lock file that
    // cannot be made at all (a folder that is missing or not writable, a full disk) proves nothing, and
    // the program must not refuse to start for it.
    return m_lock->error() != QLockFile::LockFailedError;
}

QString LockFileInstanceGuard::defaultLockPath(const QString& programFolder)
{
    // The user's runtime folder when the session has one; otherwise the temporary folder, with the
    // user in the name so that two users of one installation do not share a lock.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return lockPathIn(runtime, programFolder);
    }
    return joinPath(QDir::tempPath(), lockFileName(programFolder, QStringLiteral("-%1").arg(::getuid())));
}

QString LockFileInstanceGuard::lockPathIn(const QString& lockFolder, const QString& programFolder)
{
    return joinPath(lockFolder, lockFileName(programFolder, {}));
}

QString LockFileInstanceGuard::lockFileName(const QString& programFolder, const QString& suffix)
{
    const QFileInfo info(programFolder);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray digest = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("tarvo-%1%2.lock").arg(QString::fromLatin1(digest.toHex().left(16)), suffix);
}

} // namespace tarvo
