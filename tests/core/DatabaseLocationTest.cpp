#include "CoreTestHelpers.h"

#include "core/DatabaseFiles.h"
#include "core/DatabaseLocation.h"
#include "core/PendingWrites.h"
#include "core/ProgramFolder.h"
#include "core/StartUp.h"
#include "core/frmChangeFolder.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::MainRig;
using test::TestProgram;

namespace {

QString location(const TestProgram& p)
{
    return p.context.ReadINI(u"Database"_s, u"DatabaseLocation"_s);
}

// Whether the database file at a path holds an area.
bool hasArea(const QString& path, const QString& area = u"North"_s)
{
    auto name = openDatabaseFile(path);
    if (!name)
        return false;
    auto count = querySingleValue(QSqlDatabase::database(*name, false),
                                  u"SELECT count(*) FROM Region WHERE Region = ?"_s, {area});
    closeDatabaseFile(*name);
    return count && count->toInt() == 1;
}

// The change-folder dialog, shown as the main window shows it but without its own event loop, over a
// live database that holds the area "North".
struct MoveRig
{
    MoveRig() : dialog(p.context)
    {
        QVERIFY(execSql(p.database.handle(),
                        u"INSERT INTO Region (Region, AssignIP, Segment_ip) VALUES ('North', 12, 0)"_s));
        dialog.show();
    }
    QPushButton* button(const QString& name) const { return dialog.findChild<QPushButton*>(name); }
    void choose(const QString& folder)
    {
        p.fileDialogs.folders.push_back(folder);
        QTest::mouseClick(button(u"cmdDirektori"_s), Qt::LeftButton);
    }
    void move() const { QTest::mouseClick(button(u"cmdMoveDatabase"_s), Qt::LeftButton); }

    TestProgram p;
    frmChangeFolder dialog;
};

// Helper mode of this executable: a Move Database of the program folder's database into a folder,
// which says "ready" right before it presses Move and is killed during the copy.
int moveHelper(const QString& programFolder, const QString& folder)
{
    SharedState state;
    state.program.ProgramFolder = programFolder;
    state.program.INIPath = joinPath(programFolder, IniFileName);
    state.program.DatabasePath = joinPath(programFolder, DatabaseFileName);
    state.program.DatabaseFolder = programFolder;
    DatabaseService service(state.program);
    if (!service.switchTo(state.program.DatabasePath))
        return 1;
    test::ScriptedMessenger messenger;
    test::FakeShell shell;
    test::FakeFileDialogs dialogs;
    test::FakeProgramExit exit;
    const AppContext context(state, service, {messenger, shell, dialogs, exit});
    frmChangeFolder dialog(context);
    dialog.show();
    dialogs.folders.push_back(folder);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdDirektori"_s), Qt::LeftButton);
    std::puts("ready");
    std::fflush(stdout);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdMoveDatabase"_s), Qt::LeftButton);
    return 0;
}

struct FreeInstance final : InstanceGuard
{
    bool tryAcquire() override { return true; }
};

} // namespace

class DatabaseLocationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changeDirectoryFromTheMenu_data()
    {
        QTest::addColumn<QString>("choice");  // what the folder picked in the file dialog holds
        QTest::addColumn<QString>("message"); // part of the message shown, "" for none
        QTest::addColumn<bool>("switched");
        QTest::newRow("cancel") << u""_s << u""_s << false;
        QTest::newRow("folder without the database") << u"empty"_s << u"Tarvo database not found!"_s << false;
        QTest::newRow("not a database") << u"garbage"_s << u"The database in use was not changed."_s << false;
        QTest::newRow("a child window stays open") << u"refused"_s << u""_s << false;
        QTest::newRow("other folder") << u"other"_s << u""_s << true;
        QTest::newRow("older database") << u"old"_s << u""_s << true;
        QTest::newRow("back to the program folder") << u"program"_s << u""_s << true;
        QTest::newRow("folder cannot be recorded") << u"unrecorded"_s << NextStartUnawareNote << true;
    }
    void changeDirectoryFromTheMenu()
    {
        QFETCH(QString, choice);
        QFETCH(QString, message);
        QFETCH(bool, switched);
        MainRig rig;
        TestProgram& p = rig.p;
        QTemporaryDir other;
        QTemporaryDir current;
        // The database in use lies in a folder of its own.
        p.createDatabase(current.filePath(DatabaseFileName));
        p.program.DatabasePath = current.filePath(DatabaseFileName);
        QVERIFY(p.openDatabase());
        QVERIFY(p.context.WriteINI(u"Database"_s, u"DatabaseLocation"_s, current.path()));
        QVERIFY(rig.start());
        rig.action(u"mnuBackupRestore"_s)->trigger();

        QString folder = choice.isEmpty() ? current.path() : choice == u"program" ? p.folder() : other.path();
        if (choice == u"garbage")
            test::writeFile(other.filePath(DatabaseFileName), "not a database");
        else if (choice == u"old")
            test::makeOldDatabase(other.filePath(DatabaseFileName));
        else if (choice != u"empty" && choice != u"program" && !choice.isEmpty())
            p.createDatabase(other.filePath(DatabaseFileName));
        if (choice == u"refused")
            rig.windows.lastChild->refuseClose = true;
        if (choice == u"unrecorded")
            p.program.INIPath = p.path(u"no-such-folder/Tarvo.ini"_s);
        if (!choice.isEmpty())
            p.fileDialogs.files.push_back(joinPath(folder, u"any file.mdb"_s));
        bool windowShown = false;
        if (choice != u"empty") {
            // The window shows the folder of the database, or after a cancel where the search started.
            test::whenModalOpens([&folder, &windowShown](QWidget* dialog) {
                windowShown = true;
                QCOMPARE(dialog->findChild<QLabel*>(u"Label2"_s)->text(), folder + u'/');
                QTest::mouseClick(dialog->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
            });
        }

        rig.action(u"mnuChangeDBDir"_s)->trigger();
        if (choice == u"refused")
            rig.windows.lastChild->refuseClose = false;
        p.program.INIPath = p.iniPath();
        QCOMPARE(windowShown, choice != u"empty");
        QVERIFY(!p.exit.ended);
        if (message.isEmpty()) {
            QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(u'\n')));
        } else {
            QVERIFY(p.messenger.sawText(message));
            QCOMPARE(p.messenger.last().title, u"Error"_s);
        }
        const QString expected = joinPath(switched ? folder : current.path(), DatabaseFileName);
        QVERIFY(p.database.isOpen());
        QCOMPARE(p.database.path(), expected);
        QCOMPARE(p.program.DatabasePath, expected);
        QCOMPARE(p.program.DatabaseFolder, folderOf(expected));
        QCOMPARE(rig.children().size(), switched ? 0 : 1);
        const bool recorded = switched && choice != u"unrecorded";
        QCOMPARE(location(p), !recorded ? current.path() : choice == u"program" ? QString() : folder);
        if (!switched)
            return;
        QVERIFY(p.database.handle().record(u"City"_s).contains(u"StartIPRange"_s));
        QCOMPARE(rig.window->statusText(),
                 choice == u"program" ? QString() : u"Database dir = "_s + folder + u'/');
        // The user has an account there: no new sign-in.
        QCOMPARE(rig.signIn.changingLoginSeen.size(), 1);
    }

    void userWithoutAccountInTheNewDatabaseSignsInAgain_data()
    {
        QTest::addColumn<bool>("signsIn");
        QTest::newRow("signs in") << true;
        QTest::newRow("exit") << false;
    }
    void userWithoutAccountInTheNewDatabaseSignsInAgain()
    {
        QFETCH(bool, signsIn);
        MainRig rig{QString()};
        rig.signIn.script.push_back({u"ghost"_s, GroupSistem});
        QVERIFY(rig.start());
        QTemporaryDir other;
        rig.p.createDatabase(other.filePath(DatabaseFileName));
        rig.p.fileDialogs.files.push_back(other.filePath(DatabaseFileName));
        if (signsIn)
            rig.signIn.script.push_back({u"admin"_s, GroupHQ});
        test::clickInNextModal(u"Command1"_s);
        rig.action(u"mnuChangeDBDir"_s)->trigger();
        QCOMPARE(rig.signIn.changingLoginSeen, (QList<bool>{false, false}));
        QCOMPARE(rig.p.exit.ended, !signsIn);
        // Nothing is recorded for a database nobody signed in to.
        QCOMPARE(location(rig.p), signsIn ? other.path() : rig.p.folder());
        if (signsIn) {
            QCOMPARE(rig.p.session.LoginUserID, u"admin"_s);
            QVERIFY(!rig.action(u"mnuMaklumatPengguna"_s)->isEnabled());
        }
    }

    void moveCopiesTheDatabaseInUse()
    {
        MoveRig rig;
        TestProgram& p = rig.p;
        QPushButton* move = rig.button(u"cmdMoveDatabase"_s);
        // The database in use stays the one the next start opens, and Move can be tried again.
        const auto unchanged = [&] {
            QCOMPARE(p.database.path(), p.databasePath());
            QCOMPARE(p.program.DatabasePath, p.databasePath());
            QCOMPARE(location(p), QString());
            QVERIFY(move->isEnabled());
            QCOMPARE(rig.button(u"cmdTutup"_s)->text(), u"Cancel"_s);
        };
        // Move is usable once Browse has chosen a folder; the focus starts on Browse.
        QCOMPARE(rig.dialog.focusWidget(), rig.button(u"cmdDirektori"_s));
        rig.choose(QString()); // cancelled
        QVERIFY(!move->isEnabled());
        QTest::mouseClick(rig.button(u"cmdMapNetwork"_s), Qt::LeftButton);
        QVERIFY(p.messenger.last().text.contains(u"Browse"_s));

        // A copy that fails, and a folder that cannot be recorded, are reported and change nothing.
        const QString gone = QTemporaryDir().path();
        rig.choose(gone);
        rig.move();
        // The failure is a sentence of its own, apart from the line that the database stays open.
        const QString failed = p.messenger.last().text;
        QVERIFY2(failed.contains(gone) && failed.endsWith(u".\r\n\r\nTarvo database was open."_s),
                 qPrintable(failed));
        unchanged();
        QTemporaryDir unrecorded;
        rig.choose(unrecorded.path());
        p.program.INIPath = p.path(u"no-such-folder/Tarvo.ini"_s);
        rig.move();
        QVERIFY(p.messenger.last().text.contains(p.program.INIPath));
        p.program.INIPath = p.iniPath();
        unchanged();
        QCOMPARE(p.messenger.count(), 3);
        QCOMPARE(p.messenger.last().icon, MessageIcon::Critical);

        // A folder that holds a database already: the move asks first, and Cancel keeps it.
        QTemporaryDir taken;
        const QString replaced = taken.filePath(DatabaseFileName);
        p.createDatabase(replaced);
        rig.choose(taken.path());
        rig.choose(QString()); // a cancel keeps the choice
        QCOMPARE(rig.dialog.findChild<QLineEdit*>(u"txtPath"_s)->text(), taken.path() + u'/');
        p.messenger.clear();
        p.messenger.answer(MessageAnswer::Cancel);
        rig.move();
        QCOMPARE(p.messenger.count(), 1);
        QVERIFY(p.messenger.last().text.contains(taken.path() + u'/'));
        QCOMPARE(p.messenger.last().buttons, MessageButtons::OkCancel);
        QVERIFY(!hasArea(replaced));
        unchanged();
        // OK replaces it with a copy of the database in use, which then is the one in use.
        p.messenger.answer(MessageAnswer::Ok);
        rig.move();
        QVERIFY(hasArea(replaced));
        QCOMPARE(p.database.path(), replaced);
        QCOMPARE(location(p), taken.path());
        QVERIFY(
            execSql(p.database.handle(), u"INSERT INTO Region (Region, AssignIP) VALUES ('South', 13)"_s));

        // An empty folder gets the copy without a question, and nothing else.
        p.messenger.clear();
        QTemporaryDir target;
        const QString copy = target.filePath(DatabaseFileName);
        rig.choose(target.path());
        rig.move();
        QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(u'\n')));
        QCOMPARE(test::filesIn(target.path()), QStringList{DatabaseFileName});
        QCOMPARE(p.database.path(), copy);
        QVERIFY(hasArea(copy) && hasArea(copy, u"South"_s));
        QCOMPARE(p.program.DatabasePath, copy);
        QCOMPARE(p.program.DatabaseFolder, target.path());
        QCOMPARE(location(p), target.path());
        QCOMPARE(rig.button(u"cmdTutup"_s)->text(), u"OK"_s);
        QVERIFY(!move->isEnabled());
        // The originals stay where they were.
        QVERIFY(hasArea(p.databasePath()));
        QVERIFY(hasArea(replaced));

        // Moving into the folder it already lives in copies nothing.
        rig.choose(target.path());
        rig.move();
        QVERIFY(p.messenger.isEmpty());
        QCOMPARE(p.database.path(), copy);

        // A failure that is a sentence already gets no second stop.
        p.databaseService.close();
        rig.choose(gone);
        rig.move();
        QCOMPARE(p.messenger.last().text, u"No database is open.\r\n\r\nTarvo database was open."_s);
    }

    // While the copy waits for another workstation, the dialog takes neither another folder nor
    // Escape, Cancel or its frame: the folder recorded is the one the copy went to.
    void theDialogHoldsStillWhileItCopies()
    {
        MoveRig rig;
        TestProgram& p = rig.p;
        QTemporaryDir chosen;
        QTemporaryDir other;
        rig.choose(chosen.path());
        const QString holder = *openDatabaseFile(p.databasePath());
        QVERIFY(execSql(QSqlDatabase::database(holder, false), u"BEGIN EXCLUSIVE"_s));
        bool tried = false;
        QTimer::singleShot(20, [&] {
            p.fileDialogs.folders.push_back(other.path());
            QTest::mouseClick(rig.button(u"cmdDirektori"_s), Qt::LeftButton);
            QTest::mouseClick(rig.button(u"cmdTutup"_s), Qt::LeftButton);
            QTest::keyClick(&rig.dialog, Qt::Key_Escape);
            rig.dialog.close();
            tried = rig.dialog.isVisible();
            QVERIFY(execSql(QSqlDatabase::database(holder, false), u"COMMIT"_s));
        });
        rig.move();
        closeDatabaseFile(holder);
        QVERIFY(tried && rig.dialog.isVisible());
        QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(u'\n')));
        QCOMPARE(location(p), chosen.path());
        QCOMPARE(p.database.path(), chosen.filePath(DatabaseFileName));
        QCOMPARE(test::filesIn(other.path()), QStringList());
        QVERIFY(rig.button(u"cmdTutup"_s)->isEnabled());
    }

    void copyLeavesNothingBehindOnFailure()
    {
        TestProgram p;
        QTemporaryDir target;
        // Not a database: refused before anything is written.
        const QString source = target.filePath(u"source.mdb"_s);
        test::writeFile(source, "not a database");
        QVERIFY(!copyDatabaseFile(source, target.filePath(DatabaseFileName)));
        QCOMPARE(test::filesIn(target.path()), QStringList{u"source.mdb"_s});
        // A file cannot be copied onto itself.
        QVERIFY(!copyDatabaseFile(p.databasePath(), p.databasePath()));
        QCOMPARE(querySingleValue(p.database.handle(), u"SELECT count(*) FROM UserID"_s)->toInt(), 1);
        // The target name is taken by a folder: the rename fails and the snapshot is removed, as are the
        // snapshot and journal that a copy killed midway left.
        const QString killed = test::endedProcessTemporary(target.filePath(DatabaseFileName));
        test::writeFile(killed, "part of a copy");
        test::writeFile(killed + u"-journal"_s, "its journal");
        QVERIFY(QDir(target.path()).mkpath(DatabaseFileName + u"/inside"_s));
        QVERIFY(!copyDatabaseFile(p.databasePath(), target.filePath(DatabaseFileName)));
        QCOMPARE(test::filesIn(target.path()), QStringList{u"source.mdb"_s});
    }

    // A move killed during its copy leaves a temporary as large as the database in a folder that
    // nothing may write to again; the next start removes it.
    void aMoveKilledDuringItsCopyIsCleanedUpAtTheNextStart()
    {
        TestProgram p;
        // Some weight, so that the copy takes a while.
        QVERIFY(execSql(p.database.handle(),
                        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                        "INSERT INTO IP_Info (IP_Address, Remarks) "
                        "SELECT '10.9.' || (i / 256) || '.' || (i % 256), hex(randomblob(500)) FROM n"_s));
        p.databaseService.close();
        QTemporaryDir target;
        const auto left = [&target] { return test::filesIn(target.path()); };
        for (int attempt = 0; attempt < 5 && left().isEmpty(); ++attempt) {
            QProcess helper;
            helper.start(QCoreApplication::applicationFilePath(), {u"helper"_s, p.folder(), target.path()});
            QVERIFY(helper.waitForReadyRead(10000));
            // Killed as soon as the copy's temporary is there.
            const QDeadlineTimer deadline(10000);
            while (helper.state() == QProcess::Running && !deadline.hasExpired() && left().isEmpty())
                QThread::usleep(200);
            helper.kill();
            helper.waitForFinished(5000);
            if (left().contains(DatabaseFileName)) // the copy ended first
                QVERIFY(QFile::remove(target.filePath(DatabaseFileName)));
        }
        QVERIFY(!left().isEmpty() && left().constFirst().startsWith(u'.'));
        QCOMPARE(test::filesIn(pendingWritesFolder(p.folder())).size(), 1);
        FreeInstance guard;
        QVERIFY(StartUp(p.context, guard, {}, [] {}).run());
        QCOMPARE(left(), QStringList());
        QCOMPARE(test::filesIn(pendingWritesFolder(p.folder())), QStringList());
        QCOMPARE(p.database.path(), p.databasePath());
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == u"helper")
        return moveHelper(arguments.value(2), arguments.value(3));
    DatabaseLocationTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "DatabaseLocationTest.moc"
