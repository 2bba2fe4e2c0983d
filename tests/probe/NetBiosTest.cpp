#include "LoopbackNetBiosResponder.h"
#include "probe/NetBiosNodeStatus.h"
#include "probe/NodeStatusService.h"

#include <QtTest>

#include <optional>

using namespace tarvo;
using test::LoopbackNetBiosResponder;

Q_DECLARE_METATYPE(tarvo::NodeStatus)

namespace {

constexpr quint16 Unique = 0x0400; // active
constexpr quint16 Group = 0x8400;

NetBiosName entry(const char* name, quint8 suffix, quint16 flags)
{
    return NetBiosName{QString::fromLatin1(name), suffix, flags};
}

// The name table of a workstation with a signed-on user, in the order such a node lists it.
NodeStatus workstation()
{
    NodeStatus table;
    table.names = {entry("PC0123", 0x00, Unique),
                   entry("KEWANGAN", 0x00, Group),
                   entry("PC0123", 0x20, Unique),
                   entry("KEWANGAN", 0x1E, Group),
                   entry("PC0123", 0x03, Unique),
                   entry("AHMAD", 0x03, Unique),
                   entry("\x01\x02__MSBROWSE__\x02", 0x01, Group)};
    table.unitId = QByteArray::fromHex("001a2b3c4d5e");
    return table;
}

std::optional<NodeStatusOutcome> queryAndWait(NodeStatusService& service, const QString& address)
{
    std::optional<NodeStatusOutcome> outcome;
    QObject context;
    service.query(address, &context, [&](const NodeStatusOutcome& o) { outcome = o; });
    if (outcome)
        return std::nullopt; // answered before query() returned
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }, 10000))
        return std::nullopt;
    return outcome;
}

} // namespace

class NetBiosTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Run by hand as well as by CTest, the tests reach no address outside loopback.
    void initTestCase() { qputenv("TARVO_LOOPBACK_ONLY", "1"); }
    void requestBytes();
    void readsNameTables_data();
    void readsNameTables();
    void refusesWhatIsNoAnswer_data();
    void refusesWhatIsNoAnswer();
    void everyCutIsRefused();
    void findings_data();
    void findings();
    void queryAgainstLoopbackResponder();
    void foreignAndCutShortAnswersAreIgnored();
    void retriesThenGivesUp();
    void refusedDestinations_data();
    void refusedDestinations();
};

void NetBiosTest::requestBytes()
{
    const QByteArray expected = QByteArray::fromHex("BEEF"
                                                    "0000"
                                                    "0001"
                                                    "0000"
                                                    "0000"
                                                    "0000"
                                                    "20") +
                                QByteArray("CK") + QByteArray(30, 'A') +
                                QByteArray::fromHex("00"
                                                    "0021"
                                                    "0001");
    QCOMPARE(buildNodeStatusRequest(0xBEEF), expected);
    QCOMPARE(expected.size(), 50);
    QCOMPARE(encodeNetBiosName(QByteArray("FRED           \x20")),
             QByteArray("EGFCEFEECACACACACACACACACACACACA"));
}

void NetBiosTest::readsNameTables_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<NodeStatus>("expected");

    const NodeStatus table = workstation();
    QTest::newRow("several names") << LoopbackNetBiosResponder::response(0x1234, table) << table;
    QTest::newRow("compressed record name")
        << LoopbackNetBiosResponder::response(0x1234, table, true) << table;

    // An answer that repeats the question before its record.
    QByteArray withQuestion = LoopbackNetBiosResponder::response(0x1234, table);
    withQuestion[5] = 1; // one question
    withQuestion.insert(12, buildNodeStatusRequest(0x1234).mid(12));
    QTest::newRow("question repeated") << withQuestion << table;

    // A record without the statistics: names, but no MAC address.
    NodeStatus bare;
    bare.names = {entry("ROUTER", 0x00, Unique)};
    QByteArray noStatistics = LoopbackNetBiosResponder::response(0x1234, bare);
    const int dataStart = 12 + 34 + 10;
    noStatistics = noStatistics.left(dataStart + 1 + 18);
    noStatistics[dataStart - 1] = 19;
    QTest::newRow("no statistics") << noStatistics << bare;

    NodeStatus empty;
    empty.unitId = QByteArray::fromHex("000000000000");
    QTest::newRow("no names") << LoopbackNetBiosResponder::response(0x1234, empty) << empty;
}

void NetBiosTest::readsNameTables()
{
    QFETCH(QByteArray, datagram);
    QFETCH(NodeStatus, expected);

    const std::optional<NodeStatus> status = parseNodeStatusResponse(datagram, 0x1234);
    QVERIFY(status.has_value());
    QCOMPARE(status->names.size(), expected.names.size());
    for (int i = 0; i < expected.names.size(); ++i) {
        QCOMPARE(status->names.at(i).name, expected.names.at(i).name);
        QCOMPARE(status->names.at(i).suffix, expected.names.at(i).suffix);
        QCOMPARE(status->names.at(i).isGroup(), expected.names.at(i).isGroup());
    }
    QCOMPARE(status->unitId, expected.unitId);
}

void NetBiosTest::refusesWhatIsNoAnswer_data()
{
    QTest::addColumn<QByteArray>("datagram");

    const QByteArray good = LoopbackNetBiosResponder::response(0x1234, workstation());
    const auto changed = [&](int offset, char value) {
        QByteArray bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    QTest::newRow("foreign transaction id") << LoopbackNetBiosResponder::response(0x1235, workstation());
    QTest::newRow("a request") << changed(2, 0x04);
    QTest::newRow("error code") << changed(3, 0x03);
    QTest::newRow("no answer record") << changed(7, 0);
    QTest::newRow("another record type") << changed(12 + 34 + 1, 0x20);
    QTest::newRow("more names than data") << changed(12 + 34 + 10, char(40));
    QTest::newRow("data length beyond the datagram") << changed(12 + 34 + 8, char(0x7F));
    QTest::newRow("label beyond the datagram") << changed(12, char(0x3F)).left(40);
    QTest::newRow("reserved label bits") << changed(12, char(0x60));
    QTest::newRow("endless labels") << QByteArray::fromHex("123484000000000100000000") +
                                           QByteArray(200, '\x01');
    QTest::newRow("empty") << QByteArray();
}

void NetBiosTest::refusesWhatIsNoAnswer()
{
    QFETCH(QByteArray, datagram);
    QVERIFY(!parseNodeStatusResponse(datagram, 0x1234).has_value());
}

void NetBiosTest::everyCutIsRefused()
{
    // A datagram cut anywhere before the end of its name table is never read beyond its end.
    for (const bool compressed : {false, true}) {
        const QByteArray good = LoopbackNetBiosResponder::response(0x1234, workstation(), compressed);
        const qsizetype tableEnd = good.size() - 40 - 6;
        for (qsizetype size = 0; size < tableEnd; ++size)
            QVERIFY2(!parseNodeStatusResponse(good.left(size), 0x1234).has_value(),
                     qPrintable(QStringLiteral("cut at %1").arg(size)));
    }
}

void NetBiosTest::findings_data()
{
    QTest::addColumn<NodeStatus>("table");
    QTest::addColumn<QString>("workGroup");
    QTest::addColumn<QString>("lanId");
    QTest::addColumn<QString>("mac");

    QTest::newRow("workstation with a user") << workstation() << "KEWANGAN"
                                             << "AHMAD"
                                             << "00-1A-2B-3C-4D-5E";

    NodeStatus userFirst = workstation();
    userFirst.names.swapItemsAt(4, 5);
    QTest::newRow("user listed before the computer") << userFirst << "KEWANGAN"
                                                     << "AHMAD"
                                                     << "00-1A-2B-3C-4D-5E";

    NodeStatus noUser = workstation();
    noUser.names.removeAt(5);
    QTest::newRow("nobody signed on") << noUser << "KEWANGAN"
                                      << ""
                                      << "00-1A-2B-3C-4D-5E";

    NodeStatus twoWords = workstation();
    twoWords.names[5].name = QStringLiteral("AHMAD ALI");
    QTest::newRow("user name of two words") << twoWords << "KEWANGAN"
                                            << ""
                                            << "00-1A-2B-3C-4D-5E";

    NodeStatus server;
    server.names = {entry("FILESRV", 0x00, Unique), entry("FILESRV", 0x20, Unique),
                    entry("DOMAIN", 0x1C, Group), entry("DOMAIN", 0x00, Group)};
    QTest::newRow("group with another suffix first") << server << "DOMAIN"
                                                     << ""
                                                     << "";
}

void NetBiosTest::findings()
{
    QFETCH(NodeStatus, table);
    QFETCH(QString, workGroup);
    QFETCH(QString, lanId);
    QFETCH(QString, mac);

    const DeviceFindings found = findingsOf(table);
    QCOMPARE(found.workGroup, workGroup);
    QCOMPARE(found.lanId, lanId);
    QCOMPARE(found.macAddress, mac);
}

void NetBiosTest::queryAgainstLoopbackResponder()
{
    LoopbackNetBiosResponder responder;
    QVERIFY(responder.start());
    responder.setTable(workstation());
    UdpNodeStatusService service({responder.port(), 3, 2000});

    const auto outcome = queryAndWait(service, QStringLiteral("127.0.0.1"));
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, NodeStatusOutcome::Kind::Answered);
    QCOMPARE(findingsOf(outcome->status).lanId, QStringLiteral("AHMAD"));
    QCOMPARE(outcome->status.names.size(), 7);
    QCOMPARE(responder.requests().size(), 1);
    QCOMPARE(responder.requests().at(0).mid(2), buildNodeStatusRequest(0).mid(2));
}

void NetBiosTest::foreignAndCutShortAnswersAreIgnored()
{
    LoopbackNetBiosResponder responder;
    QVERIFY(responder.start());
    responder.setTable(workstation());
    responder.setSendDecoys(true);
    UdpNodeStatusService service({responder.port(), 1, 5000});

    const auto outcome = queryAndWait(service, QStringLiteral("127.0.0.1"));
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, NodeStatusOutcome::Kind::Answered);
    QCOMPARE(outcome->status.unitId, workstation().unitId);
}

void NetBiosTest::retriesThenGivesUp()
{
    LoopbackNetBiosResponder responder;
    QVERIFY(responder.start());
    responder.setTable(workstation());

    // The third request is answered.
    responder.setAnswerFromRequest(3);
    UdpNodeStatusService patient({responder.port(), 3, 100});
    auto outcome = queryAndWait(patient, QStringLiteral("127.0.0.1"));
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, NodeStatusOutcome::Kind::Answered);
    QCOMPARE(responder.requests().size(), 3);
    // Every attempt asks the same transaction.
    QCOMPARE(responder.requests().at(2), responder.requests().at(0));

    // A silent node: as many requests as attempts, then no answer.
    LoopbackNetBiosResponder silent;
    QVERIFY(silent.start());
    silent.setSilent(true);
    UdpNodeStatusService service({silent.port(), 2, 100});
    outcome = queryAndWait(service, QStringLiteral("127.0.0.1"));
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, NodeStatusOutcome::Kind::NoAnswer);
    QCOMPARE(silent.requests().size(), 2);
}

void NetBiosTest::refusedDestinations_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("outside loopback") << "10.1.2.3";
    QTest::newRow("not an address") << "PC0123";
    QTest::newRow("empty") << "";
    QTest::newRow("any address") << "0.0.0.0";
}

void NetBiosTest::refusedDestinations()
{
    QFETCH(QString, address);
    UdpNodeStatusService service;
    const auto outcome = queryAndWait(service, address);
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, NodeStatusOutcome::Kind::Failed);
    QVERIFY(!outcome->error.isEmpty());
}

QTEST_GUILESS_MAIN(NetBiosTest)
#include "NetBiosTest.moc"
