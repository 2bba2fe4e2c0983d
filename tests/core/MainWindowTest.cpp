#include "CoreTestHelpers.h"

#include "core/BuildInfo.h"
#include "core/FileDialogs.h"
#include "core/LinkLabel.h"
#include "core/MessageBoxMessenger.h"
#include "core/ProductArt.h"
#include "core/ProgramFolder.h"
#include "core/Version.h"
#include "core/frmAbout.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTextBrowser>
#include <QToolBar>

using namespace tarvo;
using namespace Qt::StringLiterals;
using test::MainRig;

namespace {

// Each toolbar key with the menu item whose command it runs.
const QStringList Toolbar =
    u"mAssignNewIP:mnuInputRekod mAssignDedicatedIP:mnuDedicatedIP mSearchRecord:mnuCarianRekod "
    u"mScanNetwork:mnuScanNetwork mIPsettings:mnuIPAddressSetting mUnitDivSettings:mnuUnitDivision "
    u"mReportByLocation:mnuRptLocation mReportByDate:mnuRptByDate mUserID:mnuMaklumatPengguna "
    u"mAssignLog:mnuAssignLog mWebPatch:mnuWebPatch mHostWatch:mnuHostWatch mBackupRestore:mnuBackupRestore "
    u"mChangeDirectory:mnuChangeDBDir mCompactDB:mnuCompactDB mHelp:mnuHelp"_s.split(u' ');

// What a command did, with the temporary program folder written as "<program>".
QStringList observed(const MainRig& rig)
{
    QStringList seen = rig.windows.log + test::shellCalls(rig.p.shell);
    for (const Message& message : rig.p.messenger.shown())
        seen << u"message:"_s + message.title + u'|' + message.text;
    for (const OpenFileRequest& request : rig.p.fileDialogs.fileRequests)
        seen << u"file dialog:"_s + request.title;
    if (rig.p.exit.ended)
        seen << u"ended"_s;
    return seen.replaceInStrings(rig.p.folder(), u"<program>"_s);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachToolbarKeyRunsItsMenuCommand_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("menuItem");
        for (const QString& key : Toolbar)
            QTest::newRow(qPrintable(key.section(u':', 0, 0)))
                << key.section(u':', 0, 0) << key.section(u':', 1);
    }
    void eachToolbarKeyRunsItsMenuCommand()
    {
        QFETCH(QString, key);
        QFETCH(QString, menuItem);
        QStringList seen[2]; // by the menu item, by the key
        for (const bool viaToolbar : {false, true}) {
            MainRig rig;
            QVERIFY(rig.start());
            rig.p.messenger.clear();
            // The locate dialog's file dialog is cancelled; its window then shows until OK.
            if (key == u"mChangeDirectory")
                test::clickInNextModal(u"Command1"_s);
            if (viaToolbar)
                QTest::mouseClick(rig.window->findChild<QToolBar*>()->widgetForAction(rig.action(key)),
                                  Qt::LeftButton);
            else
                rig.action(menuItem)->trigger();
            seen[viaToolbar] = observed(rig);
            // The key's image is a drawing of the program's resources.
            QVERIFY(!rig.action(key)->icon().isNull() && QSvgRenderer(toolbarIconPath(key)).isValid());
        }
        QVERIFY(!seen[0].isEmpty());
        QCOMPARE(seen[1], seen[0]);
    }

    void unregisteredCommandsAndUnknownKeysDoNothing()
    {
        MainRig rig(GroupSistem, true, false);
        QVERIFY(rig.start());
        QVERIFY(!rig.window->windowIcon().isNull()); // the program's icon
        for (const char* name : {"mnuInputRekod", "mnuTukarPassword", "mnuMaklumatPengguna",
                                 "mnuSubnetCalculator", "mnuCompactDB", "mAssignNewIP", "mCompactDB"})
            QVERIFY2(!rig.action(name)->isEnabled(), name);
        for (const char* key : {"mAssignNewIP", "mCompactDB", "mNothing", "mnuKeluar"})
            rig.window->Toolbar1_ButtonClick(key);
        QVERIFY(observed(rig).isEmpty());
        // The group rule's own switch cannot open what is not registered either.
        rig.window->setUserAccountsEnabled(true);
        QVERIFY(!rig.action(u"mnuMaklumatPengguna"_s)->isEnabled());
        for (const char* name : {"mnuTukarLogin", "mnuKeluar", "mnuChangeDBDir", "mnuHelp", "mnuPerihal"})
            QVERIFY2(rig.action(name)->isEnabled(), name);
    }

    // (The change of folder shows the plain cases.)
    void statusBarNamesAnyFolderButTheProgramFolder_data()
    {
        QTest::addColumn<QString>("databaseFolder"); // "<program>" stands for the program folder
        QTest::addColumn<QString>("status");
        QTest::newRow("program folder with separator") << u"<program>/"_s << u""_s;
        QTest::newRow("letter case counts") << u"<PROGRAM>"_s << u"Database dir = <PROGRAM>/"_s;
    }
    void statusBarNamesAnyFolderButTheProgramFolder()
    {
        QFETCH(QString, databaseFolder);
        QFETCH(QString, status);
        MainRig rig;
        const auto place = [&rig](QString text) {
            return text.replace(u"<program>"_s, rig.p.folder())
                .replace(u"<PROGRAM>"_s, rig.p.folder().toUpper());
        };
        rig.p.program.DatabasePath = joinPath(place(databaseFolder), DatabaseFileName);
        QVERIFY(rig.start());
        QCOMPARE(rig.window->statusText(), place(status));
    }

    // The group rule follows the user. Cancel, and the same user signing in again, keep the user and what
    // was typed in the windows; another user closes them once signed in.
    void changeLoginFollowsTheSignedInUser()
    {
        MainRig rig(GroupHQ);
        QVERIFY(rig.start());
        const auto check = [&rig](bool allowed) {
            QCOMPARE(rig.action(u"mnuMaklumatPengguna"_s)->isEnabled(), allowed);
            QCOMPARE(rig.action(u"mUserID"_s)->isVisible(), allowed);
            QCOMPARE(rig.window->userAccountsEnabled(), allowed);
        };
        rig.action(u"mnuCarianRekod"_s)->trigger();
        rig.action(u"mnuBackupRestore"_s)->trigger();
        rig.action(u"mnuTukarLogin"_s)->trigger();
        QCOMPARE(rig.p.session.LoginUserID, u"admin"_s);
        QVERIFY(!rig.p.exit.ended);
        check(false);
        rig.signIn.script.push_back({u"ADMIN"_s, GroupHQ});
        rig.action(u"mnuTukarLogin"_s)->trigger();
        QCOMPARE(rig.children().size(), 2);

        int openDuringSignIn = -1;
        rig.signIn.onRun = [&](QWidget*) { openDuringSignIn = rig.children().size(); };
        rig.signIn.script.push_back({u"root"_s, GroupSistem});
        rig.action(u"mnuTukarLogin"_s)->trigger();
        QCOMPARE(openDuringSignIn, 2);
        QVERIFY(rig.children().isEmpty());
        check(true);
        rig.window->Toolbar1_ButtonClick(u"mUserID"_s);
        QCOMPARE(rig.windows.log.size(), 3);

        rig.signIn.script.push_back({u"area"_s, GroupKawasan});
        rig.action(u"mnuTukarLogin"_s)->trigger();
        check(false);
        rig.window->Toolbar1_ButtonClick(u"mUserID"_s);
        QCOMPARE(rig.windows.log.size(), 3);
        QCOMPARE(rig.signIn.changingLoginSeen, (QList<bool>{false, true, true, true, true}));
        QVERIFY(!rig.p.session.ChangingLogin);

        // The sign-in's update check switches Web Patch.
        rig.window->setWebPatchAvailable(false);
        QVERIFY(!rig.action(u"mnuWebPatch"_s)->isEnabled());
        QVERIFY(!rig.action(u"mWebPatch"_s)->isVisible());
    }

    void withoutSignInNobodyGetsTheGroupLimitedCommands()
    {
        MainRig rig{QString(), false};
        rig.p.signInAs(u"admin"_s, u"Administrator"_s, GroupSistem);
        QVERIFY(rig.start());
        QVERIFY(!rig.p.session.isSignedIn());
        QVERIFY(!rig.action(u"mnuMaklumatPengguna"_s)->isEnabled());
        QVERIFY(!rig.action(u"mUserID"_s)->isVisible());
        QVERIFY(!rig.action(u"mnuTukarLogin"_s)->isEnabled());
        QVERIFY(rig.action(u"mnuInputRekod"_s)->isEnabled());
    }

    void startOffersTheMoveSignsInAndRecordsTheVersion_data()
    {
        QTest::addColumn<QString>("location"); // Database/DatabaseLocation; none: the first run
        QTest::addColumn<QString>("intraUrl");
        QTest::addColumn<bool>("signsIn");
        QTest::newRow("first run, no intranet") << QString() << QString() << true;
        QTest::newRow("location of blanks, intranet") << u"\"  \""_s << u"http://intranet.example/"_s << true;
        QTest::newRow("exit at the first sign-in")
            << u"/srv/tarvo"_s << u"http://intranet.example/"_s << false;
    }
    void startOffersTheMoveSignsInAndRecordsTheVersion()
    {
        QFETCH(QString, location);
        QFETCH(QString, intraUrl);
        QFETCH(bool, signsIn);
        MainRig rig(signsIn ? GroupSistem : QString());
        rig.p.writeIni(
            u"[Database]\nDatabaseLocation=%1\n[Web]\nIntraURL=%2\n[Version]\nVersion=0.99.0001\n"_s.arg(
                location, intraUrl));
        // The move is offered before the sign-in until the database has a folder of its own.
        QStringList order;
        QPoint offset; // of the offer from the middle of the screen
        if (location.isEmpty()) {
            test::whenModalOpens([&order, &offset](QWidget* dialog) {
                order << dialog->objectName();
                offset = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
                QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdTutup"_s), Qt::LeftButton);
            });
        }
        rig.signIn.onRun = [&order](QWidget*) { order << u"sign-in"_s; };
        QCOMPARE(rig.start(), signsIn);
        const QStringList expected = {u"frmChangeFolder"_s, u"sign-in"_s};
        QCOMPARE(order, location.isEmpty() ? expected : expected.mid(1));
        // The main window is not shown yet: the offer stands in the middle of the screen.
        QVERIFY(offset.manhattanLength() <= 4);
        QCOMPARE(rig.p.exit.ended, !signsIn);
        // Exit in the first sign-in stops the load there.
        QCOMPARE(rig.p.context.ReadINI(u"Version"_s, u"Version"_s), signsIn ? versionText() : u"0.99.0001"_s);
        if (!signsIn)
            return;
        QAction* intranet = rig.action(u"mnuLamanWeb"_s);
        QCOMPARE(intranet->isEnabled(), !intraUrl.isEmpty());
        // With an intranet, the product page and the help file are there too; the help opens in the
        // program's own window. The product page is not checked first: an empty address, like a missing
        // help file, is reported, naming it.
        const QString help = rig.p.path(u"TarvoHelp.html"_s);
        if (!intraUrl.isEmpty()) {
            test::writeFile(help, "<html></html>");
            QVERIFY(rig.p.context.WriteINI(u"Web"_s, u"MainURL"_s, intraUrl + u"main"_s));
        }
        rig.p.messenger.clear();
        for (const char* item : {"mnuLamanWeb", "mnuWebPage", "mnuHelp"})
            rig.action(item)->trigger();
        const QStringList opened = {intraUrl, intraUrl + u"main"_s};
        QCOMPARE(rig.p.shell.opened, intraUrl.isEmpty() ? QStringList() : opened);
        QCOMPARE(rig.window->findChildren<QWidget*>(u"frmHelp"_s).size(), intraUrl.isEmpty() ? 0 : 1);
        const QStringList told = {u"the key MainURL in the section [Web] of "_s + rig.p.iniPath() +
                                      u" is empty"_s,
                                  help + u"\": it does not exist"_s};
        const QStringList shown = rig.p.messenger.texts();
        QCOMPARE(shown.size(), intraUrl.isEmpty() ? 2 : 0);
        for (qsizetype i = 0; i < shown.size(); ++i)
            QVERIFY2(shown.at(i).contains(told.at(i)), qPrintable(shown.at(i)));
    }

    void childWindowsAreCentredSingleInstances()
    {
        MainRig rig;
        QVERIFY(rig.start());
        rig.action(u"mnuCarianRekod"_s)->trigger();
        rig.action(u"mnuCarianRekod"_s)->trigger();
        QCOMPARE(rig.windows.log.size(), 1);
        QCOMPARE(rig.children().size(), 1);
        const QPoint area = rig.window->findChild<QMdiArea*>()->viewport()->rect().center();
        const QPoint child = rig.children().constFirst()->geometry().center();
        QVERIFY((child - area).manhattanLength() <= 2);

        // Closed, it is created afresh.
        rig.children().constFirst()->close();
        QVERIFY(rig.children().isEmpty());
        rig.action(u"mnuCarianRekod"_s)->trigger();
        QCOMPARE(rig.windows.log.size(), 2);

        // The three assignment commands share one window, fixed in its mode: another mode opens it
        // anew, unless it is busy.
        const auto activeAfter = [&rig](const char* item, bool dedicated, bool scan) {
            rig.action(QString::fromLatin1(item))->trigger();
            [&] {
                QCOMPARE(rig.p.modes.DedicatedMode, dedicated);
                QCOMPARE(rig.p.modes.ScanMode, scan);
            }();
            return rig.window->findChild<QMdiArea*>()->activeSubWindow()->widget();
        };
        QWidget* dedicatedWindow = activeAfter("mnuDedicatedIP", true, false);
        QCOMPARE(activeAfter("mnuDedicatedIP", true, false), dedicatedWindow);
        QWidget* scanWindow = activeAfter("mnuScanNetwork", false, true);
        QVERIFY(scanWindow != dedicatedWindow);
        rig.windows.lastChild->busy = u"A scan is running."_s;
        QCOMPARE(activeAfter("mnuInputRekod", false, false), scanWindow);
        QCOMPARE(rig.children().size(), 2);
    }

    // A child window opens large enough for its content: the size it set for itself or its size hint,
    // whichever is larger, as far as the window area allows.
    void childWindowsOpenLargeEnoughForTheirContent_data()
    {
        QTest::addColumn<QSize>("hint");
        QTest::addColumn<QSize>("asked"); // what the window set with resize(); invalid: nothing
        QTest::addColumn<bool>("owned");  // a window of its own over the main window
        QTest::newRow("asks for more than its hint") << QSize(280, 200) << QSize(620, 460) << false;
        QTest::newRow("hint larger than asked") << QSize(700, 320) << QSize(300, 200) << false;
        QTest::newRow("hint alone") << QSize(500, 300) << QSize() << false;
        QTest::newRow("larger than the window area") << QSize(300, 200) << QSize(3000, 2000) << false;
        QTest::newRow("owned window asks for more than its hint")
            << QSize(280, 200) << QSize(620, 460) << true;
    }
    void childWindowsOpenLargeEnoughForTheirContent()
    {
        QFETCH(QSize, hint);
        QFETCH(QSize, asked);
        QFETCH(bool, owned);
        struct Content final : QWidget
        {
            QSize hint;
            QSize sizeHint() const override { return hint; }
        };
        MainRig rig;
        QVERIFY(rig.start());
        auto* content = new Content;
        content->hint = hint;
        if (asked.isValid())
            content->resize(asked);
        const QSize wanted = hint.expandedTo(asked);
        if (owned) {
            rig.window->showOwnedWindow(content);
            QCOMPARE(content->size(), wanted);
            return;
        }
        rig.window->showChildWindow(content);
        const QMdiSubWindow* sub = rig.children().constFirst();
        const QRect area = rig.window->findChild<QMdiArea*>()->viewport()->rect();
        QVERIFY(area.contains(sub->geometry()));
        QVERIFY2(content->width() >= wanted.width() || sub->width() == area.width(),
                 qPrintable(u"%1 wide"_s.arg(content->width())));
        QVERIFY2(content->height() >= wanted.height() || sub->height() == area.height(),
                 qPrintable(u"%1 high"_s.arg(content->height())));
    }

    // The file dialogs are wide enough for their columns; a save dialog gives the path to write.
    void dialogsStandCentredOnTheMainWindow_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("typed"); // the name typed into a save dialog; none: it is closed
        QTest::addColumn<QString>("chosen");
        QTest::newRow("folder dialog") << u"folder"_s << QString() << QString();
        QTest::newRow("file dialog") << u"file"_s << QString() << QString();
        QTest::newRow("save dialog, name without suffix") << u"save"_s << u"by date"_s << u"by date.pdf"_s;
        QTest::newRow("save dialog, name with suffix") << u"save"_s << u"by date.pdf"_s << u"by date.pdf"_s;
        QTest::newRow("message of a child window") << u"message"_s << QString() << QString();
    }
    void dialogsStandCentredOnTheMainWindow()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        MainRig rig;
        QVERIFY(rig.start());
        // Small enough that the dialogs fit on the screen around its centre.
        rig.window->setGeometry(QRect(QPoint(10, 10), QSize(780, 580)));
        rig.action(u"mnuCarianRekod"_s)->trigger();
        QRect shown;
        test::whenModalOpens([&shown, typed](QWidget* modal) {
            shown = modal->geometry();
            if (typed.isEmpty()) {
                modal->close();
            } else {
                modal->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(typed);
                qobject_cast<QDialog*>(modal)->accept();
            }
        });
        QtFileDialogs files;
        QString path;
        if (dialog == u"folder")
            path = files.browseForFolder(rig.window.get(), u"Choose Folder :"_s);
        else if (dialog == u"file")
            path = files.chooseFileToOpen(rig.window.get(),
                                          {u"Locate Tarvo database"_s, {}, rig.p.folder(), {}, 0});
        else if (dialog == u"save")
            path = files.chooseFileToSave(
                rig.window.get(),
                {u"Export PDF"_s, u"Report.pdf"_s, rig.p.folder(), {u"PDF files (*.pdf)"_s}, u"pdf"_s});
        else
            MessageBoxMessenger().inform(rig.windows.lastChild, u"Done."_s, u"Tarvo"_s,
                                         MessageIcon::Information);
        QCOMPARE(path, chosen.isEmpty() ? QString() : rig.p.path(chosen));
        QVERIFY((shown.center() - rig.window->geometry().center()).manhattanLength() <= 4);
        QVERIFY(dialog == u"message" || (shown.width() >= 760 && shown.height() >= 480));
    }

    void busyOrRefusingWindowsKeepTheUserAndTheProgram()
    {
        MainRig rig;
        QVERIFY(rig.start());
        rig.action(u"mnuBackupRestore"_s)->trigger();
        rig.windows.lastChild->busy = u"A file is being split."_s;
        rig.action(u"mnuTukarLogin"_s)->trigger();
        QCOMPARE(rig.signIn.changingLoginSeen.size(), 1);
        QVERIFY(rig.p.messenger.sawText(u"A file is being split."_s));
        rig.action(u"mnuKeluar"_s)->trigger();
        rig.windows.lastChild->busy.clear();
        rig.windows.lastChild->refuseClose = true;
        QVERIFY(!rig.window->close());
        QVERIFY(!rig.p.exit.ended);
        QVERIFY(rig.window->isVisible());
        rig.windows.lastChild->refuseClose = false;
        // Closing the frame is the same as Exit.
        QVERIFY(rig.window->close());
        QVERIFY(rig.children().isEmpty());
        QVERIFY(rig.p.exit.ended);
    }

    void siblingProgramsStartFromTheProgramFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<MessageAnswer>("answer"); // to Web Patch's question whether to close Tarvo
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Host Watch") << u"HostWatch"_s << true << MessageAnswer::Ok << true << true << false;
        QTest::newRow("Web Patch not installed")
            << u"WebPatch"_s << false << MessageAnswer::Yes << true << false << false;
        QTest::newRow("Web Patch, No")
            << u"WebPatch"_s << true << MessageAnswer::No << true << false << false;
        QTest::newRow("Web Patch, Yes")
            << u"WebPatch"_s << true << MessageAnswer::Yes << true << true << true;
        // The program ends only when the updater runs.
        QTest::newRow("Web Patch cannot start")
            << u"WebPatch"_s << true << MessageAnswer::Yes << false << true << false;
    }
    void siblingProgramsStartFromTheProgramFolder()
    {
        QFETCH(QString, program);
        QFETCH(bool, installed);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, starts);
        QFETCH(bool, started);
        QFETCH(bool, ends);
        MainRig rig;
        QVERIFY(rig.start());
        if (installed)
            test::addProgram(rig.p, program);
        rig.p.shell.startSucceeds = starts;
        rig.p.messenger.answer(answer);
        rig.action(program == u"WebPatch" ? u"mnuWebPatch"_s : u"mnuHostWatch"_s)->trigger();
        QCOMPARE(rig.p.shell.started.size(), started ? 1 : 0);
        if (started)
            QCOMPARE(rig.p.shell.started.constFirst().program, rig.p.path(program));
        if (!installed)
            QVERIFY(rig.p.messenger.last().text.contains(rig.p.path(program)));
        QCOMPARE(rig.p.exit.ended, ends);
    }

    // Help (F1 or the menu) shows the program folder's help file in the help window, one at a time;
    // links to files are followed there, web and mail links go to the desktop, which may fail.
    void helpWindowShowsTheHelpFileAndFollowsItsLinks()
    {
        MainRig rig;
        test::writeFile(
            rig.p.path(u"TarvoHelp.html"_s),
            "<html><head><title>Tarvo Help</title></head><body><p>Starting Tarvo</p>"
            "<p><a href=\"more.html#end\">More help</a> <a href=\"https://example.org/t\">Web</a> "
            "<a href=\"mailto:admin@example.org\">Mail</a></p></body></html>");
        test::writeFile(rig.p.path(u"more.html"_s), "<p>The second page</p><p><a name=\"end\">End</a></p>");
        QVERIFY(rig.start());
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        QTest::keyClick(rig.window.get(), Qt::Key_F1);
        QCOMPARE(rig.children().size(), 1);
        QWidget* help = rig.children().constFirst()->widget();
        rig.action(u"mnuHelp"_s)->trigger(); // brings the open one forward
        QCOMPARE(rig.children().size(), 1);
        QCOMPARE(rig.children().constFirst()->widget(), help);
        QCOMPARE(help->objectName(), u"frmHelp"_s);
        QCOMPARE(help->windowTitle(), u"Tarvo Help"_s);
        auto* text = help->findChild<QTextBrowser*>(u"txtHelp"_s);
        QVERIFY(text->toPlainText().contains(u"Starting Tarvo"_s));

        const auto clickLink = [text](const QString& caption) {
            const QTextCursor found = text->document()->find(caption);
            QTextCursor inside(text->document());
            inside.setPosition(found.selectionStart() + 1);
            QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(inside).center());
        };
        rig.p.messenger.clear();
        rig.p.shell.openSucceeds = false;
        clickLink(u"Web"_s);
        rig.p.shell.openSucceeds = true;
        clickLink(u"Mail"_s);
        QCOMPARE(rig.p.shell.opened,
                 (QStringList{u"https://example.org/t"_s, u"mailto:admin@example.org"_s}));
        QCOMPARE(rig.p.messenger.texts(),
                 QStringList{
                     u"Cannot open \"https://example.org/t\": the desktop has no program that opens it."_s});
        clickLink(u"More help"_s);
        QCOMPARE(text->source().fileName(), u"more.html"_s);
        QVERIFY(text->toPlainText().contains(u"The second page"_s));
        QCOMPARE(rig.p.shell.opened.size(), 2);
    }

    void aboutBoxLinksOpenOncePerClick()
    {
        MainRig rig;
        QVERIFY(rig.start());
        QString opened;
        test::whenModalOpens([&opened](QWidget* dialog) {
            opened = dialog->objectName();
            QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
        });
        rig.action(u"mnuPerihal"_s)->trigger();
        QCOMPARE(opened, u"frmAbout"_s);

        frmAbout about(rig.p.context);
        about.show();
        QCOMPARE(about.findChild<QLabel*>(u"lblProductName"_s)->text(), u"Tarvo version "_s + versionText());
        for (const char* label : {"Label2", "Label5"}) {
            auto* link = about.findChild<LinkLabel*>(QLatin1String(label));
            const QPoint inside = link->rect().center();
            const qsizetype before = rig.p.shell.opened.size();
            QTest::mousePress(link, Qt::LeftButton, {}, inside);
            QCOMPARE(rig.p.shell.opened.size(), before);
            QTest::mouseRelease(link, Qt::LeftButton, {}, inside);
            // Pressed, then released outside the link: back to blue, nothing opened.
            QTest::mousePress(link, Qt::LeftButton, {}, inside);
            QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().bottomRight() + QPoint(20, 20));
            QCOMPARE(link->linkColour(), LinkLabel::Blue);
        }
        QCOMPARE(rig.p.shell.opened, (QStringList{QString::fromUtf8(build::WebAddress),
                                                  u"mailto:"_s + QString::fromUtf8(build::MailAddress)}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
