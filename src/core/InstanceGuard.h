#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace tarvo {

// Tells whether this is the only running instance of the program.
class InstanceGuard
{
public:
    virtual ~InstanceGuard() = default;

    // Claims the program for this process; false when another running instance holds it. The claim
    // lasts as long as the guard. When no claim can be made at all (the lock cannot be written), the
    // answer is true: nothing shows that another instance runs.
    virtual bool tryAcquire() = 0;
};

// The guard of the real program: a lock file named after the program folder, so that two
// installations in different folders do not block each other. The lock belongs to a process: when a
// run ends without releasing it (a crash, a kill), the next start finds it stale and takes it over.
class LockFileInstanceGuard final : public InstanceGuard
{
public:
    explicit LockFileInstanceGuard(QString lockPath);
    ~LockFileInstanceGuard() override;

    bool tryAcquire() override;
    const QString& lockPath() const { return m_lockPath; }

    // The lock file of a program folder, in the user's runtime folder (or the temporary folder when
    // there is none).
    static QString defaultLockPath(const QString& programFolder);
    // The same, in a given folder.
    static QString lockPathIn(const QString& lockFolder, const QString& programFolder);

private:
    static QString lockFileName(const QString& programFolder, const QString& suffix);

    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tarvo
