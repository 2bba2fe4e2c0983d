#include "MainWindowRig.h"

#include "core/DatabaseFiles.h"
#include "core/DatabaseLocation.h"
#include "core/ProgramFolder.h"
#include "core/Sql.h"
#include "core/frmChangeFolder.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>

using namespace tarvo;
using test::MainRig;
using test::TestProgram;

namespace {

QString location(const TestProgram& p)
{
    return p.context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"));
}

// Adds a recognisable area to the database at a path (through a connection of its own).
void addArea(const QString& path, const QString& area)
{
    auto name = openDatabaseFile(path);
    QVERIFY2(name, qPrintable(name.error()));
    QVERIFY(execSql(QSqlDatabase::database(*name, false),
                    QStringLiteral("INSERT INTO Region (Region, AssignIP, Segment_ip) VALUES (?, 11, 0)"),
                    {area}));
    closeDatabaseFile(*name);
}

bool hasArea(const QSqlDatabase& db, const QString& area)
{
    auto count = querySingleValue(db, QStringLiteral("SELECT count(*) FROM Region WHERE Region = ?"), {area});
    return count && count->toInt() == 1;
}

bool hasArea(const QString& path, const QString& area)
{
    auto name = openDatabaseFile(path);
    if (!name)
        return false;
    const bool found = hasArea(QSqlDatabase::database(*name, false), area);
    closeDatabaseFile(*name);
    return found;
}

void writeGarbage(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a database at all, just text");
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// The change-folder dialog, shown as the main window shows it but without its own event loop.
struct MoveRig
{
    MoveRig() : dialog(p.context)
    {
        dialog.show();
        browse = dialog.findChild<QPushButton*>(QStringLiteral("cmdDirektori"));
        move = dialog.findChild<QPushButton*>(QStringLiteral("cmdMoveDatabase"));
        close = dialog.findChild<QPushButton*>(QStringLiteral("cmdTutup"));
        path = dialog.findChild<QLineEdit*>(QStringLiteral("txtPath"));
    }
    void choose(const QString& folder)
    {
        p.fileDialogs.folders.push_back(folder);
        QTest::mouseClick(browse, Qt::LeftButton);
    }

    TestProgram p;
    frmChangeFolder dialog;
    QPushButton* browse = nullptr;
    QPushButton* move = nullptr;
    QPushButton* close = nullptr;
    QLineEdit* path = nullptr;
};

} // namespace

class DatabaseLocationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void locationRules()
    {
        QCOMPARE(databasePathFor(QString(), QStringLiteral("/opt/tarvo")),
                 QStringLiteral("/opt/tarvo/Tarvodb.mdb"));
        QCOMPARE(databasePathFor(QStringLiteral("   "), QStringLiteral("/opt/tarvo")),
                 QStringLiteral("/opt/tarvo/Tarvodb.mdb"));
        QCOMPARE(databasePathFor(QStringLiteral("/srv/data/"), QStringLiteral("/opt/tarvo")),
                 QStringLiteral("/srv/data/Tarvodb.mdb"));
        QCOMPARE(databasePathFor(QStringLiteral("/"), QStringLiteral("/opt/tarvo")),
                 QStringLiteral("/Tarvodb.mdb"));

        // The program folder is recorded as itself at start-up and as the default (empty) from the menu.
        const QString program = QStringLiteral("/opt/tarvo");
        QCOMPARE(recordedLocation(program, program, LocateMode::StartUp), program);
        QCOMPARE(recordedLocation(program, program, LocateMode::ChangeDirectory), QString());
        QCOMPARE(recordedLocation(program + QLatin1Char('/'), program, LocateMode::ChangeDirectory),
                 QString());
        QCOMPARE(recordedLocation(QStringLiteral("/srv"), program, LocateMode::ChangeDirectory),
                 QStringLiteral("/srv"));
        QCOMPARE(LocateChoice::chosen(QStringLiteral("/")).path, QStringLiteral("/Tarvodb.mdb"));
    }

    void changeDirectoryFromTheMenu_data()
    {
        QTest::addColumn<QString>("choice");  // what the file dialog returns
        QTest::addColumn<QString>("message"); // part of the message shown, "" for none
        QTest::addColumn<bool>("switched");
        QTest::newRow("cancel") << ""
                                << "" << false;
        QTest::newRow("folder without the database") << "empty"
                                                     << "Tarvo database not found!" << false;
        QTest::newRow("not a database") << "garbage"
                                        << "The database in use was not changed." << false;
        QTest::newRow("other folder") << "other"
                                      << "" << true;
        QTest::newRow("older database") << "old"
                                        << "" << true;
        QTest::newRow("back to the program folder") << "program"
                                                    << "" << true;
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
        QVERIFY(p.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"),
                                   current.path()));
        QVERIFY(rig.start());
        QCOMPARE(rig.window->statusText(),
                 QStringLiteral("Database dir = ") + current.path() + QLatin1Char('/'));
        rig.action(QStringLiteral("mnuBackupRestore"))->trigger();

        QString folder = other.path();
        if (choice.isEmpty())
            folder = current.path(); // the window shows where the search started
        else if (choice == QLatin1String("program"))
            folder = p.folder();
        else if (choice == QLatin1String("garbage"))
            writeGarbage(other.filePath(DatabaseFileName));
        else if (choice == QLatin1String("other"))
            p.createDatabase(other.filePath(DatabaseFileName));
        else if (choice == QLatin1String("old")) {
            p.createDatabase(other.filePath(DatabaseFileName));
            auto name = openDatabaseFile(other.filePath(DatabaseFileName));
            QVERIFY(execSql(QSqlDatabase::database(*name, false),
                            QStringLiteral("ALTER TABLE IP_Info DROP COLUMN Status")));
            closeDatabaseFile(*name);
        }
        if (!choice.isEmpty())
            p.fileDialogs.files.push_back(joinPath(folder, QStringLiteral("any file.mdb")));
        bool windowShown = false;
        if (choice != QLatin1String("empty")) {
            test::whenModalOpens([&folder, &windowShown](QWidget* dialog) {
                windowShown = true;
                QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                         folder + QLatin1Char('/'));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                                  Qt::LeftButton);
            });
        }

        rig.action(QStringLiteral("mnuChangeDBDir"))->trigger();
        QCOMPARE(windowShown, choice != QLatin1String("empty"));
        QVERIFY(!p.exit.ended);
        if (message.isEmpty()) {
            QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(QLatin1Char('\n'))));
        } else {
            QVERIFY(p.messenger.sawText(message));
            QCOMPARE(p.messenger.last().title, QStringLiteral("Error"));
        }
        QVERIFY(p.database.isOpen());
        const QString expected =
            switched ? joinPath(folder, DatabaseFileName) : current.filePath(DatabaseFileName);
        QCOMPARE(p.database.path(), expected);
        QCOMPARE(p.program.DatabasePath, expected);
        QCOMPARE(p.program.DatabaseFolder, folderOf(expected));
        QCOMPARE(test::openChildren(rig.window.get()).size(), switched ? 0 : 1);
        if (!switched) {
            QCOMPARE(location(p), current.path());
            return;
        }
        QCOMPARE(p.database.handle().record(QStringLiteral("IP_Info")).contains(QStringLiteral("Status")),
                 true);
        if (choice == QLatin1String("program")) {
            QCOMPARE(location(p), QString());
            QCOMPARE(rig.window->statusText(), QString());
        } else {
            QCOMPARE(location(p), folder);
            QCOMPARE(rig.window->statusText(), QStringLiteral("Database dir = ") + folder + QLatin1Char('/'));
        }
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
        rig.signIn.script.push_back({QStringLiteral("ghost"), GroupSistem});
        QVERIFY(rig.start());
        QCOMPARE(rig.p.session.LoginUserID, QStringLiteral("ghost"));
        QTemporaryDir other;
        rig.p.createDatabase(other.filePath(DatabaseFileName));
        rig.p.fileDialogs.files.push_back(other.filePath(DatabaseFileName));
        if (signsIn)
            rig.signIn.script.push_back({QStringLiteral("admin"), GroupHQ});
        test::clickInNextModal(QStringLiteral("Command1"));
        rig.action(QStringLiteral("mnuChangeDBDir"))->trigger();
        QCOMPARE(rig.signIn.changingLoginSeen, (QList<bool>{false, false}));
        QCOMPARE(rig.p.exit.ended, !signsIn);
        if (signsIn) {
            QCOMPARE(location(rig.p), other.path());
            QCOMPARE(rig.p.session.LoginUserID, QStringLiteral("admin"));
            QVERIFY(!rig.action(QStringLiteral("mnuMaklumatPengguna"))->isEnabled());
        } else {
            // Nothing is recorded for a database nobody signed in to.
            QCOMPARE(location(rig.p), rig.p.folder());
        }
    }

    void changeDirectoryThatCannotBeRecordedSaysSo()
    {
        MainRig rig;
        QVERIFY(rig.start());
        QTemporaryDir other;
        rig.p.createDatabase(other.filePath(DatabaseFileName));
        rig.p.fileDialogs.files.push_back(other.filePath(DatabaseFileName));
        rig.p.program.INIPath = rig.p.path(QStringLiteral("no-such-folder/Tarvo.ini"));
        test::clickInNextModal(QStringLiteral("Command1"));
        rig.action(QStringLiteral("mnuChangeDBDir"))->trigger();
        QCOMPARE(rig.p.database.path(), other.filePath(DatabaseFileName));
        QCOMPARE(rig.p.messenger.count(), 1);
        QVERIFY(rig.p.messenger.last().text.contains(rig.p.program.INIPath));
        QVERIFY(rig.p.messenger.last().text.endsWith(NextStartUnawareNote));
        QCOMPARE(rig.p.messenger.last().icon, MessageIcon::Critical);
    }

    void changeDirectoryWaitsForChildWindowsToClose()
    {
        MainRig rig;
        QVERIFY(rig.start());
        rig.action(QStringLiteral("mnuCarianRekod"))->trigger();
        rig.windows.lastChild->refuseClose = true;
        QTemporaryDir other;
        rig.p.createDatabase(other.filePath(DatabaseFileName));
        rig.p.fileDialogs.files.push_back(other.filePath(DatabaseFileName));
        test::clickInNextModal(QStringLiteral("Command1"));
        rig.action(QStringLiteral("mnuChangeDBDir"))->trigger();
        QCOMPARE(rig.p.database.path(), rig.p.databasePath());
        QCOMPARE(location(rig.p), rig.p.folder());
        rig.windows.lastChild->refuseClose = false;
    }

    void browseChoosesTheFolder()
    {
        MoveRig rig;
        QCOMPARE(rig.dialog.windowTitle(), QStringLiteral("Move database ..."));
        QCOMPARE(rig.dialog.focusWidget(), rig.browse);
        QVERIFY(!rig.move->isEnabled());
        QTest::mouseClick(rig.browse, Qt::LeftButton); // cancelled
        QVERIFY(!rig.move->isEnabled());
        QCOMPARE(rig.p.fileDialogs.folderTitles, QStringList{QStringLiteral("Choose Folder :")});
        rig.choose(QStringLiteral("/srv/tarvo/"));
        QCOMPARE(rig.path->text(), QStringLiteral("/srv/tarvo/"));
        QVERIFY(rig.move->isEnabled());
        QTest::mouseClick(rig.browse, Qt::LeftButton); // a cancel keeps the choice
        QCOMPARE(rig.path->text(), QStringLiteral("/srv/tarvo/"));
        rig.choose(QStringLiteral("/"));
        QCOMPARE(rig.path->text(), QStringLiteral("/"));
        QVERIFY(rig.dialog.findChild<QLabel*>(QStringLiteral("Label1"))
                    ->text()
                    .contains(QLatin1String("(Tarvodb.mdb)")));

        QTest::mouseClick(rig.dialog.findChild<QPushButton*>(QStringLiteral("cmdMapNetwork")),
                          Qt::LeftButton);
        QCOMPARE(rig.p.messenger.count(), 1);
        QVERIFY(rig.p.messenger.last().text.contains(QLatin1String("Browse")));
    }

    void moveCopiesTheDatabaseInUse()
    {
        MoveRig rig;
        TestProgram& p = rig.p;
        // Data that exists only in the live database (not in a freshly delivered one).
        QVERIFY(execSql(
            p.database.handle(),
            QStringLiteral("INSERT INTO Region (Region, AssignIP, Segment_ip) VALUES ('North', 12, 0)")));
        QTemporaryDir target;
        rig.choose(target.path());
        QTest::mouseClick(rig.move, Qt::LeftButton);

        const QString copy = target.filePath(DatabaseFileName);
        QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(QLatin1Char('\n'))));
        QCOMPARE(filesIn(target.path()), QStringList{DatabaseFileName});
        QCOMPARE(p.database.path(), copy);
        QVERIFY(hasArea(p.database.handle(), QStringLiteral("North")));
        QCOMPARE(p.program.DatabasePath, copy);
        QCOMPARE(p.program.DatabaseFolder, target.path());
        QCOMPARE(location(p), target.path());
        QCOMPARE(rig.close->text(), QStringLiteral("OK"));
        QVERIFY(!rig.move->isEnabled());
        // The original stays where it was.
        QVERIFY(hasArea(p.databasePath(), QStringLiteral("North")));

        // Moving into the folder it already lives in copies nothing.
        rig.choose(target.path());
        QTest::mouseClick(rig.move, Qt::LeftButton);
        QVERIFY(p.messenger.isEmpty());
        QCOMPARE(p.database.path(), copy);
    }

    void moveAsksBeforeReplacing()
    {
        MoveRig rig;
        TestProgram& p = rig.p;
        QTemporaryDir target;
        const QString existing = target.filePath(DatabaseFileName);
        p.createDatabase(existing);
        addArea(existing, QStringLiteral("Kept"));
        rig.choose(target.path());

        p.messenger.answer(MessageAnswer::Cancel);
        QTest::mouseClick(rig.move, Qt::LeftButton);
        QCOMPARE(p.messenger.count(), 1);
        QCOMPARE(p.messenger.last().text,
                 QStringLiteral("Tarvo database already exist in ") + target.path() +
                     QStringLiteral("/ folder. Are you sure to REPLACE Tarvo database?"));
        QCOMPARE(p.messenger.last().title, QStringLiteral("Replace Database"));
        QCOMPARE(p.messenger.last().buttons, MessageButtons::OkCancel);
        QVERIFY(hasArea(existing, QStringLiteral("Kept")));
        QVERIFY(rig.move->isEnabled());
        QCOMPARE(p.database.path(), p.databasePath());
        QCOMPARE(location(p), QString());

        p.messenger.answer(MessageAnswer::Ok);
        QTest::mouseClick(rig.move, Qt::LeftButton);
        QVERIFY(!hasArea(existing, QStringLiteral("Kept")));
        QCOMPARE(p.database.path(), existing);
        QCOMPARE(location(p), target.path());
    }

    void failedMoveRecordsNothing_data()
    {
        QTest::addColumn<bool>("copyFails"); // otherwise the INI file cannot be written
        QTest::newRow("copy fails") << true;
        QTest::newRow("folder cannot be recorded") << false;
    }
    void failedMoveRecordsNothing()
    {
        QFETCH(bool, copyFails);
        MoveRig rig;
        TestProgram& p = rig.p;
        QString gone;
        QTemporaryDir target;
        if (copyFails) {
            QTemporaryDir removed;
            gone = removed.path();
            rig.choose(gone);
        } else {
            rig.choose(target.path());
            p.program.INIPath = p.path(QStringLiteral("no-such-folder/Tarvo.ini"));
        }
        QTest::mouseClick(rig.move, Qt::LeftButton);
        QCOMPARE(p.messenger.count(), 1);
        QCOMPARE(p.messenger.last().title, QStringLiteral("Error !!!"));
        QCOMPARE(p.messenger.last().icon, MessageIcon::Critical);
        if (copyFails) {
            QVERIFY(p.messenger.last().text.contains(gone));
            QVERIFY(p.messenger.last().text.endsWith(QLatin1String("\r\n\r\nTarvo database was open.")));
        } else {
            QVERIFY(p.messenger.last().text.contains(p.program.INIPath));
            p.program.INIPath = p.iniPath();
        }
        // The database in use stays the one the next start opens.
        QCOMPARE(p.database.path(), p.databasePath());
        QCOMPARE(p.program.DatabasePath, p.databasePath());
        QCOMPARE(location(p), QString());
        QVERIFY(rig.move->isEnabled());
        QCOMPARE(rig.close->text(), QStringLiteral("Cancel"));
    }

    void copyLeavesNothingBehindOnFailure()
    {
        TestProgram p;
        QTemporaryDir target;
        // Not a database: refused before anything is written.
        writeGarbage(target.filePath(QStringLiteral("source.mdb")));
        QVERIFY(!copyDatabaseFile(target.filePath(QStringLiteral("source.mdb")),
                                  target.filePath(DatabaseFileName)));
        QCOMPARE(filesIn(target.path()), QStringList{QStringLiteral("source.mdb")});
        // A file cannot be copied onto itself.
        QVERIFY(!copyDatabaseFile(p.databasePath(), p.databasePath()));
        QVERIFY(hasArea(p.databasePath(), QStringLiteral("Headquarters")));
        // The target name is taken by a folder: the rename fails and the snapshot is removed.
        QVERIFY(QDir(target.path()).mkdir(DatabaseFileName));
        QDir(target.path()).mkpath(DatabaseFileName + QStringLiteral("/inside"));
        QVERIFY(!copyDatabaseFile(p.databasePath(), target.filePath(DatabaseFileName)));
        QCOMPARE(filesIn(target.path()), QStringList{QStringLiteral("source.mdb")});
    }
};

QTEST_MAIN(DatabaseLocationTest)
#include "DatabaseLocationTest.moc"
