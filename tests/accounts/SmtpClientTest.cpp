#include "AccountsTestKit.h"
#include "LoopbackSmtpServer.h"

#include "accounts/SmtpClient.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarvo;

namespace {

// A recipient name that tries to add a header and a body with lines that start with ".".
const MailMessage SampleMail{
    "Tarvo",       "Tarvo Administrator",      "siti@example.org", "Siti\r\nBcc: eve@example.org",
    "Your\nlogin", "Siti,\r\n.\r\n..two\nlast"};

const QByteArray SampleTranscript = "MAIL FROM: Tarvo\r\n"
                                    "RCPT TO: siti@example.org\r\n"
                                    "DATA\r\n"
                                    "FROM: Tarvo Administrator <Tarvo>\r\n"
                                    "TO: SitiBcc: eve@example.org <siti@example.org>\r\n"
                                    "SUBJECT: Yourlogin\r\n"
                                    "\r\n"
                                    "Siti,\r\n..\r\n...two\r\nlast\r\n"
                                    "\r\n.\r\n"
                                    "QUIT\r\n";

// Sends the sample mail and waits for its end: "accepted" or the error, reported from the event loop.
QString sendAndWait(SmtpClient& client, const QString& server, quint16 port)
{
    QSignalSpy spy(&client, &SmtpClient::finished);
    if (!client.send(server, port, SampleMail) || !spy.isEmpty() || !spy.wait(20000) || client.isBusy())
        return QStringLiteral("no proper end");
    return spy.at(0).at(0).toBool() ? QStringLiteral("accepted") : spy.at(0).at(1).toString();
}

} // namespace

class SmtpClientTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portFallsBackTo25_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("number with blanks") << " 587 " << 587;
        QTest::newRow("empty") << "" << 25;
        QTest::newRow("not a number") << "smtp" << 25;
        QTest::newRow("zero") << "0" << 25;
        QTest::newRow("too large") << "70000" << 25;
    }
    void portFallsBackTo25()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(int(smtpPort(text)), port);
    }

    // Every command goes out once, after the whole reply to the one before; header values stay on
    // their line and body lines starting with "." are doubled. After a refusal only a QUIT follows.
    void mailsThroughTheServer_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("command"); // the one answered with the reply below
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("split");    // every reply sent in two pieces
        QTest::addColumn<QString>("error"); // empty: accepted
        const QByteArray ready = "220 ready\r\n";
        const QByteArray ok = "250 OK\r\n";
        // clang-format off
        QTest::newRow("one-line replies") << ready << QByteArray("MAIL") << ok << false << "";
        QTest::newRow("multi-line greeting") << QByteArray("220-loopback\r\n220-more\r\n220 ready\r\n")
            << QByteArray("MAIL") << ok << false << "";
        QTest::newRow("multi-line reply") << ready << QByteArray("MAIL")
            << QByteArray("250-first\r\n250-second\r\n250 last\r\n") << false << "";
        QTest::newRow("replies split across reads") << QByteArray("220-loopback\r\n220 ready\r\n")
            << QByteArray("MAIL") << ok << true << "";
        QTest::newRow("550 on RCPT") << ready << QByteArray("RCPT") << QByteArray("550 No such user\r\n")
            << false << "ERROR : 550. The mail server answered \"550 No such user\".";
        QTest::newRow("greeting command wanted") << ready << QByteArray("MAIL")
            << QByteArray("503 send HELO first\r\n") << false
            << "ERROR : 503. The mail server answered \"503 send HELO first\".";
        QTest::newRow("refused at the end of the data") << ready << QByteArray(".")
            << QByteArray("554-Rejected\r\n554 spam\r\n") << true
            << "ERROR : 554. The mail server answered \"554-Rejected 554 spam\".";
        // clang-format on
    }
    void mailsThroughTheServer()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QFETCH(bool, split);
        QFETCH(QString, error);
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setGreeting(greeting);
        server.setReply(command, reply);
        server.setSplitReplies(split);
        SmtpClient client;
        QCOMPARE(sendAndWait(client, "127.0.0.1", server.port()), error.isEmpty() ? "accepted" : error);
        QTRY_VERIFY_WITH_TIMEOUT(server.sawQuit(), 10000);
        QByteArray expected = SampleTranscript;
        if (!error.isEmpty()) {
            const qsizetype end = command == "." ? expected.indexOf("\r\n.\r\n") + 5
                                                 : expected.indexOf("\r\n", expected.indexOf(command)) + 2;
            expected = expected.left(end) + "QUIT\r\n";
        }
        QCOMPARE(server.received(), expected);
    }

    // No conversation: a silent or absent server, or one the network guard or a missing setting keeps
    // the client from contacting.
    void failsWithoutAConversation_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("errorPart");
        // clang-format off
        QTest::newRow("silent server") << "silent" << "did not answer in time";
        QTest::newRow("refused connection") << "refused" << "";
        QTest::newRow("no server set") << "" << "No SMTP server is set";
        QTest::newRow("a name") << "mail.example.com" << "";
        QTest::newRow("an outside address") << "10.1.2.3" << "";
        // clang-format on
    }
    void failsWithoutAConversation()
    {
        QFETCH(QString, server);
        QFETCH(QString, errorPart);
        test::LoopbackSmtpServer silent;
        QVERIFY(silent.start());
        silent.setSilent(true);
        quint16 port = 25;
        if (server == QLatin1String("silent"))
            port = silent.port();
        else if (server == QLatin1String("refused"))
            port = test::closedPort();
        if (port != 25)
            server = "127.0.0.1";
        SmtpClient client;
        client.setStepTimeout(200);
        const QString error = sendAndWait(client, server, port);
        QVERIFY2(error.startsWith("ERROR : ") && error.contains(errorPart), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(SmtpClientTest)
#include "SmtpClientTest.moc"
