#include "CoreTestHelpers.h"
#include "UserFolders.h"

#include "core/ProgramFolder.h"
#include "core/StartUp.h"
#include "core/Version.h"
#include "core/frmCariDB.h"
#include "core/frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <string>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::TestProgram;

namespace {

// Helper mode of this executable: a running first instance that takes the lock of a program folder,
// says so on its output and waits until it is killed.
int holdLock(const char* lockFolder, const char* programFolder)
{
    LockFileInstanceGuard guard(LockFileInstanceGuard::lockPathIn(QString::fromLocal8Bit(lockFolder),
                                                                  QString::fromLocal8Bit(programFolder)));
    std::cout << (guard.tryAcquire() ? "locked" : "refused") << std::endl;
    std::string line;
    std::getline(std::cin, line); // until killed (or stdin closes)
    return 0;
}

// An instance guard with a fixed answer.
struct FakeInstanceGuard final : InstanceGuard
{
    explicit FakeInstanceGuard(bool isFree) : free(isFree) {}
    bool tryAcquire() override { return free; }
    bool free;
};

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The start-up with the real locate dialog. In the columns %1 stands for another folder, %2 for an
    // empty folder and %3 for the program folder.
    void findsOrAsksForTheDatabase_data()
    {
        QTest::addColumn<QString>("ini");      // the text of Tarvo.ini, "-" for none
        QTest::addColumn<QString>("database"); // "<folder>:old", "<folder>:garbage" or "<folder>:repeated"
                                               // (no upgrade possible), blank-separated; "late" is the
                                               // program folder once the locate dialog runs
        QTest::addColumn<QString>("picks");    // the folders of the files picked in the file dialog, one
                                               // per run of the locate dialog ("-" a cancel)
        QTest::addColumn<QString>("window");   // the folders the locate window shows, "x" before one: the
                                               // window is closed by its frame
        QTest::addColumn<QString>("message");  // parts of the messages shown, "|"-separated
        QTest::addColumn<QString>("opened");   // the folder of the database in use, "" for none
        QTest::addColumn<QString>("recorded"); // Database/DatabaseLocation afterwards
        const auto row = [](const char* name, const char* ini, const char* database, const char* picks,
                            const char* window, const char* message, const char* opened,
                            const char* recorded) {
            QTest::newRow(name) << QString::fromUtf8(ini) << QString::fromUtf8(database)
                                << QString::fromUtf8(picks) << QString::fromUtf8(window)
                                << QString::fromUtf8(message) << QString::fromUtf8(opened)
                                << QString::fromUtf8(recorded);
        };
        const char* const blank = "[database]\ndatabaselocation=\"   \"\n";
        const char* const atOther = "[Database]\nDatabaseLocation=%1/\n";
        const char* const atEmpty = "[Database]\nDatabaseLocation=%2\n";
        row("no Tarvo.ini", "-", "%3:old", "", "", "copy it to %3.", "", "");
        row("in the program folder, blank location", blank, "%3:old", "", "", "", "%3", "   ");
        row("in the recorded folder", atOther, "%1:old", "", "", "", "%1", "%1/");
        row("unreadable at its path, another chosen", "", "%3:garbage %1:old", "%1", "%1/", "%3/Tarvodb.mdb",
            "%1", "%1");
        row("unreadable at its path, cancel", atOther, "%1:garbage", "-", "%1/",
            "%1/Tarvodb.mdb|No Database !!!", "", "%1/");
        row("no upgrade possible, cancel", atOther, "%1:repeated", "-", "%1/",
            "each address may be recorded once. The database was not changed.|No Database !!!", "", "%1/");
        row("cancel without a location", "", "", "-", "", "No Database !!!", "", "");
        row("cancel with a location", atEmpty, "", "-", "%2/", "No Database !!!", "", "%2");
        row("folder without the database", "", "", "%2", "", "Tarvo database not found!", "", "");
        row("folder with the database", "", "%1:old", "%1", "%1/", "", "%1", "%1");
        row("picked, window closed by its frame", "", "%1:old", "%1", "x%1/", "", "%1", "%1");
        row("unreadable database chosen, then a good one", "", "%1:garbage %2:old", "%1 %2", "%1/ %2/",
            "%1/Tarvodb.mdb", "%2", "%2");
        row("program folder chosen", "", "late:old", "%3", "%3/", "", "%3", "%3");
    }
    void findsOrAsksForTheDatabase()
    {
        QFETCH(QString, ini);
        QFETCH(QString, database);
        QFETCH(QString, picks);
        QFETCH(QString, window);
        QFETCH(QString, message);
        QFETCH(QString, opened);
        QFETCH(QString, recorded);
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        QTemporaryDir empty;
        const auto place = [&](QString text) {
            return text.replace(u"%1"_s, other.path())
                .replace(u"%2"_s, empty.path())
                .replace(u"%3"_s, p.folder());
        };
        if (ini == u"-")
            QVERIFY(QFile::remove(p.iniPath()));
        else
            p.writeIni(place(ini));
        const QByteArray garbage = "not a database, just text";
        QStringList garbageFiles;
        for (const QString& file : database.split(u' ', Qt::SkipEmptyParts)) {
            const QString path = joinPath(place(file.section(u':', 0, 0)), DatabaseFileName);
            if (file.endsWith(u":garbage")) {
                test::writeFile(path, garbage);
                garbageFiles << path;
            } else if (file.endsWith(u":repeated")) {
                test::makeChangedDatabase(
                    path, {u"DROP INDEX IP_Info_IP_Address"_s,
                           u"INSERT INTO IP_Info (IP_Address) VALUES ('10.1.1.1'), ('10.1.1.1')"_s});
            } else if (file.startsWith(u'%')) {
                test::makeOldDatabase(path);
            }
        }
        const QStringList runs = picks.split(u' ', Qt::SkipEmptyParts);
        for (const QString& pick : runs)
            p.fileDialogs.files.push_back(pick == u"-" ? QString() : joinPath(place(pick), u"picked.mdb"_s));
        const QString initialLocation = p.context.ReadINI(u"Database"_s, u"DatabaseLocation"_s);
        QStringList windows = window.split(u' ', Qt::SkipEmptyParts);
        QStringList shown;

        FakeInstanceGuard guard(true);
        int locateRuns = 0;
        int mainWindowShown = 0;
        StartUp startUp(
            p.context, guard,
            [&] {
                ++locateRuns;
                if (database.startsWith(u"late"))
                    test::makeOldDatabase(p.databasePath());
                const bool byFrame = !windows.isEmpty() && windows.constFirst().startsWith(u'x');
                if (!windows.isEmpty()) {
                    windows.removeFirst();
                    test::whenModalOpens([&shown, byFrame](QWidget* dialog) {
                        shown << dialog->findChild<QLabel*>(u"Label2"_s)->text();
                        if (byFrame)
                            dialog->close();
                        else
                            QTest::mouseClick(dialog->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
                    });
                }
                return frmCariDB(p.context, LocateMode::StartUp).run();
            },
            [&] { ++mainWindowShown; });
        const bool ends = opened.isEmpty();
        QCOMPARE(startUp.run(), !ends);
        QCOMPARE(p.exit.ended, ends);
        QCOMPARE(locateRuns, runs.size());
        QCOMPARE(mainWindowShown, ends ? 0 : 1);
        QCOMPARE(shown.join(u' '), place(window.remove(QRegularExpression(u"(^|(?<= ))x"_s))));
        // One message for each failure, and only those.
        const QStringList messages = message.split(u'|', Qt::SkipEmptyParts);
        QCOMPARE(p.messenger.texts().size(), messages.size());
        for (const QString& part : messages)
            QVERIFY2(p.messenger.sawText(place(part)), qPrintable(p.messenger.texts().join(u'\n')));
        // The file dialog starts in the recorded folder, else in the program folder.
        if (!p.fileDialogs.fileRequests.isEmpty())
            QCOMPARE(QDir::cleanPath(p.fileDialogs.fileRequests.constFirst().startFolder),
                     initialLocation.isEmpty() ? p.folder() : QDir::cleanPath(initialLocation));
        QCOMPARE(p.database.isOpen(), !opened.isEmpty());
        if (!opened.isEmpty()) {
            // The folder's database is used, whichever file of it was picked, and is upgraded.
            QCOMPARE(p.database.path(), joinPath(place(opened), DatabaseFileName));
            QCOMPARE(p.program.DatabasePath, p.database.path());
            QCOMPARE(p.program.DatabaseFolder, place(opened));
            QVERIFY(p.database.handle().record(u"City"_s).contains(u"ToIPRange"_s));
        }
        QCOMPARE(p.context.ReadINI(u"Database"_s, u"DatabaseLocation"_s), place(recorded));
        // The program never creates Tarvo.ini, and never changes a file that is not a database.
        QCOMPARE(QFile::exists(p.iniPath()), ini != u"-");
        for (const QString& path : std::as_const(garbageFiles))
            QCOMPARE(test::readFile(path), garbage);
    }

    // Without TARVO_HOME the program folder is the executable's folder when it holds Tarvo.ini, else
    // the per-user data folder when that does; when neither does, the start-up names both.
    void programFolderWithoutTarvoHome_data()
    {
        QTest::addColumn<bool>("inDataFolder");
        QTest::newRow("prepared in the data folder") << true;
        QTest::newRow("nowhere") << false;
    }
    void programFolderWithoutTarvoHome()
    {
        QFETCH(bool, inDataFolder);
        test::UserFolders folders;
        TestProgram p(TestProgram::Setup::IniOnly);
        qunsetenv("TARVO_HOME");
        const QString executable = QCoreApplication::applicationDirPath();
        const QString data = folders.dataHome() + u"/Tarvo"_s;
        QCOMPARE(programFolderPlaces(), (QStringList{executable, data}));
        if (inDataFolder) {
            QVERIFY(QDir().mkpath(data));
            test::writeFile(joinPath(data, IniFileName), "[Database]\n");
            QVERIFY(createDeliveredDatabase(joinPath(data, DatabaseFileName)));
            // The executable's folder comes first when both hold the file.
            QCOMPARE(firstFolderWithIniFile({p.folder(), data}), p.folder());
        }
        p.program.ProgramFolder = programFolder();
        QCOMPARE(p.program.ProgramFolder, inDataFolder ? data : executable);

        FakeInstanceGuard guard(true);
        QCOMPARE(StartUp(p.context, guard, {}, [] {}).run(), inDataFolder);
        QCOMPARE(p.database.path(), inDataFolder ? joinPath(data, DatabaseFileName) : QString());
        const QStringList told = p.messenger.texts();
        QCOMPARE(told.size(), inDataFolder ? 0 : 1);
        if (!inDataFolder)
            QVERIFY2(told.constFirst().contains(u"copy it to %1 or %2."_s.arg(executable, data)),
                     qPrintable(told.constFirst()));
    }

    void startUpRemovesWhatAKilledRunLeft()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        p.writeIni(u"[Database]\nDatabaseLocation="_s + other.path());
        const QString database = joinPath(other.path(), DatabaseFileName);
        test::makeOldDatabase(database);
        const QStringList left = {test::endedProcessTemporary(p.iniPath()),
                                  test::endedProcessTemporary(database)};
        for (const QString& path : left)
            test::writeFile(path, "half written");
        FakeInstanceGuard guard(true);
        QVERIFY(StartUp(p.context, guard, {}, [] {}).run());
        for (const QString& path : left)
            QVERIFY2(!QFile::exists(path), qPrintable(path));
    }

    void secondInstanceEndsBeforeAnythingElse()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        p.createDatabase();
        // Neither the locate dialog nor the main window is there to be reached.
        FakeInstanceGuard taken(false);
        QVERIFY(!StartUp(p.context, taken, {}, {}).claimInstance());
        QVERIFY(p.exit.ended);
        QCOMPARE(p.messenger.texts(), QStringList{u"Tarvo software is already open !"_s});
        QVERIFY(!p.database.isOpen());
        FakeInstanceGuard free(true);
        QVERIFY(StartUp(p.context, free, {}, {}).claimInstance());
    }

    void runningInstanceBlocksAndCrashedOneDoesNot()
    {
        QTemporaryDir locks;
        QTemporaryDir programA;
        QTemporaryDir programB;
        const auto lockOf = [&locks](const QString& program) {
            return LockFileInstanceGuard::lockPathIn(locks.path(), program);
        };
        // A first instance in another process holds the lock.
        QProcess first;
        first.start(QCoreApplication::applicationFilePath(),
                    {u"--hold-lock"_s, locks.path(), programA.path()});
        QVERIFY(first.waitForReadyRead(30000));
        QCOMPARE(first.readLine().trimmed(), QByteArray("locked"));
        // The same program folder, also written with a trailing separator, is blocked; another
        // installation is not.
        QVERIFY(!LockFileInstanceGuard(lockOf(programA.path() + u'/')).tryAcquire());
        LockFileInstanceGuard elsewhere(lockOf(programB.path()));
        QVERIFY(elsewhere.tryAcquire());

        // The first instance dies without releasing its lock: the lock file stays behind, stale.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(lockOf(programA.path())));
        LockFileInstanceGuard afterCrash(lockOf(programA.path()));
        QVERIFY(afterCrash.tryAcquire());
        QVERIFY(afterCrash.tryAcquire()); // asking again keeps the claim

        // A lock folder that is missing shows nothing of a program running elsewhere.
        QVERIFY(LockFileInstanceGuard(
                    LockFileInstanceGuard::lockPathIn(locks.filePath(u"missing/folder"_s), programA.path()))
                    .tryAcquire());
    }

    // A data folder apart from the executable's: the database and settings there are kept, the help
    // file is brought up to date so that Help finds it.
    void setupPreparesADataFolderApartFromTheProgram()
    {
        QTemporaryDir data;
        const QDir folder(data.path());
        test::writeFile(folder.filePath(u"Tarvo.ini"_s), "[Database]\nDatabaseLocation=/srv/tarvo\n");
        test::writeFile(folder.filePath(u"TarvoHelp.html"_s), "an older help file");
        QProcess setup;
        setup.start(QStringLiteral(TARVO_SETUP), {data.path()});
        QVERIFY(setup.waitForFinished(30000));
        QCOMPARE(setup.exitCode(), 0);

        DatabaseConnection database;
        QVERIFY(database.open(folder.filePath(u"Tarvodb.mdb"_s)));
        QCOMPARE(test::readFile(folder.filePath(u"Tarvo.ini"_s)),
                 "[Database]\nDatabaseLocation=/srv/tarvo\n");
        const QByteArray shipped =
            test::readFile(QFileInfo(QStringLiteral(TARVO_SETUP)).dir().filePath(u"TarvoHelp.html"_s));
        QVERIFY(shipped.size() > 100);
        QCOMPARE(test::readFile(folder.filePath(u"TarvoHelp.html"_s)), shipped);
    }

    void splashShowsTheVersionAndClosesOnTheTickAfterTheBarIsFull()
    {
        frmSplash splash;
        QCOMPARE(splash.findChild<QLabel*>(u"lbl_version"_s)->text(), u"Tarvo : Version "_s + versionText());
        auto* timer = splash.findChild<QTimer*>(u"tim_delay"_s);
        splash.show();
        QVERIFY(timer->isActive());
        // The test gives the ticks; the timer has no event loop to fire in.
        QSignalSpy finished(&splash, &frmSplash::finished);
        for (int tick = 1; tick <= 75; ++tick)
            splash.tim_delay_Timer();
        QCOMPARE(splash.findChild<QProgressBar*>(u"pro_delay"_s)->value(), 75);
        QVERIFY(finished.isEmpty());
        // The closing tick, and as many again as a second round would take.
        for (int tick = 0; tick <= 76; ++tick)
            splash.tim_delay_Timer();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!splash.isVisible());
        QVERIFY(!timer->isActive());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--hold-lock") == 0)
        return holdLock(argv[2], argv[3]);
    QApplication app(argc, argv);
    StartUpTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "StartUpTest.moc"
