#include "CoreTestHelpers.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "core/SqlText.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <thread>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

// A raw SQLite file with the given statements, made without the program's schema code.
void makeRawDatabase(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& sql : statements)
            QVERIFY2(execSql(db, sql), qPrintable(sql));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
}

// The old schema: every table, without the three columns that later versions added.
QStringList oldSchema(const QString& cityTable = u"City"_s, const QString& cityExtra = {})
{
    return {
        u"CREATE TABLE IP_Info (IP_Address TEXT, IP_4 SMALLINT, Name TEXT)"_s,
        u"CREATE TABLE Region (Region TEXT, AssignIP SMALLINT, Segment_ip BOOLEAN, Abbr_segment TEXT)"_s,
        u"CREATE TABLE State (State_name TEXT, Abbr_state TEXT, Region TEXT)"_s,
        u"CREATE TABLE %1 (City_name TEXT, Abbr_city TEXT, IP_octet2 SMALLINT, \"Offset\" SMALLINT, "
        u"Abbr_state TEXT, Region TEXT%2)"_s.arg(cityTable, cityExtra),
        u"CREATE TABLE Workgroup (Workgroup_name TEXT, Workgroup_code TEXT, Octet_3 SMALLINT)"_s,
        u"CREATE TABLE Equipment (Eqp_name TEXT, Eqp_code TEXT, Octet4_start SMALLINT, Octet4_end SMALLINT)"_s,
        u"CREATE TABLE UnitDivision (UnitDivision TEXT, RegionOwner TEXT, CityOwner TEXT)"_s,
        u"CREATE TABLE UserID (UserID TEXT, Name TEXT, Password TEXT, Email TEXT, [Group] TEXT, Tadbir TEXT)"_s,
        u"INSERT INTO %1 (City_name, Abbr_city, IP_octet2) VALUES ('Ipoh', 'IPH', 20)"_s.arg(cityTable),
    };
}

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

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_counter = 0;
    QString freshPath() { return m_dir.filePath(u"db%1.mdb"_s.arg(++m_counter)); }

private Q_SLOTS:
    void sqlQuoteDoublesSingleQuotes()
    {
        QCOMPARE(SQLQuote(u"O'Neil"_s), u"O''Neil"_s);
        QCOMPARE(SQLQuote(u"''"_s), u"''''"_s);
        QCOMPARE(SQLQuote(u"Kuala \"Lumpur\""_s), u"Kuala \"Lumpur\""_s);
    }

    void deliveredDatabaseHoldsTheStartingRowsAndNeverOverwrites()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        auto missing = missingTables(db);
        QVERIFY(missing && missing->isEmpty());
        const QStringList rows = {
            u"SELECT Name || Password || [Group] FROM UserID WHERE UserID = 'ADMIN'"_s,
            u"SELECT AssignIP || Segment_ip || Abbr_segment FROM Region WHERE Region = 'Headquarters'"_s,
            u"SELECT Abbr_city || IP_octet2 || Abbr_state || Region || StartIPRange || ToIPRange FROM City "
            u"WHERE City_name = 'IT Division'"_s,
            u"SELECT Eqp_code || Octet4_start || Octet4_end FROM Equipment WHERE Eqp_name = 'PC'"_s};
        QStringList found;
        for (const QString& sql : rows)
            found << value(db, sql);
        QCOMPARE(found, (QStringList{u"AdministratoradminSistem"_s, u"101HQ"_s, u"ITD100HQHeadquarters00"_s,
                                     u"PC71240"_s}));

        const QString path = freshPath();
        test::writeFile(path, "precious");
        QVERIFY(!createDeliveredDatabase(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));
    }

    void deliveredSchemaIgnoresLetterCaseAndKeepsOneRecordPerAddress()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        QVERIFY(execSql(db, u"INSERT INTO IP_Info (IP_Address, IP_4, Name, Status) VALUES (?, ?, ?, ?)"_s,
                        {u"10.1.1.5"_s, 5, u"PCKLAM01"_s, u""_s}));
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Name = ?"_s, {u"pcklam01"_s}), u"1"_s);
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Name LIKE ?"_s, {u"pck%"_s}), u"1"_s);
        QCOMPARE(value(db, u"SELECT count(*) FROM UserID WHERE Name = ?"_s, {u"ADMINISTRATOR"_s}), u"1"_s);
        // An empty Status reads back empty, not null.
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Status = ''"_s), u"1"_s);
        QVERIFY(!execSql(db, u"INSERT INTO IP_Info (IP_Address, IP_4) VALUES (?, ?)"_s, {u"10.1.1.5"_s, 5}));
    }

    void schemaUpgradeAddsEachMissingColumnOnce_data()
    {
        QTest::addColumn<QStringList>("schema"); // empty: the delivered database
        QTest::newRow("old schema") << oldSchema();
        QTest::newRow("City with ToIPRange only") << oldSchema(u"City"_s, u", ToIPRange SMALLINT"_s);
        QTest::newRow("table named city") << oldSchema(u"city"_s);
        QTest::newRow("delivered database") << QStringList();
    }
    void schemaUpgradeAddsEachMissingColumnOnce()
    {
        QFETCH(QStringList, schema);
        const QString path = freshPath();
        if (schema.isEmpty())
            QVERIFY(createDeliveredDatabase(path));
        else
            makeRawDatabase(path, schema);
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        const QSqlDatabase db = connection.handle();
        const QString before = schemaText(db);
        const DbOutcome upgraded = SchemaUpgrade(db);
        QVERIFY2(upgraded, qPrintable(upgraded.error()));
        QCOMPARE(addedColumns(db), u"21"_s);
        // Existing rows stay; running it again changes nothing, nor does it change an up-to-date database.
        QCOMPARE(value(db, u"SELECT count(*) FROM City WHERE City_name = 'Ipoh' AND StartIPRange IS NULL"_s),
                 schema.isEmpty() ? u"0"_s : u"1"_s);
        const QString after = schemaText(db);
        QVERIFY(SchemaUpgrade(db));
        QCOMPARE(schemaText(db), after);
        if (schema.isEmpty())
            QCOMPARE(after, before);
        // The Status column ignores letter case.
        QVERIFY(execSql(db, u"INSERT INTO IP_Info (IP_Address, Status) VALUES ('10.0.0.1', 'Permanent')"_s));
        QCOMPARE(value(db, u"SELECT count(*) FROM IP_Info WHERE Status = 'PERMANENT'"_s), u"1"_s);
    }

    void schemaUpgradeByAnotherWorkstationMeanwhileIsNoFailure()
    {
        // Two workstations start on an old shared database at once. The other one holds the write lock
        // with its upgrade not yet committed while this one looks at the columns, and commits while
        // this one waits for the lock.
        const QString path = freshPath();
        makeRawDatabase(path, oldSchema());
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        QSemaphore holding;
        DbOutcome otherUpgrade = DbOutcome::failure(u"not run"_s);
        std::thread other([&path, &holding, &otherUpgrade] {
            auto name = openDatabaseFile(path);
            if (name) {
                const QSqlDatabase db = QSqlDatabase::database(*name, false);
                WriteTransaction transaction(db);
                otherUpgrade = transaction.begin();
                for (const char* sql : {"ALTER TABLE City ADD COLUMN StartIPRange SMALLINT",
                                        "ALTER TABLE City ADD COLUMN ToIPRange SMALLINT",
                                        "ALTER TABLE IP_Info ADD COLUMN Status VARCHAR(10)"}) {
                    if (otherUpgrade)
                        otherUpgrade = execSql(db, QString::fromLatin1(sql));
                }
                holding.release();
                // Long enough for this workstation to look at the columns and wait for the lock.
                QThread::msleep(300);
                if (otherUpgrade)
                    otherUpgrade = transaction.commit();
            } else {
                otherUpgrade = name.outcome();
                holding.release();
            }
            closeDatabaseFile(name ? *name : QString());
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
        QTest::addColumn<QByteArray>("content"); // "<none>": no file; "<other tables>": SQLite, other tables
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << QByteArray("<none>") << u"does not exist"_s;
        QTest::newRow("text file") << QByteArray("hello, world\n") << u"not an SQLite database"_s;
        QTest::newRow("empty file") << QByteArray() << u"empty"_s;
        QByteArray jet(64, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QTest::newRow("old Jet file") << jet << u"Jet"_s;
        QTest::newRow("without the tables") << QByteArray("<other tables>") << u"IP_Info"_s;
    }
    void openingRefusesWhatIsNotATarvoDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path = freshPath();
        if (content == "<other tables>")
            makeRawDatabase(path, {u"CREATE TABLE Other (x TEXT)"_s});
        else if (content != "<none>")
            test::writeFile(path, content);

        // The database in use stays open.
        test::TestProgram program;
        const DbOutcome outcome = program.database.open(path);
        QVERIFY(!outcome);
        QVERIFY2(outcome.error().contains(path), qPrintable(outcome.error()));
        QVERIFY2(outcome.error().contains(reason), qPrintable(outcome.error()));
        QCOMPARE(program.database.path(), program.databasePath());
        QCOMPARE(value(program.database.handle(), u"SELECT count(*) FROM UserID"_s), u"1"_s);
        // Opening never creates a file.
        QCOMPARE(QFile::exists(path), content != "<none>");
    }

    void pathsWithUriCharactersOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"odd #name? 100%.mdb"_s);
        QVERIFY(createDeliveredDatabase(path));
        DatabaseConnection connection;
        const DbOutcome outcome = connection.open(path);
        QVERIFY2(outcome, qPrintable(outcome.error()));
        QCOMPARE(value(connection.handle(), u"SELECT count(*) FROM UserID"_s), u"1"_s);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
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
