// The program as src/app puts it together: every registered window reached from the real main window,
// with the real sign-in dialog in front of it.

#include "FakePinger.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "UserFolders.h"

#include "app/WindowRegistration.h"
#include "core/MDIFrmUtama.h"
#include "core/Sql.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace tarvo;

namespace {

struct WiredProgram
{
    WiredProgram()
    {
        // A recorded database folder and mail server: no first-run offer, no SMTP settings dialog.
        p.context.WriteINI(QStringLiteral("Database"), QStringLiteral("DatabaseLocation"), p.folder());
        p.context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"), QStringLiteral("127.0.0.1"));
        app::registerAllWindows(services);
        window = std::make_unique<MDIFrmUtama>(p.context, registry, services.signIn.get());
        services.mainWindow.setTarget(window.get());
    }
    ~WiredProgram() { services.mainWindow.setTarget(nullptr); }

    // Answers the next sign-in dialog with a user ID and password, without the update check.
    static void signInWith(const QString& userId, const QString& password)
    {
        test::whenModal(QStringLiteral("frmLogin"), [userId, password](QWidget* dialog) {
            auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("chkWebPatch"));
            check->setChecked(false);
            auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("txtUserID"));
            auto* pass = dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
            QTest::keyClicks(user, userId);
            QTest::keyClicks(pass, password);
            QTest::keyClick(pass, Qt::Key_Return);
        });
    }

    QAction* action(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }
    QStringList openChildren() const
    {
        QStringList names;
        for (QMdiSubWindow* sub : window->findChild<QMdiArea*>()->subWindowList())
            names << sub->widget()->objectName();
        return names;
    }

    test::TestProgram p;
    test::FakePinger pinger;
    WindowRegistry registry;
    app::AppServices services{p.context, registry, pinger, {}, nullptr};
    std::unique_ptr<MDIFrmUtama> window;
};

} // namespace

class ProgramWiringTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signInThroughTheRealDialogUnlocksTheBuiltCommands()
    {
        WiredProgram program;
        WiredProgram::signInWith(QStringLiteral("ADMIN"), QStringLiteral("admin"));
        QVERIFY(program.window->start());

        QCOMPARE(program.p.session.LoginName, QStringLiteral("Administrator"));
        QCOMPARE(program.p.session.LoginGroup, GroupSistem);
        QVERIFY(program.window->mainCaption().contains(QStringLiteral("Administrator")));
        QVERIFY(program.pinger.calls.isEmpty());

        // The windows that exist are reachable; the others stay disabled until they are built.
        for (const char* built : {"mnuMaklumatPengguna", "mnuTukarPassword", "mnuSubnetCalculator",
                                  "mnuBackupRestore", "mnuCompactDB"})
            QVERIFY2(program.action(built)->isEnabled(), built);
        for (const char* missing :
             {"mnuInputRekod", "mnuCarianRekod", "mnuIPAddressSetting", "mnuRptLocation", "mnuAssignLog"})
            QVERIFY2(!program.action(missing)->isEnabled(), missing);
    }

    void maintenanceCommandsReachTheBackupWindowAndTheCompaction()
    {
        test::UserFolders folders;
        WiredProgram program;
        program.p.context.WriteINI(QStringLiteral("Backup"), QStringLiteral("BackupLocation"),
                                   program.p.folder());
        WiredProgram::signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(program.window->start());

        program.window->Toolbar1_ButtonClick(QStringLiteral("mBackupRestore"));
        QCOMPARE(program.openChildren(), QStringList{QStringLiteral("frmBackupDB")});
        program.p.messenger.answer(MessageAnswer::Yes);
        program.window->Toolbar1_ButtonClick(QStringLiteral("mCompactDB"));
        QCOMPARE(program.p.messenger.last().title, QStringLiteral("Compact Successful"));
    }

    void changeLoginToAnotherGroupClosesTheAccountsWindow()
    {
        WiredProgram program;
        QVERIFY(execSql(program.p.database.handle(),
                        QStringLiteral("INSERT INTO UserID (UserID, Name, Password, Email, [Group], Tadbir) "
                                       "VALUES ('hq1', 'Head Office', 'pw', '', 'HQ', '')")));
        WiredProgram::signInWith(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(program.window->start());

        program.window->Toolbar1_ButtonClick(QStringLiteral("mUserID"));
        QCOMPARE(program.openChildren(), QStringList{QStringLiteral("frmUser")});

        WiredProgram::signInWith(QStringLiteral("hq1"), QStringLiteral("pw"));
        program.action("mnuTukarLogin")->trigger();

        QCOMPARE(program.p.session.LoginName, QStringLiteral("Head Office"));
        QVERIFY(program.openChildren().isEmpty());
        QVERIFY(!program.action("mnuMaklumatPengguna")->isEnabled());
        QVERIFY(!program.p.session.ChangingLogin);
    }
};

QTEST_MAIN(ProgramWiringTest)
#include "ProgramWiringTest.moc"
