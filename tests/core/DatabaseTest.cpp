#include "TestProgram.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseSchema.h"
#include "core/DeliveredDatabase.h"
#include "core/Sql.h"
#include "core/SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <thread>

using namespace tarvo;

namespace {

// A raw SQLite file with the given statements, made without the program's schema code.
void makeRawDatabase(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("raw");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& sql : statements)
            QVERIFY2(execSql(db, sql), qPrintable(sql));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The old schema: every table, without the three columns that later versions added.
QStringList oldSchema(const QString& cityTable = QStringLiteral("City"), const QString& cityExtra = {})
{
    return {
        QStringLiteral("CREATE TABLE IP_Info (IP_Address TEXT, IP_4 SMALLINT, Name TEXT)"),
        QStringLiteral(
            "CREATE TABLE Region (Region TEXT, AssignIP SMALLINT, Segment_ip BOOLEAN, Abbr_segment TEXT)"),
        QStringLiteral("CREATE TABLE State (State_name TEXT, Abbr_state TEXT, Region TEXT)"),
        QStringLiteral(
            "CREATE TABLE %1 (City_name TEXT, Abbr_city TEXT, IP_octet2 SMALLINT, \"Offset\" SMALLINT, "
            "Abbr_state TEXT, Region TEXT%2)")
            .arg(cityTable, cityExtra),
        QStringLiteral("CREATE TABLE Workgroup (Workgroup_name TEXT, Workgroup_code TEXT, Octet_3 SMALLINT)"),
        QStringLiteral("CREATE TABLE Equipment (Eqp_name TEXT, Eqp_code TEXT, Octet4_start SMALLINT, "
                       "Octet4_end SMALLINT)"),
        QStringLiteral("CREATE TABLE UnitDivision (UnitDivision TEXT, RegionOwner TEXT, CityOwner TEXT)"),
        QStringLiteral("CREATE TABLE UserID (UserID TEXT, Name TEXT, Password TEXT, Email TEXT, [Group] "
                       "TEXT, Tadbir TEXT)"),
        QStringLiteral("INSERT INTO %1 (City_name, Abbr_city, IP_octet2) VALUES ('Ipoh', 'IPH', 20)")
            .arg(cityTable),
    };
}

QStringList columnsOf(const QSqlDatabase& db, const QString& table)
{
    QStringList columns;
    auto query = runSql(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    while (query && query->next())
        columns << query->value(0).toString();
    return columns;
}

QString schemaText(const QSqlDatabase& db)
{
    QStringList parts;
    auto query = runSql(db, QStringLiteral("SELECT sql FROM sqlite_master ORDER BY name"));
    while (query && query->next())
        parts << query->value(0).toString();
    return parts.join(QLatin1Char('\n'));
}

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_counter = 0;
    QString freshPath() { return m_dir.filePath(QStringLiteral("db%1.mdb").arg(++m_counter)); }

private Q_SLOTS:
    void sqlQuoteDoublesSingleQuotes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one apostrophe") << "O'Neil"
                                        << "O''Neil";
        QTest::newRow("two apostrophes") << "''"
                                         << "''''";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("nothing to quote") << "Kuala \"Lumpur\""
                                          << "Kuala \"Lumpur\"";
    }
    void sqlQuoteDoublesSingleQuotes()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SQLQuote(text), expected);
    }

    void deliveredDatabaseHoldsTablesAndStartingRows()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        auto missing = missingTables(db);
        QVERIFY(missing);
        QVERIFY2(missing->isEmpty(), qPrintable(missing->join(QLatin1Char(','))));

        auto admin = runSql(db, QStringLiteral("SELECT Name, Password, [Group] FROM UserID WHERE UserID = ?"),
                            {QStringLiteral("ADMIN")});
        QVERIFY(admin && admin->next());
        QCOMPARE(admin->value(0).toString(), QStringLiteral("Administrator"));
        QCOMPARE(admin->value(1).toString(), QStringLiteral("admin"));
        QCOMPARE(admin->value(2).toString(), QStringLiteral("Sistem"));

        auto area = runSql(
            db, QStringLiteral("SELECT AssignIP, Segment_ip, Abbr_segment FROM Region WHERE Region = ?"),
            {QStringLiteral("Headquarters")});
        QVERIFY(area && area->next());
        QCOMPARE(area->value(0).toInt(), 10);
        QCOMPARE(area->value(1).toBool(), true);
        QCOMPARE(area->value(2).toString(), QStringLiteral("HQ"));

        auto city = runSql(db,
                           QStringLiteral("SELECT Abbr_city, IP_octet2, Abbr_state, Region, StartIPRange, "
                                          "ToIPRange FROM City WHERE City_name = ?"),
                           {QStringLiteral("IT Division")});
        QVERIFY(city && city->next());
        QCOMPARE(city->value(0).toString(), QStringLiteral("ITD"));
        QCOMPARE(city->value(1).toInt(), 100);
        QCOMPARE(city->value(2).toString(), QStringLiteral("HQ"));
        QCOMPARE(city->value(3).toString(), QStringLiteral("Headquarters"));
        QCOMPARE(city->value(4).toInt(), 0);
        QCOMPARE(city->value(5).toInt(), 0);

        auto pc = runSql(
            db,
            QStringLiteral("SELECT Eqp_code, Octet4_start, Octet4_end FROM Equipment WHERE Eqp_name = 'PC'"));
        QVERIFY(pc && pc->next());
        QCOMPARE(pc->value(0).toString(), QStringLiteral("PC"));
        QCOMPARE(pc->value(1).toInt(), 71);
        QCOMPARE(pc->value(2).toInt(), 240);
    }

    void deliveredDatabaseNeverOverwrites()
    {
        const QString path = freshPath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious");
        file.close();
        QVERIFY(!createDeliveredDatabase(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));
    }

    void textComparisonsIgnoreLetterCase()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        QVERIFY(execSql(
            db, QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Status) VALUES (?, ?, ?, ?)"),
            {QStringLiteral("10.1.1.5"), 5, QStringLiteral("PCKLAM01"), QString(QLatin1String(""))}));
        auto equal = querySingleValue(db, QStringLiteral("SELECT count(*) FROM IP_Info WHERE Name = ?"),
                                      {QStringLiteral("pcklam01")});
        QCOMPARE(equal->toInt(), 1);
        auto like = querySingleValue(db, QStringLiteral("SELECT count(*) FROM IP_Info WHERE Name LIKE ?"),
                                     {QStringLiteral("pck%")});
        QCOMPARE(like->toInt(), 1);
        auto abc = querySingleValue(db, QStringLiteral("SELECT count(*) FROM UserID WHERE Name = ?"),
                                    {QStringLiteral("ADMINISTRATOR")});
        QCOMPARE(abc->toInt(), 1);

        // An empty Status can be stored and reads back empty, not null.
        auto status = querySingleValue(db, QStringLiteral("SELECT Status FROM IP_Info WHERE IP_Address = ?"),
                                       {QStringLiteral("10.1.1.5")});
        QVERIFY(!status->isNull());
        QCOMPARE(status->toString(), QString());

        // One record per address.
        QVERIFY(!execSql(db, QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4) VALUES (?, ?)"),
                         {QStringLiteral("10.1.1.5"), 5}));
    }

    void schemaUpgradeAddsMissingColumns()
    {
        const QString path = freshPath();
        makeRawDatabase(path, oldSchema());
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        QVERIFY(SchemaUpgrade(connection.handle()));
        const QStringList city = columnsOf(connection.handle(), QStringLiteral("City"));
        QVERIFY(city.contains(QStringLiteral("StartIPRange")));
        QVERIFY(city.contains(QStringLiteral("ToIPRange")));
        QVERIFY(columnsOf(connection.handle(), QStringLiteral("IP_Info")).contains(QStringLiteral("Status")));

        // Existing rows stay; the new columns are empty.
        auto row = runSql(connection.handle(), QStringLiteral("SELECT City_name, StartIPRange FROM City"));
        QVERIFY(row && row->next());
        QCOMPARE(row->value(0).toString(), QStringLiteral("Ipoh"));
        QVERIFY(row->value(1).isNull());

        // Running it again changes nothing.
        const QString before = schemaText(connection.handle());
        QVERIFY(SchemaUpgrade(connection.handle()));
        QVERIFY(SchemaUpgrade(connection.handle()));
        QCOMPARE(schemaText(connection.handle()), before);

        // The added Status column accepts an empty text and ignores letter case.
        QVERIFY(execSql(connection.handle(),
                        QStringLiteral("INSERT INTO IP_Info (IP_Address, Status) VALUES (?, ?)"),
                        {QStringLiteral("10.0.0.1"), QString(QLatin1String(""))}));
        QVERIFY(execSql(connection.handle(), QStringLiteral("UPDATE IP_Info SET Status = 'Permanent'")));
        auto found = querySingleValue(
            connection.handle(), QStringLiteral("SELECT count(*) FROM IP_Info WHERE Status = 'PERMANENT'"));
        QCOMPARE(found->toInt(), 1);
    }

    void schemaUpgradeOfDeliveredDatabaseChangesNothing()
    {
        test::TestProgram program;
        const QString before = schemaText(program.database.handle());
        QVERIFY(SchemaUpgrade(program.database.handle()));
        QCOMPARE(schemaText(program.database.handle()), before);
    }

    void schemaUpgradeAddsEachColumnOnItsOwn()
    {
        // A City table that already has ToIPRange but not StartIPRange gains only the missing column.
        const QString path = freshPath();
        makeRawDatabase(path, oldSchema(QStringLiteral("City"), QStringLiteral(", ToIPRange SMALLINT")));
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        const DbOutcome upgraded = SchemaUpgrade(connection.handle());
        QVERIFY2(upgraded, qPrintable(upgraded.error()));
        const QStringList city = columnsOf(connection.handle(), QStringLiteral("City"));
        QCOMPARE(city.count(QStringLiteral("StartIPRange")), 1);
        QCOMPARE(city.count(QStringLiteral("ToIPRange")), 1);
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
        DbOutcome otherUpgrade = DbOutcome::failure(QStringLiteral("not run"));
        std::thread other([&path, &holding, &otherUpgrade] {
            auto name = openDatabaseFile(path);
            if (!name) {
                otherUpgrade = name.outcome();
                holding.release();
                return;
            }
            {
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
            }
            closeDatabaseFile(*name);
        });
        holding.acquire();
        const DbOutcome upgraded = SchemaUpgrade(connection.handle());
        other.join();
        QVERIFY2(otherUpgrade, qPrintable(otherUpgrade.error()));
        QVERIFY2(upgraded, qPrintable(upgraded.error()));
        const QStringList city = columnsOf(connection.handle(), QStringLiteral("City"));
        QCOMPARE(city.count(QStringLiteral("StartIPRange")), 1);
        QCOMPARE(city.count(QStringLiteral("ToIPRange")), 1);
        QCOMPARE(columnsOf(connection.handle(), QStringLiteral("IP_Info")).count(QStringLiteral("Status")),
                 1);
    }

    void schemaUpgradeFindsTablesInAnyLetterCase()
    {
        const QString path = freshPath();
        makeRawDatabase(path, oldSchema(QStringLiteral("city")));
        DatabaseConnection connection;
        QVERIFY(connection.open(path));
        QVERIFY(SchemaUpgrade(connection.handle()));
        QVERIFY(
            columnsOf(connection.handle(), QStringLiteral("city")).contains(QStringLiteral("StartIPRange")));
    }

    void openingRefusesWhatIsNotATarvoDatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << QByteArray("hello, world\n") << "not an SQLite database";
        QTest::newRow("empty file") << QByteArray() << "empty";
        QByteArray jet(64, '\0');
        jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
        QTest::newRow("old Jet file") << jet << "Jet";
    }
    void openingRefusesWhatIsNotATarvoDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path = freshPath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        DatabaseConnection connection;
        const DbOutcome outcome = connection.open(path);
        QVERIFY(!outcome);
        QVERIFY2(outcome.error().contains(path), qPrintable(outcome.error()));
        QVERIFY2(outcome.error().contains(reason), qPrintable(outcome.error()));
        QVERIFY(!connection.isOpen());
    }

    void openingRefusesADatabaseWithoutTheTables()
    {
        const QString path = freshPath();
        makeRawDatabase(path, {QStringLiteral("CREATE TABLE Other (x TEXT)")});
        const DbOutcome outcome = DatabaseConnection::checkFile(path);
        QVERIFY(!outcome);
        QVERIFY2(outcome.error().contains(QStringLiteral("IP_Info")), qPrintable(outcome.error()));
    }

    void openingAMissingPathCreatesNothing()
    {
        const QString path = freshPath();
        DatabaseConnection connection;
        const DbOutcome outcome = connection.open(path);
        QVERIFY(!outcome);
        QVERIFY(outcome.error().contains(path));
        QVERIFY(!QFileInfo::exists(path));
    }

    void failedOpenKeepsTheCurrentDatabase()
    {
        test::TestProgram program;
        const QString good = program.databasePath();
        QVERIFY(!program.database.open(freshPath()));
        QVERIFY(program.database.isOpen());
        QCOMPARE(program.database.path(), good);
        QVERIFY(querySingleValue(program.database.handle(), QStringLiteral("SELECT count(*) FROM UserID")));
    }

    void pathsWithUriCharactersOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("odd #name? 100%.mdb"));
        QVERIFY(createDeliveredDatabase(path));
        DatabaseConnection connection;
        const DbOutcome outcome = connection.open(path);
        QVERIFY2(outcome, qPrintable(outcome.error()));
        QVERIFY(querySingleValue(connection.handle(), QStringLiteral("SELECT count(*) FROM UserID")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    void writeTransactionRollsBackUnlessCommitted()
    {
        test::TestProgram program;
        const QSqlDatabase db = program.database.handle();
        {
            WriteTransaction transaction(db);
            QVERIFY(transaction.begin());
            QVERIFY(execSql(db, QStringLiteral("DELETE FROM UserID")));
        }
        QCOMPARE(querySingleValue(db, QStringLiteral("SELECT count(*) FROM UserID"))->toInt(), 1);
        {
            WriteTransaction transaction(db);
            QVERIFY(transaction.begin());
            QVERIFY(execSql(db, QStringLiteral("DELETE FROM UserID")));
            QVERIFY(transaction.commit());
        }
        QCOMPARE(querySingleValue(db, QStringLiteral("SELECT count(*) FROM UserID"))->toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
