// This test program carries a copy of SQLite of its own, while Qt's SQLite driver uses the system's
// library: two copies in one process, which do not share their file locks. The program must notice,
// say what it cannot do then, refuse those operations with that text rather than hand one copy's
// connections to the other, and go on searching.

#include "TestProgram.h"

#include "core/DatabaseFiles.h"
#include "core/Sql.h"
#include "core/SqliteLink.h"
#include "maintenance/BackupFiles.h"
#include "maintenance/PieceJobs.h"
#include "records/SearchReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvo;
using namespace Qt::StringLiterals;

class TwoSqliteLibrariesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theProblemNamesEveryFeatureThatIsOff()
    {
        const QString problem = sqliteLinkProblem();
        QVERIFY2(problem.contains(u"two copies of the SQLite library"_s), qPrintable(problem));
        for (const QString& feature :
             {u"Backup"_s, u"restore"_s, u"Move Database"_s, u"split"_s, u"search"_s})
            QVERIFY2(problem.contains(feature), qPrintable(feature));
    }

    void copiesAreRefusedWithIt()
    {
        test::TestProgram p;
        QTemporaryDir folder;
        const QString copy = folder.filePath(BackupDatabaseFileName);
        QCOMPARE(p.databaseService.copyTo(copy).error().contains(sqliteLinkProblem()), true);
        QVERIFY(!QFile::exists(copy));

        p.createDatabase(copy);
        const QString name = *openDatabaseFile(copy);
        QVERIFY(execSql(QSqlDatabase::database(name, false), u"UPDATE UserID SET Name = 'Copy'"_s));
        closeDatabaseFile(name);
        QVERIFY(p.databaseService.replaceWith(copy).error().contains(sqliteLinkProblem()));
        QCOMPARE(querySingleValue(p.database.handle(), u"SELECT Name FROM UserID"_s)->toString(),
                 u"Administrator"_s);
    }

    // A split of an SQLite file is refused with it (the database in use and any other); other files split.
    void splitsOfDatabasesAreRefusedWithIt()
    {
        test::TestProgram p;
        const QString other = p.path(u"other.mdb"_s);
        const QString text = p.path(u"notes.txt"_s);
        p.createDatabase(other);
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("some notes") > 0);
        notes.close();
        for (const QString& path : {p.databasePath(), other, text}) {
            FileSplitter split(path, PieceSize, false);
            split.setDatabaseInUse(p.databasePath());
            const bool done = runToEnd(split);
            QCOMPARE(done, path == text);
            QCOMPARE(QFile::exists(path + u".1"_s), path == text);
            if (!done)
                QVERIFY2(split.errorText().contains(sqliteLinkProblem()), qPrintable(split.errorText()));
        }
    }

    // A search on the reader's own connection, and one that a newer search replaces, end with their rows.
    void searchesGoOn()
    {
        test::TestProgram p;
        QVERIFY(
            execSql(p.database.handle(),
                    u"INSERT INTO IP_Info (IP_Address, IP_4, Remarks) WITH RECURSIVE n(i) AS (SELECT 1 "
                    u"UNION ALL SELECT i + 1 FROM n WHERE i < 20000) SELECT '10.9.' || (i / 256) || '.' || "
                    u"(i % 256), i % 256, CASE WHEN i % 1000 = 0 THEN 'rare' ELSE 'common' END FROM n"_s));
        QObject receiver;
        SearchReader reader(&receiver);
        const RecordSearch rare = RecordSearch::of(RecordSearch::Kind::RemarksContains, u"rare"_s);
        const RecordSearch common = RecordSearch::of(RecordSearch::Kind::RemarksContains, u"common"_s);
        QList<qint64> found;
        bool ended = false;
        QString error;
        const quint64 replaced = reader.newTicket();
        reader.readPart(
            replaced, p.databasePath(), common, {}, 100000, [](const SearchReader::Rows&) {},
            [](const QString&) {});
        const quint64 ticket = reader.newTicket();
        reader.readPart(
            ticket, p.databasePath(), rare, {}, 100,
            [&](const SearchReader::Rows& rows) {
                if (rows.ticket == ticket) {
                    found += rows.rows.rowIds;
                    ended = rows.ended;
                }
            },
            [&](const QString& text) { error = text; });
        QTRY_VERIFY(ended || !error.isEmpty());
        QCOMPARE(error, QString());
        QCOMPARE(found.size(), 20);
    }
};

QTEST_MAIN(TwoSqliteLibrariesTest)
#include "TwoSqliteLibrariesTest.moc"
