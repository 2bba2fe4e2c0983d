#include "CoreTestHelpers.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "core/SqlText.h"
#include "core/SqliteLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSemaphore>
#include <QSqlError>
#include <QTest>
#include <QThread>

#include <thread>
#include <type_traits>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

// The first value a query returns, or its error.
QString value(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
{
    auto found = querySingleValue(db, sql, values);
    return found ? found->toString() : found.error();
}

// How often each of the columns that the upgrade adds is there.
QString addedColumns(const QSqlDatabase& db)
{
    return value(
        db, u"SELECT (SELECT count(*) FROM pragma_table_info('City') WHERE name IN ('StartIPRange', "
            u"'ToIPRange')) || (SELECT count(*) FROM pragma_table_info('IP_Info') WHERE name = 'Status')"_s);
}

QString schemaText(const QSqlDatabase& db)
{
    QStringList parts;
    auto query = runSql(db, u"SELECT sql FROM sqlite_master ORDER BY name"_s);
    while (query && query->next())
        parts << query->value(0).toString();
    return parts.join(u'\n');
}

// Only a failure becomes a failed result: an outcome that may be a success does not convert to one.
static_assert(!std::is_convertible_v<DbOutcome, DbResult<bool>>);
static_assert(std::is_convertible_v<DbFailure, DbResult<bool>>);
static_assert(std::is_convertible_v<DbFailure, DbOutcome>);

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_counter = 0;
    QString freshPath() { return m_dir.filePath(u"db%1.mdb"_s.arg(++m_counter)); }

private Q_SLOTS:
    // SQLite's own interfaces reach Qt's connections through the one library both use; a connection
    // without SQLite under it is a failure, never a crash.
    void sqliteInterfacesShareTheDriversLibrary()
    {
        QCOMPARE(sqliteLinkProblem(), QString());
        test::TestProgram p;
        QVERIFY(sqliteHandle(p.database.handle()));
        QCOMPARE(sqliteHandle(QSqlDatabase()).error(), u"the database connection is not open"_s);
        p.databaseService.close();
        QVERIFY(!sqliteHandle(p.database.handle()));
    }

    void databaseErrorIsTwoSentences_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("text");
        QTest::newRow("both") << u"Unable to execute statement"_s << u"no such table: City"_s
                              << u"Unable to execute statement. No such table: City."_s;
        QTest::newRow("driver only") << u"Error opening database "_s << u""_s << u"Error opening database."_s;
        QTest::newRow("database only") << u""_s << u"database is locked"_s << u"Database is locked."_s;
        QTest::newRow("both equal") << u"disk I/O error"_s << u"Disk I/O error."_s << u"Disk I/O error."_s;
        QTest::newRow("neither") << u""_s << u" "_s << u"Unknown database error."_s;
    }
    void databaseErrorIsTwoSentences()
    {
        QFETCH(QString, driver);
        QFETCH(QString, database);
        QFETCH(QString, text);
        QCOMPARE(databaseErrorText(QSqlError(driver, database, QSqlError::StatementError)), text);
    }

    void deliveredDatabaseIgnoresLetterCaseAndNeverOverwrites()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        auto missing = missingTables(db);
        QVERIFY(missing && missing->isEmpty());
        // Text compares without regard to letter case; an empty Status reads back empty, not null; one
        // record per address; a quote in a text is doubled.
        QVERIFY(execSql(db, u"INSERT INTO IP_Info (IP_Address, IP_4, Name, Status) VALUES (?, ?, ?, ?)"_s,
                        {u"10.1.1.5"_s, 5, u"PCKLAM01"_s, u""_s}));
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Name = 'pcklam01' AND Name LIKE 'pck%'"_s),
                 u"1"_s);
        QCOMPARE(value(db, u"SELECT count(*) FROM UserID WHERE Name = 'ADMINISTRATOR'"_s), u"1"_s);
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Status = ''"_s), u"1"_s);
        QVERIFY(!execSql(db, u"INSERT INTO IP_Info (IP_Address, IP_4) VALUES (?, ?)"_s, {u"10.1.1.5"_s, 5}));
        QCOMPARE(value(db, u"SELECT '%1'"_s.arg(SQLQuote(u"O'Neil ''\"x\""_s))), u"O'Neil ''\"x\""_s);

        // An existing file, even an empty one that SQLite would take as a new database, stays as it is.
        const QString path = freshPath();
        test::writeFile(path, QByteArray());
        QVERIFY(!createDeliveredDatabase(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void schemaUpgradeAddsEachMissingColumnOnce_data()
    {
        using namespace test;
        QTest::addColumn<QStringList>("changes"); // to the delivered database
        QTest::newRow("old schema") << QStringList{DropStartIPRange, DropToIPRange, DropStatus};
        QTest::newRow("City with ToIPRange only") << QStringList{DropStartIPRange, DropStatus};
        QTest::newRow("City with StartIPRange only") << QStringList{DropToIPRange, DropStatus};
        QTest::newRow("table named city")
            << QStringList{DropStartIPRange, DropToIPRange, DropStatus, u"ALTER TABLE City RENAME TO c"_s,
                           u"ALTER TABLE c RENAME TO city"_s};
        QTest::newRow("up to date") << QStringList();
        QTest::newRow("without indexes")
            << QStringList{DropStatus, u"DROP INDEX IP_Info_IP_Address"_s, u"DROP INDEX City_Region"_s,
                           u"DROP INDEX IP_Info_Octet4"_s};
        QTest::newRow("without the pending log table") << QStringList{u"DROP TABLE AssignLogPending"_s};
        QTest::newRow("an address recorded twice")
            << QStringList{DropStatus, u"DROP INDEX IP_Info_IP_Address"_s,
                           u"INSERT INTO IP_Info (IP_Address) VALUES ('10.9.9.9'), ('10.9.9.9')"_s};
    }
    void schemaUpgradeAddsEachMissingColumnOnce()
    {
        QFETCH(QStringList, changes);
        const bool repeated = QString::fromLatin1(QTest::currentDataTag()).contains(u"twice"_s);
        // A name that means something in a URI, which must neither stop the open nor make another file.
        QTemporaryDir folder;
        const QString path = folder.filePath(u"odd #name? 100%.mdb"_s);
        test::makeChangedDatabase(path, changes);
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        const QSqlDatabase db = connection.handle();
        const QString before = schemaText(db);
        const DbOutcome upgraded = SchemaUpgrade(db);
        if (repeated) {
            // The unique index cannot be made: the upgrade names the address and changes nothing.
            QVERIFY(!upgraded);
            QVERIFY2(upgraded.error().contains(u"10.9.9.9"_s), qPrintable(upgraded.error()));
            QCOMPARE(schemaText(db), before);
            return;
        }
        QVERIFY2(upgraded, qPrintable(upgraded.error()));
        QCOMPARE(value(db, u"SELECT count(*) FROM sqlite_master WHERE type = 'index'"_s), u"21"_s);
        QCOMPARE(addedColumns(db), u"21"_s);
        // Existing rows stay; running it again changes nothing, nor does it change an up-to-date database.
        QCOMPARE(value(db, u"SELECT count(*) FROM City WHERE City_name = 'IT Division' AND "
                           u"(StartIPRange IS NULL OR ToIPRange IS NULL)"_s),
                 changes.contains(test::DropStartIPRange) || changes.contains(test::DropToIPRange) ? u"1"_s
                                                                                                   : u"0"_s);
        const QString after = schemaText(db);
        QVERIFY(SchemaUpgrade(db));
        QCOMPARE(schemaText(db), after);
        if (changes.isEmpty())
            QCOMPARE(after, before);
        // The Status column ignores letter case.
        QVERIFY(execSql(db, u"INSERT INTO IP_Info (IP_Address, Status) VALUES ('10.0.0.1', 'Permanent')"_s));
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Status = 'PERMANENT'"_s), u"1"_s);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"odd #name? 100%.mdb"_s});
    }

    void schemaUpgradeByAnotherWorkstationMeanwhileIsNoFailure()
    {
        // Two workstations start on an old shared database at once. The other one holds the write lock
        // with its upgrade not yet committed while this one looks at the columns, and commits while
        // this one waits for the lock.
        const QString path = freshPath();
        test::makeChangedDatabase(path, {test::DropStartIPRange, test::DropToIPRange, test::DropStatus});
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        QSemaphore holding;
        DbOutcome otherUpgrade = DbOutcome::failure(u"not run"_s);
        std::thread other([&path, &holding, &otherUpgrade] {
            DatabaseConnection workstation;
            otherUpgrade = workstation.open(path);
            WriteTransaction transaction(workstation.handle());
            if (otherUpgrade)
                otherUpgrade = transaction.begin();
            for (const char* sql : {"ALTER TABLE City ADD COLUMN StartIPRange SMALLINT",
                                    "ALTER TABLE City ADD COLUMN ToIPRange SMALLINT",
                                    "ALTER TABLE IP_Info ADD COLUMN Status VARCHAR(10)"}) {
                if (otherUpgrade)
                    otherUpgrade = execSql(workstation.handle(), QString::fromLatin1(sql));
            }
            holding.release();
            // Long enough for this workstation to look at the columns and wait for the lock.
            QThread::msleep(300);
            if (otherUpgrade)
                otherUpgrade = transaction.commit();
        });
        holding.acquire();
        const DbOutcome upgraded = SchemaUpgrade(connection.handle());
        other.join();
        QVERIFY2(otherUpgrade, qPrintable(otherUpgrade.error()));
        QVERIFY2(upgraded, qPrintable(upgraded.error()));
        QCOMPARE(addedColumns(connection.handle()), u"21"_s);
    }

    void openingRefusesWhatIsNotATarvoDatabase_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<none>": no file; "<no IP_Info>": SQLite, a table short
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << QByteArray("<none>") << u"does not exist"_s;
        QTest::newRow("text file") << QByteArray("hello, world\n") << u"not an SQLite database"_s;
        QTest::newRow("empty file") << QByteArray() << u"empty"_s;
        QByteArray jet(64, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QTest::newRow("old Jet file") << jet << u"Jet"_s;
        QTest::newRow("without a table") << QByteArray("<no IP_Info>") << u"IP_Info"_s;
        QTest::newRow("damaged SQLite file")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(200, 'x') << u"File is not a database"_s;
    }
    void openingRefusesWhatIsNotATarvoDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path = freshPath();
        if (content == "<no IP_Info>")
            test::makeChangedDatabase(path, {u"DROP TABLE IP_Info"_s});
        else if (content != "<none>")
            test::writeFile(path, content);

        // The database in use stays open.
        test::TestProgram program;
        const DbOutcome outcome = program.databaseService.switchTo(path).outcome();
        QVERIFY(!outcome);
        QVERIFY2(outcome.error().contains(path), qPrintable(outcome.error()));
        QVERIFY2(outcome.error().contains(reason), qPrintable(outcome.error()));
        QVERIFY2(outcome.error().endsWith(u'.') && !outcome.error().endsWith(u".."),
                 qPrintable(outcome.error()));
        QCOMPARE(program.database.path(), program.databasePath());
        QCOMPARE(value(program.database.handle(), u"SELECT count(*) FROM UserID"_s), u"1"_s);
        // Opening never creates a file.
        QCOMPARE(QFile::exists(path), content != "<none>");
    }

    // A look at the database in use from a second connection (a search's own, a restore's) never drops
    // the locks that the first holds: another process still waits for this one's write lock.
    void openingKeepsTheLocksOfTheDatabaseInUse()
    {
        test::TestProgram program;
        QVERIFY(execSql(program.database.handle(), u"BEGIN EXCLUSIVE"_s));
        QVERIFY(execSql(program.database.handle(), u"INSERT INTO Region (Region) VALUES ('Mine')"_s));
        bool locked = false;
        QVERIFY(!openDatabaseFile(program.databasePath(), 50, &locked));
        QVERIFY(locked);

        QProcess other;
        other.start(u"sqlite3"_s,
                    {program.databasePath(), u"INSERT INTO Region (Region) VALUES ('Theirs');"_s});
        QVERIFY(other.waitForFinished(10000));
        QVERIFY2(other.exitCode() != 0, "another process wrote while this one held the write lock");
        QVERIFY2(other.readAllStandardError().contains("locked"),
                 "the other process failed for another reason");
        QVERIFY(execSql(program.database.handle(), u"COMMIT"_s));
        QCOMPARE(value(program.database.handle(), u"SELECT group_concat(Region) FROM Region WHERE Region IN "
                                                  u"('Mine', 'Theirs')"_s),
                 u"Mine"_s);
    }

    void writeTransactionRollsBackUnlessCommitted()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        for (const bool commit : {false, true}) {
            {
                WriteTransaction transaction(db);
                QVERIFY(transaction.begin());
                QVERIFY(execSql(db, u"DELETE FROM UserID"_s));
                if (commit)
                    QVERIFY(transaction.commit());
            }
            QCOMPARE(value(db, u"SELECT count(*) FROM UserID"_s), commit ? u"0"_s : u"1"_s);
        }
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
