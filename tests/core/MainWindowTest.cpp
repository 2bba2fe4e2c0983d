#include "MainWindowRig.h"

#include "core/MDIFrmUtama.h"
#include "core/MainCommands.h"
#include "core/ProgramFolder.h"
#include "core/Version.h"

#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <memory>

using namespace tarvo;
using test::TestProgram;

namespace {

QString plainText(const QAction* action)
{
    return QString(action->text()).remove(QLatin1Char('&'));
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menusHoldEveryCommandInOrder()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        QStringList items;
        for (QAction* top : rig.window->menuBar()->actions()) {
            items << top->menu()->objectName() + QLatin1Char('=') + plainText(top);
            for (QAction* item : top->menu()->actions()) {
                items << QStringLiteral("  ") +
                             (item->menu() ? item->menu()->objectName() : item->objectName()) +
                             QLatin1Char('=') + (item->isSeparator() ? QStringLiteral("-") : plainText(item));
                if (item->menu()) {
                    for (QAction* sub : item->menu()->actions())
                        items << QStringLiteral("    ") + sub->objectName() + QLatin1Char('=') +
                                     plainText(sub);
                }
            }
        }
        const QStringList expected = {
            "mnuOperasi=File",
            "  mnuInputRekod=Assign New IP Address",
            "  mnuDedicatedIP=Assign Dedicated IP",
            "  mnuCarianRekod=Search Record",
            "  mnuScanNetwork=Scan Network",
            "  Hypen2=-",
            "  mnuTukarPassword=Change Password",
            "  mnuTukarLogin=Change Login",
            "  Hypen3=-",
            "  mnuKeluar=Exit",
            "mnuSetting=Settings",
            "  mnuIPAddressSetting=IP Address Settings",
            "  mnuUnitDivision=Unit / Division Settings",
            "mnuReport=Report",
            "  mnuRptLocation=Report by Location",
            "  mnuRptByDate=Report by Date",
            "mnuUtiliti=Utility",
            "  mnuMaklumatPengguna=Tarvo User ID",
            "  mnuBackupRestore=Backup/Restore",
            "  mnuAssignLog=View Assign Log",
            "  hypen5=-",
            "  mnuWebPatch=Web Patch",
            "  mnuHostWatch=Host Watch",
            "  mnuSubnetCalculator=Subnet Calculator",
            "  hypen1=-",
            "  mnuDatabase=Database",
            "    mnuChangeDBDir=Change Directory",
            "    mnuCompactDB=Compact Database",
            "mnuBantuan=Help",
            "  mnuHelp=Help",
            "  mnuLamanWeb=Tarvo Intranet Web",
            "  Hypen8=-",
            "  mnuWebPage=Tarvo on the Web",
            "  hypen7=-",
            "  mnuPerihal=About Tarvo",
        };
        QCOMPARE(items, expected);
    }

    void toolbarButtonsByKey()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        auto* toolbar = rig.window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(toolbar);
        const QList<QAction*> places = toolbar->actions();
        QCOMPARE(places.size(), toolbarButtons().size());
        QStringList keys;
        for (QAction* place : places)
            keys << (place->isSeparator() ? QStringLiteral("|")
                                          : place->objectName() + QLatin1Char(':') + place->toolTip());
        const QStringList expected = {
            "mAssignNewIP:Assign new IP Address",
            "mAssignDedicatedIP:Assign dedicated IP",
            "mSearchRecord:Search record",
            "mScanNetwork:Scan network",
            "|",
            "mIPsettings:IP Address settings",
            "|",
            "mUnitDivSettings:Unit / Division settings",
            "|",
            "mReportByLocation:Report by location",
            "mReportByDate:Report by date",
            "|",
            "mUserID:Tarvo User ID",
            "mAssignLog:Assign Log",
            "mWebPatch:Web Patch",
            "mHostWatch:Monitor IP Address",
            "|",
            "mBackupRestore:Backup and Restore database",
            "mChangeDirectory:Change database directory",
            "mCompactDB:Compact database",
            "|",
            "mHelp:Help",
        };
        QCOMPARE(keys, expected);
        QCOMPARE(places.at(12)->objectName(), QStringLiteral("mUserID"));
        QCOMPARE(places.at(14)->objectName(), QStringLiteral("mWebPatch"));
    }

    void eachToolbarKeyRunsItsMenuCommand_data()
    {
        QTest::addColumn<QString>("key");
        for (const ToolbarButton& button : toolbarButtons()) {
            if (!button.isSeparator())
                QTest::newRow(qPrintable(button.key)) << button.key;
        }
    }
    void eachToolbarKeyRunsItsMenuCommand()
    {
        QFETCH(QString, key);
        const QString menuItem = menuItemOfKey(key);
        QStringList byMenu;
        QStringList byButton;
        for (const bool viaToolbar : {false, true}) {
            test::MainRig rig;
            QVERIFY(rig.start());
            rig.p.messenger.clear();
            rig.windows.log.clear();
            // The locate dialog's file dialog is cancelled; its window then shows until OK.
            if (key == QLatin1String("mChangeDirectory"))
                test::clickInNextModal(QStringLiteral("Command1"));
            if (viaToolbar) {
                QWidget* button = rig.window->findChild<QToolBar*>()->widgetForAction(rig.action(key));
                QVERIFY(button);
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                rig.action(menuItem)->trigger();
            }
            (viaToolbar ? byButton : byMenu) = rig.observed();
        }
        QVERIFY2(!byMenu.isEmpty(), qPrintable(key));
        QCOMPARE(byButton, byMenu);
    }

    void unknownKeyAndDisabledCommandsDoNothing()
    {
        test::MainRig rig(GroupSistem, true, false);
        QVERIFY(rig.start());
        // Without registered windows every window command is disabled, on the menu and the toolbar.
        for (const char* name : {"mnuInputRekod", "mnuDedicatedIP", "mnuCarianRekod", "mnuScanNetwork",
                                 "mnuTukarPassword", "mnuIPAddressSetting", "mnuUnitDivision",
                                 "mnuRptLocation", "mnuRptByDate", "mnuMaklumatPengguna", "mnuBackupRestore",
                                 "mnuAssignLog", "mnuSubnetCalculator", "mnuCompactDB"})
            QVERIFY2(!rig.action(name)->isEnabled(), name);
        for (const char* key : {"mAssignNewIP", "mSearchRecord", "mCompactDB", "mBackupRestore"}) {
            QVERIFY2(!rig.action(key)->isEnabled(), key);
            rig.window->Toolbar1_ButtonClick(key);
        }
        rig.window->Toolbar1_ButtonClick(QStringLiteral("mNothing"));
        rig.window->Toolbar1_ButtonClick(QStringLiteral("mnuKeluar"));
        QVERIFY(rig.observed().isEmpty());
        // The commands of the core itself stay available.
        for (const char* name : {"mnuTukarLogin", "mnuKeluar", "mnuChangeDBDir", "mnuHelp", "mnuPerihal"})
            QVERIFY2(rig.action(name)->isEnabled(), name);
    }

    void statusBarNamesAnyFolderButTheProgramFolder_data()
    {
        QTest::addColumn<QString>("databaseFolder"); // "<program>" for the program folder
        QTest::addColumn<QString>("status");
        QTest::newRow("program folder") << "<program>"
                                        << "";
        QTest::newRow("program folder with separator") << "<program>/"
                                                       << "";
        QTest::newRow("other folder") << "/srv/tarvo"
                                      << "Database dir = /srv/tarvo/";
        QTest::newRow("root") << "/"
                              << "Database dir = /";
        QTest::newRow("letter case counts") << "<PROGRAM>"
                                            << "Database dir = <PROGRAM>/";
    }
    void statusBarNamesAnyFolderButTheProgramFolder()
    {
        QFETCH(QString, databaseFolder);
        QFETCH(QString, status);
        test::MainRig rig;
        const QString folder = QString(databaseFolder)
                                   .replace(QLatin1String("<program>"), rig.p.folder())
                                   .replace(QLatin1String("<PROGRAM>"), rig.p.folder().toUpper());
        rig.p.program.DatabasePath = joinPath(folder, DatabaseFileName);
        QVERIFY(rig.start());
        QCOMPARE(rig.p.program.DatabaseFolder, folderOf(rig.p.program.DatabasePath));
        QCOMPARE(rig.window->statusText(),
                 QString(status).replace(QLatin1String("<PROGRAM>"), rig.p.folder().toUpper()));
        QVERIFY(rig.window->findChild<QStatusBar*>(QStringLiteral("StatusBar1")));
    }

    void groupRuleFollowsTheSignedInUser()
    {
        test::MainRig rig(GroupHQ);
        QVERIFY(rig.start());
        QAction* menu = rig.action(QStringLiteral("mnuMaklumatPengguna"));
        QAction* button = rig.action(QStringLiteral("mUserID"));
        auto check = [&](bool allowed) {
            QCOMPARE(menu->isEnabled(), allowed);
            QCOMPARE(button->isVisible(), allowed);
            QCOMPARE(rig.window->userAccountsEnabled(), allowed);
        };
        check(false);
        QCOMPARE(rig.signIn.changingLoginSeen, QList<bool>{false});

        rig.signIn.script.push_back({QStringLiteral("root"), GroupSistem});
        rig.action(QStringLiteral("mnuTukarLogin"))->trigger();
        QCOMPARE(rig.signIn.changingLoginSeen.last(), true);
        QVERIFY(!rig.p.session.ChangingLogin);
        check(true);
        rig.window->Toolbar1_ButtonClick(QStringLiteral("mUserID"));
        QCOMPARE(rig.windows.log.size(), 1);

        rig.signIn.script.push_back({QStringLiteral("area"), GroupKawasan});
        rig.action(QStringLiteral("mnuTukarLogin"))->trigger();
        check(false);
        rig.windows.log.clear();
        rig.window->Toolbar1_ButtonClick(QStringLiteral("mUserID"));
        QVERIFY(rig.windows.log.isEmpty());

        // Cancel keeps the user signed in, and the program running.
        rig.action(QStringLiteral("mnuTukarLogin"))->trigger();
        QCOMPARE(rig.p.session.LoginUserID, QStringLiteral("area"));
        check(false);
        QVERIFY(!rig.p.exit.ended);
    }

    void withoutSignInNobodyGetsTheGroupLimitedCommands()
    {
        test::MainRig rig{QString(), false};
        rig.p.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), GroupSistem);
        QVERIFY(rig.start());
        QVERIFY(!rig.p.session.isSignedIn());
        QVERIFY(!rig.action(QStringLiteral("mnuMaklumatPengguna"))->isEnabled());
        QVERIFY(!rig.action(QStringLiteral("mUserID"))->isVisible());
        QVERIFY(!rig.action(QStringLiteral("mnuTukarLogin"))->isEnabled());
        QVERIFY(rig.action(QStringLiteral("mnuInputRekod"))->isEnabled());
        // The group rule's own switch cannot open what is not registered either.
        test::MainRig unregistered(GroupSistem, true, false);
        QVERIFY(unregistered.start());
        unregistered.window->setUserAccountsEnabled(true);
        QVERIFY(!unregistered.action(QStringLiteral("mnuMaklumatPengguna"))->isEnabled());
    }

    void exitInTheFirstSignInEndsTheProgram()
    {
        test::MainRig rig{QString()};
        QVERIFY(!rig.start());
        QVERIFY(rig.p.exit.ended);
        // The load stops there.
        QCOMPARE(rig.p.context.ReadINI(QStringLiteral("Version"), QStringLiteral("Version")), QString());
    }

    void startRecordsVersionAndIntranetItem_data()
    {
        QTest::addColumn<QString>("intraUrl");
        QTest::newRow("no intranet") << QString();
        QTest::newRow("intranet") << QStringLiteral("http://intranet.example/tarvo");
    }
    void startRecordsVersionAndIntranetItem()
    {
        QFETCH(QString, intraUrl);
        test::MainRig rig;
        rig.p.context.WriteINI(QStringLiteral("Version"), QStringLiteral("Version"),
                               QStringLiteral("0.99.0001"));
        rig.p.context.WriteINI(QStringLiteral("Web"), QStringLiteral("IntraURL"), intraUrl);
        QVERIFY(rig.start());
        QCOMPARE(rig.p.context.ReadINI(QStringLiteral("Version"), QStringLiteral("Version")), versionText());
        QAction* intranet = rig.action(QStringLiteral("mnuLamanWeb"));
        QCOMPARE(intranet->isEnabled(), !intraUrl.isEmpty());
        intranet->trigger();
        QCOMPARE(rig.p.shell.opened, intraUrl.isEmpty() ? QStringList() : QStringList{intraUrl});
        // The product page is not checked first: an empty address opens nothing.
        rig.action(QStringLiteral("mnuWebPage"))->trigger();
        QCOMPARE(rig.p.shell.opened.size(), intraUrl.isEmpty() ? 0 : 1);
        QCOMPARE(rig.window->windowTitle(),
                 QStringLiteral("Tarvo : Manage Your IP Address Standard & Inventory System"));
    }

    void childWindowsAreCentredSingleInstances()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        rig.action(QStringLiteral("mnuCarianRekod"))->trigger();
        rig.action(QStringLiteral("mnuCarianRekod"))->trigger();
        QCOMPARE(rig.windows.log.size(), 1);
        QList<QMdiSubWindow*> open = test::openChildren(rig.window.get());
        QCOMPARE(open.size(), 1);
        const QRect area = rig.window->findChild<QMdiArea*>()->viewport()->rect();
        const QRect child = open.constFirst()->geometry();
        QVERIFY(qAbs(child.center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(child.center().y() - area.center().y()) <= 1);

        // Closed, it is created afresh.
        open.constFirst()->close();
        QVERIFY(test::openChildren(rig.window.get()).isEmpty());
        rig.action(QStringLiteral("mnuCarianRekod"))->trigger();
        QCOMPARE(rig.windows.log.size(), 2);
    }

    void assignmentCommandsShareOneWindowAndSetTheMode_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("dedicated");
        QTest::addColumn<bool>("scan");
        QTest::newRow("new") << "mnuInputRekod" << false << false;
        QTest::newRow("dedicated") << "mnuDedicatedIP" << true << false;
        QTest::newRow("scan") << "mnuScanNetwork" << false << true;
    }
    void assignmentCommandsShareOneWindowAndSetTheMode()
    {
        QFETCH(QString, item);
        QFETCH(bool, dedicated);
        QFETCH(bool, scan);
        test::MainRig rig;
        QVERIFY(rig.start());
        // Whichever command opened the window, the next one sets its mode and shows the same window.
        for (const char* first : {"mnuInputRekod", "mnuDedicatedIP", "mnuScanNetwork"}) {
            rig.action(first)->trigger();
            QWidget* shared = rig.windows.lastChild;
            rig.action(item)->trigger();
            QCOMPARE(rig.p.modes.DedicatedMode, dedicated);
            QCOMPARE(rig.p.modes.ScanMode, scan);
            QCOMPARE(rig.windows.lastChild, shared);
            QCOMPARE(test::openChildren(rig.window.get()).size(), 1);
            test::openChildren(rig.window.get()).constFirst()->close();
        }
        QCOMPARE(rig.windows.log.size(), 3);
    }

    void changeLoginClosesChildWindowsFirst()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        rig.action(QStringLiteral("mnuMaklumatPengguna"))->trigger();
        rig.action(QStringLiteral("mnuBackupRestore"))->trigger();
        QCOMPARE(test::openChildren(rig.window.get()).size(), 2);
        int openDuringSignIn = -1;
        rig.signIn.onRun = [&](QWidget*) { openDuringSignIn = test::openChildren(rig.window.get()).size(); };
        rig.signIn.script.push_back({QStringLiteral("hq"), GroupHQ});
        rig.action(QStringLiteral("mnuTukarLogin"))->trigger();
        QCOMPARE(openDuringSignIn, 0);
        QCOMPARE(rig.p.session.LoginGroup, GroupHQ);

        // A window that will not close keeps the current user and skips the sign-in.
        rig.action(QStringLiteral("mnuBackupRestore"))->trigger();
        rig.windows.lastChild->refuseClose = true;
        const int runs = rig.signIn.changingLoginSeen.size();
        rig.action(QStringLiteral("mnuTukarLogin"))->trigger();
        QCOMPARE(rig.signIn.changingLoginSeen.size(), runs);
        rig.windows.lastChild->refuseClose = false;
    }

    void exitClosesChildWindowsThenEnds()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        rig.action(QStringLiteral("mnuAssignLog"))->trigger();
        rig.windows.lastChild->refuseClose = true;
        rig.action(QStringLiteral("mnuKeluar"))->trigger();
        QVERIFY(!rig.p.exit.ended);
        QVERIFY(rig.window->isVisible());
        rig.windows.lastChild->refuseClose = false;
        // Closing the frame is the same as Exit.
        QVERIFY(rig.window->close());
        QVERIFY(test::openChildren(rig.window.get()).isEmpty());
        QVERIFY(rig.p.exit.ended);
    }

    void webPatchEndsOnlyWhenTheUpdaterStarted_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("answer"); // MessageAnswer to the question
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("ends");
        QTest::newRow("not installed") << false << int(MessageAnswer::Yes) << true << false << false;
        QTest::newRow("No") << true << int(MessageAnswer::No) << true << false << false;
        QTest::newRow("Yes") << true << int(MessageAnswer::Yes) << true << true << true;
        QTest::newRow("Yes, cannot start") << true << int(MessageAnswer::Yes) << false << true << false;
    }
    void webPatchEndsOnlyWhenTheUpdaterStarted()
    {
        QFETCH(bool, installed);
        QFETCH(int, answer);
        QFETCH(bool, starts);
        QFETCH(bool, started);
        QFETCH(bool, ends);
        test::MainRig rig;
        QVERIFY(rig.start());
        if (installed)
            rig.addProgram(QStringLiteral("WebPatch"));
        rig.p.shell.startSucceeds = starts;
        rig.p.messenger.answer(static_cast<MessageAnswer>(answer));
        rig.action(QStringLiteral("mnuWebPatch"))->trigger();
        QCOMPARE(rig.p.shell.started.size(), started ? 1 : 0);
        if (started)
            QCOMPARE(rig.p.shell.started.constFirst().program, rig.p.path(QStringLiteral("WebPatch")));
        QCOMPARE(rig.p.exit.ended, ends);
        if (installed) {
            const Message& question = rig.p.messenger.shown().constFirst();
            QCOMPARE(question.text,
                     QStringLiteral("You will need to close Tarvo Application to start using Web "
                                    "Patch.\r\n\r\nDo you want to close Tarvo ?"));
            QCOMPARE(question.title, QStringLiteral("Web Patch ..."));
            QCOMPARE(question.buttons, MessageButtons::YesNo);
            QCOMPARE(question.icon, MessageIcon::None);
        } else {
            QCOMPARE(rig.p.messenger.count(), 1);
            QVERIFY(rig.p.messenger.last().text.contains(rig.p.path(QStringLiteral("WebPatch"))));
        }
        // The sign-in's update check switches the command.
        rig.window->setWebPatchAvailable(false);
        QVERIFY(!rig.action(QStringLiteral("mnuWebPatch"))->isEnabled());
        QVERIFY(!rig.action(QStringLiteral("mWebPatch"))->isVisible());
        rig.window->setWebPatchAvailable(true);
        QVERIFY(rig.action(QStringLiteral("mWebPatch"))->isVisible());
    }

    void hostWatchAndHelpOpenFilesOfTheProgramFolder()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        rig.action(QStringLiteral("mnuHostWatch"))->trigger();
        QVERIFY(rig.p.shell.started.isEmpty());
        QCOMPARE(rig.p.messenger.count(), 1);
        QCOMPARE(rig.p.messenger.last().title, QStringLiteral("Host Watch"));
        rig.addProgram(QStringLiteral("HostWatch"));
        rig.action(QStringLiteral("mnuHostWatch"))->trigger();
        QCOMPARE(rig.p.shell.started.size(), 1);
        QCOMPARE(rig.p.shell.started.constFirst().program, rig.p.path(QStringLiteral("HostWatch")));
        QVERIFY(!rig.p.exit.ended);

        rig.action(QStringLiteral("mnuHelp"))->trigger();
        QCOMPARE(rig.p.shell.opened, QStringList{rig.p.path(QStringLiteral("TarvoHelp.html"))});
    }

    void firstRunOffersToMoveTheDatabase_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("offered");
        QTest::newRow("no location") << QString() << true;
        QTest::newRow("location of blanks") << QStringLiteral("\"  \"") << false;
        QTest::newRow("a location") << QStringLiteral("/srv/tarvo") << false;
    }
    void firstRunOffersToMoveTheDatabase()
    {
        QFETCH(QString, location);
        QFETCH(bool, offered);
        test::MainRig rig;
        QFile ini(rig.p.iniPath());
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(QStringLiteral("[Database]\nDatabaseLocation=%1\n").arg(location).toUtf8());
        ini.close();
        QStringList order;
        if (offered) {
            test::whenModalOpens([&order](QWidget* dialog) {
                order << dialog->objectName();
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdTutup")),
                                  Qt::LeftButton);
            });
        }
        rig.signIn.onRun = [&order](QWidget*) { order << QStringLiteral("sign-in"); };
        QVERIFY(rig.start());
        const QStringList expected =
            offered ? QStringList{"frmChangeFolder", "sign-in"} : QStringList{"sign-in"};
        QCOMPARE(order, expected);
    }

    void aboutBoxOpensModally()
    {
        test::MainRig rig;
        QVERIFY(rig.start());
        QString seen;
        test::whenModalOpens([&seen](QWidget* dialog) {
            seen = dialog->windowTitle();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        rig.action(QStringLiteral("mnuPerihal"))->trigger();
        QCOMPARE(seen, QStringLiteral("About Tarvo"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
