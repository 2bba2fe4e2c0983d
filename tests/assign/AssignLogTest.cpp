// An assignment and its log block go together exactly once: saves killed at random moments, a log that
// cannot take a whole block, "Clear Log" during an append, and the blocks a killed save left pending,
// appended at the next start.

#include "LogBlocks.h"

#include "assign/AddressAssignment.h"
#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/FileLock.h"
#include "core/Sql.h"
#include "records/AssignLogFile.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <thread>

#include <sys/resource.h>

using namespace tarvo;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

IpRecord pc(int octet4)
{
    IpRecord record;
    record.IP_Address = QStringLiteral("10.20.34.%1").arg(octet4);
    record.Name = QStringLiteral("PCKLAMS%1").arg(octet4);
    record.Type = QStringLiteral("PC");
    return record;
}

// A delivered database and a program folder for its log.
struct LogRig
{
    LogRig()
    {
        QVERIFY(createDeliveredDatabase(path).ok());
        QVERIFY(connection.open(path).ok());
    }
    QString logPath() const { return dir.filePath(AssignLogFileName); }
    QString value(const QString& sql) const
    {
        auto found = querySingleValue(connection.handle(), sql);
        return found ? found->toString() : found.error();
    }
    // A block left pending, as by a save killed after its commit.
    void addPending(const PendingAssignLog& pending, const QString& block) const
    {
        const PendingAssignLog::Turn turn(pending);
        QVERIFY(turn.add(connection.handle(), block).ok());
    }
    DbResult<AssignmentSaved> save(int octet4) { return saveAssignment(store, pc(octet4), "admin", at, log); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tarvodb.mdb"));
    DatabaseConnection connection;
    IpRecordStore store{connection};
    PendingAssignLog log{connection, dir.path()};
    QDateTime at{QDate(2026, 12, 5), QTime(9, 5, 3)};
};

} // namespace

class AssignLogTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A workstation saving over and over is killed at a random moment, round after round; each new run
    // starts by appending what the killed one left pending, and so does the program at its next start.
    // Then every saved record has exactly one whole block and no block lacks its record.
    void killedSavesKeepRecordAndBlockTogether()
    {
        LogRig rig;
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        constexpr int Rounds = 80;
        for (int round = 0; round < Rounds; ++round) {
            QProcess workstation;
            workstation.start(QStringLiteral(WORKSTATION_PROGRAM),
                              {rig.path, QStringLiteral("170"), QStringLiteral("kill"), rig.dir.path(),
                               QStringLiteral("10.101.%1.").arg(round)});
            // Killed at any moment from the start of its first save on.
            QVERIFY(workstation.waitForReadyRead(20000));
            QTest::qWait(static_cast<int>(random.bounded(40)));
            workstation.kill();
            QVERIFY(workstation.waitForFinished(20000));
        }
        rig.connection.close();
        QVERIFY(rig.connection.open(rig.path).ok());
        QVERIFY(rig.log.appendPending().ok());

        qsizetype brokenAt = 0;
        QStringList logged = test::loggedAddresses(readFile(rig.logPath()), &brokenAt);
        QVERIFY2(brokenAt == -1, qPrintable(QStringLiteral("seed %1, at byte %2").arg(seed).arg(brokenAt)));
        auto rows = runSql(rig.connection.handle(), QStringLiteral("SELECT IP_Address FROM IP_Info"));
        QVERIFY(rows.ok());
        QStringList saved;
        while (rows->next())
            saved << rows->value(0).toString();
        QVERIFY(saved.size() > Rounds);
        logged.sort();
        saved.sort();
        QVERIFY2(logged == saved, qPrintable(QStringLiteral("seed %1: %2 blocks, %3 records")
                                                 .arg(seed)
                                                 .arg(logged.size())
                                                 .arg(saved.size())));
        QCOMPARE(rig.value(QStringLiteral("SELECT count(*) FROM AssignLogPending")), QStringLiteral("0"));
    }

    // The disk takes only a part of a block: the log keeps all it had and the part written (it never
    // becomes shorter), the record stays saved, and the next save completes the block before its own.
    void failedAppendNeverShortensTheLog()
    {
        LogRig rig;
        // The log is larger than the database, so that only the log meets the limit below.
        const QByteArray before = QByteArray("\r\n") + QByteArray(4 << 20, 'x');
        writeFile(rig.logPath(), before);
        const QByteArray first = AssignLogBlock(pc(7), rig.at).toUtf8();
        const QByteArray second = AssignLogBlock(pc(8), rig.at).toUtf8();

        rlimit limit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit unlimited = limit;
        limit.rlim_cur = static_cast<rlim_t>(before.size() + 10);
        const auto formerHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        auto saved = rig.save(7);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        std::signal(SIGXFSZ, formerHandler);
        QVERIFY(saved.ok() && saved->result.saved());
        QVERIFY(!saved->logError.isEmpty());
        QCOMPARE(readFile(rig.logPath()), before + first.left(10));

        saved = rig.save(8);
        QVERIFY(saved.ok() && saved->result.saved() && saved->logError.isEmpty());
        QCOMPARE(readFile(rig.logPath()), before + first + second);
    }

    // "Clear Log" waits while a workstation appends (holds the log's lock): the block is not cut in two,
    // and goes with the rest once the append is done.
    void clearWaitsForAnAppendUnderWay()
    {
        LogRig rig;
        const QByteArray block = AssignLogBlock(pc(7), rig.at).toUtf8();
        writeFile(rig.logPath(), "old\r\n");
        QFile appending(rig.logPath());
        QVERIFY(appending.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        auto lock = std::make_unique<ExclusiveFileLock>(appending);
        QVERIFY(lock->acquired());
        QVERIFY(appending.seek(appending.size()) && appending.write(block.left(20)) == 20);
        DbOutcome cleared = DbOutcome::failure(QStringLiteral("not run"));
        std::thread clearing([&] { cleared = ClearAssignLog(rig.dir.path()); });
        QTest::qWait(200);
        QVERIFY(appending.write(block.mid(20)) == block.size() - 20);
        QCOMPARE(readFile(rig.logPath()), "old\r\n" + block);
        lock.reset();
        clearing.join();
        QVERIFY(cleared.ok());
        QCOMPARE(readFile(rig.logPath()), QByteArray("\r\n"));
    }

    // The shared database names the workstation without giving the machine's identity away; a block
    // left pending under the identity itself, as stored before, is still finished by this workstation.
    void workstationNameKeepsTheMachineIdentityPrivate()
    {
        LogRig rig;
        const QByteArray id = QSysInfo::machineUniqueId();
        const QString identity = id.isEmpty() ? QSysInfo::machineHostName() : QString::fromLatin1(id);
        const QString formerBlock = AssignLogBlock(pc(1), rig.at);
        const QString block = AssignLogBlock(pc(2), rig.at);
        rig.addPending(PendingAssignLog(rig.connection, rig.dir.path(), identity), formerBlock);
        rig.addPending(rig.log, block);
        const QString stored =
            rig.value(QStringLiteral("SELECT Workstation FROM AssignLogPending ORDER BY Id DESC LIMIT 1"));
        QVERIFY(!stored.isEmpty() && !stored.contains(identity, Qt::CaseInsensitive));
        QVERIFY(rig.log.appendPending().ok());
        QCOMPARE(readFile(rig.logPath()), (formerBlock + block).toUtf8());
        QCOMPARE(rig.value(QStringLiteral("SELECT count(*) FROM AssignLogPending")), QStringLiteral("0"));
    }

    // A block that a killed save left pending, by what its row notes and what the log holds: the log
    // after the next start's append. Never written twice, never lost.
    void pendingBlockAfterAKill_data()
    {
        const QByteArray old("Date Assign : earlier\r\n");
        const QByteArray block = AssignLogBlock(pc(7), {QDate(2026, 12, 5), QTime(9, 5, 3)}).toUtf8();
        const qint64 end = old.size();
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<qint64>("offset"); // -1: not noted
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("not begun") << old << qint64(-1) << old + block;
        QTest::newRow("nothing written") << old << end << old + block;
        QTest::newRow("partly written") << old + block.left(30) << end << old + block;
        QTest::newRow("written") << old + block << end << old + block;
        QTest::newRow("written, another after it") << old + block + old << end << old + block + old;
        QTest::newRow("cleared since") << QByteArray("\r\n") << end << QByteArray("\r\n") + block;
        QTest::newRow("other bytes there") << old + "zz" << end << old + "zz" + block;
        QTest::newRow("no log") << QByteArray() << qint64(-1) << block;
    }
    void pendingBlockAfterAKill()
    {
        QFETCH(QByteArray, log);
        QFETCH(qint64, offset);
        LogRig rig;
        if (!log.isEmpty())
            writeFile(rig.logPath(), log);
        // With nothing pending the log is left as it is, a missing one missing.
        QVERIFY(rig.log.appendPending().ok());
        QCOMPARE(readFile(rig.logPath()), log.isEmpty() ? QByteArray("<missing>") : log);
        rig.addPending(rig.log, AssignLogBlock(pc(7), rig.at));
        QVERIFY(execSql(rig.connection.handle(), QStringLiteral("UPDATE AssignLogPending SET Offset = ?"),
                        {offset >= 0 ? QVariant(offset) : QVariant(QMetaType::fromType<qint64>())})
                    .ok());
        QVERIFY(rig.log.appendPending().ok());
        QTEST(readFile(rig.logPath()), "after");
        QCOMPARE(rig.value(QStringLiteral("SELECT count(*) FROM AssignLogPending")), QStringLiteral("0"));
        // The blocks of another folder, and of another workstation with a folder of the same path, are
        // left to them.
        const PendingAssignLog otherFolder(rig.connection, rig.dir.filePath(QStringLiteral("other")));
        const PendingAssignLog otherWorkstation(rig.connection, rig.dir.path(), QStringLiteral("other"));
        rig.addPending(otherFolder, QStringLiteral("x"));
        rig.addPending(otherWorkstation, QStringLiteral("y"));
        QVERIFY(rig.log.appendPending().ok());
        QTEST(readFile(rig.logPath()), "after");
    }
};

QTEST_GUILESS_MAIN(AssignLogTest)
#include "AssignLogTest.moc"
