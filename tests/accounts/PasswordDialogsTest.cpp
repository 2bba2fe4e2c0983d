#include "AccountsTestKit.h"
#include "LoopbackSmtpServer.h"

#include "accounts/SmtpClient.h"
#include "accounts/frmLoginSilap.h"
#include "accounts/frmSMTPSetup.h"
#include "accounts/frmTukarPassword.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using namespace tarvo;
using test::child;
using test::click;
using test::type;

namespace {

// A program folder with Siti's account and a loopback mail server that Network/SMTP and Port name.
struct Mailing
{
    test::TestProgram program;
    test::LoopbackSmtpServer server;
    frmLoginSilap dialog{program.context, SmtpClient::factory()};

    Mailing()
    {
        test::addAccount(program, "Siti", "siti", "HQ", "Siti@Example.org", {}, ".dot pass");
        if (!server.start())
            qFatal("no loopback mail server");
        program.context.WriteINI("Network", "SMTP", "127.0.0.1");
        program.context.WriteINI("Network", "Port", QString::number(server.port()));
        dialog.show();
    }
    void request(const QString& address)
    {
        type(&dialog, "txtInternetEmail", address);
        click(&dialog, "cmdOK");
    }
};

} // namespace

class PasswordDialogsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changeOfPassword_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("renamedMeanwhile");
        QTest::addColumn<QString>("message"); // the start of the one message
        QTest::addColumn<QString>("stored");
        const QString invalid = QStringLiteral("Invalid password !");
        // clang-format off
        QTest::newRow("changed") << "old" << "n3w" << "n3w" << false << "Done. Password saved ..." << "n3w";
        QTest::newRow("current in other case") << "OLD" << "n3w" << "n3w" << false << invalid << "old";
        QTest::newRow("confirmation differs in case") << "old" << "n3w" << "N3W" << false
            << "Invalid password confirmation. Passwords do not match." << "old";
        QTest::newRow("wrong current comes first") << "nope" << "a" << "b" << false << invalid << "old";
        QTest::newRow("empty new password") << "old" << "" << "" << false << "Done. Password saved ..." << "";
        QTest::newRow("account renamed meanwhile") << "old" << "x" << "x" << true
            << "Your account is no longer in Tarvo database" << "old";
        // clang-format on
    }
    // Typed where the focus is: Enter and Down move through the fields and stop on OK without
    // submitting; Enter on the focused OK button presses it.
    void changeOfPassword()
    {
        QFETCH(QString, current);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(bool, renamedMeanwhile);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        test::TestProgram program;
        test::addAccount(program, "O'Neil", "o'neil", "HQ", {}, {}, "old");
        program.signInAs("o'neil", "O'Neil", "HQ");
        if (renamedMeanwhile)
            QVERIFY(
                execSql(program.database.handle(), "UPDATE UserID SET Name = 'Boss' WHERE Name = 'O''Neil'"));
        frmTukarPassword dialog(program.context);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QStringList typed{current, newPassword, confirmation};
        for (qsizetype i = 0; i < typed.size(); ++i) {
            QTest::keyClicks(QApplication::focusWidget(), typed[i]);
            QTest::keyClick(QApplication::focusWidget(), i == 1 ? Qt::Key_Down : Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&dialog, "cmdSimpan"));
        QVERIFY(program.messenger.isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(program.messenger.count(), 1);
        QVERIFY2(program.messenger.last().text.startsWith(message),
                 qPrintable(program.messenger.last().text));
        QCOMPARE(test::storedRow(program, test::rowWhere(program, "UserID", "o'neil")).Password, stored);
        const bool saved = message.startsWith(QLatin1String("Done"));
        QCOMPARE(dialog.isVisible(), !saved);
        if (!saved)
            QCOMPARE(child<QLineEdit>(&dialog, "txtNewPassword")->text(), newPassword);
    }

    // A known address is mailed its login; the answer is shown only once the server has taken the mail
    // or refused it. An unknown address is refused before any mail. Cancel and Esc stop a mail that a
    // silent server holds up at once.
    void forgottenLogin_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("rcptReply"); // empty: no mail server contacted
        QTest::addColumn<QString>("leave");        // how the user leaves while the server is silent
        QTest::addColumn<QString>("message");      // empty: none
        const QString unknown = QStringLiteral("Sorry, your internet email is not in Tarvo database !");
        const QByteArray ok = "250 OK\r\n";
        const QString cancelled = QStringLiteral("Cancelled. No mail was sent.");
        // clang-format off
        QTest::newRow("mailed") << "siti@EXAMPLE.org" << ok << "" << "Your request has been "
            "successfully accepted and scheduled. You should receive an email message within one hour.";
        QTest::newRow("mail refused") << "siti@example.org" << QByteArray("550 No such user\r\n") << ""
            << "ERROR : 550. The mail server answered \"550 No such user\".";
        QTest::newRow("Cancel while mailing") << "siti@example.org" << ok << "cancel" << cancelled;
        QTest::newRow("Esc while mailing") << "siti@example.org" << ok << "escape" << cancelled;
        QTest::newRow("empty address does nothing") << "" << QByteArray() << "" << "";
        QTest::newRow("unknown address") << "nobody@example.org" << QByteArray() << "" << unknown;
        QTest::newRow("blanks are not trimmed") << " siti@example.org" << QByteArray() << "" << unknown;
        // clang-format on
    }
    void forgottenLogin()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, rcptReply);
        QFETCH(QString, leave);
        QFETCH(QString, message);
        Mailing m;
        m.server.setReply("RCPT", rcptReply);
        m.server.setSilent(!leave.isEmpty());
        int mailsWhenTold = -1;
        m.program.messenger.onMessage([&](const Message&) { mailsWhenTold = int(m.server.mails().size()); });
        m.request(address);
        if (rcptReply.isEmpty()) {
            QCOMPARE(m.program.messenger.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
            QVERIFY(m.dialog.isVisible());
            QTest::qWait(0);
            QCOMPARE(m.server.connections(), 0);
            return;
        }
        if (!leave.isEmpty()) {
            QTRY_COMPARE(m.server.connections(), 1);
            if (leave == QLatin1String("cancel"))
                click(&m.dialog, "cmdBatal2");
            else
                QTest::keyClick(&m.dialog, Qt::Key_Escape);
            QVERIFY(!m.dialog.isVisible() && !m.dialog.mailClient().isBusy());
            QCOMPARE(m.program.messenger.texts(), QStringList{message});
            return;
        }
        QVERIFY(!child<QPushButton>(&m.dialog, "cmdOK")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!m.dialog.isVisible(), 20000);
        QCOMPARE(m.program.messenger.texts(), QStringList{message});
        QCOMPARE(mailsWhenTold, int(m.server.mails().size()));
        QVERIFY(m.server.received().startsWith("HELO " + SmtpClient::helloName().toUtf8() +
                                               "\r\nMAIL FROM: Tarvo\r\nRCPT TO: Siti@Example.org\r\n"));
        if (m.server.mails().isEmpty())
            return;
        QCOMPARE(
            m.server.mails().first(),
            QByteArray("FROM: Tarvo Administrator <Tarvo>\r\nTO: Siti <Siti@Example.org>\r\n"
                       "SUBJECT: Tarvo : Your User ID and Password\r\n\r\nSiti,\r\n\r\n"
                       "Bellow is your Tarvo User ID and Password.\r\n\r\n\tUser ID \t: siti\r\n"
                       "\tPassword\t: .dot pass\r\n\r\nPlease don't hesitate to call Tarvo Administrator "
                       "if you have any problem.\r\n\r\nTQ\r\nTarvo Administrator\r\n\r\n"));
    }

    void mailSettings()
    {
        test::TestProgram program;
        frmSMTPSetup dialog(program.context);
        dialog.show();
        click(&dialog, "cmdOK");
        QCOMPARE(program.messenger.texts(), QStringList{"Please enter your SMTP Server."});
        QVERIFY(dialog.isVisible());
        type(&dialog, "txtSMTPServer", "mail.local");
        type(&dialog, "txtSMTPPort", "abc");
        click(&dialog, "cmdOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(program.context.ReadINI("Network", "SMTP"), "mail.local");
        QCOMPARE(program.context.ReadINI("Network", "Port"), "abc");
    }
};

QTEST_MAIN(PasswordDialogsTest)
#include "PasswordDialogsTest.moc"
