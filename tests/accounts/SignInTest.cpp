#include "AccountsTestKit.h"
#include "FakeMainWindow.h"
#include "FakePinger.h"
#include "LoopbackHttpServer.h"
#include "ModalDialogs.h"

#include "accounts/SignInRunner.h"
#include "accounts/SmtpClient.h"
#include "accounts/UpdateCheck.h"
#include "accounts/frmLogin.h"
#include "core/FileDownloader.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

using namespace tarvo;
using test::click;
using test::type;

namespace {

const QString Running = QStringLiteral("1.30.0522");

// A program folder whose Web/UpdateURL names a folder of a loopback HTTP server, with the sign-in
// dialog (its forgotten-login dialog replaced by a counter).
struct SignIn
{
    test::TestProgram program;
    test::FakePinger pinger;
    AccountsNetwork network{pinger, SmtpClient::factory(), FileDownloader::factory()};
    test::FakeMainWindow mainWindow;
    test::LoopbackHttpServer server;
    int forgottenLoginOpened = 0;
    std::unique_ptr<frmLogin> dialog;

    SignIn()
    {
        if (!server.start())
            qFatal("no loopback HTTP server");
        program.context.WriteINI("Web", "UpdateURL", server.url("/tarvo"));
    }
    // Puts the update information at the address (nothing there when empty) and lets the host answer.
    void publish(const QByteArray& contents)
    {
        server.serve("/tarvo/TarvoWebPatch", contents.isEmpty() ? 404 : 200, contents);
        pinger.answers("127.0.0.1");
    }

    void open()
    {
        dialog = std::make_unique<frmLogin>(program.context, mainWindow, network,
                                            [this](QWidget*) { ++forgottenLoginOpened; });
        dialog->findChild<UpdateCheck*>()->setRunningVersion(Running);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
    }
    // Signs in with Enter in the password box.
    void enter(const QString& userId, const QString& password, bool checkForUpdates = false)
    {
        if (!checkForUpdates)
            click(dialog.get(), "chkWebPatch");
        type(dialog.get(), "txtUserID", userId);
        type(dialog.get(), "txtPassword", password);
        QTest::keyClick(test::child<QLineEdit>(dialog.get(), "txtPassword"), Qt::Key_Return);
    }
    bool closedWith(QDialog::DialogCode code) const
    {
        return !dialog->isVisible() && dialog->result() == code;
    }
    // Signs in as the administrator with the update check, which runs before the dialog closes: the
    // user is signed in at once and the dialog waits for the check without blocking, its input locked.
    bool signInAndCheck()
    {
        open();
        enter("admin", "admin", true);
        if (!program.session.isSignedIn() || !dialog->isVisible() ||
            test::child<QPushButton>(dialog.get(), "CmdTeruskan")->isEnabled())
            return false;
        return QTest::qWaitFor([this] { return closedWith(QDialog::Accepted); }, 20000);
    }
};

} // namespace

class SignInTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Versions compare as texts. The first item of the update information counts: up to a comma or the
    // line end, blanks before it skipped, without its quotes. Only the update address's own host is
    // pinged, and only a loopback one here.
    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("contents"); // empty: none at the address; null: no ping answer
        QTest::addColumn<QString>("told");        // the version offered, "major", "failure" or nothing
        QTest::addColumn<QString>("url");         // empty: the loopback server's folder
        QTest::addColumn<bool>("pinged");
        const auto row = [](const char* name, const QByteArray& contents, const char* told,
                            const char* url = "",
                            bool pinged = true) { QTest::newRow(name) << contents << told << url << pinged; };
        // clang-format off
        row("already the new version", "1.29.0500 -> 1.30.0522\r\n", "");
        row("update from the running version", "1.30.0522 -> 1.31.0600\r\n", "1.31.0600");
        row("update from an older version", "1.29.0000 -> 1.31.0000", "1.31.0000");
        row("revision counts", "1.30.0000 -> 1.30.0523", "1.30.0523");
        row("newer than offered", "1.00.0000 -> 1.29.9999", "");
        row("too old for the update", "1.31.0000 -> 1.32.0000\r\n", "major");
        row("blanks before", " \t1.31.0000 -> 1.32.0000", "major");
        row("a comma after", "1.30.0522 -> 1.31.0600,x -> 9", "1.31.0600");
        row("quoted item", "\"1.30.0522 -> 1.31.0600\"\nnotes", "1.31.0600");
        row("to-version without a dot", "1 -> 2\r\n", "");
        row("no arrow", "1.30.0522 1.31.0600\r\n", "");
        row("arrow on the second line", "\r\n1.30.0522 -> 1.31.0600\r\n", "");
        row("download fails", "", "failure");
        row("host does not answer", QByteArray(), "");
        row("a name looked up", QByteArray(), "", "http://localhost/tarvo");
        row("user and port", QByteArray(), "", "http://me:pw@127.0.0.1:8080/x");
        row("outside address", QByteArray(), "", "http://10.0.0.1/tarvo", false);
        row("no host part", QByteArray(), "", "updates", false);
        row("no address", QByteArray(), "", "", false);
        // clang-format on
    }
    void updateCheck()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, told);
        QFETCH(QString, url);
        QFETCH(bool, pinged);
        SignIn s;
        if (!url.isEmpty() || !pinged)
            s.program.context.WriteINI("Web", "UpdateURL", url);
        if (!contents.isNull())
            s.publish(contents);
        QVERIFY(s.signInAndCheck());
        QCOMPARE(s.pinger.addresses(), pinged ? QStringList{"127.0.0.1"} : QStringList{});
        QCOMPARE(s.server.requestedPaths().size(), contents.isNull() ? 0 : 1);
        const bool update = told.startsWith(QLatin1Char('1'));
        QStringList messages;
        if (update)
            messages << "Administrator,\n\nThere is an update available to version " + told +
                            ". Please update using Utility - Web Patch menu.";
        else if (told == QLatin1String("major"))
            messages << "Administrator,\n\nThere are Major Update to Tarvo software. Please download Tarvo "
                        "from Tarvo website !";
        else if (told == QLatin1String("failure"))
            messages << FileDownloader::failureMessage();
        QCOMPARE(s.program.messenger.texts(), messages);
        QCOMPARE(s.mainWindow.webPatch, update);
        QVERIFY(!QFileInfo::exists(s.program.path(UpdateInformationFile)));
    }

    // With the update box cleared nothing is sent. A failed attempt opens the forgotten-login dialog,
    // then waits for a new password; a click into a box selects its text, to be typed over. Group
    // names count in any letter case.
    void signsInIgnoringLetterCase_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("group"); // empty: refused
        QTest::addColumn<QString>("region");
        // clang-format off
        QTest::newRow("as stored") << "admin" << "admin" << "Sistem" << "";
        QTest::newRow("mixed case") << "AdMiN" << "ADMIN" << "Sistem" << "";
        QTest::newRow("area administrator") << "kamal" << "pw" << "kawasan" << "Headquarters";
        QTest::newRow("system administrator") << "lina" << "pw" << "SISTEM" << "";
        // An account moved from an area to HQ keeps its old area in the table, but sees every area.
        QTest::newRow("HQ with an old area") << "HADI" << "PW" << "HQ" << "";
        QTest::newRow("wrong password") << "admin" << "secret" << "" << "";
        QTest::newRow("unknown user") << "nobody" << "admin" << "" << "";
        QTest::newRow("quote in the ID") << "admin' --" << "x" << "" << "";
        // clang-format on
    }
    void signsInIgnoringLetterCase()
    {
        QFETCH(QString, userId);
        QFETCH(QString, password);
        QFETCH(QString, group);
        QFETCH(QString, region);
        SignIn s;
        test::addAccount(s.program, "Kamal", "kamal", "kawasan", {}, "Headquarters");
        test::addAccount(s.program, "Hadi", "hadi", "HQ", {}, "Headquarters");
        test::addAccount(s.program, "Lina", "lina", "SISTEM");
        s.open();
        s.enter(userId, password);
        QVERIFY(s.pinger.calls.isEmpty());
        QVERIFY(s.program.messenger.isEmpty());
        // The update command was withdrawn when the dialog opened.
        QCOMPARE(s.mainWindow.webPatchCalls, QList<bool>{false});
        QCOMPARE(s.forgottenLoginOpened, group.isEmpty() ? 1 : 0);
        if (group.isEmpty()) {
            QVERIFY(s.dialog->isVisible());
            QVERIFY(!s.program.session.isSignedIn());
            QVERIFY(QTest::qWaitForWindowActive(s.dialog.get()));
            auto* passwordBox = test::child<QLineEdit>(s.dialog.get(), "txtPassword");
            QVERIFY(passwordBox->text().isEmpty() && passwordBox->hasFocus());
            auto* userIdBox = test::child<QLineEdit>(s.dialog.get(), "txtUserID");
            QTest::mouseClick(userIdBox, Qt::LeftButton);
            QCOMPARE(userIdBox->selectedText(), userId);
            return;
        }
        QVERIFY(s.closedWith(QDialog::Accepted));
        const UserAccount row = test::storedRow(s.program, s.dialog->signedInRowId());
        QCOMPARE(row.UserID, userId.toLower());
        QCOMPARE(test::sessionOf(s.program), (QStringList{row.UserID, row.Name, group, region}));
        QCOMPARE(s.program.session.isSystemAdministrator(), group.toLower() == QLatin1String("sistem"));
        QCOMPARE(s.mainWindow.caption, QStringLiteral("Tarvo - [User : %1]").arg(row.Name));
    }

    void databaseFailureKeepsTheDialogOpen()
    {
        SignIn s;
        s.open();
        s.program.databaseService.close();
        s.enter("admin", "admin");
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.program.messenger.count(), 1);
        QCOMPARE(s.program.messenger.last().icon, MessageIcon::Critical);
        QVERIFY(!s.program.session.isSignedIn());
        QCOMPARE(s.forgottenLoginOpened, 0);
        QVERIFY(s.mainWindow.caption.isEmpty());

        // Once the database is back the same dialog signs in.
        QVERIFY(s.program.openDatabase());
        click(s.dialog.get(), "CmdTeruskan");
        QVERIFY(s.closedWith(QDialog::Accepted));
    }

    void leavingSignsNobodyIn_data()
    {
        QTest::addColumn<bool>("changingLogin");
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit at start-up") << false << "button";
        QTest::newRow("Esc at start-up") << false << "escape";
        QTest::newRow("closed at start-up") << false << "close";
        QTest::newRow("Cancel during Change Login") << true << "button";
        QTest::newRow("Esc during Change Login") << true << "escape";
    }
    void leavingSignsNobodyIn()
    {
        QFETCH(bool, changingLogin);
        QFETCH(QString, how);
        SignIn s;
        if (changingLogin) {
            s.program.signInAs("hq1", "Hasan", "HQ");
            s.program.session.ChangingLogin = true;
        }
        const QStringList before = test::sessionOf(s.program);
        s.open();
        QCOMPARE(test::child<QPushButton>(s.dialog.get(), "cmdExit")->text(),
                 changingLogin ? "Cancel" : "Exit");
        // Typed but not submitted: nothing of it may stick.
        type(s.dialog.get(), "txtUserID", "admin");
        type(s.dialog.get(), "txtPassword", "admin");
        if (how == QLatin1String("button"))
            click(s.dialog.get(), "cmdExit");
        else if (how == QLatin1String("escape"))
            QTest::keyClick(test::child<QLineEdit>(s.dialog.get(), "txtUserID"), Qt::Key_Escape);
        else
            s.dialog->close();
        QVERIFY(s.closedWith(QDialog::Rejected));
        QCOMPARE(test::sessionOf(s.program), before);
        QVERIFY(s.mainWindow.caption.isEmpty());
    }

    void runnerRunsTheDialogModally()
    {
        SignIn s;
        SignInRunner runner(s.program.context, s.mainWindow, s.network);
        // A wrong password brings up the real forgotten-login dialog; after it the user tries again.
        bool forgottenSeen = false;
        test::whenModal("frmLogin", [&](QWidget* login) {
            test::whenModal("frmLoginSilap", [&](QWidget* forgotten) {
                forgottenSeen = true;
                click(forgotten, "cmdBatal2");
            });
            click(login, "chkWebPatch");
            type(login, "txtUserID", "admin");
            type(login, "txtPassword", "wrong");
            click(login, "CmdTeruskan"); // returns once the forgotten-login dialog is cancelled
            type(login, "txtPassword", "admin");
            click(login, "CmdTeruskan");
        });
        QVERIFY(runner.runSignIn(s.mainWindow.mainWidget()));
        QVERIFY(forgottenSeen);
        QCOMPARE(s.program.session.LoginUserID, "admin");
        QCOMPARE(test::storedRow(s.program, runner.signedInAccount().rowId).UserID, "admin");
    }
};

QTEST_MAIN(SignInTest)
#include "SignInTest.moc"
