// "Compact Database": the compaction of the live database and its refusals.

#include "MaintenanceTestKit.h"

#include "core/DatabaseConnection.h"
#include "core/DatabaseService.h"
#include "core/Sql.h"
#include "maintenance/Compaction.h"

#include <QWidget>

using namespace tarvo;
using namespace Qt::StringLiterals;

namespace {

// Fills IP_Info with rows of some weight and deletes every second one, leaving free pages behind.
void addAndDeleteRows(const test::TestProgram& p, int rows)
{
    QVERIFY(test::addRecords(p.database.handle(), rows));
    QVERIFY(execSql(p.database.handle(), u"DELETE FROM IP_Info WHERE rowid % 2 = 0"_s));
}

int rowCount(const test::TestProgram& p)
{
    return querySingleValue(p.database.handle(), u"SELECT count(*) FROM IP_Info"_s)->toInt();
}

} // namespace

class CompactionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compactionShrinksTheLiveDatabaseAndKeepsEveryRow()
    {
        test::TestProgram p;
        addAndDeleteRows(p, 4000);
        const int rows = rowCount(p);
        const qint64 before = QFileInfo(p.databasePath()).size();
        QWidget parent;

        p.messenger.answer(MessageAnswer::No);
        mnuCompactDB_Click(p.context, &parent);
        QCOMPARE(p.messenger.count(), 1);
        QCOMPARE(p.messenger.last().text, u"Do you want to compact Tarvo database ?"_s);
        QCOMPARE(QFileInfo(p.databasePath()).size(), before);

        p.messenger.answer(MessageAnswer::Yes);
        mnuCompactDB_Click(p.context, &parent);
        const qint64 after = QFileInfo(p.databasePath()).size();
        QVERIFY2(after < before * 3 / 4, qPrintable(u"%1 -> %2"_s.arg(before).arg(after)));
        QCOMPARE(rowCount(p), rows);
        QCOMPARE(p.messenger.last().title, u"Compact Successful"_s);
        QCOMPARE(p.messenger.last().text,
                 u"Tarvo database compacted successfully.\r\n\r\nSize before compacting:\t%1"
                 "\r\nSize after compacting:\t%2"_s.arg(formatByteCount(before), formatByteCount(after)));
    }

    void aBusyDatabaseIsInUse_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("message");
        const QString inUse = u"Not Allowed : Tarvo database was in use ... "_s;
        QTest::newRow("another connection writes") << u"connection"_s << inUse;
        // A window of this program counts as much as another workstation: the same message, no question.
        QTest::newRow("a busy window") << u"window"_s << inUse;
        QTest::newRow("an unsaved edit") << u"edit"_s << inUse;
        QTest::newRow("no database open")
            << u"closed"_s << u"The Tarvo database was not compacted: No database is open."_s;
    }
    void aBusyDatabaseIsInUse()
    {
        QFETCH(QString, holder);
        QFETCH(QString, message);
        test::TestProgram p;
        QObject owner;
        bool discarded = false;
        const DatabaseHold hold(
            p.databaseService, &owner,
            {.busyReason =
                 [&holder] { return holder == u"window" ? u"An assignment run is under way."_s : QString(); },
             .unsavedEdit = [&holder] { return holder == u"edit"; },
             .discardEdit = [&discarded] { discarded = true; }});
        QString other;
        if (holder == u"connection") {
            // Another workstation in the middle of a write; the wait for it is cut short here.
            other = *openDatabaseFile(p.databasePath());
            QVERIFY(execSql(QSqlDatabase::database(other, false), u"BEGIN EXCLUSIVE"_s));
            QVERIFY(execSql(p.database.handle(), u"PRAGMA busy_timeout = 100"_s));
        } else if (holder == u"closed") {
            p.databaseService.close();
        }
        const QByteArray before = test::readBytes(p.databasePath());
        QVERIFY(!CompressDatabase(p.context, nullptr));
        QCOMPARE(p.messenger.last().text, message);
        QCOMPARE(p.messenger.last().icon, MessageIcon::Critical);
        QCOMPARE(p.messenger.shown().size(), 1);
        QVERIFY(!discarded);
        closeDatabaseFile(other);
        QCOMPARE(test::readBytes(p.databasePath()), before);
        QCOMPARE(p.database.isOpen(), holder != u"closed");
    }
};

QTEST_MAIN(CompactionTest)
#include "CompactionTest.moc"
