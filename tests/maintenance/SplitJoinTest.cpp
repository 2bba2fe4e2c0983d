// Splitting a file into pieces and joining them again, without the window.

#include "MaintenanceTestKit.h"

#include "core/SqliteLink.h"
#include "maintenance/PieceJobs.h"

#include <sqlite3.h>
#include <unistd.h>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::filesIn;
using test::readBytes;
using test::writeBytes;

class SplitJoinTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitThenJoinGivesTheSameBytes_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<bool>("deleteParts");
        QTest::addColumn<QList<qint64>>("pieces");
        QTest::newRow("exactly one piece") << PieceSize << true << QList<qint64>{PieceSize};
        QTest::newRow("one byte more") << PieceSize + 1 << false << QList<qint64>{PieceSize, 1};
        QTest::newRow("three and a half") << 3 * PieceSize + PieceSize / 2 << true
                                          << QList<qint64>{PieceSize, PieceSize, PieceSize, PieceSize / 2};
    }
    void splitThenJoinGivesTheSameBytes()
    {
        QFETCH(qint64, length);
        QFETCH(bool, deleteParts);
        QFETCH(QList<qint64>, pieces);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Tarvo db.mdb"_s);
        const QByteArray bytes = test::patternBytes(length);
        QVERIFY(writeBytes(path, bytes));
        // Pieces of an earlier split into more pieces; one after a gap is no concern of a join.
        for (int stale = pieces.size() + 1; stale <= 6; ++stale)
            QVERIFY(writeBytes(pieceName(path, stale), "old"));
        QVERIFY(writeBytes(pieceName(path, 8), "gap"));

        FileSplitter splitter(path, PieceSize, deleteParts);
        QVERIFY(runToEnd(splitter));
        QCOMPARE(consecutivePieces(path), pieces);
        QCOMPARE(readBytes(path + u".bat"_s),
                 joiningBatchFile(u"Tarvo db.mdb"_s, pieces.size(), deleteParts));
        QCOMPARE(splitter.progress().bytesDone, length);
        QCOMPARE(readBytes(path), bytes); // the file itself is only read

        QVERIFY(QFile::remove(path));
        FileJoiner joiner(path, deleteParts);
        QVERIFY(runToEnd(joiner));
        QCOMPARE(readBytes(path), bytes);
        QStringList left{u"Tarvo db.mdb"_s, u"Tarvo db.mdb.8"_s};
        if (!deleteParts) {
            left << u"Tarvo db.mdb.bat"_s;
            for (int i = 1; i <= pieces.size(); ++i)
                left << u"Tarvo db.mdb.%1"_s.arg(i);
        }
        left.sort();
        QCOMPARE(filesIn(dir.path()), left);
    }

    // A file that begins as an SQLite file but that SQLite refuses (not a database, or damaged), or
    // that holds more than the pages its database counts, is cut as it is, like any other file; as the
    // database in use it is refused, never read byte by byte.
    void aFileSQLiteCannotReadIsCutAsItIs_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("header then garbage") << u"garbage"_s;
        QTest::newRow("database with its first page overwritten") << u"first page"_s;
        QTest::newRow("database that counts more pages than it has") << u"page count"_s;
        QTest::newRow("database with 1 MB appended") << u"appended"_s;
        QTest::newRow("first 100 bytes of a database, then 1,400,000 others") << u"head"_s;
    }
    void aFileSQLiteCannotReadIsCutAsItIs()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"f.mdb"_s);
        const QByteArray header("SQLite format 3", 16);
        QByteArray bytes = header + test::patternBytes(300 * 1024);
        if (damage != u"garbage") {
            auto db = openNewDatabaseFile(path);
            QVERIFY2(db, qPrintable(db.error()));
            const int made = sqlite3_exec(*db,
                                          "CREATE TABLE t(b); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                          "SELECT i + 1 FROM n WHERE i < 300) INSERT INTO t SELECT "
                                          "randomblob(1000) FROM n",
                                          nullptr, nullptr, nullptr);
            sqlite3_close(*db);
            QCOMPARE(made, SQLITE_OK);
            bytes = readBytes(path);
            if (damage == u"first page")
                bytes.replace(header.size(), 4096 - header.size(), test::patternBytes(4096 - header.size()));
            else if (damage == u"page count")
                bytes.replace(28, 4, "\x7f\0\0\0"_ba); // the page count in the header
            else if (damage == u"appended")
                bytes += test::patternBytes(1024 * 1024);
            else
                bytes = bytes.left(100) + test::patternBytes(1400000);
        }
        QVERIFY(writeBytes(path, bytes));

        constexpr qint64 Piece = 128 * 1024;
        FileSplitter inUse(path, Piece, true);
        inUse.setDatabaseInUse(path);
        QVERIFY(!runToEnd(inUse));
        QCOMPARE(inUse.error(), PieceError::Read);
        QVERIFY2(inUse.errorText().startsWith(u"Cannot read \"%1\": "_s.arg(path)),
                 qPrintable(inUse.errorText()));
        QCOMPARE(filesIn(dir.path()), QStringList{u"f.mdb"_s});

        FileSplitter splitter(path, Piece, true);
        QVERIFY2(runToEnd(splitter), qPrintable(splitter.errorText()));
        QCOMPARE(splitter.progress().pieces, pieceCount(bytes.size(), Piece));
        QVERIFY(QFile::remove(path));
        FileJoiner joiner(path, true, Piece);
        QVERIFY2(runToEnd(joiner), qPrintable(joiner.errorText()));
        QCOMPARE(readBytes(path), bytes);
        QCOMPARE(filesIn(dir.path()), QStringList{u"f.mdb"_s});
    }

    // In WAL mode a database's latest pages lie in its log beside the file, whose length then differs
    // from theirs (here a shrink that no checkpoint has reached): it is copied through SQLite all the same.
    void aDatabaseInWalModeIsCopiedWithItsLog()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"w.db"_s);
        auto db = openNewDatabaseFile(path);
        QVERIFY2(db, qPrintable(db.error()));
        const char* made = "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; CREATE TABLE t(b); "
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                           "INSERT INTO t SELECT randomblob(1000) FROM n; PRAGMA wal_checkpoint(TRUNCATE); "
                           "DELETE FROM t WHERE rowid > 10; VACUUM";
        const int done = sqlite3_exec(*db, made, nullptr, nullptr, nullptr);
        FileSplitter splitter(path, PieceSize, true);
        const bool split = runToEnd(splitter);
        sqlite3_close(*db);
        QCOMPARE(done, SQLITE_OK);
        QVERIFY2(split, qPrintable(splitter.errorText()));
        QVERIFY(QFile::remove(path));
        FileJoiner joiner(path, true);
        QVERIFY2(runToEnd(joiner), qPrintable(joiner.errorText()));
        auto joined = openExistingDatabaseFile(path);
        QVERIFY2(joined, qPrintable(joined.error()));
        QByteArray rows;
        sqlite3_exec(
            *joined, "SELECT count(*) FROM t",
            [](void* to, int, char** values, char**) {
                *static_cast<QByteArray*>(to) = values[0];
                return 0;
            },
            &rows, nullptr);
        sqlite3_close(*joined);
        QCOMPARE(rows, QByteArray("10"));
    }

    void anEmptyFileIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"empty"_s);
        QVERIFY(writeBytes(path, {}));
        QVERIFY(writeBytes(path + u".bat"_s, "of an earlier split")); // a refusal keeps it
        FileSplitter splitter(path, PieceSize, true);
        QVERIFY(!runToEnd(splitter));
        QCOMPARE(splitter.error(), PieceError::Read);
        QCOMPARE(filesIn(dir.path()), (QStringList{u"empty"_s, u"empty.bat"_s}));
    }

    // A split that does not finish takes back its pieces: a join of the rest would look whole.
    void aStoppedSplitLeavesNoPieces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"f"_s);
        QVERIFY(writeBytes(path, test::patternBytes(3 * PieceSize)));
        FileSplitter splitter(path, PieceSize, true);
        QCOMPARE(splitter.step(), PieceJob::Step::More); // opens
        QCOMPARE(splitter.step(), PieceJob::Step::More); // piece 1
        QVERIFY(QFileInfo::exists(pieceName(path, 1)));
        splitter.cancel();
        QCOMPARE(splitter.error(), PieceError::Cancelled);
        QCOMPARE(filesIn(dir.path()), QStringList{u"f"_s});
    }

    void aFailedJoinKeepsTheFileAndThePieces_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<PieceError>("error");
        QTest::newRow("piece removed") << u"remove"_s << PieceError::Read;
        QTest::newRow("piece cut short") << u"shrink"_s << PieceError::Changed;
        QTest::newRow("stopped") << u"stop"_s << PieceError::Cancelled;
    }
    void aFailedJoinKeepsTheFileAndThePieces()
    {
        QFETCH(QString, failure);
        QFETCH(PieceError, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"f"_s);
        const QByteArray bytes = test::patternBytes(3 * PieceSize, 3);
        QVERIFY(writeBytes(path, bytes));
        FileSplitter splitter(path, PieceSize, true);
        QVERIFY(runToEnd(splitter));
        QVERIFY(writeBytes(path, "the file as it is now"));

        FileJoiner joiner(path, true);
        QCOMPARE(joiner.step(), PieceJob::Step::More); // opens
        QCOMPARE(joiner.step(), PieceJob::Step::More); // piece 1
        if (failure == u"remove")
            QVERIFY(QFile::remove(pieceName(path, 2)));
        else if (failure == u"shrink")
            QVERIFY(writeBytes(pieceName(path, 2), "short"));
        else
            joiner.cancel();
        QVERIFY(!runToEnd(joiner));
        QCOMPARE(joiner.error(), error);
        QCOMPARE(readBytes(path), QByteArray("the file as it is now"));
        QCOMPARE(readBytes(pieceName(path, 1)), bytes.left(PieceSize));
        QCOMPARE(readBytes(pieceName(path, 3)), bytes.right(PieceSize));
        QVERIFY(QFileInfo::exists(path + u".bat"_s));
        QVERIFY(!joiner.temporaryPath().isEmpty() && !QFileInfo::exists(joiner.temporaryPath()));
    }

    // A join takes only the whole set of one split, and never writes over the database in use; a
    // refusal changes no file. %1 in the problem stands for the file.
    void onlyAWholeSetIsJoined_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<PieceError>("error");
        QTest::addColumn<QString>("problem");
        const QString left = u"The pieces of \"%1\" have no batch file \"%1.bat\""_s;
        const QString named = u"The batch file \"%1.bat\" does not name the "_s;
        QTest::newRow("no batch file") << u"no batch"_s << PieceError::Incomplete << left;
        QTest::newRow("no pieces") << u"no pieces"_s << PieceError::Read << u"\"%1\" has no pieces."_s;
        QTest::newRow("last piece missing")
            << u"no last"_s << PieceError::Incomplete << named + u"2 pieces"_s;
        QTest::newRow("a piece more") << u"one more"_s << PieceError::Incomplete << named + u"4 pieces"_s;
        QTest::newRow("batch file of another split")
            << u"other batch"_s << PieceError::Incomplete << named + u"3 pieces"_s;
        QTest::newRow("middle piece short")
            << u"short"_s << PieceError::Incomplete << u"The piece \"%1.2\" holds 5 bytes"_s;
        QTest::newRow("last piece empty")
            << u"empty last"_s << PieceError::Incomplete << u"The piece \"%1.3\" holds 0 bytes"_s;
        QTest::newRow("last piece too long")
            << u"long last"_s << PieceError::Incomplete << u"The piece \"%1.3\" holds 1392641 bytes"_s;
        const QString inUse = u"\"%1\" is the Tarvo database in use"_s;
        QTest::newRow("output is the database in use") << u"in use"_s << PieceError::InUse << inUse;
        QTest::newRow("output links to the database in use") << u"link"_s << PieceError::InUse << inUse;
        QTest::newRow("output is another name of the database in use")
            << u"hard link"_s << PieceError::InUse << inUse;
    }
    void onlyAWholeSetIsJoined()
    {
        QFETCH(QString, change);
        QFETCH(PieceError, error);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        QString path = dir.filePath(u"f"_s);
        QVERIFY(writeBytes(path, test::patternBytes(2 * PieceSize + 10)));
        FileSplitter splitter(path, PieceSize, true);
        QVERIFY(runToEnd(splitter));
        QString live = dir.filePath(u"other"_s);
        if (change == u"no batch")
            QVERIFY(QFile::remove(path + u".bat"_s));
        else if (change == u"no pieces")
            QVERIFY(QFile::remove(pieceName(path, 1)));
        else if (change == u"no last")
            QVERIFY(QFile::remove(pieceName(path, 3)));
        else if (change == u"one more")
            QVERIFY(writeBytes(pieceName(path, 4), "x"));
        else if (change == u"other batch")
            QVERIFY(writeBytes(path + u".bat"_s, joiningBatchFile(u"f"_s, 2, true)));
        else if (change == u"short")
            QVERIFY(writeBytes(pieceName(path, 2), "short"));
        else if (change == u"empty last")
            QVERIFY(writeBytes(pieceName(path, 3), {}));
        else if (change == u"long last")
            QVERIFY(writeBytes(pieceName(path, 3), QByteArray(PieceSize + 1, 'l')));
        else if (change == u"in use")
            live = path;
        else if (change == u"link")
            QVERIFY(QFile::link(path, live));
        else if (change == u"hard link")
            QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(live).constData()), 0);
        const QStringList files = filesIn(dir.path());
        const QByteArray before = readBytes(path);
        FileJoiner joiner(path, true);
        joiner.setDatabaseInUse(live);
        QVERIFY(!runToEnd(joiner));
        QCOMPARE(joiner.error(), error);
        QVERIFY2(joiner.errorText().startsWith(problem.arg(path)), qPrintable(joiner.errorText()));
        QCOMPARE(filesIn(dir.path()), files);
        QCOMPARE(readBytes(path), before);
    }

    // The batch file of a split can be a link to the database in use; the split refuses before it
    // deletes or writes anything.
    void aSplitNeverWritesOverTheDatabaseInUse()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"f"_s);
        const QString live = dir.filePath(u"Tarvodb.mdb"_s);
        QVERIFY(writeBytes(path, test::patternBytes(PieceSize + 1)));
        QVERIFY(writeBytes(live, "live"));
        QVERIFY(writeBytes(pieceName(path, 1), "old piece"));
        QVERIFY(QFile::link(live, path + u".bat"_s));
        FileSplitter splitter(path, PieceSize, true);
        splitter.setDatabaseInUse(live);
        QVERIFY(!runToEnd(splitter));
        QCOMPARE(splitter.error(), PieceError::InUse);
        QVERIFY(splitter.errorText().contains(path + u".bat"_s));
        QCOMPARE(readBytes(live), QByteArray("live"));
        QCOMPARE(readBytes(pieceName(path, 1)), QByteArray("old piece"));
        QVERIFY(QFileInfo(path + u".bat"_s).isSymLink());
    }
};

QTEST_MAIN(SplitJoinTest)
#include "SplitJoinTest.moc"
