#include "LoopbackNetBiosResponder.h"
#include "probe/NetBiosNodeStatus.h"
#include "probe/NodeStatusService.h"

#include <QtTest>

#include <optional>

using namespace tarvo;
using test::LoopbackNetBiosResponder;
using test::workstationNameTable;
using Kind = NodeStatusOutcome::Kind;

Q_DECLARE_METATYPE(tarvo::NodeStatusOutcome::Kind)

namespace {

std::optional<NodeStatusOutcome> queryAndWait(NodeStatusService& service, const QString& address)
{
    std::optional<NodeStatusOutcome> outcome;
    QObject context;
    service.query(address, &context, [&](const NodeStatusOutcome& o) { outcome = o; });
    if (outcome)
        return std::nullopt; // answered before query() returned
    return QTest::qWaitFor([&] { return outcome.has_value(); }, 10000) ? outcome : std::nullopt;
}

} // namespace

class NetBiosTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestBytes();
    void readsNameTables_data();
    void readsNameTables();
    void refusesWhatIsNoAnswer_data();
    void refusesWhatIsNoAnswer();
    void queryOverUdp_data();
    void queryOverUdp();
};

void NetBiosTest::requestBytes()
{
    // Id, flags, one question and no other records, the name "*" encoded, type NBSTAT, class IN.
    const QByteArray header = QByteArray::fromHex("BEEF0000000100000000000020");
    QCOMPARE(buildNodeStatusRequest(0xBEEF),
             header + "CK" + QByteArray(30, 'A') + QByteArray::fromHex("0000210001"));
    QCOMPARE(encodeNetBiosName(QByteArray("FRED           \x20")),
             QByteArray("EGFCEFEECACACACACACACACACACACACA"));
}

// What the windows show of a device's answer: its name table as read from the datagram, and the work group,
// user (LAN ID) and MAC address taken from it.
void NetBiosTest::readsNameTables_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("names");
    QTest::addColumn<QString>("workGroup");
    QTest::addColumn<QString>("lanId");
    QTest::addColumn<QString>("mac");
    const auto row = [](const char* name, const QByteArray& datagram, int names, const char* workGroup,
                        const char* lanId, const char* mac) {
        QTest::newRow(name) << datagram << names << QString::fromLatin1(workGroup)
                            << QString::fromLatin1(lanId) << QString::fromLatin1(mac);
    };
    const auto answer = [](const NodeStatus& table) {
        return LoopbackNetBiosResponder::response(0x1234, table);
    };
    const char* const mac = "00-1A-2B-3C-4D-5E";

    const NodeStatus workstation = workstationNameTable();
    row("workstation with a user", answer(workstation), 7, "KEWANGAN", "AHMAD", mac);
    row("compressed record name", LoopbackNetBiosResponder::response(0x1234, workstation, true), 7,
        "KEWANGAN", "AHMAD", mac);
    QByteArray withQuestion = answer(workstation);
    withQuestion[5] = 1; // one question, repeated before the record
    withQuestion.insert(12, buildNodeStatusRequest(0x1234).mid(12));
    row("question repeated", withQuestion, 7, "KEWANGAN", "AHMAD", mac);
    NodeStatus changed = workstation;
    changed.names.swapItemsAt(4, 5);
    row("user listed before the computer", answer(changed), 7, "KEWANGAN", "AHMAD", mac);
    changed = workstation;
    changed.names.removeAt(5);
    row("nobody signed on", answer(changed), 6, "KEWANGAN", "", mac);
    changed = workstation;
    changed.names[5].name = QStringLiteral("AHMAD ALI");
    row("user name of two words", answer(changed), 7, "KEWANGAN", "", mac);

    NodeStatus server;
    server.names = {{QStringLiteral("FILESRV"), 0x00, 0x0400},
                    {QStringLiteral("FILESRV"), 0x20, 0x0400},
                    {QStringLiteral("DOMAIN"), 0x1C, 0x8400},
                    {QStringLiteral("DOMAIN"), 0x00, 0x8400}};
    row("group with another suffix first", answer(server), 4, "DOMAIN", "", "00-00-00-00-00-00");
    // A record without the statistics: names, but no MAC address.
    const int dataStart = 12 + 34 + 10;
    QByteArray noStatistics = answer(server).left(dataStart + 1 + 4 * 18);
    noStatistics[dataStart - 1] = 1 + 4 * 18;
    row("no statistics", noStatistics, 4, "DOMAIN", "", "");
    row("no names", answer(NodeStatus{{}, QByteArray(6, 0)}), 0, "", "", "00-00-00-00-00-00");
}

void NetBiosTest::readsNameTables()
{
    QFETCH(QByteArray, datagram);
    const std::optional<NodeStatus> status = parseNodeStatusResponse(datagram, 0x1234);
    QVERIFY(status.has_value());
    QTEST(int(status->names.size()), "names");
    const DeviceFindings found = findingsOf(*status);
    QTEST(found.workGroup, "workGroup");
    QTEST(found.lanId, "lanId");
    QTEST(found.macAddress, "mac");
}

void NetBiosTest::refusesWhatIsNoAnswer_data()
{
    QTest::addColumn<QByteArray>("datagram");

    const QByteArray good = LoopbackNetBiosResponder::response(0x1234, workstationNameTable());
    const auto changed = [&](int offset, char value) {
        QByteArray bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    QTest::newRow("foreign transaction id")
        << LoopbackNetBiosResponder::response(0x1235, workstationNameTable());
    QTest::newRow("a request") << changed(2, 0x04);
    QTest::newRow("error code") << changed(3, 0x03);
    QTest::newRow("no answer record") << changed(7, 0);
    QTest::newRow("another record type") << changed(12 + 34 + 1, 0x20);
    QTest::newRow("more names than data") << changed(12 + 34 + 10, char(40));
    QTest::newRow("data length beyond the datagram") << changed(12 + 34 + 8, char(0x7F));
    QTest::newRow("label beyond the datagram") << changed(12, char(0x3F)).left(40);
    QTest::newRow("reserved label bits") << changed(12, char(0x60));
    // A datagram cut anywhere before the end of its name table is never read beyond its end.
    for (const bool compressed : {false, true}) {
        const QByteArray full =
            LoopbackNetBiosResponder::response(0x1234, workstationNameTable(), compressed);
        for (qsizetype size = 0; size < full.size() - 40 - 6; ++size)
            QTest::addRow("%s record name cut at %lld", compressed ? "compressed" : "full", qlonglong(size))
                << full.left(size);
    }
    QTest::newRow("endless labels") << QByteArray::fromHex("123484000000000100000000") +
                                           QByteArray(200, '\x01');
}

void NetBiosTest::refusesWhatIsNoAnswer()
{
    QFETCH(QByteArray, datagram);
    QVERIFY(!parseNodeStatusResponse(datagram, 0x1234).has_value());
}

void NetBiosTest::queryOverUdp_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("answerFrom"); // the first request the node answers; 0: none
    QTest::addColumn<int>("decoys");     // pairs of a foreign and a cut-short answer before the real one
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("requests");
    const auto row = [](const char* name, const char* address, int answerFrom, int decoys, int attempts,
                        int waitMs, Kind kind, int requests) {
        QTest::newRow(name) << QString::fromLatin1(address) << answerFrom << decoys << attempts << waitMs
                            << kind << requests;
    };
    row("answered at once", "127.0.0.1", 1, 0, 3, 2000, Kind::Answered, 1);
    row("foreign and cut-short answers first", "127.0.0.1", 1, 1, 1, 5000, Kind::Answered, 1);
    row("a flood of foreign answers first", "127.0.0.1", 1, 20, 1, 5000, Kind::Failed, 1);
    row("the third attempt answered", "127.0.0.1", 3, 0, 3, 100, Kind::Answered, 3);
    row("a silent node", "127.0.0.1", 0, 0, 2, 100, Kind::NoAnswer, 2);
    // Refused before anything is sent.
    row("outside loopback", "10.1.2.3", 1, 0, 1, 100, Kind::Failed, 0);
    row("any address", "0.0.0.0", 1, 0, 1, 100, Kind::Failed, 0);
    row("not an address", "PC0123", 1, 0, 1, 100, Kind::Failed, 0);
    row("empty", "", 1, 0, 1, 100, Kind::Failed, 0);
}

void NetBiosTest::queryOverUdp()
{
    QFETCH(QString, address);
    QFETCH(int, answerFrom);
    QFETCH(int, decoys);
    QFETCH(int, attempts);
    QFETCH(int, waitMs);
    QFETCH(Kind, kind);

    LoopbackNetBiosResponder responder;
    QVERIFY(responder.start());
    responder.setDecoys(decoys);
    responder.setAnswerFromRequest(answerFrom);
    UdpNodeStatusService service({responder.port(), attempts, waitMs});

    const auto outcome = queryAndWait(service, address);
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->kind, kind);
    QCOMPARE(outcome->error.isEmpty(), kind != Kind::Failed);
    if (kind == Kind::Answered) {
        QCOMPARE(outcome->status.names.size(), 7);
        QCOMPARE(outcome->status.unitId, workstationNameTable().unitId);
    }
    // Every attempt asks the same transaction.
    QTEST(int(responder.requests().size()), "requests");
    for (const QByteArray& request : responder.requests()) {
        QCOMPARE(request, responder.requests().first());
        QCOMPARE(request.mid(2), buildNodeStatusRequest(0).mid(2));
    }
}

QTEST_GUILESS_MAIN(NetBiosTest)
#include "NetBiosTest.moc"
