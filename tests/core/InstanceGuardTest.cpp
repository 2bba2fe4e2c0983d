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
using namespace Qt::StringLiterals;

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

private Q_SLOTS:
    void runningInstanceBlocksAndCrashedOneDoesNot()
    {
        // A first instance in another process holds the lock.
        QProcess first;
        first.start(QCoreApplication::applicationFilePath(),
                    {u"--hold-lock"_s, m_locks.path(), m_programA.path()});
        QVERIFY(first.waitForReadyRead(30000));
        QCOMPARE(first.readLine().trimmed(), QByteArray("locked"));
        // The same program folder, also written with a trailing separator, is blocked; another
        // installation is not.
        LockFileInstanceGuard second(
            LockFileInstanceGuard::lockPathIn(m_locks.path(), m_programA.path() + u'/'));
        QVERIFY(!second.tryAcquire());
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

    void lockThatCannotBeWrittenDoesNotClaimAnotherInstance()
    {
        // The lock folder is missing: nothing shows that the program runs elsewhere.
        LockFileInstanceGuard guard(
            LockFileInstanceGuard::lockPathIn(m_locks.filePath(u"missing/folder"_s), m_programA.path()));
        QVERIFY(guard.tryAcquire());
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
