#include "AccountsTestKit.h"
#include "LoopbackSmtpServer.h"
#include "RealSmtpServer.h"

#include "accounts/SmtpClient.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarvo;

namespace {

// A recipient name that tries to add a header and a body with lines that start with ".".
const MailMessage SampleMail{
    "Tarvo",       "Tarvo Administrator",      "siti@example.org", "Siti\r\nBcc: eve@example.org",
    "Your\nlogin", "Siti,\r\n.\r\n..two\nlast"};

// What the sample mail's data reads as once the server has removed the doubled dots.
const QByteArray SampleData = "FROM: Tarvo Administrator <Tarvo>\r\n"
                              "TO: SitiBcc: eve@example.org <siti@example.org>\r\n"
                              "SUBJECT: Yourlogin\r\n"
                              "\r\n"
                              "Siti,\r\n.\r\n..two\r\nlast\r\n\r\n";

const QByteArray SampleTranscript = "HELO " + SmtpClient::helloName().toUtf8() +
                                    "\r\n"
                                    "MAIL FROM: Tarvo\r\n"
                                    "RCPT TO: siti@example.org\r\n"
                                    "DATA\r\n"
                                    "FROM: Tarvo Administrator <Tarvo>\r\n"
                                    "TO: SitiBcc: eve@example.org <siti@example.org>\r\n"
                                    "SUBJECT: Yourlogin\r\n"
                                    "\r\n"
                                    "Siti,\r\n..\r\n...two\r\nlast\r\n"
                                    "\r\n.\r\n"
                                    "QUIT\r\n";

// Sends a mail and waits for its end: "accepted" or the error, reported from the event loop.
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
    void portFallsBackTo25()
    {
        for (const auto& [text, port] :
             {std::pair{" 587 ", 587}, {"", 25}, {"smtp", 25}, {"0", 25}, {"70000", 25}})
            QCOMPARE(std::pair(QString(text), int(smtpPort(text))), std::pair(QString(text), port));
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
        QTest::newRow("HELO refused") << ready << QByteArray("HELO")
            << QByteArray("502 Command not implemented\r\n") << false
            << "ERROR : 502. The mail server answered \"502 Command not implemented\".";
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

    // No mail: a silent, absent or endless server, or one the network guard or a missing setting keeps
    // the client from contacting. An endless reply fails once past its bound, with no more held.
    void failsWithoutAMail_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QByteArray>("endless"); // the greeting sent over and over
        QTest::addColumn<int>("stepTimeout");
        QTest::addColumn<QString>("errorPart");
        // clang-format off
        QTest::newRow("silent server") << "loopback" << QByteArray() << 200 << "did not answer in time";
        QTest::newRow("over the overall limit") << "loopback" << QByteArray() << 60000
            << "did not take the mail in time";
        QTest::newRow("endless continuation lines") << "loopback" << QByteArray("220-more\r\n") << 60000
            << "The mail server sent a reply of more than 100 lines.";
        QTest::newRow("a line without end") << "loopback" << QByteArray("220 xxxxxxxx") << 60000
            << "The mail server sent a reply line longer than 4096 bytes.";
        QTest::newRow("refused connection") << "refused" << QByteArray() << 200 << "";
        QTest::newRow("no server set") << "" << QByteArray() << 200 << "No SMTP server is set";
        QTest::newRow("a name") << "mail.example.com" << QByteArray() << 200 << "";
        QTest::newRow("an outside address") << "10.1.2.3" << QByteArray() << 200 << "";
        // clang-format on
    }
    void failsWithoutAMail()
    {
        QFETCH(QString, server);
        QFETCH(QByteArray, endless);
        QFETCH(int, stepTimeout);
        QFETCH(QString, errorPart);
        test::LoopbackSmtpServer loopback;
        QVERIFY(loopback.start());
        loopback.setSilent(endless.isEmpty());
        loopback.setEndlessGreeting(endless);
        quint16 port = 25;
        if (server == QLatin1String("loopback"))
            port = loopback.port();
        else if (server == QLatin1String("refused"))
            port = test::closedPort();
        if (port != 25)
            server = "127.0.0.1";
        SmtpClient client;
        client.setStepTimeout(stepTimeout);
        client.setOverallTimeout(endless.isEmpty() ? 300 : 60000);
        const QString error = sendAndWait(client, server, port);
        QVERIFY2(error.startsWith("ERROR : ") && error.contains(errorPart), qPrintable(error));
        QVERIFY(client.replyReader().peakBuffered() <= 2 * SmtpReplyReader::MaxLineLength);
    }

    // Debian's aiosmtpd, a real server, takes the mail and keeps header values on their line and body
    // lines that start with "." as they were written.
    void realServerTakesTheMail()
    {
        test::RealSmtpServer server;
        const test::RealSmtpServer::Start started = server.start();
        if (started == test::RealSmtpServer::Start::NotInstalled)
            QSKIP("python3-aiosmtpd is not installed");
        QVERIFY2(started == test::RealSmtpServer::Start::Running, qPrintable(server.failure()));
        SmtpClient client;
        QCOMPARE(sendAndWait(client, "127.0.0.1", server.port()), "accepted");
        QTRY_COMPARE_WITH_TIMEOUT(server.mails().size(), 1, 10000);
        const test::RealSmtpServer::Mail received = server.mails().first();
        QCOMPARE(received.sender, "Tarvo");
        QCOMPARE(received.recipients, "siti@example.org");
        QCOMPARE(received.data, SampleData);
    }
};

QTEST_GUILESS_MAIN(SmtpClientTest)
#include "SmtpClientTest.moc"
