#include "FakePinger.h"
#include "TestNetworkNamespace.h"
#include "core/NetworkGuard.h"
#include "probe/EchoTarget.h"
#include "probe/IcmpPacket.h"
#include "probe/IcmpPinger.h"
#include "probe/IcmpStatus.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <QtTest>

#include <optional>

using namespace tarvo;

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
    QByteArray message;
    message.append(static_cast<char>(type));
    message.append(static_cast<char>(code));
    message.append(word(0));
    message.append(restOfHeader);
    message.append(body);
    const quint16 checksum = internetChecksum(message);
    message[2] = static_cast<char>(checksum >> 8);
    message[3] = static_cast<char>(checksum & 0xFF);
    return message;
}

QByteArray echoReply(quint16 id, quint16 sequence, const QByteArray& payload)
{
    return icmpMessage(0, 0, word(id) + word(sequence), payload);
}

// An IPv4 header (options filled with NOPs) in front of an ICMP message.
QByteArray withIpHeader(quint32 source, quint32 destination, const QByteArray& icmp, int optionWords = 0)
{
    QByteArray header(20 + optionWords * 4, '\x01');
    header[0] = static_cast<char>(0x40 | (5 + optionWords));
    header[1] = 0;
    qToBigEndian(static_cast<quint16>(header.size() + icmp.size()), header.data() + 2);
    header.replace(4, 5, QByteArray("\0\0\0\0\x40", 5));
    header[9] = 1; // ICMP
    header[10] = header[11] = 0;
    qToBigEndian(source, header.data() + 12);
    qToBigEndian(destination, header.data() + 16);
    return header + icmp;
}

constexpr quint32 Target = 0x0A010203; // 10.1.2.3
constexpr quint32 Router = 0x0A0101FE;
constexpr quint32 Local = 0x0A010164;

EchoIdentity request()
{
    return EchoIdentity{0x4D2A, 7, QByteArrayLiteral("Quelm"), Target};
}

// An error message from the router quoting our request (or a variant of it).
QByteArray errorAbout(quint8 type, quint8 code, quint16 quotedId, quint32 quotedDestination)
{
    const QByteArray quotedRequest =
        buildEchoRequest({quotedId, 7, QByteArrayLiteral("Quelm"), quotedDestination});
    const QByteArray quoted = withIpHeader(Local, quotedDestination, quotedRequest).left(28);
    return withIpHeader(Router, Local, icmpMessage(type, code, QByteArray(4, '\0'), quoted));
}

struct PingOutcome
{
    PingResult result;
    qint64 elapsedMs = 0;
};

// Pings and waits for the answer in the event loop; also checks that nothing is answered before ping()
// returns. With busyMs the thread first sleeps, as a user interface thread busy with other work.
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
    if (outcome) {
        qWarning("the pinger answered before ping() returned");
        return std::nullopt;
    }
    QThread::msleep(static_cast<unsigned long>(busyMs));
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }, timeoutMs + 10000))
        qWarning("no answer came");
    return outcome;
}

} // namespace

class IcmpTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Run by hand as well as by CTest, the tests reach no address outside loopback.
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }
    void setPingTarget_data();
    void setPingTarget();
    void statusTexts_data();
    void statusTexts();
    void failureSentenceNamesTheTextAsGiven();
    void echoRequestLayout();
    void classifiesDatagrams_data();
    void classifiesDatagrams();
    void refusedBeforeSending_data();
    void refusedBeforeSending();
    void echoOnLoopback_data();
    void echoOnLoopback();
    void droppedContextGetsNoAnswer();
    void namespaceHosts();
};

void IcmpTest::setPingTarget_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("keptText");

    QTest::newRow("ordinary") << "10.1.2.3" << QByteArray::fromHex("0A010203") << "10.1.2.3";
    QTest::newRow("first octet above 127")
        << "192.168.1.1" << QByteArray::fromHex("C0A80101") << "192.168.1.1";
    QTest::newRow("part above 255 keeps its lowest byte")
        << "10.1.2.300" << QByteArray::fromHex("0A01022C") << "10.1.2.300";
    QTest::newRow("three parts") << "10.1.2" << QByteArray::fromHex("00000000") << "172.16.0.9";
    QTest::newRow("five parts") << "10.1.2.3.4" << QByteArray::fromHex("00000000") << "172.16.0.9";
    QTest::newRow("empty") << "" << QByteArray::fromHex("00000000") << "172.16.0.9";
}

void IcmpTest::setPingTarget()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, keptText);

    EchoTarget target;
    target.SetPingTarget(QStringLiteral("172.16.0.9"));
    target.SetPingTarget(text);
    const quint32 address = target.PingTargetAddress();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&address), 4), bytes);
    QCOMPARE(target.PingTargetText(), keptText);
}

void IcmpTest::statusTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << 0 << "Success";
    QTest::newRow("11001") << 11001 << "Buffer to small";
    QTest::newRow("11003") << 11003 << "Destination host unreachable";
    QTest::newRow("11008") << 11008 << "hw error";
    QTest::newRow("11010") << 11010 << "Requested IP timed out";
    QTest::newRow("11013") << 11013 << "Time to live expired transmition";
    QTest::newRow("11014") << 11014 << "Time ti live expired reassem";
    QTest::newRow("11023") << 11023 << "Address added";
    QTest::newRow("11024") << 11024 << "Unindentified";
    QTest::newRow("11050") << 11050 << "General failure";
    QTest::newRow("11255") << 11255 << "Ip pending";
    QTest::newRow("-1") << -1 << "Unindentified";
}

void IcmpTest::statusTexts()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(IcmpStatusText(status), text);
}

void IcmpTest::failureSentenceNamesTheTextAsGiven()
{
    QCOMPARE(pingFailureMessage(QStringLiteral("10.1.2.3"), IcmpStatus::RequestTimedOut),
             QStringLiteral("Faild to ping : ''10.1.2.3'' error code : Requested IP timed out"));
    QCOMPARE(pingFailureMessage(QStringLiteral("10.1.2.3"), IcmpStatus::DestinationHostUnreachable),
             QStringLiteral("Faild to ping : ''10.1.2.3'' error description : Destination host unreachable"));

    // The request goes to the octets; the sentence names the text the caller gave.
    test::FakePinger pinger;
    pinger.answers(QStringLiteral("10.1.2.45"));
    EchoTarget target;
    QObject context;
    std::optional<PingResult> result;
    target.SetPingTarget(QStringLiteral("10.1.2.300"));
    target.PingTarget(pinger, AssignPingTtl, AssignPingTimeoutMs, &context,
                      [&](const PingResult& r) { result = r; });
    QTRY_VERIFY(result.has_value());
    QCOMPARE(pinger.calls.value(0).address, QStringLiteral("10.1.2.44"));
    QCOMPARE(pinger.calls.value(0).ttl, 20);
    QCOMPARE(pinger.calls.value(0).timeoutMs, 200);
    QCOMPARE(pinger.calls.value(0).payload, QByteArrayLiteral("Quelm"));
    QVERIFY(result->Failed);
    QVERIFY2(result->Message.startsWith(QStringLiteral("Faild to ping : ''10.1.2.300''")),
             qPrintable(result->Message));

    result.reset();
    target.SetPingTarget(QStringLiteral("10.1.2.45"));
    target.PingTarget(pinger, AssignPingTtl, AssignPingTimeoutMs, &context,
                      [&](const PingResult& r) { result = r; });
    QTRY_VERIFY(result.has_value());
    QCOMPARE(result->Message, QStringLiteral("Success"));
}

void IcmpTest::echoRequestLayout()
{
    const QByteArray packet = buildEchoRequest(request());
    QCOMPARE(packet.size(), 13);
    QCOMPARE(packet.left(2), QByteArray::fromHex("0800"));
    QCOMPARE(packet.mid(4), QByteArray::fromHex("4D2A0007") + "Quelm");
    QCOMPARE(internetChecksum(packet), quint16(0));
    // An odd length is padded with a zero byte for the sum.
    QCOMPARE(internetChecksum(QByteArray::fromHex("0001F203F4F5F6F7")), quint16(0x220D));
    QCOMPARE(internetChecksum(QByteArray::fromHex("01")), quint16(0xFEFF));
}

void IcmpTest::classifiesDatagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("hasIpHeader");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");

    const int unrelated = int(IcmpAnswer::Kind::Unrelated);
    const int reply = int(IcmpAnswer::Kind::EchoReply);
    const int error = int(IcmpAnswer::Kind::Error);
    const QByteArray payload = QByteArrayLiteral("Quelm");
    const QByteArray good = echoReply(0x4D2A, 7, payload);

    QTest::newRow("reply") << good << false << reply << 0;
    QTest::newRow("reply of another identifier") << echoReply(0x4D2B, 7, payload) << false << unrelated << -1;
    QTest::newRow("reply of another sequence") << echoReply(0x4D2A, 6, payload) << false << unrelated << -1;
    QTest::newRow("reply with another payload") << echoReply(0x4D2A, 7, "Quelp") << false << unrelated << -1;
    QByteArray corrupted = good;
    corrupted[9] = 'X';
    QTest::newRow("reply with a bad checksum") << corrupted << false << unrelated << -1;
    QTest::newRow("reply cut short") << good.left(6) << false << unrelated << -1;
    QTest::newRow("our own request") << buildEchoRequest(request()) << false << unrelated << -1;
    QTest::newRow("raw reply") << withIpHeader(Target, Local, good) << true << reply << 0;
    QTest::newRow("raw reply, header with options")
        << withIpHeader(Target, Local, good, 2) << true << reply << 0;
    QTest::newRow("raw reply from another host")
        << withIpHeader(Router, Local, good) << true << unrelated << -1;
    QTest::newRow("raw, our own request on loopback")
        << withIpHeader(Local, Target, buildEchoRequest(request())) << true << unrelated << -1;
    QByteArray lying = withIpHeader(Target, Local, good);
    lying[0] = 0x4F; // a header longer than the datagram
    QTest::newRow("raw, header length beyond the datagram") << lying.left(40) << true << unrelated << -1;
    QTest::newRow("host unreachable") << errorAbout(3, 1, 0x4D2A, Target) << true << error << 11003;
    QTest::newRow("network unreachable") << errorAbout(3, 0, 0x4D2A, Target) << true << error << 11002;
    QTest::newRow("fragmentation needed") << errorAbout(3, 4, 0x4D2A, Target) << true << error << 11009;
    QTest::newRow("time to live exceeded") << errorAbout(11, 0, 0x4D2A, Target) << true << error << 11013;
    QTest::newRow("reassembly time exceeded") << errorAbout(11, 1, 0x4D2A, Target) << true << error << 11014;
    QTest::newRow("parameter problem") << errorAbout(12, 0, 0x4D2A, Target) << true << error << 11015;
    QTest::newRow("source quench") << errorAbout(4, 0, 0x4D2A, Target) << true << error << 11016;
    QTest::newRow("error about another request")
        << errorAbout(3, 1, 0x1111, Target) << true << unrelated << -1;
    QTest::newRow("error about another destination")
        << errorAbout(3, 1, 0x4D2A, Router) << true << unrelated << -1;
    QTest::newRow("error quoting too little")
        << errorAbout(3, 1, 0x4D2A, Target).left(20 + 8 + 24) << true << unrelated << -1;
    QTest::newRow("redirect is no answer") << errorAbout(5, 1, 0x4D2A, Target) << true << unrelated << -1;
}

void IcmpTest::classifiesDatagrams()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, hasIpHeader);
    QFETCH(int, kind);
    QFETCH(int, status);

    const IcmpAnswer answer = classifyIcmpDatagram(datagram, hasIpHeader, request());
    QCOMPARE(int(answer.kind), kind);
    if (answer.answers())
        QCOMPARE(answer.status, status);
}

void IcmpTest::refusedBeforeSending_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("checkImpossible");

    QTest::newRow("outside loopback") << "10.1.2.3" << 20 << 11050 << true;
    QTest::newRow("any address") << "0.0.0.0" << 20 << 11018 << false;
    QTest::newRow("not an address") << "10.1.2.300" << 20 << 11018 << false;
    QTest::newRow("a name") << "localhost" << 20 << 11018 << false;
    QTest::newRow("time to live 256") << "127.0.0.1" << 256 << 11007 << false;
    QTest::newRow("time to live -1") << "127.0.0.1" << -1 << 11007 << false;
    QTest::newRow("time to live 0") << "127.0.0.1" << 0 << 11013 << false;
}

void IcmpTest::refusedBeforeSending()
{
    QFETCH(QString, address);
    QFETCH(int, ttl);
    QFETCH(int, status);
    QFETCH(bool, checkImpossible);

    IcmpPinger pinger;
    const auto outcome = pingAndWait(pinger, address, ttl, 200);
    QVERIFY(outcome.has_value());
    const PingResult& result = outcome->result;
    QVERIFY(result.Failed);
    QVERIFY(!result.succeeded());
    QCOMPARE(result.Status, status);
    QCOMPARE(result.CheckImpossible, checkImpossible);
    QCOMPARE(result.RoundTripMs, quint32(200));
    QVERIFY2(result.Message.startsWith(pingFailureMessage(address, status)), qPrintable(result.Message));
    if (checkImpossible)
        QVERIFY2(result.Message.contains(NetworkGuard::refusal(address)), qPrintable(result.Message));
}

void IcmpTest::echoOnLoopback_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("busyMs");

    const int automatic = int(IcmpPinger::SocketKind::Automatic);
    const int raw = int(IcmpPinger::SocketKind::RawOnly);
    const int datagram = int(IcmpPinger::SocketKind::DatagramOnly);
    QTest::newRow("automatic") << automatic << 2000 << 0;
    QTest::newRow("raw socket") << raw << 2000 << 0;
    QTest::newRow("datagram socket") << datagram << 2000 << 0;
    // The reply comes at once but waits while the user interface thread is busy past the time-out: it
    // is judged by when it came, not by when it was read.
    QTest::newRow("raw socket, busy event loop") << raw << 200 << 600;
    QTest::newRow("datagram socket, busy event loop") << datagram << 200 << 600;
}

void IcmpTest::echoOnLoopback()
{
    QFETCH(int, kind);
    QFETCH(int, timeoutMs);
    QFETCH(int, busyMs);
    IcmpPinger pinger(static_cast<IcmpPinger::SocketKind>(kind));
    EchoTarget target;
    target.SetPingTarget(QStringLiteral("127.0.0.1"));

    std::optional<PingResult> result;
    QObject context;
    target.PingTarget(pinger, AssignPingTtl, timeoutMs, &context, [&](const PingResult& r) { result = r; });
    QVERIFY(!result.has_value());
    QThread::msleep(static_cast<unsigned long>(busyMs));
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
    if (result->CheckImpossible)
        QSKIP(qPrintable(QStringLiteral("this socket kind cannot be opened here (not root, or the group is "
                                        "outside net.ipv4.ping_group_range): ") +
                         result->Message));
    QCOMPARE(result->Message, QStringLiteral("Success"));
    QVERIFY(!result->Failed);
    QCOMPARE(result->Status, 0);
    QVERIFY(result->RoundTripMs <= quint32(timeoutMs));
}

void IcmpTest::droppedContextGetsNoAnswer()
{
    IcmpPinger pinger;
    bool called = false;
    auto* context = new QObject;
    pinger.ping(QStringLiteral("127.0.0.1"), 20, 100, DefaultPingPayload, context,
                [&](const PingResult&) { called = true; });
    pinger.ping(QStringLiteral("10.9.9.9"), 20, 100, DefaultPingPayload, context,
                [&](const PingResult&) { called = true; });
    delete context;
    // Long enough for the answer, the refusal and the time-out to have come.
    QTest::qWait(400);
    QVERIFY(!called);
}

// Hosts inside namespaces of the test's own: this thread's namespace (A, 198.18.1.1) and a peer (B,
// 198.18.1.2) joined by a veth pair. B answers echoes, forwards 198.19.1.0/24 back to A (so a time
// to live of 1 expires at B) and has an unreachable route for 198.19.3.0/24; A itself has an
// unreachable route for 198.19.2.0/24 and no route at all for the rest. B's four errors to A stay within
// the burst that the kernel's rate limit allows a new peer.
void IcmpTest::namespaceHosts()
{
    test::TestNetworkNamespace ns;
    if (!ns.enter())
        QSKIP(qPrintable(ns.error()));
    if (!ns.startPeer())
        QSKIP(qPrintable(ns.error()));
    const QString peer = QString::number(ns.peerPid());
    const auto ip = [&](const QString& arguments) { return ns.ip(arguments.split(QLatin1Char(' '))); };
    const auto inPeer = [&](const QString& command) { return ns.inPeer(command.split(QLatin1Char(' '))); };
    QVERIFY2(ip(QStringLiteral("link add va type veth peer name vb netns ") + peer), qPrintable(ns.error()));
    QVERIFY2(ip(QStringLiteral("addr add 198.18.1.1/24 dev va")), qPrintable(ns.error()));
    QVERIFY2(ip(QStringLiteral("link set va up")), qPrintable(ns.error()));
    QVERIFY2(ip(QStringLiteral("route add 198.19.1.0/24 via 198.18.1.2")), qPrintable(ns.error()));
    QVERIFY2(ip(QStringLiteral("route add 198.19.3.0/24 via 198.18.1.2")), qPrintable(ns.error()));
    QVERIFY2(ip(QStringLiteral("route add unreachable 198.19.2.0/24")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("ip link set lo up")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("ip addr add 198.18.1.2/24 dev vb")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("ip link set vb up")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("ip route add 198.19.1.0/24 via 198.18.1.1")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("ip route add unreachable 198.19.3.0/24")), qPrintable(ns.error()));
    QVERIFY2(inPeer(QStringLiteral("sysctl -q -w net.ipv4.ip_forward=1")), qPrintable(ns.error()));

    struct Case
    {
        const char* name;
        const char* address;
        int ttl;
        int status;
    };
    const Case cases[] = {
        {"a namespace host answers", "198.18.1.2", 20, 0},
        {"time to live expires at the peer", "198.19.1.5", 1, 11013},
        {"the peer has no route", "198.19.3.5", 20, 11003},
        {"an unreachable route here", "198.19.2.5", 20, 11003},
        {"no route here", "198.18.9.9", 20, 11002},
        {"a silent address", "198.18.1.3", 20, 11010},
    };
    const int timeoutMs = 1000;

    // A new link carries packets only once the kernel has seen both of its ends come up.
    {
        IcmpPinger raw(IcmpPinger::SocketKind::RawOnly);
        bool answered = false;
        for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
            const auto outcome = pingAndWait(raw, QStringLiteral("198.18.1.2"), 20, 500);
            answered = outcome && outcome->result.succeeded();
        }
        QVERIFY2(answered, "the link to the peer namespace did not come up");
    }

    // The datagram socket first as the namespace starts (no group may open one), then allowed.
    {
        IcmpPinger pinger(IcmpPinger::SocketKind::DatagramOnly);
        const auto outcome = pingAndWait(pinger, QStringLiteral("198.18.1.2"), 20, timeoutMs);
        QVERIFY(outcome.has_value());
        QVERIFY2(outcome->result.CheckImpossible, qPrintable(outcome->result.Message));
        QVERIFY(outcome->result.Failed);
        QVERIFY(outcome->result.Message.contains(QStringLiteral("no ICMP socket could be opened")));
    }
    QVERIFY2(ns.setNetSysctl(QStringLiteral("ipv4/ping_group_range"), "0 2147483647"),
             qPrintable(ns.error()));

    for (const auto kind : {IcmpPinger::SocketKind::RawOnly, IcmpPinger::SocketKind::DatagramOnly}) {
        const char* kindName = kind == IcmpPinger::SocketKind::RawOnly ? "raw" : "datagram";
        IcmpPinger pinger(kind);
        for (const Case& c : cases) {
            const QString address = QString::fromLatin1(c.address);
            const QString where =
                QStringLiteral("%1 socket, %2").arg(QLatin1String(kindName), QLatin1String(c.name));
            const auto outcome = pingAndWait(pinger, address, c.ttl, timeoutMs);
            QVERIFY2(outcome.has_value(), qPrintable(where));
            const PingResult& result = outcome->result;
            QVERIFY2(!result.CheckImpossible, qPrintable(where + QStringLiteral(": ") + result.Message));
            QVERIFY2(result.Status == c.status, qPrintable(where + QStringLiteral(": ") + result.Message));
            if (c.status == 0) {
                QCOMPARE(result.Message, QStringLiteral("Success"));
                QVERIFY(result.RoundTripMs <= quint32(timeoutMs));
                continue;
            }
            QCOMPARE(result.Message, pingFailureMessage(address, c.status));
            QCOMPARE(result.RoundTripMs, quint32(timeoutMs));
            if (c.status == IcmpStatus::RequestTimedOut) {
                // The time-out ends the wait: not before it, and not long after.
                QVERIFY2(outcome->elapsedMs >= timeoutMs, qPrintable(where));
                QVERIFY2(outcome->elapsedMs < timeoutMs + 5000, qPrintable(where));
            }
        }
    }

    // After the cases above, whose timing the neighbour entries of the silent address depend on.
    for (const auto kind : {IcmpPinger::SocketKind::RawOnly, IcmpPinger::SocketKind::DatagramOnly}) {
        const char* kindName = kind == IcmpPinger::SocketKind::RawOnly ? "raw" : "datagram";
        IcmpPinger pinger(kind);
        // A reply read only after the time-out, the thread having been busy, is judged by when it came.
        const auto late = pingAndWait(pinger, QStringLiteral("198.18.1.2"), 20, 200, 600);
        QVERIFY(late.has_value());
        QVERIFY2(late->result.succeeded(),
                 qPrintable(QLatin1String(kindName) + QStringLiteral(": ") + late->result.Message));
        QVERIFY(late->result.RoundTripMs <= 200);

        // Requests in flight together each get their own answer: the live host's replies, which a raw
        // socket sees as well, answer neither the silent address nor another request.
        QObject context;
        QList<std::optional<PingResult>> together(3);
        const QStringList targets = {QStringLiteral("198.18.1.4"), QStringLiteral("198.18.1.2"),
                                     QStringLiteral("198.18.1.2")};
        for (qsizetype i = 0; i < targets.size(); ++i)
            pinger.ping(targets.at(i), 20, timeoutMs, DefaultPingPayload, &context,
                        [&together, i](const PingResult& r) { together[i] = r; });
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(together.cbegin(), together.cend(), [](const auto& r) { return r.has_value(); }),
            timeoutMs + 5000);
        QVERIFY2(!together.at(0)->succeeded(), qPrintable(together.at(0)->Message));
        QVERIFY2(together.at(1)->succeeded() && together.at(2)->succeeded(), kindName);
    }

    // A raw socket sees its own request on loopback; with echoes ignored that request is all there is,
    // and it is no answer.
    QVERIFY2(ns.setNetSysctl(QStringLiteral("ipv4/icmp_echo_ignore_all"), "1"), qPrintable(ns.error()));
    IcmpPinger raw(IcmpPinger::SocketKind::RawOnly);
    const auto ownRequest = pingAndWait(raw, QStringLiteral("127.0.0.1"), 20, timeoutMs);
    QVERIFY(ownRequest.has_value());
    QVERIFY2(ownRequest->result.Status == IcmpStatus::RequestTimedOut,
             qPrintable(ownRequest->result.Message));

    // The guard still refuses every address outside the test range.
    IcmpPinger pinger;
    const auto outside = pingAndWait(pinger, QStringLiteral("10.1.2.3"), 20, timeoutMs);
    QVERIFY(outside.has_value());
    QVERIFY(outside->result.CheckImpossible);
}

QTEST_GUILESS_MAIN(IcmpTest)
#include "IcmpTest.moc"
