#include "CoreTestHelpers.h"
#include "TestProgram.h"

#include "core/BuildInfo.h"
#include "core/DeliveredDatabase.h"
#include "core/ProgramFolder.h"
#include "core/Sql.h"
#include "core/StartUp.h"
#include "core/Version.h"
#include "core/frmCariDB.h"
#include "core/frmSplash.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>

using namespace tarvo;
using test::TestProgram;

namespace {

// The start-up under test with its collaborators faked: the locate dialog answers from a script
// and the main window only counts how often it was shown.
struct StartUpRig
{
    explicit StartUpRig(TestProgram& p, bool instanceFree = true)
        : guard(instanceFree), startUp(
                                   p.context, guard,
                                   [this] {
                                       ++locateRuns;
                                       if (beforeAnswer)
                                           beforeAnswer();
                                       return locateAnswer;
                                   },
                                   [this] { ++mainWindowShown; })
    {}

    test::FakeInstanceGuard guard;
    LocateChoice locateAnswer = LocateChoice::kept();
    std::function<void()> beforeAnswer;
    int locateRuns = 0;
    int mainWindowShown = 0;
    StartUp startUp;
};

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A Tarvo database from before the City range and IP_Info status columns.
void makeOldDatabase(const QString& path)
{
    QVERIFY(createDeliveredDatabase(path));
    auto name = openDatabaseFile(path);
    QVERIFY(name);
    {
        const QSqlDatabase db = QSqlDatabase::database(*name, false);
        QVERIFY(execSql(db, QStringLiteral("ALTER TABLE City DROP COLUMN StartIPRange")));
        QVERIFY(execSql(db, QStringLiteral("ALTER TABLE City DROP COLUMN ToIPRange")));
    }
    closeDatabaseFile(*name);
}

bool cityHasRangeColumns(const QSqlDatabase& db)
{
    const QSqlRecord record = db.record(QStringLiteral("City"));
    return record.contains(QStringLiteral("StartIPRange")) && record.contains(QStringLiteral("ToIPRange"));
}

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void missingIniEndsTheProgram()
    {
        TestProgram p(TestProgram::Setup::Empty);
        p.program.INIPath.clear();
        StartUpRig rig(p);
        QVERIFY(!rig.startUp.run());
        QVERIFY(p.exit.ended);
        QCOMPARE(p.messenger.count(), 1);
        const Message& message = p.messenger.last();
        QCOMPARE(message.title, QStringLiteral("File not found..."));
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(
            message.text,
            QStringLiteral(
                "Can't find the 'Tarvo.ini' file. This file is mandatory for this program to run "
                "correctly. If you can find this file elsewhere on your computer, safely copy it to ") +
                p.folder() +
                QStringLiteral(".\r\n\r\nIf this does not work, you will have to reinstall the program."));
        QCOMPARE(rig.locateRuns, 0);
        QCOMPARE(rig.mainWindowShown, 0);
        QVERIFY(p.program.INIPath.isEmpty());
        // The program never creates the file.
        QVERIFY(!QFile::exists(p.iniPath()));
    }

    void databasePathComesFromTheIni_data()
    {
        QTest::addColumn<QString>("iniText");
        QTest::addColumn<bool>("inOtherFolder");
        QTest::newRow("empty file") << QString() << false;
        QTest::newRow("empty location") << QStringLiteral("[Database]\nDatabaseLocation=\n") << false;
        QTest::newRow("blank location") << QStringLiteral("[database]\ndatabaselocation=\"   \"\n") << false;
        QTest::newRow("other folder") << QStringLiteral("[Database]\nDatabaseLocation=%1\n") << true;
        QTest::newRow("other folder, trailing separator")
            << QStringLiteral("[Database]\nDatabaseLocation=%1/\n") << true;
    }
    void databasePathComesFromTheIni()
    {
        QFETCH(QString, iniText);
        QFETCH(bool, inOtherFolder);
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        const QString folder = inOtherFolder ? other.path() : p.folder();
        p.writeIni(iniText.contains(QLatin1String("%1")) ? iniText.arg(other.path()) : iniText);
        p.createDatabase(joinPath(folder, DatabaseFileName));
        p.program.DatabasePath.clear();

        StartUpRig rig(p);
        QVERIFY(rig.startUp.run());
        QCOMPARE(p.program.INIPath, p.iniPath());
        QCOMPARE(p.program.DatabasePath, joinPath(folder, DatabaseFileName));
        QCOMPARE(p.program.DatabaseFolder, folder);
        QCOMPARE(rig.locateRuns, 0);
        QCOMPARE(rig.mainWindowShown, 1);
        QVERIFY(p.database.isOpen());
        QCOMPARE(p.database.path(), p.program.DatabasePath);
        QVERIFY(p.messenger.isEmpty());
    }

    void existingDatabaseIsUpgradedWithoutTheLocateDialog()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        makeOldDatabase(p.databasePath());
        p.program.ProductTitle.clear();
        StartUpRig rig(p);
        QVERIFY(rig.startUp.run());
        QCOMPARE(rig.locateRuns, 0);
        QVERIFY(p.database.isOpen());
        QVERIFY(cityHasRangeColumns(p.database.handle()));
        QCOMPARE(p.program.ProductTitle, QStringLiteral("Tarvo"));
        QCOMPARE(rig.mainWindowShown, 1);
    }

    void missingDatabaseAsksForIt()
    {
        // Ending in the locate dialog ends the program before the main window.
        {
            TestProgram p(TestProgram::Setup::IniOnly);
            StartUpRig rig(p);
            rig.locateAnswer = LocateChoice::endProgram();
            QVERIFY(!rig.startUp.run());
            QCOMPARE(rig.locateRuns, 1);
            QVERIFY(p.exit.ended);
            QCOMPARE(rig.mainWindowShown, 0);
        }
        // A chosen folder becomes the database, is upgraded and recorded (the program folder included).
        for (const bool programFolderChosen : {false, true}) {
            TestProgram p(TestProgram::Setup::IniOnly);
            QTemporaryDir other;
            const QString folder = programFolderChosen ? p.folder() : other.path();
            makeOldDatabase(joinPath(folder, DatabaseFileName));
            StartUpRig rig(p);
            rig.locateAnswer = LocateChoice::chosen(folder);
            if (programFolderChosen) {
                // Missing when the start-up looks, there when the user has chosen it.
                const QString aside = p.path(QStringLiteral("aside.mdb"));
                QVERIFY(QFile::rename(p.databasePath(), aside));
                rig.beforeAnswer = [&p, aside] { QVERIFY(QFile::rename(aside, p.databasePath())); };
            }
            QVERIFY(rig.startUp.run());
            QCOMPARE(rig.locateRuns, 1);
            QCOMPARE(p.program.DatabasePath, joinPath(folder, DatabaseFileName));
            QCOMPARE(p.database.path(), p.program.DatabasePath);
            QVERIFY(cityHasRangeColumns(p.database.handle()));
            QCOMPARE(p.context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                     folder);
            QCOMPARE(rig.mainWindowShown, 1);
            QVERIFY2(p.messenger.isEmpty(), qPrintable(p.messenger.texts().join(QLatin1Char('\n'))));
        }
    }

    void databaseThatCannotBeOpenedIsReported_data()
    {
        QTest::addColumn<bool>("chosenInDialog");
        QTest::newRow("at its path") << false;
        QTest::newRow("chosen in the locate dialog") << true;
    }
    void databaseThatCannotBeOpenedIsReported()
    {
        QFETCH(bool, chosenInDialog);
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        const QString folder = chosenInDialog ? other.path() : p.folder();
        QFile garbage(joinPath(folder, DatabaseFileName));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        // The start of an old Access (Jet) database file.
        garbage.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(200, '\0'));
        garbage.close();

        StartUpRig rig(p);
        rig.locateAnswer = LocateChoice::chosen(folder);
        QVERIFY(rig.startUp.run());
        QVERIFY(!p.messenger.isEmpty());
        const Message& first = p.messenger.shown().constFirst();
        QCOMPARE(first.title, QStringLiteral("Error"));
        QCOMPARE(first.icon, MessageIcon::Critical);
        QVERIFY(first.text.contains(garbage.fileName()));
        QVERIFY(first.text.contains(QLatin1String("Jet")));
        // Nothing is recorded for a file that does not work; the start goes on without a database.
        QCOMPARE(p.context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                 QString());
        QVERIFY(!p.database.isOpen());
        QCOMPARE(rig.mainWindowShown, 1);
        QVERIFY(!p.exit.ended);
    }

    void secondInstanceEndsWithoutTouchingAnything()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        p.createDatabase();
        p.program.INIPath.clear();
        p.program.DatabasePath.clear();
        const QByteArray ini = fileDigest(p.iniPath());
        const QByteArray database = fileDigest(p.databasePath());
        const QDateTime iniTime = QFileInfo(p.iniPath()).lastModified();

        StartUpRig rig(p, false);
        QVERIFY(!rig.startUp.claimInstance());
        QCOMPARE(rig.guard.calls, 1);
        QVERIFY(p.exit.ended);
        QCOMPARE(p.messenger.count(), 1);
        QCOMPARE(p.messenger.last().text, QStringLiteral("Tarvo software is already open !"));
        QCOMPARE(p.messenger.last().title, QStringLiteral("Error"));
        QCOMPARE(p.messenger.last().icon, MessageIcon::Information);
        QCOMPARE(rig.locateRuns, 0);
        QCOMPARE(rig.mainWindowShown, 0);
        QVERIFY(p.program.INIPath.isEmpty());
        QVERIFY(p.program.DatabasePath.isEmpty());
        QVERIFY(!p.database.isOpen());
        QCOMPARE(fileDigest(p.iniPath()), ini);
        QCOMPARE(fileDigest(p.databasePath()), database);
        QCOMPARE(QFileInfo(p.iniPath()).lastModified(), iniTime);

        StartUpRig first(p, true);
        QVERIFY(first.startUp.claimInstance());
    }

    // The real locate dialog at start-up: its choices and what the start-up makes of them.
    void locateDialogAtStartUp_data()
    {
        QTest::addColumn<QString>("location"); // Database/DatabaseLocation: "" or "other"
        QTest::addColumn<QString>("answer");   // the file dialog: "", "noDatabase", "other"
        QTest::addColumn<QString>("message");  // the message shown, if any
        QTest::addColumn<bool>("ends");
        QTest::newRow("cancel without a location") << ""
                                                   << ""
                                                   << "No Database !!!" << true;
        QTest::newRow("cancel with a location") << "other"
                                                << ""
                                                << "" << false;
        QTest::newRow("folder without the database") << ""
                                                     << "noDatabase"
                                                     << "Tarvo database not found!" << true;
        QTest::newRow("folder with the database") << ""
                                                  << "other"
                                                  << "" << false;
    }
    void locateDialogAtStartUp()
    {
        QFETCH(QString, location);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        QFETCH(bool, ends);
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        QTemporaryDir empty;
        if (location == QLatin1String("other"))
            QVERIFY(p.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"),
                                       empty.path()));
        bool windowShown = false;
        if (answer == QLatin1String("other")) {
            p.createDatabase(other.filePath(DatabaseFileName));
            p.fileDialogs.files.push_back(other.filePath(QStringLiteral("picked.mdb")));
            test::clickInNextModal(QStringLiteral("Command1"));
        } else if (answer == QLatin1String("noDatabase")) {
            p.fileDialogs.files.push_back(empty.filePath(QStringLiteral("something.mdb")));
        } else if (location == QLatin1String("other")) {
            // After a cancel the window shows the recorded folder until OK.
            test::whenModalOpens([&empty, &windowShown](QWidget* dialog) {
                windowShown = true;
                QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                         empty.path() + QLatin1Char('/'));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                                  Qt::LeftButton);
            });
        }

        test::FakeInstanceGuard guard(true);
        int mainWindowShown = 0;
        StartUp startUp(
            p.context, guard,
            [&p] {
                frmCariDB locate(p.context, LocateMode::StartUp);
                return locate.run();
            },
            [&] { ++mainWindowShown; });
        QCOMPARE(startUp.run(), !ends);
        QCOMPARE(p.exit.ended, ends);
        QCOMPARE(mainWindowShown, ends ? 0 : 1);
        QCOMPARE(p.fileDialogs.fileRequests.size(), 1);
        if (!message.isEmpty()) {
            QCOMPARE(p.messenger.shown().constFirst().text, message);
            QCOMPARE(p.messenger.shown().constFirst().title, QStringLiteral("Error"));
        }
        if (answer == QLatin1String("other")) {
            // The folder's database is used, whichever file of it was picked, and the folder recorded.
            QCOMPARE(p.database.path(), other.filePath(DatabaseFileName));
            QCOMPARE(p.context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                     other.path());
        }
        if (location == QLatin1String("other") && answer.isEmpty()) {
            // A cancel records nothing; the missing database is reported.
            QVERIFY(windowShown);
            QCOMPARE(p.context.ReadINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation")),
                     empty.path());
            QVERIFY(p.messenger.sawText(empty.filePath(DatabaseFileName)));
        }
    }

    void openFileDialogIsSetUp()
    {
        TestProgram p(TestProgram::Setup::IniOnly);
        QTemporaryDir other;
        QVERIFY(
            p.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), other.path()));
        frmCariDB locate(p.context, LocateMode::ChangeDirectory);
        test::clickInNextModal(QStringLiteral("Command1"));
        QCOMPARE(locate.run().kind, LocateChoice::Kind::Kept);
        QCOMPARE(p.fileDialogs.fileRequests.size(), 1);
        const OpenFileRequest& request = p.fileDialogs.fileRequests.constFirst();
        QCOMPARE(request.title, QStringLiteral("Browse for Tarvo database ..."));
        QCOMPARE(request.fileName, QStringLiteral("Tarvodb.mdb"));
        QCOMPARE(request.startFolder, other.path());
        QCOMPARE(request.filters.size(), 3);
        QCOMPARE(request.filters.at(request.selectedFilter), QStringLiteral("Tarvo database (Tarvodb.mdb)"));
        QVERIFY(p.messenger.isEmpty());
        QVERIFY(!p.exit.ended);
    }

    void splashShowsNameAndVersion()
    {
        frmSplash splash;
        QCOMPARE(splash.windowTitle(), QStringLiteral("Tarvo ......."));
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lblNamaSistem"))->text(),
                 QStringLiteral("Manage Your IP Address Standard and Inventory System"));
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lbl_version"))->text(),
                 QStringLiteral("Tarvo : Version ") + versionText());
        QCOMPARE(versionText(),
                 formatVersion(build::VersionMajor, build::VersionMinor, build::VersionRevision));
        auto* timer = splash.findChild<QTimer*>(QStringLiteral("tim_delay"));
        QCOMPARE(timer->interval(), 50);
        QVERIFY(!timer->isActive());
        splash.show();
        QVERIFY(timer->isActive());
        QCOMPARE(splash.findChild<QProgressBar*>(QStringLiteral("pro_delay"))->maximum(), 75);
    }

    void splashClosesOnTheTickAfterTheBarIsFull()
    {
        frmSplash splash;
        splash.show();
        splash.findChild<QTimer*>(QStringLiteral("tim_delay"))->stop(); // the test gives the ticks
        QSignalSpy finished(&splash, &frmSplash::finished);
        auto* bar = splash.findChild<QProgressBar*>(QStringLiteral("pro_delay"));
        for (int tick = 1; tick <= 75; ++tick) {
            splash.tim_delay_Timer();
            QCOMPARE(bar->value(), tick);
        }
        QCOMPARE(finished.count(), 0);
        QVERIFY(splash.isVisible());
        splash.tim_delay_Timer();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!splash.isVisible());
        splash.tim_delay_Timer();
        QCOMPARE(finished.count(), 1);

        int counter = 74;
        QCOMPARE(frmSplash::StepCounter(counter, 75), 75);
        QCOMPARE(frmSplash::StepCounter(counter, 75), 0);
        QCOMPARE(counter, 0);
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
