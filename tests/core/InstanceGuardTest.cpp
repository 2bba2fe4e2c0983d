#include "core/InstanceGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <iostream>
#include <string>

using namespace tarvo;

namespace {

// Helper mode of this executable: a running "first instance" that takes the lock of a program folder,
// says so on its output and waits until it is killed.
int holdLock(const char* lockFolder, const char* programFolder)
{
    LockFileInstanceGuard guard(LockFileInstanceGuard::lockPathIn(QString::fromLocal8Bit(lockFolder),
                                                                  QString::fromLocal8Bit(programFolder)));
    std::cout << (guard.tryAcquire() ? "locked" : "refused") << std::endl;
    std::string line;
    std::getline(std::cin, line); // until killed (or stdin closes)
    return 0;
}

} // namespace

class InstanceGuardTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_locks;
    QTemporaryDir m_programA;
    QTemporaryDir m_programB;

    QString lockOf(const QTemporaryDir& program) const
    {
        return LockFileInstanceGuard::lockPathIn(m_locks.path(), program.path());
    }

    // Starts a first instance in another process and waits until it holds the lock.
    void startFirstInstance(QProcess& process, const QTemporaryDir& program)
    {
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--hold-lock"), m_locks.path(), program.path()});
        QVERIFY(process.waitForStarted());
        QVERIFY(process.waitForReadyRead(30000));
        QCOMPARE(process.readLine().trimmed(), QByteArray("locked"));
    }

private Q_SLOTS:
    void runningInstanceBlocksAndCrashedOneDoesNot()
    {
        QProcess first;
        startFirstInstance(first, m_programA);

        LockFileInstanceGuard second(lockOf(m_programA));
        QVERIFY(!second.tryAcquire());
        // Another installation is not blocked.
        LockFileInstanceGuard elsewhere(lockOf(m_programB));
        QVERIFY(elsewhere.tryAcquire());

        // The first instance dies without releasing its lock: the lock file stays behind, stale.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(lockOf(m_programA)));
        LockFileInstanceGuard afterCrash(lockOf(m_programA));
        QVERIFY(afterCrash.tryAcquire());
        QVERIFY(afterCrash.tryAcquire()); // asking again keeps the claim
    }

    void claimEndsWithTheGuard()
    {
        {
            LockFileInstanceGuard first(lockOf(m_programB));
            QVERIFY(first.tryAcquire());
            LockFileInstanceGuard second(lockOf(m_programB));
            QVERIFY(!second.tryAcquire());
        }
        LockFileInstanceGuard next(lockOf(m_programB));
        QVERIFY(next.tryAcquire());
    }

    void lockThatCannotBeWrittenDoesNotClaimAnotherInstance()
    {
        // The lock folder is missing: nothing shows that the program runs elsewhere.
        LockFileInstanceGuard guard(LockFileInstanceGuard::lockPathIn(
            m_locks.filePath(QStringLiteral("missing/folder")), m_programA.path()));
        QVERIFY(guard.tryAcquire());
    }

    void lockFileNamesTheProgramFolder()
    {
        const QString a = lockOf(m_programA);
        QCOMPARE(LockFileInstanceGuard::lockPathIn(m_locks.path(), m_programA.path() + QLatin1Char('/')), a);
        QVERIFY(a != lockOf(m_programB));
        QVERIFY(a.startsWith(m_locks.path() + QLatin1Char('/')));
        QVERIFY(!LockFileInstanceGuard::defaultLockPath(m_programA.path()).isEmpty());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--hold-lock") == 0)
        return holdLock(argv[2], argv[3]);
    QCoreApplication app(argc, argv);
    InstanceGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "InstanceGuardTest.moc"
