// The live database's life cycle (switch, replace, compact) with windows and models that hold it, and
// the windows that other windows open.

#include "CoreTestHelpers.h"

#include "core/DatabaseService.h"

#include <QDialog>
#include <QSqlQueryModel>

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

// A second database with another first user.
QString otherDatabase(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(DatabaseFileName);
    test::makeChangedDatabase(path, {u"UPDATE UserID SET UserID = 'boss'"_s});
    return path;
}

} // namespace

class LifecycleTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void holdersLetGoAndReadAgain_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("busy");
        QTest::addColumn<bool>("changes");
        QTest::newRow("switch") << u"switch"_s << QString() << true;
        QTest::newRow("switch while busy") << u"switch"_s << u"An assignment run is under way."_s << false;
        QTest::newRow("replace") << u"replace"_s << QString() << true;
        QTest::newRow("replace while busy") << u"replace"_s << u"Busy."_s << false;
        QTest::newRow("replace by a text file") << u"replace-garbage"_s << QString() << false;
        QTest::newRow("replace by a database without tables") << u"replace-tables"_s << QString() << false;
        QTest::newRow("replace by itself") << u"replace-self"_s << QString() << false;
        QTest::newRow("compact") << u"compact"_s << QString() << false;
        QTest::newRow("compact while busy") << u"compact"_s << u"A split is under way."_s << false;
    }
    void holdersLetGoAndReadAgain()
    {
        QFETCH(QString, operation);
        QFETCH(QString, busy);
        QFETCH(bool, changes);
        TestProgram p;
        QTemporaryDir folder;
        const QString live = p.databasePath();
        UserList list(p);
        list.busy = busy;
        QCOMPARE(list.first(), u"admin"_s);

        DbOutcome outcome = DbOutcome::success();
        if (operation == u"switch") {
            outcome = p.databaseService.switchTo(otherDatabase(folder)).outcome();
        } else if (operation == u"replace") {
            outcome = p.databaseService.replaceWith(otherDatabase(folder));
        } else if (operation == u"replace-garbage") {
            test::writeFile(folder.filePath(u"x.mdb"_s), "no database");
            outcome = p.databaseService.replaceWith(folder.filePath(u"x.mdb"_s));
        } else if (operation == u"replace-tables") {
            test::makeChangedDatabase(folder.filePath(u"x.mdb"_s), {u"DROP TABLE City"_s});
            outcome = p.databaseService.replaceWith(folder.filePath(u"x.mdb"_s));
        } else if (operation == u"replace-self") {
            outcome = p.databaseService.replaceWith(folder.path() + u"/../"_s + live.section(u'/', -2));
        } else {
            QVERIFY(execSql(p.database.handle(), u"DELETE FROM City"_s));
            bool inUse = false;
            outcome = p.databaseService.compact(&inUse);
            QCOMPARE(inUse, !busy.isEmpty()); // a busy holder counts as the database in use
        }
        const bool refused = !busy.isEmpty() || operation.startsWith(u"replace-");
        QCOMPARE(outcome.ok(), !refused);
        if (!busy.isEmpty())
            QCOMPARE(outcome.error(), busy);
        // A refusal leaves the holder alone; otherwise it lets go first and reads the new data after.
        QCOMPARE(list.released, refused ? 0 : 1);
        QCOMPARE(list.reloaded, refused ? 0 : 1);
        QCOMPARE(list.first(), changes ? u"boss"_s : u"admin"_s);
        QVERIFY(p.database.isOpen());
        QCOMPARE(p.program.DatabasePath,
                 operation == u"switch" && changes ? folder.filePath(DatabaseFileName) : live);
        // The live file was never replaced by what was refused, and no temporary file stays.
        QCOMPARE(QDir(QFileInfo(live).path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{IniFileName, DatabaseFileName}));
    }

    void failedSwitchKeepsTheLiveDatabase()
    {
        TestProgram p;
        UserList list(p);
        QTemporaryDir folder;
        test::writeFile(folder.filePath(DatabaseFileName), QByteArray());
        QVERIFY(!p.databaseService.switchTo(folder.filePath(DatabaseFileName)));
        QCOMPARE(list.released, 0);
        QCOMPARE(p.database.path(), p.databasePath());
        QCOMPARE(list.first(), u"admin"_s);
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
