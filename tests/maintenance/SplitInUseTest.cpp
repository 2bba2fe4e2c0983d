// A split of a database that other processes save into while it runs reads one state of it: every
// split that finishes joins into a sound database, and no save fails meanwhile. The test runs itself as
// the saving process:
//   test_maintenance_splitinuse save <database> <first address number>
// prints "ready", then saves IP records (an insert, later the delete of an older one, each in a
// transaction of its own, with the program's busy time-out) until a line arrives on its input, and
// prints how many it saved, the longest a save took in milliseconds and the first failure, if any.

#include "MaintenanceTestKit.h"

#include "core/DatabaseConnection.h"
#include "core/Sql.h"
#include "maintenance/PieceJobs.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdio>

#include <poll.h>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

bool lineWaiting()
{
    pollfd input{0, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0;
}

int save(const QString& path, int first)
{
    const QString name = *openDatabaseFile(path);
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    std::puts("ready");
    std::fflush(stdout);
    // Deletes follow the inserts at a distance, so that the file keeps its size and changes within.
    constexpr int Kept = 40;
    auto address = [first](int n) { return u"10.200.%1.%2"_s.arg((first + n) / 250).arg((first + n) % 250); };
    qint64 longest = 0;
    int saved = 0;
    QString failure;
    for (int n = 0; !lineWaiting() && failure.isEmpty(); ++n) {
        QElapsedTimer clock;
        clock.start();
        DbOutcome done = execSql(db,
                                 u"INSERT INTO IP_Info (IP_Address, Name, Remarks) VALUES (?, 'saved', "
                                 "hex(randomblob(300)))"_s,
                                 {address(n)});
        if (done && n >= Kept)
            done = execSql(db, u"DELETE FROM IP_Info WHERE IP_Address = ?"_s, {address(n - Kept)});
        longest = std::max(longest, clock.elapsed());
        saved += done.ok();
        failure = done.error();
        // A pause as between two users' saves: two processes that save without one would keep each
        // other waiting for the lock far longer than any split.
        QThread::msleep(10);
    }
    std::printf("%d %lld %s\n", saved, static_cast<long long>(longest), qPrintable(failure));
    return 0;
}

} // namespace

class SplitInUseTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aSplitWhileOthersSaveJoinsIntoASoundDatabase_data()
    {
        QTest::addColumn<bool>("heldHere");
        QTest::newRow("the database this program holds open") << true;
        QTest::newRow("a database only other processes use") << false;
    }
    void aSplitWhileOthersSaveJoinsIntoASoundDatabase()
    {
        QFETCH(bool, heldHere);
        test::TestProgram p;
        const QString live = p.databasePath();
        QVERIFY(test::addRecords(p.database.handle(), 8000));
        if (!heldHere)
            p.databaseService.close();
        QTemporaryDir joined;
        const QString copy = joined.filePath(DatabaseFileName);

        QList<std::shared_ptr<QProcess>> savers;
        for (int first : {0, 20000}) {
            auto saver = std::make_shared<QProcess>();
            saver->start(QCoreApplication::applicationFilePath(), {u"save"_s, live, QString::number(first)});
            QVERIFY(saver->waitForReadyRead(10000));
            QCOMPARE(saver->readLine().trimmed(), QByteArray("ready"));
            savers << saver;
        }
        int finished = 0;
        QStringList refusals;
        for (int round = 0; round < 12; ++round) {
            FileSplitter splitter(live, PieceSize, false);
            if (heldHere)
                splitter.setDatabaseInUse(live);
            if (!runToEnd(splitter)) {
                refusals << splitter.errorText();
                continue;
            }
            ++finished;
            for (qint64 i = 1; i <= splitter.progress().pieces; ++i)
                QVERIFY(copyFileReplacing(pieceName(live, i), pieceName(copy, i)));
            QVERIFY(copyFileReplacing(live + u".bat"_s, copy + u".bat"_s));
            FileJoiner joiner(copy, true);
            QVERIFY2(runToEnd(joiner), qPrintable(joiner.errorText()));
            QCOMPARE(test::sqliteCheck(copy, u"integrity_check"_s), u"ok"_s);
        }
        for (const auto& saver : savers) {
            saver->write("stop\n");
            QVERIFY(saver->waitForFinished(20000));
            const QList<QByteArray> said = saver->readAll().trimmed().split(' ');
            QVERIFY2(said.value(0).toInt() > 0 && said.size() == 2, said.join(' ').constData());
            qInfo("%s saves, the longest %s ms", said.value(0).constData(), said.value(1).constData());
        }
        QVERIFY2(refusals.isEmpty(), qPrintable(refusals.join(u'\n')));
        QCOMPARE(finished, 12);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (QCoreApplication::arguments().value(1) == u"save")
        return save(QCoreApplication::arguments().value(2), QCoreApplication::arguments().value(3).toInt());
    SplitInUseTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "SplitInUseTest.moc"
