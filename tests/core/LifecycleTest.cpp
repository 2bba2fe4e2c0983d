// The live database's life cycle (switch, replace, compact) with windows and models that hold it, and
// the windows that other windows open.

#include "CoreTestHelpers.h"

#include "core/DatabaseService.h"

#include <QDialog>
#include <QSqlQueryModel>
#include <QTimer>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::TestProgram;

namespace {

// A list of users over the live database, as the windows keep them.
struct UserList
{
    explicit UserList(TestProgram& p)
        : hold(p.databaseService, &owner,
               {[this] { return busy; },
                [this] {
                    model.clear();
                    ++released;
                },
                [this, &p] {
                    ++reloaded;
                    model.setQuery(u"SELECT UserID FROM UserID ORDER BY UserID"_s, p.database.handle());
                }})
    {
        model.setQuery(u"SELECT UserID FROM UserID ORDER BY UserID"_s, p.database.handle());
        while (model.canFetchMore())
            model.fetchMore();
    }
    QString first() const { return model.index(0, 0).data().toString(); }

    QObject owner;
    QSqlQueryModel model;
    DatabaseHold hold;
    QString busy;
    int released = 0;
    int reloaded = 0;
};

} // namespace

class LifecycleTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void holdersLetGoAndReadAgain_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("file"); // what the database is switched to or replaced with
        QTest::addColumn<QString>("busy");
        QTest::newRow("switch") << u"switch"_s << u"other"_s << QString();
        QTest::newRow("switch while busy")
            << u"switch"_s << u"other"_s << u"An assignment run is under way."_s;
        QTest::newRow("switch to an empty file") << u"switch"_s << u"empty"_s << QString();
        QTest::newRow("replace") << u"replace"_s << u"other"_s << QString();
        QTest::newRow("replace while busy") << u"replace"_s << u"other"_s << u"Busy."_s;
        QTest::newRow("replace by a text file") << u"replace"_s << u"text"_s << QString();
        QTest::newRow("replace by a database without tables") << u"replace"_s << u"no City"_s << QString();
        QTest::newRow("replace by itself") << u"replace"_s << u"itself"_s << QString();
        QTest::newRow("compact") << u"compact"_s << QString() << QString();
        QTest::newRow("compact while busy") << u"compact"_s << QString() << u"A split is under way."_s;
    }
    void holdersLetGoAndReadAgain()
    {
        QFETCH(QString, operation);
        QFETCH(QString, file);
        QFETCH(QString, busy);
        TestProgram p;
        QTemporaryDir folder;
        const QString live = p.databasePath();
        UserList list(p);
        list.busy = busy;
        QCOMPARE(list.first(), u"admin"_s);

        QString path = folder.filePath(DatabaseFileName);
        if (file == u"other") // with another first user
            test::makeChangedDatabase(path, {u"UPDATE UserID SET UserID = 'boss'"_s});
        else if (file == u"no City")
            test::makeChangedDatabase(path, {u"DROP TABLE City"_s});
        else if (file == u"itself")
            path = folder.path() + u"/../"_s + live.section(u'/', -2);
        else if (!file.isEmpty())
            test::writeFile(path, file == u"empty" ? QByteArray() : "no database");
        DbOutcome outcome = DbOutcome::success();
        bool inUse = false;
        if (operation == u"switch")
            outcome = p.databaseService.switchTo(path).outcome();
        else if (operation == u"replace")
            outcome = p.databaseService.replaceWith(path);
        else if (execSql(p.database.handle(), u"DELETE FROM City"_s))
            outcome = p.databaseService.compact(&inUse);
        QCOMPARE(inUse, operation == u"compact" && !busy.isEmpty()); // a busy holder counts as in use
        const bool refused = !busy.isEmpty() || (!file.isEmpty() && file != u"other");
        const bool changes = !refused && operation != u"compact";
        QCOMPARE(outcome.ok(), !refused);
        if (!busy.isEmpty())
            QCOMPARE(outcome.error(), busy);
        if (file == u"itself")
            QVERIFY2(outcome.error().contains(u"cannot replace itself"_s), qPrintable(outcome.error()));
        // A refusal leaves the holder alone; otherwise it lets go first and reads the new data after.
        QCOMPARE(list.released, refused ? 0 : 1);
        QCOMPARE(list.reloaded, refused ? 0 : 1);
        QCOMPARE(list.first(), changes ? u"boss"_s : u"admin"_s);
        QVERIFY(p.database.isOpen());
        QCOMPARE(p.database.path(), p.program.DatabasePath);
        QCOMPARE(p.program.DatabasePath, operation == u"switch" && changes ? path : live);
        // The live file was never replaced by what was refused, and no temporary file stays.
        QCOMPARE(test::filesIn(QFileInfo(live).path()), (QStringList{IniFileName, DatabaseFileName}));
    }

    // While a compaction, restore, copy or the upgrade of a database switched to runs off the window's
    // thread, Change Login and Exit are refused with what is under way, as are Change Directory and any
    // switch of the database.
    void anOperationUnderWayKeepsTheProgram_data()
    {
        QTest::addColumn<bool>("upgrade"); // else a compaction
        QTest::newRow("compaction") << false;
        QTest::newRow("upgrade of the database switched to") << true;
    }
    void anOperationUnderWayKeepsTheProgram()
    {
        QFETCH(bool, upgrade);
        QTemporaryDir folder;
        test::MainRig rig;
        QVERIFY(rig.start());
        const auto signIns = rig.signIn.changingLoginSeen.size();
        QString path = rig.p.databasePath();
        if (upgrade) {
            path = folder.filePath(DatabaseFileName);
            test::makeChangedDatabase(path, {u"DROP INDEX IP_Info_Octet4"_s, u"DROP INDEX City_Region"_s});
        }
        // Another workstation writes; the operation waits for it.
        const QString other = *openDatabaseFile(path);
        QVERIFY(execSql(QSqlDatabase::database(other, false), u"BEGIN EXCLUSIVE"_s));
        const QString reason = upgrade ? u"The Tarvo database is being brought up to date."_s
                                       : u"The Tarvo database is being compacted."_s;
        bool closed = true;
        bool busyCursor = false;
        QString switched;
        QTimer::singleShot(20, [&] {
            busyCursor = QGuiApplication::overrideCursor() &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            rig.action(u"mnuTukarLogin"_s)->trigger();
            closed = rig.window->close();
            rig.action(u"mnuChangeDBDir"_s)->trigger();
            switched = rig.p.databaseService.switchTo(rig.p.databasePath()).error();
            QVERIFY(execSql(QSqlDatabase::database(other, false), u"COMMIT"_s));
        });
        const DbOutcome done =
            upgrade ? rig.p.databaseService.switchTo(path).outcome() : rig.p.databaseService.compact();
        closeDatabaseFile(other);
        QVERIFY2(done, qPrintable(done.error()));
        QVERIFY(!closed && !rig.p.exit.ended);
        QCOMPARE(rig.signIn.changingLoginSeen.size(), signIns);
        QCOMPARE(rig.p.messenger.texts(), QStringList(3, reason));
        QCOMPARE(switched, reason);
        QVERIFY(rig.p.databaseService.busyReason().isEmpty());
        if (upgrade) {
            QVERIFY(busyCursor);
            QVERIFY(!QGuiApplication::overrideCursor());
            QCOMPARE(rig.p.database.path(), path);
            auto indexes = querySingleValue(rig.p.database.handle(),
                                            u"SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                                            u"name IN ('IP_Info_Octet4', 'City_Region')"_s);
            QVERIFY(indexes);
            QCOMPARE(indexes->toInt(), 2);
        }
    }

    // A busy window refuses a change of database with its reason before anyone is asked about an
    // unsaved edit: nothing closes, nothing typed is dropped.
    void busyWindowRefusesBeforeAnyQuestion()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        rig.action(u"mnuBackupRestore"_s)->trigger();
        rig.windows.lastChild->busy = u"A file is being split."_s;
        bool discarded = false;
        const DatabaseHold edit(
            rig.p.databaseService, rig.windows.lastChild,
            {.unsavedEdit = [] { return true; }, .discardEdit = [&] { discarded = true; }});
        QTemporaryDir other;
        rig.p.createDatabase(other.filePath(DatabaseFileName));
        rig.p.fileDialogs.files.push_back(other.filePath(DatabaseFileName));
        test::clickInNextModal(u"Command1"_s);
        rig.action(u"mnuChangeDBDir"_s)->trigger();
        QCOMPARE(rig.p.messenger.texts(), QStringList{u"A file is being split."_s});
        QVERIFY(!discarded);
        QCOMPARE(rig.children().size(), 1);
        QCOMPARE(rig.p.database.path(), rig.p.databasePath());
    }

    void windowsOpenedByOtherWindowsCloseWithTheProgram()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        auto* detail = new QWidget;
        detail->setObjectName(u"detail"_s);
        rig.window->showChildWindow(detail);
        auto* unit = new QDialog;
        rig.window->showOwnedWindow(unit);
        QPointer<QWidget> detailAlive = detail;
        QPointer<QWidget> unitAlive = unit;
        QCOMPARE(rig.window->openWindows().windows().size(), 2);
        QVERIFY(unit->isVisible() && unit->isWindow());

        // The unit window refills its opener only while the opener is open.
        int refills = 0;
        const OpenerCallback refill(detail, [&refills] { ++refills; });
        QVERIFY(refill());
        rig.signIn.script.push_back({u"other"_s, GroupHQ});
        rig.action(u"mnuTukarLogin"_s)->trigger();
        QVERIFY(!unit->isVisible());
        QVERIFY(!refill());
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!detailAlive && !unitAlive);
        QVERIFY(!refill());
        QCOMPARE(refills, 1);

        rig.window->showOwnedWindow(new QDialog);
        QVERIFY(rig.window->close());
        QVERIFY(rig.window->openWindows().windows().isEmpty() ||
                !rig.window->openWindows().windows().constFirst()->isVisible());
    }
};

QTEST_MAIN(LifecycleTest)
#include "LifecycleTest.moc"
