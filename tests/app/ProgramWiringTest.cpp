// The whole program as main.cpp builds it, on fake network services: every registered window reached
// from the real main window, with the real sign-in dialog and message boxes in front of it.

#include "FakeNetwork.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "UserFolders.h"
#include "WidgetDriver.h"

#include "app/Program.h"
#include "assign/AssignLog.h"
#include "core/AppState.h"
#include "core/DatabaseSchema.h"
#include "core/DatabaseService.h"
#include "core/MDIFrmUtama.h"
#include "core/Sql.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace tarvo;

namespace {

// Loopback addresses, so that nothing could leave the machine even if a real service were used.
const QString UpdateUrl = QStringLiteral("http://127.0.0.1:9/tarvo");
const QString MailServer = QStringLiteral("127.0.0.1");

struct WiredProgram
{
    WiredProgram()
    {
        // A recorded database folder and mail server: no first-run offer, no SMTP settings dialog.
        folder.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"),
                                folder.folder());
        folder.context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"), MailServer);
        folder.context.WriteINI(QStringLiteral("Network"), QStringLiteral("Port"), QStringLiteral("2525"));
        folder.context.WriteINI(QStringLiteral("Web"), QStringLiteral("UpdateURL"), UpdateUrl);
    }

    // Answers the next sign-in dialog with a user ID and password; with the update check, the message
    // it shows is answered with OK and kept in messages.
    void signInWith(const QString& userId, const QString& password, bool checkForUpdates = false)
    {
        test::whenModal(
            QStringLiteral("frmLogin"), [this, userId, password, checkForUpdates](QWidget* dialog) {
                dialog->findChild<QCheckBox*>(QStringLiteral("chkWebPatch"))->setChecked(checkForUpdates);
                auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("txtUserID"));
                auto* pass = dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
                QTest::keyClicks(user, userId);
                QTest::keyClicks(pass, password);
                QTest::keyClick(pass, Qt::Key_Return);
                if (checkForUpdates)
                    test::answerMessageBox(QMessageBox::Ok, messages);
            });
    }

    // A second account, of another group: user ID "hq1", password "pw".
    void addHeadOfficeUser() const
    {
        if (!execSql(folder.database.handle(),
                     QStringLiteral("INSERT INTO UserID (UserID, Name, Password, Email, [Group], Tadbir) "
                                    "VALUES ('hq1', 'Head Office', 'pw', '', 'HQ', '')")))
            qFatal("cannot add the account hq1");
    }

    MDIFrmUtama& window() const { return *program.mainWindow(); }
    const Session& session() { return program.context().session(); }
    QAction* action(const char* name) const { return window().findChild<QAction*>(QLatin1String(name)); }
    QStringList openChildren() const
    {
        QStringList names;
        for (QMdiSubWindow* sub : window().findChild<QMdiArea*>()->subWindowList())
            names << sub->widget()->objectName();
        return names;
    }

    // The program folder with the delivered Tarvo.ini and database; the program finds it through
    // TARVO_HOME.
    test::TestProgram folder;
    test::FakeNetwork network;
    app::Program program{{}, network.services()};
    QStringList messages;
};

using test::child;

} // namespace

class ProgramWiringTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The update check after the sign-in runs on the services the program was given.
    void signInThroughTheRealDialogUnlocksTheBuiltCommands()
    {
        WiredProgram w;
        w.network.pinger.answers(QStringLiteral("127.0.0.1"));
        w.network.downloads.serve(UpdateUrl + QStringLiteral("/TarvoWebPatch"), "0.00.0000 -> 9.99.9999\r\n");
        w.signInWith(QStringLiteral("ADMIN"), QStringLiteral("admin"), true);
        QVERIFY(w.program.start());

        QCOMPARE(w.session().LoginName, QStringLiteral("Administrator"));
        QCOMPARE(w.session().LoginGroup, GroupSistem);
        QVERIFY(w.window().mainCaption().contains(QStringLiteral("Administrator")));
        QCOMPARE(w.network.pinger.addresses(), QStringList{QStringLiteral("127.0.0.1")});
        QCOMPARE(w.network.downloads.requested, QStringList{UpdateUrl + QStringLiteral("/TarvoWebPatch")});
        QCOMPARE(w.messages,
                 QStringList{QStringLiteral("Administrator,\n\nThere is an update available to version "
                                            "9.99.9999. Please update using Utility - Web Patch menu.")});
        QVERIFY(w.action("mnuWebPatch")->isEnabled());

        // The windows that exist are reachable; the others stay disabled until they are built.
        for (const char* built :
             {"mnuMaklumatPengguna", "mnuTukarPassword", "mnuIPAddressSetting", "mnuUnitDivision",
              "mnuSubnetCalculator", "mnuBackupRestore", "mnuCompactDB", "mnuRptLocation", "mnuRptByDate",
              "mnuAssignLog", "mnuCarianRekod", "mnuInputRekod", "mnuDedicatedIP", "mnuScanNetwork"})
            QVERIFY2(w.action(built)->isEnabled(), built);

        w.action("mnuIPAddressSetting")->trigger();
        QCOMPARE(w.openChildren(), QStringList{QStringLiteral("frmIPAddressSettings")});
    }

    void newAccountIsMailedThroughTheGivenTransport()
    {
        WiredProgram w;
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        QVERIFY(w.network.pinger.calls.isEmpty() && w.network.downloads.requested.isEmpty());

        w.window().Toolbar1_ButtonClick(QStringLiteral("mUserID"));
        auto* accounts = child<QWidget>(&w.window(), "frmUser");
        QTest::mouseClick(child<QPushButton>(accounts, "cmdTambah"), Qt::LeftButton);
        for (auto [box, text] : {std::pair{"txtNama", "Siti"},
                                 {"txtUserID", "siti"},
                                 {"txtPassword", "pa55"},
                                 {"txtEmail", "siti@example.org"}})
            QTest::keyClicks(child<QLineEdit>(accounts, box), QString::fromLatin1(text));
        test::answerMessageBox(QMessageBox::Ok, w.messages);
        QTest::mouseClick(child<QPushButton>(accounts, "cmdSimpan"), Qt::LeftButton);

        QCOMPARE(w.messages, QStringList{QStringLiteral("Save record to Tarvo database ?")});
        QCOMPARE(w.network.mailbox.mails.size(), 1);
        const test::FakeMailbox::Mail& mail = w.network.mailbox.mails.first();
        QCOMPARE(mail.server, MailServer);
        QCOMPARE(mail.port, quint16(2525));
        QCOMPARE(mail.message.recipientAddress, QStringLiteral("siti@example.org"));
        // Back to the list once the mail is sent.
        QTRY_VERIFY(
            !child<QListWidget>(accounts, "lstUserName")->findItems("Siti", Qt::MatchExactly).isEmpty());
        QCOMPARE(w.messages.size(), 1); // no mail error
    }

    // The menu's unit window lets the user pick the place, whatever another window handed over before.
    void unitWindowFromTheMenuIsInMenuMode()
    {
        WiredProgram w;
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        w.program.context().unitDivisionHandOver() = {true, true, QStringLiteral("Headquarters"),
                                                      {},   {},   true};
        bool placeFree = false;
        test::whenModal(QStringLiteral("frmUnitDivision"), [&placeFree](QWidget* dialog) {
            placeFree = dialog->findChild<QWidget*>(QStringLiteral("cboRegion"))->isEnabled();
            dialog->close();
        });
        w.action("mnuUnitDivision")->trigger();
        QVERIFY(placeFree);
    }

    void maintenanceCommandsReachTheBackupWindowAndTheCompaction()
    {
        test::UserFolders folders;
        WiredProgram w;
        w.folder.context.WriteINI(QStringLiteral("Backup"), QStringLiteral("BackupLocation"),
                                  w.folder.folder());
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());

        w.window().Toolbar1_ButtonClick(QStringLiteral("mBackupRestore"));
        QCOMPARE(w.openChildren(), QStringList{QStringLiteral("frmBackupDB")});
        // The compaction's question, then its report.
        test::whenModalMatches([](QWidget* modal) { return qobject_cast<QMessageBox*>(modal) != nullptr; },
                               [&w](QWidget* modal) {
                                   auto* box = static_cast<QMessageBox*>(modal);
                                   w.messages << box->text();
                                   box->button(QMessageBox::Yes)->click();
                                   test::answerMessageBox(QMessageBox::Ok, w.messages);
                               });
        w.window().Toolbar1_ButtonClick(QStringLiteral("mCompactDB"));
        QCOMPARE(w.messages.size(), 2);
    }

    // "Search Record" opens the search window; a search of one record shows it in the detail window, a
    // child window of the main window too, which another user's sign-in (of another group, through the
    // real dialog) closes with the search window.
    void searchRecordOpensTheDetailWindowInTheMainWindow()
    {
        WiredProgram w;
        QVERIFY(execSql(w.folder.database.handle(),
                        QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Region, CityOwner) "
                                       "VALUES ('10.100.0.5', 5, 'PC1', 'Headquarters', 'IT Division')")));
        w.addHeadOfficeUser();
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());

        w.window().Toolbar1_ButtonClick(QStringLiteral("mSearchRecord"));
        auto* search = child<QWidget>(&w.window(), "frmCarian");
        QTest::keyClicks(child<QLineEdit>(search, "txtCarian"), QStringLiteral("10.100.0.5"));
        QTest::keyClick(child<QLineEdit>(search, "txtCarian"), Qt::Key_Return);
        QCOMPARE(w.openChildren(), QStringList({"frmCarian", "frmMaklumatIP"}));
        // The unit picker of the record being edited opens the unit window for the record's place.
        auto* detail = child<QWidget>(&w.window(), "frmMaklumatIP");
        QTest::mouseClick(child<QPushButton>(detail, "cmdKemaskiniSimpan"), Qt::LeftButton);
        QTest::mouseClick(child<QToolButton>(detail, "PicUnitDivision"), Qt::LeftButton);
        QPointer<QWidget> units = child<QWidget>(&w.window(), "frmUnitDivision");
        QVERIFY(units->isVisible() && units->isWindow());
        QVERIFY(!child<QWidget>(units, "cboRegion")->isEnabled());
        // A second pick brings the same window forward.
        QTest::mouseClick(child<QToolButton>(detail, "PicUnitDivision"), Qt::LeftButton);
        QCOMPARE(w.window().findChildren<QWidget*>(QStringLiteral("frmUnitDivision")).size(), 1);

        w.signInWith(QStringLiteral("hq1"), QStringLiteral("pw"));
        w.action("mnuTukarLogin")->trigger();
        QCOMPARE(w.session().LoginName, QStringLiteral("Head Office"));
        QVERIFY(!w.session().ChangingLogin);
        QVERIFY(!w.action("mnuMaklumatPengguna")->isEnabled());
        QVERIFY(w.openChildren().isEmpty());
        QVERIFY(!units || !units->isVisible());
    }

    // The first start on a database that an earlier version wrote brings it up to date before any window
    // of the program is open: meanwhile a notice says so, with the busy pointer, and goes when it is done.
    void aNoticeShowsWhileTheStartBringsTheDatabaseUpToDate()
    {
        WiredProgram w;
        QVERIFY(execSql(w.folder.database.handle(), QStringLiteral("DROP INDEX IP_Info_Octet4")));
        DatabaseService& service = w.program.context().databaseService();
        QStringList shown; // the program's windows on screen during the upgrade, with their texts
        Qt::WindowFlags noticeFlags;
        bool busyPointer = false;
        QObject::connect(&service, &DatabaseService::upgradeStarted, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible()) {
                    shown << window->objectName();
                    if (window->objectName() == QStringLiteral("frmUpgradeNotice"))
                        noticeFlags = window->windowFlags();
                    for (const QLabel* label : window->findChildren<QLabel*>())
                        shown << label->text();
                }
            }
            busyPointer =
                QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());

        QVERIFY2(shown.value(0) == QStringLiteral("frmUpgradeNotice") &&
                     shown.filter(QStringLiteral("being brought up to date")).size() == 1,
                 qPrintable(shown.join(QStringLiteral(" | "))));
        QVERIFY(busyPointer);
        // A splash screen without a frame: no window manager puts a minimise button on it.
        QVERIFY(noticeFlags.testFlags(Qt::SplashScreen | Qt::FramelessWindowHint) &&
                !noticeFlags.testFlag(Qt::WindowMinimizeButtonHint));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(window->objectName() != QStringLiteral("frmUpgradeNotice") || !window->isVisible());
        QVERIFY(*schemaIsCurrent(w.program.context().databaseService().handle()));
    }

    // An assignment-log block that a killed save left pending is appended when the program starts.
    void pendingLogBlockIsAppendedAtStart()
    {
        WiredProgram w;
        {
            const PendingAssignLog log(w.folder.database, w.folder.folder());
            const PendingAssignLog::Turn killedSave(log);
            QVERIFY(killedSave.add(w.folder.database.handle(), QStringLiteral("Date Assign : pending\r\n")));
        }
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        QFile file(w.folder.path(AssignLogFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Date Assign : pending\r\n"));
    }

    // With no block pending, the start creates no log, so the log viewer reports the missing log.
    void startWithoutPendingBlockCreatesNoLog()
    {
        WiredProgram w;
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        QVERIFY(!QFile::exists(w.folder.path(AssignLogFileName)));
        test::answerMessageBox(QMessageBox::Ok, w.messages);
        w.window().Toolbar1_ButtonClick(QStringLiteral("mAssignLog"));
        QCOMPARE(w.messages, QStringList{AssignLogErrorMessage});
    }

    // Every child window that a toolbar button opens shows its content: at least its size hint, as far
    // as the window area allows, and stands within the window area.
    void childWindowsOpenWholeWithinTheMainWindow_data()
    {
        QTest::addColumn<QString>("key");
        for (const char* key : {"mAssignNewIP", "mSearchRecord", "mIPsettings", "mReportByLocation",
                                "mReportByDate", "mUserID", "mAssignLog", "mBackupRestore", "mHelp"})
            QTest::newRow(key) << QString::fromLatin1(key);
    }
    void childWindowsOpenWholeWithinTheMainWindow()
    {
        QFETCH(QString, key);
        test::UserFolders folders;
        WiredProgram w;
        w.folder.context.WriteINI(QStringLiteral("Backup"), QStringLiteral("BackupLocation"),
                                  w.folder.folder());
        // The files that the help window and the log viewer show.
        for (const auto& [name, text] : {std::pair{"TarvoHelp.html", "<h1>Tarvo Help</h1>"},
                                         {"AssignLog.txt", "IP Address : 10.100.5.71\r\n"}}) {
            QFile file(w.folder.path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        if (key == QLatin1String("mAssignNewIP"))
            test::whenModal(QStringLiteral("frmLocalSetting"), [](QWidget* dialog) { dialog->close(); });
        w.window().Toolbar1_ButtonClick(key);
        const QMdiSubWindow* sub = w.window().findChild<QMdiArea*>()->activeSubWindow();
        QVERIFY(sub);
        const QWidget* window = sub->widget();
        const QRect area = w.window().findChild<QMdiArea*>()->viewport()->rect();
        QVERIFY(area.contains(sub->geometry()));
        const QSize room = area.size() - (sub->size() - window->size());
        const QSize needed = window->sizeHint().expandedTo(window->minimumSizeHint()).boundedTo(room);
        QVERIFY2(window->width() >= needed.width() && window->height() >= needed.height(),
                 qPrintable(QStringLiteral("%1: %2x%3, needs %4x%5")
                                .arg(window->objectName())
                                .arg(window->width())
                                .arg(window->height())
                                .arg(needed.width())
                                .arg(needed.height())));
    }

    // The three assignment commands share one window, whose mode is fixed when it opens: another mode
    // opens it anew while it is idle, and only brings it forward while it checks an address.
    void assignmentWindowKeepsTheModeItOpenedIn()
    {
        WiredProgram w;
        w.signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(w.program.start());
        const auto shown = [&w] { return w.window().findChild<QMdiArea*>()->activeSubWindow()->widget(); };
        const auto caption = [&shown] { return shown()->windowTitle(); };

        // The delivered plan holds only the sample city: the first opening offers the local setting.
        bool localSetting = false;
        test::whenModal(QStringLiteral("frmLocalSetting"), [&localSetting](QWidget* dialog) {
            localSetting = true;
            dialog->close();
        });
        w.window().Toolbar1_ButtonClick(QStringLiteral("mAssignNewIP"));
        QVERIFY(localSetting);
        QCOMPARE(w.openChildren(), QStringList{QStringLiteral("frmTarvoMain")});
        QCOMPARE(caption(), QStringLiteral("Assign New IP Address"));
        QVERIFY(
            execSql(w.folder.database.handle(),
                    QStringLiteral("INSERT INTO City (City_name, Abbr_city, IP_octet2, Abbr_state, Region) "
                                   "VALUES ('Branch', 'BRA', 101, 'HQ', 'Headquarters')")));
        w.action("mnuDedicatedIP")->trigger();
        QCOMPARE(w.openChildren(), QStringList{QStringLiteral("frmTarvoMain")});
        QCOMPARE(caption(), QStringLiteral("Assign Dedicated IP Address"));

        // The sample address 10.100.5.71 is checked through the fake pinger, which answers late.
        w.network.pinger.setLatency(60000);
        QWidget* assignment = shown();
        test::pick(assignment, "cboRegion", QStringLiteral("Headquarters"));
        test::pick(assignment, "cboCity", QStringLiteral("IT Division"));
        QTest::keyClicks(child<QLineEdit>(assignment, "txtSegment"), QStringLiteral("5"));
        QTest::keyClicks(child<QLineEdit>(assignment, "txtBilangan"), QStringLiteral("71"));
        test::pick(assignment, "cboEquipment", QStringLiteral("PC"));
        QCOMPARE(w.network.pinger.addresses(), QStringList{QStringLiteral("10.100.5.71")});

        w.window().Toolbar1_ButtonClick(QStringLiteral("mScanNetwork"));
        QCOMPARE(w.openChildren(), QStringList{QStringLiteral("frmTarvoMain")});
        QCOMPARE(caption(), QStringLiteral("Assign Dedicated IP Address"));
    }
};

QTEST_MAIN(ProgramWiringTest)
#include "ProgramWiringTest.moc"
