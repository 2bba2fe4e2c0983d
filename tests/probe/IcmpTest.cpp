#include "FakePinger.h"
#include "TestNetworkNamespace.h"
#include "core/NetworkGuard.h"
#include "probe/EchoTarget.h"
#include "probe/IcmpPacket.h"
#include "probe/IcmpPinger.h"
#include "probe/IcmpStatus.h"
#include "probe/ReceiveTimestamps.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <QtTest>

#include <optional>

#include <unistd.h>

using namespace tarvo;
using Kind = IcmpAnswer::Kind;
using SocketKind = IcmpPinger::SocketKind;

namespace {

QByteArray word(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// An ICMP message with a correct checksum.
QByteArray icmpMessage(quint8 type, quint8 code, const QByteArray& restOfHeader, const QByteArray& body)
{
    QByteArray message = QByteArray(1, char(type)) + char(code) + word(0) + restOfHeader + body;
    qToBigEndian(internetChecksum(message), message.data() + 2);
    return message;
}

QByteArray echoReply(quint16 id, quint16 sequence, const QByteArray& payload = DefaultPingPayload)
{
    return icmpMessage(0, 0, word(id) + word(sequence), payload);
}

// An IPv4 header (options filled with NOPs) in front of an ICMP message.
QByteArray withIpHeader(quint32 source, quint32 destination, const QByteArray& icmp, int optionWords = 0)
{
    QByteArray header =
        QByteArray::fromHex("4500000000000000400100000000000000000000") + QByteArray(optionWords * 4, 1);
    header[0] = static_cast<char>(0x45 + optionWords);
    qToBigEndian(static_cast<quint16>(header.size() + icmp.size()), header.data() + 2);
    qToBigEndian(source, header.data() + 12);
    qToBigEndian(destination, header.data() + 16);
    return header + icmp;
}

constexpr quint32 Target = 0x0A010203; // 10.1.2.3
constexpr quint32 Router = 0x0A0101FE;
constexpr quint32 Local = 0x0A010164;
const EchoIdentity Request{0x4D2A, 7, DefaultPingPayload, Target};

// An error message from the router quoting a request to the destination (the first 28 bytes of it).
QByteArray errorAbout(quint8 type, quint8 code, quint16 quotedId = 0x4D2A, quint32 quotedDestination = Target)
{
    const QByteArray quotedRequest = buildEchoRequest({quotedId, 7, DefaultPingPayload, quotedDestination});
    const QByteArray quoted = withIpHeader(Local, quotedDestination, quotedRequest).left(28);
    return withIpHeader(Router, Local, icmpMessage(type, code, QByteArray(4, '\0'), quoted));
}

// How late the event loop may run on a loaded test machine: the limit of every wait for an answer, far
// beyond any time-out the pinger is given.
constexpr int SlackMs = 10000;

struct Echo
{
    const char *text, *sent, *kept;
};

struct Ping
{
    SocketKind kind;
    const char* address;
    int ttl, timeoutMs, busyMs, status;
};

struct PingOutcome
{
    PingResult result;
    qint64 elapsedMs = 0;
};

// Pings and waits for the answer in the event loop; nothing may be answered before ping() returns. With
// busyMs the thread sleeps once the request was sent, as a user interface thread busy with other work.
std::optional<PingOutcome> pingAndWait(Pinger& pinger, const QString& address, int ttl, int timeoutMs,
                                       int busyMs = 0)
{
    std::optional<PingOutcome> outcome;
    QObject context;
    QElapsedTimer clock;
    clock.start();
    pinger.ping(address, ttl, timeoutMs, DefaultPingPayload, &context, [&](const PingResult& result) {
        outcome = PingOutcome{result, clock.elapsed()};
    });
    if (outcome)
        return std::nullopt;
    // The first request may wait for the stamps; the thread is busy at once too, as it would be had the
    // request gone before them.
    bool busy = busyMs == 0;
    if (!busy)
        afterReceiveTimestampsOn(&context, [&busy, busyMs] {
            busy = true;
            QThread::msleep(static_cast<unsigned long>(busyMs));
        });
    if (!busy)
        QThread::msleep(static_cast<unsigned long>(busyMs));
    return QTest::qWaitFor([&] { return outcome.has_value(); }, timeoutMs + SlackMs) ? outcome : std::nullopt;
}

// How many sockets this process has open.
int openSockets()
{
    int sockets = 0;
    for (const QString& fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System)) {
        char target[64] = {};
        const QByteArray link = QFile::encodeName(QStringLiteral("/proc/self/fd/") + fd);
        sockets += ::readlink(link.constData(), target, sizeof target - 1) > 0 &&
                   QByteArray(target).startsWith("socket:");
    }
    return sockets;
}

// Whether a result has the status, with its sentence and round-trip time. Only the guard's refusal says
// that the address was not checked at all, and names the refusal.
bool hasStatus(const PingResult& r, const QString& address, int status, int timeoutMs)
{
    const bool guarded = status == IcmpStatus::GeneralFailure;
    const QString message = status == 0 ? QStringLiteral("Success") : pingFailureMessage(address, status);
    return r.Status == status && r.Failed == (status != 0) && r.CheckImpossible == guarded &&
           r.Message.contains(NetworkGuard::refusal(address)) == guarded &&
           (status == 0 ? r.Message == message && r.RoundTripMs <= quint32(timeoutMs)
                        : r.Message.startsWith(message) && r.RoundTripMs == quint32(timeoutMs));
}

} // namespace

class IcmpTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusTextsAndSentences()
    {
        QCOMPARE(IcmpStatusText(11014), QStringLiteral("Time ti live expired reassem"));
        QCOMPARE(IcmpStatusText(11024), QStringLiteral("Unindentified"));
        // A time-out gives the "error code" sentence, every other failure the "error description" one.
        QCOMPARE(pingFailureMessage(QStringLiteral("10.1.2.3"), IcmpStatus::RequestTimedOut),
                 QStringLiteral("Faild to ping : ''10.1.2.3'' error code : Requested IP timed out"));
        QCOMPARE(
            pingFailureMessage(QStringLiteral("10.1.2.3"), IcmpStatus::DestinationHostUnreachable),
            QStringLiteral("Faild to ping : ''10.1.2.3'' error description : Destination host unreachable"));
    }

    void echoTarget_data()
    {
        QTest::addColumn<Echo>("c");
        QTest::newRow("first octet above 127") << Echo{"192.168.1.1", "192.168.1.1", "192.168.1.1"};
        QTest::newRow("part above 255 keeps its lowest byte")
            << Echo{"10.1.2.300", "10.1.2.44", "10.1.2.300"};
        // Any other number of parts: no target, and the text before is kept.
        QTest::newRow("three parts") << Echo{"10.1.2", "0.0.0.0", "172.16.0.9"};
        QTest::newRow("five parts") << Echo{"10.1.2.3.4", "0.0.0.0", "172.16.0.9"};
        QTest::newRow("empty") << Echo{"", "0.0.0.0", "172.16.0.9"};
    }

    void echoTarget()
    {
        QFETCH(Echo, c);
        EchoTarget target;
        target.SetPingTarget(QStringLiteral("172.16.0.9"));
        target.SetPingTarget(c.text);
        QCOMPARE(target.PingTargetText(), c.kept);

        // The request goes to the octets; the failure sentence names the kept text.
        test::FakePinger pinger;
        QObject context;
        std::optional<PingResult> result;
        target.PingTarget(pinger, AssignPingTtl, AssignPingTimeoutMs, &context,
                          [&](const PingResult& r) { result = r; });
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), SlackMs);
        QCOMPARE(pinger.addresses(), QStringList{c.sent});
        QVERIFY2(result->Message.startsWith(pingFailurePrefix(c.kept)), qPrintable(result->Message));
    }

    void echoRequestLayout()
    {
        const QByteArray packet = buildEchoRequest(Request);
        QCOMPARE(packet,
                 QByteArray::fromHex("0800") + packet.mid(2, 2) + QByteArray::fromHex("4D2A0007") + "Quelm");
        QCOMPARE(internetChecksum(packet), quint16(0));
    }

    void classifiesDatagrams_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("hasIpHeader");
        QTest::addColumn<int>("status"); // -1: no answer to the request, 0: the echo reply, else the error
        const auto row = [](const char* name, const QByteArray& datagram, bool ipHeader, int status = -1) {
            QTest::newRow(name) << datagram << ipHeader << status;
        };
        const QByteArray good = echoReply(0x4D2A, 7);
        row("reply", good, false, 0);
        row("reply of another identifier", echoReply(0x4D2B, 7), false);
        row("reply of another sequence", echoReply(0x4D2A, 6), false);
        row("reply with another payload", echoReply(0x4D2A, 7, "Quelp"), false);
        QByteArray corrupted = good;
        corrupted[9] = 'X';
        row("reply with a bad checksum", corrupted, false);
        row("reply cut short", good.left(6), false);
        row("our own request", buildEchoRequest(Request), false);
        row("raw reply", withIpHeader(Target, Local, good), true, 0);
        row("raw reply, header with options", withIpHeader(Target, Local, good, 2), true, 0);
        row("raw reply from another host", withIpHeader(Router, Local, good), true);
        row("raw, our own request on loopback", withIpHeader(Local, Target, buildEchoRequest(Request)), true);
        QByteArray lying = withIpHeader(Target, Local, good);
        lying[0] = 0x4F; // a header longer than the datagram
        row("raw, header length beyond the datagram", lying.left(40), true);
        row("host unreachable", errorAbout(3, 1), true, 11003);
        row("time to live exceeded", errorAbout(11, 0), true, 11013);
        row("parameter problem", errorAbout(12, 0), true, 11015);
        row("error about another request", errorAbout(3, 1, 0x1111), true);
        row("error about another destination", errorAbout(3, 1, 0x4D2A, Router), true);
        row("error quoting too little", errorAbout(3, 1).left(20 + 8 + 24), true);
        row("redirect is no answer", errorAbout(5, 1), true);
    }

    void classifiesDatagrams()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, hasIpHeader);
        QFETCH(int, status);
        const IcmpAnswer answer = classifyIcmpDatagram(datagram, hasIpHeader, Request);
        QCOMPARE(answer.kind, status < 0 ? Kind::Unrelated : status == 0 ? Kind::EchoReply : Kind::Error);
        QCOMPARE(answer.answers() ? answer.status : -1, status);
    }

    void pingOnLoopback_data()
    {
        QTest::addColumn<Ping>("c");
        const SocketKind automatic = SocketKind::Automatic;
        // The reply comes at once but waits while the user interface thread is busy past the time-out: it
        // is judged by when it came, not by when it was read. The time-out leaves room for a test machine
        // under load, where the send itself may wait for the processor. First, while no socket of this
        // process has asked the kernel for receive times yet.
        QTest::newRow("raw socket, busy event loop")
            << Ping{SocketKind::RawOnly, "127.0.0.1", 20, 1000, 1500, 0};
        QTest::newRow("datagram socket, busy event loop")
            << Ping{SocketKind::DatagramOnly, "127.0.0.1", 20, 1000, 1500, 0};
        QTest::newRow("automatic") << Ping{automatic, "127.0.0.1", 20, 2000, 0, 0};
        // Refused before anything is sent.
        QTest::newRow("outside loopback") << Ping{automatic, "10.1.2.3", 20, 200, 0, 11050};
        QTest::newRow("any address") << Ping{automatic, "0.0.0.0", 20, 200, 0, 11018};
        QTest::newRow("not an address") << Ping{automatic, "10.1.2.300", 20, 200, 0, 11018};
        QTest::newRow("a name") << Ping{automatic, "localhost", 20, 200, 0, 11018};
        QTest::newRow("time to live 256") << Ping{automatic, "127.0.0.1", 256, 200, 0, 11007};
        QTest::newRow("time to live -1") << Ping{automatic, "127.0.0.1", -1, 200, 0, 11007};
        QTest::newRow("time to live 0") << Ping{automatic, "127.0.0.1", 0, 200, 0, 11013};
    }

    void pingOnLoopback()
    {
        QFETCH(Ping, c);
        // Nothing reaches the network, nor asks the kernel for receive times, before the first ping.
        const int sockets = openSockets();
        IcmpPinger pinger(c.kind);
        QCOMPARE(openSockets(), sockets);
        const auto outcome = pingAndWait(pinger, c.address, c.ttl, c.timeoutMs, c.busyMs);
        QVERIFY(outcome.has_value());
        if (c.status == 0 && outcome->result.CheckImpossible)
            QSKIP(
                qPrintable("not permitted here (see net.ipv4.ping_group_range): " + outcome->result.Message));
        QVERIFY2(hasStatus(outcome->result, c.address, c.status, c.timeoutMs),
                 qPrintable(outcome->result.Message));
    }

    void droppedContextGetsNoAnswer()
    {
        IcmpPinger pinger;
        bool called = false;
        auto* context = new QObject;
        pinger.ping(QStringLiteral("127.0.0.1"), 20, 100, DefaultPingPayload, context,
                    [&](const PingResult&) { called = true; });
        pinger.ping(QStringLiteral("10.9.9.9"), 20, 100, DefaultPingPayload, context,
                    [&](const PingResult&) { called = true; });
        delete context;
        // The answer, the refusal and the time-out would all come before a timer started later with a
        // longer interval: once it has fired, however late the event loop ran, none of them is left.
        bool waited = false;
        QTimer::singleShot(400, [&waited] { waited = true; });
        QTRY_VERIFY_WITH_TIMEOUT(waited, SlackMs);
        QVERIFY(!called);
    }

    // Hosts inside namespaces of the test's own: this thread's namespace (A, 198.18.1.1) and a peer (B,
    // 198.18.1.2) joined by a veth pair. B answers echoes, forwards 198.19.1.0/24 back to A (so a time
    // to live of 1 expires at B) and has an unreachable route for 198.19.3.0/24; A itself has an
    // unreachable route for 198.19.2.0/24 and no route at all for the rest. B's four errors to A stay within
    // the burst that the kernel's rate limit allows a new peer. The silent addresses 198.18.1.3 and
    // 198.18.1.4 have a fixed link-layer address that nobody owns: B drops what is sent there, and no
    // address resolution runs, whose failure (three seconds after the first request) would answer a
    // request still waiting with "host unreachable", however the requests fall in time.
    void namespaceHosts()
    {
        test::TestNetworkNamespace ns;
        if (!ns.enter() || !ns.startPeer())
            QSKIP(qPrintable(ns.error()));
        QVERIFY2(ns.linkToPeer(QStringLiteral("198.18.1.1/24"), {QStringLiteral("198.18.1.2/24")}),
                 qPrintable(ns.error()));
        for (const char* command :
             {"route add 198.19.1.0/24 via 198.18.1.2", "route add 198.19.3.0/24 via 198.18.1.2",
              "route add unreachable 198.19.2.0/24", "neigh add 198.18.1.3 lladdr 02:00:00:00:01:03 dev va",
              "neigh add 198.18.1.4 lladdr 02:00:00:00:01:04 dev va"})
            QVERIFY2(ns.ip(QString::fromLatin1(command).split(QLatin1Char(' '))), qPrintable(ns.error()));
        for (const char* command :
             {"ip route add 198.19.1.0/24 via 198.18.1.1", "ip route add unreachable 198.19.3.0/24",
              "sysctl -q -w net.ipv4.ip_forward=1"})
            QVERIFY2(ns.inPeer(QString::fromLatin1(command).split(QLatin1Char(' '))), qPrintable(ns.error()));

        // A new link carries packets only once the kernel has seen both of its ends come up.
        IcmpPinger raw(SocketKind::RawOnly);
        bool answered = false;
        for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
            const auto outcome = pingAndWait(raw, QStringLiteral("198.18.1.2"), 20, 500);
            answered = outcome && outcome->result.succeeded();
        }
        QVERIFY2(answered, "the link to the peer namespace did not come up");

        // As the namespace starts no group may open a datagram socket: the check could not be made, which is
        // no "no reply".
        IcmpPinger datagram(SocketKind::DatagramOnly);
        const auto impossible = pingAndWait(datagram, QStringLiteral("198.18.1.2"), 20, 1000);
        QVERIFY(impossible && impossible->result.CheckImpossible && impossible->result.Failed &&
                impossible->result.Message.contains("no ICMP socket could be opened"));
        QVERIFY2(ns.setNetSysctl(QStringLiteral("ipv4/ping_group_range"), "0 2147483647"),
                 qPrintable(ns.error()));

        // The live peer, a time to live expiring at the peer, no route at the peer, an unreachable route
        // here, no route here, a silent address.
        const std::tuple<const char*, int, int> cases[] = {
            {"198.18.1.2", 20, 0},     {"198.19.1.5", 1, 11013},  {"198.19.3.5", 20, 11003},
            {"198.19.2.5", 20, 11003}, {"198.18.9.9", 20, 11002}, {"198.18.1.3", 20, 11010}};
        const int timeoutMs = 1000;
        for (IcmpPinger* pinger : {&raw, &datagram}) {
            for (const auto& [text, ttl, status] : cases) {
                const QString address = QString::fromLatin1(text);
                const auto outcome = pingAndWait(*pinger, address, ttl, timeoutMs);
                QVERIFY2(outcome.has_value(), text);
                QVERIFY2(hasStatus(outcome->result, address, status, timeoutMs),
                         qPrintable(outcome->result.Message));
                // The time-out ends the wait: not before it, and not long after.
                if (status == IcmpStatus::RequestTimedOut)
                    QVERIFY2(outcome->elapsedMs >= timeoutMs && outcome->elapsedMs < timeoutMs + 5000, text);
            }
        }

        for (IcmpPinger* pinger : {&raw, &datagram}) {
            // A reply read only after the time-out, the thread having been busy, is judged by when it came.
            // The time-out leaves room for a loaded machine, where the peer's reply may wait for a processor.
            const auto late = pingAndWait(*pinger, QStringLiteral("198.18.1.2"), 20, 1000, 1500);
            QVERIFY2(late && hasStatus(late->result, QStringLiteral("198.18.1.2"), 0, 1000), "late reply");

            // Requests in flight together each get their own answer: the live host's replies, which a raw
            // socket sees as well, answer neither the silent address nor another request.
            QObject context;
            QStringList answers(3);
            for (int i = 0; i < 3; ++i)
                pinger->ping(i ? "198.18.1.2" : "198.18.1.4", 20, timeoutMs, DefaultPingPayload, &context,
                             [&answers, i](const PingResult& r) { answers[i] = r.Message; });
            QTRY_VERIFY_WITH_TIMEOUT(!answers.contains(QString()), timeoutMs + SlackMs);
            QCOMPARE(answers, (QStringList{pingFailureMessage("198.18.1.4", 11010), "Success", "Success"}));
        }

        // A raw socket sees its own request on loopback; with echoes ignored that request is all there is,
        // and it is no answer.
        QVERIFY2(ns.setNetSysctl(QStringLiteral("ipv4/icmp_echo_ignore_all"), "1"), qPrintable(ns.error()));
        const auto ownRequest = pingAndWait(raw, QStringLiteral("127.0.0.1"), 20, timeoutMs);
        QVERIFY(ownRequest && hasStatus(ownRequest->result, QStringLiteral("127.0.0.1"), 11010, timeoutMs));
    }
};

QTEST_GUILESS_MAIN(IcmpTest)
#include "IcmpTest.moc"
