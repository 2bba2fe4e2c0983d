#include "LoopbackTelnetServer.h"
#include "probe/TelnetNegotiator.h"
#include "probe/TelnetProbe.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarvo;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(static_cast<char>(value));
    return result;
}

const QByteArray TtyReply = bytes({255, 250, 24, 0, 'T', 'T', 'Y', 255, 240});
const QByteArray ThreeRequests = bytes({255, 253, 24, 255, 253, 1, 255, 251, 3});
const QByteArray ThreeReplies = bytes({255, 251, 24, 255, 251, 1, 255, 254, 3});

// A step of the loopback service: sent once the client has sent this many bytes in all.
using Steps = QList<std::pair<int, QByteArray>>;

} // namespace

class TelnetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void negotiation_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("replies");
        const auto row = [](const char* name, const QByteArrayList& reads, const QByteArray& text,
                            const QByteArray& replies) { QTest::newRow(name) << reads << text << replies; };

        row("every verb, accepted and other options",
            {bytes({255, 253, 0,  255, 251, 1, 255, 252, 1, 255, 254, 24,
                    255, 253, 31, 255, 252, 5, 255, 251, 5, 255, 254, 5})},
            {}, bytes({255, 251, 0,  255, 253, 1, 255, 253, 1, 255, 253, 24,
                       255, 252, 31, 255, 254, 5, 255, 254, 5, 255, 254, 5}));
        row("terminal type asked", {bytes({255, 250, 24, 1, 255, 240})}, {}, TtyReply);
        row("escaped 255", {"Welcome" + bytes({255, 255})}, "Welcome" + bytes({255}), {});
        row("command split after IAC", {"ab" + bytes({255}), bytes({253, 1}) + "c"}, "abc",
            bytes({255, 251, 1}));
        row("command split before the option", {bytes({255, 251}), bytes({3}) + "Router"}, "Router",
            bytes({255, 254, 3}));
        row("subnegotiation data is no text", {bytes({255, 250, 31, 0, 80, 0, 24, 255, 240}) + "Router"},
            "Router", {});
        row("subnegotiation split, with an escaped 255",
            {bytes({255, 250, 24}), bytes({1, 255, 255, 'x', 255}), bytes({240}) + "ok"}, "ok", TtyReply);
        row("other commands are consumed", {bytes({255, 241, 255, 246}) + "x"}, "x", {});
    }

    void negotiation()
    {
        QFETCH(QByteArrayList, reads);
        TelnetNegotiator negotiator;
        QByteArray text;
        QByteArray replies;
        for (const QByteArray& read : reads) {
            const TelnetNegotiator::Output out = negotiator.feed(read);
            text += out.text;
            replies += out.replies.join();
        }
        QTEST(text, "text");
        QTEST(replies, "replies");
    }

    void promptWordsRemoved()
    {
        QCOMPARE(bannerText("Login :"), QString());
        QCOMPARE(bannerText("Core switch\r\nUsername :"), QStringLiteral("Core switch\r\n"));
        QCOMPARE(bannerText("Username :Login :Password :x"), QStringLiteral("x"));
        QCOMPARE(bannerText("login: "), QStringLiteral("login: ")); // another spelling stays
        QCOMPARE(bannerText("Caf\xe9"), QStringLiteral("Caf\u00e9"));
        QCOMPARE(bannerText(QByteArray("a\r\0b", 4)), QStringLiteral("a\rb"));
    }

    void probe_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("banners");
        QTest::addColumn<QByteArray>("received");
        const auto row = [](const char* name, const Steps& steps, const char* situation,
                            const QStringList& banners, const QByteArray& received) {
            QTest::newRow(name) << steps << QString::fromLatin1(situation) << banners << received;
        };

        row("negotiates, then shows the banner",
            {{0, ThreeRequests},
             {9, bytes({255, 250, 24, 1, 255, 240})},
             {18, "Welcome to router-1\r\nLogin :"}},
            "", {QStringLiteral("Welcome to router-1\r\n")}, ThreeReplies + TtyReply);
        // The second read completes the command begun by the first one's last byte.
        row("command split across reads", {{0, bytes({255, 253, 1, 255})}, {3, bytes({253, 24}) + "Router"}},
            "", {QStringLiteral("Router")}, bytes({255, 251, 1, 255, 251, 24}));
        row("service closes after negotiating", {{0, bytes({255, 253, 1})}, {3, {}}}, "closes", {},
            bytes({255, 251, 1}));
        row("service never answers", {}, "", {}, {});
        row("service asks without end and reads no answer", {{0, bytes({255, 253, 1, 255, 251, 3})}},
            "floods", {}, {});
        row("connection refused", {}, "refused", {}, {});
        row("destination outside loopback", {}, "guard", {}, {});
    }

    void probe()
    {
        QFETCH(Steps, steps);
        QFETCH(QString, situation);
        QFETCH(QStringList, banners);

        test::LoopbackTelnetServer server;
        QVERIFY(server.start());
        for (const auto& [after, step] : steps)
            server.addStep(step, after);
        server.setCloseAtEnd(situation == QLatin1String("closes"));
        const bool floods = situation == QLatin1String("floods");
        server.setFloodAtEnd(floods);
        if (situation == QLatin1String("refused"))
            server.stop();

        // A short time limit where no text comes, so that the silent service ends the probe soon.
        TelnetProbe probe(server.port(), banners.isEmpty() && !floods ? 300 : 15000);
        QSignalSpy shown(&probe, &TelnetProbe::bannerReceived);
        QSignalSpy finished(&probe, &TelnetProbe::finished);
        probe.ProbeTelnet(situation == QLatin1String("guard") ? QStringLiteral("10.1.2.3")
                                                              : QStringLiteral("127.0.0.1"));
        QVERIFY(probe.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QVERIFY(!probe.isRunning());
        QStringList texts;
        for (const QList<QVariant>& signal : shown)
            texts << signal.at(0).toString();
        QCOMPARE(texts, banners);
        QTEST(server.received(), "received");
        // A service that leaves its answers unread fails the probe before they pile up.
        QCOMPARE(probe.errorString().isEmpty(), !floods);
        QVERIFY(probe.peakQueuedAnswerBytes() <= TelnetProbe::MaxQueuedAnswerBytes);
        // The probe closes every connection it made.
        const bool connects = situation != QLatin1String("refused") && situation != QLatin1String("guard");
        QCOMPARE(server.clientConnected(), connects);
        if (connects)
            QTRY_VERIFY(server.clientClosed());
    }

    // A window that closes while its probe holds a silent connection destroys the probe then: the probe
    // lets go of its socket first, so nothing of it runs, or reports, while it is being destroyed.
    void destroyedWhileConnectedReportsNothing()
    {
        test::LoopbackTelnetServer server;
        QVERIFY(server.start());
        server.addStep(bytes({255, 253, 24}), 0);
        auto* probe = new TelnetProbe(server.port(), 15000);
        QSignalSpy finished(probe, &TelnetProbe::finished);
        probe->ProbeTelnet(QStringLiteral("127.0.0.1"));
        QTRY_VERIFY(!server.received().isEmpty());
        delete probe;
        QCOMPARE(finished.size(), 0);
        QTRY_VERIFY(server.clientClosed());
    }
};

QTEST_GUILESS_MAIN(TelnetTest)
#include "TelnetTest.moc"
