#include "CoreTestHelpers.h"

#include "core/BuildInfo.h"
#include "core/ProgramFolder.h"
#include "core/StartUp.h"
#include "core/Version.h"
#include "core/frmCariDB.h"
#include "core/frmSplash.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTimer>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::TestProgram;

class StartUpTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The start-up with the real locate dialog. In the columns %1 stands for another folder, %2 for an
    // empty folder and %3 for the program folder.
    void findsOrAsksForTheDatabase_data()
    {
        QTest::addColumn<QString>("ini");      // the text of Tarvo.ini, "-" for none
        QTest::addColumn<QString>("database"); // "<folder>:old" or "<folder>:garbage"; "late" is the
                                               // program folder once the locate dialog runs
        QTest::addColumn<QString>("pick");     // the folder of the file picked in the file dialog, "-" if
                                               // the locate dialog does not run
        QTest::addColumn<QString>("window");   // the folder the locate window shows, "" if not shown
        QTest::addColumn<QString>("message");  // part of the message shown, "" for none
        QTest::addColumn<QString>("opened");   // the folder of the database in use, "" for none
        QTest::addColumn<QString>("recorded"); // Database/DatabaseLocation afterwards
        QTest::addColumn<bool>("ends");
        const auto row = [](const char* name, const char* ini, const char* database, const char* pick,
                            const char* window, const char* message, const char* opened, const char* recorded,
                            bool ends) {
            QTest::newRow(name) << QString::fromUtf8(ini) << QString::fromUtf8(database)
                                << QString::fromUtf8(pick) << QString::fromUtf8(window)
                                << QString::fromUtf8(message) << QString::fromUtf8(opened)
                                << QString::fromUtf8(recorded) << ends;
        };
        const char* const blank = "[database]\ndatabaselocation=\"   \"\n";
        const char* const atOther = "[Database]\nDatabaseLocation=%1/\n";
        const char* const atEmpty = "[Database]\nDatabaseLocation=%2\n";
        row("no Tarvo.ini", "-", "%3:old", "-", "", "copy it to %3.", "", "", true);
        row("in the program folder, blank location", blank, "%3:old", "-", "", "", "%3", "   ", false);
        row("in the recorded folder", atOther, "%1:old", "-", "", "", "%1", "%1/", false);
        row("unreadable at its path", "", "%3:garbage", "-", "", "%3/Tarvodb.mdb", "", "", false);
        row("cancel without a location", "", "", "", "", "No Database !!!", "", "", true);
        row("cancel with a location", atEmpty, "", "", "%2/", "%2/Tarvodb.mdb", "", "%2", false);
        row("folder without the database", "", "", "%2", "", "Tarvo database not found!", "", "", true);
        row("folder with the database", "", "%1:old", "%1", "%1/", "", "%1", "%1", false);
        row("unreadable database chosen", "", "%1:garbage", "%1", "%1/", "%1/Tarvodb.mdb", "", "", false);
        row("program folder chosen", "", "late:old", "%3", "%3/", "", "%3", "%3", false);
    }
    void findsOrAsksForTheDatabase()
    {
        QFETCH(QString, ini);
        QFETCH(QString, database);
        QFETCH(QString, pick);
        QFETCH(QString, window);
        QFETCH(QString, message);
        QFETCH(QString, opened);
        QFETCH(QString, recorded);
        QFETCH(bool, ends);
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
        const QString databaseFile = joinPath(place(database.section(u':', 0, 0)), DatabaseFileName);
        if (database.endsWith(u":garbage"))
            test::writeFile(databaseFile, "not a database, just text");
        else if (database.startsWith(u'%'))
            test::makeOldDatabase(databaseFile);
        if (!pick.isEmpty() && pick != u"-")
            p.fileDialogs.files.push_back(joinPath(place(pick), u"picked.mdb"_s));
        QString shown;
        if (!window.isEmpty()) {
            test::whenModalOpens([&shown](QWidget* dialog) {
                shown = dialog->findChild<QLabel*>(u"Label2"_s)->text();
                QTest::mouseClick(dialog->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
            });
        }

        test::FakeInstanceGuard guard(true);
        int locateRuns = 0;
        int mainWindowShown = 0;
        StartUp startUp(
            p.context, guard,
            [&] {
                ++locateRuns;
                if (database.startsWith(u"late"))
                    test::makeOldDatabase(p.databasePath());
                return frmCariDB(p.context, LocateMode::StartUp).run();
            },
            [&] { ++mainWindowShown; });
        QCOMPARE(startUp.run(), !ends);
        QCOMPARE(p.exit.ended, ends);
        QCOMPARE(locateRuns, pick == u"-" ? 0 : 1);
        QCOMPARE(mainWindowShown, ends ? 0 : 1);
        QCOMPARE(shown, place(window));
        if (message.isEmpty())
            QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(u'\n')));
        else
            QVERIFY(p.messenger.sawText(place(message)));
        // The file dialog starts in the recorded folder, else in the program folder.
        if (!p.fileDialogs.fileRequests.isEmpty())
            QCOMPARE(p.fileDialogs.fileRequests.constFirst().startFolder,
                     ini.isEmpty() ? p.folder() : empty.path());
        QCOMPARE(p.database.isOpen(), !opened.isEmpty());
        if (!opened.isEmpty()) {
            // The folder's database is used, whichever file of it was picked, and is upgraded.
            QCOMPARE(p.database.path(), joinPath(place(opened), DatabaseFileName));
            QCOMPARE(p.program.DatabasePath, p.database.path());
            QCOMPARE(p.program.DatabaseFolder, place(opened));
            QVERIFY(p.database.handle().record(u"City"_s).contains(u"StartIPRange"_s));
            QVERIFY(p.database.handle().record(u"City"_s).contains(u"ToIPRange"_s));
        }
        QCOMPARE(p.context.ReadINI(u"Database"_s, u"DatabaseLocation"_s), place(recorded));
        // The program never creates Tarvo.ini.
        QCOMPARE(QFile::exists(p.iniPath()), ini != u"-");
    }

    void secondInstanceEndsBeforeAnythingElse()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        p.createDatabase();
        // Neither the locate dialog nor the main window is there to be reached.
        test::FakeInstanceGuard taken(false);
        QVERIFY(!StartUp(p.context, taken, {}, {}).claimInstance());
        QVERIFY(p.exit.ended);
        QCOMPARE(p.messenger.texts(), QStringList{u"Tarvo software is already open !"_s});
        QVERIFY(!p.database.isOpen());
        test::FakeInstanceGuard free(true);
        QVERIFY(StartUp(p.context, free, {}, {}).claimInstance());
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
        QFile ini(folder.filePath(u"Tarvo.ini"_s));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Database]\nDatabaseLocation=/srv/tarvo\n"));
        QFile help(folder.filePath(u"TarvoHelp.html"_s));
        QFile shipped(QFileInfo(QStringLiteral(TARVO_SETUP)).dir().filePath(u"TarvoHelp.html"_s));
        QVERIFY(help.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
        QVERIFY(shipped.size() > 0);
        QCOMPARE(help.readAll(), shipped.readAll());
    }

    void splashShowsTheVersionAndClosesOnTheTickAfterTheBarIsFull()
    {
        frmSplash splash;
        QCOMPARE(splash.findChild<QLabel*>(u"lbl_version"_s)->text(), u"Tarvo : Version "_s + versionText());
        QCOMPARE(versionText(),
                 formatVersion(build::VersionMajor, build::VersionMinor, build::VersionRevision));
        auto* timer = splash.findChild<QTimer*>(u"tim_delay"_s);
        splash.show();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 50);
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

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
