#include "FakeMainWindow.h"
#include "FakePinger.h"
#include "LoopbackHttpServer.h"
#include "ModalDialogs.h"
#include "TestProgram.h"

#include "accounts/SignInRunner.h"
#include "accounts/UpdateCheck.h"
#include "accounts/UserStore.h"
#include "accounts/frmLogin.h"
#include "core/Sql.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tarvo;
using tarvo::test::whenModal;

namespace {

// A sign-in dialog over a test program folder, with the forgotten-login dialog replaced by a counter.
struct SignIn
{
    test::TestProgram program;
    test::FakePinger pinger;
    test::FakeMainWindow mainWindow;
    int forgottenLoginOpened = 0;
    std::unique_ptr<frmLogin> dialog;

    SignIn() { open(); }
    void open()
    {
        dialog = std::make_unique<frmLogin>(program.context, mainWindow, pinger,
                                            [this](QWidget*) { ++forgottenLoginOpened; });
        dialog->show();
    }
    template <class T>
    T* child(const char* name) const
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    void type(const QString& userId, const QString& password)
    {
        child<QLineEdit>("txtUserID")->clear();
        QTest::keyClicks(child<QLineEdit>("txtUserID"), userId);
        child<QLineEdit>("txtPassword")->clear();
        QTest::keyClicks(child<QLineEdit>("txtPassword"), password);
    }
    void untickUpdateCheck()
    {
        QCheckBox* box = child<QCheckBox>("chkWebPatch");
        if (box->isChecked())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    }
    void clickEnter() { QTest::mouseClick(child<QPushButton>("CmdTeruskan"), Qt::LeftButton); }
    bool accepted() const { return !dialog->isVisible() && dialog->result() == QDialog::Accepted; }
    bool rejected() const { return !dialog->isVisible() && dialog->result() == QDialog::Rejected; }
};

} // namespace

class SignInTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }

    void signsInIgnoringLetterCase_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("pressEnter");
        QTest::newRow("as stored") << "admin"
                                   << "admin" << false;
        QTest::newRow("mixed case") << "AdMiN"
                                    << "ADMIN" << false;
        QTest::newRow("Enter in the password box") << "Admin"
                                                   << "admiN" << true;
    }
    void signsInIgnoringLetterCase()
    {
        QFETCH(QString, userId);
        QFETCH(QString, password);
        QFETCH(bool, pressEnter);
        SignIn s;
        s.program.context.WriteINI(QStringLiteral("Web"), QStringLiteral("UpdateURL"),
                                   QStringLiteral("http://127.0.0.1:9/tarvo"));
        s.untickUpdateCheck();
        s.type(userId, password);
        if (pressEnter)
            QTest::keyClick(s.child<QLineEdit>("txtPassword"), Qt::Key_Return);
        else
            s.clickEnter();
        QVERIFY(s.accepted());
        QCOMPARE(s.program.session.LoginUserID, QStringLiteral("admin"));
        QCOMPARE(s.program.session.LoginName, QStringLiteral("Administrator"));
        QCOMPARE(s.program.session.LoginGroup, QStringLiteral("Sistem"));
        QCOMPARE(s.program.session.LoginRegion, QString());
        QCOMPARE(s.mainWindow.caption, QStringLiteral("Tarvo - [User : Administrator]"));
        QVERIFY(s.dialog->signedInRowId() > 0);
        QCOMPARE(s.forgottenLoginOpened, 0);
        // The update command was withdrawn when the dialog opened, and with the box cleared nothing was
        // sent to find an update.
        QCOMPARE(s.mainWindow.webPatchCalls, QList<bool>{false});
        QVERIFY(s.pinger.calls.isEmpty());
    }

    void onlyAnAreaAdministratorIsLimitedToAnArea_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("region");
        QTest::newRow("area administrator") << "Kawasan"
                                            << "Headquarters";
        // An account moved from an area to HQ keeps its old area in the table, but sees every area.
        QTest::newRow("HQ with an old area") << "HQ"
                                             << "";
    }
    void onlyAnAreaAdministratorIsLimitedToAnArea()
    {
        QFETCH(QString, group);
        QFETCH(QString, region);
        SignIn s;
        UserStore store(s.program.database);
        QVERIFY(*store.add({QStringLiteral("Kamal"), QStringLiteral("kamal"), QStringLiteral("pw"), QString(),
                            QStringLiteral("Kawasan"), QStringLiteral("Headquarters")}) ==
                AccountProblem::None);
        QVERIFY(execSql(s.program.database.handle(),
                        QStringLiteral("UPDATE UserID SET [Group] = ? WHERE UserID = ?"),
                        {group, QStringLiteral("kamal")}));
        s.untickUpdateCheck();
        s.type(QStringLiteral("kamal"), QStringLiteral("pw"));
        s.clickEnter();
        QVERIFY(s.accepted());
        QCOMPARE(s.program.session.LoginGroup, group);
        QCOMPARE(s.program.session.LoginRegion, region);
    }

    void failedAttemptOpensForgottenLogin_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << "admin"
                                        << "secret";
        QTest::newRow("unknown user") << "nobody"
                                      << "admin";
        QTest::newRow("both empty") << ""
                                    << "";
        QTest::newRow("quote in the ID") << "admin' --"
                                         << "x";
    }
    void failedAttemptOpensForgottenLogin()
    {
        QFETCH(QString, userId);
        QFETCH(QString, password);
        SignIn s;
        s.type(userId, password);
        s.clickEnter();
        QCOMPARE(s.forgottenLoginOpened, 1);
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.child<QLineEdit>("txtUserID")->text(), userId);
        QCOMPARE(s.child<QLineEdit>("txtPassword")->text(), password);
        QVERIFY(!s.program.session.isSignedIn());
        QVERIFY(s.program.messenger.isEmpty());
        QVERIFY(s.pinger.calls.isEmpty());
    }

    void databaseFailureKeepsTheDialogOpen()
    {
        SignIn s;
        s.untickUpdateCheck();
        s.program.database.close();
        s.type(QStringLiteral("admin"), QStringLiteral("admin"));
        s.clickEnter();
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.program.messenger.count(), 1);
        QCOMPARE(s.program.messenger.last().icon, MessageIcon::Critical);
        QVERIFY(!s.program.session.isSignedIn());
        QCOMPARE(s.forgottenLoginOpened, 0);
        QVERIFY(s.mainWindow.caption.isEmpty());

        // Once the database is back the same dialog signs in.
        QVERIFY(s.program.openDatabase());
        s.clickEnter();
        QVERIFY(s.accepted());
        QVERIFY(s.program.session.isSignedIn());
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
        QTest::newRow("closed during Change Login") << true << "close";
    }
    void leavingSignsNobodyIn()
    {
        QFETCH(bool, changingLogin);
        QFETCH(QString, how);
        SignIn s;
        if (changingLogin) {
            s.program.signInAs(QStringLiteral("hq1"), QStringLiteral("Hasan"), QStringLiteral("HQ"),
                               QStringLiteral("North"));
            s.program.session.ChangingLogin = true;
            s.open();
        }
        const Session before = s.program.session;
        QCOMPARE(s.child<QPushButton>("cmdExit")->text(),
                 changingLogin ? QStringLiteral("Cancel") : QStringLiteral("Exit"));
        // Typed but not submitted: nothing of it may stick.
        s.type(QStringLiteral("admin"), QStringLiteral("admin"));
        if (how == QLatin1String("button"))
            QTest::mouseClick(s.child<QPushButton>("cmdExit"), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(s.child<QLineEdit>("txtUserID"), Qt::Key_Escape);
        else
            s.dialog->close();
        QVERIFY(s.rejected());
        QCOMPARE(s.program.session.LoginUserID, before.LoginUserID);
        QCOMPARE(s.program.session.LoginName, before.LoginName);
        QCOMPARE(s.program.session.LoginGroup, before.LoginGroup);
        QCOMPARE(s.program.session.LoginRegion, before.LoginRegion);
        QCOMPARE(s.program.session.ChangingLogin, changingLogin);
        QVERIFY(s.mainWindow.caption.isEmpty());
    }

    void updateCheckRunsBeforeTheDialogCloses_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("webPatch");
        QTest::addColumn<int>("messages");
        QTest::newRow("update available") << QByteArray("1.30.0522 -> 1.31.0600\r\n") << true << 1;
        QTest::newRow("no arrow: closes silently") << QByteArray("nothing here\r\n") << false << 0;
    }
    void updateCheckRunsBeforeTheDialogCloses()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, webPatch);
        QFETCH(int, messages);
        SignIn s;
        test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serve(QStringLiteral("/tarvo/TarvoWebPatch"), 200, contents);
        s.program.context.WriteINI(QStringLiteral("Web"), QStringLiteral("UpdateURL"),
                                   server.url(QStringLiteral("/tarvo")));
        s.pinger.answers(QStringLiteral("127.0.0.1"));
        s.dialog->findChild<UpdateCheck*>()->setRunningVersion(QStringLiteral("1.30.0522"));

        s.type(QStringLiteral("admin"), QStringLiteral("admin"));
        s.clickEnter();
        // Signed in at once; the dialog waits for the check without blocking, its input locked.
        QVERIFY(s.program.session.isSignedIn());
        QVERIFY(s.dialog->isVisible());
        QVERIFY(!s.child<QPushButton>("CmdTeruskan")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!s.dialog->isVisible(), 20000);
        QVERIFY(s.accepted());
        QCOMPARE(s.mainWindow.webPatch, webPatch);
        QCOMPARE(s.program.messenger.count(), messages);
        QCOMPARE(s.pinger.calls.size(), 1);
        QCOMPARE(server.requestedPaths().size(), 1);
        QVERIFY(!QFile::exists(s.program.path(UpdateInformationFile)));
    }

    void runnerRunsTheDialogModally()
    {
        test::TestProgram program;
        test::FakePinger pinger;
        test::FakeMainWindow mainWindow;
        SignInRunner runner(program.context, mainWindow, pinger);

        // A wrong password brings up the real forgotten-login dialog; after it the user tries again.
        bool forgottenSeen = false;
        whenModal(QStringLiteral("frmLogin"), [&](QWidget* login) {
            login->findChild<QCheckBox*>(QStringLiteral("chkWebPatch"))->setChecked(false);
            QTest::keyClicks(login->findChild<QLineEdit*>(QStringLiteral("txtUserID")),
                             QStringLiteral("admin"));
            QTest::keyClicks(login->findChild<QLineEdit*>(QStringLiteral("txtPassword")),
                             QStringLiteral("wrong"));
            whenModal(QStringLiteral("frmLoginSilap"), [&, login](QWidget* forgotten) {
                forgottenSeen = true;
                QTest::mouseClick(forgotten->findChild<QPushButton*>(QStringLiteral("cmdBatal2")),
                                  Qt::LeftButton);
                whenModal(QStringLiteral("frmLogin"), [](QWidget* again) {
                    auto* password = again->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
                    password->clear();
                    QTest::keyClicks(password, QStringLiteral("admin"));
                    QTest::keyClick(password, Qt::Key_Return);
                });
                Q_UNUSED(login)
            });
            QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("CmdTeruskan")), Qt::LeftButton);
        });
        QVERIFY(runner.runSignIn(mainWindow.mainWidget()));
        QVERIFY(forgottenSeen);
        QCOMPARE(program.session.LoginUserID, QStringLiteral("admin"));
        QVERIFY(runner.signedInAccount().rowId > 0);

        // Exit returns false and leaves the signed-in user as he was.
        whenModal(QStringLiteral("frmLogin"), [](QWidget* login) {
            QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        });
        QVERIFY(!runner.runSignIn(mainWindow.mainWidget()));
        QCOMPARE(program.session.LoginUserID, QStringLiteral("admin"));
    }
};

QTEST_MAIN(SignInTest)
#include "SignInTest.moc"
