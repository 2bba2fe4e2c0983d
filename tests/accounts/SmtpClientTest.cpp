#include "LoopbackSmtpServer.h"

#include "accounts/SmtpClient.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace tarvo;

namespace {

MailMessage sampleMail()
{
    return MailMessage{QStringLiteral("Tarvo"),
                       QStringLiteral("Tarvo Administrator"),
                       QStringLiteral("siti@example.org"),
                       QStringLiteral("Siti Aminah"),
                       QStringLiteral("Tarvo : Your User ID and Password"),
                       QStringLiteral("Siti Aminah,\r\n\r\nline two")};
}

struct Outcome
{
    bool finished = false;
    bool ok = false;
    QString error;
};

Outcome sendAndWait(SmtpClient& client, quint16 port, const MailMessage& message = sampleMail(),
                    const QString& server = QStringLiteral("127.0.0.1"))
{
    QSignalSpy spy(&client, &SmtpClient::finished);
    if (!client.send(server, port, message))
        return {};
    if (!spy.wait(20000))
        return {};
    return {true, spy.at(0).at(0).toBool(), spy.at(0).at(1).toString()};
}

quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class SmtpClientTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Nothing but loopback may be contacted, also when the test runs outside CTest.
        qputenv("TARVO_LOOPBACK_ONLY", "1");
    }

    void readerJoinsPiecesAndLines_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("one reply") << QList<QByteArray>{"250 OK\r\n"} << QList<int>{250}
                                   << QStringList{"250 OK"};
        QTest::newRow("split inside the code")
            << QList<QByteArray>{"2", "50 O", "K\r", "\n"} << QList<int>{250} << QStringList{"250 OK"};
        QTest::newRow("multi-line greeting")
            << QList<QByteArray>{"220-mail.test\r\n220-welcome\r\n", "220 ready\r\n"} << QList<int>{220}
            << QStringList{"220-mail.test\n220-welcome\n220 ready"};
        QTest::newRow("two replies in one read") << QList<QByteArray>{"250 a\r\n354 b\r\n"}
                                                 << QList<int>{250, 354} << QStringList{"250 a", "354 b"};
        QTest::newRow("bare line feeds")
            << QList<QByteArray>{"250 a\n"} << QList<int>{250} << QStringList{"250 a"};
        QTest::newRow("no code") << QList<QByteArray>{"hello\r\n"} << QList<int>{0} << QStringList{"hello"};
        QTest::newRow("incomplete") << QList<QByteArray>{"250 not yet"} << QList<int>{} << QStringList{};
    }
    void readerJoinsPiecesAndLines()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QList<int>, codes);
        QFETCH(QStringList, texts);
        SmtpReplyReader reader;
        QList<int> gotCodes;
        QStringList gotTexts;
        SmtpReplyReader::Reply reply;
        for (const QByteArray& piece : pieces) {
            reader.append(piece);
            while (reader.next(reply)) {
                gotCodes << reply.code;
                gotTexts << reply.text;
            }
        }
        QCOMPARE(gotCodes, codes);
        QCOMPARE(gotTexts, texts);
    }

    void portFallsBackTo25_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("number") << "2525" << 2525;
        QTest::newRow("blanks around") << " 587 " << 587;
        QTest::newRow("empty") << "" << 25;
        QTest::newRow("not a number") << "smtp" << 25;
        QTest::newRow("zero") << "0" << 25;
        QTest::newRow("too large") << "70000" << 25;
        QTest::newRow("negative") << "-1" << 25;
    }
    void portFallsBackTo25()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(int(smtpPort(text)), port);
    }

    void headerValuesStayOnOneLineAndBodyIsDotStuffed()
    {
        MailMessage message = sampleMail();
        message.recipientName = QStringLiteral("Eve\r\nBcc: victim@example.org");
        message.subject = QStringLiteral("Hi\nthere");
        message.body = QStringLiteral(".first\r\nmiddle\r\n.\r\n..two\nlast");
        const QByteArray content = mailContent(message);
        QCOMPARE(content, QByteArray("FROM: Tarvo Administrator <Tarvo>\r\n"
                                     "TO: EveBcc: victim@example.org <siti@example.org>\r\n"
                                     "SUBJECT: Hithere\r\n"
                                     "\r\n"
                                     "..first\r\nmiddle\r\n..\r\n...two\r\nlast\r\n"));
    }

    void sendsTheExactDialogue()
    {
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        SmtpClient client;
        const Outcome outcome = sendAndWait(client, server.port());
        QVERIFY(outcome.finished);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QVERIFY(!client.isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(server.sawQuit(), 10000);
        QCOMPARE(server.received(), QByteArray("MAIL FROM: Tarvo\r\n"
                                               "RCPT TO: siti@example.org\r\n"
                                               "DATA\r\n"
                                               "FROM: Tarvo Administrator <Tarvo>\r\n"
                                               "TO: Siti Aminah <siti@example.org>\r\n"
                                               "SUBJECT: Tarvo : Your User ID and Password\r\n"
                                               "\r\n"
                                               "Siti Aminah,\r\n\r\nline two\r\n"
                                               "\r\n.\r\n"
                                               "QUIT\r\n"));
        QCOMPARE(server.mails().size(), 1);
    }

    void waitsForTheWholeReply_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("mailReply");
        QTest::addColumn<bool>("split");
        QTest::newRow("multi-line greeting") << QByteArray("220-loopback\r\n220-more text\r\n220 ready\r\n")
                                             << QByteArray("250 OK\r\n") << false;
        QTest::newRow("multi-line reply")
            << QByteArray("220 ready\r\n") << QByteArray("250-first\r\n250-second\r\n250 last\r\n") << false;
        QTest::newRow("replies split across reads")
            << QByteArray("220 ready\r\n") << QByteArray("250 OK\r\n") << true;
    }
    void waitsForTheWholeReply()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, mailReply);
        QFETCH(bool, split);
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setGreeting(greeting);
        server.setReply("MAIL", mailReply);
        server.setSplitReplies(split);
        SmtpClient client;
        const Outcome outcome = sendAndWait(client, server.port());
        QVERIFY(outcome.finished);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QCOMPARE(server.mails().size(), 1);
        // Each command went out once, after the whole reply to the one before.
        QCOMPARE(server.received().count("MAIL FROM: "), 1);
        QVERIFY(server.received().startsWith("MAIL FROM: Tarvo\r\nRCPT TO: "));
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QByteArray>("notSent");
        QTest::newRow("550 on RCPT") << QByteArray("RCPT") << QByteArray("550 No such user\r\n")
                                     << QStringLiteral(
                                            "ERROR : 550. The mail server answered \"550 No such user\".")
                                     << QByteArray("DATA");
        QTest::newRow("greeting command wanted")
            << QByteArray("MAIL") << QByteArray("503 5.5.1 Error: send HELO/EHLO first\r\n")
            << QStringLiteral(
                   "ERROR : 503. The mail server answered \"503 5.5.1 Error: send HELO/EHLO first\".")
            << QByteArray("RCPT");
        QTest::newRow("refused at the end of the data")
            << QByteArray(".") << QByteArray("554-Rejected\r\n554 spam\r\n")
            << QStringLiteral("ERROR : 554. The mail server answered \"554-Rejected 554 spam\".")
            << QByteArray();
    }
    void failuresAreReported()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QFETCH(QString, error);
        QFETCH(QByteArray, notSent);
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setReply(command, reply);
        SmtpClient client;
        const Outcome outcome = sendAndWait(client, server.port());
        QVERIFY(outcome.finished);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, error);
        if (!notSent.isEmpty())
            QVERIFY(!server.received().contains(notSent));
        // After the refusal only a polite QUIT goes out.
        QTRY_VERIFY_WITH_TIMEOUT(server.sawQuit(), 10000);
        const QByteArray sent = server.received();
        const qsizetype after =
            command == "." ? sent.indexOf("\r\n.\r\n") + 5 : sent.indexOf("\r\n", sent.indexOf(command)) + 2;
        QCOMPARE(sent.mid(after), QByteArray("QUIT\r\n"));
        // The client is ready for the next mail.
        server.setReply(command, QByteArray());
        QVERIFY(!client.isBusy());
    }

    void silentServerTimesOut()
    {
        test::LoopbackSmtpServer server;
        QVERIFY(server.start());
        server.setSilent(true);
        SmtpClient client;
        client.setStepTimeout(200);
        const Outcome outcome = sendAndWait(client, server.port());
        QVERIFY(outcome.finished);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.startsWith(QStringLiteral("ERROR : ")), qPrintable(outcome.error));
        QVERIFY2(outcome.error.contains(QStringLiteral("did not answer in time")), qPrintable(outcome.error));
        QVERIFY(server.received().isEmpty());
    }

    void refusedConnectionIsReported()
    {
        const quint16 port = closedPort();
        QVERIFY(port != 0);
        SmtpClient client;
        const Outcome outcome = sendAndWait(client, port);
        QVERIFY(outcome.finished);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.startsWith(QStringLiteral("ERROR : ")), qPrintable(outcome.error));
        QVERIFY2(outcome.error.endsWith(QLatin1Char('.')), qPrintable(outcome.error));
    }

    void guardAndMissingServerRefuseBeforeConnecting_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("empty") << QString();
        QTest::newRow("a name") << QStringLiteral("mail.example.com");
        QTest::newRow("an outside address") << QStringLiteral("10.1.2.3");
    }
    void guardAndMissingServerRefuseBeforeConnecting()
    {
        QFETCH(QString, server);
        SmtpClient client;
        QSignalSpy spy(&client, &SmtpClient::finished);
        QVERIFY(client.send(server, 25, sampleMail()));
        QVERIFY(client.isBusy());
        QCOMPARE(spy.size(), 0); // reported from the event loop, never from inside send()
        QVERIFY(spy.wait(5000));
        QVERIFY(!spy.at(0).at(0).toBool());
        QVERIFY(spy.at(0).at(1).toString().startsWith(QStringLiteral("ERROR : ")));
        QVERIFY(!client.isBusy());
    }
};

QTEST_GUILESS_MAIN(SmtpClientTest)
#include "SmtpClientTest.moc"
