// Splitting a file into pieces and joining them again, without the window.

#include "MaintenanceTestKit.h"

#include "maintenance/PieceJobs.h"

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

    void anEmptyFileIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"empty"_s);
        QVERIFY(writeBytes(path, {}));
        FileSplitter splitter(path, PieceSize, true);
        QVERIFY(!runToEnd(splitter));
        QCOMPARE(splitter.error(), PieceError::Read);
        QCOMPARE(filesIn(dir.path()), QStringList{u"empty"_s});
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
};

QTEST_MAIN(SplitJoinTest)
#include "SplitJoinTest.moc"
