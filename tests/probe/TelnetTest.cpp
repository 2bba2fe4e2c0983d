#include "LoopbackTelnetServer.h"
#include "probe/TelnetNegotiator.h"
#include "probe/TelnetProbe.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarvo;
using test::LoopbackTelnetServer;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(static_cast<char>(value));
    return result;
}

const QByteArray TtyReply = bytes({255, 250, 24, 0, 'T', 'T', 'Y', 255, 240});

} // namespace

class TelnetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Run by hand as well as by CTest, the tests reach no address outside loopback.
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }
    void negotiation_data();
    void negotiation();
    void promptWordsRemoved_data();
    void promptWordsRemoved();
    void probesALoopbackService();
    void commandSplitAcrossReads();
    void endsWithoutText_data();
    void endsWithoutText();
};

void TelnetTest::negotiation_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("three requests") << QList<QByteArray>{bytes({255, 253, 24, 255, 253, 1, 255, 251, 3})}
                                    << QByteArray() << bytes({255, 251, 24, 255, 251, 1, 255, 254, 3});
    QTest::newRow("every verb, accepted and other options")
        << QList<QByteArray>{bytes(
               {255, 253, 0, 255, 252, 1, 255, 254, 24, 255, 253, 31, 255, 252, 5, 255, 251, 5})}
        << QByteArray()
        << bytes({255, 251, 0, 255, 253, 1, 255, 253, 24, 255, 252, 31, 255, 254, 5, 255, 254, 5});
    QTest::newRow("terminal type asked")
        << QList<QByteArray>{bytes({255, 250, 24, 1, 255, 240})} << QByteArray() << TtyReply;
    QTest::newRow("escaped 255") << QList<QByteArray>{QByteArray("Welcome") + bytes({255, 255})}
                                 << QByteArray("Welcome") + bytes({255}) << QByteArray();
    QTest::newRow("command split after IAC")
        << QList<QByteArray>{QByteArray("ab") + bytes({255}), bytes({253, 1}) + "c"} << QByteArray("abc")
        << bytes({255, 251, 1});
    QTest::newRow("command split before the option")
        << QList<QByteArray>{bytes({255, 251}), bytes({3}) + "Router"} << QByteArray("Router")
        << bytes({255, 254, 3});
    QTest::newRow("subnegotiation data is no text")
        << QList<QByteArray>{bytes({255, 250, 31, 0, 80, 0, 24, 255, 240}) + "Router"} << QByteArray("Router")
        << QByteArray();
    QTest::newRow("subnegotiation split, with an escaped 255")
        << QList<QByteArray>{bytes({255, 250, 24}), bytes({1, 255, 255, 'x', 255}), bytes({240}) + "ok"}
        << QByteArray("ok") << TtyReply;
    QTest::newRow("other commands are consumed")
        << QList<QByteArray>{bytes({255, 241, 255, 246}) + "x"} << QByteArray("x") << QByteArray();
}

void TelnetTest::negotiation()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, replies);

    TelnetNegotiator negotiator;
    QByteArray allText;
    QByteArray allReplies;
    for (const QByteArray& read : reads) {
        const TelnetNegotiator::Output out = negotiator.feed(read);
        allText += out.text;
        for (const QByteArray& reply : out.replies)
            allReplies += reply;
    }
    QCOMPARE(allText, text);
    QCOMPARE(allReplies, replies);
}

void TelnetTest::promptWordsRemoved_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("shown");

    QTest::newRow("login prompt alone") << QByteArray("Login :") << "";
    QTest::newRow("banner and prompt") << QByteArray("Core switch\r\nUsername :") << "Core switch\r\n";
    QTest::newRow("all three") << QByteArray("Username :Login :Password :x") << "x";
    QTest::newRow("other spelling stays") << QByteArray("login: ") << "login: ";
    QTest::newRow("8-bit characters") << QByteArray("Caf\xe9") << QStringLiteral("Caf\u00e9");
    QTest::newRow("NUL after CR") << QByteArray("a\r\0b", 4) << "a\rb";
}

void TelnetTest::promptWordsRemoved()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, shown);
    QCOMPARE(bannerText(data), shown);
}

void TelnetTest::probesALoopbackService()
{
    LoopbackTelnetServer server;
    QVERIFY(server.start());
    server.addStep(bytes({255, 253, 24, 255, 253, 1, 255, 251, 3}));
    server.addStep(bytes({255, 250, 24, 1, 255, 240}), 9);
    server.addStep("Welcome to router-1\r\nLogin :", 18);

    TelnetProbe probe(server.port());
    QSignalSpy banners(&probe, &TelnetProbe::bannerReceived);
    QSignalSpy finished(&probe, &TelnetProbe::finished);
    probe.ProbeTelnet(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(finished.size(), 1);

    QCOMPARE(banners.size(), 1);
    QCOMPARE(banners.at(0).at(0).toString(), QStringLiteral("Welcome to router-1\r\n"));
    QCOMPARE(server.received(), bytes({255, 251, 24, 255, 251, 1, 255, 254, 3}) + TtyReply);
    // The probe closes the connection once it has its text.
    QTRY_VERIFY(server.clientClosed());
    QVERIFY(!probe.isRunning());
}

void TelnetTest::commandSplitAcrossReads()
{
    LoopbackTelnetServer server;
    QVERIFY(server.start());
    // The second read completes the command begun by the first one's last byte.
    server.addStep(bytes({255, 253, 1, 255}));
    server.addStep(bytes({253, 24}) + "Router", 3);

    TelnetProbe probe(server.port());
    QSignalSpy banners(&probe, &TelnetProbe::bannerReceived);
    QSignalSpy finished(&probe, &TelnetProbe::finished);
    probe.ProbeTelnet(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(finished.size(), 1);

    QCOMPARE(server.received(), bytes({255, 251, 1, 255, 251, 24}));
    QCOMPARE(banners.size(), 1);
    QCOMPARE(banners.at(0).at(0).toString(), QStringLiteral("Router"));
}

void TelnetTest::endsWithoutText_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("connection refused") << "refused";
    QTest::newRow("service closes after negotiating") << "closes";
    QTest::newRow("service never answers") << "silent";
    QTest::newRow("destination outside loopback") << "guard";
}

void TelnetTest::endsWithoutText()
{
    QFETCH(QString, situation);

    LoopbackTelnetServer server;
    QVERIFY(server.start());
    const quint16 port = server.port();
    QString address = QStringLiteral("127.0.0.1");
    if (situation == QLatin1String("refused")) {
        server.stop();
    } else if (situation == QLatin1String("closes")) {
        server.addStep(bytes({255, 253, 1}));
        server.addStep(QByteArray(), 3); // closes once the answer is in
        server.setCloseAtEnd(true);
    } else if (situation == QLatin1String("guard")) {
        address = QStringLiteral("10.1.2.3");
    }

    // A short time limit, so that the silent service ends the probe soon.
    TelnetProbe probe(port, 300);
    QSignalSpy banners(&probe, &TelnetProbe::bannerReceived);
    QSignalSpy finished(&probe, &TelnetProbe::finished);
    probe.ProbeTelnet(address);
    QVERIFY(probe.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(banners.size(), 0);
    QVERIFY(!probe.isRunning());
    if (situation == QLatin1String("silent"))
        QTRY_VERIFY(server.clientClosed());
    if (situation == QLatin1String("closes"))
        QCOMPARE(server.received(), bytes({255, 251, 1}));
    if (situation == QLatin1String("guard"))
        QVERIFY(!server.clientConnected());
}

QTEST_GUILESS_MAIN(TelnetTest)
#include "TelnetTest.moc"
