#include "LoopbackSmtpServer.h"
#include "TestProgram.h"

#include "accounts/SmtpClient.h"
#include "accounts/UserStore.h"
#include "accounts/frmLoginSilap.h"
#include "accounts/frmSMTPSetup.h"
#include "accounts/frmTukarPassword.h"
#include "core/Sql.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

using namespace tarvo;

namespace {

template <class T>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void type(QWidget* window, const char* name, const QString& text)
{
    QLineEdit* box = child<QLineEdit>(window, name);
    box->clear();
    QTest::keyClicks(box, text);
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

QString storedPassword(test::TestProgram& program, const QString& userId)
{
    return querySingleValue(program.database.handle(),
                            QStringLiteral("SELECT Password FROM UserID WHERE UserID = ?"), {userId})
        ->toString();
}

qint64 addAccount(test::TestProgram& program, const QString& name, const QString& userId,
                  const QString& password, const QString& email)
{
    UserStore store(program.database);
    qint64 row = 0;
    if (!store.add({name, userId, password, email, QStringLiteral("HQ"), std::nullopt}, &row))
        qFatal("cannot add a test account");
    return row;
}

// Points Network/SMTP and Network/Port at a mail server.
void useMailServer(test::TestProgram& program, const QString& server, quint16 port)
{
    program.context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"), server);
    program.context.WriteINI(QStringLiteral("Network"), QStringLiteral("Port"), QString::number(port));
}

} // namespace

class PasswordDialogsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }

    // --- change of password ---

    void changeOfPassword_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        QTest::newRow("changed") << "admin"
                                 << "n3w"
                                 << "n3w"
                                 << "Done. Password saved ..."
                                 << "n3w";
        QTest::newRow("current in other case") << "ADMIN"
                                               << "n3w"
                                               << "n3w"
                                               << "Invalid password !"
                                               << "admin";
        QTest::newRow("confirmation differs in case")
            << "admin"
            << "n3w"
            << "N3W"
            << "Invalid password confirmation. Passwords do not match."
            << "admin";
        QTest::newRow("wrong current comes first") << "nope"
                                                   << "a"
                                                   << "b"
                                                   << "Invalid password !"
                                                   << "admin";
        QTest::newRow("empty new password") << "admin"
                                            << ""
                                            << ""
                                            << "Done. Password saved ..."
                                            << "";
    }
    void changeOfPassword()
    {
        QFETCH(QString, current);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        test::TestProgram program;
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), QStringLiteral("Sistem"));
        frmTukarPassword dialog(program.context);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change password for Administrator"));
        QCOMPARE(child<QLabel>(&dialog, "lblUserID")->text(), QStringLiteral("admin"));
        type(&dialog, "txtPassword", current);
        type(&dialog, "txtNewPassword", newPassword);
        type(&dialog, "txtReconfirm", confirmation);
        click(&dialog, "cmdSimpan");
        QCOMPARE(program.messenger.texts(), QStringList{message});
        QCOMPARE(storedPassword(program, QStringLiteral("admin")), stored);
        const bool saved = message.startsWith(QLatin1String("Done"));
        QCOMPARE(dialog.isVisible(), !saved);
        QCOMPARE(program.messenger.last().title,
                 saved ? QStringLiteral("New Password") : QStringLiteral("Error !!!"));
        if (!saved)
            QCOMPARE(child<QLineEdit>(&dialog, "txtNewPassword")->text(), newPassword);
    }

    void changedPasswordSignsIn()
    {
        test::TestProgram program;
        addAccount(program, QStringLiteral("O'Neil"), QStringLiteral("o'neil"), QStringLiteral("old"),
                   QString());
        program.signInAs(QStringLiteral("o'neil"), QStringLiteral("O'Neil"), QStringLiteral("HQ"));
        frmTukarPassword dialog(program.context);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        type(&dialog, "txtPassword", QStringLiteral("old"));
        // Enter and Down move through the fields and stop on OK without submitting.
        QTest::keyClick(child<QLineEdit>(&dialog, "txtPassword"), Qt::Key_Return);
        QVERIFY(child<QLineEdit>(&dialog, "txtNewPassword")->hasFocus());
        QTest::keyClicks(child<QLineEdit>(&dialog, "txtNewPassword"), QStringLiteral("New"));
        QTest::keyClick(child<QLineEdit>(&dialog, "txtNewPassword"), Qt::Key_Down);
        QVERIFY(child<QLineEdit>(&dialog, "txtReconfirm")->hasFocus());
        QTest::keyClick(child<QLineEdit>(&dialog, "txtReconfirm"), Qt::Key_Up);
        QVERIFY(child<QLineEdit>(&dialog, "txtNewPassword")->hasFocus());
        child<QLineEdit>(&dialog, "txtReconfirm")->setFocus();
        type(&dialog, "txtReconfirm", QStringLiteral("New"));
        QTest::keyClick(child<QLineEdit>(&dialog, "txtReconfirm"), Qt::Key_Return);
        QVERIFY(child<QPushButton>(&dialog, "cmdSimpan")->hasFocus());
        QVERIFY(program.messenger.isEmpty());
        QVERIFY(dialog.isVisible());
        // Enter on the focused OK button presses it.
        QTest::keyClick(child<QPushButton>(&dialog, "cmdSimpan"), Qt::Key_Return);
        QCOMPARE(program.messenger.texts(), QStringList{"Done. Password saved ..."});
        UserStore store(program.database);
        QVERIFY(!store.findForSignIn(QStringLiteral("o'neil"), QStringLiteral("old"))->has_value());
        QVERIFY(store.findForSignIn(QStringLiteral("O'NEIL"), QStringLiteral("new"))->has_value());
    }

    void renamedAccountIsNotWritten()
    {
        test::TestProgram program;
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), QStringLiteral("Sistem"));
        QVERIFY(execSql(program.database.handle(), QStringLiteral("UPDATE UserID SET Name = 'Boss'")));
        frmTukarPassword dialog(program.context);
        dialog.show();
        type(&dialog, "txtPassword", QStringLiteral("admin"));
        type(&dialog, "txtNewPassword", QStringLiteral("x"));
        type(&dialog, "txtReconfirm", QStringLiteral("x"));
        click(&dialog, "cmdSimpan");
        QCOMPARE(program.messenger.count(), 1);
        QVERIFY(program.messenger.last().text.contains(QStringLiteral("no longer in Tarvo database")));
        QCOMPARE(storedPassword(program, QStringLiteral("admin")), QStringLiteral("admin"));
    }

    // --- forgotten login ---

    void forgottenLoginRefusals_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("empty address does nothing") << "" << QStringList{};
        QTest::newRow("unknown address")
            << "nobody@example.org" << QStringList{"Sorry, your internet email is not in Tarvo database !"};
        QTest::newRow("blanks are not trimmed")
            << " siti@example.org" << QStringList{"Sorry, your internet email is not in Tarvo database !"};
    }
    void forgottenLoginRefusals()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, messages);
        test::TestProgram program;
        addAccount(program, QStringLiteral("Siti"), QStringLiteral("siti"), QStringLiteral("pw"),
                   QStringLiteral("siti@example.org"));
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        useMailServer(program, QStringLiteral("127.0.0.1"), server.port());
        frmLoginSilap dialog(program.context);
        dialog.show();
        type(&dialog, "txtInternetEmail", address);
        QTest::keyClick(child<QLineEdit>(&dialog, "txtInternetEmail"), Qt::Key_Return);
        QCOMPARE(program.messenger.texts(), messages);
        if (!messages.isEmpty()) {
            QCOMPARE(program.messenger.last().title, QStringLiteral("Error !!!"));
            QCOMPARE(program.messenger.last().icon, MessageIcon::Critical);
        }
        QVERIFY(dialog.isVisible());
        QTest::qWait(0);
        QCOMPARE(server.connections(), 0);
    }

    void forgottenLoginIsMailed()
    {
        test::TestProgram program;
        addAccount(program, QStringLiteral("Siti"), QStringLiteral("siti"), QStringLiteral(".dot pass"),
                   QStringLiteral("Siti@Example.org"));
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        useMailServer(program, QStringLiteral("127.0.0.1"), server.port());
        frmLoginSilap dialog(program.context);
        dialog.show();
        int mailsWhenAccepted = -1;
        program.messenger.onMessage([&](const Message&) { mailsWhenAccepted = int(server.mails().size()); });
        type(&dialog, "txtInternetEmail", QStringLiteral("siti@EXAMPLE.org"));
        click(&dialog, "cmdOK");
        QVERIFY(!child<QPushButton>(&dialog, "cmdOK")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 20000);
        QCOMPARE(program.messenger.texts(),
                 QStringList{
                     "Your request has been successfully accepted and scheduled. You should receive an email "
                     "message within one hour."});
        QCOMPARE(program.messenger.last().title, QStringLiteral("Accepted !"));
        QCOMPARE(mailsWhenAccepted, 1); // shown only once the server had taken the mail
        QVERIFY(server.received().startsWith("MAIL FROM: Tarvo\r\nRCPT TO: Siti@Example.org\r\nDATA\r\n"));
        QCOMPARE(server.mails().first(),
                 QByteArray("FROM: Tarvo Administrator <Tarvo>\r\n"
                            "TO: Siti <Siti@Example.org>\r\n"
                            "SUBJECT: Tarvo : Your User ID and Password\r\n"
                            "\r\n"
                            "Siti,\r\n"
                            "\r\n"
                            "Bellow is your Tarvo User ID and Password.\r\n"
                            "\r\n"
                            "\tUser ID \t: siti\r\n"
                            "\tPassword\t: .dot pass\r\n"
                            "\r\n"
                            "Please don't hesitate to call Tarvo Administrator if you have "
                            "any problem.\r\n"
                            "\r\n"
                            "TQ\r\n"
                            "Tarvo Administrator\r\n"
                            "\r\n"));
    }

    void failedMailShowsTheError_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("recipient refused") << "550";
        QTest::newRow("connection refused") << "refused";
        QTest::newRow("silent server") << "silent";
        QTest::newRow("no server set") << "unset";
    }
    void failedMailShowsTheError()
    {
        QFETCH(QString, how);
        test::TestProgram program;
        addAccount(program, QStringLiteral("Siti"), QStringLiteral("siti"), QStringLiteral("pw"),
                   QStringLiteral("siti@example.org"));
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        quint16 port = server.port();
        if (how == QLatin1String("550")) {
            server.setReply("RCPT", "550 No such user\r\n");
        } else if (how == QLatin1String("silent")) {
            server.setSilent(true);
        } else if (how == QLatin1String("refused")) {
            // A port that was free a moment ago: nothing listens there any more.
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
            probe.close();
        }
        useMailServer(program, how == QLatin1String("unset") ? QString() : QStringLiteral("127.0.0.1"), port);
        frmLoginSilap dialog(program.context);
        dialog.mailClient().setStepTimeout(300);
        dialog.show();
        type(&dialog, "txtInternetEmail", QStringLiteral("siti@example.org"));
        click(&dialog, "cmdOK");
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 20000);
        QCOMPARE(program.messenger.count(), 1);
        QVERIFY2(program.messenger.last().text.startsWith(QStringLiteral("ERROR : ")),
                 qPrintable(program.messenger.last().text));
        QCOMPARE(program.messenger.last().title, QStringLiteral("Ralat !!!"));
        QCOMPARE(program.messenger.last().icon, MessageIcon::Critical);
        QVERIFY(server.mails().isEmpty());
    }

    // --- mail settings ---

    void mailSettings()
    {
        test::TestProgram program;
        program.context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"),
                                 QStringLiteral("old.example"));
        frmSMTPSetup dialog(program.context);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("eMail Setting"));
        QCOMPARE(child<QLineEdit>(&dialog, "txtSMTPServer")->text(), QString());
        QCOMPARE(child<QLineEdit>(&dialog, "txtSMTPPort")->text(), QStringLiteral("25"));

        click(&dialog, "cmdOK");
        QCOMPARE(program.messenger.texts(), QStringList{"Please enter your SMTP Server."});
        QCOMPARE(program.messenger.last().title, QStringLiteral("Error"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(program.context.ReadINI(QStringLiteral("Network"), QStringLiteral("SMTP")),
                 QStringLiteral("old.example"));

        type(&dialog, "txtSMTPServer", QStringLiteral("mail.local"));
        type(&dialog, "txtSMTPPort", QStringLiteral("abc"));
        click(&dialog, "cmdOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(program.context.ReadINI(QStringLiteral("Network"), QStringLiteral("SMTP")),
                 QStringLiteral("mail.local"));
        QCOMPARE(program.context.ReadINI(QStringLiteral("Network"), QStringLiteral("Port")),
                 QStringLiteral("abc"));
    }
};

QTEST_MAIN(PasswordDialogsTest)
#include "PasswordDialogsTest.moc"
