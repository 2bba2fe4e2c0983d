// Backup, restore, compaction, split and join killed midway (SIGKILL at random moments) never lose the
// live database, the copy or the pieces, and a join never takes a set that is not whole; a restore
// reaches the connections other processes keep open. The test runs itself as the helper that is killed:
//   test_maintenance_kill helper backup|restore|compact <live database> <copy> <other copy>
// (a backup as the backup window makes it, into the copy's folder, with the live database's folder as
// the program folder)
//   test_maintenance_kill helper split <file> [<program folder>]
//   test_maintenance_kill helper join <file> <piece size> [<program folder>]
// runs the operation over and over (a split or join once) and prints "ready" once it has started; a
// join prints "deleting" once it starts to delete its pieces;
//   test_maintenance_kill helper workstation <live database>
// keeps a connection open, prints its first user, and at a line on its input prints the first user and
// the number of IP records again and adds a record;
//   test_maintenance_kill helper hold <database> <milliseconds>
// holds the database's exclusive lock for that long, from when it prints "locked".

#include "MaintenanceTestKit.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseFiles.h"
#include "core/DatabaseService.h"
#include "core/PendingWrites.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"
#include "maintenance/BackupFiles.h"
#include "maintenance/PieceJobs.h"

#include <QProcess>
#include <QThread>

#include <cstdio>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

constexpr int Rounds = 12;
constexpr int Rows = 6000;

// The first user and the number of IP records, as a connection sees them.
QString shownBy(const QSqlDatabase& db)
{
    auto user = querySingleValue(db, u"SELECT UserID FROM UserID"_s);
    auto count = querySingleValue(db, u"SELECT count(*) FROM IP_Info"_s);
    return user && count ? user->toString() + u" "_s + count->toString() : user.error() + count.error();
}

DbOutcome addRecord(const QSqlDatabase& db, const QString& address)
{
    return execSql(db, u"INSERT INTO IP_Info (IP_Address, Name, Status) VALUES (?, 'added', 'x')"_s,
                   {address});
}

int workstation(const QString& live)
{
    const QString name = *openDatabaseFile(live);
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    std::printf("%s\n", qPrintable(shownBy(db)));
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 1;
    const QString shown = shownBy(db);
    const DbOutcome added = addRecord(db, u"10.250.0.2"_s);
    std::printf("%s %s\n", qPrintable(shown), added ? "added" : qPrintable(added.error()));
    return 0;
}

int hold(const QString& path, int ms)
{
    const QString name = *openDatabaseFile(path);
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!execSql(db, u"BEGIN EXCLUSIVE"_s))
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    QThread::msleep(ms);
    return execSql(db, u"COMMIT"_s) ? 0 : 1;
}

int helper(const QStringList& args)
{
    auto ready = [] {
        std::puts("ready");
        std::fflush(stdout);
    };
    auto fail = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return 1;
    };
    const QString operation = args.value(0);
    if (operation == u"workstation")
        return workstation(args.value(1));
    if (operation == u"hold")
        return hold(args.value(1), args.value(2).toInt());
    if (operation == u"split") {
        ready();
        FileSplitter splitter(args.value(1), PieceSize, true);
        splitter.recordWhileWriting(args.value(2));
        return runToEnd(splitter) ? 0 : fail(splitter.errorText());
    }
    if (operation == u"join") {
        ready();
        const QString batch = args.value(1) + u".bat"_s;
        FileJoiner joiner(args.value(1), true, args.value(2).toLongLong());
        joiner.recordWhileWriting(args.value(3));
        PieceJob::Step step = PieceJob::Step::More;
        for (bool told = false; step == PieceJob::Step::More;) {
            step = joiner.step();
            if (!told && !QFileInfo::exists(batch)) {
                told = true;
                std::puts("deleting");
                std::fflush(stdout);
            }
        }
        return step == PieceJob::Step::Done ? 0 : fail(joiner.errorText());
    }
    // The program folder is the live database's; a backup goes into the folder of the copy.
    SharedState state;
    state.program.ProgramFolder = folderOf(args.value(1));
    DatabaseService service(state.program);
    if (auto opened = service.switchTo(args.value(1)); !opened)
        return fail(opened.error());
    test::ScriptedMessenger messenger;
    test::FakeShell shell;
    test::FakeFileDialogs dialogs;
    test::FakeProgramExit exit;
    const AppContext context(state, service, {messenger, shell, dialogs, exit});
    const BackupFiles backup(context);
    ready();
    for (int round = 0;; ++round) {
        DbOutcome done = DbOutcome::failure(u"unknown operation"_s);
        if (operation == u"backup")
            done = backup.backupDatabase(folderOf(args.value(2)));
        else if (operation == u"restore")
            done = service.replaceWith(args.value(2 + round % 2));
        else if (operation == u"compact")
            done = service.compact();
        if (!done)
            return fail(done.error());
    }
}

// A Tarvo database with some weight and its first user named marker; an older one lacks a column and
// the unique index of addresses, which a restore brings back.
void makeDatabase(const test::TestProgram& p, const QString& path, const QString& marker, bool older = false)
{
    p.createDatabase(path);
    const QString name = *openDatabaseFile(path);
    {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        QVERIFY(execSql(db, u"UPDATE UserID SET UserID = ?"_s, {marker}));
        QVERIFY(test::addRecords(db, Rows));
        if (older) {
            QVERIFY(execSql(db, u"DROP INDEX IP_Info_IP_Address"_s));
            // A database from before the Status column has no index on it either.
            QVERIFY(execSql(db, u"DROP INDEX IP_Info_Status_Octet4"_s));
            QVERIFY(execSql(db, u"ALTER TABLE IP_Info DROP COLUMN Status"_s));
        }
    }
    closeDatabaseFile(name);
}

// The first user and the number of IP records of a sound database; empty when it is not sound.
QString contents(const QString& path)
{
    if (!verifyDatabaseFile(path))
        return {};
    const QString name = *openDatabaseFile(path);
    QString shown;
    {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        shown = querySingleValue(db, u"SELECT UserID FROM UserID"_s)->toString() + u" "_s +
                querySingleValue(db, u"SELECT count(*) FROM IP_Info"_s)->toString();
    }
    closeDatabaseFile(name);
    return shown;
}

// Starts the helper, kills it after a random wait once it has printed the line; false when it did not.
bool runAndKill(const QStringList& arguments, QRandomGenerator& random, int maxWaitMs,
                const QByteArray& line = "ready")
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), QStringList{u"helper"_s} + arguments);
    QByteArray said;
    while (!said.contains(line) && process.waitForReadyRead(10000))
        said += process.readAll();
    if (!said.contains(line))
        return false;
    QThread::usleep(random.bounded(maxWaitMs * 1000));
    process.kill(); // SIGKILL
    process.waitForFinished(5000);
    return true;
}

} // namespace

class KillTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void databaseOperationsKilledMidway_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("backup") << u"backup"_s;
        QTest::newRow("restore") << u"restore"_s;
        QTest::newRow("compaction") << u"compact"_s;
    }
    void databaseOperationsKilledMidway()
    {
        QFETCH(QString, operation);
        test::TestProgram p(test::TestProgram::Setup::IniOnly);
        QTemporaryDir copies;
        const QString live = p.databasePath();
        const QString copy = copies.filePath(BackupDatabaseFileName);
        const QString other = copies.filePath(u"other.mdb"_s);
        makeDatabase(p, live, u"alpha"_s);
        makeDatabase(p, copy, u"beta"_s);
        makeDatabase(p, other, u"gamma"_s, true);
        const QString rows = u" %1"_s.arg(Rows);
        QRandomGenerator random(42);
        for (int round = 0; round < Rounds; ++round) {
            QVERIFY(runAndKill({operation, live, copy, other}, random, 60));
            const QString now = contents(live);
            if (operation == u"restore")
                QVERIFY2(now == u"alpha"_s + rows || now == u"beta"_s + rows || now == u"gamma"_s + rows,
                         qPrintable(now));
            else
                QCOMPARE(now, u"alpha"_s + rows);
            // A backup copy is always whole: the earlier one or the new one.
            QVERIFY2(contents(copy) == u"beta"_s + rows || contents(copy) == u"alpha"_s + rows,
                     qPrintable(contents(copy)));
            // The next start removes what a killed backup left in its folder.
            finishEndedWrites(p.folder());
            QCOMPARE(test::filesIn(copies.path()).filter(u".tarvo-tmp-"_s), QStringList());
        }
        // What the killed helpers left beside the live file goes as stale (a journal SQLite left is its
        // own to handle).
        removeStaleTemporaries(p.folder());
        QCOMPARE(test::filesIn(p.folder()).filter(u".tarvo-tmp-"_s), QStringList());
    }

    // A restore copies into the live file in place: a connection opened before it, in this process and
    // in another, reads the restored rows at its next read and goes on writing; an older copy arrives
    // brought up to date; a damaged one, which opens but fails SQLite's check, changes nothing.
    void restoreReachesOpenConnections_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("current copy") << u"current"_s;
        QTest::newRow("older copy") << u"older"_s;
        QTest::newRow("damaged copy") << u"damaged"_s;
    }
    void restoreReachesOpenConnections()
    {
        QFETCH(QString, kind);
        test::TestProgram p;
        QTemporaryDir copies;
        const QString copy = copies.filePath(BackupDatabaseFileName);
        makeDatabase(p, copy, u"beta"_s, kind == u"older");
        if (kind == u"damaged") {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2 / 4096 * 4096));
            file.write(QByteArray(4096, '\x5a'));
        }
        const QString otherName = *openDatabaseFile(p.databasePath());
        // A handle each time, none kept: a handle still held when the connection is removed keeps it in use.
        const auto other = [&otherName] { return QSqlDatabase::database(otherName, false); };
        QCOMPARE(shownBy(other()), u"admin 0"_s);
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(),
                      {u"helper"_s, u"workstation"_s, p.databasePath()});
        QVERIFY(process.waitForReadyRead(10000));
        QCOMPARE(process.readLine().trimmed(), QByteArray("admin 0"));

        const DbOutcome restored = p.databaseService.replaceWith(copy);
        QCOMPARE(restored.ok(), kind != u"damaged");
        QVERIFY2(restored || restored.error().contains(u"\" is damaged ("_s), qPrintable(restored.error()));
        const QString first = restored ? u"beta"_s : u"admin"_s;
        const int rows = restored ? Rows : 0;
        QCOMPARE(shownBy(other()), u"%1 %2"_s.arg(first).arg(rows));
        QVERIFY(addRecord(other(), u"10.250.0.1"_s));
        process.write("go\n");
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.readAll().trimmed(), u"%1 %2 added"_s.arg(first).arg(rows + 1).toUtf8());
        QCOMPARE(shownBy(p.database.handle()), u"%1 %2"_s.arg(first).arg(rows + 2));
        // Brought up to date: a repeated address is refused by the unique index again.
        QVERIFY(!addRecord(p.database.handle(), u"10.250.0.1"_s));
        closeDatabaseFile(otherName);
        QCOMPARE(test::filesIn(p.folder()), (QStringList{IniFileName, DatabaseFileName}));
    }

    // The restore's check of the copy waits for another process's lock on it, as the copy does.
    void aRestoreWaitsForALockOnTheCopy()
    {
        test::TestProgram p(test::TestProgram::Setup::IniOnly);
        QTemporaryDir copies;
        const QString copy = copies.filePath(BackupDatabaseFileName);
        makeDatabase(p, p.databasePath(), u"alpha"_s);
        makeDatabase(p, copy, u"beta"_s);
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {u"helper"_s, u"hold"_s, copy, u"1500"_s});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        const DbOutcome restored = restoreDatabaseFile(copy, p.databasePath(), DefaultBusyTimeoutMs);
        QVERIFY2(restored, qPrintable(restored.error()));
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        QCOMPARE(contents(p.databasePath()), u"beta %1"_s.arg(Rows));
    }

    void joinKilledMidway()
    {
        QTemporaryDir dir;
        QTemporaryDir program;
        const QString path = dir.filePath(u"data.bin"_s);
        const QByteArray bytes = test::patternBytes(24 * PieceSize + 99);
        QRandomGenerator random(7);
        for (int round = 0; round < Rounds; ++round) {
            QVERIFY(test::writeBytes(path, bytes));
            FileSplitter splitter(path, PieceSize, true);
            QVERIFY(runToEnd(splitter));
            QVERIFY(test::writeBytes(path, "the file before the join"));
            QVERIFY(runAndKill({u"join"_s, path, QString::number(PieceSize), program.path()}, random, 70));
            // The next start removes the output's temporary that the kill left.
            finishEndedWrites(program.path());
            QVERIFY(!test::filesIn(dir.path()).constFirst().startsWith(u'.'));
            const QByteArray now = test::readBytes(path);
            if (now == bytes)
                continue; // joined; pieces may be gone
            QCOMPARE(now, QByteArray("the file before the join"));
            QCOMPARE(consecutivePieces(path).size(), 25);
            QByteArray pieces;
            for (int i = 1; i <= 25; ++i)
                pieces += test::readBytes(pieceName(path, i));
            QCOMPARE(pieces, bytes);
        }
    }

    // A split killed at any moment (also while it copies a database, or waits for its pieces to reach
    // the disk) over the whole set of an earlier split of the same file (another state of it) leaves what
    // a join refuses, the new set or (killed before it was deleted) the earlier one, never a mix, and
    // nothing that the next start does not remove.
    void splitKilledMidway_data()
    {
        QTest::addColumn<bool>("database");
        QTest::addColumn<int>("maxWaitMs");
        QTest::newRow("a file") << false << 60;
        QTest::newRow("a database") << true << 25;
    }
    void splitKilledMidway()
    {
        QFETCH(bool, database);
        QFETCH(int, maxWaitMs);
        test::TestProgram p(test::TestProgram::Setup::IniOnly);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"data.bin"_s);
        const QString older = dir.filePath(u"older"_s);
        const QString newer = dir.filePath(u"newer"_s);
        if (database) {
            makeDatabase(p, older, u"older"_s);
            makeDatabase(p, newer, u"newer"_s);
        } else {
            QVERIFY(test::writeBytes(older, test::patternBytes(24 * PieceSize + 99, 1)));
            QVERIFY(test::writeBytes(newer, test::patternBytes(24 * PieceSize + 99, 2)));
        }
        // What the file holds, as the split of its newer state must give it back.
        auto shown = [database](const QString& file) {
            return database ? contents(file).toUtf8() : test::readBytes(file);
        };
        QRandomGenerator random(11);
        int refused = 0;
        for (int round = 0; round < Rounds; ++round) {
            QVERIFY(copyFileReplacing(older, path));
            FileSplitter splitter(path, PieceSize, true);
            QVERIFY(runToEnd(splitter));
            QVERIFY(copyFileReplacing(newer, path));
            QVERIFY(runAndKill({u"split"_s, path, p.folder()}, random, maxWaitMs));
            finishEndedWrites(p.folder());
            QVERIFY(!test::filesIn(dir.path()).constFirst().startsWith(u'.'));
            // A batch file stands only beside every piece it names, each whole.
            const PieceSet set = findWholePieceSet(path);
            QVERIFY2(!QFileInfo::exists(path + u".bat"_s) || set.problem.isEmpty(), qPrintable(set.problem));
            FileJoiner joiner(path, true);
            if (!runToEnd(joiner)) {
                ++refused;
                QVERIFY2(joiner.error() == PieceError::Incomplete || joiner.error() == PieceError::Read,
                         qPrintable(joiner.errorText()));
                QVERIFY(joiner.errorText().contains(path));
            }
            const QByteArray now = shown(path);
            QVERIFY2(now == shown(newer) || now == shown(older), now.left(40).constData());
        }
        qInfo("%d of %d killed splits left a set that was refused", refused, Rounds);
    }

    // A join killed while it deletes its pieces leaves the joined file and pieces without a batch file:
    // a join refuses them and says why, and the next split of the file replaces them.
    void joinKilledWhileItDeletesThePieces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"data.bin"_s);
        constexpr qint64 Small = 4096;
        constexpr qint64 Count = 1500;
        const QByteArray bytes = test::patternBytes(Count * Small - 7);
        QRandomGenerator random(5);
        int midway = 0;
        for (int round = 0; round < Rounds / 2; ++round) {
            // The set as a split writes it, made here without waiting for the disk.
            for (qint64 number = 1; number <= Count; ++number)
                QVERIFY(test::writeBytes(pieceName(path, number), bytes.mid((number - 1) * Small, Small)));
            QVERIFY(test::writeBytes(path + u".bat"_s, joiningBatchFile(u"data.bin"_s, Count, true)));
            QVERIFY(test::writeBytes(path, "the file before the join"));
            QVERIFY(runAndKill({u"join"_s, path, QString::number(Small)}, random, 8, "deleting"));
            QCOMPARE(test::readBytes(path), bytes);
            QVERIFY(!QFileInfo::exists(path + u".bat"_s));
            const qint64 left = consecutivePieces(path).size();
            midway += left > 0 && left < Count;
            QVERIFY(!QFileInfo::exists(pieceName(path, left + 1)) &&
                    !QFileInfo::exists(pieceName(path, Count)));
            FileJoiner joiner(path, true, Small);
            QCOMPARE(runToEnd(joiner), false);
            QVERIFY2(joiner.errorText().contains(left > 0 ? u"have no batch file"_s : u"has no pieces"_s),
                     qPrintable(joiner.errorText()));
            QCOMPARE(test::readBytes(path), bytes);
            FileSplitter again(path, PieceSize, true);
            QVERIFY(runToEnd(again));
            QCOMPARE(test::filesIn(dir.path()),
                     (QStringList{u"data.bin"_s, u"data.bin.1"_s, u"data.bin.2"_s, u"data.bin.3"_s,
                                  u"data.bin.4"_s, u"data.bin.5"_s, u"data.bin.bat"_s}));
        }
        qInfo("%d of %d joins were killed amid the deletion", midway, Rounds / 2);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (QCoreApplication::arguments().value(1) == u"helper")
        return helper(QCoreApplication::arguments().mid(2));
    KillTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "KillTest.moc"
