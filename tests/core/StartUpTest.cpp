#include "CoreTestHelpers.h"

#include "core/BuildInfo.h"
#include "core/ProgramFolder.h"
#include "core/StartUp.h"
#include "core/Version.h"
#include "core/frmCariDB.h"
#include "core/frmSplash.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTimer>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::TestProgram;

namespace {

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

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
        QTest::addColumn<QString>("database"); // "<folder>:old" or "<folder>:garbage"; "late" is the
                                               // program folder once the locate dialog runs
        QTest::addColumn<QString>("pick");     // the folder of the file picked in the file dialog, "-" if
                                               // the locate dialog does not run
        QTest::addColumn<QString>("window");   // the folder the locate window shows, "" if not shown
        QTest::addColumn<QString>("message");  // part of the message shown, "" for none
        QTest::addColumn<QString>("opened");   // the folder of the database in use, "" for none
        QTest::addColumn<QString>("recorded"); // Database/DatabaseLocation afterwards
        QTest::addColumn<bool>("ends");
        QTest::newRow("no Tarvo.ini")
            << u"-"_s << u"%3:old"_s << u"-"_s << u""_s << u"copy it to %3."_s << u""_s << u""_s << true;
        const QString blank = u"[database]\ndatabaselocation=\"   \"\n"_s;
        QTest::newRow("in the program folder, blank location")
            << blank << u"%3:old"_s << u"-"_s << u""_s << u""_s << u"%3"_s << u"   "_s << false;
        QTest::newRow("in the recorded folder") << u"[Database]\nDatabaseLocation=%1/\n"_s << u"%1:old"_s
                                                << u"-"_s << u""_s << u""_s << u"%1"_s << u"%1/"_s << false;
        QTest::newRow("unreadable at its path")
            << u""_s << u"%3:garbage"_s << u"-"_s << u""_s << u"%3/Tarvodb.mdb"_s << u""_s << u""_s << false;
        QTest::newRow("cancel without a location")
            << u""_s << u""_s << u""_s << u""_s << u"No Database !!!"_s << u""_s << u""_s << true;
        QTest::newRow("cancel with a location")
            << u"[Database]\nDatabaseLocation=%2\n"_s << u""_s << u""_s << u"%2/"_s << u"%2/Tarvodb.mdb"_s
            << u""_s << u"%2"_s << false;
        QTest::newRow("folder without the database")
            << u""_s << u""_s << u"%2"_s << u""_s << u"Tarvo database not found!"_s << u""_s << u""_s << true;
        QTest::newRow("folder with the database")
            << u""_s << u"%1:old"_s << u"%1"_s << u"%1/"_s << u""_s << u"%1"_s << u"%1"_s << false;
        QTest::newRow("unreadable database chosen") << u""_s << u"%1:garbage"_s << u"%1"_s << u"%1/"_s
                                                    << u"%1/Tarvodb.mdb"_s << u""_s << u""_s << false;
        QTest::newRow("program folder chosen")
            << u""_s << u"late:old"_s << u"%3"_s << u"%3/"_s << u""_s << u"%3"_s << u"%3"_s << false;
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

    void secondInstanceEndsWithoutTouchingAnything()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        p.createDatabase();
        const QByteArray ini = fileDigest(p.iniPath());
        const QByteArray database = fileDigest(p.databasePath());

        // Neither the locate dialog nor the main window is there to be reached.
        test::FakeInstanceGuard taken(false);
        QVERIFY(!StartUp(p.context, taken, {}, {}).claimInstance());
        QVERIFY(p.exit.ended);
        QCOMPARE(p.messenger.texts(), QStringList{u"Tarvo software is already open !"_s});
        QVERIFY(!p.database.isOpen());
        QCOMPARE(fileDigest(p.iniPath()), ini);
        QCOMPARE(fileDigest(p.databasePath()), database);

        test::FakeInstanceGuard free(true);
        QVERIFY(StartUp(p.context, free, {}, {}).claimInstance());
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
